// Blocks, frames and conditions driven without an application: the bare nested loop runs them.
#include "core/control.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "core/executor.h"
#include "core/number.h"
#include "core/prepare.h"
#include "core/registry.h"
#include "core/yumebase.h"

using namespace yume;

TEST(ConvertCondition, ParticlesBecomeOperators) {
  EXPECT_EQ(ConvertCondition("Aが 3以上 かつ Bが 2"), "A>=3 && B=2");
  EXPECT_EQ(ConvertCondition("Aが,3以下 または Bが 4と等しい"), "A<=3 || B=4");
  EXPECT_EQ(ConvertCondition("A>1"), "A>1");
  // Strings and parentheses stay whole, blanks inside them included.
  EXPECT_EQ(ConvertCondition("Sが \"a b\""), "S=\"a b\"");
  EXPECT_EQ(ConvertCondition("(A + 1)が 2"), "(A + 1)=2");
  // A trailing "が" with nothing after it compares with nothing.
  EXPECT_EQ(ConvertCondition("Aが"), "A=");
}

TEST(Number, StrictReadingNeedsTheWholeText) {
  long double n = 0;
  EXPECT_TRUE(TryStrToNumber(" 12 ", n));
  EXPECT_EQ(n, 12);
  EXPECT_TRUE(TryStrToNumber("-1.5e2", n));
  EXPECT_EQ(n, -150);
  EXPECT_TRUE(TryStrToNumber("$ff", n));
  EXPECT_EQ(n, 255);
  EXPECT_TRUE(TryStrToNumber("1,000", n));
  EXPECT_EQ(n, 1000);
  for (const char* bad : {"", "abc", "12円", "1.", "$", "$fg", "1e5", "--1"})
    EXPECT_FALSE(TryStrToNumber(bad, n)) << bad;
}

TEST(ScriptFileText, LineBreaksAndZeroBytes) {
  EXPECT_EQ(ScriptFileText("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(ScriptFileText(std::string("ab\0cd\n", 6)), "ab\r\n");
  EXPECT_EQ(ScriptFileText(""), "");
}

namespace {

// A prepared script in a state of its own, run with the bare nested loop (no application).
struct FlowTest : ::testing::Test {
  TYumeBase y;
  std::string out;

  void Run(const std::string& script) {
    y.FileName = "t.ymr";
    RegisterAll(y);
    y.Source = ScriptFileText(script);
    PrepareSource(y, y.Source);
    y.AddText(y.Source);
    CollectLabels(y, y.Source, y.FileName);
    y.SetCur(y.Source.c_str());
    RunNested(y);
  }
  std::string Var(const std::string& name) {
    THashNode* w = y.Dict.FindScoped(name, false);
    return w ? w->ValueText() : "<none>";
  }
};

}  // namespace

TEST_F(FlowTest, BodiesEndAtTheirClosingParenthesis) {
  // The body is a view into the working text: the run must stop at ")" and go on after it.
  Run("Aは、0\n3回(Aは、A+1)。Bは、A*10\n");
  EXPECT_EQ(Var("A"), "3");
  EXPECT_EQ(Var("B"), "30");
  EXPECT_EQ(y.Runs.Count(), 0u);
}

TEST_F(FlowTest, LoopsLeaveNoFramesOrScopesBehind) {
  Run("Sは、0\n"
      "Iを、1から、4まで、繰り返す(\n"
      "  もし、I=2ならば、続ける\n"
      "  もし、I=4ならば、抜ける\n"
      "  Sは、S+I\n"
      ")\n"
      "2回(ここから\nTを、ローカル変数\nTは、1\nここまで)\n"
      "Fを、呼ぶ\n"
      "終わる\n"
      "*F\n"
      "2回(3回(Nは、N+1))\n"
      "戻る\n");
  EXPECT_EQ(Var("S"), "4");  // 1 + 3
  EXPECT_EQ(Var("T"), "<none>");
  EXPECT_EQ(Var("N"), "6");
  EXPECT_EQ(y.Runs.Count(), 0u);
  EXPECT_EQ(y.Dict.ScopeCount(), 0u);
}

TEST_F(FlowTest, ReturnOutsideAnyCallFails) {
  EXPECT_THROW(Run("2回(戻る)\n"), EYume);
  EXPECT_NE(y.ErrorLog.find("「戻る」べき場所がありません。"), std::string::npos);
}

TEST_F(FlowTest, LabelValueKeepsCursorSourceAndSore) {
  Run("それは、「前」\n"
      "Aは、二倍(21)\n"
      "Bは、それ\n"
      "終わる\n"
      "*二倍(?を)\n"
      "Nを、ローカル変数\n"
      "Nに、1番目の、引数得る\n"
      "それは、N*2\n"
      "戻る\n");
  EXPECT_EQ(Var("A"), "42");
  EXPECT_EQ(Var("B"), "前");
  EXPECT_EQ(Var("N"), "<none>");
  EXPECT_EQ(y.FileName, "t.ymr");
}

TEST_F(FlowTest, CoordinateListsAndPoints) {
  Run("Pは、「(7,8)」\n");
  int x = 0, py = 0;
  ParsePoint(y, "(3,4)", x, py);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(py, 4);
  ParsePoint(y, "((1+1, 5))", x, py);  // a list wholly in parentheses, twice
  EXPECT_EQ(x, 2);
  EXPECT_EQ(py, 5);
  ParsePoint(y, "P", x, py);  // a word holding the list
  EXPECT_EQ(x, 7);
  EXPECT_EQ(py, 8);
  EXPECT_THROW(ParsePoint(y, "(1,2,3)", x, py), EYume);
  EXPECT_EQ(CoordinateTexts(y, "(1,2,3,4)").size(), 4u);
  EXPECT_EQ(y.Args.Count(), 0u);  // nothing is left on the argument stack
}
