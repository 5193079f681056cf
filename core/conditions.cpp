// Conditions: もし chains, the "?" form, case lines, and the count loop the executor hands over.
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/control.h"
#include "core/error.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/number.h"
#include "core/plan.h"
#include "core/poscache.h"
#include "core/scanner.h"
#include "core/sjis.h"
#include "core/term.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

constexpr std::string_view kNaraba = "ならば";
constexpr std::string_view kNara = "なら";
constexpr std::string_view kChigaeba = "違えば";
constexpr std::string_view kDenakereba = "でなければ";
constexpr std::string_view kMoshi = "もし";
const char kNestedIf[] = "を多重構造にするときは、()で範囲を括ってください。";
const char kCaseEndUnknown[] = "条件分岐の終端文字を認識できませんでした。";

bool StartsAt(std::string_view text, size_t pos, std::string_view word) {
  return text.compare(pos, word.size(), word) == 0;
}

// The keyword of a condition at pos, compared in the order ならば, なら, 違えば, でなければ;
// empty when none stands there.
std::string_view KeywordAt(std::string_view text, size_t pos) {
  for (std::string_view k : {kNaraba, kNara, kChigaeba, kDenakereba})
    if (StartsAt(text, pos, k)) return k;
  return {};
}

bool IsElseWord(std::string_view k) {
  return k == kChigaeba || k == kDenakereba;
}

// Line breaks and their markers: each is read as the statement it is, so lines stay counted.
void SkipLineEnds(TYumeBase& y, std::string_view text, size_t& pos) {
  while (CharAt(text, pos) == '\r' || CharAt(text, pos) == '\n') ReadLineMarker(y, text, pos);
}

void SetCursor(TYumeBase& y, std::string_view text, size_t pos) {
  y.Cur = text.data() + pos;
}

size_t CursorPos(TYumeBase& y, std::string_view text) {
  return static_cast<size_t>(y.Cur - text.data());
}

bool IsConditionSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\xA4';
}

// After a then-block: an else part may follow past blanks, one ";" and line ends. Reads it when
// it is there; otherwise nothing is consumed.
bool ReadOptionalElse(TYumeBase& y, TRunControl& elseBlock) {
  std::string_view text = y.RunText();
  size_t pos = CursorPos(y, text);
  SkipSeparators(text, pos);
  if (CharAt(text, pos) == ';') ++pos;
  size_t look = pos;
  while (look < text.size() &&
         (text[look] == '\r' || text[look] == '\n' || IsSeparator(text[look]) ||
          IsDigitChar(text[look]) || text[look] == ':'))
    ++look;
  const std::string_view k = KeywordAt(text, look);
  if (!IsElseWord(k)) return false;
  SkipLineEnds(y, text, pos);
  SkipSeparators(text, pos);
  pos += KeywordAt(text, pos).size();
  SkipSeparators(text, pos);
  if (StartsAt(text, pos, kMoshi)) {
    SetCursor(y, text, pos);
    RaiseError(y, std::string(kMoshi) + kNestedIf);
  }
  SetCursor(y, text, pos);
  elseBlock = ReadBlock(y);
  return true;
}

}  // namespace

std::string ConvertCondition(std::string_view cond) {
  std::vector<std::string_view> tokens;
  size_t pos = 0;
  while (pos < cond.size()) {
    while (pos < cond.size() && IsConditionSeparator(cond[pos])) ++pos;
    if (pos >= cond.size()) break;
    const size_t start = pos;
    while (pos < cond.size() && !IsConditionSeparator(cond[pos])) {
      if (AtStringLiteral(cond, pos)) {
        const size_t next = SkipStringLiteral(cond, pos);
        pos = next == std::string_view::npos ? cond.size() : next;
        continue;
      }
      if (cond[pos] == '(') {
        const size_t next = SkipParenthesized(cond, pos);
        pos = next == std::string_view::npos ? cond.size() : next;
        continue;
      }
      pos += CharLen(cond, pos);
    }
    tokens.push_back(cond.substr(start, pos - start));
  }

  static constexpr std::string_view kAnd = "かつ", kOr = "または", kGa = "が";
  static constexpr std::string_view kAtLeast = "以上", kAtMost = "以下", kEquals = "と等しい";
  std::string out;
  for (size_t i = 0; i < tokens.size(); ++i) {
    std::string_view t = tokens[i];
    if (StartsAt(t, 0, kAnd)) {
      out += " && ";
      out += t.substr(kAnd.size());
    } else if (StartsAt(t, 0, kOr)) {
      out += " || ";
      out += t.substr(kOr.size());
    } else if (EndsWith(t, kGa)) {
      out += t.substr(0, t.size() - kGa.size());
      std::string_view right = i + 1 < tokens.size() ? tokens[++i] : std::string_view();
      if (EndsWith(right, kAtLeast)) {
        out += ">=";
        right.remove_suffix(kAtLeast.size());
      } else if (EndsWith(right, kAtMost)) {
        out += "<=";
        right.remove_suffix(kAtMost.size());
      } else if (EndsWith(right, kEquals)) {
        out += "=";
        right.remove_suffix(kEquals.size());
      } else {
        out += "=";
      }
      out += right;
    } else {
      out += t;
    }
  }
  return out;
}

namespace {

// A condition's number, truncated, is true unless 0; it must fit 32 bits.
bool TruncatedTrue(TYumeBase& y, long double n) {
  if (n < -2147483648.0L || n > 2147483647.0L) RaiseRangeError(y);
  return n != 0;
}

// ConditionTrue for a number worked out by a calculation: what its text would give.
bool NumberTrue(TYumeBase& y, long double x) {
  // A whole number below 10^15 is written exactly and read back as itself.
  const bool whole =
      x > -1e15L && x < 1e15L && static_cast<long double>(static_cast<int64_t>(x)) == x;
  return TruncatedTrue(y, whole ? x : std::trunc(StrToNumber(FormatNumber(x))));
}

}  // namespace

bool WholeConditionTrue(TYumeBase& y, int64_t n) {
  if (n < -2147483648LL || n > 2147483647LL) RaiseRangeError(y);
  return n != 0;
}

bool NumberConditionTrue(TYumeBase& y, long double number) {
  return NumberTrue(y, number);
}

bool ConditionOutcome(TYumeBase& y, const std::string& value, bool hasNumber, long double number) {
  return hasNumber ? NumberTrue(y, number) : ConditionTrue(y, value, true);
}

bool ConditionTrue(TYumeBase& y, const std::string& value, bool textIsTruth) {
  if (textIsTruth && y.LastType == "s") return !value.empty();
  return TruncatedTrue(y, std::trunc(StrToNumber(value)));
}

namespace {

// A もし chain read from the text. The text of a registered working text never changes while
// it lives, so a chain is read once per position and kept.
void ReadIfChain(TYumeBase& y, TIfPlan& plan) {
  std::string_view text = y.RunText();
  size_t pos = CursorPos(y, text);
  for (;;) {
    if (plan.Conds.size() >= 64) RaiseError(y, "もしの条件が長すぎます。");
    // The condition runs up to its keyword; strings are skipped whole.
    const size_t start = pos;
    std::string_view cond, keyword;
    size_t keywordPos = 0;
    while (pos < text.size()) {
      if (AtStringLiteral(text, pos)) {
        ReadStringLiteral(y, text, pos);
        continue;
      }
      const char c = text[pos];
      if (c == '\r' || c == '\n') {
        cond = text.substr(start, pos - start);
        ReadLineMarker(y, text, pos);
        SkipBlanks(text, pos);
        keyword = KeywordAt(text, pos);
        if (keyword.empty()) {
          SetCursor(y, text, pos);
          RaiseError(y, kCaseEndUnknown);
        }
        keywordPos = pos;
        break;
      }
      // Every keyword starts with one of the lead bytes of な, 違 and で.
      if (IsLead(c)) {
        keyword = KeywordAt(text, pos);
        if (!keyword.empty()) {
          cond = text.substr(start, pos - start);
          keywordPos = pos;
          break;
        }
      }
      pos += CharLen(text, pos);
    }
    if (keyword.empty()) {
      SetCursor(y, text, pos);
      RaiseError(y, kCaseEndUnknown);
    }
    TIfPlan::TCond c;
    c.Expr = ConvertCondition(cond);
    {
      std::string_view bare = cond;
      while (!bare.empty() && IsConditionSeparator(bare.front())) bare.remove_prefix(1);
      while (!bare.empty() && IsConditionSeparator(bare.back())) bare.remove_suffix(1);
      if (c.Expr == bare) c.ExprInText = bare;
    }
    if (keyword == kNaraba || keyword == kNara || keyword == kDenakereba) {
      c.Negate = keyword == kDenakereba;
      SetCursor(y, text, keywordPos + keyword.size());
      c.Then = ReadBlock(y);
      c.Then.SourceName.clear();
      c.HasThen = true;
      pos = CursorPos(y, text);
      if (CharAt(text, pos) == ';') ++pos;
      SkipLineEnds(y, text, pos);
    } else {
      pos = keywordPos;
    }
    plan.Conds.push_back(std::move(c));

    SkipSeparators(text, pos);
    const std::string_view next = KeywordAt(text, pos);
    if (!IsElseWord(next)) break;
    pos += next.size();
    SkipSeparators(text, pos);
    SkipLineEnds(y, text, pos);
    SkipSeparators(text, pos);
    if (StartsAt(text, pos, kMoshi)) {
      pos += kMoshi.size();
      SkipSeparators(text, pos);
      continue;
    }
    SetCursor(y, text, pos);
    plan.Else = ReadBlock(y);
    plan.Else.SourceName.clear();
    plan.HasElse = true;
    pos = CursorPos(y, text);
    break;
  }
  plan.ChainEnd = text.data() + pos;
}

}  // namespace

std::unique_ptr<TIfPlan> ReadIfPlan(TYumeBase& y, bool split) {
  constexpr int kNoLine = std::numeric_limits<int>::min();
  const int lineBefore = y.Line;
  y.Line = kNoLine;
  auto plan = std::make_unique<TIfPlan>();
  try {
    ReadIfChain(y, *plan);
  } catch (...) {
    if (y.Line == kNoLine) y.Line = lineBefore;
    throw;
  }
  plan->LineRead = y.Line != kNoLine;
  if (plan->LineRead) {
    plan->LineAfter = y.Line;
  } else {
    y.Line = lineBefore;
  }
  if (split)
    for (TIfPlan::TCond& c : plan->Conds) c.Code = SplitExpression(c.Text());
  return plan;
}

namespace {

// Plans of the texts alive now; forgotten when a text goes away (its generation changes).
// Valid while a TPositionUse is alive; a chain outside the registered texts, or met for the
// first time, is read into own.
const TIfPlan* IfPlanAt(TYumeBase& y, std::unique_ptr<const TIfPlan>& own) {
  static TPositionCache<const TIfPlan> plans;
  // Only positions inside a registered text (alive and unchanged) are remembered.
  if (!y.Plans || !y.InRegisteredText(y.Cur)) {
    own = ReadIfPlan(y, false);
    return own.get();
  }
  bool read = false;
  const TIfPlan* plan =
      plans.Get(y.TextsGeneration, y.Cur, reinterpret_cast<uintptr_t>(y.End), [&] {
        read = true;
        return ReadIfPlan(y);
      });
  if (!plan) {  // the first visit: read, not kept
    own = ReadIfPlan(y, false);
    return own.get();
  }
  if (!read && plan->LineRead) y.Line = plan->LineAfter;
  return plan;
}

}  // namespace

void IfChain(TYumeBase& y) {
  const TPositionUse use;
  std::unique_ptr<const TIfPlan> own;
  const TIfPlan& plan = *IfPlanAt(y, own);
  const char* chainEnd = plan.ChainEnd;
  y.Cur = chainEnd;

  const TRunControl* selected = nullptr;
  bool decided = false;
  for (const TIfPlan::TCond& c : plan.Conds) {
    long double number = 0;
    bool hasNumber = false;
    const std::string v = EvaluateSplit(y, c.Text(), c.Code.get(), number, hasNumber);
    const bool outcome = ConditionOutcome(y, v, hasNumber, number);
    y.CondResult = outcome ? 1 : 0;
    if (outcome != c.Negate) {
      if (c.HasThen) selected = &c.Then;
      decided = true;
      break;
    }
  }
  if (!decided && plan.HasElse) selected = &plan.Else;
  y.CondResult = -1;
  y.Cur = chainEnd;
  if (selected) EnterBlock(y, *selected, fkThen, chainEnd);
}

void QuestionForm(TYumeBase& y) {
  std::string cond = y.Args.Pop();
  std::string v = EvaluateText(y, cond);
  y.CondResult = ConditionTrue(y, v, false) ? 1 : 0;

  std::string_view text = y.RunText();
  size_t pos = CursorPos(y, text);
  SkipSeparators(text, pos);
  const std::string_view keyword = KeywordAt(text, pos);
  TRunControl thenBlock, elseBlock;
  bool hasThen = false, hasElse = false;
  if (IsElseWord(keyword)) {
    pos += keyword.size();
    SkipSeparators(text, pos);
    SetCursor(y, text, pos);
    if (StartsAt(text, pos, kMoshi)) {
      RaiseError(y, std::string(kMoshi) + kNestedIf);
    }
    elseBlock = ReadBlock(y);
    hasElse = true;
  } else {
    pos += keyword.size();
    SetCursor(y, text, pos);
    thenBlock = ReadBlock(y);
    hasThen = true;
    hasElse = ReadOptionalElse(y, elseBlock);
  }
  const char* end = y.Cur;
  const int result = y.CondResult;
  y.CondResult = -1;
  if (result == 1 && hasThen) {
    thenBlock.Kind = fkThen;
    thenBlock.EndPos = end;
    EnterBody(y, std::move(thenBlock));
  } else if (result == 0 && hasElse) {
    elseBlock.Kind = fkElse;
    elseBlock.EndPos = end;
    EnterBody(y, std::move(elseBlock));
  }
}

void CaseLine(TYumeBase& y, std::string_view caseValue) {
  TRunControl block = ReadBlock(y);
  if (y.CaseSubject == TYumeBase::kUndefinedCase) return;
  static constexpr std::string_view kOther = "その他", kAtLeast = "以上", kAtMost = "以下";
  bool match = false;
  if (caseValue == kOther) {
    match = true;
  } else if (EndsWith(caseValue, kAtLeast)) {
    const long double n =
        StrToNumber(EvaluateText(y, caseValue.substr(0, caseValue.size() - kAtLeast.size())));
    match = n <= StrToNumber(y.CaseSubject);
  } else if (EndsWith(caseValue, kAtMost)) {
    const long double n =
        StrToNumber(EvaluateText(y, caseValue.substr(0, caseValue.size() - kAtMost.size())));
    match = n >= StrToNumber(y.CaseSubject);
  } else {
    match = EvaluateText(y, caseValue) == y.CaseSubject;
  }
  if (!match) return;
  y.CaseSubject = TYumeBase::kUndefinedCase;
  block.Kind = fkCase;
  EnterBody(y, std::move(block));
}

void CountLoop(TYumeBase& y, std::string_view countText) {
  const int count = IndexValue(TrimBlanks(EvaluateText(y, countText)));
  TRunControl block = ReadBlock(y);
  if (count <= 0) return;
  block.Kind = fkCount;
  block.Counter = 1;
  block.Limit = count;
  if (y.VarCount) {
    y.VarCount->SetValueText("1");
    y.VarCount->TypeText = "e";
  }
  EnterBody(y, std::move(block));
}

}  // namespace yume
