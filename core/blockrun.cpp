// Loop bodies read once and run round after round, statement after statement, without going
// back to the run loop between them.
//
// A body is read into its statements (the plans of planread): line ends, plain assignments,
// もし chains whose blocks hold nothing else (run in place, without the block's frame), and any
// other statement, run as the run loop would run it. Between statements the state is exactly
// what running them one at a time leaves: the position, the line, the error log, the frames.
// The frames of the blocks run in place are only pushed when something could see them: when
// a statement fails (the error label or the error dialog takes over from there) or the run has
// to go back to the run loop. A statement that moves the program elsewhere (a jump, a call, a
// block entered) hands the rest back to the run loop, which goes on from where it is.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/assign.h"
#include "core/control.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/plan.h"
#include "core/poscache.h"
#include "core/registry.h"
#include "core/runseam.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// Chains nested deeper than this are left to the run loop (a run's room for them is on the
// stack of every call level).
constexpr int kMaxDepth = 8;

struct TBlock;

// One statement of a body read once.
struct TBlockStep {
  // kReturn, kLocal, kGetArg: 戻る, ローカル変数 and 引数得る, as they were read (what the word
  // means is checked each time).
  enum TKind : uint8_t { kLine, kAssign, kAppend, kItem, kIf, kReturn, kLocal, kGetArg, kOther };
  TKind Kind = kOther;
  const char* Start = nullptr;  // where the statement begins
  // A line end read just before the statement and run with it (one step less per line): where
  // it begins (null: none) and the line its marker names (kNoLineMarker: the line stays).
  const char* LineStart = nullptr;
  int LineBefore = kNoLineMarker;
  const char* Next = nullptr;  // where the program goes on when it moves nothing (null: unknown)
  std::unique_ptr<TStmtPlan> Plan;
  std::unique_ptr<TIfPlan> If;  // kIf: the chain after もし
  // kItem: "Xの、key は、value": X, and the key's split.
  std::string_view Holder;
  mutable TNameRef HolderRef;
  TExprCodePtr KeyCode;
  // kGetArg: the target variable's name as bound last time, and what it meant.
  mutable std::string ArgName;
  mutable TNameRef ArgRef;
  // kGetArg: the argument's number as bound last time, read.
  mutable std::string ArgIndexText;
  mutable size_t ArgSlot = 0;  // 1 for the first argument; 0 for none
  // kReturn, kLocal, kGetArg: the command word found and bound last time, and the dictionary's
  // change count then (a command's pattern changes only with a new word).
  mutable const THashNode* Checked = nullptr;
  mutable uint64_t CheckedChanges = 0;
  // kIf: the block of each condition that has one (null where it has none), then the else block.
  std::vector<std::unique_ptr<TBlock>> Branches;
};

struct TBlock {
  std::vector<TBlockStep> Steps;
  bool Pure = true;  // no kOther step: runs inside a block without the block's frame
};

bool IsLoopKind(uint8_t k) {
  return k == fkFor || k == fkCount || k == fkList || k == fkWhile;
}

// The kind of a command statement other than もし: one the runner works out itself when its word
// is such a command now, else kOther.
TBlockStep::TKind CommandKind(TYumeBase& y, const TStmtPlan& p) {
  if (!p.NamePopped || !p.Literals.empty()) return TBlockStep::kOther;
  const THashNode* w = y.Dict.FindRemembered(p.Name, p.Ref);
  if (!w || w->Kind != wkCommand) return TBlockStep::kOther;
  switch (w->Tag) {
    case cmdno::kReturn:
      return p.Phrases.empty() ? TBlockStep::kReturn : TBlockStep::kOther;
    case cmdno::kLocal:
      return p.Phrases.size() == 1 ? TBlockStep::kLocal : TBlockStep::kOther;
    case cmdno::kGetArg:
      return p.Phrases.size() == 2 ? TBlockStep::kGetArg : TBlockStep::kOther;
    default:
      return TBlockStep::kOther;
  }
}

bool IsIfStatement(const TYumeBase& y, const TStmtPlan& p) {
  return p.Kind == TStmtPlan::kCommand && p.NamePopped && p.Phrases.empty() && y.WordMoshi &&
         p.Name == y.WordMoshi->Name;
}

// Reads the もし chain at `at` (just after もし) as IfChain reads it, leaving no trace: a chain
// that cannot be read (the run reports that when it gets there) gives null.
std::unique_ptr<TIfPlan> ReadChainQuietly(TYumeBase& y, const char* at, const char* end) {
  const char* const cur = y.Cur;
  const char* const runEnd = y.End;
  const int line = y.Line;
  const size_t logSize = y.ErrorLog.size();
  std::string errorLine, errorLineType;
  if (y.VarErrorLine) {
    errorLine = y.VarErrorLine->ValueText();
    errorLineType = y.VarErrorLine->TypeText;
  }
  y.Cur = at;
  y.End = end;
  std::unique_ptr<TIfPlan> plan;
  try {
    plan = ReadIfPlan(y, true);
  } catch (...) {
    plan = nullptr;
    y.ErrorLog.resize(logSize);
    if (y.VarErrorLine) {
      y.VarErrorLine->SetValueText(std::move(errorLine));
      y.VarErrorLine->TypeText = std::move(errorLineType);
    }
  }
  y.Cur = cur;
  y.End = runEnd;
  y.Line = line;
  return plan;
}

std::unique_ptr<TBlock> ReadBody(TYumeBase& y, const char* start, const char* end, int depth) {
  if (depth > kMaxDepth || end < start) return nullptr;
  std::string_view text = y.TextOf(start);
  if (end > text.data() + text.size()) return nullptr;
  text = text.substr(0, static_cast<size_t>(end - text.data()));
  auto block = std::make_unique<TBlock>();
  size_t pos = static_cast<size_t>(start - text.data());
  const char* lineStart = nullptr;  // a line end waiting to be run with the next statement
  int lineBefore = kNoLineMarker;
  while (pos < text.size()) {
    TBlockStep step;
    step.Start = text.data() + pos;
    step.LineStart = lineStart;
    step.LineBefore = lineBefore;
    lineStart = nullptr;
    lineBefore = kNoLineMarker;
    auto plan = std::make_unique<TStmtPlan>(MakePlan(y, text, pos));
    switch (plan->Kind) {
      case TStmtPlan::kRead:
        break;
      case TStmtPlan::kAssign:
        step.Next = plan->Continue();
        if (plan->Phrases.empty()) {
          if (plan->PlainAssign) {
            step.Kind = TBlockStep::kAssign;
          } else if (IsAppendStatement(plan->Name, plan->ValueCode.get())) {
            step.Kind = TBlockStep::kAppend;
          }
        } else if (plan->Phrases.size() == 1 && plan->Literals.empty() &&
                   plan->Phrases[0].size() > 2 && EndsWith(plan->Phrases[0], "の")) {
          step.Kind = TBlockStep::kItem;
          step.Holder = plan->Phrases[0];
          step.Holder.remove_suffix(std::string_view("の").size());
          step.HolderRef.Prepare(step.Holder, false);
          step.KeyCode = SplitExpression(plan->Name);
        }
        break;
      case TStmtPlan::kCommand:
        if (!plan->NamePopped && plan->Phrases.empty()) {
          step.Kind = TBlockStep::kLine;
          step.Next = plan->Continue();
        } else if (IsIfStatement(y, *plan)) {
          step.If = ReadChainQuietly(y, plan->StepPos, end);
          if (!step.If) break;
          step.Next = step.If->ChainEnd;
          bool inPlace = true;
          auto branch = [&](const TRunControl& b) {
            auto sub = ReadBody(y, b.Body.data(), b.Body.data() + b.Body.size(), depth + 1);
            if (!sub || !sub->Pure) inPlace = false;
            step.Branches.push_back(std::move(sub));
          };
          for (const TIfPlan::TCond& c : step.If->Conds) {
            if (c.HasThen) {
              branch(c.Then);
            } else {
              step.Branches.push_back(nullptr);
            }
          }
          if (step.If->HasElse) branch(step.If->Else);
          if (inPlace) step.Kind = TBlockStep::kIf;
        } else {
          step.Next = plan->Continue();
          step.Kind = CommandKind(y, *plan);
        }
        break;
    }
    step.Plan = std::move(plan);
    // A statement whose end is not known ends what is read: it runs as the run loop runs it,
    // and the rest is read as it runs.
    const bool known = step.Next && step.Next > step.Start;
    if (!known) {
      step.Kind = TBlockStep::kOther;
      step.Next = nullptr;
    }
    if (step.Kind == TBlockStep::kOther) block->Pure = false;
    const char* next = step.Next;
    if (step.Kind == TBlockStep::kLine && !step.LineStart && next < text.data() + text.size()) {
      // Run with the statement after it.
      lineStart = step.Start;
      if (step.Plan->LineBreak) lineBefore = step.Plan->LineAfter;
      pos = static_cast<size_t>(next - text.data());
      continue;
    }
    block->Steps.push_back(std::move(step));
    if (!known) break;
    pos = static_cast<size_t>(next - text.data());
  }
  return block;
}

// Loop bodies of the texts alive now, by where they start and end.
TPositionCache<const TBlock> bodies;

TPositionMemo<const TBlock> recentBodies;

const TBlock* BodyAt(TYumeBase& y, const char* start, const char* end) {
  const auto key = reinterpret_cast<uintptr_t>(end);
  return recentBodies.FindOr(bodies, y.TextsGeneration, start, key, [&] {
    return bodies.Get(y.TextsGeneration, start, key, [&]() -> std::unique_ptr<const TBlock> {
      if (!y.InRegisteredText(start)) return nullptr;
      return ReadBody(y, start, end, 0);
    });
  });
}

// A body being run, with the blocks it runs in place (whose frames are not pushed yet).
struct TRun {
  TYumeBase& Y;
  struct TInPlace {
    const TRunControl* Block;
    const char* EndPos;
  };
  TInPlace InPlace[kMaxDepth + 1];  // [0, Depth) in use
  int Depth = 0;
  bool Ran = false;  // a statement has run
  // The label of a value call run in place whose frame is not pushed yet (RunCallInPlace), and
  // whether its 戻る has run.
  const THashNode* Call = nullptr;
  bool Returned = false;
  // The local variable the step just run made (ローカル変数), for the 引数得る after it that names
  // it: the word a lookup of that name finds then.
  THashNode* JustMade = nullptr;

  explicit TRun(TYumeBase& y) : Y(y) {}

  // Pushes the frames of the call and the blocks run in place, as entering them would have: the
  // program is then where running the statements one at a time would have it.
  void Materialize() {
    TYumeBase& y = Y;
    const char* const cur = y.Cur;
    if (Call) {
      EnterValueCallFrame(y, *Call);
      Call = nullptr;
    }
    for (int i = 0; i < Depth; ++i) EnterBlock(y, *InPlace[i].Block, fkThen, InPlace[i].EndPos);
    if (Depth > 0) y.Cur = cur;
    Depth = 0;
    y.InlineFrames = 0;
  }
};

enum class TOutcome { Ended, Left };

TOutcome RunSteps(TRun& run, const TBlock& block);

// Back to the run loop at `at`: it goes on from there as it would have.
TOutcome LeaveAt(TRun& run, const char* at) {
  run.Y.Cur = at;
  run.Materialize();
  return TOutcome::Left;
}

// Back to the run loop at the statement s, its line end run already.
TOutcome Leave(TRun& run, const TBlockStep& s) {
  return LeaveAt(run, s.Start);
}

// A もし chain run in place: the conditions as IfChain works them out (its failures reported as
// the command's), then the chosen block's statements.
TOutcome RunChain(TRun& run, const TBlockStep& s) {
  TYumeBase& y = run.Y;
  const TStmtPlan& plan = *s.Plan;
  if (!y.Args.Empty() || y.ParticleFree) return Leave(run, s);
  THashNode* w = y.Dict.FindRemembered(plan.Name, plan.Ref);
  if (!w || w != y.WordMoshi || w->Kind != wkCommand || !w->Pattern.empty()) return Leave(run, s);
  y.Cur = plan.StepPos;
  y.OmittedFilled = false;
  y.LastCommand = w;
  const TIfPlan& chain = *s.If;
  size_t chosen = SIZE_MAX;
  try {
    if (chain.LineRead) y.Line = chain.LineAfter;
    y.Cur = chain.ChainEnd;
    bool decided = false;
    for (size_t k = 0; k < chain.Conds.size(); ++k) {
      const TIfPlan::TCond& c = chain.Conds[k];
      long double number = 0;
      int64_t whole;
      bool outcome;
      if (EvaluateWhole(y, c.Code.get(), whole)) {
        outcome = WholeConditionTrue(y, whole);
      } else if (EvaluateNumber(y, c.Text(), c.Code.get(), number)) {
        outcome = NumberConditionTrue(y, number);
      } else {
        bool hasNumber = false;
        const std::string v = EvaluateSplit(y, c.Text(), c.Code.get(), number, hasNumber);
        outcome = ConditionOutcome(y, v, hasNumber, number);
      }
      y.CondResult = outcome ? 1 : 0;
      if (outcome != c.Negate) {
        if (c.HasThen) chosen = k;
        decided = true;
        break;
      }
    }
    if (!decided && chain.HasElse) chosen = chain.Conds.size();
    y.CondResult = -1;
    y.Cur = chain.ChainEnd;
  } catch (const std::exception& e) {
    run.Materialize();
    RaiseCommandFailure(y, *w, e);
  }
  y.StepSinceErrorJump = true;
  if (chosen == SIZE_MAX) return TOutcome::Ended;
  const TRunControl& b = chosen < chain.Conds.size() ? chain.Conds[chosen].Then : chain.Else;
  run.InPlace[run.Depth++] = {&b, chain.ChainEnd};
  ++y.InlineFrames;
  if (RunSteps(run, *s.Branches[chosen]) == TOutcome::Left) return TOutcome::Left;
  --run.Depth;
  --y.InlineFrames;
  // The block's end: its frame ends, the program goes on after the chain.
  y.Cur = chain.ChainEnd;
  return TOutcome::Ended;
}

// "Xの、key は、value" with X a dictionary: the item set as ItemAssignment sets it (the key
// evaluated, then the value, the item taking the value's type); false (nothing done) when X is
// anything else.
[[gnu::noinline]] bool SetItem(TYumeBase& y, const TBlockStep& s) {
  const TStmtPlan& plan = *s.Plan;
  THashNode* x = y.Dict.FindRemembered(s.Holder, s.HolderRef);
  if (!x || x->Kind != wkDictionary || !x->Items) return false;
  y.Cur = plan.StepPos;
  long double n = 0;
  bool isNumber = false;
  std::string k = EvaluateSplit(y, plan.Name, s.KeyCode.get(), n, isNumber);
  if (isNumber) k = FormatNumber(n);
  std::string v = EvaluateSplit(y, plan.ValueText, plan.ValueCode.get(), n, isNumber);
  const TTypeCode type = y.LastType;
  THashNode* item = x->Items->Find(k, false);
  if (!item) {
    auto w = THashNode::MakeVariable(std::move(k), false, y.WordLevel(), "");
    item = w.get();
    x->Items->Add(std::move(w));
  }
  if (isNumber)
    item->SetNumberValue(n);
  else
    item->SetValueText(std::move(v));
  item->TypeText = type;
  return true;
}

// The command of a kReturn/kLocal/kGetArg step when its word is still that command, its phrases
// bound in its order and nothing else on the stack; null when the statement runs the usual way.
THashNode* CheckBuiltin(TYumeBase& y, const TBlockStep& s, int number, THashNode* w) {
  if (!w || w->Kind != wkCommand || w->Tag != number || !BindOnce(*s.Plan, *w)) return nullptr;
  s.Checked = w;
  s.CheckedChanges = y.Dict.Changes();
  return w;
}

// The usual case inline: the same word as last time, the dictionary unchanged.
[[gnu::always_inline]] inline THashNode* BuiltinCommand(TYumeBase& y, const TBlockStep& s,
                                                        int number) {
  if (!y.Args.Empty() || y.ParticleFree) return nullptr;
  const TStmtPlan& plan = *s.Plan;
  THashNode* w = y.Dict.FindRemembered(plan.Name, plan.Ref);
  if (w && w == s.Checked && s.CheckedChanges == y.Dict.Changes()) return w;
  return CheckBuiltin(y, s, number, w);
}

// Runs such a command's work as RunPlan runs the statement: the line marker read first, the
// command's failures reported as its own, the position after the marker when nothing moved it.
template <class Work>
void RunBuiltin(TYumeBase& y, const TStmtPlan& plan, THashNode& w, Work&& work) {
  y.Cur = plan.StepPos;
  if (plan.LineBreak && plan.LineAfter != kNoLineMarker) y.Line = plan.LineAfter;
  const char* const atBreak = y.Cur;
  y.OmittedFilled = false;
  y.LastCommand = &w;
  try {
    try {
      work();
    } catch (const std::exception& e) {
      RaiseCommandFailure(y, w, e);
    }
  } catch (...) {
    if (plan.LineBreak && y.Cur == atBreak) y.Cur = plan.AfterPos;
    throw;
  }
  if (plan.LineBreak && y.Cur == atBreak) y.Cur = plan.AfterPos;
}

// ローカル変数 of one plain name (anything else is the command's to take apart).
bool RunLocal(TRun& run, const TBlockStep& s) {
  TYumeBase& y = run.Y;
  const TStmtPlan& plan = *s.Plan;
  THashNode* w = BuiltinCommand(y, s, cmdno::kLocal);
  if (!w) return false;
  const std::string& name = plan.Bound[0];
  if (name.empty() || name == "それ" || name[0] == '"' || name[0] == '`') return false;
  RunBuiltin(y, plan, *w, [&] { run.JustMade = AddLocalVariable(y, name); });
  return true;
}

// 引数得る with a plain number of the argument; made: the variable the step before made.
bool RunGetArg(TYumeBase& y, const TBlockStep& s, THashNode* made) {
  const TStmtPlan& plan = *s.Plan;
  THashNode* w = BuiltinCommand(y, s, cmdno::kGetArg);
  if (!w || !IsPlainDigits(plan.Bound[1])) return false;
  RunBuiltin(y, plan, *w, [&] {
    if (!SameName(s.ArgIndexText, plan.Bound[1])) {
      s.ArgIndexText = plan.Bound[1];
      // Plain digits: a number past any argument list reads as none.
      const long double n = StrToNumber(s.ArgIndexText);
      s.ArgSlot = n >= 1 && n < 1e9L ? static_cast<size_t>(n) : 0;
    }
    std::string_view name = plan.Bound[0];
    if (name.size() >= 2 && name.front() == '`' && name.back() == '`')
      name = name.substr(1, name.size() - 2);
    if (!SameName(s.ArgName, name)) {
      s.ArgName.assign(name);
      s.ArgRef.Prepare(s.ArgName, false);
    }
    THashNode* target =
        made && SameName(made->Name, s.ArgName) ? made : y.Dict.FindRemembered(s.ArgName, s.ArgRef);
    if (!target) {
      auto fresh = THashNode::MakeVariable(std::string(name), false, y.WordLevel(), "");
      target = fresh.get();
      y.Dict.Add(std::move(fresh));
    }
    GetFuncArgAt(y, *target, s.ArgSlot);
  });
  return true;
}

// A statement run as the run loop runs it; anything it moves is the run loop's to follow.
TOutcome RunOther(TRun& run, const TBlockStep& s) {
  TYumeBase& y = run.Y;
  if (run.Depth > 0 || run.Call) return Leave(run, s);
  const TStmtPlan& plan = *s.Plan;
  y.Cur = s.Start;
  const size_t frames = y.Runs.Count();
  const TRunControl* top = y.Runs.Top();
  const char* const end = y.End;
  if (plan.Kind == TStmtPlan::kRead)
    ExecuteOneStatement(y);
  else
    RunPlan(y, plan);
  run.Ran = true;
  if (!s.Next || y.Cur != s.Next || y.Runs.Count() != frames || y.Runs.Top() != top || y.End != end)
    return TOutcome::Left;
  return TOutcome::Ended;
}

TOutcome RunSteps(TRun& run, const TBlock& block) {
  TYumeBase& y = run.Y;
  // The frames stay as they are while the steps go on: a statement that leaves more or fewer
  // hands the rest back to the run loop.
  const size_t frames = y.Runs.Count() + static_cast<size_t>(run.Depth);
  for (const TBlockStep& s : block.Steps) {
    // What the run loop checks before each statement (before the first, it has checked).
    const char* const entry = s.LineStart ? s.LineStart : s.Start;
    if (y.StopRun || frames > 65535) return LeaveAt(run, entry);
    if (run.Ran) {
      if (y.StepStart == entry) return LeaveAt(run, entry);
      y.StepStart = entry;
    }
    if (s.LineStart) {
      // The line end before the statement, as a step of its own would run it.
      if (!y.Args.Empty()) return LeaveAt(run, entry);
      if (s.LineBefore != kNoLineMarker) y.Line = s.LineBefore;
      y.Cur = s.Start;
      y.StepSinceErrorJump = true;
      run.Ran = true;
      y.StepStart = s.Start;
    }
    const TStmtPlan& plan = *s.Plan;
    THashNode* const made = std::exchange(run.JustMade, nullptr);
    switch (s.Kind) {
      case TBlockStep::kLine:
        if (!y.Args.Empty()) return Leave(run, s);
        y.Cur = plan.StepPos;
        if (plan.LineBreak && plan.LineAfter != kNoLineMarker) y.Line = plan.LineAfter;
        y.Cur = plan.Continue();
        break;
      case TBlockStep::kAssign: {
        if (!y.Args.Empty()) return Leave(run, s);
        y.Cur = plan.StepPos;
        // A number worked out on plain numbers, stored in a plain variable, as AssignPlain
        // would store it.
        if (int64_t whole; EvaluateWhole(y, plan.ValueCode.get(), whole)) {
          THashNode* w = y.Dict.FindRemembered(plan.Name, plan.Ref);
          if (w && w->Kind == wkVariable && !w->Reserved) {
            w->SetWholeValue(whole);
            w->SetTypeText("e");
            break;
          }
          StoreNumber(y, plan.Name, static_cast<long double>(whole), plan.Ref);
          break;
        }
        long double n;
        if (EvaluateNumber(y, plan.ValueText, plan.ValueCode.get(), n)) {
          THashNode* w = y.Dict.FindRemembered(plan.Name, plan.Ref);
          if (w && w->Kind == wkVariable && !w->Reserved) {
            w->SetNumberValue(n);
            w->SetTypeText("e");
            break;
          }
          // Anything else takes the value as AssignPlain's storing does.
          StoreNumber(y, plan.Name, n, plan.Ref);
          break;
        }
        AssignPlain(y, plan.Name, plan.ValueText, plan.Ref, plan.ValueCode.get());
        break;
      }
      case TBlockStep::kAppend:
        if (!y.Args.Empty()) return Leave(run, s);
        y.Cur = plan.StepPos;
        if (!AppendToVariable(y, plan.Name, &plan.Ref, plan.ValueText, *plan.ValueCode))
          AssignValue(y, plan.Name, plan.ValueText, &plan.Ref, plan.ValueCode.get());
        break;
      case TBlockStep::kItem:
        if (!y.Args.Empty()) return Leave(run, s);
        if (!SetItem(y, s)) {
          if (run.Depth > 0 || run.Call) return Leave(run, s);
          y.Cur = s.Start;
          RunPlan(y, plan);
        }
        break;
      case TBlockStep::kIf:
        if (RunChain(run, s) == TOutcome::Left) return TOutcome::Left;
        break;
      case TBlockStep::kReturn: {
        THashNode* w = BuiltinCommand(y, s, cmdno::kReturn);
        if (!w) {
          if (RunOther(run, s) == TOutcome::Left) return TOutcome::Left;
          break;
        }
        // The blocks run in place end with the call, as 戻る ends their frames.
        run.Depth = 0;
        y.InlineFrames = 0;
        if (run.Call) {
          RunBuiltin(y, plan, *w, [&] { EndValueCallInPlace(y); });
          run.Call = nullptr;
          run.Returned = true;
        } else {
          RunBuiltin(y, plan, *w, [&] { ReturnFromCall(y); });
        }
        run.Ran = true;
        return TOutcome::Left;
      }
      case TBlockStep::kLocal:
        // The variable made stays known to the next step (JustMade).
        if (!RunLocal(run, s) && RunOther(run, s) == TOutcome::Left) return TOutcome::Left;
        break;
      case TBlockStep::kGetArg:
        if (!RunGetArg(y, s, made) && RunOther(run, s) == TOutcome::Left) return TOutcome::Left;
        break;
      case TBlockStep::kOther:
        if (RunOther(run, s) == TOutcome::Left) return TOutcome::Left;
        break;
    }
    y.StepSinceErrorJump = true;
    run.Ran = true;
  }
  return TOutcome::Ended;
}

// The next round of a counted loop whose body has just ended, as CheckRunControl starts it (the
// counter written as a number); false, with nothing done, where CheckRunControl has more to do
// (the last round, a counter word to look up again).
bool NextRound(TYumeBase& y) {
  TRunControl* f = y.Runs.Top();
  if (f->Counter >= f->Limit) return false;
  // The counter's value as SetNumberValue would keep it.
  const auto set = [](THashNode& w, int64_t n) {
    w.SetWholeValue(n);
    w.SetTypeText("e");
  };
  if (f->Kind == fkCount) {
    ++f->Counter;
    if (y.VarCount) set(*y.VarCount, f->Counter);
  } else if (f->Kind == fkFor && f->ItemGeneration == DictGeneration()) {
    ++f->Counter;
    set(*f->ItemWord, f->Counter);
  } else {
    return false;
  }
  y.Cur = f->Body.data();
  y.End = f->Body.data() + f->Body.size();
  return true;
}

}  // namespace

TCallRun RunCallInPlace(TYumeBase& y, const THashNode& label) {
  const TPositionUse use;
  const TBlock* body = BodyAt(y, y.Cur, y.End);
  if (!body) return TCallRun::NotRun;
  TRun run(y);
  run.Call = &label;
  y.InlineFrames = 1;  // the call's frame, counted while it is not pushed
  try {
    if (RunSteps(run, *body) == TOutcome::Left)
      return run.Returned ? TCallRun::Returned : TCallRun::Handed;
    // The end of the text: the call ends there, as the run loop ends its frame (a body that
    // stopped anywhere else goes on in the run loop).
    if (run.Depth == 0 && y.Cur && (y.Cur == y.End || *y.Cur == '\0')) {
      EndValueCallInPlace(y);
      run.Call = nullptr;
      y.InlineFrames = 0;
      return TCallRun::Returned;
    }
    run.Materialize();
    return TCallRun::Handed;
  } catch (...) {
    run.Materialize();
    throw;
  }
}

bool RunLoopBody(TYumeBase& y) {
  const TRunControl* top = y.Runs.Top();
  if (!top) return false;
  const char* start;
  const char* end;
  const bool loop = IsLoopKind(top->Kind);
  if (loop) {
    // A loop's body from its start.
    start = top->Body.data();
    end = start + top->Body.size();
    if (y.Cur != start || y.End != end) return false;
  } else if (top->Kind == fkCall && y.Cur == top->EndPos) {
    // A called label's body from its start, to the end of its text.
    start = y.Cur;
    end = y.End;
  } else {
    return false;
  }
  const TPositionUse use;
  const TBlock* body = BodyAt(y, start, end);
  if (!body) return false;
  const size_t level = y.Runs.Count();
  TRun run(y);
  try {
    for (;;) {
      if (RunSteps(run, *body) == TOutcome::Left) {
        // Nothing run: the statement is the run loop's from the start.
        return run.Ran;
      }
      // The end of the body: what the run loop does at the end of a text.
      if (!loop) return true;
      y.Cur = end;
      y.StepStart = nullptr;
      if (NextRound(y)) continue;
      CheckRunControl(y);
      if (y.Cur) y.End = y.ContextEnd();
      top = y.Runs.Top();
      if (y.Cur != start || y.End != end || y.Runs.Count() != level || !top ||
          !IsLoopKind(top->Kind) || top->Body.data() != start)
        return true;
    }
  } catch (...) {
    run.Materialize();
    throw;
  }
}

}  // namespace yume
