// The window program's host under Qt's offscreen platform: the window opens as the run cycle
// says and closes cleanly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "core/app.h"
#include "core/sjis.h"
#include "tests/qt_test_env.h"
#include "ui/frmerror.h"
#include "ui/frmyume.h"
#include "ui/windowhost.h"

using namespace yume;

namespace {

const auto* const kEnv =
    ::testing::AddGlobalTestEnvironment(new yume::testing::QtEnvironment<QApplication>);
using yume::testing::WriteScript;

}  // namespace

TEST(WindowHost, ShowsTheWindowAndClosesCleanly) {
  std::string path = WriteScript("win.ymr", "' コメントだけ\r\n");
  TWindowHost host;
  TYumeApp app(host, {"/nonexistent/yumemori", Utf8ToCp932(path)});
  host.Attach(&app);
  bool sawWindow = false;
  QSize client;
  QString title;
  QTimer::singleShot(50, [&] {
    sawWindow = host.Form()->isVisible();
    client = host.Form()->size();
    title = host.Form()->windowTitle();
    host.Form()->close();  // as the user would
  });
  QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });  // a safety net only
  EXPECT_EQ(host.Run(), 0);
  EXPECT_TRUE(sawWindow);
  EXPECT_EQ(client, QSize(640, 400));
  EXPECT_EQ(title, QStringLiteral("ゆめもり"));
  EXPECT_TRUE(host.Finished());
  EXPECT_FALSE(host.Form()->isVisible());
}

TEST(WindowHost, StaysHiddenWhenTheScriptSurfacesItself) {
  std::string path = WriteScript("hidden.ymr", "「母艦浮上」\r\n");
  TWindowHost host;
  TYumeApp app(host, {"/nonexistent/yumemori", Utf8ToCp932(path)});
  host.Attach(&app);
  app.Create();
  // Only the preparation: the statement itself cannot run in this test.
  app.Base().FileName = "hidden.ymr";
  app.StartUp();
  EXPECT_FALSE(host.Form()->isVisible());
  app.Surface();
  EXPECT_TRUE(host.Form()->isVisible());
  host.CloseMainWindow();
  EXPECT_TRUE(host.Finished());
  EXPECT_FALSE(host.Form()->isVisible());
}

TEST(ErrorDialog, LayoutAndChoices) {
  QWidget main;
  main.setGeometry(100, 100, 640, 400);
  TfrmError d(&main, QStringLiteral("[エラー] a.ymr(1行目): x"), false);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("実行中にエラーが発生しました。"));
  EXPECT_EQ(d.size(), QSize(514, 159));
  EXPECT_EQ(d.memMsg->geometry(), QRect(0, 0, 513, 121));
  EXPECT_TRUE(d.memMsg->isReadOnly());
  EXPECT_TRUE(d.btnDebug->isHidden());
  EXPECT_EQ(d.btnOk->geometry(), QRect(280, 128, 105, 25));
  EXPECT_EQ(d.btnCancel->geometry(), QRect(392, 128, 113, 25));
  EXPECT_FALSE(d.Continue());
  QTimer::singleShot(0, d.btnOk, &QPushButton::click);
  d.exec();
  EXPECT_TRUE(d.Continue());
  EXPECT_FALSE(d.Debug());

  TfrmError dbg(&main, QString(), true);
  EXPECT_FALSE(dbg.btnDebug->isHidden());
  QTimer::singleShot(0, dbg.btnDebug, &QPushButton::click);
  dbg.exec();
  EXPECT_TRUE(dbg.Continue());
  EXPECT_TRUE(dbg.Debug());

  TfrmError end(&main, QString(), false);
  QTimer::singleShot(0, end.btnCancel, &QPushButton::click);
  end.exec();
  EXPECT_FALSE(end.Continue());
}
