// The browser part on the offscreen platform: documents written and read back, pages loaded
// from local files, the history, and the script's say over navigations and new windows. Where
// the web engine cannot start, each test is skipped with the reason.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <string>
#include <vector>

#include "core/sjis.h"
#include "tests/ui/dialog_samples.h"
#include "ui/partwidgets.h"

using namespace yume;
using yume::testing::Sj;

namespace {

struct TBrowserEvents : TPartEvents {
  std::vector<int> Fired;  // slots
  std::vector<std::string> Navigations;
  bool Allow = true;
  int NewWindow = -1;
  int Busy = 0;
  bool PartEvent(int, int slot, const TPartEventInfo&) override {
    Fired.push_back(slot);
    return true;
  }
  bool HasEvent(int, int) override { return true; }
  bool BrowserNavigate(int, const std::string& url) override {
    Navigations.push_back(url);
    return Allow;
  }
  int BrowserNewWindow(int) override { return NewWindow; }
  void SourceBusy(int, bool on) override { Busy += on ? 1 : -1; }
};

struct BrowserPart : ::testing::Test {
  QWidget main;
  TQtParts parts{&main};
  TBrowserEvents events;
  TDialogFont font;
  QTemporaryDir dir;

  BrowserPart() {
    main.resize(640, 400);
    parts.SetEvents(&events);
  }
  // Makes a browser, or says why the test cannot run here.
  bool Make(int index) {
    if (parts.Create(index, pkBrowser, "", font, 0, 0)) return true;
    reason = Cp932ToUtf8(parts.LastError());
    return false;
  }
  std::string Html(int index) {
    std::string html;
    EXPECT_EQ(parts.Command(540, index, {}, html), TPropResult::Ok);
    return html;
  }
  std::string Page(const char* name, const char* html) {
    QFile f(dir.filePath(QString::fromUtf8(name)));
    f.open(QIODevice::WriteOnly);
    f.write(html);
    f.close();
    return "file://" + dir.filePath(QString::fromUtf8(name)).toStdString();
  }
  std::string reason;
};

#define MAKE_OR_SKIP(index) \
  if (!Make(index)) GTEST_SKIP() << "the browser part cannot start here: " << reason

TEST_F(BrowserPart, WrittenHtmlIsReadBackAndTheTitleCanBeSet) {
  MAKE_OR_SKIP(1);
  std::string none;
  EXPECT_EQ(parts.Command(541, 1, Sj("<title>題</title><p>こんにちは</p>"), none), TPropResult::Ok);
  const std::string html = Html(1);
  EXPECT_NE(html.find(Sj("<p>こんにちは</p>")), std::string::npos) << html;
  std::string title;
  EXPECT_EQ(parts.Get(1, 11, title), TPropResult::Ok);
  EXPECT_EQ(title, Sj("題"));
  // テキスト set on a browser is the document's title.
  EXPECT_EQ(parts.Set(1, 4, Sj("新しい題")), TPropResult::Ok);
  EXPECT_EQ(parts.Get(1, 11, title), TPropResult::Ok);
  EXPECT_EQ(title, Sj("新しい題"));
  // Writing is not a navigation, and fires no event of its own.
  EXPECT_TRUE(events.Navigations.empty());
  EXPECT_TRUE(events.Fired.empty());
}

TEST_F(BrowserPart, PagesLoadFromFilesAndTheHistoryGoesBackAndForth) {
  MAKE_OR_SKIP(1);
  const std::string one = Page("one.html", "<title>1</title><p>first</p>");
  const std::string two = Page("two.html", "<title>2</title><p>second</p>");
  ASSERT_EQ(parts.Set(1, 45, one), TPropResult::Ok);
  EXPECT_NE(Html(1).find("first"), std::string::npos);
  ASSERT_EQ(parts.Set(1, 45, two), TPropResult::Ok);
  EXPECT_NE(Html(1).find("second"), std::string::npos);
  std::string url;
  EXPECT_EQ(parts.Get(1, 45, url), TPropResult::Ok);
  EXPECT_EQ(url, two);
  std::string out;
  EXPECT_EQ(parts.Command(436, 1, {}, out), TPropResult::Ok);  // back
  EXPECT_NE(Html(1).find("first"), std::string::npos);
  EXPECT_EQ(parts.Command(435, 1, {}, out), TPropResult::Ok);  // forward
  EXPECT_NE(Html(1).find("second"), std::string::npos);
  // Forward again: nowhere to go, nothing changes.
  EXPECT_EQ(parts.Command(435, 1, {}, out), TPropResult::Ok);
  EXPECT_NE(Html(1).find("second"), std::string::npos);
  // Each navigation was asked about, and each finished document fired the change event.
  EXPECT_GE(events.Navigations.size(), 2u);
  EXPECT_EQ(events.Navigations.front(), one);
  EXPECT_GE(std::count(events.Fired.begin(), events.Fired.end(), int(psChange)), 2);
  // No load is under way any more: nothing keeps the program waiting.
  EXPECT_EQ(events.Busy, 0);
}

TEST_F(BrowserPart, ARefusedNavigationKeepsTheDocument) {
  MAKE_OR_SKIP(1);
  std::string none;
  parts.Command(541, 1, "<p>kept</p>", none);
  events.Allow = false;
  ASSERT_EQ(parts.Set(1, 45, Page("away.html", "<p>away</p>")), TPropResult::Ok);
  const std::string html = Html(1);
  EXPECT_NE(html.find("kept"), std::string::npos) << html;
  EXPECT_EQ(events.Navigations.size(), 1u);
  EXPECT_EQ(events.Busy, 0);
}

TEST_F(BrowserPart, ANewWindowOpensInTheBrowserPartNamed) {
  MAKE_OR_SKIP(1);
  MAKE_OR_SKIP(2);
  Page("target.html", "<p>opened</p>");
  events.NewWindow = 2;
  parts.Set(1, 45,
            Page("opener.html", "<body onload=\"window.open('target.html')\">opener</body>"));
  EXPECT_NE(Html(1).find("opener"), std::string::npos);
  QElapsedTimer t;
  t.start();
  std::string html;
  while (t.elapsed() < 15000 && html.find("opened") == std::string::npos) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    html = Html(2);
  }
  EXPECT_NE(html.find("opened"), std::string::npos) << html;
  // Refused: the opener stays alone.
  events.NewWindow = -2;
  parts.Set(1, 45,
            Page("opener2.html", "<body onload=\"window.open('target.html')\">again</body>"));
  EXPECT_NE(Html(1).find("again"), std::string::npos);
}

TEST_F(BrowserPart, BrowserCommandsOnOtherKindsDoNotApply) {
  ASSERT_TRUE(parts.Create(1, pkButton, "OK", font, 0, 0));
  std::string out;
  for (int n : {435, 436, 540, 541})
    EXPECT_EQ(parts.Command(n, 1, {}, out), TPropResult::NotForKind);
  EXPECT_EQ(parts.Set(1, 45, "about:blank"), TPropResult::NotForKind);
}

// A browser destroyed while its page loads: nothing fires afterwards, nothing is read from it.
// (That its load keeps no one waiting is the part model's to know.)
TEST_F(BrowserPart, DestroyedWhileLoading) {
  MAKE_OR_SKIP(1);
  parts.Set(1, 45, Page("slow.html", "<p>slow</p>"));
  parts.Hide(1);
  parts.Release(1);
  const size_t fired = events.Fired.size();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(events.Fired.size(), fired);
  std::string out;
  EXPECT_EQ(parts.Command(540, 1, {}, out), TPropResult::Failed);
}

}  // namespace
