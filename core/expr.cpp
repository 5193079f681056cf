#include "core/expr.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "core/error.h"
#include "core/number.h"
#include "core/scanner.h"
#include "core/term.h"
#include "core/yumebase.h"

namespace yume {

long double TStrNum::Number() {
  if (!HasNum) {
    // Plain digits (most operands) read directly; everything else the lenient way.
    uint64_t v = 0;
    bool plain = !Text.empty() && Text.size() <= 18;
    for (char c : Text) {
      if (c < '0' || c > '9') {
        plain = false;
        break;
      }
      v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    Num = plain ? static_cast<long double>(v) : StrToNumber(Text);
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

bool Compare(TOp op, TStrNum& a, TStrNum& b) {
  if (op == opTextEq) return a.TextValue() == b.TextValue();
  if (op == opTextNe) return a.TextValue() != b.TextValue();
  if (op == opNumEq) return a.Number() == b.Number();
  if (op == opNumNe) return a.Number() != b.Number();
  // The right operand decides: numbers compare as numbers, texts byte by byte.
  int c;
  if (b.IsNum) {
    const long double x = a.Number(), y = b.Number();
    c = x < y ? -1 : (x > y ? 1 : 0);
    if (std::isnan(x) || std::isnan(y)) return op == opNe;
  } else {
    c = a.TextValue().compare(b.TextValue());
  }
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

// The recursive-descent parser over one expression text.
class TCalc {
 public:
  TCalc(TYumeBase& y, std::string_view text) : y_(y), text_(text) {}

  TStrNum Run() {
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

 private:
  TStrNum Finish() {
    TStrNum r = Level1();
    if (kind_ == tkOperator) throw ECalc("計算結果が不正");
    return r;
  }

  void Next() {
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
        tok_ = TStrNum::FromText(NegateValue(std::move(v)), true);
        kind_ = tkNumber;
      } else if (op_text_ == "+" &&
                 (CharAt(text_, pos_) == '$' || IsDigitChar(CharAt(text_, pos_)))) {
        pos_ = start;
        tok_ = TStrNum::FromText(EvalTerm(y_, text_, pos_), true);
        kind_ = tkNumber;
      }
      return;
    }
    const size_t at = pos_;
    std::string v = EvalTerm(y_, text_, pos_);
    if (pos_ == at) return;  // no term starts here: the expression ends
    const bool is_num = y_.LastType == "e";
    tok_ = TStrNum::FromText(std::move(v), is_num);
    kind_ = is_num ? tkNumber : tkText;
  }

  TStrNum Level1() {
    TStrNum a = Level2();
    while (kind_ == tkOperator && (op_ == opAnd || op_ == opOr)) {
      const TOp op = op_;
      Next();
      TStrNum b = Level2();
      const bool r =
          op == opAnd ? (a.Number() > 0 && b.Number() > 0) : (a.Number() > 0 || b.Number() > 0);
      a = TStrNum::FromNumber(r ? 1 : 0);
    }
    return a;
  }

  TStrNum Level2() {
    TStrNum a = Level3();
    while (kind_ == tkOperator && IsComparison(op_)) {
      const TOp op = op_;
      Next();
      TStrNum b = Level3();
      a = TStrNum::FromNumber(Compare(op, a, b) ? 1 : 0);
    }
    return a;
  }

  TStrNum Level3() {
    TStrNum a = Level4();
    while (kind_ == tkOperator && IsAdditive(op_)) {
      const TOp op = op_;
      Next();
      TStrNum b = Level4();
      if (op == opCat) {
        a.TextValue();
        a.Text += b.TextValue();
        a.IsNum = false;
        a.HasNum = false;
      } else {
        a = TStrNum::FromNumber(Arithmetic(op, a.Number(), b.Number()));
      }
    }
    return a;
  }

  TStrNum Level4() {
    TStrNum a = Level5();
    while (kind_ == tkOperator && IsMultiplicative(op_)) {
      const TOp op = op_;
      Next();
      TStrNum b = Level5();
      a = TStrNum::FromNumber(Arithmetic(op, a.Number(), b.Number()));
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
    if (kind_ == tkNone) throw ECalc("計算結果が不正");
    TStrNum v = std::move(tok_);
    Next();
    return v;
  }

  TYumeBase& y_;
  std::string_view text_;
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

// Runs a calculation and reports any failure inside it as the one wrapped error line.
template <class Fn>
std::string Guarded(TYumeBase& y, std::string_view text, Fn&& run) {
  try {
    TStrNum r = run();
    return Finish(y, r);
  } catch (const ECalc& e) {
    RaiseCalcError(y, e.what(), text);
  } catch (const EYume& e) {
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

}  // namespace

std::string Calculate(TYumeBase& y, std::string_view text) {
  return Guarded(y, text, [&] { return TCalc(y, text).Run(); });
}

std::string EvaluateText(TYumeBase& y, std::string_view text) {
  if (text.empty()) {
    y.LastType = "s";
    return {};
  }
  size_t pos = 0;
  std::string value = EvalTerm(y, text, pos);
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

}  // namespace yume
