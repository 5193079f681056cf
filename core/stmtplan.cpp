#include <memory>
#include <string>
#include <vector>

#include "core/assign.h"
#include "core/bind.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/plan.h"
#include "core/poscache.h"
#include "core/scanner.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// A literal whose value depends on nothing but its text: as written ("`…`"), or quoted with
// no insertion ("{…}", "｛…｝") in it; escapes are the same every time.
bool ConstantLiteral(std::string_view lit) {
  if (lit.empty()) return false;
  if (lit[0] == '`') return true;
  if (lit[0] != '"') return false;
  for (size_t i = 0; i < lit.size(); i += CharLen(lit, i)) {
    const std::string_view ch = lit.substr(i, CharLen(lit, i));
    if (ch == "{" || ch == "}" || ch == "｛" || ch == "｝") return false;
  }
  return true;
}

}  // namespace

TStmtPlan MakePlan(const TYumeBase& y, std::string_view text, size_t pos) {
  TStmtPlan plan;
  auto assignment = [&](std::string name, size_t from) {
    SkipSeparators(text, from);
    const size_t end = PlainStatementRest(text, from);
    if (end == std::string_view::npos) return false;
    plan.Kind = TStmtPlan::kAssign;
    plan.Name = std::move(name);
    plan.ValueText = text.substr(from, end - from);
    plan.Ref.Prepare(plan.Name, false);
    plan.PlainAssign = PlainAssignment(plan.Name, plan.ValueText);
    plan.ValueCode = SplitExpression(plan.ValueText);
    plan.StepPos = text.data() + end;
    return true;
  };
  for (;;) {
    SkipSeparators(text, pos);
    const char c = CharAt(text, pos);
    if (c == '\0' || c == ';') {
      plan.StepPos = text.data() + pos + (c == ';' ? 1 : 0);
      break;
    }
    if (c == '\r' || c == '\n') {
      if (pos > 0 && text[pos - 1] == ',') return {};  // the statement goes on
      plan.StepPos = text.data() + pos;
      plan.LineBreak = true;
      plan.LineAfter = ScanLineMarker(text, pos);
      plan.AfterPos = text.data() + pos;
      break;
    }
    std::string phrase;
    bool wordPhrase = false;
    if (AtStringLiteral(text, pos)) {
      // A literal phrase: its value is made when the statement runs. A "&" after it, or a
      // particle that makes it an assignment, a count or a call, is the text's to read.
      const size_t end = SkipStringLiteral(text, pos);
      if (end == std::string_view::npos) return {};
      const std::string_view lit = text.substr(pos, end - pos);
      pos = end;
      SkipBlanks(text, pos);
      if (CharAt(text, pos) == '&') return {};
      const std::string_view particle = ReadWord(text, pos);
      size_t next = pos;
      SkipSeparators(text, next);
      const char n = CharAt(text, next);
      if (n == '=' || n == '&') return {};
      if (!EndsWith(particle, "の") && (EndsWith(particle, "は") || EndsWith(particle, "回") ||
                                        EndsWith(particle, "の時") || EndsWith(particle, "て")))
        return {};
      TStmtPlan::TLiteral entry;
      entry.Index = plan.Phrases.size();
      entry.Text = lit;
      entry.Particle = particle;
      entry.Constant = ConstantLiteral(lit);
      plan.Literals.push_back(std::move(entry));
      plan.Phrases.emplace_back();
      continue;
    }
    if (c == '#' && plan.Phrases.size() == 1 && plan.Literals.empty() &&
        plan.ElementIndexes.empty() && CharAt(text, pos + 1) == '(') {
      // "Name#(i)は、…" (or "#(i)#(j)"): an assignment to an element whose indexes are
      // calculations in parentheses; any other form is read from the text.
      for (;;) {
        ++pos;  // "#"
        const size_t end = SkipParenthesized(text, pos);
        if (end == std::string_view::npos) return {};
        plan.ElementIndexes.push_back(text.substr(pos + 1, end - pos - 2));
        pos = end;
        size_t q = pos;
        SkipBlanks(text, q);
        if (plan.ElementIndexes.size() == 2 || CharAt(text, q) != '#') break;
        pos = q;
        if (CharAt(text, pos + 1) != '(') return {};
      }
      if (IsDelimiter(CharAt(text, pos))) return {};
      const std::string_view particle = ReadWord(text, pos);
      if (particle != "は") return {};
      size_t next = pos;
      SkipSeparators(text, next);
      if (CharAt(text, next) == '=' || CharAt(text, next) == '&') return {};
      std::string base = std::move(plan.Phrases.back());
      plan.Phrases.clear();
      if (!assignment(std::move(base), next)) return {};
      plan.PlainAssign = false;
      return plan;
    }
    if (IsDigitChar(c)) {
      phrase = ReadNumber(text, pos);
      SkipBlanks(text, pos);
      if (IsOperatorChar(CharAt(text, pos))) return {};
      const char n = CharAt(text, pos);
      if (n != '\r' && n != '\n' && n != ',' && n != ';' && n != '\xA4')
        phrase += ReadWord(text, pos);
    } else {
      if (c == '*' || c == '\\' || c == '?' || c == '$' || c == '+' || c == '-' || c == '(' ||
          c == '#' || AtStringLiteral(text, pos))
        return {};
      const std::string_view word = ReadWord(text, pos);
      if (word.empty() || (y.WordSoshite && word == y.WordSoshite->Name)) return {};
      phrase.assign(word);
      wordPhrase = true;
    }
    const size_t after = pos;
    size_t next = pos;
    SkipSeparators(text, next);
    const char n = CharAt(text, next);
    if (n == '=') {
      if (!assignment(std::move(phrase), next + 1)) return {};
      return plan;
    }
    if (n == '&') return {};
    if (!EndsWith(phrase, "の")) {
      if (EndsWith(phrase, "は")) {
        phrase.resize(phrase.size() - 2);
        if (!assignment(std::move(phrase), next)) return {};
        return plan;
      }
      if (EndsWith(phrase, "回") || EndsWith(phrase, "の時") || EndsWith(phrase, "て")) return {};
      // もし and the loop words run at once, the position right after them.
      if (RunsStatementAtOnce(y, phrase)) {
        plan.Phrases.push_back(std::move(phrase));
        plan.StepPos = text.data() + after;
        break;
      }
      if (wordPhrase && n == '(') return {};
    }
    plan.Phrases.push_back(std::move(phrase));
    pos = after;
  }
  plan.Kind = TStmtPlan::kCommand;
  // A literal in the command word's place is the text's to read.
  if (!plan.Literals.empty() && plan.Literals.back().Index + 1 == plan.Phrases.size()) return {};
  if (!plan.Phrases.empty()) {
    plan.Name = std::move(plan.Phrases.back());
    plan.Phrases.pop_back();
    plan.NamePopped = true;
    plan.Ref.Prepare(plan.Name);
  }
  return plan;
}

namespace {

// Plans of the texts alive now, by position and the end of the text the position runs in.
TPositionCache<const TStmtPlan> plans;

// The plan run last; alive, and still the reading of its text, while neither the cache's epoch
// nor the texts' generation has changed since it was found.
struct TLastPlan {
  const TStmtPlan* Plan = nullptr;
  uint64_t Epoch = 0;
  uint64_t Generation = 0;
  bool Valid(const TYumeBase& y) const {
    return Plan && Epoch == plans.Epoch() && Generation == y.TextsGeneration;
  }
} lastPlan;

const TStmtPlan* PlanAt(TYumeBase& y) {
  const TStmtPlan* last = lastPlan.Valid(y) ? lastPlan.Plan : nullptr;
  if (last && last->NextCur == y.Cur && last->NextEnd == y.End) return last->Next;
  const TStmtPlan* plan =
      plans.Get(y.TextsGeneration, y.Cur, reinterpret_cast<uintptr_t>(y.End),
                [&]() -> std::unique_ptr<const TStmtPlan> {
                  // Only positions inside a registered text (alive and unchanged) are read.
                  if (!y.InRegisteredText(y.Cur)) return nullptr;
                  const std::string_view text = y.RunText();
                  return std::make_unique<const TStmtPlan>(MakePlan(y, text, y.Cur - text.data()));
                });
  // Kept only when the lookup left the cache as it was (a first reading may have forgotten it).
  if (plan && last && lastPlan.Valid(y)) {
    last->Next = plan;
    last->NextCur = y.Cur;
    last->NextEnd = y.End;
  }
  return plan;
}

}  // namespace

// Every literal phrase of the plan the same each time, and made already (then it stands as made).
static bool LiteralsMade(const TStmtPlan& plan) {
  for (const TStmtPlan::TLiteral& lit : plan.Literals)
    if (!lit.Constant || !lit.HaveMade) return false;
  return true;
}

bool BindOnce(const TStmtPlan& plan, const THashNode& w) {
  // Phrases made as the statement runs are never bound; constant ones are, once made (not
  // remembered as refused before: they are made on the first run).
  if (!LiteralsMade(plan)) return false;
  if (plan.BindTried == &w && plan.BoundPattern == w.Pattern) return plan.BoundWord == &w;
  plan.BindTried = &w;
  plan.BoundWord = nullptr;
  plan.BoundPattern = w.Pattern;
  plan.Bound.clear();
  const std::vector<std::string> slots = PatternParticles(w.Pattern);
  if (slots.size() != plan.Phrases.size()) return false;
  auto lit = plan.Literals.begin();
  for (size_t k = 0; k < slots.size(); ++k) {
    const bool made = lit != plan.Literals.end() && lit->Index == k;
    const std::string& phrase = made ? (lit++)->Made : plan.Phrases[k];
    size_t len = 0;
    if (!ParticleMatches(phrase, slots[k], &len)) {
      plan.Bound.clear();
      return false;
    }
    plan.Bound.push_back(phrase.substr(0, phrase.size() - len));
  }
  plan.BoundRefs.assign(plan.Bound.size(), TNameRef());
  for (size_t k = 0; k < plan.Bound.size(); ++k) plan.BoundRefs[k].Prepare(plan.Bound[k], false);
  plan.BoundWord = &w;
  return true;
}

// The plan's phrases onto the stack, each literal worked out where it stands. False when the run
// was stopped while one was worked out (the error dialog's end, a call that ended the program):
// the statement goes no further, as the run loop would stop before its next step.
bool PushPhrases(TYumeBase& y, const TStmtPlan& plan) {
  auto lit = plan.Literals.begin();
  for (size_t k = 0; k < plan.Phrases.size(); ++k) {
    if (lit != plan.Literals.end() && lit->Index == k) {
      if (lit->HaveMade) {
        y.LastType = "s";
        y.Args.Push(lit->Made);
      } else {
        std::string phrase = QuoteBackquote(EvaluateText(y, lit->Text));
        phrase += lit->Particle;
        if (lit->Constant) {
          lit->Made = phrase;
          lit->HaveMade = true;
        }
        y.Args.Push(std::move(phrase));
        if (y.StopRun) return false;
      }
      ++lit;
    } else {
      y.Args.Push(plan.Phrases[k]);
    }
  }
  return true;
}

namespace {

void RunCommand(TYumeBase& y, const TStmtPlan& plan, bool pushed) {
  if (!plan.NamePopped) {
    EndOfStatement(y);
    return;
  }
  THashNode* w = y.Dict.FindRemembered(plan.Name, plan.Ref);
  if (!pushed) {
    // A command whose phrases were bound before: the binding is pushed as it was made.
    if (w && w->Kind == wkCommand && BindOnce(plan, *w)) {
      for (const std::string& a : plan.Bound) y.Args.Push(a);
      y.OmittedFilled = false;
      // Offered to the command's argument view only; gone once the command returns.
      struct TOffer {
        TYumeBase& y;
        ~TOffer() {
          y.BoundRefs = nullptr;
          y.BoundNames = nullptr;
        }
      } offer{y};
      y.BoundRefs = &plan.BoundRefs;
      y.BoundNames = &plan.Bound;
      CallBoundCommand(y, *w, plan.Bound.size());
      if (!y.Args.Empty()) RaiseArgsLeft(y, *w);
      return;
    }
    if (!PushPhrases(y, plan)) return;
  }
  RunNamedWord(y, plan.Name, w);
}

}  // namespace

bool RunPlannedStatement(TYumeBase& y) {
  const TPositionUse use;
  const TStmtPlan* found = PlanAt(y);
  if (!found) return false;
  lastPlan = TLastPlan{found, plans.Epoch(), y.TextsGeneration};
  if (found->Kind == TStmtPlan::kRead) return false;
  RunPlan(y, *found);
  return true;
}

void RunPlan(TYumeBase& y, const TStmtPlan& plan) {
  // Phrases go on the stack now, unless a command can take them bound (see RunCommand): only
  // when they are its only arguments and particles are needed.
  const bool pushed = plan.Kind == TStmtPlan::kAssign || !y.Args.Empty() || y.ParticleFree ||
                      !plan.NamePopped || !LiteralsMade(plan);
  if (pushed && !PushPhrases(y, plan)) return;
  y.Cur = plan.StepPos;
  if (plan.Kind == TStmtPlan::kAssign) {
    if (!plan.ElementIndexes.empty()) {
      // As the executor reads "Name#(i)": the word made (for all levels) when missing, the
      // indexes worked out into the element's name, then the value assigned to it.
      if (!y.Dict.FindScoped(plan.Name, false))
        y.Dict.Add(THashNode::MakeVariable(plan.Name, false, -1, ""));
      std::string name = plan.Name;
      for (std::string_view index : plan.ElementIndexes) {
        name += '#';
        name += EvaluateText(y, index);
      }
      AssignValue(y, name, plan.ValueText, nullptr, plan.ValueCode.get());
      return;
    }
    if (plan.PlainAssign)
      AssignPlain(y, plan.Name, plan.ValueText, plan.Ref, plan.ValueCode.get());
    else
      AssignValue(y, plan.Name, plan.ValueText, &plan.Ref, plan.ValueCode.get());
    return;
  }
  if (!plan.LineBreak) {
    RunCommand(y, plan, pushed);
    return;
  }
  // As at any line break: the marker is read first, the command runs with the position still
  // on its own line (so an error names it), then the step goes on after the marker.
  if (plan.LineAfter != kNoLineMarker) y.Line = plan.LineAfter;
  const char* const atBreak = y.Cur;
  try {
    RunCommand(y, plan, pushed);
  } catch (...) {
    if (y.Cur == atBreak) y.Cur = plan.AfterPos;
    throw;
  }
  if (y.Cur == atBreak) y.Cur = plan.AfterPos;
}

}  // namespace yume
