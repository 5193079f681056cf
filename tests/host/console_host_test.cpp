// The console program's run cycle; Qt's event loop (offscreen platform) is loaded from
// yume-qt.so only once a script arms an event source.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#include "console/consolehost.h"
#include "core/app.h"
#include "core/sjis.h"
#include "tests/qt_test_env.h"

using namespace yume;

namespace {

using yume::testing::WriteScript;

std::string ReadAll(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string s;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  return s;
}

// The console host with the desktop size it reports in reach of the tests.
class TestConsoleHost : public TConsoleHost {
 public:
  using TConsoleHost::DesktopSize;
  using TConsoleHost::TConsoleHost;
};

template <class Host = TestConsoleHost>
struct ConsoleRunOn {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  std::FILE* in = std::tmpfile();
  Host host{out, err, in};
  std::unique_ptr<TYumeApp> app;
  explicit ConsoleRunOn(std::vector<std::string> params) {
    app = std::make_unique<TYumeApp>(host, std::move(params));
    host.Attach(app.get());
  }
  ~ConsoleRunOn() {
    std::fclose(out);
    std::fclose(err);
    std::fclose(in);
  }
};
using ConsoleRun = ConsoleRunOn<>;

// A console host whose desktop is wider than high, so that the two sizes cannot pass for
// each other.
class WideDesktopHost : public TConsoleHost {
 public:
  using TConsoleHost::TConsoleHost;

 protected:
  bool DesktopSize(int& width, int& height) override {
    width = 1366;
    height = 705;
    return true;
  }
};

const char kDesktopScript[] = "デスクトップの幅を、表示\nデスクトップの高さを、表示\n";

}  // namespace

TEST(ConsoleHost, NoScriptEndsAtOnceWithStatusZero) {
  ConsoleRun r({"/nonexistent/yume"});
  EXPECT_EQ(r.host.Run(), 0);
  EXPECT_TRUE(r.host.Finished());
  EXPECT_EQ(ReadAll(r.err), "");
}

TEST(ConsoleHost, AnUnreadableStartFileIsReported) {
  ConsoleRun r({"/nonexistent/yume", "/nonexistent/missing.ymr"});
  EXPECT_EQ(r.host.Run(), 1);
  EXPECT_EQ(ReadAll(r.err), "起動ファイル「/nonexistent/missing.ymr」が読込めません。\n");
}

TEST(ConsoleHost, APreparationErrorEndsWithStatusOne) {
  std::string path = WriteScript("open.ymr", "' 一行目\n「閉じない\n");
  ConsoleRun r({"/nonexistent/yume", Utf8ToCp932(path)});
  EXPECT_EQ(r.host.Run(), 1);
  std::string err = ReadAll(r.err);
  EXPECT_EQ(err.rfind("[エラー] open.ymr(2行目): 「」または\"\"が対応していません。", 0), 0u)
      << err;
  EXPECT_FALSE(r.host.WindowShown());
}

TEST(ConsoleHost, AScriptOfCommentsAndLabelsRunsToTheEnd) {
  std::string path = WriteScript("empty.ymr", "/* 何もしない */\r\n*ラベル\r\n\r\n");
  ConsoleRun r({"/nonexistent/yume", Utf8ToCp932(path)});
  EXPECT_EQ(r.host.Run(), 0);
  EXPECT_EQ(ReadAll(r.err), "");
  EXPECT_TRUE(r.host.WindowShown());
}

TEST(ConsoleHost, StatementsRunAndAnErrorNamesItsLine) {
  std::string path = WriteScript(
      "stmt.ymr", "「こんにちは」と、言う。\n\n未定義の命令。\n「届かない」と、言う。\n");
  ConsoleRun r({"/nonexistent/yume", Utf8ToCp932(path)});
  EXPECT_EQ(r.host.Run(), 1);
  EXPECT_EQ(ReadAll(r.out), "こんにちは\n");
  EXPECT_NE(ReadAll(r.err).find("[エラー] stmt.ymr(3行目): \"未定義の命令\"は未定義の命令です。"),
            std::string::npos);
  // Nothing waited for an event: Qt's loop was never opened.
  EXPECT_FALSE(r.host.LoopOpened());
}

// Scripts see the desktop the console host reports (that of Qt's offscreen screen), and neither
// asking for it nor the run loads Qt's loop.
TEST(ConsoleHost, ScriptsSeeTheHostsDesktopWithoutOpeningTheLoop) {
  std::string path = WriteScript("desk.ymr", kDesktopScript);
  ConsoleRun r({"/nonexistent/yume", Utf8ToCp932(path)});
  int width = 0, height = 0;
  ASSERT_TRUE(r.host.DesktopSize(width, height));
  EXPECT_FALSE(r.host.LoopOpened());
  EXPECT_GT(width, 0);
  EXPECT_GT(height, 0);
  // The state's own size until the run takes the host's: it must not be what the host reports,
  // or a run that never asked would look right.
  ASSERT_NE(std::make_pair(r.app->Base().DesktopWidth, r.app->Base().DesktopHeight),
            std::make_pair(width, height));
  EXPECT_EQ(r.host.Run(), 0);
  EXPECT_EQ(ReadAll(r.err), "");
  EXPECT_EQ(ReadAll(r.out), std::to_string(width) + "\n" + std::to_string(height) + "\n");
  EXPECT_FALSE(r.host.LoopOpened());
}

TEST(ConsoleHost, ScriptsSeeTheDesktopsWidthAndHeightEachInItsPlace) {
  std::string path = WriteScript("wide.ymr", kDesktopScript);
  ConsoleRunOn<WideDesktopHost> r({"/nonexistent/yume", Utf8ToCp932(path)});
  EXPECT_EQ(r.host.Run(), 0);
  EXPECT_EQ(ReadAll(r.err), "");
  EXPECT_EQ(ReadAll(r.out), "1366\n705\n");
  EXPECT_FALSE(r.host.LoopOpened());
}

int g_labelRuns = 0;

// A statement step of the test's own: "T" arms the timer for the label, "x" counts.
void TimerStep(TYumeBase& y) {
  const char c = *y.Cur;
  if (c == 'T') y.App->SetYumeTimer(5, y.Dict.Find(Utf8ToCp932("時間"), false)->RefPos);
  if (c == 'x') ++g_labelRuns;
  ++y.Cur;
}

TEST(ConsoleHost, TheLoopRunsWhileTheTimerIsArmedThenEnds) {
  std::string path = WriteScript("timer.ymr", "T\r\n*時間\r\nx\r\n");
  ConsoleRun r({"/nonexistent/yume", Utf8ToCp932(path)});
  r.app->SetExecutor(TimerStep, CheckRunControl);
  g_labelRuns = 0;
  alarm(20);  // a safety net only: a loop that never ends fails the test
  EXPECT_EQ(r.host.Run(), 0);
  alarm(0);
  // Once in the main flow, once when the timer fired; then nothing was armed any more.
  EXPECT_EQ(g_labelRuns, 2);
  EXPECT_TRUE(r.host.Finished());
  EXPECT_FALSE(r.app->HasArmedSources());
  // Arming the timer loaded the loop from the module beside the program.
  EXPECT_TRUE(r.host.LoopOpened());
}
