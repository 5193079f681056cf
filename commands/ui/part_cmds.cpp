// GUI parts and the mothership: creating, properties, menus, tabs, trees, editors.
//
// The handlers read their arguments and hand the work to the part model (commands/ui/parts.h),
// which reaches the widgets through the program's part host.
#include <string>

#include "commands/families.h"
#include "commands/system/guard.h"
#include "commands/ui/parts.h"
#include "core/app.h"
#include "core/args.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/objlist.h"
#include "core/partprops.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

bool Quoted(std::string_view s) {
  return !s.empty() && (s[0] == '"' || s[0] == '`');
}

// A name slot: as written, or evaluated when it is a string literal.
std::string NameSlot(TArgs& a, size_t i) {
  const std::string& p = a.Phrase(i);
  return Quoted(p) ? a.Text(i) : p;
}

// The part a command's slot names; raises 部品"X"が特定できません。 when none.
TObjNode& PartSlot(TYumeBase& y, TArgs& a, size_t i) {
  const std::string name = NameSlot(a, i);
  TObjNode* n = FindPart(y, name);
  if (!n && !Quoted(a.Phrase(i))) n = FindPart(y, a.Text(i));
  if (!n) RaiseError(y, msg::kWordUnknown, {name});
  return *n;
}

TObjNode& FormSlot(TYumeBase& y, TArgs& a, size_t i, bool kindMessage) {
  const std::string name = NameSlot(a, i);
  TObjNode* n = FindPart(y, name);
  if (!n || n->Kind != pkForm) {
    if (kindMessage) RaiseError(y, "部品\"%s\"は、\"%s\"ではありません。", {name, "フォーム"});
    RaiseError(y, "引数にフォームを指定してください。");
  }
  return *n;
}

// Runs a host command on a part; its result (when it gives one) in それ.
void RunPartCommand(TYumeBase& y, TArgs& a, int number, const TObjNode& node,
                    const std::string& arg, bool result) {
  std::string out;
  switch (PartWidgets(y).Command(number, node.Tag, arg, out)) {
    case TPropResult::Ok:
      break;
    case TPropResult::NotForKind:
      a.ArgumentError("部品\"" + node.Name + "\"には使えません。");
    default: {
      const std::string why = PartWidgets(y).LastError();
      a.ArgumentError(why);
    }
  }
  if (result) SetSoreText(y, out);
}

// 作成 (?に,?を,?として) 7
void CmdCreate(TYumeBase& y, TArgs& a) {
  std::string kind(TrimBlanks(NameSlot(a, 2)));
  const std::string name = a.Phrase(1);
  if (a.Omitted()) {
    CreatePart(y, name, kind, nullptr);
  } else {
    const std::string pos = a.Phrase(0);
    CreatePart(y, name, kind, &pos);
  }
}

// 作る (?を) 428 -- the kind read from the end of the name
void CmdMake(TYumeBase& y, TArgs& a) {
  const std::string name(TrimBlanks(NameSlot(a, 0)));
  if (name.empty()) a.ArgumentError("オブジェクト名がありません。");
  if (const THashNode* w = y.Dict.FindScoped(name, false)) {
    // What 作成 would refuse is refused here, with its own message.
    if (w->Kind == wkVariable)
      RaiseError(y, "部品\"%s\"は、既に存在するので、作成できません。", {name});
    a.ArgumentError("オブジェクト名\"" + name + "\"は既に使われています。");
  }
  const int kind = KindEndingName(name);
  const std::string quoted = "`" + name + "`";
  if (kind >= 0 && kind != pkMenu) {
    CreatePart(y, quoted, kPartKindNames[kind], nullptr);
  } else if (EndsWith(name, "メニュー")) {
    CreateMenuItem(y, quoted, nullptr);
  } else {
    CreatePart(y, quoted, "ボタン", nullptr);
  }
}

// 設定 (?の,?を,?に) 8
void CmdSetProperty(TYumeBase& y, TArgs& a) {
  const std::string value = a.Phrase(2);
  const std::string prop = NameSlot(a, 1);
  SetPartProperty(y, a.Phrase(0), prop, value, false);
}

// 得る (?の,?を,?に) 9 -- the property's value into a variable
void CmdGetProperty(TYumeBase& y, TArgs& a) {
  THashNode& target = a.WordOrNew(2);
  const std::string prop = NameSlot(a, 1);
  std::string v = GetPartProperty(y, a.Phrase(0), prop);
  if (target.Reserved) RaiseReadOnly(y, target.Name);
  target.SetValueText(std::move(v));
  target.SetTypeText(y.LastType.View());
}

// 部品破壊, オブジェクト破壊 (?の) 25
void CmdDestroy(TYumeBase& y, TArgs& a) {
  DestroyPart(y, a.Phrase(0));
}

// 部品全破壊, オブジェクト全破壊 () 28
void CmdDestroyAll(TYumeBase& y, TArgs&) {
  DestroyAllParts(y);
}

// 部品検索 (?の) 529
void CmdFindPart(TYumeBase& y, TArgs& a) {
  const std::string name(TrimBlanks(NameSlot(a, 0)));
  SetSoreText(y, FindPart(y, name) ? name : std::string());
}

// 注目 (?に) 26
void CmdFocus(TYumeBase& y, TArgs& a) {
  TObjNode& n = PartSlot(y, a, 0);
  std::string out;
  if (PartWidgets(y).Command(26, n.Tag, {}, out) != TPropResult::Ok)
    RaiseError(y, "\"%s\"には、注目できません。", {n.Name});
}

// 最前面 (?を) 181, 最背面 (?を) 182, 中央へ移動 (?を) 242
void CmdToFront(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 181, PartSlot(y, a, 0), {}, false);
}
void CmdToBack(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 182, PartSlot(y, a, 0), {}, false);
}
void CmdCentre(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 242, PartSlot(y, a, 0), {}, false);
}

// 最大化 (?を) 406, 最小化 (?を) 407, フォーム元のサイズ (?を) 408
void CmdMaximize(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 406, FormSlot(y, a, 0, true), {}, false);
}
void CmdMinimize(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 407, FormSlot(y, a, 0, true), {}, false);
}
void CmdRestore(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 408, FormSlot(y, a, 0, true), {}, false);
}

// 乗せる (?を,?へ), 乗せ換える (?を,?の上へ) 401
void CmdPutOn(TYumeBase& y, TArgs& a) {
  const std::string toName = NameSlot(a, 1);
  const std::string partName = NameSlot(a, 0);
  TObjNode* part = FindPart(y, partName);
  if (!part) RaiseError(y, "\"%s\"は、部品ではありません。", {partName});
  TObjNode* to = FindPart(y, toName);
  if (!to) RaiseError(y, "\"%s\"は、部品ではありません。", {toName});
  TPartHost& h = PartWidgets(y);
  if (!h.IsContainer(to->Tag)) a.ArgumentError("パネルとフォームなど以外には乗せられません。");
  if (!h.SetParent(part->Tag, to->Tag))
    RaiseError(y, part->Name + "を、" + to->Name + "へ、親変更に失敗。");
}

// オブジェクト丸く (?で,?の) 440 -- the part and the corner radius, in either slot
void CmdRound(TYumeBase& y, TArgs& a) {
  TObjNode* n = FindPart(y, NameSlot(a, 0));
  std::string radius;
  if (n) {
    radius = a.Text(1);
  } else {
    n = &PartSlot(y, a, 1);
    radius = a.Text(0);
  }
  RunPartCommand(y, a, 440, *n, radius, false);
}

// フォーム表示 (?の) 547, フォーム閉じる (?の) 542
void CmdShowForm(TYumeBase& y, TArgs& a) {
  PartWidgets(y).ShowForm(FormSlot(y, a, 0, false).Tag, false);
}
void CmdCloseForm(TYumeBase& y, TArgs& a) {
  PartWidgets(y).CloseForm(FormSlot(y, a, 0, false).Tag);
}

// ダイアログ表示 (?を) 528
void CmdShowDialog(TYumeBase& y, TArgs& a) {
  ShowDialogForm(y, NameSlot(a, 0));
}

// メッセージ送信 (?に,?と) 339 -- "message,wparam,lparam" to a part; それ = the result
void CmdSendMessage(TYumeBase& y, TArgs& a) {
  const std::string spec = a.Text(1);
  const TObjNode& n = PartSlot(y, a, 0);
  SetSoreInteger(y, SendPartMessage(y, n, spec));
}

// 母艦浮上 () 352
void CmdSurface(TYumeBase& y, TArgs&) {
  if (y.App) y.App->Surface();
}

// 母艦最大化 306, 母艦最小化 307, 母艦元のサイズ 308, 母艦全画面化 328 (no arguments)
void MainCommand(TYumeBase& y, TArgs& a, int number) {
  std::string out;
  PartWidgets(y).Command(number, 0, {}, out);
}
void CmdMainMaximize(TYumeBase& y, TArgs& a) {
  MainCommand(y, a, 306);
}
void CmdMainMinimize(TYumeBase& y, TArgs& a) {
  MainCommand(y, a, 307);
}
void CmdMainRestore(TYumeBase& y, TArgs& a) {
  MainCommand(y, a, 308);
}
void CmdMainFullScreen(TYumeBase& y, TArgs& a) {
  MainCommand(y, a, 328);
}

// 母艦スタイル設定 (?に) 381 -- 0 none, 1 single, 2 sizeable, 3 dialog
void CmdMainStyle(TYumeBase& y, TArgs& a) {
  PartWidgets(y).Set(0, 49, std::to_string(a.Whole(0)));
}

// メニュー作成 (?を) 261
void CmdMenuCreate(TYumeBase& y, TArgs& a) {
  CreateMenuItem(y, a.Phrase(0), nullptr);
}

// メニュー追加 (?に,?を) 262 -- the parent omitted: the last top-level item
void CmdMenuAdd(TYumeBase& y, TArgs& a) {
  const std::string name = a.Phrase(1);
  if (a.Omitted()) {
    const TObjNode* last = y.Objs.Get(LastTopMenu(y));
    if (!last) RaiseError(y, msg::kWordNotMade, {"メニュー"});
    const std::string parent = "`" + last->Name + "`";
    CreateMenuItem(y, name, &parent);
    return;
  }
  const std::string parent = a.Phrase(0);
  CreateMenuItem(y, name, &parent);
}

// メニューパス作成 (?を) 455
void CmdMenuPaths(TYumeBase& y, TArgs& a) {
  CreateMenuPaths(y, a.Text(0));
}

// 元に戻す実行 509, 選択文字列切り取り 510, 選択文字列コピー 511, 選択文字列貼り付け 512,
// 全て選択を実行 513 (?の)
void CmdUndo(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 509, PartSlot(y, a, 0), {}, false);
}
void CmdCut(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 510, PartSlot(y, a, 0), {}, false);
}
void CmdCopy(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 511, PartSlot(y, a, 0), {}, false);
}
void CmdPaste(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 512, PartSlot(y, a, 0), {}, false);
}
void CmdSelectAll(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 513, PartSlot(y, a, 0), {}, false);
}

// タブ追加 (?に,?の) 434 -- a page with a caption
void CmdTabAdd(TYumeBase& y, TArgs& a) {
  const std::string caption = a.Text(1);
  RunPartCommand(y, a, 434, PartSlot(y, a, 0), caption, false);
}
// タブ削除 (?の,?を) 530 -- the n-th page (from 0), if it exists
void CmdTabDelete(TYumeBase& y, TArgs& a) {
  const std::string n = a.Text(1);
  RunPartCommand(y, a, 530, PartSlot(y, a, 0), n, false);
}
// タブ有効変更 (?を,?に) 437
void CmdTabEnable(TYumeBase& y, TArgs& a) {
  const std::string on = a.Text(1);
  RunPartCommand(y, a, 437, PartSlot(y, a, 0), on, false);
}
// タブ位置変更 (?で,?に) 461 -- 上, 下, 右; anything else changes nothing
void CmdTabPosition(TYumeBase& y, TArgs& a) {
  const std::string where(TrimBlanks(a.Text(1)));
  RunPartCommand(y, a, 461, PartSlot(y, a, 0), where, false);
}

// ツリーアイテム追加 (?に,?の) 449, ツリーアイテム削除 (?の,?を) 450, ツリー展開 (?の,?を) 451,
// ツリー折りたたむ (?の,?を) 452
void CmdTreeAdd(TYumeBase& y, TArgs& a) {
  const std::string paths = a.Text(1);
  RunPartCommand(y, a, 449, PartSlot(y, a, 0), paths, false);
}
void CmdTreeDelete(TYumeBase& y, TArgs& a) {
  const std::string path = a.Text(1);
  RunPartCommand(y, a, 450, PartSlot(y, a, 0), path, false);
}
void CmdTreeExpand(TYumeBase& y, TArgs& a) {
  const std::string path = a.Text(1);
  RunPartCommand(y, a, 451, PartSlot(y, a, 0), path, false);
}
void CmdTreeCollapse(TYumeBase& y, TArgs& a) {
  const std::string path = a.Text(1);
  RunPartCommand(y, a, 452, PartSlot(y, a, 0), path, false);
}

// グリッド一行選択変更 (?で,?に) 462
void CmdGridRowSelect(TYumeBase& y, TArgs& a) {
  const std::string on(TrimBlanks(a.Text(1)));
  RunPartCommand(y, a, 462, PartSlot(y, a, 0), on, false);
}

// リッチエディタ選択属性変更 (?の) 463 -- the drawing font onto the selection
void CmdRichSelectionFont(TYumeBase& y, TArgs& a) {
  const std::string spec =
      SystemText(y, "文字書体") + "|" + SystemText(y, "文字サイズ") + "|" + SystemText(y, "文字色");
  RunPartCommand(y, a, 463, PartSlot(y, a, 0), spec, false);
}

// A part command on a file: the file's system path handed to the widgets; a failure is the
// file's error.
void FileCommand(TYumeBase& y, int number, const TObjNode& node, const std::string& file) {
  std::string out;
  TPartHost& h = PartWidgets(y);
  const TPropResult r = h.Command(number, node.Tag, Utf8ToCp932(SysPath(file)), out);
  if (r == TPropResult::NotForKind)
    RaiseError(y, "部品\"%s\"は、\"%s\"ではありません。",
               {node.Name, number == 482 ? "リッチエディタ" : "Tエディタ"});
  if (r != TPropResult::Ok) RaiseError(y, msg::kFileFailed, {file});
}

// 母艦アイコン (?を) 315 -- an icon file, or an image part whose picture becomes the icon
void CmdMainIcon(TYumeBase& y, TArgs& a) {
  const std::string name(TrimBlanks(a.Text(0)));
  const std::string file = FindProgramFile(y, name);
  std::string out;
  TPartHost& h = PartWidgets(y);
  TPropResult r = TPropResult::Failed;
  if (!name.empty() && FileExists(file)) {
    r = h.Command(315, 0, Utf8ToCp932(SysPath(file)), out);
  } else if (const TObjNode* n = FindPart(y, name); n && n->Kind == pkImage) {
    r = h.Command(315, n->Tag, {}, out);
  }
  if (r != TPropResult::Ok) RaiseError(y, msg::kFileFailed, {name});
}

// リッチエディタ保存 (?を,?へ) 482
void CmdRichSave(TYumeBase& y, TArgs& a) {
  const std::string file(TrimBlanks(a.Text(1)));
  const TObjNode& n = PartSlot(y, a, 0);
  if (!CheckFileAccess(y, file, Quoted(file) + "へ書き込みます。")) return;
  FileCommand(y, 482, n, file);
}

// Tエディタ設定 (?の) 402 -- the settings dialog; それ = 1 when confirmed, 0 when cancelled
void CmdEditorSettings(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, EditorSettingsDialog(y, PartSlot(y, a, 0)) ? 1 : 0);
}

// Tエディタ設定を保存 (?を,?へ) 403, Tエディタ設定を読込 (?を,?から) 404
void CmdEditorSaveSettings(TYumeBase& y, TArgs& a) {
  const std::string file(TrimBlanks(a.Text(1)));
  const TObjNode& n = PartSlot(y, a, 0);
  if (!CheckFileAccess(y, file, Quoted(file) + "へ書き込みます。")) return;
  FileCommand(y, 403, n, file);
}
void CmdEditorLoadSettings(TYumeBase& y, TArgs& a) {
  const std::string file = FindProgramFile(y, std::string(TrimBlanks(a.Text(1))));
  FileCommand(y, 404, PartSlot(y, a, 0), file);
}

// The browser part a command's slot names.
const TObjNode& BrowserSlot(TYumeBase& y, TArgs& a, size_t i) {
  const TObjNode& n = PartSlot(y, a, i);
  if (n.Kind != pkBrowser)
    RaiseError(y, "部品\"%s\"は、\"%s\"ではありません。", {n.Name, "ブラウザ"});
  return n;
}

// ブラウザ進む (?の) 435, ブラウザ戻る (?の) 436
void CmdBrowserForward(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 435, BrowserSlot(y, a, 0), {}, false);
}
void CmdBrowserBack(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 436, BrowserSlot(y, a, 0), {}, false);
}

// ブラウザHTML取得 (?の) 540 -- the shown document's HTML in それ
void CmdBrowserGetHtml(TYumeBase& y, TArgs& a) {
  RunPartCommand(y, a, 540, BrowserSlot(y, a, 0), {}, true);
}

// ブラウザHTML書く (?へ,?を) 541
void CmdBrowserWriteHtml(TYumeBase& y, TArgs& a) {
  const std::string html = a.Text(1);
  RunPartCommand(y, a, 541, BrowserSlot(y, a, 0), html, false);
}

}  // namespace

constexpr CommandDef kCommands[] = {
    {"作成", "?に,?を,?として", 7, CmdCreate},
    {"作る", "?を", 428, CmdMake},
    {"設定", "?の,?を,?に", 8, CmdSetProperty},
    {"得る", "?の,?を,?に", 9, CmdGetProperty},
    {"オブジェクト破壊", "?の", 25, CmdDestroy},
    {"部品破壊", "?の", 25, CmdDestroy},
    {"オブジェクト全破壊", "", 28, CmdDestroyAll},
    {"部品全破壊", "", 28, CmdDestroyAll},
    {"部品検索", "?の", 529, CmdFindPart},
    {"オブジェクト丸く", "?で,?の", 440, CmdRound},
    {"中央へ移動", "?を", 242, CmdCentre},
    {"注目", "?に", 26, CmdFocus},
    {"最前面", "?を", 181, CmdToFront},
    {"最背面", "?を", 182, CmdToBack},
    {"最大化", "?を", 406, CmdMaximize},
    {"最小化", "?を", 407, CmdMinimize},
    {"フォーム元のサイズ", "?を", 408, CmdRestore},
    {"メッセージ送信", "?に,?と", 339, CmdSendMessage, TBuilt::Partly},
    {"乗せ換える", "?を,?の上へ", 401, CmdPutOn},
    {"乗せる", "?を,?へ", 401, CmdPutOn},
    {"母艦浮上", "", 352, CmdSurface},
    {"母艦最大化", "", 306, CmdMainMaximize},
    {"母艦最小化", "", 307, CmdMainMinimize},
    {"母艦元のサイズ", "", 308, CmdMainRestore},
    {"母艦アイコン", "?を", 315, CmdMainIcon},
    {"母艦全画面化", "", 328, CmdMainFullScreen},
    {"母艦スタイル設定", "?に", 381, CmdMainStyle},
    {"フォーム閉じる", "?の", 542, CmdCloseForm},
    {"ダイアログ表示", "?を", 528, CmdShowDialog},
    {"フォーム表示", "?の", 547, CmdShowForm},
    {"メニュー作成", "?を", 261, CmdMenuCreate},
    {"メニュー追加", "?に,?を", 262, CmdMenuAdd},
    {"メニューパス作成", "?を", 455, CmdMenuPaths},
    {"元に戻す実行", "?の", 509, CmdUndo},
    {"全て選択を実行", "?の", 513, CmdSelectAll},
    {"選択文字列切り取り", "?の", 510, CmdCut},
    {"選択文字列コピー", "?の", 511, CmdCopy},
    {"選択文字列貼り付け", "?の", 512, CmdPaste},
    {"Tエディタ設定", "?の", 402, CmdEditorSettings},
    {"Tエディタ設定を保存", "?を,?へ", 403, CmdEditorSaveSettings},
    {"Tエディタ設定を読込", "?を,?から", 404, CmdEditorLoadSettings},
    {"ブラウザ進む", "?の", 435, CmdBrowserForward},
    {"ブラウザ戻る", "?の", 436, CmdBrowserBack},
    {"ブラウザHTML取得", "?の", 540, CmdBrowserGetHtml},
    {"ブラウザHTML書く", "?へ,?を", 541, CmdBrowserWriteHtml},
    {"タブ追加", "?に,?の", 434, CmdTabAdd},
    {"タブ削除", "?の,?を", 530, CmdTabDelete},
    {"タブ有効変更", "?を,?に", 437, CmdTabEnable},
    {"タブ位置変更", "?で,?に", 461, CmdTabPosition},
    {"ツリーアイテム追加", "?に,?の", 449, CmdTreeAdd},
    {"ツリーアイテム削除", "?の,?を", 450, CmdTreeDelete},
    {"ツリー展開", "?の,?を", 451, CmdTreeExpand},
    {"ツリー折りたたむ", "?の,?を", 452, CmdTreeCollapse},
    {"グリッド一行選択変更", "?で,?に", 462, CmdGridRowSelect},
    {"リッチエディタ選択属性変更", "?の", 463, CmdRichSelectionFont},
    {"リッチエディタ保存", "?を,?へ", 482, CmdRichSave},
};

constexpr VariableDef kVariables[] = {
    {"部品配置間隔", "8", "e", 26, false, false},
    {"マウスX", "0", "e", 27, true, false},
    {"マウスY", "0", "e", 28, true, false},
    {"押されたキー", "0", "e", 29, true, false},
    {"押された特殊キー", "", "e", 30, true, false},
    {"イベントオブジェクト", "", "s", 31, true, false},
    {"イベントの値", "", "s", 32, true, false},
    {"枠なし", "0", "e", 33, false, true},
    {"枠固定", "1", "e", 34, false, true},
    {"枠可変", "2", "e", 35, false, true},
    {"ダイアログスタイル", "3", "e", 36, false, true},
    {"ブラウザURL移動許可", "1", "e", 37, false, false},
    {"ブラウザ移動先URL", "", "s", 38, false, false},
    {"ブラウザ新規ブラウザ", "", "s", 39, false, false},
    {"縦", "縦", "s", 40, false, false},
    {"横", "横", "s", 41, false, false},
    {"両方", "両方", "s", 42, false, false},
    {"IMEオン", "1", "e", 43, false, true},
    {"IMEオフ", "0", "e", 44, false, true},
    {"IMEひらがな", "2", "e", 45, false, true},
    {"IMEカタカナ", "3", "e", 57, false, true},
    {"IME半角カタカナ", "4", "e", 58, false, true},
};

const TFamily kPartFamily{"部品と母艦", kCommands, kVariables};

}  // namespace yume
