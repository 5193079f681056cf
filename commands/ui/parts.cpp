#include "commands/ui/parts.h"

#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "commands/system/guard.h"
#include "commands/ui/dialogtext.h"
#include "core/app.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/objlist.h"
#include "core/partprops.h"
#include "core/prepare.h"
#include "core/scanner.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

const char* const kPartKindNames[pkKindCount] = {
    "ボタン",     "エディタ",   "イメージ", "バー",           "コンボ",       "リスト",
    "メモ",       "フォーム",   "グリッド", "ラベル",         "チェック",     "トラック",
    "アニメ",     "メニュー",   "ブラウザ", "パネル",         "Tエディタ",    "ラジオ",
    "スクロール", "タブページ", "ツリー",   "リッチエディタ", "スプリッター", "ポップアップ",
};

namespace {

// Property numbers the model itself serves.
enum : int {
  kpX = 0,
  kpY = 1,
  kpWidth = 2,
  kpHeight = 3,
  kpText = 4,
  kpItems = 5,
  kpPicture = 7,
  kpMoreFrames = 39,
  kpTitle = 11,
  kpEvent = 15,
  kpEdit = 23,
  kpSize = 26,
  kpName = 27,
  kpHandle = 41,
  kpRight = 46,
  kpBelow = 47,
  kpW = 50,
  kpH = 51,
  kpPos = 52,
  kpSort = 55,
  kpKind = 56,
  kpPocket = 59,
  kpPopup = 60,
};

// A modal form shown by ダイアログ表示, and the place the script goes on from once it closes.
struct TModal {
  int Form = -1;
  std::vector<TRunControl> Frames;
  const char* Resume = nullptr;
  std::string SourceName;
  bool Closed = false;
};

class TPartModel : public TFamilyState, public TPartEvents {
 public:
  explicit TPartModel(TYumeBase& y) : y_(y) {}
  ~TPartModel() override {
    // The records outlive the model in the state; they must not reach widgets through it.
  }

  TPartHost& Widgets() {
    if (!host_) {
      if (loader_) host_ = loader_();
      if (!host_) RaiseNotBuilt(y_, "部品(ウインドウ)");
      host_->SetEvents(this);
      y_.Parts = host_;
      // The mothership's record reaches the window from now on.
      if (TObjNode* main = y_.Objs.Get(0)) main->Widgets = nullptr;
    }
    return *host_;
  }
  TPartHost* Loaded() const { return host_; }

  bool PartEvent(int index, int slot, const TPartEventInfo& info) override;
  bool HasEvent(int index, int slot) override {
    const TObjNode* n = y_.Objs.Get(index);
    return n && slot >= 0 && slot < psSlotCount && n->Entries[slot];
  }
  bool BrowserNavigate(int index, const std::string& url) override;
  int BrowserNewWindow(int index) override;
  // A part's page loads (on) or is done: the program keeps waiting for events meanwhile.
  void SourceBusy(int index, bool on) override {
    TYumeApp* app = y_.App;
    if (on) {
      if (busy_.insert(index).second && app) app->ArmSource();
      return;
    }
    if (!busy_.erase(index) || !app) return;
    app->DisarmSource();
    // The host looks again whether anything can still happen once the loop is idle (after a
    // timer, as after any event); the release timer is the harmless one to ask for that.
    if (!app->HasArmedSources()) app->Host().SetTimer(THostTimer::ObjDel, 1, true);
  }

  std::function<TPartHost*()> loader_;
  TPartHost* host_ = nullptr;
  int LastTopMenu = -1;
  std::vector<TModal> Modals;
  bool ResumeQueued = false;

 private:
  TYumeBase& y_;
  std::set<int> busy_;  // parts whose page is loading
};

TPartModel& Model(TYumeBase& y) {
  if (!y.PartState) y.PartState = std::make_unique<TPartModel>(y);
  return static_cast<TPartModel&>(*y.PartState);
}

int Gap(TYumeBase& y) {
  long double n = 8;
  if (!TryStrToNumber(SystemText(y, "部品配置間隔"), n)) n = 8;
  return static_cast<int>(std::trunc(n));
}

int ToInt(std::string_view text) {
  long double n = 0;
  if (!TryStrToNumber(TrimBlanks(text), n)) return 0;
  if (n > 2147483647.0L) return 2147483647;
  if (n < -2147483648.0L) return -2147483647 - 1;
  return static_cast<int>(std::trunc(n));
}

bool IsQuoted(std::string_view s) {
  return !s.empty() && (s[0] == '"' || s[0] == '`');
}

// A name as written, or evaluated when it is a string literal.
std::string NameAsMeant(TYumeBase& y, std::string_view name) {
  return IsQuoted(name) ? EvaluateText(y, name) : std::string(name);
}

// The word a name refers to: the word itself, or the part a variable holds the name of.
THashNode* PartWord(TYumeBase& y, std::string_view name) {
  THashNode* w = y.Dict.FindScoped(name, false);
  if (w && w->Kind == wkVariable && !w->ValueText().empty()) {
    THashNode* t = y.Dict.FindScoped(w->ValueText(), false);
    if (t && t->Kind == wkPart) return t;
  }
  return w;
}

// The word of a part record in the dictionary (it holds the part's stored value).
THashNode* WordOf(TYumeBase& y, const TObjNode& node) {
  THashNode* w = y.Dict.Find(node.Name, false);
  return w && w->Kind == wkPart && w->Tag == node.Tag ? w : nullptr;
}

std::string KindName(TYumeBase& y, const THashNode& w, const TObjNode& node) {
  if (!w.TypeText.empty()) return w.TypeText;
  return node.Kind >= 0 && node.Kind < pkKindCount ? kPartKindNames[node.Kind] : "";
}

[[noreturn]] void UndefinedProperty(TYumeBase& y, const THashNode& w, const TObjNode& node,
                                    std::string_view property) {
  RaiseError(y, "部品\"%s\"(\"%s\")の設定項目\"%s\"は未定義です。",
             {node.Name.empty() ? w.Name : node.Name, KindName(y, w, node), property});
}

[[noreturn]] void NoSetting(TYumeBase& y, const TObjNode& node) {
  RaiseError(y, "オブジェクト\"%s\"の設定は、未定義です。", {node.Name});
}

void CopyToSo(TYumeBase& y, const THashNode& w) {
  if (y.VarSo && y.VarSo != &w) y.VarSo->Assign(w);
}

std::string Point(int x, int y) {
  return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

// "(x,y)" or "(a,b,c,d)": the outer parentheses removed and split at the commas outside
// brackets; each entry evaluated and truncated. False when the count differs.
bool ReadCoordinates(TYumeBase& y, std::string text, size_t count, std::vector<int>& out) {
  if (!IsQuoted(text)) {
    if (const THashNode* w = y.Dict.FindScoped(text, false); w && w->Kind == wkVariable)
      text = w->ValueText();
  } else {
    text = EvaluateText(y, text);
  }
  std::string_view t = TrimBlanks(text);
  if (t.size() >= 2 && t.front() == '(' && t.back() == ')') t = t.substr(1, t.size() - 2);
  std::vector<std::string_view> parts;
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < t.size(); i += CharLen(t, i)) {
    const char c = t[i];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      parts.push_back(t.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(t.substr(start));
  if (parts.size() != count) return false;
  out.clear();
  for (std::string_view p : parts) {
    p = TrimBlanks(p);
    if (p.empty()) return false;
    long double n = 0;
    if (!TryStrToNumber(Calculate(y, p), n)) n = 0;
    out.push_back(static_cast<int>(std::trunc(n)));
  }
  return true;
}

// The part record and word a property access names (the Part's lookup, for reading or writing).
struct TTarget {
  THashNode* Word;
  TObjNode* Node;
};

TTarget ResolveForGet(TYumeBase& y, std::string_view name) {
  THashNode* w = PartWord(y, name);
  if (!w) RaiseError(y, "単語\"%s\"は、定義されていません。", {name});
  if (w->Kind != wkPart) RaiseError(y, "\"%s\"は、部品ではありません。", {name});
  TObjNode* n = y.Objs.Get(w->Tag);
  if (!n) RaiseError(y, msg::kWordNotMade, {name});
  return {w, n};
}

TTarget ResolveForSet(TYumeBase& y, std::string_view name) {
  THashNode* w = PartWord(y, name);
  TObjNode* n = w && w->Kind == wkPart ? y.Objs.Get(w->Tag) : nullptr;
  if (!n) RaiseError(y, msg::kWordNotMade, {name});
  CopyToSo(y, *w);
  return {w, n};
}

// ---- event slots ----

void ClearSlot(TObjNode& node, int slot) {
  node.Texts[slot].clear();
  node.Entries[slot] = nullptr;
  node.Code[slot].reset();
}

// Puts an event into a slot: a label's code, or inline code (the text inside "(...)" when it
// begins with one).
void AssignSlot(TYumeBase& y, TObjNode& node, int slot, std::string_view valueText) {
  std::string v(TrimBlanks(valueText));
  if (v == "\"\"" || v == "``") {
    ClearSlot(node, slot);
    return;
  }
  if (v.size() >= 2 && v.front() == '`' && v.back() == '`') {
    v = v.substr(1, v.size() - 2);
  } else if (!v.empty() && v.front() == '"') {
    v = EvaluateText(y, v);  // a string literal names the label or holds the code
  }
  if (THashNode* w = y.Dict.FindScoped(v, false)) {
    if (w->Kind == wkLabel) {
      node.Texts[slot] = v;
      node.Entries[slot] = w->RefPos;
      node.Code[slot].reset();
      return;
    }
    if (w->Kind == wkVariable) {
      RaiseError(y,
                 "計算式に誤りがあります。"
                 "イベントに変数を設定することは出来ません。ラベルを指定してください。");
    }
  }
  if (v.empty()) {
    ClearSlot(node, slot);
    return;
  }
  std::string code = v;
  if (code[0] == '(') {
    int depth = 0;
    size_t i = 0;
    for (; i < code.size(); i += CharLen(code, i)) {
      if (code[i] == '(') ++depth;
      if (code[i] == ')' && --depth == 0) break;
    }
    code = code.substr(1, (i < code.size() ? i : code.size()) - 1);
  }
  auto text = std::make_shared<std::string>(code);
  PrepareSource(y, *text);
  node.Texts[slot] = v;
  node.Code[slot] = text;
  node.Entries[slot] = text->c_str();
}

// Runs event code at entry on behalf of a part: the part in イベントオブジェクト and そ, a scope of
// its own; in the running loop when the script is busy inside a command, else (or when nested:
// the code runs in the middle of working out a value) in a loop of its own on a fresh frame
// level, returning here when it ends.
void EnterPartEvent(TYumeBase& y, TObjNode& node, const char* entry,
                    const std::shared_ptr<const std::string>& code, bool nested = false) {
  if (THashNode* w = WordOf(y, node)) {
    if (y.VarEventObject && y.VarEventObject != w) {
      const bool reserved = y.VarEventObject->Reserved;
      y.VarEventObject->Assign(*w);
      y.VarEventObject->Reserved = reserved;
    }
    CopyToSo(y, *w);
  }
  TYumeApp* app = y.App;
  if (!app) return;
  TRunControl frame;
  frame.Kind = fkEvent;
  frame.EndPos = entry;
  frame.BodyOwner = code;
  frame.SourceName = y.FileName;
  if (!nested && y.Cur && *y.Cur && app->RunDepth() > 0) {
    frame.ReturnPos = y.Cur;
    y.Runs.Push(std::move(frame));
    y.Dict.PushScope();
    y.SetCur(entry);
    return;
  }
  const std::string savedFile = y.FileName;
  const char* const savedCur = y.Cur;
  const size_t scopes = y.Dict.ScopeCount();
  y.Runs.PushLevel();
  y.Runs.Push(std::move(frame));
  y.Dict.PushScope();
  y.SetCur(entry);
  struct TRestore {
    TYumeBase& y;
    size_t scopes;
    std::string file;
    const char* cur;
    ~TRestore() {
      // 待機 inside the event drops its frame: its scope is closed here instead.
      while (y.Dict.ScopeCount() > scopes) y.Dict.PopScope();
      y.Runs.PopLevel();
      y.FileName = file;
      if (!y.StopRun) y.Cur = cur;
    }
  } restore{y, scopes, savedFile, savedCur};
  app->RunProgram();
}

void SetSystemNumber(THashNode* w, long double n) {
  if (!w) return;
  w->SetNumberValue(n);
  w->SetTypeText("e");
}

void SetSystemText(THashNode* w, const std::string& text) {
  if (!w) return;
  w->SetValueText(text);
  w->SetTypeText("s");
}

// ---- part values ----

bool HasValue(int kind) {
  switch (kind) {
    case pkTrack:
    case pkAnime:
    case pkBrowser:
    case pkScroll:
    case pkTabs:
    case pkPopup:
      return false;
    default:
      return true;
  }
}

std::string ReadValue(TYumeBase& y, THashNode& w, TObjNode& node) {
  if (!HasValue(node.Kind))
    RaiseError(y, "部品\"%s\"から、直接値を得ることは出来ません。", {node.Name});
  if (node.Kind == pkImage) {
    y.LastType = "s";
    THashNode* own = WordOf(y, node);
    return std::string(TrimBlanks(own ? own->ValueText() : w.ValueText()));
  }
  bool number = false;
  std::string v = PartWidgets(y).Value(node.Tag, number);
  y.LastType = number ? "e" : "s";
  return v;
}

void AssignValue(TYumeBase& y, THashNode& w, TObjNode& node, std::string_view value) {
  TPartHost& h = PartWidgets(y);
  if (node.Kind == pkImage) {
    if (THashNode* own = WordOf(y, node)) own->SetValueText(value);
    h.Set(node.Tag, kpPicture, std::string(value));
  } else if (node.Kind != pkTree && node.Kind != pkSplitter && HasValue(node.Kind)) {
    h.Assign(node.Tag, std::string(value));
  }
  CopyToSo(y, w);
}

// ---- properties ----

void MoveCursorBelow(TYumeBase& y, int index) {
  int x = 0, top = 0, w = 0, h = 0;
  if (!PartWidgets(y).Bounds(index, x, top, w, h)) return;
  y.CursorX = x;
  y.CursorY = top + h + Gap(y);
}

void Recentre(TYumeBase& y, int index) {
  if (!y.Centering) return;
  TPartHost& h = PartWidgets(y);
  int x = 0, top = 0, w = 0, hh = 0;
  if (!h.Bounds(index, x, top, w, hh)) return;
  h.SetBounds(index, (h.ParentWidth(index) - w) / 2, top, w, hh);
}

bool IsMenu(const TObjNode& node) {
  return node.Kind == pkMenu || node.Kind == pkPopup;
}

// The kinds other parts can be put on; their アイテム is the names of the parts on them.
bool IsHolder(const TObjNode& node) {
  return node.Kind == pkForm || node.Kind == pkPanel || node.Kind == pkScroll ||
         node.Kind == pkTabs;
}

std::string ReadProperty(TYumeBase& y, THashNode& w, TObjNode& node, std::string_view property) {
  const int p = FindPartProperty(property);
  if (p < 0) UndefinedProperty(y, w, node, property);
  y.LastType = NumericProperty(p) ? "e" : "s";
  const int slot = EventSlotOfProperty(p);
  if (p == kpEvent) {
    // Reading the generic event runs it now, before the value it is part of is worked out
    // further (going on from the statement's start would read it again, without end).
    if (const char* entry = node.Entries[psGeneric])
      EnterPartEvent(y, node, entry, node.Code[0], true);
    y.LastType = "s";
    return {};
  }
  if (slot >= 0 || p == kpSort || p == kpPopup) {
    AddWarning(y, Subst("\"%s,%s\"は、未定義です。", {node.Name, property}));
    y.LastType = "s";
    return {};
  }
  TPartHost& h = PartWidgets(y);
  switch (p) {
    case kpName:
      return node.Name;
    case kpKind:
      return KindName(y, w, node);
    case kpPocket:
      return node.Pocket;
    case kpX:
    case kpY:
    case kpWidth:
    case kpHeight:
    case kpW:
    case kpH:
    case kpSize:
    case kpPos:
    case kpRight:
    case kpBelow: {
      if (IsMenu(node)) {
        if (p == kpSize || p == kpPos) NoSetting(y, node);
        if (p != kpRight && p != kpBelow) return "0";
      }
      int x = 0, top = 0, wd = 0, ht = 0;
      h.Bounds(node.Tag, x, top, wd, ht);
      switch (p) {
        case kpX:
          return std::to_string(x);
        case kpY:
          return std::to_string(top);
        case kpWidth:
        case kpW:
          return std::to_string(wd);
        case kpHeight:
        case kpH:
          return std::to_string(ht);
        case kpSize:
          return "(" + std::to_string(x) + "," + std::to_string(top) + "," +
                 std::to_string(x + wd) + "," + std::to_string(top + ht) + ")";
        case kpPos:
          return Point(x, top);
        case kpRight:
          return Point(x + wd + Gap(y), top);
        default:
          return Point(x, top + ht + Gap(y));
      }
    }
    case kpItems:
      if (IsHolder(node)) {
        std::string names;
        for (int child : h.Children(node.Tag)) {
          if (const TObjNode* c = y.Objs.Get(child)) names += c->Name + "\r\n";
        }
        return names;
      }
      break;
    case kpPicture:
      return WordOf(y, node) ? WordOf(y, node)->ValueText() : std::string();
    default:
      break;
  }
  std::string value;
  switch (h.Get(node.Tag, p, value)) {
    case TPropResult::Ok:
      break;
    case TPropResult::NotForKind:
      // Properties the widget has no reading of give the part's stored value.
      if (p == kpText || p == kpTitle) {
        THashNode* own = WordOf(y, node);
        return own ? own->ValueText() : std::string();
      }
      UndefinedProperty(y, w, node, property);
    case TPropResult::NoSetting:
      NoSetting(y, node);
    default:
      RaiseError(y, "部品\"%s\"の\"%s\"を得られません。", {node.Name, property});
  }
  return value;
}

void WriteProperty(TYumeBase& y, THashNode& w, TObjNode& node, std::string_view property,
                   std::string_view valueText, bool evaluated) {
  const int p = FindPartProperty(property);
  if (p < 0) UndefinedProperty(y, w, node, property);
  const int slot = EventSlotOfProperty(p);
  if (slot >= 0 || p == kpEvent) {
    if (p == kpEvent) {
      std::string_view v = TrimBlanks(valueText);
      if (v.empty() || v == "\\NULL-VALUE") {
        ClearSlot(node, psGeneric);
        return;
      }
      AssignSlot(y, node, psGeneric, v);
      if (const int main = MainEventSlot(node.Kind); main > 0) {
        node.Texts[main] = node.Texts[psGeneric];
        node.Entries[main] = node.Entries[psGeneric];
        node.Code[main] = node.Code[psGeneric];
      }
      return;
    }
    AssignSlot(y, node, slot, valueText);
    return;
  }
  if (p == kpPopup) {
    // The value names the pop-up menu part as written (else its evaluated value names it).
    const std::string name = NameAsMeant(y, TrimBlanks(valueText));
    THashNode* pw = PartWord(y, name);
    if (!pw || pw->Kind != wkPart) {
      pw = nullptr;
      if (!IsQuoted(valueText)) {
        pw = PartWord(y, EvaluateText(y, valueText));
        if (pw && pw->Kind != wkPart) pw = nullptr;
      }
    }
    const TObjNode* popup = pw ? y.Objs.Get(pw->Tag) : nullptr;
    if (!popup || popup->Kind != pkPopup)
      RaiseError(y, "\"" + name + "は、ポップアップメニューではありません。");
    if (!PartWidgets(y).SetPopup(node.Tag, popup->Tag)) UndefinedProperty(y, w, node, property);
    return;
  }
  const std::string value = evaluated ? std::string(valueText) : EvaluateText(y, valueText);
  TPartHost& h = PartWidgets(y);
  switch (p) {
    case kpName:
    case kpKind:
    case kpHandle:
    case kpRight:
    case kpBelow:
      RaiseReadOnly(y, property);
    case kpPocket:
      node.Pocket = value;
      return;
    case kpX:
    case kpY:
    case kpWidth:
    case kpHeight:
    case kpW:
    case kpH:
    case kpSize:
    case kpPos: {
      if (IsMenu(node)) NoSetting(y, node);
      int x = 0, top = 0, wd = 0, ht = 0;
      h.Bounds(node.Tag, x, top, wd, ht);
      const int n = ToInt(value);
      std::vector<int> c;
      switch (p) {
        case kpX:
          x = n;
          break;
        case kpY:
          top = n;
          break;
        case kpWidth:
        case kpW:
          wd = n;
          break;
        case kpHeight:
        case kpH:
          ht = n;
          break;
        case kpSize:
          if (!ReadCoordinates(y, value, 4, c))
            RaiseError(y, "座標の指定エラー。\"" + value + "\"");
          x = c[0], top = c[1], wd = c[2] - c[0], ht = c[3] - c[1];
          break;
        default:
          if (!ReadCoordinates(y, value, 2, c))
            RaiseError(y, "座標の指定エラー。\"" + value + "\"");
          x = c[0], top = c[1];
          break;
      }
      h.SetBounds(node.Tag, x, top, wd, ht);
      if (p == kpWidth || p == kpW || p == kpSize) Recentre(y, node.Tag);
      if (p == kpHeight || p == kpH || p == kpSize) MoveCursorBelow(y, node.Tag);
      return;
    }
    case kpItems:
      if (IsHolder(node)) {
        size_t pos = 0;
        while (pos < value.size()) {
          const std::string name(TrimBlanks(NextLine(value, pos)));
          if (name.empty()) continue;
          THashNode* cw = PartWord(y, name);
          const TObjNode* child = cw && cw->Kind == wkPart ? y.Objs.Get(cw->Tag) : nullptr;
          if (!child) RaiseError(y, "\"%s\"は、部品ではありません。", {name});
          h.SetParent(child->Tag, node.Tag);
        }
        return;
      }
      break;
    default:
      break;
  }
  // What the part keeps besides its widget.
  if (p == kpText || p == kpPicture || p == kpEdit || p == kpTitle) {
    if (THashNode* own = WordOf(y, node)) own->SetValueText(value);
  }
  // Picture files reach the widgets as system paths, found as every file to be read is.
  std::string files;
  if (p == kpPicture || p == kpMoreFrames) {
    size_t pos = 0;
    while (pos < value.size()) {
      const std::string line(TrimBlanks(NextLine(value, pos)));
      if (!line.empty()) files += Utf8ToCp932(SysPath(FindProgramFile(y, line))) + "\r\n";
    }
  }
  switch (h.Set(node.Tag, p, files.empty() ? value : files)) {
    case TPropResult::Ok:
      return;
    case TPropResult::NotForKind:
      if (p == kpPicture || p == kpEdit) return;  // stored with the word only
      UndefinedProperty(y, w, node, property);
    case TPropResult::NoSetting:
      NoSetting(y, node);
    case TPropResult::ReadOnly:
      RaiseReadOnly(y, property);
    case TPropResult::BadLayout:
      RaiseError(y, "レイアウトは、上下左右なし全体から指定してください。");
    case TPropResult::NotPopup:
      RaiseError(y, "\"" + value + "は、ポップアップメニューではありません。");
    case TPropResult::Failed: {
      std::string why = h.LastError();
      RaiseError(y, "部品\"%s\"の\"%s\"を設定できません。%s", {node.Name, property, why});
    }
  }
}

// The hooks the evaluator and assignments reach parts through.
std::string PartReadHook(TYumeBase& y, THashNode& part, std::string_view property,
                         bool hasProperty) {
  TObjNode* node = y.Objs.Get(part.Tag);
  if (!node) RaiseError(y, msg::kWordNotMade, {part.Name});
  if (!hasProperty) return ReadValue(y, part, *node);
  return ReadProperty(y, part, *node, property);
}

void PartWriteHook(TYumeBase& y, THashNode& part, std::string_view property,
                   std::string_view value) {
  TObjNode* node = y.Objs.Get(part.Tag);
  if (!node) RaiseError(y, msg::kWordNotMade, {part.Name});
  if (property.empty()) {
    AssignValue(y, part, *node, value);
    return;
  }
  CopyToSo(y, part);
  WriteProperty(y, part, *node, property, value, false);
}

// Adds the record and the word of a new part (the widget exists already).
TObjNode& AddPart(TYumeBase& y, const std::string& name, int kind, const std::string& kindName,
                  int index) {
  auto node = std::make_unique<TObjNode>();
  node->Name = name;
  node->Kind = kind;
  node->Tag = index;
  node->Widgets = Model(y).Loaded();
  TObjNode& added = *y.Objs.Add(std::move(node));
  auto word = std::make_unique<THashNode>();
  word->Name = name;
  word->Kind = wkPart;
  word->Tag = index;
  word->TypeText = kindName;
  word->RefPos = y.Cur;
  THashNode* w = word.get();
  y.Dict.Add(std::move(word));
  CopyToSo(y, *w);
  return added;
}

void RunResume(TYumeBase& y);

void QueueResume(TYumeBase& y) {
  TPartModel& m = Model(y);
  if (m.ResumeQueued || !m.Loaded()) return;
  m.ResumeQueued = true;
  // The form has closed: the script goes on after ダイアログ表示 once nothing else runs.
  m.Loaded()->Post([&y]() { RunResume(y); });
}

void RunResume(TYumeBase& y) {
  TPartModel& m = Model(y);
  m.ResumeQueued = false;
  if (m.Modals.empty() || !m.Modals.back().Closed) return;
  TYumeApp* app = y.App;
  if (app && (app->RunDepth() > 0 || y.Cur)) {
    // The code that closed the form is still running (waiting inside a command, say): going
    // on from the saved place now would take its position from under it.
    QueueResume(y);
    return;
  }
  TModal modal = std::move(m.Modals.back());
  m.Modals.pop_back();
  if (app) app->DisarmSource();
  if (!modal.Resume || !app || y.StopRun) return;
  const std::string savedFile = y.FileName;
  y.Runs.PushLevel();
  for (TRunControl& f : modal.Frames) y.Runs.Push(std::move(f));
  y.FileName = modal.SourceName;
  y.SetCur(modal.Resume);
  struct TRestore {
    TYumeBase& y;
    std::string file;
    ~TRestore() {
      y.Runs.PopLevel();
      y.FileName = file;
      if (!y.StopRun) y.Cur = nullptr;
    }
  } restore{y, savedFile};
  app->RunProgram();
  // A dialog beneath this one that closed (was destroyed) meanwhile goes on next.
  if (!m.Modals.empty() && m.Modals.back().Closed) QueueResume(y);
}

// A form shown by ダイアログ表示 closed, or was destroyed: the script goes on after it once
// nothing else runs.
void ModalFormClosed(TYumeBase& y, int index) {
  TPartModel& m = Model(y);
  for (TModal& modal : m.Modals) {
    if (modal.Form != index || modal.Closed) continue;
    modal.Closed = true;
    // Going on after ダイアログ表示 is still to come: the program must wait for it.
    if (y.App && m.Loaded() && !m.Loaded()->Interactive()) y.App->ArmSource();
    QueueResume(y);
  }
}

}  // namespace

// Before a browser navigates: the click event sees the target in ブラウザ移動先URL, then
// ブラウザURL移動許可 decides.
bool TPartModel::BrowserNavigate(int index, const std::string& url) {
  if (THashNode* w = y_.Dict.FindScoped("ブラウザ移動先URL", false)) SetSystemText(w, url);
  if (HasEvent(index, psClick)) PartEvent(index, psClick, {});
  long double allow = 1;
  if (!TryStrToNumber(TrimBlanks(SystemText(y_, "ブラウザURL移動許可")), allow)) allow = 1;
  return allow != 0;
}

// A page asks for a new window: the open event runs, then ブラウザ新規ブラウザ says where it
// goes (禁止: nowhere; a browser part; empty: a window of the platform's own).
int TPartModel::BrowserNewWindow(int index) {
  if (HasEvent(index, psOpen)) PartEvent(index, psOpen, {});
  const std::string target(TrimBlanks(SystemText(y_, "ブラウザ新規ブラウザ")));
  if (target.empty()) return -1;
  if (target == "禁止") return -2;
  const TObjNode* n = FindPart(y_, target);
  if (!n || n->Kind != pkBrowser) {
    // Reported as the statement's error would be; the window is refused.
    try {
      RaiseError(y_, "ブラウザの新規ウインドウにブラウザ部品が指定されていません。");
    } catch (const EYume& e) {
      if (y_.App) y_.App->HandleStatementError(e, true);
    }
    return -2;
  }
  return n->Tag;
}

bool TPartModel::PartEvent(int index, int slot, const TPartEventInfo& info) {
  try {
    const bool ran = DeliverPartEvent(y_, index, slot, info);
    if (slot == psClose) ModalFormClosed(y_, index);
    return ran;
  } catch (const EYume& e) {
    // An error entering the event (a runaway nesting): reported as a statement error.
    if (y_.App) y_.App->HandleStatementError(e, true);
  } catch (const std::exception& e) {
    if (y_.App) y_.App->HandleStatementError(e, false);
  }
  return true;
}

int FindPartKind(std::string_view name) {
  for (int i = 0; i < pkKindCount; ++i)
    if (name == kPartKindNames[i]) return i;
  return -1;
}

int KindEndingName(std::string_view name) {
  for (int i = 0; i < pkKindCount; ++i) {
    std::string_view k = kPartKindNames[i];
    // The ending must start on a character boundary (a trail byte may equal a kind's first).
    if (EndsWith(name, k) && FindAligned(name, k, name.size() - k.size()) == name.size() - k.size())
      return i;
  }
  return -1;
}

std::string DefaultCaption(std::string_view name, std::string_view kindName) {
  if (!kindName.empty() && EndsWith(name, kindName) &&
      FindAligned(name, kindName, name.size() - kindName.size()) == name.size() - kindName.size()) {
    std::string_view rest = name.substr(0, name.size() - kindName.size());
    return std::string(rest.empty() ? kindName : rest);
  }
  return std::string(name);
}

int EventSlotOfProperty(int property) {
  if (property >= 16 && property <= 22) return property - 15;
  switch (property) {
    case 38:
      return psMouseMove;
    case 48:
      return psFileDrop;
    case 63:
      return psClose;
    case 64:
      return psOpen;
    default:
      return -1;
  }
}

int MainEventSlot(int kind) {
  switch (kind) {
    case pkButton:
    case pkCombo:
    case pkList:
    case pkLabel:
    case pkCheck:
    case pkAnime:
    case pkMenu:
    case pkBrowser:
    case pkPanel:
    case pkRadio:
    case pkTree:
      return psClick;
    case pkEdit:
    case pkBar:
    case pkTrack:
    case pkTEditor:
    case pkTabs:
    case pkRich:
    case pkSplitter:
      return psChange;
    case pkImage:
    case pkForm:
      return psMouseDown;
    default:
      return -1;
  }
}

bool NumericProperty(int p) {
  switch (p) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 6:
    case 8:
    case 9:
    case 10:
    case 14:
    case 23:
    case 24:
    case 25:
    case 30:
    case 31:
    case 33:
    case 35:
    case 36:
    case 41:
    case 42:
    case 43:
    case 44:
    case 49:
    case 50:
    case 51:
    case 53:
    case 54:
    case 58:
    case 62:
      return true;
    default:
      return false;
  }
}

void ConnectParts(TYumeBase& y, std::function<TPartHost*()> host) {
  Model(y).loader_ = std::move(host);
  y.PartRead = PartReadHook;
  y.PartWrite = PartWriteHook;
}

TPartHost& PartWidgets(TYumeBase& y) {
  return Model(y).Widgets();
}

TObjNode* FindPart(TYumeBase& y, std::string_view name) {
  THashNode* w = PartWord(y, name);
  return w && w->Kind == wkPart ? y.Objs.Get(w->Tag) : nullptr;
}

int CreatePart(TYumeBase& y, const std::string& nameText, const std::string& kindName,
               const std::string* position) {
  const std::string name = NameAsMeant(y, nameText);
  if (y.Dict.FindScoped(name, false))
    RaiseError(y, "部品\"%s\"は、既に存在するので、作成できません。", {name});
  int px = y.CursorX, py = y.CursorY;
  if (position) {
    std::vector<int> c;
    if (!ReadCoordinates(y, *position, 2, c))
      RaiseError(y, "部品\"" + name +
                        "\"は、未定義なので、作成できません。座標指定に誤りがあります。\"" +
                        *position + "\"");
    px = c[0];
    py = c[1];
  }
  const int kind = FindPartKind(kindName);
  if (kind < 0 || kind == pkMenu)
    RaiseError(y, "部品\"%s\"は、未定義なので、作成できません。", {kindName});
  TPartHost& h = PartWidgets(y);
  const int index = static_cast<int>(y.Objs.Count());
  const TDialogFont font =
      DrawingFont(SystemText(y, "文字書体"), SystemText(y, "文字サイズ"), SystemText(y, "文字色"));
  const bool placed = kind != pkForm && kind != pkPopup;
  if (!h.Create(index, kind, DefaultCaption(name, kindName), font, px, py)) {
    std::string why = h.LastError();
    RaiseError(y, "部品\"%s\"(\"%s\")を作成できません。%s", {name, kindName, why});
  }
  AddPart(y, name, kind, kindName, index);
  if (placed) {
    int x = 0, top = 0, w = 0, ht = 0;
    h.Bounds(index, x, top, w, ht);
    if (y.Centering) {
      x = (h.ParentWidth(index) - w) / 2;
      h.SetBounds(index, x, top, w, ht);
    }
    y.CursorY = top + ht + Gap(y);
  }
  return index;
}

void DestroyPart(TYumeBase& y, const std::string& nameText) {
  THashNode* w = PartWord(y, nameText);
  if (!w || w->Kind != wkPart) {
    const std::string evaluated = EvaluateText(y, nameText);
    w = PartWord(y, evaluated);
  }
  if (!w || w->Kind != wkPart) RaiseError(y, msg::kWordUnknown, {nameText});
  const int index = w->Tag;
  if (index == 0) return;  // the mothership stays
  const std::string wordName = w->Name;
  if (TObjNode* node = y.Objs.Get(index)) {
    if (TPartHost* h = Model(y).Loaded()) h->Hide(index);
    Model(y).SourceBusy(index, false);  // a destroyed part's page keeps no one waiting
    ModalFormClosed(y, index);          // nor does a destroyed dialog form
    std::unique_ptr<TObjNode> taken = y.Objs.Take(index);
    taken->Name.clear();
    y.DeferredRelease.push_back(std::move(taken));
    (void)node;
  }
  if (THashNode* own = y.Dict.Find(wordName, false);
      own && own->Kind == wkPart && own->Tag == index)
    y.Dict.Delete(wordName, false);
}

void DestroyAllParts(TYumeBase& y) {
  for (size_t i = 1; i < y.Objs.Count(); ++i) {
    TObjNode* node = y.Objs.Get(i);
    if (!node) continue;
    const std::string name = node->Name;
    if (TPartHost* h = Model(y).Loaded()) h->Hide(static_cast<int>(i));
    Model(y).SourceBusy(static_cast<int>(i), false);
    ModalFormClosed(y, static_cast<int>(i));
    std::unique_ptr<TObjNode> taken = y.Objs.Take(i);
    taken->Name.clear();
    y.DeferredRelease.push_back(std::move(taken));
    if (THashNode* own = y.Dict.Find(name, false);
        own && own->Kind == wkPart && own->Tag == static_cast<int>(i))
      y.Dict.Delete(name, false);
  }
}

namespace {

// A number of a message: decimal, or hexadecimal after "$"; 0 when unreadable.
long long MessageNumber(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text[0] == '$') {
    long long n = 0;
    for (char c : text.substr(1)) {
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
      if (d < 0 || n > (1LL << 40)) return 0;
      n = n * 16 + d;
    }
    return n;
  }
  long double n = 0;
  if (!TryStrToNumber(text, n) || n != std::trunc(n) || n > 9e15L || n < -9e15L) return 0;
  return static_cast<long long>(n);
}

}  // namespace

long long SendPartMessage(TYumeBase& y, const TObjNode& node, const std::string& spec) {
  // "message,wparam,lparam": ',' never ends a two-byte character, so a plain split is safe.
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t i = 0; i <= spec.size(); ++i) {
    if (i == spec.size() || spec[i] == ',') {
      parts.emplace_back(spec, from, i - from);
      from = i + 1;
    }
  }
  if (parts.size() != 3)
    RaiseArgumentError(y, "メッセージ送信",
                       "メッセージ番号,wParam,lParam の形で指定してください。");
  const std::string lp(TrimBlanks(parts[2]));
  THashNode* buffer = nullptr;
  std::string lparam = lp, kind = "N";
  // A number starts with "$" or a digit (or a minus and a digit: EM_SETSEL's -1 is a number
  // to every script that writes it).
  const size_t digit = lp.size() > 1 && lp[0] == '-' ? 1 : 0;
  if (lp.empty() || !(lp[0] == '$' || (lp[digit] >= '0' && lp[digit] <= '9'))) {
    // A variable's text is passed (and a message that fills a buffer fills the variable).
    buffer = y.Dict.FindScoped(lp, false);
    if (!buffer) {
      auto fresh = THashNode::MakeVariable(lp, false, y.WordLevel(), "");
      buffer = fresh.get();
      y.Dict.Add(std::move(fresh));
    }
    lparam = buffer->ValueText();
    kind = "T";
  } else {
    lparam = std::to_string(MessageNumber(lp));
  }
  const std::string arg = std::to_string(MessageNumber(parts[0])) + "\t" +
                          std::to_string(MessageNumber(parts[1])) + "\t" + kind + "\t" + lparam;
  std::string out;
  TPartHost& h = PartWidgets(y);
  if (h.Command(339, node.Tag, arg, out) != TPropResult::Ok)
    RaiseArgumentError(y, "メッセージ送信", h.LastError());
  // The result, and after a tab what the message wrote into the buffer.
  const size_t tab = out.find('\t');
  if (tab != std::string::npos && buffer) {
    if (buffer->Reserved) RaiseReadOnly(y, buffer->Name);
    buffer->SetValueText(out.substr(tab + 1));
    buffer->SetTypeText("s");
  }
  return MessageNumber(out.substr(0, tab));
}

namespace {

// The editor's settings as the settings dialog names them, and as its settings file does.
constexpr std::pair<const char*, const char*> kEditorSettings[] = {
    {"書体", "font"},       {"サイズ", "size"},       {"折り返し", "wrap"},
    {"タブ幅", "tabwidth"}, {"読取専用", "readonly"},
};

}  // namespace

bool EditorSettingsDialog(TYumeBase& y, const TObjNode& node) {
  TPartHost& h = PartWidgets(y);
  std::string current;
  if (node.Kind != pkTEditor || h.Command(402, node.Tag, {}, current) != TPropResult::Ok)
    RaiseError(y, "部品\"%s\"は、\"%s\"ではありません。", {node.Name, "Tエディタ"});
  if (!y.Dialogs) RaiseNotBuilt(y, "ダイアログ");
  TItemList items;
  items.KeyTitle = "項目";
  items.ValueTitle = "値";
  for (const auto& [label, key] : kEditorSettings) {
    TItemRow row;
    row.Key = label;
    const std::string prefix = std::string(key) + "=";
    for (size_t pos = 0; pos < current.size();) {
      size_t end = current.find('\n', pos);
      if (end == std::string::npos) end = current.size();
      std::string_view line(current.data() + pos, end - pos);
      if (line.substr(0, prefix.size()) == prefix)
        row.Value = TrimBlanks(line.substr(prefix.size()));
      pos = end + 1;
    }
    const std::string_view k(key);
    if (k == "wrap" || k == "readonly") {
      row.Kind = TItemRow::PickList;
      row.Choices = {"0", "1"};
    } else {
      row.Kind = k == "font" ? TItemRow::Text : TItemRow::Number;
    }
    items.Rows.push_back(std::move(row));
  }
  TDialogStyle style;
  style.Title = "Tエディタ設定";
  style.Font.Name = "ＭＳ ゴシック";
  std::string answer;
  if (!y.Dialogs->AskItems(items, style, answer)) return false;
  // Back to the settings' own names, line by line ("=" never ends a two-byte character).
  std::string settings;
  for (size_t pos = 0; pos < answer.size();) {
    size_t end = answer.find('\n', pos);
    if (end == std::string::npos) end = answer.size();
    std::string_view line(answer.data() + pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t eq = line.find('=');
    for (const auto& [label, key] : kEditorSettings) {
      if (eq != std::string_view::npos && TrimBlanks(line.substr(0, eq)) == label)
        settings += std::string(key) + "=" + std::string(TrimBlanks(line.substr(eq + 1))) + "\n";
    }
    pos = end + 1;
  }
  if (!settings.empty()) h.Command(402, node.Tag, settings, current);
  return true;
}

std::string GetPartProperty(TYumeBase& y, const std::string& part, std::string_view property) {
  TTarget t = ResolveForGet(y, NameAsMeant(y, part));
  return ReadProperty(y, *t.Word, *t.Node, TrimBlanks(property));
}

void SetPartProperty(TYumeBase& y, const std::string& part, std::string_view property,
                     std::string_view valueText, bool evaluated) {
  TTarget t = ResolveForSet(y, NameAsMeant(y, part));
  WriteProperty(y, *t.Word, *t.Node, TrimBlanks(property), valueText, evaluated);
}

void CreateMenuItem(TYumeBase& y, const std::string& nameText, const std::string* parentName) {
  TPartModel& m = Model(y);
  const std::string name(TrimBlanks(NameAsMeant(y, nameText)));
  int parent = -1;
  if (parentName) {
    const std::string pn(TrimBlanks(NameAsMeant(y, *parentName)));
    THashNode* pw = PartWord(y, pn);
    const TObjNode* pnode = pw && pw->Kind == wkPart ? y.Objs.Get(pw->Tag) : nullptr;
    if (!pnode || (pnode->Kind != pkMenu && pnode->Kind != pkPopup))
      RaiseError(y, "部品\"%s\"は、\"%s\"ではありません。", {pn, "メニュー"});
    parent = pnode->Tag;
  }
  std::string caption = DefaultCaption(name, "メニュー");
  if (parent >= 0) {
    const std::string& pname = y.Objs.Get(parent)->Name;
    if (EndsWith(pname, "メニュー")) {
      const std::string base = pname.substr(0, pname.size() - std::string("メニュー").size()) + "_";
      if (caption.size() > base.size() && caption.compare(0, base.size(), base) == 0)
        caption = caption.substr(base.size());
    }
  }
  const int index = static_cast<int>(y.Objs.Count());
  std::string itemName = name;
  if (caption == "-") itemName = "split" + std::to_string(index) + "メニュー";
  if (THashNode* old = y.Dict.FindScoped(itemName, false)) {
    if (old->Reserved) RaiseReadOnly(y, itemName);
    if (old->Kind != wkVariable)
      RaiseError(y, "部品\"%s\"は、既に存在するので、作成できません。", {itemName});
    y.Dict.Delete(itemName, false);
  }
  TPartHost& h = PartWidgets(y);
  if (!h.CreateMenu(index, parent, caption)) {
    std::string why = h.LastError();
    RaiseError(y, "部品\"%s\"(\"%s\")を作成できません。%s", {itemName, "メニュー", why});
  }
  AddPart(y, itemName, pkMenu, "メニュー", index);
  if (parent < 0) m.LastTopMenu = index;
}

int LastTopMenu(TYumeBase& y) {
  return y.PartState ? Model(y).LastTopMenu : -1;
}

void CreateMenuPaths(TYumeBase& y, const std::string& paths) {
  size_t pos = 0;
  while (pos < paths.size()) {
    const std::string_view line = TrimBlanks(NextLine(paths, pos));
    if (line.empty()) continue;
    std::string joined;
    std::string parent;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); i += i < line.size() ? CharLen(line, i) : 1) {
      if (i < line.size() && line[i] != '\\') continue;
      const std::string part(TrimBlanks(line.substr(start, i - start)));
      start = i + 1;
      if (part.empty()) continue;
      joined += (joined.empty() ? "" : "_") + part;
      const std::string name = joined + "メニュー";
      if (!FindPart(y, name)) {
        const std::string quoted = QuoteBackquote(name);
        const std::string pq = QuoteBackquote(parent);
        CreateMenuItem(y, quoted, parent.empty() ? nullptr : &pq);
      }
      parent = name;
    }
  }
}

void ShowDialogForm(TYumeBase& y, const std::string& nameText) {
  TObjNode* node = FindPart(y, NameAsMeant(y, nameText));
  if (!node || node->Kind != pkForm) RaiseError(y, "引数にフォームを指定してください。");
  TPartModel& m = Model(y);
  TPartHost& h = PartWidgets(y);
  TModal modal;
  modal.Form = node->Tag;
  for (size_t i = 0; i < y.Runs.Count(); ++i) modal.Frames.push_back(y.Runs.At(i));
  modal.Resume = y.Cur;
  modal.SourceName = y.FileName;
  m.Modals.push_back(std::move(modal));
  // The script waits for events until the form closes; nothing can close it where no one can
  // act on it unless events are given (--events), which keep the program running themselves.
  if (y.App && h.Interactive()) y.App->ArmSource();
  y.Runs.Clear();
  y.Cur = nullptr;
  h.ShowForm(node->Tag, true);
}

void ReleaseDestroyedParts(TYumeBase& y) {
  y.DeferredRelease.clear();
}

bool DeliverPartEvent(TYumeBase& y, int index, int slot, const TPartEventInfo& info) {
  TObjNode* node = y.Objs.Get(index);
  if (!node || slot < 0 || slot >= psSlotCount) return false;
  if (info.Mouse) {
    SetSystemNumber(y.VarMouseX, info.X);
    SetSystemNumber(y.VarMouseY, info.Y);
  }
  if (info.Key) SetSystemNumber(y.VarKey, info.KeyCode);
  if (info.Mouse || info.Key) SetSystemText(y.VarSpecialKey, info.Shift);
  if (info.HasValue) SetSystemText(y.VarEventValue, info.Value);
  const char* entry = node->Entries[slot];
  if (!entry) return false;
  const std::shared_ptr<const std::string> code = node->Code[slot];
  const char* saved = node->Entries[psGeneric];
  const std::shared_ptr<const std::string> savedCode = node->Code[psGeneric];
  node->Entries[psGeneric] = entry;
  node->Code[psGeneric] = code;
  struct TPutBack {
    TYumeBase& y;
    int index;
    const char* entry;
    std::shared_ptr<const std::string> code;
    ~TPutBack() {
      // The part may have been destroyed by its own event: its record is gone from the list.
      if (TObjNode* n = y.Objs.Get(index)) {
        n->Entries[psGeneric] = entry;
        n->Code[psGeneric] = std::move(code);
      }
    }
  } putBack{y, index, saved, savedCode};
  EnterPartEvent(y, *node, entry, code);
  return true;
}

bool DialogPending(TYumeBase& y) {
  return y.PartState && !Model(y).Modals.empty();
}

}  // namespace yume
