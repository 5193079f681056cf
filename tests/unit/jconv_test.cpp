#include "commands/text/jconv.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>

#include "core/sjis.h"

using namespace yume;

namespace {

std::string Code(unsigned code) {
  std::string s;
  if (code >= 0x100) s += static_cast<char>(code >> 8);
  s += static_cast<char>(code & 0xFF);
  return s;
}

// Every double-byte code the system's converter knows, lead bytes from..to.
std::vector<unsigned> DefinedCodes(unsigned fromLead, unsigned toLead) {
  std::vector<unsigned> codes;
  for (unsigned lead = fromLead; lead <= toLead; ++lead) {
    if (!IsLead(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string c = Code((lead << 8) | trail);
      if (Cp932ToUtf8(c) != "?") codes.push_back((lead << 8) | trail);
    }
  }
  return codes;
}

// A conversion by the system's iconv; empty when it refuses.
std::string Iconv(const char* to, const char* from, std::string_view s) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(s.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(s.data());
  size_t left = s.size();
  char* dst = out.data();
  size_t room = out.size();
  const size_t r = iconv(cd, &in, &left, &dst, &room);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return {};
  out.resize(dst - out.data());
  return out;
}

}  // namespace

// ---- widths ----

TEST(JConvWidth, FullAndHalfWidthAreEachOthersInverse) {
  for (unsigned c = 0x21; c <= 0x7E; ++c) {
    const std::string full = ToFullWidth(Code(c));
    ASSERT_EQ(full.size(), 2u) << c;
    EXPECT_EQ(ToHalfWidth(full), Code(c)) << c;
  }
  for (unsigned c = 0xA1; c <= 0xDF; ++c) {
    const std::string full = ToFullWidth(Code(c));
    ASSERT_EQ(full.size(), 2u) << c;
    EXPECT_EQ(ToHalfWidth(full), Code(c)) << c;
  }
  // Every katakana that has a half-width form comes back from it, voiced ones included.
  int halved = 0;
  for (unsigned code = 0x8340; code <= 0x8396; ++code) {
    const std::string half = ToHalfWidth(Code(code));
    if (half == Code(code)) continue;
    ++halved;
    EXPECT_EQ(ToFullWidth(half), Code(code)) << std::hex << code;
  }
  EXPECT_EQ(halved, 86 - 5);  // all but ヮ, ヰ, ヱ, ヵ, ヶ
}

TEST(JConvWidth, VoicedMarksAndTheYenSign) {
  EXPECT_EQ(ToHalfWidth("ＡＢＣ１２３"), "ABC123");
  EXPECT_EQ(ToHalfWidth("ガパヴ「。」ー"), "ｶﾞﾊﾟｳﾞ｢｡｣ｰ");
  EXPECT_EQ(ToFullWidth("ｶﾞﾊﾟｳﾞ"), "ガパヴ");
  // Marks merge only where Shift_JIS has the character.
  EXPECT_EQ(ToFullWidth("ﾜﾞｱﾟﾞﾞ"), "ワ゛ア゜゛゛");
  EXPECT_EQ(ToFullWidth("ｶ"), "カ");
  EXPECT_EQ(ToFullWidth("\\"), "￥");
  EXPECT_EQ(ToFullWidth("a\"'~ "), "ａ”’～　");
  EXPECT_EQ(ToHalfWidth("￥＼“”‘’～"), "\\\\\"\"`'~");
  // Hiragana, kanji and the characters without a half-width form stay.
  EXPECT_EQ(ToHalfWidth("あ漢ヵヶヮ①"), "あ漢ヵヶヮ①");
}

TEST(JConvWidth, SecondBytesThatLookLikeAsciiAreNeverConverted) {
  // 表 95 5C, ソ 83 5C, 能 94 5C, ポ 83 7C, ー 81 5B, ア 83 41, ヂ 83 61.
  const std::string s = "表ソ能ポーアヂ";
  EXPECT_EQ(ToFullWidth(s), s);
  EXPECT_EQ(ToFullWidth(s + "\\[|A"), s + "￥［｜Ａ");
  EXPECT_EQ(ToHalfWidth("表ソ能ポ"), "表ｿ能ﾎﾟ");
  EXPECT_EQ(ToUpperCase("アヂa"), "アヂA");
  EXPECT_EQ(ToLowerCase("アヂA"), "アヂa");
  EXPECT_EQ(AlnumToHalfWidth("表ソ能ア"), "表ソ能ア");
  // A lead byte at the very end is one byte of its own.
  EXPECT_EQ(ToFullWidth("a\x95"), "ａ\x95");
}

TEST(JConvWidth, AlnumHalfWidthKeepsMarksApart) {
  EXPECT_EQ(AlnumToHalfWidth("ｶﾞＡ１"), "カ゛A1");
  EXPECT_EQ(AlnumToHalfWidth("ﾊﾟｰ｡"), "ハ゜ー。");
  // The list: these become half-width, the other full-width symbols stay.
  EXPECT_EQ(AlnumToHalfWidth("！”＃＄％＆’（）＝－￥［］｛｝＿／＞＜，．＠‘　"),
            "!\"#$%&'()=-\\[]{}_/><,.@` ");
  EXPECT_EQ(AlnumToHalfWidth("＋＊？：；｜＾～ア漢"), "＋＊？：；｜＾～ア漢");
  EXPECT_EQ(AlnumToHalfWidth("\xA0"
                             "abc"),
            "　abc");
}

// ---- case and kana ----

TEST(JConvCase, LettersOfEveryScriptBothWays) {
  EXPECT_EQ(ToUpperCase("abcxyzａｚαωабвёя"), "ABCXYZＡＺΑΩАБВЁЯ");
  EXPECT_EQ(ToLowerCase("ABCXYZＡＺΑΩАБВЁЯ"), "abcxyzａｚαωабвёя");
  // Roman numerals: the IBM and NEC codes of ⅰ both go to Ⅰ (87 54).
  EXPECT_EQ(ToUpperCase("\xFA\x40\xEE\xEF"), "\x87\x54\x87\x54");
  EXPECT_EQ(ToLowerCase(ToUpperCase("\xEE\xEF")), "\xEE\xEF");
  // Half-width katakana, kana and symbols have no case.
  EXPECT_EQ(ToUpperCase("ｱあ@[`{"), "ｱあ@[`{");
  for (unsigned c = 'a'; c <= 'z'; ++c) EXPECT_EQ(ToLowerCase(ToUpperCase(Code(c))), Code(c));
}

TEST(JConvKana, KatakanaAndHiraganaBothWays) {
  EXPECT_EQ(ToHiragana("アイウガパンヽヾ"), "あいうがぱんゝゞ");
  EXPECT_EQ(ToKatakana("あいうがぱんゝゞ"), "アイウガパンヽヾ");
  // Shift_JIS has no hiragana for these, and half-width katakana stay half-width.
  EXPECT_EQ(ToHiragana("ヴヵヶｱ"), "ヴヵヶｱ");
  for (unsigned code = 0x8340; code <= 0x8393; ++code) {
    if (code == 0x837F) continue;
    const std::string k = Code(code);
    const std::string h = ToHiragana(k);
    EXPECT_NE(h, k) << std::hex << code;
    EXPECT_EQ(ToKatakana(h), k) << std::hex << code;
  }
}

// ---- detection ----

TEST(JConvDetect, DecidesByTheFirstTellingBytes) {
  EXPECT_EQ(DetectJCode(""), kCodeAscii);
  EXPECT_EQ(DetectJCode("plain text\r\n"), kCodeAscii);
  EXPECT_EQ(DetectJCode("ab\x01"
                        "cd"),
            kCodeBinary);
  EXPECT_EQ(DetectJCode("ab\xFF"
                        "cd"),
            kCodeBinary);
  EXPECT_EQ(DetectJCode("abc\x01"), kCodeAscii);  // the last byte is never looked at
  EXPECT_EQ(DetectJCode("a\x1B$B$\"\x1B(J"), kCodeJis);
  EXPECT_EQ(DetectJCode("a\x1B$@$\"\x1B(J"), kCodeJisOld);
  EXPECT_EQ(DetectJCode("あいう"), kCodeSjis);
  EXPECT_EQ(DetectJCode("\xE0\x40"), kCodeSjis);  // 漾
  EXPECT_EQ(DetectJCode("\xE0\xFD"), kCodeEuc);
  EXPECT_EQ(DetectJCode("\xF4\xA1"), kCodeEuc);
  EXPECT_EQ(DetectJCode("\xB1\xF0"
                        "a"),
            kCodeEuc);  // a kana-range byte, then F0
  EXPECT_EQ(DetectJCode("\x8E\x40"), kCodeSjis);
  EXPECT_EQ(DetectJCode("\x8E\xB1"), kCodeEucOrSjis);
  // EUC kana alone cannot be told from half-width katakana; a kanji decides.
  EXPECT_EQ(DetectJCode("\xA4\xA2\xA4\xA4"), kCodeEucOrSjis);
  EXPECT_EQ(DetectJCode("\xA4\xA2\xB4\xC1\xBB\xFA"), kCodeEuc);  // あ漢字
  EXPECT_EQ(DetectJCode("ｱｲｳｴ"), kCodeEucOrSjis);
  EXPECT_EQ(DetectJCode("ｱ\x82\xA0"), kCodeSjis);  // ｱ then a byte below A0
  // A1-DF then E0-EF: the bytes after decide (8x for Shift_JIS, FD/FE for EUC).
  EXPECT_EQ(DetectJCode("\xB1\xE0\xA1\x82"), kCodeSjis);
  EXPECT_EQ(DetectJCode("\xB1\xE0\xA1\xFD"), kCodeEuc);
  // The first decision stands.
  EXPECT_EQ(DetectJCode("あ\xF4\xA1"), kCodeSjis);
  EXPECT_EQ(DetectJCode("a\x82"), kCodeAscii);
}

// ---- code pages ----

TEST(JConvCodes, JisEscapesAroundEveryKanjiRun) {
  EXPECT_EQ(ConvertDetected("あa", kCodeJis), "\x1B$B$\"\x1B(Ja");
  EXPECT_EQ(ConvertDetected("あ\r\nい\n", kCodeJis), "\x1B$B$\"\x1B(J\r\n\x1B$B$$\x1B(J\n");
  EXPECT_EQ(ConvertDetected("aあ", kCodeJis), "a\x1B$B$\"\x1B(J");
  // 表 and ソ end in "\": the pair goes whole.
  EXPECT_EQ(ConvertJCode("表\\ソ", kCodeSjis, kCodeJis), "\x1B$BI=\x1B(J\\\x1B$B%=\x1B(J");
  // Half-width kana become full-width, with the marks Shift_JIS merges.
  EXPECT_EQ(ConvertJCode("ｶﾞｷﾟﾊﾟｳﾞ", kCodeSjis, kCodeJis),
            ConvertJCode("ガキ゜パヴ", kCodeSjis, kCodeJis));
  EXPECT_EQ(ConvertJCode("\x8E\xB6\x8E\xDE\x8E\xB7", kCodeEuc, kCodeJis),
            ConvertJCode("ガキ", kCodeSjis, kCodeJis));
}

TEST(JConvCodes, AgreesWithTheSystemsEucForJisX0208AndNecRow13) {
  // Leads 81-EC: JIS X 0208 and NEC's row 13 (the NEC-selected IBM rows differ by design).
  const std::vector<unsigned> codes = DefinedCodes(0x81, 0xEC);
  ASSERT_EQ(codes.size(), 6879u + 83u);  // JIS X 0208 and row 13
  // Only the row-13 twins of row-2 symbols (≒≡∫√⊥∠∵∩∪) differ: the system goes by their
  // Unicode, ending in row 2; the row stays 13 here, so they come back as they were.
  std::vector<unsigned> differ;
  for (unsigned code : codes) {
    const std::string ours = ConvertJCode(Code(code), kCodeSjis, kCodeEuc);
    if (ours != Iconv("EUC-JP-MS", "CP932", Code(code))) {
      differ.push_back(code);
      EXPECT_EQ(ours[0], '\xAD') << std::hex << code;
    }
  }
  EXPECT_EQ(differ, (std::vector<unsigned>{0x8790, 0x8791, 0x8792, 0x8795, 0x8796, 0x8797, 0x879A,
                                           0x879B, 0x879C}));
}

TEST(JConvCodes, RoundTripsThroughEveryCodePage) {
  std::vector<std::string> alphabet;
  for (unsigned code : DefinedCodes(0x81, 0xEF)) alphabet.push_back(Code(code));
  for (const char* s : {"\\", "[", "|", "a", "~", "\r\n", "\n", " ", "\x1B"})
    alphabet.emplace_back(s);
  std::mt19937 rng(7);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  for (int round = 0; round < 50; ++round) {
    std::string sjis;
    for (int k = 0; k < 300; ++k) sjis += alphabet[pick(rng)];
    const std::string jis = ConvertJCode(sjis, kCodeSjis, kCodeJis);
    const std::string euc = ConvertJCode(sjis, kCodeSjis, kCodeEuc);
    for (unsigned char c : jis) ASSERT_LT(c, 0x80);
    EXPECT_EQ(ConvertJCode(jis, kCodeJis, kCodeSjis), sjis);
    EXPECT_EQ(ConvertJCode(euc, kCodeEuc, kCodeSjis), sjis);
    EXPECT_EQ(ConvertJCode(jis, kCodeJis, kCodeEuc), euc);
    EXPECT_EQ(ConvertJCode(euc, kCodeEuc, kCodeJis), jis);
  }
  // Half-width katakana keep their bytes through EUC.
  const std::string kana = "ｱｶﾞﾊﾟ｡｢ｰ";
  EXPECT_EQ(ConvertJCode(kana, kCodeSjis, kCodeEuc),
            "\x8E\xB1\x8E\xB6\x8E\xDE\x8E\xCA\x8E\xDF"
            "\x8E\xA1\x8E\xA2\x8E\xB0");
  EXPECT_EQ(ConvertJCode(ConvertJCode(kana, kCodeSjis, kCodeEuc), kCodeEuc, kCodeSjis), kana);
}

TEST(JConvCodes, CharactersWithoutAJisPlace) {
  // IBM extension codes go by their NEC-selected twins; user-defined characters become 〓.
  EXPECT_EQ(ConvertJCode("\xFA\x5C", kCodeSjis, kCodeEuc),
            ConvertJCode("\xED\x40", kCodeSjis, kCodeEuc));
  EXPECT_EQ(ConvertJCode("\xFA\x40", kCodeSjis, kCodeJis),
            ConvertJCode("\xEE\xEF", kCodeSjis, kCodeJis));
  EXPECT_EQ(ConvertJCode("\xF0\x40", kCodeSjis, kCodeJis), ConvertJCode("〓", kCodeSjis, kCodeJis));
  // JIS X 0212 in EUC (three bytes) has no Shift_JIS place either.
  EXPECT_EQ(ConvertJCode("a\x8F\xB0\xA1"
                         "b",
                         kCodeEuc, kCodeSjis),
            "a〓b");
}

TEST(JConvCodes, ReadingJis) {
  // Every escape is three bytes; ESC $ @ reads as ESC $ B; line breaks pass in kanji mode.
  EXPECT_EQ(ConvertJCode("\x1B$@$\"\r\n$$\x1B(Bx", kCodeJis, kCodeSjis), "あ\r\nいx");
  // ESC ( I: half-width katakana.
  EXPECT_EQ(ConvertJCode("\x1B(I1\x1B(Ja", kCodeJis, kCodeSjis), "ｱa");
  EXPECT_EQ(ConvertJCode("\x1B(I1", kCodeJis, kCodeEuc), "\x8E\xB1");
}

TEST(JConvCodes, NamesAndDetectedSources) {
  EXPECT_EQ(JCodeByName("euc"), kCodeEuc);
  EXPECT_EQ(JCodeByName("Jis"), kCodeJis);
  EXPECT_EQ(JCodeByName("SJIS"), kCodeSjis);
  EXPECT_EQ(JCodeByName("UTF8"), kCodeSjis);
  EXPECT_EQ(ConvertJCode("あ", kCodeSjis, kCodeSjis), "あ");
  // Nothing to convert: ASCII, binary, undecided, or already the target.
  EXPECT_EQ(ConvertDetected("abc", kCodeEuc), "abc");
  EXPECT_EQ(ConvertDetected("ｱｲ", kCodeEuc), "ｱｲ");
  EXPECT_EQ(ConvertDetected("\x01あ", kCodeEuc), "\x01あ");
  EXPECT_EQ(ConvertDetected("あ", kCodeSjis), "あ");
  const std::string jis = ConvertDetected("漢字", kCodeJis);
  EXPECT_EQ(ConvertDetected(jis, kCodeJis), jis);
  EXPECT_EQ(ConvertDetected(jis, kCodeSjis), "漢字");
  EXPECT_EQ(ConvertDetected(ConvertDetected("漢字", kCodeEuc), kCodeSjis), "漢字");
}

// ---- UTF-8 ----

TEST(JConvUtf8, CodePage932BothWays) {
  EXPECT_EQ(SjisToUtf8("表ソ能～①￥"),
            "\xE8\xA1\xA8\xE3\x82\xBD\xE8\x83\xBD\xEF\xBD\x9E\xE2\x91\xA0\xEF\xBF\xA5");
  std::string back;
  ASSERT_TRUE(Utf8ToSjis(SjisToUtf8("表ソ能～①￥ｱ\\"), back));
  EXPECT_EQ(back, "表ソ能～①￥ｱ\\");
  // The wave dash of JIS-based converters is the code page's 81 60.
  ASSERT_TRUE(Utf8ToSjis("\xE3\x80\x9C", back));
  EXPECT_EQ(back, "\x81\x60");
  // A byte-order mark goes; what the code page lacks becomes "?".
  ASSERT_TRUE(
      Utf8ToSjis("\xEF\xBB\xBF"
                 "a\xF0\x9F\x98\x80"
                 "b",
                 back));
  EXPECT_EQ(back, "a?b");
  // Both stop at a zero byte.
  EXPECT_EQ(SjisToUtf8(std::string("a\0b", 3)), "a");
  ASSERT_TRUE(Utf8ToSjis(std::string("a\0b", 3), back));
  EXPECT_EQ(back, "a");
}

TEST(JConvUtf8, EveryByteSurvivesTheRoundTrip) {
  // Each single byte that is no lead byte, the undefined ones included.
  std::string all;
  for (unsigned c = 1; c < 256; ++c)
    if (!IsLead(static_cast<unsigned char>(c))) all += static_cast<char>(c);
  const std::string utf8 = SjisToUtf8(all);
  EXPECT_NE(utf8.find("\xC2\x80"), std::string::npos);
  EXPECT_NE(utf8.find("\xEF\xA3\xB0"), std::string::npos);  // A0 as U+F8F0
  EXPECT_NE(utf8.find("\xEF\xA3\xB3"), std::string::npos);  // FF as U+F8F3
  std::string back;
  ASSERT_TRUE(Utf8ToSjis(utf8, back));
  EXPECT_EQ(back, all);
  // Every double-byte code that is the code page's own for its character.
  std::string text;
  for (unsigned code : DefinedCodes(0x81, 0xFC))
    if (Utf8ToCp932(Cp932ToUtf8(Code(code))) == Code(code)) text += Code(code);
  ASSERT_TRUE(Utf8ToSjis(SjisToUtf8(text), back));
  EXPECT_EQ(back, text);
  // A pair with no character, and a lead byte at the end.
  EXPECT_EQ(SjisToUtf8("\x85\x40"
                       "a\x81"),
            "\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
}

TEST(JConvUtf8, TextThatIsNoUtf8IsRefused) {
  std::string out;
  EXPECT_FALSE(Utf8ToSjis("\x82\xA0", out));      // Shift_JIS あ
  EXPECT_FALSE(Utf8ToSjis("ab\xE3\x81", out));    // cut short
  EXPECT_FALSE(Utf8ToSjis("\xC0\xAF", out));      // overlong
  EXPECT_FALSE(Utf8ToSjis("\xED\xA0\x80", out));  // a surrogate
  EXPECT_TRUE(Utf8ToSjis("", out));
  EXPECT_EQ(out, "");
}

// ---- Base64 ----

TEST(JConvBase64, EncodesAndDecodesEveryByte) {
  EXPECT_EQ(Base64Encode("abc"), "YWJj");
  EXPECT_EQ(Base64Encode("ab"), "YWI=");
  EXPECT_EQ(Base64Encode("a"), "YQ==");
  EXPECT_EQ(Base64Encode(""), "");
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (size_t len = 0; len <= all.size(); len += 37) {
    std::string out;
    const std::string enc = Base64Encode(all.substr(0, len + len % 3));
    EXPECT_EQ(enc.find_first_of("\r\n"), std::string::npos);
    ASSERT_TRUE(Base64Decode(enc, out));
    EXPECT_EQ(out, all.substr(0, len + len % 3));
  }
}

TEST(JConvBase64, DecodingSkipsLineBreaksAndRefusesTheRest) {
  std::string out;
  ASSERT_TRUE(Base64Decode("YW\r\nJj", out));
  EXPECT_EQ(out, "abc");
  ASSERT_TRUE(Base64Decode("YQ==YWI=", out));  // padded groups one after another
  EXPECT_EQ(out, "aab");
  ASSERT_TRUE(Base64Decode("YWI", out));  // padding left off
  EXPECT_EQ(out, "ab");
  EXPECT_FALSE(Base64Decode("YW Jj", out));
  EXPECT_FALSE(Base64Decode("YW!j", out));
  EXPECT_FALSE(Base64Decode("Y", out));
  EXPECT_FALSE(Base64Decode("Y===", out));
  EXPECT_FALSE(Base64Decode("YW=j", out));
}

// ---- mail ----

TEST(JConvMail, HeaderWordsBothWays) {
  EXPECT_EQ(MailHeaderEncode("件名abc"), "=?ISO-2022-JP?B?GyRCN29MPhsoSg==?=abc");
  EXPECT_EQ(MailHeaderEncode("Re: 表 ソ"), "Re: =?ISO-2022-JP?B?" + Base64Encode("\x1B$BI=\x1B(J") +
                                               "?= =?ISO-2022-JP?B?" +
                                               Base64Encode("\x1B$B%=\x1B(J") + "?=");
  // Half-width katakana count as single bytes.
  EXPECT_EQ(MailHeaderEncode("ｱ"), "ｱ");
  for (const char* s : {"件名abc", "Re: 表\\ソ[ポ| 能", "あ", "plain"})
    EXPECT_EQ(MailHeaderDecode(MailHeaderEncode(s)), s);
  // The marker in any case; other encoded words stay as they are.
  EXPECT_EQ(MailHeaderDecode("=?iso-2022-jp?b?GyRCN29MPhsoSg==?= =?UTF-8?B?YQ==?="),
            "件名 =?UTF-8?B?YQ==?=");
}

TEST(JConvMail, DecodingKeepsHalfWidthKatakanaAndCutsAtControlBytes) {
  EXPECT_EQ(MailHeaderDecode("=?ISO-2022-JP?B?GyRCN29MPhsoSg==?= ｱｲｳ!"), "件名 ｱｲｳ!");
  EXPECT_EQ(MailHeaderDecode("ｶﾀｶﾅ\tx\r\n"), "ｶﾀｶﾅ\tx\r\n");
  EXPECT_EQ(MailHeaderDecode("ab\x01"
                             "cd"),
            "ab");
  EXPECT_EQ(MailHeaderDecode("ab\x7F"
                             "cd"),
            "ab");
  // A broken word empties the whole result.
  EXPECT_EQ(MailHeaderDecode("x=?ISO-2022-JP?B?G!?="), "");
}

TEST(JConvMail, MailboxMessagesOneAtATime) {
  const std::string box = "a\r\n.\r\nb\r\n";
  size_t used = 0;
  EXPECT_EQ(FirstMailboxMessage(box, used), "a\r\n.\r\n");
  EXPECT_EQ(box.substr(used), "b\r\n");
  EXPECT_EQ(FirstMailboxMessage(box.substr(used), used), "b\r\n");
  EXPECT_EQ(used, 3u);
  // A last line without CR LF gets one; ".x" and " ." close nothing.
  EXPECT_EQ(FirstMailboxMessage(".x\r\n .\r\nend", used), ".x\r\n .\r\nend\r\n");
  EXPECT_EQ(used, 11u);
  EXPECT_EQ(FirstMailboxMessage("", used), "");
  EXPECT_EQ(used, 0u);
}
