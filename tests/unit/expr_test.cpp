#include "core/expr.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "tests/unit/eval_fixture.h"

using namespace yume;

// Every operator new of the test program goes through here, so that a test can see how many
// bytes an evaluation asks for: a chain that copied its growing value at each step would ask
// for the square of its length. All forms go to malloc and free, so that they pair up with one
// another (and with the sanitizers') whichever form frees.
namespace {
std::atomic<bool> g_countBytes{false};
std::atomic<size_t> g_bytesAsked{0};

void* Allocate(std::size_t n) {
  if (g_countBytes.load(std::memory_order_relaxed))
    g_bytesAsked.fetch_add(n, std::memory_order_relaxed);
  return std::malloc(n ? n : 1);
}
void* AllocateOrThrow(std::size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) {
  return AllocateOrThrow(n);
}
void* operator new[](std::size_t n) {
  return AllocateOrThrow(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

namespace {

// The bytes operator new was asked for while fn ran.
template <class Fn>
size_t BytesAskedDuring(Fn&& fn) {
  g_bytesAsked = 0;
  g_countBytes = true;
  fn();
  g_countBytes = false;
  return g_bytesAsked;
}

using ExprTest = evaltest::EvalTest;

const std::string kHead = "[エラー] t.ymr(0行目): 計算式に誤りがあります。";

size_t Count(std::string_view s, std::string_view what) {
  size_t n = 0;
  for (size_t i = s.find(what); i != std::string_view::npos; i = s.find(what, i + 1)) ++n;
  return n;
}

}  // namespace

TEST_F(ExprTest, PrecedenceAndLeftAssociation) {
  EXPECT_EQ(Calc("1+2*3"), "7");
  EXPECT_EQ(Calc("(1+2)*3"), "9");
  EXPECT_EQ(Calc("2*(3+4)-1"), "13");
  EXPECT_EQ(Calc("2^3^2"), "64");
  EXPECT_EQ(Calc("8/2*2"), "8");
  EXPECT_EQ(Calc("3-2-1"), "0");
  EXPECT_EQ(Calc("2*3^2"), "36");  // one level for * and ^
  EXPECT_EQ(Calc("1+2=3"), "1");
  EXPECT_EQ(Calc("1=1&&2=2"), "1");
  EXPECT_EQ(Calc(" 1 + 2 , "), "3");
  EXPECT_EQ(y.LastType, "e");
}

TEST_F(ExprTest, ArithmeticCornerCases) {
  EXPECT_EQ(Calc("10/0"), "0");
  EXPECT_EQ(Calc("10%0"), "0");
  EXPECT_EQ(Calc("0^0"), "1");
  EXPECT_EQ(Calc("-7%3"), "-1");
  EXPECT_EQ(Calc("7%-3"), "1");
  EXPECT_EQ(Calc("7.9%2.9"), "1");  // both operands truncated first
  EXPECT_EQ(Calc("2^-1"), "0.5");
  EXPECT_EQ(Calc("(-2)^3"), "-8");
  EXPECT_EQ(Calc("-2^2"), "4");  // the sign belongs to the number
  EXPECT_EQ(Calc("0.1+0.2"), "0.3");
  EXPECT_EQ(Calc("1/3"), "0.333333333333333");
  EXPECT_EQ(Calc("10^20"), "1E20");
  EXPECT_EQ(Calc("$FF+1"), "256");
  EXPECT_EQ(Calc("abc+1"), "1");  // text counts as 0
  EXPECT_EQ(Calc("-9223372036854775808%-1"), "0");
}

TEST_F(ExprTest, SignsWhereAValueIsExpected) {
  EXPECT_EQ(Calc("2--3"), "5");
  EXPECT_EQ(Calc("2*-3"), "-6");
  EXPECT_EQ(Calc("1-+5"), "-4");
  EXPECT_EQ(Calc("+5"), "5");
  EXPECT_EQ(Calc("-(1+2)"), "-3");
  Var("X", "-5", "e");
  EXPECT_EQ(Calc("-X"), "5");
  EXPECT_EQ(Calc("2*-X"), "10");
  EXPECT_EQ(Eval("-X"), "5");
}

TEST_F(ExprTest, FloatingPointFailuresAreCalculationErrors) {
  EXPECT_EQ(CalcError("(-8)^0.5"), kHead + "無効な浮動小数点演算です。(-8)^0.5");
  EXPECT_EQ(CalcError("10^5000"), kHead + "浮動小数点数のオーバーフローです。10^5000");
  EXPECT_EQ(CalcError("0^-1"), kHead + "0の負の数乗は計算できません。0^-1");
}

TEST_F(ExprTest, ComparisonModeFollowsTheRightOperand) {
  EXPECT_EQ(Calc("10>9"), "1");
  EXPECT_EQ(Calc("\"10\">\"9\""), "0");  // texts
  Var("A", "abc", "s");
  EXPECT_EQ(Calc("A=0"), "1");    // right numeric: abc counts as 0
  EXPECT_EQ(Calc("A=`0`"), "0");  // right text: compared as text
  EXPECT_EQ(Calc("0=A"), "0");
  EXPECT_EQ(Calc("A=`abc`"), "1");
  EXPECT_EQ(Calc("`b`>`abc`"), "1");
  EXPECT_EQ(Calc("`\x82\xA0`>`z`"), "1");  // bytes compare unsigned
}

TEST_F(ExprTest, AllComparisonOperators) {
  EXPECT_EQ(Calc("1<>2"), "1");
  EXPECT_EQ(Calc("1><1"), "0");
  EXPECT_EQ(Calc("2>=2"), "1");
  EXPECT_EQ(Calc("2=>3"), "0");
  EXPECT_EQ(Calc("2<=1"), "0");
  EXPECT_EQ(Calc("1=<1"), "1");
  EXPECT_EQ(Calc("1<2"), "1");
  // =& and !& always compare texts, == and != always numbers.
  EXPECT_EQ(Calc("1=&1.0"), "0");
  EXPECT_EQ(Calc("1!&1.0"), "1");
  EXPECT_EQ(Calc("`1.0`==1"), "1");
  EXPECT_EQ(Calc("`1.0`!=`1`"), "0");
  EXPECT_EQ(Calc("`a`==`b`"), "1");
}

TEST_F(ExprTest, ComparisonsChainLeftToRight) {
  EXPECT_EQ(Calc("1<2<3"), "1");
  EXPECT_EQ(Calc("3>2>1"), "0");  // (3>2) is 1, and 1>1 is false
}

TEST_F(ExprTest, LogicalOperatorsCountOnlyPositivesAsTrue) {
  EXPECT_EQ(Calc("-1&&1"), "0");
  EXPECT_EQ(Calc("1&&2"), "1");
  EXPECT_EQ(Calc("0||-5"), "0");
  EXPECT_EQ(Calc("0||3"), "1");
  EXPECT_EQ(Calc("1=2||2=2"), "1");
  EXPECT_EQ(Calc("`abc`&&1"), "0");
}

TEST_F(ExprTest, ConcatenationIsAdditive) {
  EXPECT_EQ(Calc("(1+2)&x"), "3x");
  EXPECT_EQ(y.LastType, "s");
  EXPECT_EQ(Calc("1+2&x"), "3x");
  EXPECT_EQ(Calc("x&1+2"), "2");  // (x&1)+2
  EXPECT_EQ(Calc("0.5*2&`円`"), "1円");
}

TEST_F(ExprTest, MalformedExpressionsAreWrapped) {
  EXPECT_EQ(CalcError("1 !"), kHead + "計算結果が不正1 !");
  EXPECT_EQ(CalcError("1+"), kHead + "計算結果が不正1+");
  EXPECT_EQ(CalcError(""), kHead + "計算結果が不正");
  EXPECT_EQ(CalcError("*2"), kHead + "演算子「*」の位置が不正。*2");
  EXPECT_EQ(CalcError("1+*2"), kHead + "演算子「*」の位置が不正。1+*2");
  EXPECT_EQ(CalcError("1+<>2"), kHead + "演算子「<>」の位置が不正。1+<>2");
  EXPECT_EQ(CalcError("-"), kHead + "演算子「-」の位置が不正。-");
  EXPECT_EQ(CalcError("(1+2"), kHead + "\")\"が対応していません。(1+2");
  EXPECT_EQ(Calc("1 2"), "1");  // a value left over is ignored
}

TEST_F(ExprTest, NestedFailuresAreWrappedOnce) {
  const std::string e = CalcError("1+(2*(3-))");
  EXPECT_EQ(e, kHead + "計算結果が不正1+(2*(3-))");
  const std::string e2 = EvalError("A&(1+)");
  EXPECT_EQ(Count(e2, "計算式に誤りがあります。"), 1u) << e2;
  EXPECT_EQ(Count(e2, "[エラー]"), 1u) << e2;
  // A failure of a term is the reason of the wrapped line.
  EXPECT_EQ(CalcError("1+\"abc"), kHead + "文字列\"abc\"の最後に」がありません。1+\"abc");
  EXPECT_NE(y.ErrorLog.find("[エラー] t.ymr(0行目): 文字列\"abc\"の最後に"), std::string::npos);
}

TEST_F(ExprTest, EvaluateTextKeepsATermAsWritten) {
  EXPECT_EQ(Typed("007"), "007:e");
  EXPECT_EQ(Calc("007"), "7");
  EXPECT_EQ(Typed(""), ":s");
  EXPECT_EQ(Typed("  12"), "12:e");
  EXPECT_EQ(Typed("abc"), "abc:s");
  EXPECT_EQ(Eval("12:30"), "12");  // what follows a term without an operator is ignored
}

TEST_F(ExprTest, EvaluateTextHandsOverAtTheFirstOperator) {
  Var("A", "1", "e");
  Var("B", "2", "e");
  EXPECT_EQ(Typed("A&B+1"), "13:e");  // & first, then the sum
  EXPECT_EQ(Typed("A&B"), "12:s");
  EXPECT_EQ(Typed("A+B*2"), "5:e");
  EXPECT_EQ(Typed("A=1"), "1:e");
  EXPECT_EQ(Typed("A && B"), "1:e");
  EXPECT_EQ(Typed("(1+2)&x"), "3x:s");
  EXPECT_EQ(Typed("1+2&x"), "3x:s");
  EXPECT_EQ(Typed("\"x\"=\"x\""), "1:e");
  EXPECT_EQ(Typed("007+1"), "8:e");
}

TEST_F(ExprTest, TextWithCommasCountsAsItsNumber) {
  EXPECT_EQ(Eval("\"1,000\"+1"), "1001");
  EXPECT_EQ(Calc("1,000+1"), "1");  // the comma separates tokens
}

TEST_F(ExprTest, UntypedVariablesTakeTheTypeOfTheirValue) {
  Var("X", "5");
  Var("S", "abc");
  Var("T", "5", "s");
  EXPECT_EQ(Typed("X"), "5:e");
  EXPECT_EQ(Eval("X+1"), "6");
  EXPECT_EQ(Typed("S"), "abc:s");
  EXPECT_EQ(Typed("T"), "5:s");
  EXPECT_EQ(Calc("X=`5`"), "1");
  EXPECT_EQ(Calc("`5.0`=X"), "1");  // numeric: X is a number
  EXPECT_EQ(Calc("`5.0`=T"), "0");  // text: T is typed text
}

// Long chains give the right value and ask for memory in proportion to their length (their
// speed is measured by bench/expr_bench.cpp).
TEST_F(ExprTest, LongChainsStayLinear) {
  constexpr int kTerms = 20000;
  Var("A", "ab", "s");
  std::string text = "A";
  for (int i = 0; i < kTerms; ++i) text += "&A";
  std::string expected;
  for (int i = 0; i <= kTerms; ++i) expected += "ab";
  std::string value;
  const size_t catBytes = BytesAskedDuring([&] { value = Eval(text); });
  EXPECT_EQ(value, expected);
  EXPECT_EQ(y.LastType, "s");
  // Growing the value by doubling asks for about three times its length; copying it at every
  // "&" would ask for some 400 million bytes. The bound leaves room for a split of the text.
  EXPECT_LE(catBytes, 256 * text.size());

  std::string sum = "0";
  for (int i = 0; i < kTerms; ++i) sum += "+1";
  std::string total;
  const size_t sumBytes = BytesAskedDuring([&] { total = Calc(sum); });
  EXPECT_EQ(total, "20000");
  EXPECT_EQ(y.LastType, "e");
  // One-character operands and the running total need no memory at all; a copy of the
  // rest of the text at each step would ask for some 800 million bytes.
  EXPECT_LE(sumBytes, 256 * sum.size());
}
