// Dialogs: messages, questions, choices, file, folder, colour and font pickers. The commands
// prepare what a dialog shows and read its answer; the host builds the dialog itself.
#include <algorithm>
#include <cmath>

#include "commands/families.h"
#include "commands/ui/dialogtext.h"
#include "core/cmdlib.h"
#include "core/dialoghost.h"
#include "core/executor.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/scanner.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

// The main window's caption, which dialogs without a title of their own show.
constexpr const char* kMainCaption = "ゆめもり";

// The dialogs of the program running the script.
TDialogHost& Dialogs(TYumeBase& y) {
  if (!y.Dialogs) RaiseNotBuilt(y, "ダイアログ");
  return *y.Dialogs;
}

const char kInitialAnswer[] = "ダイアログ初期値";

// The title, rectangle, IME mode and drawing font every dialog is shown with.
TDialogStyle Style(TYumeBase& y) {
  TDialogStyle st;
  st.Title = SystemText(y, "ダイアログタイトル");
  if (st.Title.empty()) st.Title = kMainCaption;
  st.Left = y.DialogRect[0];
  st.Top = y.DialogRect[1];
  st.Right = y.DialogRect[2];
  st.Bottom = y.DialogRect[3];
  long double ime = 0;
  if (!TryStrToNumber(SystemText(y, "ダイアログIMEの状態"), ime)) ime = 0;
  const int mode = static_cast<int>(std::trunc(ime));
  st.Ime = mode >= 1 && mode <= 4 ? mode : 0;
  st.Font =
      DrawingFont(SystemText(y, "文字書体"), SystemText(y, "文字サイズ"), SystemText(y, "文字色"));
  return st;
}

// A cancelled dialog leaves ダイアログキャンセルの値 in それ: its value and its kind, or (asText)
// its value as text.
void SetCancelled(TYumeBase& y, bool asText = false) {
  const THashNode* w = y.Dict.FindScoped("ダイアログキャンセルの値", false);
  if (!w) {
    SetSoreText(y, std::string());
    return;
  }
  SetSoreTyped(y, w->ValueText(), asText || w->TypeText.empty() ? "s" : w->TypeText);
}

int TabWidth(TYumeBase& y) {
  long double n = 8;
  if (!TryStrToNumber(SystemText(y, "タブ文字の個数"), n) || n < 1) n = 8;
  return static_cast<int>(std::min<long double>(n, 256));
}

std::string CurrentFolder() {
  std::string f = ExpandFileName(".");
  if (EndsWith(f, "/.")) f.resize(f.size() - 1);
  if (f.empty() || f.back() != '/') f += '/';
  return f;
}

// 言う (?と) 12 -- a message box; それ is left as it was.
void CmdSay(TYumeBase& y, TArgs& a) {
  const std::string text = ExpandTabs(CutMessage(a.Text(0)), TabWidth(y));
  Dialogs(y).Say(text, Style(y));
}

// 尋ねる (?と) 10
void CmdAsk(TYumeBase& y, TArgs& a) {
  const std::string& message = a.Text(0);
  const std::string prompt = a.Omitted() ? std::string("入力してください。") : message;
  std::string answer;
  if (!Dialogs(y).AskText(prompt, SystemText(y, kInitialAnswer), Style(y), answer)) {
    SetCancelled(y);
    return;
  }
  // An answer that starts like a number is one.
  const bool number = !answer.empty() && (answer[0] == '$' || IsDigitChar(answer[0]));
  SetSoreTyped(y, std::move(answer), number ? "e" : "s");
}

// 二択 (?と) 40
void CmdYesNo(TYumeBase& y, TArgs& a) {
  const int r = Dialogs(y).AskYesNo(a.Text(0), kMainCaption, false);
  SetSoreInteger(y, r == 1 ? 1 : 0);
}

// 三択 (?と) 160
void CmdYesNoCancel(TYumeBase& y, TArgs& a) {
  const int r = Dialogs(y).AskYesNo(a.Text(0), kMainCaption, true);
  SetSoreInteger(y, r == 0 || r == 1 ? r : 2);
}

// どれか尋ねる (?が,?の) 264 and リストから選択 (?を,?の) 301
void AskFromList(TYumeBase& y, TArgs& a, bool editable) {
  const std::vector<std::string> items = ListChoices(a.Text(1));
  const std::string& message = a.Text(0);
  SetSoreKeepType(y, std::string());
  std::string answer;
  if (!Dialogs(y).AskList(message, items, editable, SystemText(y, kInitialAnswer), Style(y),
                          answer)) {
    SetCancelled(y);
    return;
  }
  SetSoreKeepType(y, std::move(answer));  // the kind stays
}

void CmdAskAny(TYumeBase& y, TArgs& a) {
  AskFromList(y, a, true);
}
void CmdSelectFromList(TYumeBase& y, TArgs& a) {
  AskFromList(y, a, false);
}

// ボタンで選択 (?を,?の) 309
void CmdSelectButton(TYumeBase& y, TArgs& a) {
  const std::vector<std::string> captions = ButtonChoices(a.Text(1));
  const std::string& message = a.Text(0);
  if (captions.empty()) {
    Dialogs(y).Say(ExpandTabs(CutMessage(message), TabWidth(y)), Style(y));
    SetSoreText(y, std::string());
    return;
  }
  std::string answer;
  if (!Dialogs(y).AskButtons(message, captions, Style(y), answer)) {
    SetCancelled(y, true);
    return;
  }
  SetSoreText(y, std::move(answer));
}

// メモ記入 (?の) 265
void CmdMemo(TYumeBase& y, TArgs& a) {
  std::string answer;
  if (!Dialogs(y).AskMemo(a.Text(0), Style(y), answer)) {
    SetCancelled(y, true);
    return;
  }
  SetSoreText(y, std::move(answer));
}

// 項目記入 (?を) 525
void CmdItems(TYumeBase& y, TArgs& a) {
  const TItemList items = ParseItemList(a.Text(0));
  std::string answer;
  if (!Dialogs(y).AskItems(items, Style(y), answer)) {
    SetCancelled(y, true);
    return;
  }
  SetSoreText(y, std::move(answer));
}

// 色選択 () 103
void CmdPickColor(TYumeBase& y, TArgs&) {
  uint32_t color = 0;
  if (!Dialogs(y).PickColor(color)) {
    SetCancelled(y);
    return;
  }
  SetSoreInteger(y, color);
}

// フォント選択 () 312
void CmdPickFont(TYumeBase& y, TArgs&) {
  TDialogFont font = Style(y).Font;
  if (!Dialogs(y).PickFont(font)) {
    SetCancelled(y);
    return;
  }
  SetSoreText(y, FontSpecText(font));
}

// 読込ファイル選択 (?の) 41
void CmdOpenFile(TYumeBase& y, TArgs& a) {
  const std::string filter = FileFilter(a.Text(0));
  std::vector<std::string> files;
  if (!Dialogs(y).PickOpenFiles(filter, CurrentFolder(), SystemText(y, kInitialAnswer), files) ||
      files.empty()) {
    SetCancelled(y);
    return;
  }
  std::string out;
  for (size_t i = 0; i < files.size(); ++i) {
    if (i) out += "\r\n";
    out += TrimBlanks(files[i]);
  }
  SetSoreText(y, std::move(out));
}

// 書込ファイル選択 (?の) 42
void CmdSaveFile(TYumeBase& y, TArgs& a) {
  const std::string filter = FileFilter(a.Text(0));
  std::string file;
  if (!Dialogs(y).PickSaveFile(filter, DefaultExtension(filter), CurrentFolder(),
                               SystemText(y, kInitialAnswer), file)) {
    SetCancelled(y);
    return;
  }
  SetSoreText(y, std::move(file));
}

void PickFolderInto(TYumeBase& y, const std::string& root) {
  std::string folder;
  if (!Dialogs(y).PickFolder(CurrentFolder(), root, folder)) {
    SetCancelled(y);
    return;
  }
  if (folder.empty() || (folder.back() != '/' && !EndsWith(folder, "\\"))) folder += '/';
  SetSoreText(y, std::move(folder));
}

// フォルダ選択 () 169
void CmdPickFolder(TYumeBase& y, TArgs&) {
  PickFolderInto(y, std::string());
}

// フォルダ拡張選択 (?の) 498
void CmdPickFolderEx(TYumeBase& y, TArgs& a) {
  PickFolderInto(y, a.Text(0));
}

// ダイアログサイズ設定 (?に) 546 -- a coordinate list "(l,t,r,b)" (or a word holding one); a
// quoted list is evaluated first. At most four values.
void CmdDialogRect(TYumeBase& y, TArgs& a) {
  const std::string& raw = a.Phrase(0);
  const bool quoted = !raw.empty() && (raw[0] == '"' || raw[0] == '`' || raw[0] == '@');
  const std::vector<int> v = CoordinateValues(y, quoted ? a.Text(0) : raw);
  if (v.size() > 4) {
    std::string list;
    for (size_t i = 0; i < v.size(); ++i) {
      if (i) list += ',';
      list += std::to_string(v[i]);
    }
    RaiseError(y, "座標の指定エラー。引数が多すぎます。\"" + list + "\"");
  }
  y.DialogRect = {};
  for (size_t i = 0; i < v.size(); ++i) y.DialogRect[i] = v[i];
}

constexpr CommandDef kCommands[] = {
    {"言う", "?と", 12, CmdSay},
    {"尋ねる", "?と", 10, CmdAsk},
    {"二択", "?と", 40, CmdYesNo},
    {"三択", "?と", 160, CmdYesNoCancel},
    {"どれか尋ねる", "?が,?の", 264, CmdAskAny},
    {"リストから選択", "?を,?の", 301, CmdSelectFromList},
    {"ボタンで選択", "?を,?の", 309, CmdSelectButton},
    {"メモ記入", "?の", 265, CmdMemo},
    {"項目記入", "?を", 525, CmdItems},
    {"色選択", "", 103, CmdPickColor},
    {"フォント選択", "", 312, CmdPickFont},
    {"読込ファイル選択", "?の", 41, CmdOpenFile},
    {"書込ファイル選択", "?の", 42, CmdSaveFile},
    {"フォルダ選択", "", 169, CmdPickFolder},
    {"フォルダ拡張選択", "?の", 498, CmdPickFolderEx},
    {"ダイアログサイズ設定", "?に", 546, CmdDialogRect},
};

constexpr VariableDef kVariables[] = {
    {"ダイアログキャンセルの値", "", "s", 8, false, false},
    {"ダイアログIMEの状態", "0", "e", 9, false, false},
    {"ダイアログ初期値", "", "s", 10, false, false},
    {"ダイアログタイトル", "", "s", 17, false, false},
    {"進行度表示ダイアログ", "1", "e", 18, false, false},
};

}  // namespace

const TFamily kDialogFamily{"ダイアログ", kCommands, kVariables};

}  // namespace yume
