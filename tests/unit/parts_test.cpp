// The part model without a window: creation and placement, indexes, destruction and release,
// event slots, property errors, through a host that keeps plain records.
#include "commands/ui/parts.h"

#include <gtest/gtest.h>

#include <map>

#include "core/error.h"
#include "core/hash.h"
#include "core/objlist.h"
#include "core/registry.h"
#include "core/yumebase.h"

namespace yume {
namespace {

// Widgets as plain records: bounds, a text, and what was released.
class TFakeParts : public TPartHost {
 public:
  struct TRec {
    int Kind = 0, X = 0, Y = 0, W = 60, H = 20;
    std::string Text;
    bool Hidden = false;
  };
  std::map<int, TRec> Recs;
  std::vector<int> Released;

  void SetEvents(TPartEvents* e) override { Events = e; }
  bool Create(int index, int kind, const std::string& caption, const TDialogFont&, int x,
              int y) override {
    if (kind == pkBrowser && !Browsers) return false;
    Recs[index] = TRec{kind, x, y, 60, 20, caption};
    return true;
  }
  bool CreateMenu(int index, int parent, const std::string& caption) override {
    Recs[index] = TRec{pkMenu, 0, 0, 0, 0, caption};
    return true;
  }
  std::string LastError() override { return "no browser here"; }
  bool Bounds(int index, int& x, int& y, int& w, int& h) override {
    const TRec& r = Recs[index];
    x = r.X, y = r.Y, w = r.W, h = r.H;
    return true;
  }
  void SetBounds(int index, int x, int y, int w, int h) override {
    TRec& r = Recs[index];
    r.X = x, r.Y = y, r.W = w, r.H = h;
  }
  int ParentWidth(int) override { return 400; }
  TPropResult Get(int index, int p, std::string& v) override {
    if (p != 4) return TPropResult::NotForKind;
    v = Recs[index].Text;
    return TPropResult::Ok;
  }
  TPropResult Set(int index, int p, const std::string& v) override {
    if (p != 4) return TPropResult::NotForKind;
    if (Recs[index].Kind == pkMenu) return TPropResult::NoSetting;
    Recs[index].Text = v;
    return TPropResult::Ok;
  }
  std::string Value(int index, bool& n) override {
    n = false;
    return Recs[index].Text;
  }
  void Assign(int index, const std::string& v) override { Recs[index].Text = v; }
  void Hide(int index) override { Recs[index].Hidden = true; }
  void Release(int index) override { Released.push_back(index); }
  std::vector<int> Children(int) override { return {}; }
  bool SetParent(int, int) override { return true; }
  bool IsContainer(int) override { return false; }
  bool SetPopup(int, int) override { return true; }
  TPropResult Command(int number, int, const std::string& arg, std::string& out) override {
    LastCommand = number;
    LastArg = arg;
    out = Reply;
    return number == 339 && Reply.empty() ? TPropResult::Failed : TPropResult::Ok;
  }
  void ShowForm(int, bool) override {}
  void CloseForm(int) override {}
  bool FormVisible(int) override { return false; }
  bool Interactive() override { return false; }
  bool Perform(int, const TUserAction&, std::string&) override { return true; }
  void ProcessEvents() override {}
  void Post(std::function<void()>) override {}

  TPartEvents* Events = nullptr;
  bool Browsers = false;  // browser parts can be made
  int LastCommand = 0;
  std::string LastArg, Reply;
};

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EYume& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("other: ") + e.what();
  }
  return "";
}

struct PartsTest : ::testing::Test {
  TYumeBase y;
  TFakeParts host;
  PartsTest() {
    y.FileName = "t.ymr";
    RegisterAll(y);
    ConnectParts(y, [this]() -> TPartHost* { return &host; });
  }
  ~PartsTest() override {
    y.DeferredRelease.clear();
    y.Objs.Clear();
  }
  int Create(const std::string& name, const std::string& kind, const std::string* pos = nullptr) {
    return CreatePart(y, "`" + name + "`", kind, pos);
  }
};

TEST_F(PartsTest, PlacesPartsBelowEachOtherAtTheGap) {
  const std::string pos = "(20,10)";
  EXPECT_EQ(Create("A", "ボタン", &pos), 1);
  EXPECT_EQ(Create("B", "エディタ"), 2);
  // The cursor's x stays; y moves below the part above by 部品配置間隔 (8).
  EXPECT_EQ(host.Recs[2].X, 0);
  EXPECT_EQ(host.Recs[2].Y, 10 + 20 + 8);
  // With no gap the next part touches the one above.
  y.Dict.Find("部品配置間隔", false)->SetValueText("0");
  Create("C", "ラベル");
  Create("D", "ラベル");
  EXPECT_EQ(host.Recs[4].Y, host.Recs[3].Y + 20);
  // Centred: in the parent's client width.
  y.Centering = true;
  Create("E", "ラベル");
  EXPECT_EQ(host.Recs[5].X, (400 - 60) / 2);
}

TEST_F(PartsTest, CaptionsComeFromTheNameWithoutItsKind) {
  EXPECT_EQ(DefaultCaption("OKボタン", "ボタン"), "OK");
  EXPECT_EQ(DefaultCaption("ボタン", "ボタン"), "ボタン");
  EXPECT_EQ(DefaultCaption("送信", "ボタン"), "送信");
  EXPECT_EQ(KindEndingName("名前エディタ"), pkEdit);
  EXPECT_EQ(KindEndingName("本文リッチエディタ"), pkEdit);  // the first kind in table order
  EXPECT_EQ(KindEndingName("ファイルメニュー"), pkMenu);
  EXPECT_EQ(KindEndingName("何か"), -1);
}

TEST_F(PartsTest, IndexesAreNeverReused) {
  Create("A", "ボタン");
  Create("B", "ボタン");
  DestroyPart(y, "A");
  EXPECT_EQ(y.Objs.Get(1), nullptr);
  EXPECT_EQ(Create("A", "ボタン"), 3);  // the name is free again, its index is not
  EXPECT_EQ(y.Objs.Count(), 4u);
}

TEST_F(PartsTest, DestructionHidesAtOnceAndReleasesLater) {
  Create("A", "ボタン");
  DestroyPart(y, "A");
  EXPECT_TRUE(host.Recs[1].Hidden);
  EXPECT_TRUE(host.Released.empty());
  EXPECT_EQ(y.Dict.Find("A", false), nullptr);
  ASSERT_EQ(y.DeferredRelease.size(), 1u);
  y.DeferredRelease.clear();  // what the release timer does once the script waits
  EXPECT_EQ(host.Released, std::vector<int>{1});
  // The mothership stays; an unknown name is refused.
  DestroyPart(y, "母艦");
  EXPECT_NE(y.Objs.Get(0), nullptr);
  EXPECT_NE(ErrorOf([&] { DestroyPart(y, "無い"); }).find("特定できません"), std::string::npos);
}

TEST_F(PartsTest, DestroyAllKeepsTheMothership) {
  Create("A", "ボタン");
  Create("B", "リスト");
  DestroyAllParts(y);
  EXPECT_NE(y.Objs.Get(0), nullptr);
  EXPECT_EQ(y.Objs.Get(1), nullptr);
  EXPECT_EQ(y.Objs.Get(2), nullptr);
  EXPECT_EQ(y.DeferredRelease.size(), 2u);
}

TEST_F(PartsTest, CreationRefusesWhatItCannotMake) {
  Create("A", "ボタン");
  host.Recs[1].Text = "first";
  EXPECT_NE(ErrorOf([&] { Create("A", "エディタ"); }).find("既に存在するので"), std::string::npos);
  EXPECT_EQ(host.Recs[1].Kind, pkButton);
  EXPECT_NE(ErrorOf([&] { Create("B", "ぼたん"); }).find("未定義なので"), std::string::npos);
  EXPECT_NE(ErrorOf([&] { Create("B", "メニュー"); }).find("未定義なので"), std::string::npos);
  const std::string bad = "(1,2,3)";
  EXPECT_NE(ErrorOf([&] { Create("B", "ボタン", &bad); }).find("座標指定に誤りがあります"),
            std::string::npos);
  // A kind the host cannot make adds nothing.
  const size_t count = y.Objs.Count();
  EXPECT_NE(ErrorOf([&] { Create("W", "ブラウザ"); }).find("no browser here"), std::string::npos);
  EXPECT_EQ(y.Objs.Count(), count);
  EXPECT_EQ(y.Dict.Find("W", false), nullptr);
}

TEST_F(PartsTest, EventSlotsTakeLabelsAndInlineCode) {
  Create("A", "ボタン");
  TObjNode& n = *y.Objs.Get(1);
  auto label = std::make_unique<THashNode>();
  label->Name = "押した";
  label->Kind = wkLabel;
  static const char body[] = "body";
  label->RefPos = body;
  y.Dict.Add(std::move(label));
  SetPartProperty(y, "A", "クリックした時", "押した", false);
  EXPECT_EQ(n.Entries[psClick], body);
  EXPECT_EQ(n.Texts[psClick], "押した");
  SetPartProperty(y, "A", "マウス押した時", "(言う)", false);
  ASSERT_NE(n.Entries[psMouseDown], nullptr);
  EXPECT_EQ(std::string(n.Entries[psMouseDown]).substr(0, 4), "言う");
  // "" clears; a variable is refused.
  SetPartProperty(y, "A", "マウス押した時", "\"\"", false);
  EXPECT_EQ(n.Entries[psMouseDown], nullptr);
  y.Dict.Add(THashNode::MakeVariable("変数", false, 0, "1"));
  EXPECT_NE(ErrorOf([&] {
              SetPartProperty(y, "A", "クリックした時", "変数", false);
            }).find("イベントに変数を設定することは出来ません"),
            std::string::npos);
  // イベント fills the kind's main slot: click for a button, change for an edit.
  SetPartProperty(y, "A", "イベント", "押した", false);
  EXPECT_EQ(n.Entries[psGeneric], body);
  EXPECT_EQ(n.Entries[psClick], body);
  Create("E", "エディタ");
  SetPartProperty(y, "E", "イベント", "押した", false);
  EXPECT_EQ(y.Objs.Get(2)->Entries[psChange], body);
  EXPECT_EQ(MainEventSlot(pkImage), psMouseDown);
  EXPECT_EQ(MainEventSlot(pkMemo), -1);
}

TEST_F(PartsTest, PropertiesAndTheirErrors) {
  Create("A", "ボタン");
  SetPartProperty(y, "A", "テキスト", "\"はい\"", false);
  EXPECT_EQ(host.Recs[1].Text, "はい");
  EXPECT_EQ(GetPartProperty(y, "A", "テキスト"), "はい");
  // The right and lower neighbours, at the gap.
  EXPECT_EQ(GetPartProperty(y, "A", "右側"), "(68,0)");
  EXPECT_EQ(GetPartProperty(y, "A", "下側"), "(0,28)");
  EXPECT_NE(ErrorOf([&] { SetPartProperty(y, "A", "右側", "1", false); }).find("読取専用"),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] {
              SetPartProperty(y, "A", "大きさ", "1", false);
            }).find("の設定項目\"大きさ\"は未定義です"),
            std::string::npos);
  // Reading an event gives a warning and nothing else.
  EXPECT_EQ(GetPartProperty(y, "A", "クリックした時"), "");
  EXPECT_NE(y.ErrorLog.find("\"A,クリックした時\"は、未定義です。"), std::string::npos);
  // 高さ moves the cursor below the part.
  SetPartProperty(y, "A", "高さ", "50", false);
  EXPECT_EQ(y.CursorY, 0 + 50 + 8);
  EXPECT_NE(ErrorOf([&] { GetPartProperty(y, "無い", "テキスト"); }).find("定義されていません"),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] {
              SetPartProperty(y, "無い", "テキスト", "1", false);
            }).find("作成されていません"),
            std::string::npos);
}

TEST_F(PartsTest, MenusAreNamedByTheirPath) {
  CreateMenuPaths(y, "ファイル\\開く\r\nファイル\\-\r\n");
  EXPECT_NE(FindPart(y, "ファイルメニュー"), nullptr);
  TObjNode* open = FindPart(y, "ファイル_開くメニュー");
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(host.Recs[open->Tag].Text, "開く");
  // A "-" caption is a separator named after its index.
  EXPECT_NE(FindPart(y, "split3メニュー"), nullptr);
  EXPECT_NE(ErrorOf([&] {
              SetPartProperty(y, "ファイルメニュー", "X", "5", false);
            }).find("の設定は、未定義です"),
            std::string::npos);
}

// メッセージ送信: the numbers as the widgets get them, a variable as lparam passed by its text
// and filled with what the message wrote back.
TEST_F(PartsTest, MessagesPassNumbersAndBuffers) {
  Create("E", "エディタ");
  TObjNode& e = *FindPart(y, "E");
  host.Reply = "1";
  EXPECT_EQ(SendPartMessage(y, e, "$B1, 2 ,-1"), 1);
  EXPECT_EQ(host.LastCommand, 339);
  EXPECT_EQ(host.LastArg, "177\t2\tN\t-1");
  host.Reply = "4\tあい";
  EXPECT_EQ(SendPartMessage(y, e, "13,5,受け"), 4);
  EXPECT_EQ(host.LastArg, "13\t5\tT\t");
  const THashNode* buffer = y.Dict.FindScoped("受け", false);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->ValueText(), "あい");
  // Unreadable numbers are 0; a text without three values, or a message the widgets refuse,
  // is the command's argument error.
  host.Reply = "0";
  SendPartMessage(y, e, "x,y,0");
  EXPECT_EQ(host.LastArg, "0\t0\tN\t0");
  EXPECT_NE(ErrorOf([&] { SendPartMessage(y, e, "12,0"); }).find("メッセージ送信"),
            std::string::npos);
  host.Reply.clear();
  EXPECT_NE(ErrorOf([&] { SendPartMessage(y, e, "1234,0,0"); }).find("メッセージ送信"),
            std::string::npos);
}

// A browser's navigation: the click event's variable gets the URL and ブラウザURL移動許可
// decides; a new window goes where ブラウザ新規ブラウザ says, a part that is no browser refused.
TEST_F(PartsTest, BrowsersAskTheScriptBeforeNavigatingAndOpening) {
  host.Browsers = true;
  const int b1 = Create("B1", "ブラウザ");
  const int b2 = Create("B2", "ブラウザ");
  Create("K", "ボタン");
  ASSERT_NE(host.Events, nullptr);
  EXPECT_TRUE(host.Events->BrowserNavigate(b1, "file:///a.html"));
  EXPECT_EQ(y.Dict.FindScoped("ブラウザ移動先URL", false)->ValueText(), "file:///a.html");
  y.Dict.FindScoped("ブラウザURL移動許可", false)->SetValueText("0");
  EXPECT_FALSE(host.Events->BrowserNavigate(b1, "file:///b.html"));
  THashNode* target = y.Dict.FindScoped("ブラウザ新規ブラウザ", false);
  EXPECT_EQ(host.Events->BrowserNewWindow(b1), -1);
  target->SetValueText("禁止");
  EXPECT_EQ(host.Events->BrowserNewWindow(b1), -2);
  target->SetValueText("B2");
  EXPECT_EQ(host.Events->BrowserNewWindow(b1), b2);
  target->SetValueText("K");
  EXPECT_EQ(host.Events->BrowserNewWindow(b1), -2);
  EXPECT_NE(y.ErrorLog.find("ブラウザの新規ウインドウにブラウザ部品が指定されていません。"),
            std::string::npos);
}

}  // namespace
}  // namespace yume
