#include "commands/text/strings.h"

#include <gtest/gtest.h>

#include <random>

#include "core/sjis.h"

using namespace yume;

namespace {

// A plain character-by-character reference for the searches.
std::string ReferenceReplace(std::string_view s, std::string_view what, std::string_view with,
                             size_t& hits) {
  std::string out;
  hits = 0;
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, what.size(), what) == 0) {
      out.append(with);
      i += what.size();
      ++hits;
      continue;
    }
    const size_t len = CharLen(s, i);
    out.append(s.substr(i, len));
    i += len;
  }
  return out;
}

}  // namespace

TEST(StringSearch, MatchesOnlyWhereACharacterStarts) {
  // 表 95 5C, ソ 83 5C, ポ 83 7C, ー 81 5B, ア 83 41, テ 83 65.
  EXPECT_EQ(ReplaceAll("表\\ソ", "\\", "/"), "表/ソ");
  EXPECT_EQ(CountOccurrences("ポ|ポ", "|"), 1u);
  EXPECT_EQ(BytePosition("ー[", "["), 3u);
  EXPECT_EQ(CharPosition("アA", "A"), 2u);
  EXPECT_EQ(CharPosition("テe", "e"), 2u);
  // "\x5C\x83" straddles ソ and the next character: never a match.
  EXPECT_EQ(CountOccurrences("ソソ", "\x5C\x83"), 0u);
  EXPECT_EQ(SplitPieces("表,ソ\\x", "\\").size(), 2u);
}

TEST(StringSearch, AgreesWithACharacterWalkOnLongMixedTexts) {
  // Runs of lead-range bytes (ぁ is 82 9F: both bytes may lead) make the boundary test work
  // hardest; long texts cross the 16- and 32-byte blocks of the scan in every phase.
  const std::vector<std::string> alphabet = {"ぁ", "表", "ソ", "ポ", "ー", "ア", "\\", "[", "|",
                                             "A", "e", std::string(1, '\0'), "\x9F", "x"};
  const std::vector<std::string> needles = {"\\", "ぁ", "\x9F\x82", "\x82\x9F", "ソ\\",
                                            "ぁぁ", "Aア", "表ソポーア|x", "x"};
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::string s;
    const size_t n = rng() % 200;
    for (size_t k = 0; k < n; ++k) s += alphabet[rng() % alphabet.size()];
    for (const std::string& what : needles) {
      size_t hits = 0;
      const std::string expected = ReferenceReplace(s, what, "<>", hits);
      ASSERT_EQ(ReplaceAll(s, what, "<>"), expected) << round;
      ASSERT_EQ(CountOccurrences(s, what), hits) << round;
    }
  }
}

TEST(StringSearch, PositionsAndCounts) {
  EXPECT_EQ(CharPosition("あいう", "い"), 2u);
  EXPECT_EQ(BytePosition("あいう", "い"), 3u);
  EXPECT_EQ(CharPosition("abc", ""), 1u);  // the asymmetry is intended
  EXPECT_EQ(BytePosition("abc", ""), 0u);
  EXPECT_EQ(BytePosition("", "a"), 0u);
  EXPECT_EQ(CharPosition("ab", "abc"), 0u);
  EXPECT_EQ(CountOccurrences("aaaa", "aa"), 2u);
  EXPECT_EQ(CountOccurrences("abc", ""), 0u);
  EXPECT_EQ(CountLines(""), 0u);
  EXPECT_EQ(CountLines("a\r\nb\rc\nd"), 4u);
  EXPECT_EQ(CountLines("a\r\n"), 1u);
  EXPECT_EQ(CountLines("\r\n\r\n"), 2u);
}

TEST(StringSearch, ReplacingGoesOnAfterTheInsertedText) {
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll(std::string("a\0b\0", 4), std::string("\0", 1), "-"), "a-b-");
  EXPECT_EQ(ReplaceNth("aaa", 2, "a", "b"), "aba");
  EXPECT_EQ(ReplaceNth("aaa", 4, "a", "b"), "aaa");
  EXPECT_EQ(ReplaceNth("aaa", 0, "a", "b"), "aaa");
  EXPECT_EQ(ReplaceNth("abc", 1, "", "x"), "xabc");
  EXPECT_EQ(ReplaceNth("aaaa", 2, "aa", "b"), "aab");
}

TEST(StringExtract, CountsInCharactersOrBytes) {
  EXPECT_EQ(MidChars("あいうえお", 2, 3), "いうえ");
  EXPECT_EQ(MidChars("abcde", 0, 3), "ab");  // position 0 does not exist
  EXPECT_EQ(MidChars("abcde", 4, 10), "de");
  EXPECT_EQ(MidChars("abcde", 9, 1), "");
  EXPECT_EQ(MidChars("abcde", 2, 0), "");
  EXPECT_EQ(MidBytes("あいうえお", 3, 4), "いう");
  EXPECT_EQ(MidBytes("あいう", 2, 2), "\xA0\x82");  // may cut a character in half
  EXPECT_EQ(MidBytes("abc", -5, 2), "ab");
  EXPECT_EQ(MidBytes("abc", 4, 2), "");
  EXPECT_EQ(LeftChars("表ソx", 2), "表ソ");
  EXPECT_EQ(LeftChars("abc", -1), "");
  EXPECT_EQ(RightChars("表ソx", 2), "ソx");
  EXPECT_EQ(RightChars("abc", 9), "abc");
  EXPECT_EQ(DropRightChars("表ソx", 1), "表ソ");
  EXPECT_EQ(DropRightChars("abc", 3), "");
  EXPECT_EQ(DropLeftChars("表ソx", 1), "ソx");
  EXPECT_EQ(DropLeftChars("abc", 0), "abc");
}

TEST(StringExtract, ParagraphsEndAtABlankLine) {
  const std::string s = "a\r\nb\r\n\r\nc\r\r\rd";
  EXPECT_EQ(Paragraph(s, 1), "a\r\nb\r\n\r\n");
  EXPECT_EQ(Paragraph(s, 2), "c\r\r\r");
  EXPECT_EQ(Paragraph(s, 3), "d");
  EXPECT_EQ(Paragraph(s, 4), "");
  EXPECT_EQ(Paragraph(s, 0), "");
  EXPECT_EQ(Paragraph("\r\n\r\nx", 1), "");  // an empty paragraph
  EXPECT_EQ(Paragraph("\r\n\r\nx", 2), "x");
  EXPECT_EQ(Paragraph("a\n\nb", 1), "a\n\nb");  // only CR ends one
}

TEST(StringCut, DelimitersEscapesAndRanges) {
  TCut c = CutBefore("x,y,z", ",");
  EXPECT_EQ(c.Taken, "x");
  EXPECT_EQ(c.Rest, "y,z");
  c = CutBefore("xyz", ",");
  EXPECT_EQ(c.Taken, "xyz");
  EXPECT_EQ(c.Rest, "");
  c = CutBefore("表\\x", "\\");
  EXPECT_EQ(c.Taken, "表");
  EXPECT_EQ(c.Rest, "x");

  c = CutBeforeEscaped("a\\,b,c", ",", '\\');
  EXPECT_EQ(c.Taken, "a\\,b");
  EXPECT_EQ(c.Rest, "c");
  // The second byte of 表 is no escape; an escape before a two-byte character takes it whole.
  c = CutBeforeEscaped("表,x", ",", '\\');
  EXPECT_EQ(c.Taken, "表");
  c = CutBeforeEscaped("\\表,x", ",", '\\');
  EXPECT_EQ(c.Taken, "\\表");
  c = CutBeforeEscaped("ab\\", ",", '\\');
  EXPECT_EQ(c.Taken, "ab\\");

  TCut r;
  ASSERT_TRUE(CutRange("12<a>34</a>56", "<a>", "</a>", r));
  EXPECT_EQ(r.Taken, "<a>34</a>");
  EXPECT_EQ(r.Rest, "1256");
  ASSERT_TRUE(CutRange("1<a>23", "<a>", "</a>", r));
  EXPECT_EQ(r.Taken, "<a>23");
  EXPECT_EQ(r.Rest, "1");
  // The end text is searched from the start text on, not before it.
  ASSERT_TRUE(CutRange("]x[y]z", "[", "]", r));
  EXPECT_EQ(r.Taken, "[y]");
  EXPECT_EQ(r.Rest, "]xz");
  EXPECT_FALSE(CutRange("abc", "<", ">", r));
  EXPECT_FALSE(CutRange("ー[", "\x5B\x5B", "]", r));
}

TEST(StringBuild, SplitTrimPad) {
  EXPECT_EQ(SplitPieces("a,b,", ",").size(), 2u);
  EXPECT_EQ(SplitPieces("a,,b", ",").size(), 3u);
  EXPECT_EQ(SplitPieces("", ",").size(), 0u);
  EXPECT_EQ(SplitPieces("ab", "").size(), 1u);

  EXPECT_EQ(TrimSpaces(" \t　あ　b \r\n　"), "あ　b");
  EXPECT_EQ(TrimSpaces("　　"), "");
  // 88 81 is one character and "@" another: the bytes 81 40 at the end are no full-width space.
  EXPECT_EQ(TrimSpaces("\x88\x81@"), "\x88\x81@");
  EXPECT_EQ(TrimSpaces(std::string("\0a\0", 3)), "a");

  EXPECT_EQ(PadLeft("12", 5, ' '), "   12");
  EXPECT_EQ(PadLeft("123456", 5, ' '), "123456");
  EXPECT_EQ(PadLeft("7", 3, '0'), "007");
}

TEST(StringBuild, WrappingHangsAForbiddenLineStartOnce) {
  const std::string noStart = "、。)";
  EXPECT_EQ(WrapLines("あいうえお", 4, 8, ""), "あい\r\nうえ\r\nお");
  EXPECT_EQ(WrapLines("あいうえお", 0, 8, ""), "あいうえお");
  EXPECT_EQ(WrapLines("あい。うえ", 4, 8, noStart), "あい。\r\nうえ");
  EXPECT_EQ(WrapLines("abcd)ef", 4, 8, noStart), "abcd)\r\nef");
  EXPECT_EQ(WrapLines("abcdef", 4, 8, noStart), "abcd\r\nef");
  // A two-byte character never straddles the width; an odd width leaves a byte free.
  EXPECT_EQ(WrapLines("aあい", 4, 8, ""), "aあ\r\nい");
  // Line breaks in the text count once, also on a full line; CR LF and LF CR are one break.
  EXPECT_EQ(WrapLines("abcd\r\nef\n\rg", 4, 8, ""), "abcd\r\nef\r\ng");
  EXPECT_EQ(WrapLines("a\tb", 4, 8, ""), "a\t\r\nb");
  EXPECT_EQ(WrapLines("表ソポー", 4, 8, "ー"), "表ソ\r\nポー");
}

TEST(StringFormat, CurrencyRoundsHalvesAwayFromZero) {
  EXPECT_EQ(CurrencyText(1234567, false), "1,234,567");
  EXPECT_EQ(CurrencyText(1234.5L, true), "1,234.50");
  EXPECT_EQ(CurrencyText(-1234.5L, false), "-1,235");
  EXPECT_EQ(CurrencyText(2.675L, true), "2.68");
  EXPECT_EQ(CurrencyText(-0.4L, false), "0");
  EXPECT_EQ(CurrencyText(999.995L, true), "1,000.00");
  EXPECT_EQ(CurrencyText(0, true), "0.00");
}

TEST(StringFormat, OwnTemplateLanguage) {
  auto f = [](std::string_view fmt, std::string_view v) {
    std::string out;
    const TFormatStatus st = FormatValue(fmt, v, out);
    return st == TFormatStatus::kOk ? out : std::string(st == TFormatStatus::kBadFormat ? "BAD" : "RANGE");
  };
  EXPECT_EQ(f("%.2f", "3.14159"), "3.14");
  EXPECT_EQ(f("%f", "2"), "2.00");
  EXPECT_EQ(f("%.0f", "2.5"), "3");
  EXPECT_EQ(f("%8.3f|", "-1.5"), "  -1.500|");
  EXPECT_EQ(f("%3d", "7.9"), "  7");
  EXPECT_EQ(f("%-4d|", "-7"), "-7  |");
  EXPECT_EQ(f("%.3d", "-7"), "-007");
  EXPECT_EQ(f("%x", "255"), "FF");
  EXPECT_EQ(f("%u", "-1"), "18446744073709551615");
  EXPECT_EQ(f("%e", "1234.5"), "1.23450000000000E+003");
  EXPECT_EQ(f("%.3e", "-0.00012345"), "-1.23E-004");
  EXPECT_EQ(f("%g", "1234.5"), "1234.5");
  EXPECT_EQ(f("%g", "1.0e20"), "1E20");
  EXPECT_EQ(f("%g", "0.000001"), "1E-6");
  EXPECT_EQ(f("%n", "1234567.891"), "1,234,567.89");
  EXPECT_EQ(f("%m", "1234.5"), "\\1,235");
  EXPECT_EQ(f("%s", "abc"), "abc");
  EXPECT_EQ(f("[%5s]", "ab"), "[   ab]");
  EXPECT_EQ(f("[%-5s]", "ab"), "[ab   ]");
  EXPECT_EQ(f("%.3s", "あいう"), "あ");  // never half a character
  EXPECT_EQ(f("100%% %d", "5"), "100% 5");
  EXPECT_EQ(f("no conversion", "5"), "no conversion");
  EXPECT_EQ(f("表%s", "x"), "表x");
  // The first conversion decides: letters elsewhere in the text do not.
  EXPECT_EQ(f("%s (id)", "42"), "42 (id)");
  EXPECT_EQ(f("%s of %f", "x"), "BAD");
  EXPECT_EQ(f("%d%d", "1"), "BAD");
  // %n is a number here and %s of a number is its text: neither reads anything else.
  EXPECT_EQ(f("%n", "12"), "12.00");
  EXPECT_EQ(f("%s", "12"), "12");
  EXPECT_EQ(f("%*d", "1"), "BAD");
  EXPECT_EQ(f("%p", "1"), "BAD");
  EXPECT_EQ(f("abc%", "1"), "BAD");
  EXPECT_EQ(f("%99999999999d", "1"), "BAD");
  EXPECT_EQ(f("%d", "1.0e30"), "RANGE");
}

TEST(StringChars, CodesAndClasses) {
  EXPECT_EQ(FirstCharCode("あ"), 33440u);
  EXPECT_EQ(FirstCharCode("A"), 65u);
  EXPECT_EQ(CharFromCode(33440), "あ");
  EXPECT_EQ(CharFromCode(0), std::string(1, '\0'));
  EXPECT_TRUE(StartsUpper("Ａb"));
  EXPECT_FALSE(StartsUpper("ア"));  // 83 41: the "A" is a second byte
  EXPECT_FALSE(StartsUpper(""));
  EXPECT_TRUE(StartsDigit("９"));
  EXPECT_FALSE(StartsDigit("x9"));
  EXPECT_TRUE(StartsWide("表"));
  EXPECT_FALSE(StartsWide("a表"));
  EXPECT_TRUE(StartsHiragana("あ"));
  EXPECT_FALSE(StartsHiragana("ア"));
  EXPECT_FALSE(StartsHiragana("\x82"));
  EXPECT_TRUE(StartsKatakana("ア"));
  EXPECT_TRUE(IsNumberSequence("1.5e3"));
  EXPECT_FALSE(IsNumberSequence("-5"));
  EXPECT_FALSE(IsNumberSequence(""));
  EXPECT_FALSE(IsNumberSequence("1テ"));  // 83 65: the "e" is a second byte
}

TEST(StringBytes, DumpAndBinaryAccessStayInsideTheValue) {
  EXPECT_EQ(HexDump("AB"), "41,42,");
  EXPECT_EQ(HexDump(std::string(16, 'A')), "41,41,41,41,41,41,41,41,41,41,41,41,41,41,41,41\r\n");
  EXPECT_EQ(HexDump(""), "");

  EXPECT_EQ(BinFormatOf("word"), TBinFormat::kWord);
  EXPECT_EQ(BinFormatOf("char*"), TBinFormat::kCharZ);
  EXPECT_EQ(BinFormatOf("QWORD"), TBinFormat::kNone);

  std::string v(8, '\0');
  EXPECT_EQ(WriteBinary(v, 0, TBinFormat::kWord, "", 258), TFormatStatus::kOk);
  EXPECT_EQ(HexDump(v.substr(0, 2)), "02,01,");
  EXPECT_EQ(WriteBinary(v, 4, TBinFormat::kInt, "", -2), TFormatStatus::kOk);
  std::string out;
  bool isText = false;
  ASSERT_TRUE(ReadBinary(v, 4, TBinFormat::kInt, out, isText));
  EXPECT_EQ(out, "-2");
  EXPECT_FALSE(isText);
  ASSERT_TRUE(ReadBinary(v, 4, TBinFormat::kDword, out, isText));
  EXPECT_EQ(out, "4294967294");
  EXPECT_EQ(WriteBinary(v, 0, TBinFormat::kByte, "", 257), TFormatStatus::kOk);
  EXPECT_EQ(v[0], 1);
  // Beyond the end, or a number the format cannot hold: refused, value untouched.
  const std::string before = v;
  EXPECT_EQ(WriteBinary(v, 6, TBinFormat::kDword, "", 1), TFormatStatus::kOutOfRange);
  EXPECT_EQ(WriteBinary(v, 9, TBinFormat::kChar, "x", 0), TFormatStatus::kOutOfRange);
  EXPECT_EQ(WriteBinary(v, 0, TBinFormat::kWord, "", -1), TFormatStatus::kOutOfRange);
  EXPECT_EQ(WriteBinary(v, 0, TBinFormat::kWord, "", 65536), TFormatStatus::kOutOfRange);
  EXPECT_EQ(WriteBinary(v, 0, TBinFormat::kInt, "", 2147483648.0L), TFormatStatus::kOutOfRange);
  EXPECT_EQ(WriteBinary(v, 1, TBinFormat::kCharZ, "abcdefg", 0), TFormatStatus::kOutOfRange);
  EXPECT_EQ(v, before);
  EXPECT_FALSE(ReadBinary(v, 7, TBinFormat::kWord, out, isText));
  EXPECT_FALSE(ReadBinary(v, 9, TBinFormat::kCharZ, out, isText));

  EXPECT_EQ(WriteBinary(v, 1, TBinFormat::kCharZ, "ab", 0), TFormatStatus::kOk);
  ASSERT_TRUE(ReadBinary(v, 1, TBinFormat::kCharZ, out, isText));
  EXPECT_EQ(out, "ab");
  EXPECT_TRUE(isText);
  ASSERT_TRUE(ReadBinary("xyz", 1, TBinFormat::kCharZ, out, isText));
  EXPECT_EQ(out, "yz");  // no zero byte: up to the end of the value
  ASSERT_TRUE(ReadBinary("xyz", 3, TBinFormat::kCharZ, out, isText));
  EXPECT_EQ(out, "");
}

TEST(StringCounts, IntegerTexts) {
  int64_t n = 0;
  EXPECT_TRUE(ParseIntText(" -12 ", n));
  EXPECT_EQ(n, -12);
  EXPECT_TRUE(ParseIntText("$1F", n));
  EXPECT_EQ(n, 31);
  EXPECT_FALSE(ParseIntText("3.5", n));
  EXPECT_FALSE(ParseIntText("", n));
  EXPECT_FALSE(ParseIntText("-", n));
  EXPECT_FALSE(ParseIntText("99999999999999999999", n));
  EXPECT_EQ(TruncCount(-2.9L), -2);
  EXPECT_EQ(TruncCount(1e30L), int64_t{1} << 62);
}
