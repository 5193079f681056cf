// The argument view handlers take their arguments through, the helper layer around it, and
// the error log the state keeps.
#include "core/args.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/bind.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/executor.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/registry.h"
#include "core/yumebase.h"

using namespace yume;

namespace {

struct ArgsTest : ::testing::Test {
  TYumeBase y;
  THashNode command;

  ArgsTest() {
    y.FileName = "t.ymr";
    RegisterAll(y);
    command.Name = "試す";
    command.Kind = wkCommand;
  }
  size_t Slots() const { return PatternSlotViews(command.Pattern, nullptr, 0); }
  // Stacks the phrases as binding leaves them (slot order, last on top).
  void Stack(std::initializer_list<const char*> phrases) {
    for (const char* p : phrases) y.Args.Push(std::string(p));
  }
  THashNode* Var(const std::string& name, const std::string& value, const char* type) {
    auto w = THashNode::MakeVariable(name, false, 0, value);
    w->TypeText = type;
    THashNode* raw = w.get();
    y.Dict.Add(std::move(w));
    return raw;
  }
  std::vector<std::string> StackNow() const {
    return {y.Args.Items().begin(), y.Args.Items().end()};
  }
};

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "<no error>";
}

// Counts the calls a value-call hook receives (a word used as a value with parentheses).
int g_calls = 0;
std::string CountingCall(TYumeBase& y, THashNode&, std::string_view args, bool) {
  ++g_calls;
  y.LastType = "s";
  return "called(" + std::string(args) + ")";
}

}  // namespace

TEST_F(ArgsTest, TakesItsSlotsOffTheTopOfTheStackInSlotOrder) {
  command.Pattern = "?を,?に";
  Stack({"left over", "first", "second"});
  TArgs a(y, command, Slots());
  EXPECT_EQ(a.Count(), 2u);
  EXPECT_EQ(a.Phrase(0), "first");
  EXPECT_EQ(a.Phrase(1), "second");
  EXPECT_EQ(StackNow(), std::vector<std::string>{"left over"});
}

TEST_F(ArgsTest, ValuesCarryTheirOwnTypes) {
  command.Pattern = "?,?,?,?";
  Var("N", "5", "e");
  Stack({"N", "`abc`", "007", "1+2"});
  TArgs a(y, command, Slots());
  y.LastType = "s";  // whatever the shared field says, each value keeps its own type
  EXPECT_EQ(a.Value(2).Text(), "007");
  EXPECT_TRUE(a.Value(2).IsNumber());
  EXPECT_EQ(a.Number(2), 7);
  EXPECT_EQ(a.Text(1), "abc");
  EXPECT_EQ(a.Value(1).Type(), "s");
  EXPECT_EQ(a.Value(0).Text(), "5");
  EXPECT_TRUE(a.Value(0).IsNumber());
  EXPECT_EQ(a.Text(3), "3");
  EXPECT_TRUE(a.Value(3).IsNumber());
  // Slot 1 was asked for before slot 0 was evaluated: its value is still its own.
  EXPECT_EQ(a.Value(1).Type(), "s");
}

TEST_F(ArgsTest, ASlotIsEvaluatedOnceAndWhenFirstAskedFor) {
  command.Pattern = "?の";
  THashNode* f = y.Dict.Find("文字数", true);
  ASSERT_NE(f, nullptr);
  y.CallForValue = CountingCall;
  g_calls = 0;
  Stack({"文字数(1)"});
  TArgs a(y, command, Slots());
  EXPECT_EQ(g_calls, 0);
  EXPECT_EQ(a.Text(0), "called(1)");
  EXPECT_EQ(a.Text(0), "called(1)");
  EXPECT_EQ(a.Value(0).Type(), "s");
  EXPECT_EQ(g_calls, 1);
}

TEST_F(ArgsTest, AMissingSlotRaisesTheCommandsArgumentError) {
  command.Pattern = "?を,?に";
  Stack({"only"});  // a call that skipped binding: the first slot is missing
  TArgs a(y, command, Slots());
  EXPECT_EQ(a.Phrase(1), "only");
  const std::string want =
      "\"試す\"命令の引数に誤りがあります。\"?を,?に\"の形式で指定してください。引数が少ないです。";
  EXPECT_NE(ErrorOf([&] { a.Text(0); }).find(want), std::string::npos);
  EXPECT_NE(ErrorOf([&] { a.Phrase(2); }).find(want), std::string::npos);
}

TEST_F(ArgsTest, SlotsNotAskedForGoBackOnTheStackWhenTheHandlerFails) {
  command.Pattern = "?,?,?";
  Stack({"below", "p0", "p1", "p2"});
  EXPECT_THROW(
      {
        TArgs a(y, command, Slots());
        a.Phrase(2);
        throw std::runtime_error("failed");
      },
      std::runtime_error);
  EXPECT_EQ(StackNow(), (std::vector<std::string>{"below", "p0", "p1"}));

  // A handler that ends normally uses up every slot, asked for or not.
  Stack({"q0", "q1", "q2"});
  {
    TArgs a(y, command, Slots());
    a.Done();
  }
  EXPECT_EQ(StackNow(), (std::vector<std::string>{"below", "p0", "p1"}));
}

TEST_F(ArgsTest, ErrorsNameTheCommandThatWasCalled) {
  command.Pattern = "?";
  Stack({"1"});
  TArgs a(y, command, Slots());
  THashNode other;
  other.Name = "別";
  y.LastCommand = &other;  // an argument's evaluation ran another command meanwhile
  EXPECT_NE(
      ErrorOf([&] { a.ArgumentError("詳細"); }).find("\"試す\"命令の引数に誤りがあります。詳細"),
      std::string::npos);
  EXPECT_NE(ErrorOf([&] { a.RangeError(); }).find("範囲チェックエラー"), std::string::npos);
  EXPECT_NE(ErrorOf([&] { a.ReadOnlyError("それ"); }).find("\"それ\"は、読取専用です。"),
            std::string::npos);
}

TEST_F(ArgsTest, WordsAreFoundAsWritten) {
  command.Pattern = "?,?,?,?";
  THashNode* x = Var("X", "1", "e");
  Stack({"`X`", "X", "新しい", "無い"});
  y.Runs.PushNew();  // one frame: a new word is made at level 1
  TArgs a(y, command, Slots());
  EXPECT_EQ(a.NamedWord(0), nullptr);  // a quoted literal names no word
  EXPECT_EQ(&a.Word(0), x);            // but its backquotes come off for Word
  EXPECT_EQ(a.NamedWord(1), x);
  THashNode& made = a.WordOrNew(2);
  EXPECT_EQ(made.Name, "新しい");
  EXPECT_EQ(made.Tag, 1);
  EXPECT_EQ(y.Dict.FindScoped("新しい", false), &made);
  EXPECT_NE(ErrorOf([&] { a.Word(3); }).find("部品\"無い\"が特定できません。"), std::string::npos);
  y.Runs.Pop();
}

TEST_F(ArgsTest, TextInPlaceIsTheVariablesOwnText) {
  command.Pattern = "?,?";
  THashNode* big = Var("大", std::string(1000, 'a'), "s");
  Stack({"大", "`大`"});
  TArgs a(y, command, Slots());
  EXPECT_EQ(&a.TextInPlace(0), &big->ValueText());
  EXPECT_EQ(a.TextInPlace(1), "大");  // a literal is evaluated
}

TEST_F(ArgsTest, OmittedIsWhatBindingSaidWhenTheCallBegan) {
  command.Pattern = "?を";
  Stack({"それ"});
  y.OmittedFilled = true;
  TArgs a(y, command, Slots());
  y.OmittedFilled = false;  // a command run while evaluating clears it
  EXPECT_TRUE(a.Omitted());
}

TEST_F(ArgsTest, PointsColoursAndCoordinates) {
  command.Pattern = "?,?,?,?";
  Var("P", "(3,4)", "s");
  Stack({"P", "(1+1,7.9)", "`#FF8000`", "$FF"});
  TArgs a(y, command, Slots());
  int px = 0, py = 0;
  a.Point(0, px, py);
  EXPECT_EQ(px, 3);
  EXPECT_EQ(py, 4);
  EXPECT_EQ(a.Coordinates(1), (std::vector<int>{2, 7}));
  EXPECT_EQ(a.Color(2), 0x0080FFu);  // red in the low byte
  EXPECT_EQ(a.Color(3), 255u);
}

TEST(ReadColor, HashFormAndNumbers) {
  EXPECT_EQ(ReadColor("#FF0000"), 0x0000FFu);
  EXPECT_EQ(ReadColor("#0000ff"), 0xFF0000u);
  EXPECT_EQ(ReadColor(" #123456"), 0x563412u);
  EXPECT_EQ(ReadColor("#12345"), 0u);
  EXPECT_EQ(ReadColor("#GG0000"), 0u);
  EXPECT_EQ(ReadColor("16711680"), 16711680u);
  EXPECT_EQ(ReadColor("abc"), 0u);
}

TEST(Value, TheNumberIsReadOnceAndTheTextStays) {
  TValue v("１２円", "s");
  EXPECT_EQ(v.Number(), 12);
  EXPECT_EQ(v.Text(), "１２円");
  EXPECT_FALSE(v.IsNumber());
  std::string taken = v.TakeText();
  EXPECT_EQ(taken, "１２円");
  EXPECT_EQ(v.Text(), "");
}

TEST_F(ArgsTest, ResultsSetSoreWithTheirTypes) {
  SetSoreNumber(y, 0.1L + 0.2L);
  EXPECT_EQ(y.VarSore->ValueText(), "0.3");
  EXPECT_EQ(y.VarSore->TypeText, "e");
  SetSoreText(y, "a");
  EXPECT_EQ(y.VarSore->TypeText, "s");
  SetSoreKeepType(y, "12");
  EXPECT_EQ(y.VarSore->ValueText(), "12");
  EXPECT_EQ(y.VarSore->TypeText, "s");
  SetSoreTyped(y, "k=v", "hs");
  EXPECT_EQ(y.VarSore->TypeText, "hs");
  EXPECT_EQ(SystemText(y, "タブ文字の個数"), "8");
  EXPECT_EQ(SystemText(y, "登録されていない名前"), "");
}

TEST_F(ArgsTest, ErrorLogHoldsEachErrorOnceInTheOrderRaised) {
  // An error raised without the interpreter at hand (here: a reserved word replaced) reaches the
  // log where it is caught, before the command's own line.
  command.Pattern = "?";
  y.ErrorLog.clear();
  const std::string e = ErrorOf([&] {
    try {
      y.Dict.Add(THashNode::MakeVariable("それ", false, 0, ""));
      THashNode* sore = y.Dict.Find("それ", false);
      sore->Reserved = true;
      y.Dict.Add(THashNode::MakeVariable("それ", false, 0, ""));
    } catch (const std::exception& ex) {
      LogError(y, ex);
      LogError(y, ex);  // a second catcher adds nothing
      RaiseError(y, "包む");
    }
  });
  EXPECT_EQ(y.ErrorLog,
            "\"それ\"は予約語なので、登録できません。\r\n[エラー] t.ymr(0行目): 包む\r\n");
}

TEST_F(ArgsTest, WithoutADialogHostDialogsReportThatTheyAreNotThere) {
  y.Dialogs = nullptr;
  y.Args.Push("`こんにちは`と");
  THashNode* say = y.Dict.Find("言う", true);
  ASSERT_NE(say, nullptr);
  EXPECT_NE(ErrorOf([&] { CallCommand(y, *say); }).find("『言』命令の実行中にエラー。"),
            std::string::npos);
  EXPECT_NE(y.ErrorLog.find("\"ダイアログ\"は、まだ作られていません。"), std::string::npos);
}
