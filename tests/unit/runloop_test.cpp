// The run cycle with a host and statement steps of the test's own.
#include <gtest/gtest.h>

#include "core/app.h"
#include "core/error.h"
#include "core/host.h"

using namespace yume;

namespace {

class FakeHost : public THost {
 public:
  void ProcessMessages() override { ++pumps; }
  void SetTimer(THostTimer t, int, bool enabled) override { timers[static_cast<int>(t)] = enabled; }
  void ShowMainWindow() override { shown = true; }
  void CloseMainWindow() override {
    ++closeRequests;
    if (app && app->CloseQuery()) closed = true;
  }
  void PrintText(const std::string& text) override { printed.push_back(text); }
  void ShowMessage(const std::string& text, const std::string&, TMessageKind) override {
    messages.push_back(text);
  }
  TErrorChoice ShowErrorDialog(const std::string& log, bool) override {
    dialogs.push_back(log);
    return choice;
  }

  TYumeApp* app = nullptr;
  TErrorChoice choice = TErrorChoice::End;
  int pumps = 0, closeRequests = 0;
  bool shown = false, closed = false;
  bool timers[4] = {};
  std::vector<std::string> messages, dialogs, printed;
};

struct Fixture {
  FakeHost host;
  TYumeApp app{host, {"/opt/yume"}};
  TYumeBase& y = app.Base();
  Fixture() { host.app = &app; }
  // Prepares source and sets the program position to its start.
  void Load(const std::string& source) {
    y.FileName = "t.ymr";
    y.Source = source;
    app.StartUp();
    y.Cur = y.Source.c_str();
  }
};

int g_steps = 0;

// Steps over one character.
void StepOne(TYumeBase& y) {
  ++g_steps;
  ++y.Cur;
}

}  // namespace

TEST(RunLoop, AStepThatDoesNotAdvanceIsReported) {
  Fixture f;
  f.Load("abc");
  f.app.SetExecutor([](TYumeBase&) {}, CheckRunControl);
  f.app.RunProgram();
  ASSERT_EQ(f.host.dialogs.size(), 1u);
  EXPECT_NE(f.host.dialogs[0].find("[エラー] t.ymr(0行目): 特定できないシステムエラーです(ToT)"),
            std::string::npos);
  EXPECT_EQ(f.app.ExitStatus(), 1);
  EXPECT_EQ(f.y.Cur, nullptr);
}

TEST(RunLoop, MoreThan65535FramesEndsARunaway) {
  Fixture f;
  f.Load("ab");
  // Pushes a frame per step, moving back and forth so that every step "advances".
  f.app.SetExecutor(
      [](TYumeBase& y) {
        y.Runs.Push(TRunControl{});
        y.Cur = (y.Cur == y.Source.c_str()) ? y.Cur + 1 : y.Source.c_str();
      },
      CheckRunControl);
  f.app.RunProgram();
  EXPECT_EQ(f.y.Runs.Count(), 65536u);
  ASSERT_EQ(f.host.dialogs.size(), 1u);
  EXPECT_NE(f.host.dialogs[0].find("実行が無限ループしている可能性があるので終了します。"),
            std::string::npos);
}

TEST(RunLoop, StopRunEndsTheLoopBeforeTheNextStep) {
  Fixture f;
  f.Load("abcdef");
  g_steps = 0;
  f.app.SetExecutor(
      [](TYumeBase& y) {
        StepOne(y);
        if (g_steps == 2) y.StopRun = true;
      },
      CheckRunControl);
  f.app.RunProgram();
  EXPECT_EQ(g_steps, 2);
  EXPECT_TRUE(f.host.dialogs.empty());
}

TEST(RunLoop, EndOfTextEndsFramesAndResumes) {
  Fixture f;
  f.Load("xyz");
  static std::string sub = "ab";
  g_steps = 0;
  f.app.SetExecutor(StepOne, CheckRunControl);
  // A call frame returning to "z" while the loop runs in another text.
  TRunControl call;
  call.Kind = fkCall;
  call.ReturnPos = f.y.Source.c_str() + 2;
  call.SourceName = "t.ymr";
  f.y.Runs.Push(call);
  f.y.FileName = "sub.ymr";
  f.y.Cur = sub.c_str();
  f.app.RunProgram();
  EXPECT_EQ(g_steps, 3);  // a, b, then z
  EXPECT_EQ(f.y.FileName, "t.ymr");
  EXPECT_EQ(f.y.Runs.Count(), 0u);
  // The loop ends at the end of the text, not by a null position.
  ASSERT_NE(f.y.Cur, nullptr);
  EXPECT_EQ(*f.y.Cur, '\0');
}

TEST(RunLoop, IgnoredErrorsAreOnlyRecorded) {
  Fixture f;
  f.Load("ab");
  // エラーメッセージ and 終了不可能 come from the registry at the run start (Load).
  ASSERT_NE(f.y.VarErrorMessage, nullptr);
  f.y.ErrorsShown = false;
  g_steps = 0;
  f.app.SetExecutor(
      [](TYumeBase& y) {
        StepOne(y);
        RaiseError(y, "失敗%s", {"%s"});
      },
      CheckRunControl);
  f.app.RunProgram();
  EXPECT_EQ(g_steps, 2);
  EXPECT_TRUE(f.host.dialogs.empty());
  EXPECT_EQ(f.y.VarErrorMessage->ValueText(), "[エラー] t.ymr(0行目): 失敗%s");
  EXPECT_EQ(f.y.ErrorLog, "[エラー] t.ymr(0行目): 失敗%s\r\n[エラー] t.ymr(0行目): 失敗%s\r\n");
}

TEST(RunLoop, TheErrorLabelRunsButNeverLoopsOnItsOwnFirstStatement) {
  Fixture f;
  f.Load("a\r\n*失敗時\r\nb");
  THashNode* label = f.y.Dict.Find("失敗時", false);
  ASSERT_TRUE(label);
  f.y.ErrorLabel = label;
  f.host.choice = TErrorChoice::Continue;
  g_steps = 0;
  // Every step fails after moving on; the label's first statement fails as well.
  f.app.SetExecutor(
      [](TYumeBase& y) {
        const char* at = y.Cur;
        StepOne(y);
        if (*at == 'a' || *at == 'b') RaiseError(y, "x");
      },
      CheckRunControl);
  f.app.RunProgram();
  // "a" fails: jump to the label ("b"), whose failure is then shown instead of jumping again.
  EXPECT_EQ(f.y.ErrorReturn, f.y.Source.c_str() + 1);
  EXPECT_EQ(f.host.dialogs.size(), 1u);
}

TEST(RunLoop, UnhandledNonScriptErrorsGetAnErrorLineAndTheSystemErrorLine) {
  Fixture f;
  f.Load("a");
  f.app.SetExecutor(
      [](TYumeBase& y) {
        ++y.Cur;
        throw std::out_of_range("list index");
      },
      CheckRunControl);
  f.app.RunProgram();
  ASSERT_EQ(f.host.dialogs.size(), 1u);
  EXPECT_EQ(f.host.dialogs[0],
            "[エラー] t.ymr(0行目): list index\r\n特定できないシステムエラーです(ToT)\r\n");
}

TEST(RunCycle, EventsRunNestedWhenIdleAndAsCallsWhenRunning) {
  Fixture f;
  f.Load("main\r\n*ev\r\nev");
  const char* ev = f.y.Dict.Find("ev", false)->RefPos;
  f.app.SetExecutor(StepOne, CheckRunControl);
  // Idle: nested loop on a fresh level; the frames set aside come back.
  TRunControl keep;
  keep.Kind = fkCount;
  f.y.Runs.Push(keep);
  f.y.Cur = nullptr;
  g_steps = 0;
  f.app.EnterEvent(ev);
  EXPECT_EQ(g_steps, 2);
  EXPECT_EQ(f.y.Runs.Count(), 1u);
  // Running: an event-call frame returning to where the script was.
  f.app.SetExecutor(
      [](TYumeBase& y) {
        if (*y.Cur == 'm' && y.Runs.Count() == 0) {
          TYumeApp* app = y.App;
          ++y.Cur;
          app->EnterEvent(y.Dict.Find("ev", false)->RefPos);
          return;
        }
        StepOne(y);
      },
      CheckRunControl);
  f.y.Runs.ClearAll();
  f.y.Cur = f.y.Source.c_str();
  g_steps = 0;
  f.app.RunProgram();
  // "ev" ran (2 steps) and then the rest of the main flow after "m" went on.
  EXPECT_GE(g_steps, 2 + 3);
  EXPECT_EQ(f.y.Runs.Count(), 0u);
}

TEST(RunCycle, StartUpShowsTheWindowUnlessTheTextAsksToStayHidden) {
  Fixture a;
  a.Load("' 母艦浮上 only in a comment\r\n");
  EXPECT_TRUE(a.host.shown);
  Fixture b;
  b.Load("「母艦浮上」\r\n");
  EXPECT_FALSE(b.host.shown);
}

TEST(RunCycle, ExitLabelMayRefuseTheClose) {
  Fixture f;
  f.Load("*exit\r\nx");
  ASSERT_NE(f.y.VarCannotClose, nullptr);
  // The exit label sets 終了不可能 to 1 again (as 終了処理設定 with a label would).
  f.app.SetExecutor(
      [](TYumeBase& y) {
        if (*y.Cur == 'x') y.VarCannotClose->SetValueText("1");
        StepOne(y);
      },
      CheckRunControl);
  f.y.ExitLabel = f.y.Dict.Find("exit", false);
  const char* where = f.y.Source.c_str() + 3;
  f.y.Cur = where;
  EXPECT_FALSE(f.app.CloseQuery());
  EXPECT_EQ(f.y.Cur, where);  // the interrupted flow resumes
  EXPECT_EQ(f.y.ExitLabel, nullptr);
  // Without a new exit label the next request closes.
  f.y.VarCannotClose->SetValueText("0");
  EXPECT_TRUE(f.app.CloseQuery());
  EXPECT_EQ(f.y.Cur, nullptr);
  EXPECT_TRUE(f.y.StopRun);
}

TEST(RunCycle, WaitAndEnd) {
  Fixture f;
  f.Load("x");
  f.y.Runs.Push(TRunControl{});
  f.app.Wait();
  EXPECT_EQ(f.y.Cur, nullptr);
  EXPECT_EQ(f.y.Runs.Count(), 0u);
  EXPECT_FALSE(f.host.closed);
  f.app.End();
  EXPECT_TRUE(f.host.closed);
  EXPECT_TRUE(f.app.CloseAllowed());
}

TEST(RunCycle, TheTimerIsOneShot) {
  Fixture f;
  f.Load("*t\r\nab");
  g_steps = 0;
  f.app.SetExecutor(StepOne, CheckRunControl);
  f.y.Cur = nullptr;
  f.app.SetYumeTimer(100, f.y.Dict.Find("t", false)->RefPos);
  EXPECT_TRUE(f.app.HasArmedSources());
  EXPECT_TRUE(f.host.timers[static_cast<int>(THostTimer::Yume)]);
  f.app.OnTimer(THostTimer::Yume);
  EXPECT_FALSE(f.host.timers[static_cast<int>(THostTimer::Yume)]);
  EXPECT_FALSE(f.app.HasArmedSources());
  EXPECT_EQ(g_steps, 2);
}

TEST(CommandLine, OptionsAndTheStartFile) {
  TCommandLine c = ParseCommandLine({"-debug", "a.ymr", "b.ymr", "-security", "HIGH", "-x"});
  EXPECT_TRUE(c.Debug);
  EXPECT_FALSE(c.LineStop);
  EXPECT_EQ(c.StartFile, "a.ymr");
  EXPECT_EQ(c.SecurityLevel, 2);
  EXPECT_EQ(ParseCommandLine({"-security", "paranoid"}).SecurityLevel, -1);
  EXPECT_EQ(ParseCommandLine({"-security", "Low"}).SecurityLevel, 0);
  // Options are exact, case-sensitive words.
  EXPECT_FALSE(ParseCommandLine({"-DEBUG"}).Debug);
  TCommandLine r = ParseCommandLine({"-runtime", "p.exe", "-linestop", "-resource", "r.dat"});
  EXPECT_EQ(r.StartFile, "p.exe");
  EXPECT_EQ(r.RuntimeFile, "p.exe");
  EXPECT_EQ(r.ResourceFile, "r.dat");
  EXPECT_TRUE(r.LineStop);
  // An option at the end without its value.
  EXPECT_EQ(ParseCommandLine({"-runtime"}).RuntimeFile, "");
  EXPECT_EQ(ParseCommandLine({"-run", "s.ymr"}).StartFile, "s.ymr");
}

TEST(Errors, WarningsGoToTheLogAndOpenTheDialogOnlyWithDebug) {
  Fixture f;
  f.Load("x");
  f.host.choice = TErrorChoice::Continue;
  AddWarning(f.y, "\"部品,値\"は、未定義です。");
  EXPECT_EQ(f.y.ErrorLog, "[注　意] t.ymr(0行目): \"部品,値\"は、未定義です。\r\n");
  EXPECT_TRUE(f.host.dialogs.empty());
  f.y.DebugMode = true;
  AddWarning(f.y, "w");
  EXPECT_EQ(f.host.dialogs.size(), 1u);
}
