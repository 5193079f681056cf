#include "core/expr.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "core/error.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/poscache.h"
#include "core/scanner.h"
#include "core/stackroom.h"
#include "core/term.h"
#include "core/yumebase.h"

namespace yume {

namespace {

const char kBadResult[] = "計算結果が不正";

// The number of a value's text: plain digits (most operands) read directly, everything else
// the lenient way.
long double NumberOfText(std::string_view text) {
  uint64_t v = 0;
  if (text.empty() || text.size() > 18) return StrToNumber(text);
  for (char c : text) {
    if (c < '0' || c > '9') return StrToNumber(text);
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  return static_cast<long double>(v);
}

}  // namespace

long double TStrNum::Number() {
  if (!HasNum) {
    Num = NumberOfText(Text);
    HasNum = true;
  }
  return Num;
}

const std::string& TStrNum::TextValue() {
  if (!HasText) {
    Text = FormatNumber(Num);
    HasText = true;
  }
  return Text;
}

namespace {

// A failure of the calculation itself; Calculate turns it into the wrapped error line.
class ECalc : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TTokenKind : uint8_t { tkText = 0, tkNumber = 1, tkNone = 2, tkOperator = 3 };

enum TOp : uint8_t {
  opOther,
  opAnd,
  opOr,
  opEq,
  opNe,
  opLt,
  opGt,
  opGe,
  opLe,
  opTextEq,
  opTextNe,
  opNumEq,
  opNumNe,
  opAdd,
  opSub,
  opCat,
  opMul,
  opDiv,
  opMod,
  opPow,
};

TOp OperatorCode(std::string_view op) {
  if (op.size() == 1) {
    switch (op[0]) {
      case '=':
        return opEq;
      case '<':
        return opLt;
      case '>':
        return opGt;
      case '+':
        return opAdd;
      case '-':
        return opSub;
      case '&':
        return opCat;
      case '*':
        return opMul;
      case '/':
        return opDiv;
      case '%':
        return opMod;
      case '^':
        return opPow;
      default:
        return opOther;
    }
  }
  if (op == "&&") return opAnd;
  if (op == "||") return opOr;
  if (op == "<>" || op == "><") return opNe;
  if (op == ">=" || op == "=>") return opGe;
  if (op == "<=" || op == "=<") return opLe;
  if (op == "=&") return opTextEq;
  if (op == "!&") return opTextNe;
  if (op == "==") return opNumEq;
  if (op == "!=") return opNumNe;
  return opOther;
}

bool IsComparison(TOp op) {
  return op >= opEq && op <= opNumNe;
}
bool IsAdditive(TOp op) {
  return op == opAdd || op == opSub || op == opCat;
}
bool IsMultiplicative(TOp op) {
  return op >= opMul && op <= opPow;
}

// The four levels of binary operators (1: && ||, 2: comparisons, 3: + - &, 4: * / % ^); 0 for
// anything else.
int LevelOf(TOp op) {
  if (op == opAnd || op == opOr) return 1;
  if (IsComparison(op)) return 2;
  if (IsAdditive(op)) return 3;
  if (IsMultiplicative(op)) return 4;
  return 0;
}

// Truncation to a 64-bit integer, saturating outside its range.
int64_t ToInt64(long double x) {
  if (std::isnan(x)) return 0;
  if (x >= 9223372036854775807.0L) return INT64_MAX;
  if (x <= -9223372036854775808.0L) return INT64_MIN;
  return static_cast<int64_t>(x);
}

long double Arithmetic(TOp op, long double a, long double b) {
  long double r = 0;
  switch (op) {
    case opAdd:
      r = a + b;
      break;
    case opSub:
      r = a - b;
      break;
    case opMul:
      r = a * b;
      break;
    case opDiv:
      r = b == 0 ? 0 : a / b;
      break;
    case opMod: {
      const int64_t x = ToInt64(a), m = ToInt64(b);
      r = (m == 0 || m == -1) ? 0 : static_cast<long double>(x % m);
      break;
    }
    case opPow:
      if (b == 0) return 1;
      if (a == 0 && b < 0) throw ECalc("0の負の数乗は計算できません。");
      r = powl(a, b);
      break;
    default:
      break;
  }
  if (!std::isfinite(r)) {  // rare: only then are the operands looked at
    if (std::isnan(r) && !std::isnan(a) && !std::isnan(b))
      throw ECalc("無効な浮動小数点演算です。");
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b))
      throw ECalc("浮動小数点数のオーバーフローです。");
  }
  return r;
}

bool Ordered(TOp op, int c);

// A comparison; A and B are TStrNum or TValueView.
template <class A, class B>
bool Compare(TOp op, A& a, B& b) {
  if (op == opTextEq) return a.TextValue() == b.TextValue();
  if (op == opTextNe) return a.TextValue() != b.TextValue();
  if (op == opNumEq) return a.Number() == b.Number();
  if (op == opNumNe) return a.Number() != b.Number();
  // The right operand decides: numbers compare as numbers, texts byte by byte.
  if (b.IsNum) {
    const long double x = a.Number(), y = b.Number();
    if (std::isnan(x) || std::isnan(y)) return op == opNe;
    return Ordered(op, x < y ? -1 : (x > y ? 1 : 0));
  }
  return Ordered(op, std::string_view(a.TextValue()).compare(std::string_view(b.TextValue())));
}

bool Ordered(TOp op, int c) {
  switch (op) {
    case opEq:
      return c == 0;
    case opNe:
      return c != 0;
    case opLt:
      return c < 0;
    case opGt:
      return c > 0;
    case opGe:
      return c >= 0;
    case opLe:
      return c <= 0;
    default:
      return false;
  }
}

// A value read in place for a calculation of two operands: a number written in the
// expression, or a variable's text or kept number, never copied.
struct TValueView {
  std::string_view Text;
  long double Num = 0;
  bool IsNum = false;
  bool HasNum = false;
  const THashNode* Word = nullptr;  // a variable whose text is written only when compared
  std::string_view TextValue() {
    if (Word) {
      Text = Word->ValueText();
      Word = nullptr;
    }
    return Text;
  }
  long double Number() {
    if (!HasNum) {
      Num = NumberOfText(Text);
      HasNum = true;
    }
    return Num;
  }
};

// a op b for an operator of the given level other than "&": always a number.
template <class A, class B>
long double CombineNumber(int level, TOp op, A& a, B& b) {
  switch (level) {
    case 1:
      return (op == opAnd ? (a.Number() > 0 && b.Number() > 0) : (a.Number() > 0 || b.Number() > 0))
                 ? 1
                 : 0;
    case 2:
      return Compare(op, a, b) ? 1 : 0;
    default:
      return Arithmetic(op, a.Number(), b.Number());
  }
}

// a = a op b, for an operator of the given level.
void Combine(int level, TOp op, TStrNum& a, TStrNum& b) {
  if (op == opCat) {
    a.TextValue();
    a.Text += b.TextValue();
    a.IsNum = false;
    a.HasNum = false;
    return;
  }
  a.SetNumber(CombineNumber(level, op, a, b));
}

// ---- expressions read once ----
//
// An expression text inside a working text never changes while that text lives, so how it
// splits into tokens is worked out once and kept by its position. Only the split is kept: every
// word is looked up again when the expression runs. Where a word turns out to mean something
// the split did not expect (not a plain variable, or not callable before its parentheses), the
// reading goes on from the text at that word, exactly as if nothing had been kept.

struct TExprToken {
  enum TKind : uint8_t { kOp, kNumber, kWord, kCall, kParen };
  TKind Kind = kOp;
  TOp Op = opOther;
  uint32_t Pos = 0;       // where the token starts in the text
  uint32_t End = 0;       // just after it
  std::string_view Text;  // operator, number, word, or what the parentheses hold
  std::string_view Word;  // kCall: the word before the parentheses
  long double Num = 0;    // kNumber: its value
  mutable TNameRef Ref;   // kWord, kCall: what the word meant last time
};

struct TExprCode {
  // What EvaluateText does after the first term.
  enum TAfterFirst : uint8_t { kDone, kConcat, kCalc };
  std::vector<TExprToken> Tokens;
  TAfterFirst AfterFirst = kDone;
  // Two numbers, words or calls joined by one operator other than "&": worked out without the
  // calculator when the right one is a number, a plain variable or a callable word.
  bool Binary = false;
};

// Splits text as TCalc would read it; false for anything but numbers, words, calls with
// parentheses, parenthesised expressions and operators (and for a sign where a value belongs).
bool CompileExpr(std::string_view text, TExprCode& code) {
  size_t pos = 0;
  bool valuePos = true;
  while (true) {
    SkipSeparators(text, pos);
    if (pos >= text.size()) break;
    const char c = text[pos];
    TExprToken t;
    t.Pos = static_cast<uint32_t>(pos);
    if (c == '(') {
      const size_t end = SkipParenthesized(text, pos);
      if (end == std::string_view::npos) return false;
      t.Kind = TExprToken::kParen;
      t.Text = text.substr(pos + 1, end - pos - 2);
      pos = end;
      valuePos = false;
    } else if (IsOperatorChar(c)) {
      const size_t start = pos++;
      if (IsPairingChar(c) && pos < text.size() && IsPairingChar(text[pos])) ++pos;
      t.Kind = TExprToken::kOp;
      t.Text = text.substr(start, pos - start);
      t.Op = OperatorCode(t.Text);
      if (valuePos && (t.Text == "-" || (t.Text == "+" && (CharAt(text, pos) == '$' ||
                                                           IsDigitChar(CharAt(text, pos))))))
        return false;
      valuePos = true;
    } else if (IsDigitChar(c)) {
      size_t p = pos;
      const std::string number = ReadNumber(text, p);
      if (number != text.substr(pos, p - pos)) return false;
      t.Kind = TExprToken::kNumber;
      t.Text = text.substr(pos, p - pos);
      t.Num = TStrNum::FromText(number, true).Number();
      pos = p;
      valuePos = false;
    } else {
      if (c == '$' || AtStringLiteral(text, pos)) return false;
      size_t p = pos;
      const std::string_view word = ReadWord(text, p);
      if (word.empty() || p == pos) return false;
      size_t q = p;
      SkipBlanks(text, q);
      if (CharAt(text, q) == '(') {
        const size_t end = SkipParenthesized(text, q);
        if (end == std::string_view::npos) return false;
        t.Kind = TExprToken::kCall;
        t.Word = word;
        t.Text = text.substr(q + 1, end - q - 2);
        pos = end;
      } else {
        t.Kind = TExprToken::kWord;
        t.Text = word;
        pos = p;
      }
      t.Ref.Prepare(word, false);
      valuePos = false;
    }
    t.End = static_cast<uint32_t>(pos);
    if (code.Tokens.empty()) {
      if (t.Kind == TExprToken::kOp) return false;
      size_t n = pos;
      SkipSeparators(text, n);
      if (n >= text.size()) {
        code.AfterFirst = TExprCode::kDone;
      } else if (text[n] == '&' && CharAt(text, n + 1) != '&') {
        code.AfterFirst = TExprCode::kConcat;
      } else if (IsOperatorChar(text[n])) {
        code.AfterFirst = TExprCode::kCalc;
      } else {
        return false;  // the rest would be left unread: rare, read from the text
      }
    }
    code.Tokens.push_back(t);
  }
  const auto operand = [&](size_t i) {
    return code.Tokens[i].Kind != TExprToken::kOp && code.Tokens[i].Kind != TExprToken::kParen;
  };
  code.Binary = code.Tokens.size() == 3 && operand(0) && operand(2) &&
                code.Tokens[1].Kind == TExprToken::kOp && LevelOf(code.Tokens[1].Op) != 0 &&
                code.Tokens[1].Op != opCat;
  return !code.Tokens.empty() && text.size() < UINT32_MAX;
}

// The split of an expression text inside a working text, made on first use; null for texts
// elsewhere (values, temporaries) and for texts that are always read afresh. Valid while a
// TPositionUse is alive.
const TExprCode* CodeFor(TYumeBase& y, std::string_view text) {
  static TPositionCache<const TExprCode> codes;
  return TextReading(codes, y, text, CompileExpr);
}

// A plain variable read as a value the way a term would read it; null when the word is
// anything else (or followed by "#").
const THashNode* PlainVariable(TYumeBase& y, std::string_view text, const TExprToken& t) {
  const THashNode* w = y.Dict.FindRemembered(t.Text, t.Ref);
  if (!w || w->Kind != wkVariable || CharAt(text, t.End) == '#') return nullptr;
  return w;
}

// A number of the split or a plain variable, viewed in place; false (nothing read) for
// anything else.
bool ViewOperand(TYumeBase& y, std::string_view text, const TExprToken& t, TValueView& v) {
  if (t.Kind == TExprToken::kNumber) {
    v.Text = t.Text;
    v.Num = t.Num;
    v.IsNum = v.HasNum = true;
    return true;
  }
  if (t.Kind != TExprToken::kWord) return false;
  const THashNode* w = PlainVariable(y, text, t);
  if (!w) return false;
  if (w->KeptNumber(v.Num)) {
    v.HasNum = true;
    v.Word = w;
    // The type ReadVariable would give it: an untyped number's text starts with a digit unless
    // it is negative.
    v.IsNum = w->TypeText.empty() ? v.Num >= 0 : w->TypeText == "e";
    return true;
  }
  v.Text = w->ValueText();
  // The type ReadVariable would give it.
  v.IsNum = w->TypeText.empty() ? !v.Text.empty() && (v.Text[0] == '$' || IsDigitChar(v.Text[0]))
                                : w->TypeText == "e";
  return true;
}

// The operands of "A op B" when both are numbers or plain variables; false (nothing read)
// otherwise.
bool ViewOperands(TYumeBase& y, std::string_view text, const TExprCode& code, TValueView& a,
                  TValueView& b) {
  return ViewOperand(y, text, code.Tokens[0], a) && ViewOperand(y, text, code.Tokens[2], b);
}

long double ViewedResult(const TExprCode& code, TValueView& a, TValueView& b) {
  const TOp op = code.Tokens[1].Op;
  return CombineNumber(LevelOf(op), op, a, b);
}

// A variable read into a calculation's value: a kept number stays a number (its text written
// only if an operator asks for it). Sets y.LastType as ReadVariable does.
void ReadVariableValue(TYumeBase& y, const THashNode& w, TStrNum& out) {
  long double n;
  if (!w.KeptNumber(n)) {
    out.Text = w.ValueText();
    out.HasText = true;
    out.HasNum = false;
    if (!w.TypeText.empty()) {
      y.LastType = w.TypeText;
    } else {
      y.LastType = !out.Text.empty() && (out.Text[0] == '$' || IsDigitChar(out.Text[0])) ? "e" : "s";
    }
    out.IsNum = y.LastType == "e";
    return;
  }
  out.Num = n;
  out.HasNum = true;
  out.HasText = false;
  if (!w.TypeText.empty()) {
    y.LastType = w.TypeText;
  } else {
    y.LastType = n >= 0 ? "e" : "s";
  }
  out.IsNum = y.LastType == "e";
}

void ReadVariable(TYumeBase& y, const THashNode& w, std::string& out) {
  out = w.ValueText();
  if (!w.TypeText.empty()) {
    y.LastType = w.TypeText;
  } else {
    y.LastType = !out.empty() && (out[0] == '$' || IsDigitChar(out[0])) ? "e" : "s";
  }
}

// A word before parentheses that is callable as written; null otherwise.
THashNode* CallableWord(TYumeBase& y, const TExprToken& t) {
  THashNode* w = y.Dict.FindRemembered(t.Word, t.Ref);
  if (!w || !(w->Kind == wkCommand || w->Kind == wkLabel || w->Kind == wkLibFunc)) return nullptr;
  return y.CallForValue ? w : nullptr;
}

// The recursive-descent parser over one expression text.
class TCalc {
 public:
  TCalc(TYumeBase& y, std::string_view text) : y_(y), text_(text) {}

  TStrNum Run() {
    if (StackNearlyFull()) throw ECalc("括弧が深すぎます。");
    code_ = CodeFor(y_, text_);
    // Calls are left to the calculator here: reading the left one and then finding the right one
    // unfit would run it twice.
    TValueView a, b;
    if (code_ && code_->Binary && ViewOperands(y_, text_, *code_, a, b))
      return TStrNum::FromNumber(ViewedResult(*code_, a, b));
    kind_ = tkNone;
    SkipSeparators(text_, pos_);
    Next();
    return Finish();
  }

  // The expression whose first operand has been read already; the rest starts at pos.
  TStrNum RunWith(TStrNum first, size_t pos) {
    pos_ = pos;
    kind_ = first.IsNum ? tkNumber : tkText;
    tok_ = std::move(first);
    return Finish();
  }

  // The same with the text's split: the operand was its first token.
  TStrNum RunWithCode(TStrNum first, const TExprCode& code) {
    code_ = &code;
    idx_ = 1;
    pos_ = code.Tokens[0].End;
    kind_ = first.IsNum ? tkNumber : tkText;
    tok_ = std::move(first);
    return Finish();
  }

 private:
  TStrNum Finish() {
    TStrNum r = Level(1);
    if (kind_ == tkOperator) throw ECalc(kBadResult);
    return r;
  }

  void Next() {
    if (code_ && NextCoded()) return;
    prev_ = kind_;
    kind_ = tkNone;
    SkipSeparators(text_, pos_);
    if (pos_ >= text_.size()) return;
    const char c = text_[pos_];
    if (c == '(') {
      const std::string_view inner = ReadParenthesized(y_, text_, pos_);
      TCalc sub(y_, inner);
      tok_ = sub.Run();
      kind_ = tok_.IsNum ? tkNumber : tkText;
      return;
    }
    if (IsOperatorChar(c)) {
      const size_t start = pos_++;
      if (IsPairingChar(c) && pos_ < text_.size() && IsPairingChar(text_[pos_])) ++pos_;
      op_text_ = text_.substr(start, pos_ - start);
      op_ = OperatorCode(op_text_);
      kind_ = tkOperator;
      if (prev_ != tkNone && prev_ != tkOperator) return;
      // An operator where a value is expected: a sign.
      if (op_text_ == "-") {
        const size_t at = pos_;
        std::string v = EvalTerm(y_, text_, pos_);
        if (pos_ == at) return;  // nothing to negate: stays an operator
        tok_.SetText(NegateValue(std::move(v)), true);
        kind_ = tkNumber;
      } else if (op_text_ == "+" &&
                 (CharAt(text_, pos_) == '$' || IsDigitChar(CharAt(text_, pos_)))) {
        pos_ = start;
        tok_.SetText(EvalTerm(y_, text_, pos_), true);
        kind_ = tkNumber;
      }
      return;
    }
    const size_t at = pos_;
    std::string v = EvalTerm(y_, text_, pos_);
    if (pos_ == at) return;  // no term starts here: the expression ends
    const bool is_num = y_.LastType == "e";
    tok_.SetText(std::move(v), is_num);
    kind_ = is_num ? tkNumber : tkText;
  }

  // The next token from the split; false (nothing read) where the text has to be read instead,
  // from then on.
  bool NextCoded() {
    if (idx_ >= code_->Tokens.size()) {
      prev_ = kind_;
      kind_ = tkNone;
      pos_ = text_.size();
      return true;
    }
    const TExprToken& t = code_->Tokens[idx_];
    switch (t.Kind) {
      case TExprToken::kOp:
        prev_ = kind_;
        op_text_ = t.Text;
        op_ = t.Op;
        kind_ = tkOperator;
        break;
      case TExprToken::kNumber:
        prev_ = kind_;
        tok_.Text.assign(t.Text);
        tok_.Num = t.Num;
        tok_.IsNum = tok_.HasText = tok_.HasNum = true;
        kind_ = tkNumber;
        break;
      case TExprToken::kParen: {
        prev_ = kind_;
        TCalc sub(y_, t.Text);
        tok_ = sub.Run();
        kind_ = tok_.IsNum ? tkNumber : tkText;
        break;
      }
      case TExprToken::kWord: {
        const THashNode* w = PlainVariable(y_, text_, t);
        if (!w) return Uncoded(t);
        prev_ = kind_;
        ReadVariableValue(y_, *w, tok_);  // into the token's own storage
        kind_ = tok_.IsNum ? tkNumber : tkText;
        break;
      }
      case TExprToken::kCall: {
        THashNode* w = CallableWord(y_, t);
        if (!w) return Uncoded(t);
        prev_ = kind_;
        std::string v = y_.CallForValue(y_, *w, t.Text, true);
        const bool is_num = y_.LastType == "e";
        tok_.SetText(std::move(v), is_num);
        kind_ = is_num ? tkNumber : tkText;
        break;
      }
    }
    ++idx_;
    pos_ = t.End;
    return true;
  }

  bool Uncoded(const TExprToken& t) {
    code_ = nullptr;
    pos_ = t.Pos;
    return false;
  }

  // Binary operators, all left-associative, by precedence climbing: the operand read first,
  // then each operator of at least minLevel with its right side read at the next level up.
  TStrNum Level(int minLevel) {
    TStrNum a = Level5();
    while (kind_ == tkOperator) {
      const int level = LevelOf(op_);
      if (level < minLevel || level == 0) break;
      const TOp op = op_;
      Next();
      TStrNum b = Level(level + 1);
      Combine(level, op, a, b);
    }
    return a;
  }

  TStrNum Level5() {
    if (kind_ == tkOperator) {
      std::string msg = "演算子「";
      msg += op_text_;
      msg += "」の位置が不正。";
      throw ECalc(msg);
    }
    if (kind_ == tkNone) throw ECalc(kBadResult);
    TStrNum v = std::move(tok_);
    Next();
    return v;
  }

  TYumeBase& y_;
  std::string_view text_;
  const TPositionUse use_;           // keeps code_ alive
  const TExprCode* code_ = nullptr;  // the text's split while it is followed
  size_t idx_ = 0;                   // next token of the split
  size_t pos_ = 0;
  TTokenKind kind_ = tkNone;
  TTokenKind prev_ = tkNone;
  TStrNum tok_;
  std::string_view op_text_;
  TOp op_ = opOther;
};

constexpr std::string_view kCalcError = "計算式に誤りがあります。";

// The message of an error line without its "[エラー] file(n行目): " head.
std::string_view ErrorLineText(std::string_view line) {
  if (!IsErrorLine(line)) return line;
  const size_t at = FindAligned(line, "行目): ");
  return at == std::string_view::npos ? line : line.substr(at + std::string_view("行目): ").size());
}

[[noreturn]] void RaiseCalcError(TYumeBase& y, std::string_view reason, std::string_view text) {
  std::string msg(kCalcError);
  msg += reason;
  msg += text;
  RaiseError(y, msg);
}

std::string Finish(TYumeBase& y, TStrNum& r) {
  if (r.IsNum) {
    y.LastType = "e";
    return FormatNumber(r.Number());
  }
  y.LastType = "s";
  return std::move(r.Text);
}

// Runs a calculation and reports any failure inside it as the one wrapped error line. The value
// comes as it was worked out (a number stays a number); y.LastType is set.
template <class Fn>
TStrNum GuardedValue(TYumeBase& y, std::string_view text, Fn&& run) {
  try {
    TStrNum r = run();
    y.LastType = r.IsNum ? "e" : "s";
    return r;
  } catch (const ECalc& e) {
    RaiseCalcError(y, e.what(), text);
  } catch (const EYume& e) {
    LogError(y, e);
    const std::string_view inner = ErrorLineText(e.what());
    // An inner calculation has reported already.
    if (inner.substr(0, kCalcError.size()) == kCalcError) throw;
    RaiseCalcError(y, inner, text);
  } catch (const std::logic_error& e) {
    // Platform failures (range and argument errors) are reported like the calculation's own.
    RaiseCalcError(y, e.what(), text);
  } catch (const std::range_error& e) {
    RaiseCalcError(y, e.what(), text);
  } catch (const std::overflow_error& e) {
    RaiseCalcError(y, e.what(), text);
  }
}

// The same with the value written as text.
template <class Fn>
std::string Guarded(TYumeBase& y, std::string_view text, Fn&& run) {
  TStrNum r = GuardedValue(y, text, std::forward<Fn>(run));
  return Finish(y, r);
}

}  // namespace

std::string Calculate(TYumeBase& y, std::string_view text) {
  return Guarded(y, text, [&] { return TCalc(y, text).Run(); });
}

namespace {

// EvaluateText from pos on, value holding the term read so far.
std::string EvaluateRest(TYumeBase& y, std::string_view text, size_t pos, std::string value) {
  while (pos < text.size()) {
    SkipSeparators(text, pos);
    if (pos >= text.size()) break;
    const char c = text[pos];
    if (c == '&' && CharAt(text, pos + 1) != '&') {
      ++pos;
      SkipSeparators(text, pos);
      value += EvalTerm(y, text, pos);
      y.LastType = "s";
    } else if (IsOperatorChar(c)) {
      // The value so far is the first operand of an expression made of the whole text.
      const bool is_num = y.LastType == "e";
      TStrNum first = TStrNum::FromText(std::move(value), is_num);
      return Guarded(y, text, [&] { return TCalc(y, text).RunWith(std::move(first), pos); });
    } else {
      break;  // the rest is not part of the value
    }
  }
  return value;
}

}  // namespace

namespace {

// EvaluateText; with number given, a number the calculation worked out is handed over there
// instead of being written as text (*hasNumber set, the text left empty).
std::string EvaluateCoded(TYumeBase& y, std::string_view text, const TExprCode* code,
                          long double* number, bool* hasNumber);

// Two numbers or plain variables joined by one operator, worked out on the values in place;
// false (nothing done) for anything else.
bool EvaluateViewed(TYumeBase& y, std::string_view text, const TExprCode& code, long double& n) {
  TValueView a, b;
  if (!code.Binary || !ViewOperands(y, text, code, a, b)) return false;
  n = GuardedValue(y, text, [&] { return TStrNum::FromNumber(ViewedResult(code, a, b)); }).Num;
  return true;
}

std::string EvaluateImpl(TYumeBase& y, std::string_view text, long double* number,
                         bool* hasNumber) {
  if (text.empty()) {
    y.LastType = "s";
    return {};
  }
  // A plain whole number, the commonest argument, is its own value.
  if (IsPlainDigits(text)) {
    y.LastType = "e";
    return std::string(text);
  }
  const TPositionUse use;
  const TExprCode* code = CodeFor(y, text);
  if (long double n; code && EvaluateViewed(y, text, *code, n)) {
    if (number) {
      *number = n;
      *hasNumber = true;
      return {};
    }
    return FormatNumber(n);
  }
  return EvaluateCoded(y, text, code, number, hasNumber);
}

// The rest of EvaluateImpl: everything but a plain number and two operands viewed in place.
[[gnu::noinline]] std::string EvaluateCoded(TYumeBase& y, std::string_view text,
                                            const TExprCode* code, long double* number,
                                            bool* hasNumber) {
  if (!code || code->AfterFirst == TExprCode::kConcat) {
    size_t pos = 0;
    std::string value = EvalTerm(y, text, pos);
    return EvaluateRest(y, text, pos, std::move(value));
  }
  // The first term, read as a term is read.
  const TExprToken& t = code->Tokens[0];
  std::string value;
  bool coded = true;
  switch (t.Kind) {
    case TExprToken::kNumber:
      value.assign(t.Text);
      y.LastType = "e";
      break;
    case TExprToken::kParen:
      value = Calculate(y, t.Text);
      break;
    case TExprToken::kWord:
      if (const THashNode* w = PlainVariable(y, text, t)) {
        ReadVariable(y, *w, value);
      } else {
        coded = false;
      }
      break;
    case TExprToken::kCall:
      if (THashNode* w = CallableWord(y, t)) {
        value = y.CallForValue(y, *w, t.Text, true);
      } else {
        coded = false;
      }
      break;
    case TExprToken::kOp:
      coded = false;
      break;
  }
  if (!coded) {
    size_t pos = t.Pos;
    value = EvalTerm(y, text, pos);
    return EvaluateRest(y, text, pos, std::move(value));
  }
  if (code->AfterFirst == TExprCode::kDone) return value;
  const bool is_num = y.LastType == "e";
  TStrNum first = TStrNum::FromText(std::move(value), is_num);
  if (code->Binary) {
    // "A op B" with B a number, a plain variable or a callable word: what the calculator would
    // do, directly.
    const TExprToken& rt = code->Tokens[2];
    const THashNode* rw = rt.Kind == TExprToken::kWord ? PlainVariable(y, text, rt) : nullptr;
    THashNode* rc = rt.Kind == TExprToken::kCall ? CallableWord(y, rt) : nullptr;
    if (rw || rc || rt.Kind == TExprToken::kNumber) {
      const TOp op = code->Tokens[1].Op;
      // Inside the guard, as in the calculator: a failing call is reported as the expression's.
      TStrNum r = GuardedValue(y, text, [&] {
        TStrNum second;
        if (rw) {
          ReadVariableValue(y, *rw, second);
        } else if (rc) {
          second.Text = y.CallForValue(y, *rc, rt.Text, true);
          second.IsNum = y.LastType == "e";
        } else {
          second.Text.assign(rt.Text);
          second.Num = rt.Num;
          second.IsNum = second.HasNum = true;
        }
        Combine(LevelOf(op), op, first, second);
        return std::move(first);
      });
      if (number && r.IsNum && !r.HasText) {
        *number = r.Num;
        *hasNumber = true;
        return {};
      }
      return Finish(y, r);
    }
  }
  if (number) {
    TStrNum r =
        GuardedValue(y, text, [&] { return TCalc(y, text).RunWithCode(std::move(first), *code); });
    if (r.IsNum && !r.HasText) {
      *number = r.Num;
      *hasNumber = true;
      return {};
    }
    return Finish(y, r);
  }
  return Guarded(y, text, [&] { return TCalc(y, text).RunWithCode(std::move(first), *code); });
}

}  // namespace

std::string EvaluateText(TYumeBase& y, std::string_view text) {
  // A plain whole number, the commonest argument, is its own value.
  if (IsPlainDigits(text)) {
    y.LastType = "e";
    return std::string(text);
  }
  return EvaluateImpl(y, text, nullptr, nullptr);
}

std::string EvaluateOrNumber(TYumeBase& y, std::string_view text, long double& number,
                             bool& hasNumber) {
  hasNumber = false;
  return EvaluateImpl(y, text, &number, &hasNumber);
}

}  // namespace yume
