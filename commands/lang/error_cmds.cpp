// Errors and diagnostics: what happens on an error, the exit label, debug output.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"
#include "core/cmdlib.h"
#include "core/hash.h"
#include "core/host.h"
#include "core/messages.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// エラーを無視 () 118
void CmdIgnoreErrors(TYumeBase& y, TArgs&) {
  y.ErrorsShown = false;
  y.ErrorLabel = nullptr;
}

// エラーを警告 () 120
void CmdShowErrors(TYumeBase& y, TArgs&) {
  y.ErrorsShown = true;
  y.ErrorLabel = nullptr;
}

// エラー処理設定 (?に) 119 -- the argument, as written, names the label.
void CmdSetErrorLabel(TYumeBase& y, TArgs& a) {
  const std::string& name = a.Phrase(0);
  THashNode* w = y.Dict.FindScoped(name, false);
  // Only a label has a body to jump to.
  if (!w || w->Kind != wkLabel) RaiseError(y, msg::kJumpToUndefined, {name});
  y.ErrorLabel = w;
}

// エラーから復帰 () 121 -- resumes after the point where the failed statement stopped.
void CmdReturnFromError(TYumeBase& y, TArgs&) {
  if (y.ErrorReturn) y.SetCur(y.ErrorReturn);
}

// 終了処理設定 (?に) 161 -- the label run before the window closes; no label (an empty
// name) removes it.
void CmdSetExitLabel(TYumeBase& y, TArgs& a) {
  const std::string& name = a.Phrase(0);
  THashNode* w = y.Dict.FindScoped(name, false);
  if (w && w->Kind == wkLabel) {
    y.ExitLabel = w;
    if (y.VarCannotClose) y.VarCannotClose->SetValueText("1");
    return;
  }
  if (!a.Text(0).empty()) RaiseError(y, msg::kJumpToUndefined, {name});
  y.ExitLabel = nullptr;
  if (y.VarCannotClose) y.VarCannotClose->SetValueText("0");
}

// _P (?) 193 -- a word opens the debug dialog on it (not built yet); anything else shows its
// value.
void CmdShowValue(TYumeBase& y, TArgs& a) {
  const std::string& arg = a.Phrase(0);
  if (y.Dict.FindScoped(arg, false)) RaiseNotBuilt(y, "デバッグ画面");
  y.Host->ShowMessage("「" + arg + "」の内容は、" + a.Text(0), "", TMessageKind::Info);
}

// ログる (?を,?で) 347 -- collects a variable's values and shows every n-th batch.
void CmdLog(TYumeBase& y, TArgs& a) {
  const int n = static_cast<int>(a.Number(1));
  const std::string& name = a.Phrase(0);
  auto it = y.LogRecords.begin();
  while (it != y.LogRecords.end() && it->first != name) ++it;
  if (it == y.LogRecords.end()) {
    y.LogRecords.emplace_back(name, TYumeBase::TLogRecord{});
    it = y.LogRecords.end() - 1;
  }
  TYumeBase::TLogRecord& rec = it->second;
  ++rec.Count;
  const std::string& value = a.Text(0);
  rec.Text += "\r\n(" + std::to_string(rec.Count) + ")=" + value;
  if (rec.Count == n) {
    y.Host->ShowMessage(rec.Text, "ログ - \"" + name + "\"", TMessageKind::Info);
    rec = TYumeBase::TLogRecord{};
  }
}

constexpr CommandDef kCommands[] = {
    {"終了処理設定", "?に", 161, CmdSetExitLabel},
    {"DEBUG", "", 57, nullptr},
    {"デバッグ", "", 57, nullptr},
    {"改行で実行を止める", "", 270, nullptr},
    {"_P", "?", 193, CmdShowValue, TBuilt::Partly},
    {"ログる", "?を,?で", 347, CmdLog},
    {"エラーを無視", "", 118, CmdIgnoreErrors},
    {"エラーを警告", "", 120, CmdShowErrors},
    {"エラー処理設定", "?に", 119, CmdSetErrorLabel},
    {"エラーから復帰", "", 121, CmdReturnFromError},
};

constexpr VariableDef kVariables[] = {
    {"終了不可能", "0", "e", 1, true, false},
    {"エラーメッセージ", "", "s", 3, true, false},
    {"エラー行", "", "e", 4, true, false},
};

}  // namespace

const TFamily kErrorFamily{"エラーとデバッグ", kCommands, kVariables};

}  // namespace yume
