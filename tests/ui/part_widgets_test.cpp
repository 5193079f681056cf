// The part widgets on the offscreen platform: each kind's properties as the widget keeps them,
// the events real input fires, and a windowed script driven by --events in the window program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "core/app.h"
#include "core/sjis.h"
#include "tests/qt_test_env.h"
#include "tests/ui/dialog_samples.h"
#include "ui/frmyume.h"
#include "ui/partwidgets.h"
#include "ui/windowhost.h"

using namespace yume;
using yume::testing::Sj;

namespace {

// Records the events the widgets report.
struct TRecorder : TPartEvents {
  struct TFired {
    int Index, Slot;
    TPartEventInfo Info;
  };
  std::vector<TFired> Fired;
  bool PartEvent(int index, int slot, const TPartEventInfo& info) override {
    Fired.push_back({index, slot, info});
    return true;
  }
  bool HasEvent(int, int) override { return true; }
  bool Has(int index, int slot) const {
    for (const TFired& f : Fired)
      if (f.Index == index && f.Slot == slot) return true;
    return false;
  }
};

struct PartWidgets : ::testing::Test {
  QWidget main;
  TQtParts parts{&main};
  TRecorder events;
  TDialogFont font;
  PartWidgets() {
    main.resize(640, 400);
    main.show();
    parts.SetEvents(&events);
    font.Name = Sj("ＭＳ ゴシック");
    font.Size = 10;
  }
  void Make(int index, int kind, const char* caption = "") {
    ASSERT_TRUE(parts.Create(index, kind, Sj(caption), font, 10, 10 + index * 30));
  }
  std::string Get(int index, int prop) {
    std::string v;
    EXPECT_EQ(parts.Get(index, prop, v), TPropResult::Ok);
    return v;
  }
  void Set(int index, int prop, const char* value) {
    EXPECT_EQ(parts.Set(index, prop, Sj(value)), TPropResult::Ok);
  }
};

TEST_F(PartWidgets, ButtonCaptionWidensAndFontsMapToInstalledOnes) {
  Make(1, pkButton, "OK");
  int x, y, w, h;
  parts.Bounds(1, x, y, w, h);
  EXPECT_EQ(x, 10);
  Set(1, 4, "とても長いボタンの見出しです");
  int w2;
  parts.Bounds(1, x, y, w2, h);
  EXPECT_GT(w2, w);
  EXPECT_EQ(parts.Widget(1)->font().family(), QStringLiteral("IPAGothic"));
}

TEST_F(PartWidgets, ListSelectionAndIndexesPastTheEnd) {
  Make(1, pkList);
  Set(1, 5, "赤\r\n緑\r\n青\r\n");
  // Nothing selected: the text is empty and writing it replaces nothing.
  EXPECT_EQ(Get(1, 4), "");
  Set(1, 4, "黒");
  EXPECT_EQ(Get(1, 5), Sj("赤\r\n緑\r\n青\r\n"));
  Set(1, 6, "1");
  EXPECT_EQ(Get(1, 4), Sj("緑"));
  Set(1, 6, "3");   // past the end: unchanged
  Set(1, 6, "-1");  // negative: ignored
  EXPECT_EQ(Get(1, 6), "1");
  Set(1, 40, "白");  // 選択文字列 replaces the selected item
  EXPECT_EQ(Get(1, 5), Sj("赤\r\n白\r\n青\r\n"));
}

TEST_F(PartWidgets, ComboDropsEmptyLinesAndEditsCountBytes) {
  Make(1, pkCombo);
  Set(1, 5, "東\r\n\r\n西\r\n");
  EXPECT_EQ(Get(1, 5), Sj("東\r\n西\r\n"));
  Make(2, pkEdit);
  Set(2, 4, "あいう");
  Set(2, 43, "2");  // 選択位置 in Shift_JIS bytes: after あ
  Set(2, 44, "2");  // one character
  EXPECT_EQ(Get(2, 40), Sj("い"));
  EXPECT_EQ(Get(2, 43), "2");
  EXPECT_EQ(Get(2, 44), "2");
}

TEST_F(PartWidgets, GridTreeTabsAndRadio) {
  Make(1, pkGrid);
  Set(1, 4, "名前,数\r\nりんご,3\r\n\"み,かん\",5\r\n");
  EXPECT_EQ(Get(1, 4), Sj("名前,数\r\nりんご,3\r\n\"み,かん\",5\r\n"));
  Make(2, pkTree);
  Set(2, 5, "果物\\りんご\r\n野菜\r\n");
  EXPECT_EQ(Get(2, 5), Sj("果物\r\n果物\\りんご\r\n野菜\r\n"));
  EXPECT_EQ(Get(2, 40), "");  // no node selected: nothing to read or replace
  Set(2, 40, "x");
  EXPECT_EQ(Get(2, 5), Sj("果物\r\n果物\\りんご\r\n野菜\r\n"));
  Make(3, pkTabs);
  Set(3, 4, "一\r\n二\r\n三\r\n");
  Set(3, 4, "壱\r\n");  // surplus pages go
  EXPECT_EQ(Get(3, 4), Sj("壱\r\n"));
  std::string none;
  EXPECT_EQ(parts.Command(461, 3, Sj("左"), none), TPropResult::Ok);  // changes nothing
  Make(4, pkRadio);
  Set(4, 5, "大\r\n小\r\n");
  EXPECT_EQ(Get(4, 6), "-1");
  Set(4, 4, "中");  // nothing selected: nothing replaced
  EXPECT_EQ(Get(4, 5), Sj("大\r\n小\r\n"));
}

TEST_F(PartWidgets, PropertiesThatDoNotApplySaySo) {
  Make(1, pkButton);
  std::string v;
  EXPECT_EQ(parts.Get(1, 12, v), TPropResult::NotForKind);  // 向き: bars only
  EXPECT_EQ(parts.Set(1, 57, Sj("まんなか")), TPropResult::BadLayout);
  Make(2, pkBar);
  Set(2, 9, "50");
  Set(2, 6, "80");  // clamped to the maximum
  EXPECT_EQ(Get(2, 6), "50");
  Set(2, 14, "0");
  EXPECT_EQ(Get(2, 14), "0");
}

TEST_F(PartWidgets, RealInputFiresTheKindsEvents) {
  Make(1, pkButton, "押す");
  std::string error;
  TUserAction click;
  ASSERT_TRUE(parts.Perform(1, click, error)) << error;
  EXPECT_TRUE(events.Has(1, psClick));
  EXPECT_TRUE(events.Has(1, psMouseDown));
  Make(2, pkEdit);
  events.Fired.clear();
  TUserAction type;
  type.Kind = TUserAction::Type;
  type.Text = "ab";
  ASSERT_TRUE(parts.Perform(2, type, error)) << error;
  EXPECT_EQ(static_cast<QLineEdit*>(parts.Widget(2))->text(), QStringLiteral("ab"));
  EXPECT_TRUE(events.Has(2, psChange));
  ASSERT_TRUE(events.Has(2, psKeyDown));
  EXPECT_EQ(events.Fired.front().Info.KeyCode, 'A');
  // A property set by the script fires nothing.
  events.Fired.clear();
  Set(2, 4, "x");
  EXPECT_TRUE(events.Fired.empty());
  // A disabled part cannot be acted on.
  Set(1, 42, "0");
  EXPECT_FALSE(parts.Perform(1, click, error));
}

TEST_F(PartWidgets, HiddenAtOnceAndReleasedLater) {
  Make(1, pkEdit);
  Set(1, 4, "x");
  parts.Hide(1);
  ASSERT_NE(parts.Widget(1), nullptr);
  EXPECT_TRUE(parts.Widget(1)->isHidden());
  EXPECT_EQ(Get(1, 4), "");
  parts.Release(1);
  EXPECT_EQ(parts.Widget(1), nullptr);
}

// Every property read and written on every kind the widgets make: each gives a result (or says
// it does not apply) and none takes the program down.
TEST_F(PartWidgets, EveryPropertyOnEveryKind) {
  int index = 1;
  for (int kind = 0; kind < pkKindCount; ++kind) {
    if (kind == pkMenu) continue;
    // The editor and the browser need libraries that may be missing: then they say why.
    if (kind == pkTEditor || kind == pkBrowser) {
      if (!parts.Create(index, kind, "", font, 0, 0)) {
        EXPECT_FALSE(parts.LastError().empty());
        continue;
      }
    } else {
      Make(index, kind, "x");
    }
    for (int prop = 0; prop < 65; ++prop) {
      std::string v;
      parts.Get(index, prop, v);
      for (const char* value : {"1", "0", "-5", "#FF0000", "a\r\nb\r\n", ""}) {
        if (prop == 7 || prop == 39) continue;          // pictures: files
        if (kind == pkBrowser && prop == 45) continue;  // a URL: never the network in tests
        parts.Set(index, prop, value);
      }
      parts.Get(index, prop, v);
    }
    bool number = false;
    parts.Value(index, number);
    parts.Assign(index, "2");
    parts.Hide(index);
    parts.Release(index);
    ++index;
  }
}

TEST_F(PartWidgets, ADialogFormDisablesTheMothershipUntilItCloses) {
  ASSERT_TRUE(parts.Create(1, pkForm, Sj("窓"), font, 0, 0));
  parts.ShowForm(1, true);
  EXPECT_FALSE(main.isEnabled());
  EXPECT_TRUE(parts.FormVisible(1));
  parts.CloseForm(1);
  EXPECT_TRUE(main.isEnabled());
  EXPECT_FALSE(parts.FormVisible(1));
  EXPECT_TRUE(events.Has(1, psClose));
}

// Runs a script in the window program, driven by an events file; the lines it printed.
QStringList RunWindowScript(const char* name, const char* script, const char* events) {
  const std::string path = yume::testing::WriteScript(std::string(name) + ".ymr", script);
  const std::string feed = yume::testing::WriteScript(std::string(name) + ".events", events);
  TWindowHost host;
  TYumeApp app(host, {"/nonexistent/yumemori", Sj(path.c_str())});
  host.Attach(&app);
  EXPECT_TRUE(host.LoadEvents(feed));
  QTimer net;  // a safety net only
  QObject::connect(&net, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  net.start(20000);
  EXPECT_EQ(host.Run(), 0);
  return host.Form()->PrintedLines();
}

// A windowed script in the window program, driven by its events file.
TEST(WindowPartScripts, DrivenByEvents) {
  const QStringList lines = RunWindowScript("parts_events",
                                            "(10,10)に、E1を、エディタとして、作成\r\n"
                                            "(10,40)に、送信ボタンを、ボタンとして、作成\r\n"
                                            "送信ボタンの、クリックした時は、送信\r\n"
                                            "待機\r\n"
                                            "*送信\r\n"
                                            "「送信:{E1}」を、表示\r\n"
                                            "おわり\r\n",
                                            "type E1 こんにちは\nclick 送信ボタン\n");
  EXPECT_EQ(lines, QStringList{QStringLiteral("送信:こんにちは")});
}

// A dialog form destroyed from a button on it: the window program goes on after
// ダイアログ表示 with its window usable again.
TEST(WindowPartScripts, ADestroyedDialogFormEndsTheDialog) {
  const QStringList lines = RunWindowScript("parts_dialog_destroyed",
                                            "F1を、フォームとして、作成\r\n"
                                            "B1を、ボタンとして、作成\r\n"
                                            "B1を、F1へ、乗せる\r\n"
                                            "B1の、クリックした時は、(F1の、部品破壊)\r\n"
                                            "F1を、ダイアログ表示\r\n"
                                            "「後」を、表示\r\n"
                                            "おわり\r\n",
                                            "click B1\n");
  EXPECT_EQ(lines, QStringList{QStringLiteral("後")});
}

// The window program: a browser's page loads, its change event reads it; a splitter dragged by
// the events file resizes the part beside it.
TEST(WindowPartScripts, BrowserAndSplitter) {
  {
    QWidget probeMain;
    TQtParts probe(&probeMain);
    TDialogFont font;
    if (!probe.Create(1, pkBrowser, "", font, 0, 0))
      GTEST_SKIP() << "the browser part cannot start here: " << Cp932ToUtf8(probe.LastError());
  }
  const QStringList lines = RunWindowScript("window_browser",
                                            "B1を、ブラウザとして、作成\r\n"
                                            "B1の、レイアウトは、「左」\r\n"
                                            "B1の、幅は、200\r\n"
                                            "S1を、スプリッターとして、作成\r\n"
                                            "S1の、レイアウトは、「左」\r\n"
                                            "S1の、変更した時は、動いた\r\n"
                                            "B1へ、「<p>窓の中</p>」を、ブラウザHTML書く\r\n"
                                            "B1の、ブラウザHTML取得\r\n"
                                            "「{それ}」を、表示\r\n"
                                            "待機\r\n"
                                            "*動いた\r\n"
                                            "「幅:{B1の幅}」を、表示\r\n"
                                            "おわり\r\n",
                                            "drag S1 30 0\n");
  ASSERT_EQ(lines.size(), 2) << lines.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(lines[0].contains(QStringLiteral("<p>窓の中</p>")));
  EXPECT_EQ(lines[1], QStringLiteral("幅:230"));
}

}  // namespace
