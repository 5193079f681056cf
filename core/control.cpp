// Blocks and frames: reading a block, ending a frame at the end of its body, calls and
// returns, leaving and continuing loops, jumps, local blocks and nested runs.
#include "core/control.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>

#include "core/app.h"
#include "core/bind.h"
#include "core/cmdlib.h"
#include "core/convhalf.h"
#include "core/error.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/plan.h"
#include "core/poscache.h"
#include "core/runseam.h"
#include "core/scanner.h"
#include "core/sjis.h"
#include "core/stackroom.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

bool IsBlockKind(uint8_t k) {
  return k == fkThen || k == fkElse || k == fkCase;
}

bool IsLoopKind(uint8_t k) {
  return k == fkFor || k == fkCount || k == fkList || k == fkWhile;
}

void SetCount(TYumeBase& y, int64_t n) {
  if (!y.VarCount) return;
  // Kept as a number: loops set it every round, and its text is written only when read.
  y.VarCount->SetNumberValue(static_cast<long double>(n));
  y.VarCount->SetTypeText("e");
}

// The for loop's counter variable; looked up again by name when the dictionary changed, so a
// deleted word is never written through.
THashNode* ForCounter(TYumeBase& y, TRunControl& f) {
  if (f.ItemGeneration != DictGeneration()) {
    f.ItemWord = y.Dict.FindScoped(f.Condition, false);
    f.ItemGeneration = DictGeneration();
    if (!f.ItemWord || f.ItemWord->Kind != wkVariable) {
      RaiseError(y, msg::kForCounter, {"繰り返す"});
    }
  }
  return f.ItemWord;
}

void RunBodyAgain(TYumeBase& y, const TRunControl& f) {
  y.Cur = f.Body.data();
  y.End = f.Body.data() + f.Body.size();
}

// A call or event frame ends: the source name of its caller comes back.
void RestoreSource(TYumeBase& y, TRunControl& f) {
  if (!f.SameSource) y.FileName = std::move(f.SourceName);
}

void CloseScope(TYumeBase& y) {
  if (y.Dict.ScopeCount() > 0) y.Dict.PopScope();
}

// Ends the top frame (see CheckRunControl).
void EndTopFrame(TYumeBase& y) {
  TRunControl* f = y.Runs.Top();
  if (!f) return;
  switch (f->Kind) {
    case fkThen:
    case fkElse:
    case fkCase: {
      const char* to = f->EndPos;
      y.Runs.Pop();
      y.SetCur(to);
      return;
    }
    case fkFor:
      if (f->Counter >= f->Limit) break;
      ++f->Counter;
      {
        THashNode* w = ForCounter(y, *f);
        w->SetNumberValue(static_cast<long double>(f->Counter));
        w->SetTypeText("e");
      }
      RunBodyAgain(y, *f);
      return;
    case fkCount:
      if (f->Counter >= f->Limit) break;
      ++f->Counter;
      SetCount(y, f->Counter);
      RunBodyAgain(y, *f);
      return;
    case fkList: {
      const std::string& text = *f->ItemText;
      auto pos = static_cast<size_t>(f->Limit);
      if (pos >= text.size()) break;
      SetSoreView(y, NextLine(text, pos));
      f->Limit = static_cast<int64_t>(pos);
      ++f->Counter;
      SetCount(y, f->Counter);
      RunBodyAgain(y, *f);
      return;
    }
    case fkWhile: {
      std::string v = EvaluateText(y, f->Condition);
      // The evaluation may have run anything; the frame is looked up again.
      f = y.Runs.Top();
      if (!f || f->Kind != fkWhile) return;
      if (!ConditionTrue(y, v, false)) break;
      ++f->Counter;
      SetCount(y, f->Counter);
      RunBodyAgain(y, *f);
      return;
    }
    case fkCall:
    case fkEvent: {
      const char* const to = f->ReturnPos;
      RestoreSource(y, *f);
      y.Runs.Pop();
      CloseScope(y);
      y.SetCur(to);
      return;
    }
    default:
      RaiseError(
          y, "特定できないシステムエラーです(ToT)\"CheckRunControl\"で未定義の構文があります。");
  }
  // A loop that has run its last round continues after its block.
  const char* to = f->EndPos;
  y.Runs.Pop();
  y.SetCur(to);
}

}  // namespace

TRunControl ReadBlock(TYumeBase& y) {
  std::string_view text = y.RunText();
  size_t pos = static_cast<size_t>(y.Cur - text.data());
  SkipSeparators(text, pos);
  const char c = CharAt(text, pos);
  if (c == '\r' || c == '\n') {
    ReadLineMarker(y, text, pos);
    SkipBlanks(text, pos);
  }
  TRunControl f;
  f.ReturnPos = text.data() + pos;
  f.SourceName = y.FileName;
  if (CharAt(text, pos) == '(') {
    f.Body = ReadParenthesized(y, text, pos);
    f.ReturnPos = f.Body.data();
  } else {
    const size_t start = pos;
    // The break and its line marker stay in the body; the body's run counts the line.
    auto skipMarker = [&](size_t, size_t& at) {
      while (at < text.size() &&
             (text[at] == '\r' || text[at] == '\n' || text[at] == ' ' || text[at] == '\t'))
        ++at;
      while (at < text.size() && IsDigitChar(text[at])) ++at;
      if (CharAt(text, at) == ':') ++at;
    };
    pos = ScanStatementRest(y, text, pos, JoinFn(skipMarker));
    f.Body = text.substr(start, pos - start);
  }
  f.EndPos = text.data() + pos;
  y.Cur = f.EndPos;
  return f;
}

void EnterBody(TYumeBase& y, TRunControl&& frame) {
  const char* start = frame.Body.data();
  const char* end = start + frame.Body.size();
  y.Runs.Push(std::move(frame));
  y.Cur = start;
  y.End = end;
}

void EnterBlock(TYumeBase& y, const TRunControl& block, TFrameKind kind, const char* endPos) {
  TRunControl& f = y.Runs.PushNew();
  f.Kind = kind;
  f.ReturnPos = block.ReturnPos;
  f.EndPos = endPos;
  f.Body = block.Body;
  f.BodyOwner = block.BodyOwner;
  y.Cur = f.Body.data();
  y.End = f.Body.data() + f.Body.size();
}

void ContinueAt(TYumeBase& y, const char* p) {
  y.SetCur(p);
}

void CheckRunControl(TYumeBase& y) {
  try {
    EndTopFrame(y);
  } catch (const std::exception& e) {
    LogError(y, e);
    // The frame that failed is given up, so that the run goes on after it rather than failing
    // at the same place again.
    TRunControl f;
    if (y.Runs.Pop(f)) {
      if (f.Kind == fkCall || f.Kind == fkEvent) {
        CloseScope(y);
        RestoreSource(y, f);
        y.SetCur(f.ReturnPos);
      } else {
        y.SetCur(f.EndPos);
      }
    }
    RaiseError(y, std::string("実行制御でエラー。") + e.what() + ".制御スタック：" +
                      std::to_string(y.Runs.Count()));
  }
}

// ---- calls ----

namespace {

// A label with an argument pattern takes the statement's arguments: bound to the pattern, then
// as many as the pattern has "?" taken from the bottom of the stack, evaluated, in order.
// How many arguments a label's pattern takes: one per "?".
size_t ArgumentMarks(std::string_view pattern) {
  size_t n = 0;
  for (char ch : pattern)
    if (ch == '?') ++n;
  return n;
}

// The number of slots of a pattern of bare "?" slots ("?", "?,?", ...) up to max; 0 for any other
// pattern.
size_t BareSlots(std::string_view pattern, size_t max) {
  size_t n = 0;
  for (size_t i = 0; i < pattern.size(); i += 2) {
    if (pattern[i] != '?' || (i + 1 < pattern.size() && pattern[i + 1] != ',')) return 0;
    ++n;
  }
  return pattern.size() % 2 == 1 && n <= max ? n : 0;
}

// A bound argument evaluated again, where it is (plain digits are their own value).
void EvaluateInPlace(TYumeBase& y, std::string& v) {
  if (IsPlainDigits(v))
    y.LastType = "e";
  else
    v = EvaluateText(y, v);
}

// An empty list for a call's arguments. The list is built apart (evaluating may run another call
// that sets its own arguments), in the storage of the list before last, so that calls do not
// allocate; SetFuncArgs makes it the current one.
std::vector<TFuncArg> NewArgList(TYumeBase& y) {
  std::vector<TFuncArg> values = std::move(y.SpareFuncArgs);
  values.clear();
  return values;
}

void SetFuncArgs(TYumeBase& y, std::vector<TFuncArg>&& values) {
  y.SpareFuncArgs = std::move(y.FuncArgs);
  y.FuncArgs = std::move(values);
  y.HasFuncArgs = true;
}

void BindFunctionArgs(TYumeBase& y, THashNode& label) {
  if (label.Pattern.empty()) return;
  BindArguments(y, label);
  const size_t n = ArgumentMarks(label.Pattern);
  std::vector<TFuncArg> values = NewArgList(y);
  for (size_t i = 0; i < n && !y.Args.Empty(); ++i) {
    values.emplace_back(y.Args.TakeFront());
    EvaluateInPlace(y, values.back().MutableText());
  }
  SetFuncArgs(y, std::move(values));
}

// A whole number whose text is plain digits (evaluated again, it is itself).
bool PlainWhole(long double n) {
  return n >= 0 && n < 1e15L && !std::signbit(n) && n == std::trunc(n);
}

// A call with parentheses to a label whose slots are all "?" arguments, on an empty stack:
// what PushArguments and BindFunctionArgs would leave, worked out without the stack (each value
// pushed, bound in order, taken and evaluated again). False (nothing evaluated) for any other
// call, which then goes the long way.
// Not inline: its room is not kept on the stack through the call it binds for.
[[gnu::noinline]] bool BindCallArgs(TYumeBase& y, THashNode& label, std::string_view args) {
  if (!y.Args.Empty() || label.Pattern.empty()) return false;
  // The slots' particles, made only as far as the pattern has slots: clearing all eight on
  // every call costs more than the rest of binding a bare "?".
  constexpr size_t kMaxSlots = 8;
  alignas(std::string_view) unsigned char slotRoom[kMaxSlots * sizeof(std::string_view)];
  auto* const slots = reinterpret_cast<std::string_view*>(slotRoom);
  size_t n = BareSlots(label.Pattern, kMaxSlots);
  if (n == 0) {
    std::uninitialized_default_construct_n(slots, kMaxSlots);
    n = PatternSlotViews(label.Pattern, slots, kMaxSlots);
    if (n == 0 || n > kMaxSlots || ArgumentMarks(label.Pattern) != n) return false;
  } else {
    std::uninitialized_default_construct_n(slots, n);
  }
  const TPositionUse use;
  const TArgSplit* split = ArgSplitFor(y, args);
  if (!split || split->Args.size() != n) return false;
  // How each value is evaluated again once bound: read from the argument's own text (a word or
  // literal pushed as written), its own value already (plain digits, a whole number that would
  // be written as such; a text that its backquotes would only give back), or evaluated from the
  // pushed form.
  enum TAgain : uint8_t { kOwnText, kDigits, kText, kPushed };
  TAgain again[8];
  // Plain digits never end with a slot's particle unless it ends in a digit itself: bound there,
  // a number is its own value, as in a bare "?".
  const auto numberSlot = [slots](size_t k) {
    return slots[k].empty() || !IsDigitChar(slots[k].back());
  };
  std::vector<TFuncArg> values = NewArgList(y);
  for (size_t k = 0; k < n; ++k) {
    const TArgSplit::TArg& a = split->Args[k];
    if (a.AsWritten) {
      values.emplace_back(std::string(a.Text));
      again[k] = kOwnText;
      continue;
    }
    if (IsPlainDigits(a.Text)) {
      values.emplace_back(std::string(a.Text));
      y.LastType = "e";
      again[k] = kDigits;
      continue;
    }
    if (int64_t whole; numberSlot(k) && EvaluateWhole(y, a.Code.get(), whole) && whole >= 0 &&
                       whole < THashNode::kWholeLimit) {
      values.push_back(TFuncArg::Whole(whole));
      again[k] = kDigits;
      continue;
    }
    long double number = 0;
    bool isNumber = false;
    std::string v = EvaluateSplit(y, a.Text, a.Code.get(), number, isNumber);
    if (isNumber) {
      if (PlainWhole(number) && numberSlot(k)) {
        values.push_back(TFuncArg::Whole(static_cast<int64_t>(number)));
        again[k] = kDigits;
        continue;
      }
      v = FormatNumber(number);
    }
    const bool text = !isNumber && (y.LastType == "s" || y.LastType == "hs");
    if (text && slots[k].empty() && v.find_first_of("`\r\n") == std::string::npos) {
      again[k] = kText;
    } else if (text) {
      v = QuoteBackquote(v);
      again[k] = kPushed;
    } else {
      again[k] = IsPlainDigits(v) ? kDigits : kPushed;
    }
    values.emplace_back(std::move(v));
  }
  y.OmittedFilled = false;
  // The usual arguments (whole numbers, plain texts) are their own values again: only the last
  // one's type is left.
  bool evaluated = false;
  for (size_t k = 0; k < n && !evaluated; ++k)
    evaluated = again[k] != kText && !(again[k] == kDigits && numberSlot(k));
  if (!evaluated) {
    y.LastType = again[n - 1] == kText ? "s" : "e";
    SetFuncArgs(y, std::move(values));
    return true;
  }
  ParticleFreeScope pf(y);
  for (size_t k = 0; k < n; ++k) {
    if (again[k] == kText) {
      y.LastType = "s";
      continue;
    }
    if (again[k] == kDigits && numberSlot(k)) {
      y.LastType = "e";
      continue;
    }
    std::string& v = values[k].MutableText();
    size_t len = 0;
    if (ParticleMatches(v, slots[k], &len)) v.resize(v.size() - len);
    if (again[k] == kOwnText && len == 0) {
      long double number = 0;
      bool isNumber = false;
      std::string e =
          EvaluateSplit(y, split->Args[k].Text, split->Args[k].Code.get(), number, isNumber);
      v = isNumber ? FormatNumber(number) : std::move(e);
    } else {
      EvaluateInPlace(y, v);
    }
  }
  SetFuncArgs(y, std::move(values));
  return true;
}

void PushFrameOnly(TYumeBase& y, const THashNode& label, const char* returnPos, bool sameFile) {
  TRunControl& f = y.Runs.PushNew();
  f.Kind = fkCall;
  f.ReturnPos = returnPos;
  f.EndPos = label.RefPos;
  // The caller's source name is given back when the call ends; a call within the same source
  // leaves it where it is.
  if (sameFile) {
    f.SameSource = true;
  } else {
    f.SourceName = std::move(y.FileName);
    y.FileName = label.TypeText;
  }
}

// The call's scope, and the position at the body's start: it runs to the end of its text (what
// SetCur works out under a call's frame).
void OpenCallBody(TYumeBase& y, const THashNode& label) {
  y.Dict.PushScope();
  y.Cur = label.RefPos;
  const std::string_view text = y.TextOf(y.Cur);
  y.End = text.data() + text.size();
}

void PushCallFrame(TYumeBase& y, THashNode& label, const char* returnPos, bool sameFile) {
  if (!label.RefPos) RaiseError(y, msg::kNoSuchLabel, {label.Name});
  PushFrameOnly(y, label, returnPos, sameFile);
  OpenCallBody(y, label);
}

// The nested run of a value call to a label of the same source: its body run in place as far
// as it goes (RunCallInPlace), the run loop taking over from there; the run loop's own first
// step, under the call's frame, when the body is not read yet.
void RunValueCall(TYumeBase& y, THashNode& label) {
  OpenCallBody(y, label);
  y.App->RunFirstStep([&] {
    switch (RunCallInPlace(y, label)) {
      case TCallRun::Returned:
        return true;
      case TCallRun::Handed:
        return false;
      case TCallRun::NotRun:
        break;
    }
    PushFrameOnly(y, label, nullptr, true);
    return RunLoopBody(y) && !y.Cur;
  });
}

}  // namespace

void EnterValueCallFrame(TYumeBase& y, const THashNode& label) {
  PushFrameOnly(y, label, nullptr, true);
}

void EndValueCallInPlace(TYumeBase& y) {
  CloseScope(y);
  y.Cur = nullptr;
  y.End = nullptr;
}

void CallLabel(TYumeBase& y, THashNode& label, bool bindArgs) {
  if (bindArgs) BindFunctionArgs(y, label);
  PushCallFrame(y, label, y.Cur, y.FileName == label.TypeText);
}

void RunNested(TYumeBase& y) {
  if (y.App) {
    y.App->RunProgram(true);
    return;
  }
  // Without an application (engine tests) a bare loop does the same walk.
  while (y.Cur && !y.StopRun) {
    if (y.Cur == y.End || *y.Cur == '\0') {
      if (y.Runs.Count() == 0) break;
      CheckRunControl(y);
      continue;
    }
    ExecuteStatement(y);
  }
}

std::string LabelValue(TYumeBase& y, THashNode& label, std::string_view args, bool hasArgs,
                       bool acceptWhole) {
  // A label that calls itself as a value without end nests the interpreter itself.
  if (StackNearlyFull()) RaiseError(y, msg::kRunaway);
  THashNode::TSetAside savedSore;
  std::string savedType;
  if (y.VarSore) {
    // Taken out rather than copied: それ starts empty for the call and is put back afterwards.
    y.VarSore->SetAside(savedSore);
    savedType = y.VarSore->TypeText;
  }
  const char* savedCur = y.Cur;
  const char* savedEnd = y.End;
  // The source name to put back: the label's own when the call stays in the same source (the
  // usual case, no copy needed).
  const bool sameFile = y.FileName == label.TypeText;
  std::string savedFile;
  if (!sameFile) savedFile = y.FileName;
  const size_t scopes = y.Dict.ScopeCount();
  // The statement's phrases below are set aside: the call binds only its own arguments.
  y.Args.SetAside();
  y.Runs.PushLevel();
  // The blocks a body read once runs in place belong to the level set aside.
  const int inlineFrames = y.InlineFrames;
  y.InlineFrames = 0;
  auto restore = [&] {
    y.InlineFrames = inlineFrames;
    y.Runs.PopLevel();
    while (y.Dict.ScopeCount() > scopes) y.Dict.PopScope();
    y.Args.Clear();
    y.Args.PutBack();
    y.Cur = savedCur;
    y.End = savedEnd;
    const std::string& name = sameFile ? label.TypeText : savedFile;
    if (y.FileName != name) y.FileName = name;
  };
  std::string value;
  const char* lastType = "s";  // what the call's それ was: a number, a dictionary's pairs or text
  int64_t whole = 0;
  bool gaveWhole = acceptWhole && y.VarSore;
  try {
    if (!hasArgs || !BindCallArgs(y, label, args)) {
      if (hasArgs && !TrimBlanks(args).empty()) PushArguments(y, args);
      ParticleFreeScope pf(y);
      BindFunctionArgs(y, label);
    }
    // The call returns to no position: its 戻る (or the end of its text) ends the nested run.
    if (y.App && sameFile && label.RefPos && y.Plans && !y.StopRun && y.App->StepsDirectly()) {
      RunValueCall(y, label);
    } else {
      PushCallFrame(y, label, nullptr, sameFile);
      if (y.App)
        y.App->RunCallBody();
      else
        RunNested(y);
    }
    if (y.VarSore) {
      if (!acceptWhole || !y.VarSore->KeptWhole(whole)) {
        gaveWhole = false;
        value = std::move(y.VarSore->MutableValue());
      }
      const std::string& type = y.VarSore->TypeText;
      if (type.size() == 1 && type[0] == 'e')
        lastType = "e";
      else if (type == "hs")
        lastType = "hs";
    }
  } catch (...) {
    restore();
    if (y.VarSore) {
      y.VarSore->PutBack(std::move(savedSore));
      y.VarSore->TypeText = std::move(savedType);
    }
    throw;
  }
  restore();
  if (y.VarSore) {
    y.VarSore->PutBack(std::move(savedSore));
    y.VarSore->SetTypeText(savedType);
  }
  y.LastType = lastType;
  if (gaveWhole) {
    y.GaveWhole = true;
    y.GivenWhole = whole;
  }
  return value;
}

THashNode* AddLocalVariable(TYumeBase& y, std::string_view name) {
  return y.Dict.AddLocalVariable(name, y.WordLevel() - 1);
}

void GetFuncArg(TYumeBase& y, THashNode& target, long double n) {
  const bool within = n >= 1 && n <= static_cast<long double>(y.FuncArgs.size());
  GetFuncArgAt(y, target, within ? static_cast<size_t>(n) : 0);
}

void GetFuncArgAt(TYumeBase& y, THashNode& target, size_t slot) {
  if (slot >= 1 && slot <= y.FuncArgs.size()) {
    const TFuncArg& a = y.FuncArgs[slot - 1];
    int64_t whole;
    if (a.KeptWhole(whole))
      target.SetWholeValue(whole);  // the same text, written when read
    else
      target.SetValueText(std::string_view(a.Text()));
  } else {
    target.SetValueText(std::string_view());
  }
  target.SetTypeText("s");
}

void ReturnFromCall(TYumeBase& y) {
  if (y.Runs.Count() == 0) {
    // Nothing to return to: the run stops quietly. The source name stays, so that errors of
    // event labels run later still name their file.
    y.Cur = nullptr;
    return;
  }
  // The frames are ended where they stand (a call's frame is large: no copies).
  while (TRunControl* f = y.Runs.Top()) {
    // A local block left on the way closes its own scope.
    if (f->Kind == fkLocal) CloseScope(y);
    if (f->Kind == fkCall || f->Kind == fkEvent) {
      CloseScope(y);
      RestoreSource(y, *f);
      const char* const to = f->ReturnPos;
      y.Runs.Pop();
      y.SetCur(to);
      return;
    }
    y.Runs.Pop();
  }
  RaiseError(y, "「戻る」べき場所がありません。");
}

void BreakLoop(TYumeBase& y) {
  TRunControl f;
  while (y.Runs.Pop(f)) {
    if (IsBlockKind(f.Kind)) continue;
    if (IsLoopKind(f.Kind)) {
      y.SetCur(f.EndPos);
    } else if (f.Kind == fkCall || f.Kind == fkEvent) {
      CloseScope(y);
      RestoreSource(y, f);
      y.SetCur(f.ReturnPos);
    } else if (f.Kind == fkLocal) {
      CloseScope(y);
      y.SetCur(f.EndPos);
    }
    return;
  }
}

void ContinueLoop(TYumeBase& y) {
  if (y.Runs.Count() == 0) {
    y.Cur = nullptr;
    return;
  }
  TRunControl f;
  while (y.Runs.Pop(f)) {
    // Local blocks inside the loop are left too (their scopes closed): the next round starts
    // outside them.
    if (f.Kind == fkLocal) {
      CloseScope(y);
      continue;
    }
    if (!IsBlockKind(f.Kind)) break;
  }
  if (f.Kind == fkLocal) {
    // Nothing but blocks and local blocks: execution stops, as with no frames at all.
    y.Cur = nullptr;
    return;
  }
  y.FileName = f.SourceName;
  y.Runs.Push(std::move(f));
  CheckRunControl(y);
}

void JumpToLabel(TYumeBase& y, const std::string& label) {
  const std::string needle = "*" + label + "\r";
  while (TRunControl* top = y.Runs.Top()) {
    if (!IsBlockKind(top->Kind) && !IsLoopKind(top->Kind)) break;  // no body: jump globally
    const size_t at = FindAligned(top->Body, needle);
    if (at != std::string_view::npos) {
      y.Cur = top->Body.data() + at;
      y.End = top->Body.data() + top->Body.size();
      return;
    }
    y.Runs.Pop();
  }
  THashNode* w = y.Dict.FindScoped(label, false);
  if (!w || w->Kind != wkLabel || !w->RefPos) {
    RaiseError(y, msg::kJumpToUndefined, {label});
  }
  y.FileName = w->TypeText;
  y.SetCur(w->RefPos);
}

void BeginLocalBlock(TYumeBase& y) {
  static const std::string_view kBegin = "ここから";
  static const std::string_view kEnd = "ここまで";
  std::string_view text = y.RunText();
  size_t pos = static_cast<size_t>(y.Cur - text.data());
  int depth = 0;
  size_t endPos = std::string_view::npos;
  while (pos < text.size()) {
    if (AtStringLiteral(text, pos)) {
      const size_t next = SkipStringLiteral(text, pos);
      if (next == std::string_view::npos) break;
      pos = next;
      continue;
    }
    if (text.compare(pos, kBegin.size(), kBegin) == 0) {
      ++depth;
      pos += kBegin.size();
      continue;
    }
    if (text.compare(pos, kEnd.size(), kEnd) == 0) {
      pos += kEnd.size();
      if (depth-- == 0) {
        endPos = pos;
        break;
      }
      continue;
    }
    pos += CharLen(text, pos);
  }
  if (endPos == std::string_view::npos) {
    RaiseError(y, "『ここまで』がないか、『ここから』と対応していません。");
  }
  TRunControl f;
  f.Kind = fkLocal;
  f.ReturnPos = y.Cur;
  f.EndPos = text.data() + endPos;
  f.SourceName = y.FileName;
  y.Runs.Push(std::move(f));
  y.Dict.PushScope();
}

void EndLocalBlock(TYumeBase& y) {
  TRunControl f;
  if (!y.Runs.Pop(f)) return;
  if (f.Kind != fkLocal) {
    RaiseError(y, "『ここから』と『ここまで』がうまく対応していません。");
  }
  CloseScope(y);
  y.End = y.ContextEnd();
}

std::string LabelNameAsWritten(TYumeBase& y, const std::string& raw) {
  std::string_view t = TrimBlanks(raw);
  if (!t.empty() && (t.front() == '"' || t.front() == '`' || t.front() == '@')) {
    return TConvToHalf::Instance().ConvertText(EvaluateText(y, t));
  }
  return std::string(t);
}

}  // namespace yume
