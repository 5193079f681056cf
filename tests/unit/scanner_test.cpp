#include "core/scanner.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/eval_fixture.h"

using namespace yume;
using yume::evaltest::ErrorOf;

namespace {

std::string Word(std::string_view text, size_t& pos) {
  return std::string(ReadWord(text, pos));
}

std::string Number(std::string_view text) {
  size_t pos = 0;
  return ReadNumber(text, pos);
}

struct ScannerTest : ::testing::Test {
  TYumeBase y;
  ScannerTest() { y.FileName = "t.ymr"; }
};

}  // namespace

TEST(ScannerClasses, MatchTheLanguage) {
  for (char c : {'\t', ' ', ',', '\xA4'}) EXPECT_TRUE(IsSeparator(c)) << int(c);
  for (char c : {'\n', '\r', ';', '&', '#'}) EXPECT_FALSE(IsSeparator(c)) << int(c);
  for (char c : std::string_view("\t\r !\"#%&()*+,-/:;<=>?\\^`\xA4"))
    EXPECT_TRUE(IsDelimiter(c)) << c;
  EXPECT_TRUE(IsDelimiter('\0'));
  // These are parts of words.
  for (char c : std::string_view("\n$.@|[]{}~'_aZ9")) EXPECT_FALSE(IsDelimiter(c)) << int(c);
  for (char c : std::string_view("!%&*+-/<=>^|")) EXPECT_TRUE(IsOperatorChar(c)) << c;
  for (char c : std::string_view("#$()\"`,.")) EXPECT_FALSE(IsOperatorChar(c)) << c;
  for (char c : std::string_view("!&<=>|")) EXPECT_TRUE(IsPairingChar(c)) << c;
  for (char c : std::string_view("%*+-/^")) EXPECT_FALSE(IsPairingChar(c)) << c;
}

TEST(ScannerReadWord, StopsAtDelimitersOnly) {
  size_t pos = 0;
  EXPECT_EQ(Word("  \tAは,5", pos), "Aは");
  EXPECT_EQ(pos, 6u);
  pos = 0;
  EXPECT_EQ(Word("x.y_z$1@a|b#2", pos), "x.y_z$1@a|b");
  pos = 0;
  EXPECT_EQ(Word("a\nb\rc", pos), "a\nb");  // a line feed is part of a word
  pos = 0;
  EXPECT_EQ(Word("", pos), "");
  EXPECT_EQ(pos, 0u);
}

TEST(ScannerReadWord, StepsOverSecondBytesThatLookLikeDelimiters) {
  // 表 = 95 5C ("\"), タ = 83 5E ("^"), ～ = 81 60 (backquote).
  size_t pos = 0;
  EXPECT_EQ(Word("表示タ～を;", pos), "表示タ～を");
  EXPECT_EQ(CharAt("表示タ～を;", pos), ';');
  // A lead byte at the very end is taken as one character.
  pos = 0;
  EXPECT_EQ(Word("ab\x95", pos), "ab\x95");
}

TEST(ScannerReadNumber, DecimalForms) {
  EXPECT_EQ(Number("  -12.5e3x"), "-12.5e3");
  EXPECT_EQ(Number("12.5E+3"), "12.5E+3");
  EXPECT_EQ(Number("1.x"), "1");     // "." counts only before a digit
  EXPECT_EQ(Number("1e5"), "1");     // an exponent only after a fraction
  EXPECT_EQ(Number("1.5e"), "1.5");  // an exponent needs digits
  EXPECT_EQ(Number("+7"), "+7");
  EXPECT_EQ(Number(",5"), "5");  // separators are skipped first
  EXPECT_EQ(Number("-"), "-");   // no digits: just the sign
  EXPECT_EQ(Number("abc"), "");
}

TEST(ScannerReadNumber, HexadecimalBecomesDecimal) {
  EXPECT_EQ(Number("$FF"), "255");
  EXPECT_EQ(Number("$ff;"), "255");
  EXPECT_EQ(Number("-$10"), "-16");
  EXPECT_EQ(Number("$"), "0");
  EXPECT_EQ(Number("$FFFFFFFFFFFFFFFF"), "18446744073709551615");
  EXPECT_EQ(Number("$10000000000000000"), "1.84467440737096E19");
  size_t pos = 0;
  EXPECT_EQ(ReadNumber("$1Gを", pos), "1");
  EXPECT_EQ(pos, 2u);
}

TEST_F(ScannerTest, StringLiteralsOfAllThreeKinds) {
  const std::string_view text = "\"a\\\"b\"を `x``y`と @@#a\\#b#;";
  size_t pos = 0;
  EXPECT_EQ(ReadStringLiteral(y, text, pos), "\"a\\\"b\"");
  EXPECT_EQ(ReadWord(text, pos), "を");
  ++pos;
  EXPECT_EQ(ReadStringLiteral(y, text, pos), "`x``y`");
  EXPECT_EQ(ReadWord(text, pos), "と");
  ++pos;
  EXPECT_EQ(ReadStringLiteral(y, text, pos), "@@#a\\#b#");
  EXPECT_EQ(CharAt(text, pos), ';');
}

TEST_F(ScannerTest, StringLiteralsStepOverTwoByteCharacters) {
  size_t pos = 0;
  // 表 ends in 5C: it must not escape the closing quote.
  EXPECT_EQ(ReadStringLiteral(y, "\"表\"x", pos), "\"表\"");
  pos = 0;
  // ～ ends in 60: it must not close a backquote literal.
  EXPECT_EQ(ReadStringLiteral(y, "`～`x", pos), "`～`");
  pos = 0;
  // A two-byte terminator of a here-document, and "￥" as escape.
  EXPECT_EQ(ReadStringLiteral(y, "@@あa￥あbあc", pos), "@@あa￥あbあ");
}

TEST_F(ScannerTest, UnterminatedLiteralsRaise) {
  size_t pos = 0;
  EXPECT_EQ(ErrorOf([&] { ReadStringLiteral(y, "\"abc", pos); }),
            "[エラー] t.ymr(0行目): 対応するカッコ \" または 」 がありません。");
  EXPECT_EQ(ErrorOf([&] { ReadStringLiteral(y, "`abc``", pos); }),
            "[エラー] t.ymr(0行目): 対応するカッコ ` または 』 がありません。");
  EXPECT_EQ(ErrorOf([&] { ReadStringLiteral(y, "@@%abc", pos); }),
            "[エラー] t.ymr(0行目): 対応するカッコ%がありません。");
  EXPECT_EQ(ErrorOf([&] { ReadStringLiteral(y, "\"ab\\\"", pos); }),
            "[エラー] t.ymr(0行目): 対応するカッコ \" または 」 がありません。");
  EXPECT_EQ(pos, 0u);
}

TEST_F(ScannerTest, ParenthesesNestAndSkipLiterals) {
  size_t pos = 0;
  EXPECT_EQ(ReadParenthesized(y, "(a(b)c)d", pos), "a(b)c");
  EXPECT_EQ(pos, 7u);
  pos = 0;
  EXPECT_EQ(ReadParenthesized(y, "(\")\"&`(`&@@#)#)", pos), "\")\"&`(`&@@#)#");
  pos = 0;
  EXPECT_EQ(ReadParenthesized(y, "()", pos), "");
  EXPECT_EQ(pos, 2u);
  pos = 0;
  EXPECT_EQ(ReadParenthesized(y, "a(b)", pos), "");  // not on "("
  EXPECT_EQ(pos, 0u);
}

TEST_F(ScannerTest, UnbalancedParenthesisRaises) {
  const std::string expected = "[エラー] t.ymr(0行目): \")\"が対応していません。";
  size_t pos = 0;
  EXPECT_EQ(ErrorOf([&] { ReadParenthesized(y, "(a(b)", pos); }), expected);
  EXPECT_EQ(ErrorOf([&] { ReadParenthesized(y, "(\")", pos); }), expected);
}

TEST_F(ScannerTest, QuoteBackquoteEvaluatesBackToTheText) {
  EXPECT_EQ(QuoteBackquote(""), "``");
  EXPECT_EQ(QuoteBackquote("a`b"), "`a``b`");
  EXPECT_EQ(QuoteBackquote("～"), "`～`");  // second byte 60 is no backquote
  for (const char* s : {"", "`", "``x``", "a\"b", "{A}", "表～ソ", "\\n", "1,2\r\n3"})
    EXPECT_EQ(EvaluateText(y, QuoteBackquote(s)), s) << s;
}

TEST_F(ScannerTest, LineMarkerSetsTheLine) {
  size_t pos = 0;
  ReadLineMarker(y, "\r\n 12:abc", pos);
  EXPECT_EQ(y.Line, 12);
  EXPECT_EQ(pos, 6u);
  pos = 0;
  ReadLineMarker(y, "\r\n12x", pos);
  EXPECT_EQ(y.Line, -1);
  y.Line = 3;
  pos = 0;
  ReadLineMarker(y, "\r\nabc", pos);
  EXPECT_EQ(y.Line, 3);
  EXPECT_EQ(pos, 2u);
}

TEST_F(ScannerTest, ConcatTailWithoutAmpersandIsTheParticle) {
  size_t pos = 0;
  EXPECT_EQ(ReadConcatTail(y, "  と,言う", pos), "と");
  EXPECT_EQ(pos, 4u);
}

TEST_F(ScannerTest, ConcatTailQuotesLiteralsAndKeepsWords) {
  std::string_view text = " & \"x{1+1}\"&A & `b`を,表示";
  size_t pos = 0;
  EXPECT_EQ(ReadConcatTail(y, text, pos), "&`x2`&A&`b`を");
  EXPECT_EQ(CharAt(text, pos), ',');
  text = "&Bと";
  pos = 0;
  EXPECT_EQ(ReadConcatTail(y, text, pos), "&Bと");
  text = "&(1+2) & -5に";
  pos = 0;
  EXPECT_EQ(ReadConcatTail(y, text, pos), "&(1+2)&-5に");
  EXPECT_EQ(EvaluateText(y, "1&(1+2)&-5"), "13-5");
}

TEST_F(ScannerTest, ConcatTailContinuesOnTheNextLine) {
  const std::string_view text = "&\r\n12:  \"y\"を";
  size_t pos = 0;
  EXPECT_EQ(ReadConcatTail(y, text, pos), "&`y`を");
  EXPECT_EQ(y.Line, 12);

  static int steps;
  steps = 0;
  pos = 0;
  const TLineStepFn step = [](TYumeBase& yy, std::string_view t, size_t& p) {
    ++steps;
    ReadLineMarker(yy, t, p);
  };
  EXPECT_EQ(ReadConcatTail(y, text, pos, step), "&`y`を");
  EXPECT_EQ(steps, 1);
}
