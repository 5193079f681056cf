#include "core/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/convhalf.h"
#include "core/textutil.h"

using namespace yume;

TEST(Sjis, FindNeverMatchesASecondByte) {
  // "表" is 95 5C and "ソ" is 83 5C: their second byte is "\".
  std::string s = "表ソ\\x";
  EXPECT_EQ(FindCharAligned(s, '\\'), 4u);
  // "チ" is 83 60 and "＝" 81 81 (a first byte that is also a second): "`" inside them is skipped
  // however many such pairs stand before it, in short and long texts, from any start.
  EXPECT_EQ(FindCharAligned("＝＝チ`", '`'), 6u);
  EXPECT_EQ(FindCharAligned("a＝チ`", '`'), 5u);
  EXPECT_EQ(FindCharAligned("チ`チ`", '`', 3), 5u);
  EXPECT_EQ(FindCharAligned("チチ", '`'), std::string::npos);
  std::string many;
  for (int i = 0; i < 100; ++i) many += "＝チ";
  EXPECT_EQ(FindCharAligned(many + "`", '`'), many.size());
  EXPECT_EQ(FindCharAligned(many, '`'), std::string::npos);
  EXPECT_EQ(FindCharAligned("ab,", ',', 5), std::string::npos);
  EXPECT_EQ(FindCharAligned("ソ\x81\tx\t", '\t'), 5u);  // a TAB after a first byte is its second
  // "ア" is 83 41: "A" must not be found inside it, nor a pair straddling two characters.
  std::string t = "アA";
  EXPECT_EQ(FindAligned(t, "A"), 2u);
  std::string u = "ああ";  // 82 A0 82 A0: "\xA0\x82" straddles the boundary
  EXPECT_EQ(FindAligned(u, "\xA0\x82"), std::string::npos);
  EXPECT_EQ(FindAligned(u, "あ", 1), 2u);
  EXPECT_EQ(FindAligned("abc", ""), 0u);
  EXPECT_EQ(FindAligned("ab", "abc"), std::string::npos);
  EXPECT_EQ(CountChars("aあ表"), 3u);
}

TEST(Sjis, ConversionRoundTripsAndReplacesWhatItCannotConvert) {
  std::string sj = "表示ソ能～①ｱ";
  std::string utf8 = Cp932ToUtf8(sj);
  EXPECT_EQ(utf8,
            "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x82\xBD\xE8\x83\xBD\xEF\xBD\x9E\xE2\x91\xA0\xEF\xBD\xB1");
  EXPECT_EQ(Utf8ToCp932(utf8), sj);
  // A character CP932 lacks becomes "?", and the rest survives.
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"
                        "b"),
            "a?b");
  // A broken two-byte character at the end becomes "?".
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a?");
}

TEST(Sjis, ScriptEncodingIsDetected) {
  std::string sj = "「あ」と、言う。";
  std::string utf8 = Cp932ToUtf8(sj);
  EXPECT_TRUE(IsUtf8Text(utf8));
  EXPECT_FALSE(IsUtf8Text(sj));
  EXPECT_FALSE(IsUtf8Text("plain ascii"));
  EXPECT_EQ(ScriptTextToCp932(utf8), sj);
  EXPECT_EQ(ScriptTextToCp932(sj), sj);
  EXPECT_EQ(ScriptTextToCp932("\xEF\xBB\xBF"
                              "abc"),
            "abc");
}

TEST(ConvToHalf, MapsFullWidthAndKeepsTheRest) {
  const TConvToHalf& c = TConvToHalf::Instance();
  EXPECT_EQ(c.Convert("Ａ"), "A");
  EXPECT_EQ(c.Convert("ｚ"), "z");
  EXPECT_EQ(c.Convert("９"), "9");
  EXPECT_EQ(c.Convert("≠"), "<>");
  EXPECT_EQ(c.Convert("※"), "'");
  EXPECT_EQ(c.Convert("。"), ";");
  EXPECT_EQ(c.Convert("』"), "`");
  EXPECT_EQ(c.Convert("\xA2"), "\"");
  EXPECT_EQ(c.Convert("あ"), "あ");
  EXPECT_EQ(c.Convert("x"), "x");
  EXPECT_EQ(c.ConvertText("Ａ１、あ。"), "A1,あ;");
}

// Lines end at CR LF, CR or LF alike, including breaks far past the search window and texts
// broken by CR alone (each line found without searching to the end).
TEST(NextLineTest, EveryBreakKindAndLongLines) {
  auto split = [](std::string_view t) {
    std::vector<std::string> out;
    for (size_t pos = 0; pos < t.size();) out.emplace_back(yume::NextLine(t, pos));
    return out;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(split("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(split("a\n\nb\r\n"), (V{"a", "", "b"}));
  EXPECT_EQ(split("\r\r\n\n"), (V{"", "", ""}));
  const std::string longer(700, 'x');
  EXPECT_EQ(split(longer + "\r" + longer + "\n" + longer + "\r\n" + longer),
            (V{longer, longer, longer, longer}));
  // LF long after a CR: the CR ends the line.
  EXPECT_EQ(split("ab\r" + longer + "\n"), (V{"ab", longer}));
  std::string crOnly;
  for (int i = 0; i < 1000; ++i) crOnly += "表示\r";
  const V lines = split(crOnly);
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(lines.back(), "表示");
}
