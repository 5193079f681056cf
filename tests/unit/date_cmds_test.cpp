// 待つ and the one-shot timer in the run cycle, with a host of the test's own that can fire
// the timer or ask the program to end from its message processing.
#include <gtest/gtest.h>

#include <functional>

#include "commands/system/dates.h"
#include "core/app.h"
#include "core/host.h"

using namespace yume;

namespace {

class TimerHost : public THost {
 public:
  void ProcessMessages() override {
    ++pumps;
    if (onPump) onPump(pumps);
  }
  void SetTimer(THostTimer t, int ms, bool enabled) override {
    if (t != THostTimer::Yume) return;
    armed = enabled;
    if (enabled) interval = ms;
  }
  void ShowMainWindow() override {}
  void CloseMainWindow() override { app->CloseQuery(); }
  void PrintText(const std::string& text) override { printed.push_back(text); }
  void ShowMessage(const std::string&, const std::string&, TMessageKind) override {}
  TErrorChoice ShowErrorDialog(const std::string& log, bool) override {
    errors += log;
    return TErrorChoice::End;
  }

  TYumeApp* app = nullptr;
  std::function<void(int)> onPump;
  int pumps = 0;
  bool armed = false;
  int interval = -1;
  std::vector<std::string> printed;
  std::string errors;
};

struct DateCommandsRun : ::testing::Test {
  TimerHost host;
  TYumeApp app{host, {"/opt/yume"}};
  TYumeBase& y = app.Base();
  DateCommandsRun() { host.app = &app; }

  void Run(const std::string& source) {
    y.FileName = "t.ymr";
    y.Source = source;
    app.StartUp();
    host.pumps = 0;
    y.SetCur(y.Source.c_str());
    app.RunProgram();
  }
};

TEST_F(DateCommandsRun, WaitLetsMessagesRunAndStopsWhenTheProgramEnds) {
  Run("0秒、待つ\r\n");
  EXPECT_EQ(host.pumps, 1);  // one pass, no more

  host.onPump = [&](int n) {
    if (n == 3) app.Close();
  };
  const uint64_t start = MonotonicMs();
  Run("30秒、待つ\r\n「後」を、表示\r\n");
  EXPECT_LT(MonotonicMs() - start, 5000u);
  EXPECT_TRUE(y.StopRun);
  EXPECT_TRUE(host.printed.empty());  // the run ends with the wait
}

TEST_F(DateCommandsRun, WaitKeepsPumpingUntilTheTimeIsUp) {
  const uint64_t start = MonotonicMs();
  Run("0.2秒、待つ\r\n");
  const uint64_t elapsed = MonotonicMs() - start;
  EXPECT_GE(elapsed, 200u);
  EXPECT_LT(elapsed, 3000u);
  EXPECT_GE(host.pumps, 3);
  EXPECT_TRUE(host.errors.empty()) << host.errors;
}

TEST_F(DateCommandsRun, TimerIsArmedDisarmedAndFiresOnceIntoTheWaitingFlow) {
  Run("1.5秒後に、Tへ飛ぶ、タイマー設定\r\n待機\r\n*T\r\n");
  EXPECT_TRUE(host.armed);
  EXPECT_EQ(host.interval, 1500);
  Run("1秒後に、Tへ飛ぶ、タイマー設定\r\nタイマー解除\r\n待機\r\n*T\r\n");
  EXPECT_FALSE(host.armed);
  Run("1秒後に、Tへ飛ぶ、タイマー設定\r\n1秒後に、「」へ飛ぶ、タイマー設定\r\n待機\r\n*T\r\n");
  EXPECT_FALSE(host.armed);
  EXPECT_EQ(y.TimerLabel, nullptr);

  // The host fires the timer from the wait's message processing: the label runs as an event
  // once the wait is over, and its 戻る resumes the flow after the wait.
  host.onPump = [&](int) {
    if (host.armed) app.OnTimer(THostTimer::Yume);
  };
  Run("0秒後に、Tへ飛ぶ、タイマー設定\r\n0.05秒、待つ\r\n「後」を、表示\r\n待機\r\n"
      "*T\r\n「T」を、表示\r\n戻る\r\n");
  EXPECT_EQ(host.printed, (std::vector<std::string>{"T", "後"}));
  EXPECT_FALSE(host.armed);  // one shot
  EXPECT_TRUE(host.errors.empty()) << host.errors;
}

}  // namespace
