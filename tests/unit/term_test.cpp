#include "core/term.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/eval_fixture.h"

using namespace yume;

namespace {

using TermTest = evaltest::EvalTest;

const std::string kHead = "[エラー] t.ymr(0行目): ";

// What the test's stand-in for the executor was asked.
struct Called {
  std::string name, args;
  bool has_args = false;
  int count = 0;
};
Called g_called;

std::string RecordCall(TYumeBase& y, THashNode& w, std::string_view args, bool has_args) {
  g_called.name = w.Name;
  g_called.args = std::string(args);
  g_called.has_args = has_args;
  ++g_called.count;
  y.LastType = "e";
  return "42";
}

std::string RecordPart(TYumeBase& y, THashNode& w, std::string_view prop, bool has_prop) {
  y.LastType = "s";
  return w.Name + (has_prop ? "." + std::string(prop) : std::string(":value"));
}

}  // namespace

TEST_F(TermTest, DoubleQuotedEscapes) {
  EXPECT_EQ(Typed("\"a\\nb\""), "a\r\nb:s");
  EXPECT_EQ(Eval("\"a\\tb\""), "a\tb");
  EXPECT_EQ(Eval("\"a\\ｎb\\ｔc\""), "a\r\nb\tc");
  EXPECT_EQ(Eval("\"a￥nb￥ｎ\""), "a\r\nb\r\n");
  EXPECT_EQ(Eval("\"a\\\"b\""), "a\"b");
  EXPECT_EQ(Eval("\"a\\\\b\""), "a\\b");
  EXPECT_EQ(Eval("\"\\表\""), "表");    // an escaped two-byte character stays whole
  EXPECT_EQ(Eval("\"表ソ\""), "表ソ");  // second bytes 5C are no escapes
  EXPECT_EQ(Eval("\"\""), "");
}

TEST_F(TermTest, BraceInsertions) {
  Var("A", "5", "e");
  EXPECT_EQ(Typed("\"x{A}y\""), "x5y:s");
  EXPECT_EQ(Eval("\"{1+2}\""), "3");
  EXPECT_EQ(Eval("\"{Ａ＋１}円\""), "6円");  // the inside is made half-width first
  EXPECT_EQ(Eval("\"｛A｝\""), "5");
  EXPECT_EQ(Eval("\"{A&`}`}\""), "5}");  // a brace inside a literal does not close
  EXPECT_EQ(Eval("\"{{A}}\""), "{A}");   // nested: the inside {A} is a word of its own
  EXPECT_EQ(Eval("\"a}b｝c\""), "abc");  // closing braces that close nothing are dropped
  EXPECT_EQ(Eval("\"a{b\""), "a{b");     // an open brace that is never closed stays
}

TEST_F(TermTest, HereDocuments) {
  Var("A", "5", "e");
  EXPECT_EQ(Typed("@@#abc#"), "abc:s");
  EXPECT_EQ(Eval("@@#{A}\\n#"), "5\r\n");
  EXPECT_EQ(Eval("@@#a}b#"), "a}b");  // unlike quoted strings, a lone "}" stays
  EXPECT_EQ(Eval("@@#a\\#b#"), "a#b");
  EXPECT_EQ(Eval("@@あxあ"), "x");
  EXPECT_EQ(EvalError("@@#abc"), kHead + "文字列\"abc\"の最後に」がありません。");
}

TEST_F(TermTest, BackquotedStringsAreAsWritten) {
  EXPECT_EQ(Typed("`a``b`"), "a`b:s");
  EXPECT_EQ(Eval("`{A}\\n`"), "{A}\\n");
  EXPECT_EQ(Eval("`～`"), "～");
  EXPECT_EQ(Eval("`abc"), "abc");  // unterminated: up to the end
  EXPECT_EQ(Eval("`ab``"), "ab`");
}

TEST_F(TermTest, UnterminatedQuotedStringReportsWhatWasExpanded) {
  EXPECT_EQ(EvalError("\"abc"), kHead + "文字列\"abc\"の最後に」がありません。");
  EXPECT_EQ(EvalError("\"a\\nb"), kHead + "文字列\"a\r\nb\"の最後に」がありません。");
  EXPECT_EQ(EvalError("\"a\\\""), kHead + "文字列\"a\"\"の最後に」がありません。");
}

TEST_F(TermTest, StringChains) {
  Var("A", "5", "e");
  EXPECT_EQ(Typed("\"a\" & A & `b`"), "a5b:s");
  EXPECT_EQ(Typed("`a`&1"), "a1:s");
  EXPECT_EQ(Eval("\"a\"&\"b\"=`ab`"), "1");  // the chain is one operand
  EXPECT_EQ(Eval("`a`&&1"), "0");            // "&&" is no chain
  EXPECT_EQ(Eval("`a` & "), "a");
}

TEST_F(TermTest, Numbers) {
  EXPECT_EQ(Typed("$FF"), "255:e");
  EXPECT_EQ(Typed("12.5"), "12.5:e");
  EXPECT_EQ(Typed("1.5e3"), "1.5e3:e");
  EXPECT_EQ(Typed("-5"), "-5:e");
  EXPECT_EQ(Typed("+5"), "+5:e");
  EXPECT_EQ(Typed("(2*3)"), "6:e");
  EXPECT_EQ(Typed("(`a`&1)"), "a1:s");
}

TEST_F(TermTest, WordsNotInTheDictionaryAreTheirOwnText) {
  EXPECT_EQ(Typed("こんにちは"), "こんにちは:s");
  EXPECT_EQ(Typed("Xの"), "Xの:s");
  EXPECT_EQ(Typed("今日の天気"), "今日の天気:s");
}

TEST_F(TermTest, DictionariesAsValues) {
  THashNode* d = Dict("D", "a=1\r\nb=x");
  EXPECT_EQ(Typed("D"), d->Items->PairsText() + ":hs");
  d->Items.reset();
  EXPECT_EQ(Typed("D"), ":hs");
}

TEST_F(TermTest, DictionaryItems) {
  THashNode* d = Dict("D", "a=1\r\nb=x\r\nc=");
  d->Items->Find("a", false)->TypeText = "e";
  d->Items->Find("b", false)->TypeText = "hs";
  Var("K", "a", "s");
  EXPECT_EQ(Typed("Dのa"), "1:e");
  EXPECT_EQ(Typed("Dの\"a\""), "1:e");
  EXPECT_EQ(Typed("Dの(a)"), "1:e");
  EXPECT_EQ(Typed("DのK"), "1:e");  // a word key is evaluated
  EXPECT_EQ(Typed("Dのb"), "x:s");  // the last character of the type code
  EXPECT_EQ(Typed("Dのc"), ":s");
  EXPECT_EQ(Typed("Dのz"), ":s");
  EXPECT_EQ(Typed("DのA"), ":s");  // item names are exact
  EXPECT_EQ(Eval("Dのa+1"), "2");
}

TEST_F(TermTest, UntypedDictionaryItemsTakeTheTypeOfTheirValue) {
  Dict("D", "n=12\r\nt=abc");
  EXPECT_EQ(Typed("Dのn"), "12:e");
  EXPECT_EQ(Typed("Dのt"), "abc:s");
}

TEST_F(TermTest, DictionaryWithoutItemTableRaises) {
  Dict("D", "")->Items.reset();
  EXPECT_EQ(EvalError("Dのa"), kHead +
                                   "作成されていないハッシュ\"D\"が、見つかりました。"
                                   "メモリが足りないか、バグの可能性があります。");
}

TEST_F(TermTest, VariableItemsReadNameValueLines) {
  Var("S", "a=1\r\nB=x=y\nc=3", "s");
  Var("K", "c", "s");
  EXPECT_EQ(Typed("Sの`A`"), "1:s");  // names compare ignoring case
  EXPECT_EQ(Eval("Sの\"b\""), "x=y");
  EXPECT_EQ(Eval("Sの K"), "3");  // a word key is evaluated
  EXPECT_EQ(Eval("Sの(d)"), "");
  // Written as one word, a variable's name and "の" stay an ordinary word.
  EXPECT_EQ(Typed("SのA"), "SのA:s");
  EXPECT_EQ(Eval("Sの"), "Sの");
  Var("V", "D", "s");
  Dict("D", "a=7");
  EXPECT_EQ(Eval("Vのa"), "7");  // V names the dictionary meant
  EXPECT_EQ(Eval("Vの`a`"), "7");
}

TEST_F(TermTest, TheLongestNamedHeadTakesTheItem) {
  Dict("D", "aのb=1\r\nb=2");
  Dict("Dのa", "b=3");
  EXPECT_EQ(Eval("Dのaのb"), "3");
  EXPECT_EQ(Eval("Dの\"aのb\""), "1");
}

TEST_F(TermTest, ElementsOfLines) {
  Var("T", "a\r\nb\r\nc", "s");
  EXPECT_EQ(Typed("T#1"), "b:s");
  EXPECT_EQ(Typed("T#5"), ":s");
  EXPECT_EQ(Typed("T#-1"), ":s");
  EXPECT_EQ(Typed("T#1.5"), ":s");  // not a whole number
  Var("I", "2", "e");
  EXPECT_EQ(Eval("T#I"), "c");
  EXPECT_EQ(Eval("T#(I-1)"), "b");
  EXPECT_EQ(Eval("T#$1"), "b");
  EXPECT_EQ(Eval("T#0&T#2"), "ac");
  EXPECT_EQ(Typed("U#1"), ":s");  // a word not made yet has empty elements
}

TEST_F(TermTest, CellsAndTheirTypes) {
  THashNode* t = Var("T", "1,2,$1F\r\n3,-5,3.14\r\n1,000, ,$xyz\r\n１２,abc", "s");
  EXPECT_EQ(Typed("T#1#0"), "2:e");  // column 1 of row 0
  EXPECT_EQ(Typed("T#0#1"), "3:e");
  EXPECT_EQ(Typed("T#1#1"), "-5:s");    // a sign makes it text
  EXPECT_EQ(Typed("T#2#1"), "3.14:s");  // so does a point
  EXPECT_EQ(Typed("T#2#0"), "$1F:e");
  EXPECT_EQ(Typed("T#3#2"), "$xyz:s");
  EXPECT_EQ(Typed("T#2#2"), ":s");
  EXPECT_EQ(Typed("T#0#3"), "１２:e");  // full-width digits count
  EXPECT_EQ(Typed("T#9#9"), ":s");
  EXPECT_EQ(Typed("T #1"), t->ValueText() + ":s");  // "#" after a blank is no element
  EXPECT_EQ(Eval("T#1 #0"), "2");
  EXPECT_EQ(Eval("T#(1)#(0)+1"), "3");
  EXPECT_EQ(Typed("T#1"), "3,-5,3.14:s");
}

TEST_F(TermTest, CellTypeInference) {
  EXPECT_STREQ(InferCellType(""), "s");
  EXPECT_STREQ(InferCellType("  "), "s");
  EXPECT_STREQ(InferCellType(" 12 "), "e");
  EXPECT_STREQ(InferCellType("1,000"), "e");
  EXPECT_STREQ(InferCellType("$"), "e");
  EXPECT_STREQ(InferCellType("$ff"), "e");
  EXPECT_STREQ(InferCellType("$fg"), "s");
  EXPECT_STREQ(InferCellType("３"), "e");
  EXPECT_STREQ(InferCellType("-5"), "s");
  EXPECT_STREQ(InferCellType("3.14"), "s");
}

TEST_F(TermTest, IndexValues) {
  EXPECT_EQ(IndexValue("12"), 12);
  EXPECT_EQ(IndexValue(" 3 "), 3);
  EXPECT_EQ(IndexValue("-2"), -2);
  EXPECT_EQ(IndexValue("$10"), 16);
  EXPECT_EQ(IndexValue("1.5"), -1);
  EXPECT_EQ(IndexValue("abc"), -1);
  EXPECT_EQ(IndexValue(""), -1);
  EXPECT_EQ(IndexValue("99999999999"), -1);
}

TEST_F(TermTest, CommandsAsValuesNeedTheExecutor) {
  Word("表示", wkCommand);
  EXPECT_EQ(EvalError("表示"), kHead +
                                   "\"表示\"を値として使うには、命令の実行が必要ですが、"
                                   "まだ作られていません。");
}

TEST_F(TermTest, CallableWordsGoThroughTheExecutor) {
  y.CallForValue = RecordCall;
  g_called = {};
  Word(FoldName("読む"), wkCommand);
  Word("ラベル", wkLabel);
  Word("関数", wkLibFunc);
  EXPECT_EQ(Typed("読む"), "42:e");
  EXPECT_EQ(g_called.name, "読");
  EXPECT_FALSE(g_called.has_args);
  EXPECT_EQ(Eval("ラベル(1,\"a\")"), "42");
  EXPECT_EQ(g_called.args, "1,\"a\"");
  EXPECT_TRUE(g_called.has_args);
  EXPECT_EQ(Eval("関数 ()+1"), "43");
  EXPECT_EQ(g_called.args, "");
  EXPECT_TRUE(g_called.has_args);
  EXPECT_EQ(g_called.count, 3);
}

TEST_F(TermTest, AVariableIsNeverTakenForAFoldedCommand) {
  y.CallForValue = RecordCall;
  g_called = {};
  Word(FoldName("読む"), wkCommand);
  Var("読みかた", "よみ", "s");
  EXPECT_EQ(Eval("読みかた"), "よみ");
  Var("数値", "1", "e");
  EXPECT_EQ(Eval("数値です"), "数値です");  // folding finds only callable words
  EXPECT_EQ(g_called.count, 0);
}

TEST_F(TermTest, PartsNeedThePartModel) {
  Word("ボタン", wkPart);
  EXPECT_EQ(EvalError("ボタン"),
            kHead + "部品\"ボタン\"の値を得るには部品の機能が必要ですが、まだ作られていません。");
  y.PartRead = RecordPart;
  EXPECT_EQ(Eval("ボタン"), "ボタン:value");
  EXPECT_EQ(Eval("ボタンのテキスト"), "ボタン.テキスト");
  EXPECT_EQ(Eval("ボタンの\"テキスト\""), "ボタン.テキスト");  // as written, not evaluated
  Var("P", "ボタン", "s");
  EXPECT_EQ(Eval("Pの幅"), "ボタン.幅");
}

TEST_F(TermTest, ItemsOfOtherKindsRaise) {
  Word("表示", wkCommand);
  EXPECT_EQ(EvalError("表示の\"a\""), kHead + "部品\"表示\"から、直接値を得ることは出来ません。");
}
