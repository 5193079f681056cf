// Dialogs: messages, questions, choices, file, folder, colour and font pickers. The commands
// prepare what a dialog shows and read its answer; the host builds the dialog itself.
#include <algorithm>
#include <cmath>

#include "commands/families.h"
#include "commands/ui/dialogtext.h"
#include "core/error.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/host.h"
#include "core/number.h"
#include "core/scanner.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

// The main window's caption, which dialogs without a title of their own show.
constexpr const char* kMainCaption = "ゆめもり";

std::string SystemText(TYumeBase& y, const char* name) {
  const THashNode* w = y.Dict.FindScoped(name, false);
  return w ? w->ValueText() : std::string();
}

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
    SetSore(y, std::string(), "s");
    return;
  }
  SetSore(y, w->ValueText(), asText ? "s" : (w->TypeText.empty() ? "s" : w->TypeText.c_str()));
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
void CmdSay(TYumeBase& y) {
  const std::string text = ExpandTabs(CutMessage(PopText(y)), TabWidth(y));
  y.Host->Say(text, Style(y));
}

// 尋ねる (?と) 10
void CmdAsk(TYumeBase& y) {
  const bool omitted = y.OmittedFilled;
  std::string message = PopText(y);
  const std::string prompt = omitted ? std::string("入力してください。") : message;
  std::string answer;
  if (!y.Host->AskText(prompt, SystemText(y, "ダイアログ初期値"), Style(y), answer)) {
    SetCancelled(y);
    return;
  }
  // An answer that starts like a number is one.
  const bool number = !answer.empty() && (answer[0] == '$' || IsDigitChar(answer[0]));
  SetSore(y, std::move(answer), number ? "e" : "s");
}

// 二択 (?と) 40
void CmdYesNo(TYumeBase& y) {
  const std::string text = PopText(y);
  const int r = y.Host->AskYesNo(text, kMainCaption, false);
  SetSore(y, r == 1 ? "1" : "0", "e");
}

// 三択 (?と) 160
void CmdYesNoCancel(TYumeBase& y) {
  const std::string text = PopText(y);
  const int r = y.Host->AskYesNo(text, kMainCaption, true);
  SetSore(y, std::to_string(r == 0 || r == 1 ? r : 2), "e");
}

// どれか尋ねる (?が,?の) 264 and リストから選択 (?を,?の) 301
void AskFromList(TYumeBase& y, bool editable) {
  const std::string choices = PopText(y);
  const std::string message = PopText(y);
  const std::vector<std::string> items = ListChoices(choices);
  const std::string type = y.VarSore ? y.VarSore->TypeText : std::string("s");
  SetSore(y, std::string(), type.c_str());
  std::string answer;
  if (!y.Host->AskList(message, items, editable, SystemText(y, "ダイアログ初期値"), Style(y),
                       answer)) {
    SetCancelled(y);
    return;
  }
  if (y.VarSore) y.VarSore->SetValueText(std::move(answer));  // the kind stays
}

void CmdAskAny(TYumeBase& y) {
  AskFromList(y, true);
}
void CmdSelectFromList(TYumeBase& y) {
  AskFromList(y, false);
}

// ボタンで選択 (?を,?の) 309
void CmdSelectButton(TYumeBase& y) {
  const std::string choices = PopText(y);
  const std::string message = PopText(y);
  const std::vector<std::string> captions = ButtonChoices(choices);
  if (captions.empty()) {
    y.Host->Say(ExpandTabs(CutMessage(message), TabWidth(y)), Style(y));
    SetSore(y, std::string(), "s");
    return;
  }
  std::string answer;
  if (!y.Host->AskButtons(message, captions, Style(y), answer)) {
    SetCancelled(y, true);
    return;
  }
  SetSore(y, std::move(answer), "s");
}

// メモ記入 (?の) 265
void CmdMemo(TYumeBase& y) {
  const std::string text = PopText(y);
  std::string answer;
  if (!y.Host->AskMemo(text, Style(y), answer)) {
    SetCancelled(y, true);
    return;
  }
  SetSore(y, std::move(answer), "s");
}

// 項目記入 (?を) 525
void CmdItems(TYumeBase& y) {
  const TItemList items = ParseItemList(PopText(y));
  std::string answer;
  if (!y.Host->AskItems(items, Style(y), answer)) {
    SetCancelled(y, true);
    return;
  }
  SetSore(y, std::move(answer), "s");
}

// 色選択 () 103
void CmdPickColor(TYumeBase& y) {
  uint32_t color = 0;
  if (!y.Host->PickColor(color)) {
    SetCancelled(y);
    return;
  }
  SetSore(y, std::to_string(color), "e");
}

// フォント選択 () 312
void CmdPickFont(TYumeBase& y) {
  TDialogFont font = Style(y).Font;
  if (!y.Host->PickFont(font)) {
    SetCancelled(y);
    return;
  }
  SetSore(y, FontSpecText(font), "s");
}

// 読込ファイル選択 (?の) 41
void CmdOpenFile(TYumeBase& y) {
  const std::string filter = FileFilter(PopText(y));
  std::vector<std::string> files;
  if (!y.Host->PickOpenFiles(filter, CurrentFolder(), SystemText(y, "ダイアログ初期値"), files) ||
      files.empty()) {
    SetCancelled(y);
    return;
  }
  std::string out;
  for (size_t i = 0; i < files.size(); ++i) {
    if (i) out += "\r\n";
    out += TrimBlanks(files[i]);
  }
  SetSore(y, std::move(out), "s");
}

// 書込ファイル選択 (?の) 42
void CmdSaveFile(TYumeBase& y) {
  const std::string filter = FileFilter(PopText(y));
  std::string file;
  if (!y.Host->PickSaveFile(filter, DefaultExtension(filter), CurrentFolder(),
                            SystemText(y, "ダイアログ初期値"), file)) {
    SetCancelled(y);
    return;
  }
  SetSore(y, std::move(file), "s");
}

void PickFolderInto(TYumeBase& y, const std::string& root) {
  std::string folder;
  if (!y.Host->PickFolder(CurrentFolder(), root, folder)) {
    SetCancelled(y);
    return;
  }
  if (folder.empty() || (folder.back() != '/' && !EndsWith(folder, "\\"))) folder += '/';
  SetSore(y, std::move(folder), "s");
}

// フォルダ選択 () 169
void CmdPickFolder(TYumeBase& y) {
  PickFolderInto(y, std::string());
}

// フォルダ拡張選択 (?の) 498
void CmdPickFolderEx(TYumeBase& y) {
  PickFolderInto(y, PopText(y));
}

// The values of a coordinate list "(l,t,r,b)" (or a word holding one); at most four.
std::vector<int> CoordinateList(TYumeBase& y, const std::string& text) {
  const std::vector<std::string> texts = CoordinateTexts(y, text);
  std::vector<int> values;
  for (const auto& t : texts) {
    values.push_back(static_cast<int>(std::trunc(StrToNumber(EvaluateText(y, t)))));
  }
  if (values.size() > 4) {
    std::string list;
    for (size_t i = 0; i < values.size(); ++i) {
      if (i) list += ',';
      list += std::to_string(values[i]);
    }
    RaiseError(y, "座標の指定エラー。引数が多すぎます。\"" + list + "\"");
  }
  return values;
}

// ダイアログサイズ設定 (?に) 546
void CmdDialogRect(TYumeBase& y) {
  std::string raw = y.Args.Pop();
  if (!raw.empty() && (raw[0] == '"' || raw[0] == '`' || raw[0] == '@')) raw = EvaluateText(y, raw);
  const std::vector<int> v = CoordinateList(y, raw);
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
