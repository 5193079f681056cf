// Program flow: ending and waiting, jumps and subroutines, blocks, conditions, loops,
// user functions and sources brought in while running.
#include <cmath>
#include <memory>
#include <utility>

#include "commands/families.h"
#include "commands/system/packstore.h"
#include "core/app.h"
#include "core/cmdlib.h"
#include "core/control.h"
#include "core/convhalf.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/prepare.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

// The run loop that runs a text brought in while running: a fresh frame level, and the
// cursor, its end and the source name put back afterwards whatever happens.
void RunTextNested(TYumeBase& y, const char* start, std::string sourceName) {
  const char* savedCur = y.Cur;
  const char* savedEnd = y.End;
  std::string savedFile = y.FileName;
  const size_t scopes = y.Dict.ScopeCount();
  y.FileName = std::move(sourceName);
  y.Runs.PushLevel();
  auto restore = [&] {
    y.Runs.PopLevel();
    while (y.Dict.ScopeCount() > scopes) y.Dict.PopScope();
    y.Cur = savedCur;
    y.End = savedEnd;
    y.FileName = savedFile;
  };
  try {
    y.SetCur(start);
    RunNested(y);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

// The label an argument names as written (a quoted name evaluated first).
std::string LabelName(TYumeBase& y, TArgs& a, size_t slot) {
  return LabelNameAsWritten(y, a.Phrase(slot));
}

// A number argument that must read as a number as a whole.
long double StrictNumber(TYumeBase& y, TArgs& a, size_t slot) {
  long double n = 0;
  if (!TryStrToNumber(a.Text(slot), n)) {
    RaiseError(y, "\"%s\"には、数値を指定してください。", {a.Name()});
  }
  return n;
}

// ---- stopping ----

// おわり/終わり/おわる () 2
void CmdEnd(TYumeBase& y, TArgs&) {
  if (y.App) {
    y.App->End();
    return;
  }
  y.Runs.Clear();
  y.Cur = nullptr;
}

// 待機 () 13
void CmdWait(TYumeBase& y, TArgs&) {
  if (y.App) {
    y.App->Wait();
    return;
  }
  y.Runs.Clear();
  y.Cur = nullptr;
}

// ---- jumps and calls ----

// 飛ぶ (?へ) 5
void CmdJump(TYumeBase& y, TArgs& a) {
  JumpToLabel(y, LabelName(y, a, 0));
}

// 呼ぶ (?を) 6
void CmdCall(TYumeBase& y, TArgs& a) {
  const std::string name = LabelName(y, a, 0);
  THashNode* w = y.Dict.FindScoped(name, true);
  if (!w || w->Kind != wkLabel) RaiseError(y, msg::kNoSuchLabel, {name});
  CallLabel(y, *w, false);
}

// 戻る () 3
void CmdReturn(TYumeBase& y, TArgs&) {
  ReturnFromCall(y);
}

// 抜ける () 215
void CmdBreak(TYumeBase& y, TArgs&) {
  BreakLoop(y);
}

// 続ける () 398
void CmdContinue(TYumeBase& y, TArgs&) {
  ContinueLoop(y);
}

// ここから () 516
void CmdLocalBegin(TYumeBase& y, TArgs&) {
  BeginLocalBlock(y);
}

// ここまで () 517
void CmdLocalEnd(TYumeBase& y, TArgs&) {
  EndLocalBlock(y);
}

// ---- user functions ----

// 関数定義 (?を,?で) 399
void CmdDefineFunction(TYumeBase& y, TArgs& a) {
  std::string pattern = TConvToHalf::Instance().ConvertText(a.Text(1));
  const std::string name = LabelName(y, a, 0);
  THashNode* w = y.Dict.FindScoped(name, false);
  if (!w || w->Kind != wkLabel) RaiseArgumentError(y, "関数定義", "ラベルが定義されていません。");
  w->Pattern = pattern;
  const std::string folded = FoldName(w->Name);
  if (folded != w->Name) {
    // Entered once more under its folded name, so it is found with or without okurigana.
    auto copy = std::make_unique<THashNode>();
    copy->Assign(*w);
    copy->Name = folded;
    y.Dict.Add(std::move(copy));
  }
}

// 引数取得 (?に) 400
void CmdGetArgs(TYumeBase& y, TArgs& a) {
  THashNode* target = &a.WordOrNew(0);
  if (y.VarSore) y.VarSore->TypeText = "s";
  if (!y.HasFuncArgs) return;
  std::string joined;
  for (size_t i = 0; i < y.FuncArgs.size(); ++i) {
    if (i) joined += '\r';
    joined += TrimBlanks(y.FuncArgs[i].Text());
  }
  target->SetValueText(std::move(joined));
  target->TypeText = "s";
  y.FuncArgs.clear();
  y.HasFuncArgs = false;
}

// 引数得る (?に,?番目の) 519
void CmdGetArg(TYumeBase& y, TArgs& a) {
  const long double n = a.Number(1);
  GetFuncArg(y, a.WordOrNew(0), n);
}

// ---- conditions and loops ----

// もし () 102
void CmdIf(TYumeBase& y, TArgs&) {
  IfChain(y);
}

// 条件分岐 (?で) 369
void CmdCaseSubject(TYumeBase& y, TArgs& a) {
  y.CaseSubject = a.TakeText(0);
}

// 繰り返す (?を,?から,?まで) 56
void CmdFor(TYumeBase& y, TArgs& a) {
  const long double to = std::trunc(StrictNumber(y, a, 2));
  const long double from = std::trunc(StrictNumber(y, a, 1));
  std::string name = a.TakePhrase(0);
  if (name.size() >= 2 && name.front() == '`' && name.back() == '`') {
    name = name.substr(1, name.size() - 2);
  }
  THashNode* counter = y.Dict.FindScoped(name, false);
  if (!counter) {
    auto v = THashNode::MakeVariable(name, false, y.WordLevel(), "0");
    v->TypeText = "e";
    counter = v.get();
    y.Dict.Add(std::move(v));
  }
  if (counter->Kind != wkVariable) RaiseError(y, msg::kForCounter, {a.Name()});
  TRunControl block = ReadBlock(y);
  if (to < from) return;
  counter->SetNumberValue(from);
  counter->SetTypeText("e");
  block.Kind = fkFor;
  block.Counter = static_cast<int64_t>(from);
  block.Limit = static_cast<int64_t>(to);
  block.ItemWord = counter;
  block.ItemGeneration = DictGeneration();
  block.Condition = counter->Name;
  EnterBody(y, std::move(block));
}

// 反復 (?を) 71
void CmdForEach(TYumeBase& y, TArgs& a) {
  std::string text;
  if (THashNode* w = y.Dict.FindScoped(a.Phrase(0), false)) {
    text = w->Kind == wkDictionary ? (w->Items ? w->Items->KeysText() : std::string())
                                   : w->ValueText();
  } else {
    text = a.TakeText(0);
  }
  TRunControl block = ReadBlock(y);
  if (text.empty()) return;
  block.Kind = fkList;
  block.Counter = 1;
  size_t pos = 0;
  SetSoreView(y, NextLine(text, pos));
  block.Limit = static_cast<int64_t>(pos);
  if (y.VarCount) {
    y.VarCount->SetValueText("1");
    y.VarCount->TypeText = "e";
  }
  block.ItemText = std::make_shared<const std::string>(std::move(text));
  EnterBody(y, std::move(block));
}

// ループ (?で) 414
void CmdWhile(TYumeBase& y, TArgs& a) {
  std::string cond = TConvToHalf::Instance().ConvertText(a.Phrase(0));
  PrepareSource(y, cond);
  TRunControl block = ReadBlock(y);
  std::string_view c = TrimBlanks(cond);
  if (c.empty() || c == "``") return;
  std::string expr;
  if (c.size() >= 2 && c.front() == '`' && c.back() == '`') {
    std::string_view inner = c.substr(1, c.size() - 2);
    for (size_t i = 0; i < inner.size(); ++i) {
      expr += inner[i];
      if (inner[i] == '`' && i + 1 < inner.size() && inner[i + 1] == '`') ++i;
    }
  } else {
    expr = std::string(c);
  }
  const char* after = y.Cur;
  std::string v = EvaluateText(y, expr);
  y.Cur = after;
  if (!ConditionTrue(y, v, false)) return;
  block.Kind = fkWhile;
  block.Counter = 1;
  block.Limit = -1;
  block.Condition = std::move(expr);
  if (y.VarCount) {
    y.VarCount->SetValueText("1");
    y.VarCount->TypeText = "e";
  }
  EnterBody(y, std::move(block));
}

// ---- texts brought in ----

// ゆめもりする (?を) 74
void CmdRunText(TYumeBase& y, TArgs& a) {
  auto text = std::make_unique<std::string>(a.TakeText(0));
  if (size_t z = text->find('\0'); z != std::string::npos) text->resize(z);
  std::string name = y.FileName + "の" + std::to_string(CurrentLine(y)) + "行目のゆめもり";
  PrepareSource(y, *text);
  y.AddText(*text);
  try {
    RunTextNested(y, text->c_str(), std::move(name));
  } catch (...) {
    y.RemoveText(*text);
    throw;
  }
  y.RemoveText(*text);
}

constexpr size_t kIncludeSlots = 49;  // besides the main program's own slot

// The file 取り込む reads: an entry of the program's pack, else an absolute name as it is, else
// the first that exists in the current folder, the script's folder, the executable's folder and
// the current source's folder.
std::string FindIncludeFile(TYumeBase& y, const std::string& name) {
  if (std::string packed = ExtractPackedFile(y, name); !packed.empty()) return packed;
  if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos)
    return name;
  const std::string candidates[] = {
      ExpandFileName(name),
      y.ProgramFolder + name,
      ExtractFilePath(ExecutableFile()) + name,
      ExtractFilePath(ExpandFileName(y.FileName)) + name,
  };
  for (const auto& c : candidates)
    if (FileExists(c)) return c;
  return name;
}

// 取り込む (?を) 55
void CmdInclude(TYumeBase& y, TArgs& a) {
  const std::string name(TrimBlanks(a.Text(0)));
  const std::string file = FindIncludeFile(y, name);
  std::string raw;
  if (!ReadWholeFile(file, raw)) RaiseError(y, msg::kFileMissing, {name});
  if (y.Included.size() >= kIncludeSlots) {
    RaiseError(y, "ファイル\"%s\"を取り込めません。取り込めるファイルは49個までです。", {name});
  }
  auto text = std::make_unique<std::string>(ScriptFileText(raw));
  PrepareSource(y, *text);
  const std::string* stored = text.get();
  y.Included.push_back(std::move(text));
  y.AddText(*stored);
  {
    // A label that cannot be entered is reported with the included file's name.
    const std::string savedFile = std::exchange(y.FileName, file);
    try {
      CollectLabels(y, *stored, file);
    } catch (...) {
      y.FileName = savedFile;
      throw;
    }
    y.FileName = savedFile;
  }
  RunTextNested(y, stored->c_str(), file);
}

constexpr CommandDef kCommands[] = {
    {"おわり", "", 2, CmdEnd},
    {"終わり", "", 2, CmdEnd},
    {"おわる", "", 2, CmdEnd},
    {"飛ぶ", "?へ", 5, CmdJump},
    {"呼ぶ", "?を", 6, CmdCall},
    {"戻る", "", cmdno::kReturn, CmdReturn},
    {"待機", "", 13, CmdWait},
    {"ここから", "", 516, CmdLocalBegin},
    {"ここまで", "", 517, CmdLocalEnd},
    {"抜ける", "", 215, CmdBreak},
    {"続ける", "", 398, CmdContinue},
    {"ゆめもりする", "?を", 74, CmdRunText},
    {"取り込む", "?を", 55, CmdInclude},
    {"関数定義", "?を,?で", 399, CmdDefineFunction},
    {"引数取得", "?に", 400, CmdGetArgs},
    {"引数得る", "?に,?番目の", cmdno::kGetArg, CmdGetArg},
    {"もし", "", 102, CmdIf},
    {"ならば", "", 19, EmptyHandler},
    {"なら", "", 200, EmptyHandler},
    {"違えば", "", 20, EmptyHandler},
    {"でなければ", "", 20, EmptyHandler},
    {"条件分岐", "?で", 369, CmdCaseSubject},
    {"繰り返す", "?を,?から,?まで", 56, CmdFor},
    {"反復", "?を", 71, CmdForEach},
    {"ループ", "?で", 414, CmdWhile},
};

constexpr VariableDef kVariables[] = {
    {"回数", "0", "e", 2, true, false},
};

}  // namespace

const TFamily kFlowFamily{"制御構文と取り込み", kCommands, kVariables};

}  // namespace yume
