#include "core/expr.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
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
#include "core/textutil.h"
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
// splits into terms and operators is worked out once and kept by its position: numbers and
// plain literals with their values, words, calls, parenthesised parts (split in turn) and the
// chains a literal starts. Words are looked up again each time the expression runs. Where a term
// turns out to mean something the split did not expect (a word that is no plain variable, a call
// of a word that is not callable), it is read from the text, and the rest of the expression with
// it, exactly as if nothing had been kept.

}  // namespace

struct TExprCode;

struct TExprToken {
  enum TKind : uint8_t { kOp, kNumber, kWord, kCall, kParen, kChain, kLiteral, kElement };
  TKind Kind = kOp;
  TOp Op = opOther;
  uint32_t Pos = 0;       // where the token starts in the text
  uint32_t End = 0;       // just after it
  std::string_view Text;  // operator, word, the inside of the parentheses of a call or part
  std::string_view Word;  // kCall: the word before the parentheses
  std::string Value;      // kNumber: the number as a term reads it; kLiteral: the literal's text
  bool Expand = false;    // kLiteral: written with escapes or insertions, worked out when read
  long double Num = 0;    // kNumber: its value
  mutable TNameRef Ref;   // kWord, kCall: what the word meant last time
  // kWord with "の" inside: the item access it may write ("辞書のキー"), split at its last "の",
  // with what the word meant folded, the head and the key meant last time.
  std::unique_ptr<struct TItemWord> Item;
  std::unique_ptr<TExprCode> Sub;  // kParen: the inside, split (null: read from the text)
  // kChain: a literal, then literals and terms joined by "&"; kElement: the one or two indexes
  // after "#" (a parenthesised calculation, a number whose Num is the index, or a word).
  std::vector<TExprToken> Parts;

  TExprToken() = default;
  TExprToken(TExprToken&&) noexcept = default;
  TExprToken& operator=(TExprToken&&) noexcept = default;
  ~TExprToken();
};

// The calculation of a split, as the calculator's precedence makes it: each operator with its
// two sides. Worked out in the order the calculator reads and combines (each side in turn, left
// first, combined as soon as both are there).
struct TCalcNode {
  enum TKind : uint8_t { kTerm, kFirst, kBinary };
  TKind Kind = kTerm;
  TOp Op = opOther;
  uint8_t Level = 0;
  const TExprToken* Term = nullptr;  // kTerm
  std::unique_ptr<TCalcNode> Left, Right;
};

struct TExprCode {
  // What follows the first term: nothing, terms joined to it by "&" (then perhaps a
  // calculation), or at once a calculation.
  enum TAfterFirst : uint8_t { kDone, kConcat, kCalc };
  std::vector<TExprToken> Tokens;
  TAfterFirst AfterFirst = kDone;
  size_t PrefixEnd = 1;  // Tokens[1, PrefixEnd): the terms joined to the first by "&"
  // Two numbers, words or calls joined by one operator other than "&": worked out without the
  // calculator when the right one is a number, a plain variable or a callable word.
  bool Binary = false;
  // The calculation after the first term (or the terms joined to it) as a tree whose leftmost
  // node (kFirst) is that first value; null where the calculator reads the split.
  std::unique_ptr<TCalcNode> Calc;
  // Only numbers, words and parenthesised parts of the same kind, joined by operators other than
  // "&": worked out on plain numbers when every word holds a number.
  bool Numeric = false;
  // EvaluateText's work for such a split, in the order it is done: values pushed, operators
  // applied to the last two (see NumericValue).
  struct TNumStep {
    // kApplyConst, kApplyWord: a kConst or kWord step and the kApply after it, in one.
    enum TKind : uint8_t { kConst, kWord, kApply, kAsWritten, kApplyConst, kApplyWord };
    TKind Kind;
    TOp Op;
    uint8_t Level;  // kApply: the operator's level; kWord: 1 when the word's value must be a
                    // number (a comparison's right side, or the value of its part)
    long double Num;
    const TExprToken* Token;
    uint8_t AsValue = 0;   // kApplyWord: the word step's Level
    bool IsWhole = false;  // kConst, kApplyConst: Num is a whole number below 10^15 (Whole)
    int64_t Whole = 0;
  };
  std::vector<TNumStep> NumSteps;
  size_t FirstSteps = 0;  // NumSteps[0, FirstSteps) read the first term
  size_t NumDepth = 0;    // the most values waiting at once
};

struct TItemWord {
  mutable TNameRef Folded, Head, Key;
  std::string_view HeadText, KeyText;
};

TExprToken::~TExprToken() = default;

namespace {

// The tree of the calculation in code.Tokens[from, end): operators and terms in turn, the first
// operand standing for the value read before it.
std::unique_ptr<TCalcNode> BuildCalc(const TExprCode& code, size_t from) {
  const std::vector<TExprToken>& t = code.Tokens;
  for (size_t i = from; i < t.size(); i += 2)
    if (LevelOf(t[i].Op) == 0) return nullptr;  // the calculator stops there: left to it
  size_t i = from;
  std::function<std::unique_ptr<TCalcNode>(int, std::unique_ptr<TCalcNode>)> climb =
      [&](int minLevel, std::unique_ptr<TCalcNode> left) {
        while (i < t.size() && LevelOf(t[i].Op) >= minLevel) {
          const TOp op = t[i].Op;
          const int level = LevelOf(op);
          auto right = std::make_unique<TCalcNode>();
          right->Term = &t[i + 1];
          i += 2;
          right = climb(level + 1, std::move(right));
          auto node = std::make_unique<TCalcNode>();
          node->Kind = TCalcNode::kBinary;
          node->Op = op;
          node->Level = static_cast<uint8_t>(level);
          node->Left = std::move(left);
          node->Right = std::move(right);
          left = std::move(node);
        }
        return left;
      };
  auto first = std::make_unique<TCalcNode>();
  first->Kind = TCalcNode::kFirst;
  return climb(1, std::move(first));
}

bool CompileExpr(std::string_view text, TExprCode& code);
void BuildNumSteps(TExprCode& code);

// Where the last occurrence of what stands in text, at a character boundary; npos for none.
size_t FindLastAligned(std::string_view text, std::string_view what) {
  size_t last = std::string_view::npos;
  for (size_t i = FindAligned(text, what); i != std::string_view::npos;
       i = FindAligned(text, what, i + what.size()))
    last = i;
  return last;
}

bool AtConcat(std::string_view text, size_t pos) {
  return CharAt(text, pos) == '&' && CharAt(text, pos + 1) != '&';
}

// A number as a term reads it ("$" and a "+" sign included; a "-" sign only before digits).
bool CompileNumber(std::string_view text, size_t& pos, TExprToken& t) {
  bool negate = false;
  if (CharAt(text, pos) == '-') {
    size_t q = pos + 1;
    SkipSeparators(text, q);
    const char c = CharAt(text, q);
    if (!(IsDigitChar(c) || c == '$' || (c == '+' && IsDigitChar(CharAt(text, q + 1)))))
      return false;
    negate = true;
    pos = q;
  }
  t.Kind = TExprToken::kNumber;
  t.Value = ReadNumber(text, pos);
  if (negate) t.Value = NegateValue(std::move(t.Value));
  t.Num = TStrNum::FromText(t.Value, true).Number();
  return true;
}

bool CompileExpr(std::string_view text, TExprCode& code);

// One index of an element: "(calculation)", a number or a word, as ReadIndex reads it.
bool CompileIndex(std::string_view text, size_t& pos, TExprToken& ix) {
  ix.Pos = static_cast<uint32_t>(pos);
  const char c = CharAt(text, pos);
  if (c == '(') {
    const size_t end = SkipParenthesized(text, pos);
    if (end == std::string_view::npos) return false;
    ix.Kind = TExprToken::kParen;
    ix.Text = text.substr(pos + 1, end - pos - 2);
    auto sub = std::make_unique<TExprCode>();
    if (CompileExpr(ix.Text, *sub)) ix.Sub = std::move(sub);
    pos = end;
  } else if (c == '$' || IsDigitChar(c) || c == '+' || c == '-') {
    ix.Kind = TExprToken::kNumber;
    ix.Value = ReadNumber(text, pos);
    ix.Num = IndexValue(ix.Value);
  } else {
    size_t p = pos;
    const std::string_view word = ReadWord(text, p);
    if (word.empty() || p == pos) return false;
    ix.Kind = TExprToken::kWord;
    ix.Text = word;
    ix.Ref.Prepare(word, false);
    pos = p;
  }
  ix.End = static_cast<uint32_t>(pos);
  return true;
}

// One term at pos (separators before it skipped): a number, a parenthesised part, a chain a
// literal starts (inChain: a literal alone, the chain being read already), a call or a word.
// False for anything whose reading could depend on more than the text.
bool CompileTerm(std::string_view text, size_t& pos, TExprToken& t, bool inChain = false) {
  SkipSeparators(text, pos);
  if (pos >= text.size() || text.size() >= UINT32_MAX) return false;
  t.Pos = static_cast<uint32_t>(pos);
  const char c = text[pos];
  if (AtStringLiteral(text, pos)) {
    const size_t end = SkipStringLiteral(text, pos);
    if (end == std::string_view::npos) return false;
    TExprToken lit;
    lit.Kind = TExprToken::kLiteral;
    lit.Pos = t.Pos;
    if (!PlainLiteralValue(text.substr(pos, end - pos), lit.Value)) {
      if (end - pos < 2 || (text[pos] != '"' && text[pos] != '@')) return false;
      lit.Expand = true;
    }
    pos = end;
    lit.End = static_cast<uint32_t>(pos);
    if (inChain) {
      t = std::move(lit);
      return true;
    }
    // The chain: further literals and terms joined by "&".
    t.Kind = TExprToken::kChain;
    t.Parts.push_back(std::move(lit));
    for (;;) {
      size_t q = pos;
      SkipBlanks(text, q);
      if (!AtConcat(text, q)) break;
      ++q;
      SkipBlanks(text, q);
      TExprToken part;
      if (!CompileTerm(text, q, part, true)) return false;
      if (part.Kind == TExprToken::kNumber && part.Value.front() == '-') return false;
      pos = q;
      t.Parts.push_back(std::move(part));
    }
    t.End = static_cast<uint32_t>(pos);
    return true;
  }
  if (c == '$' || IsDigitChar(c) || c == '-' ||
      (c == '+' && (CharAt(text, pos + 1) == '$' || IsDigitChar(CharAt(text, pos + 1))))) {
    if (!CompileNumber(text, pos, t)) return false;
  } else if (c == '(') {
    const size_t end = SkipParenthesized(text, pos);
    if (end == std::string_view::npos) return false;
    t.Kind = TExprToken::kParen;
    t.Text = text.substr(pos + 1, end - pos - 2);
    auto sub = std::make_unique<TExprCode>();
    if (CompileExpr(t.Text, *sub)) t.Sub = std::move(sub);
    pos = end;
  } else {
    size_t p = pos;
    const std::string_view word = ReadWord(text, p);
    if (word.empty() || p == pos) return false;
    // A word ending in "の" may take the key after it.
    if (EndsWith(word, "の")) return false;
    if (CharAt(text, p) == '#') {
      // "X#i" or "X#i#j": an element, its indexes read as ElementAccess reads them.
      t.Kind = TExprToken::kElement;
      t.Text = word;
      t.Ref.Prepare(word, false);
      for (;;) {
        ++p;  // "#"
        TExprToken ix;
        if (!CompileIndex(text, p, ix)) return false;
        t.Parts.push_back(std::move(ix));
        size_t q = p;
        SkipBlanks(text, q);
        if (t.Parts.size() == 2 || CharAt(text, q) != '#') break;
        p = q;
      }
      pos = p;
      t.End = static_cast<uint32_t>(pos);
      return true;
    }
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
      const size_t no = FindLastAligned(word, "の");
      if (no != std::string_view::npos && no > 0) {
        t.Item = std::make_unique<TItemWord>();
        t.Item->HeadText = word.substr(0, no);
        t.Item->KeyText = word.substr(no + std::string_view("の").size());
        t.Item->Folded.Prepare(word, true);
        t.Item->Head.Prepare(t.Item->HeadText, false);
        t.Item->Key.Prepare(t.Item->KeyText, false);
      }
    }
    t.Ref.Prepare(word, false);
  }
  t.End = static_cast<uint32_t>(pos);
  return true;
}

// Splits text as EvaluateText and the calculator would read it; false for anything else.
bool CompileExpr(std::string_view text, TExprCode& code) {
  // Parentheses nested deeper than this are read from the text, which reports when they are
  // too deep for the stack.
  static int depth = 0;
  if (depth >= 64) return false;
  struct TDepth {
    TDepth() { ++depth; }
    ~TDepth() { --depth; }
  } guard;
  size_t pos = 0;
  TExprToken first;
  if (!CompileTerm(text, pos, first)) return false;
  code.Tokens.push_back(std::move(first));
  SkipSeparators(text, pos);
  if (pos >= text.size()) {
    code.AfterFirst = TExprCode::kDone;
    return true;
  }
  if (AtConcat(text, pos)) {
    code.AfterFirst = TExprCode::kConcat;
    while (AtConcat(text, pos)) {
      ++pos;
      TExprToken t;
      if (!CompileTerm(text, pos, t)) return false;
      code.Tokens.push_back(std::move(t));
      SkipSeparators(text, pos);
    }
    code.PrefixEnd = code.Tokens.size();
    if (pos >= text.size()) return true;
  } else {
    code.AfterFirst = TExprCode::kCalc;
  }
  // The calculation: operators and terms in turn, to the end of the text.
  for (;;) {
    if (!IsOperatorChar(CharAt(text, pos))) return false;
    TExprToken op;
    op.Pos = static_cast<uint32_t>(pos);
    const char c = text[pos++];
    if (IsPairingChar(c) && pos < text.size() && IsPairingChar(text[pos])) ++pos;
    op.Kind = TExprToken::kOp;
    op.Text = text.substr(op.Pos, pos - op.Pos);
    op.Op = OperatorCode(op.Text);
    op.End = static_cast<uint32_t>(pos);
    code.Tokens.push_back(std::move(op));
    SkipSeparators(text, pos);
    // Where a value belongs, an operator is a sign only before a number.
    const char v = CharAt(text, pos);
    if (IsOperatorChar(v) && v != '-' && v != '+') return false;
    TExprToken t;
    if (!CompileTerm(text, pos, t)) return false;
    code.Tokens.push_back(std::move(t));
    SkipSeparators(text, pos);
    if (pos >= text.size()) break;
  }
  const auto operand = [&](size_t i) {
    const TExprToken::TKind k = code.Tokens[i].Kind;
    return k == TExprToken::kNumber || k == TExprToken::kWord || k == TExprToken::kCall;
  };
  code.Binary = code.AfterFirst == TExprCode::kCalc && code.Tokens.size() == 3 && operand(0) &&
                operand(2) && LevelOf(code.Tokens[1].Op) != 0 && code.Tokens[1].Op != opCat;
  code.Calc = BuildCalc(code, code.PrefixEnd);
  code.Numeric =
      code.AfterFirst != TExprCode::kConcat && (code.AfterFirst == TExprCode::kDone || code.Calc);
  for (const TExprToken& t : code.Tokens) {
    if (t.Kind == TExprToken::kOp
            ? t.Op == opCat || t.Op == opTextEq || t.Op == opTextNe
            : !(t.Kind == TExprToken::kNumber || t.Kind == TExprToken::kWord ||
                (t.Kind == TExprToken::kParen && t.Sub && t.Sub->Numeric)))
      code.Numeric = false;
  }
  if (code.Numeric) BuildNumSteps(code);
  return true;
}

// ---- the steps of a calculation on plain numbers ----

using TNumStep = TExprCode::TNumStep;

void EmitCalc(const TCalcNode& n, std::vector<TNumStep>& out);

// A term as the calculator reads it: a number, a word, or a parenthesised part worked out whole.
// A value is only a number to an operator but where a comparison's right side decides how it
// compares, or where it is the value itself (asValue): only then must a word be a number.
void EmitTerm(const TExprToken& t, std::vector<TNumStep>& out, bool asValue) {
  if (t.Kind == TExprToken::kNumber) {
    out.push_back({TNumStep::kConst, opOther, 0, t.Num, nullptr});
  } else if (t.Kind == TExprToken::kWord) {
    out.push_back({TNumStep::kWord, opOther, static_cast<uint8_t>(asValue ? 1 : 0), 0, &t});
  } else if (t.Sub->Calc) {
    EmitTerm(t.Sub->Tokens[0], out, false);
    EmitCalc(*t.Sub->Calc, out);
  } else {
    EmitTerm(t.Sub->Tokens[0], out, asValue);
  }
}

// Each side in turn, left first, then the operator: the order the calculator works in (the first
// operand is on the stack already).
void EmitCalc(const TCalcNode& n, std::vector<TNumStep>& out) {
  if (n.Kind == TCalcNode::kFirst) return;
  if (n.Kind == TCalcNode::kTerm) {
    EmitTerm(*n.Term, out, false);
    return;
  }
  EmitCalc(*n.Left, out);
  if (n.Level == 2 && n.Right->Kind == TCalcNode::kTerm) {
    EmitTerm(*n.Right->Term, out, true);  // a comparison's right side decides how it compares
  } else {
    EmitCalc(*n.Right, out);
  }
  out.push_back({TNumStep::kApply, n.Op, n.Level, 0, nullptr});
}

void BuildNumSteps(TExprCode& code) {
  std::vector<TNumStep>& out = code.NumSteps;
  // A parenthesised first term is handed on as its text would be, which needs to know whether its
  // value is a number.
  EmitTerm(code.Tokens[0], out, !code.Calc || code.Tokens[0].Kind == TExprToken::kParen);
  if (code.Tokens[0].Kind == TExprToken::kParen)
    out.push_back({TNumStep::kAsWritten, opOther, 0, 0, nullptr});
  code.FirstSteps = out.size();
  if (code.Calc) EmitCalc(*code.Calc, out);
  // A value pushed only to be taken by the operator after it is taken by the operator directly
  // (never across the end of the first term's steps, which errors are told by).
  std::vector<TNumStep> fused;
  size_t first = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (i == code.FirstSteps) first = fused.size();
    const TNumStep& s = out[i];
    if ((s.Kind == TNumStep::kConst || s.Kind == TNumStep::kWord) && i + 1 < out.size() &&
        i + 1 != code.FirstSteps && out[i + 1].Kind == TNumStep::kApply) {
      TNumStep f = out[i + 1];
      f.Kind = s.Kind == TNumStep::kConst ? TNumStep::kApplyConst : TNumStep::kApplyWord;
      f.Num = s.Num;
      f.Token = s.Token;
      f.AsValue = s.Level;
      fused.push_back(f);
      ++i;
      continue;
    }
    fused.push_back(s);
  }
  if (code.FirstSteps >= out.size()) first = fused.size();
  out = std::move(fused);
  code.FirstSteps = first;
  for (TNumStep& s : out) {
    if ((s.Kind == TNumStep::kConst || s.Kind == TNumStep::kApplyConst) && s.Num > -1e15L &&
        s.Num < 1e15L && static_cast<long double>(static_cast<int64_t>(s.Num)) == s.Num) {
      s.IsWhole = true;
      s.Whole = static_cast<int64_t>(s.Num);
    }
  }
  size_t depth = 0;
  for (const TNumStep& s : out) {
    if (s.Kind == TNumStep::kConst || s.Kind == TNumStep::kWord) {
      code.NumDepth = std::max(code.NumDepth, ++depth);
    } else if (s.Kind == TNumStep::kApply) {
      --depth;
    }
  }
}

// The split of an expression text inside a working text, made on first use; null for texts
// elsewhere (values, temporaries) and for texts that are always read afresh. Valid while a
// TPositionUse is alive.
const TExprCode* CodeFor(TYumeBase& y, std::string_view text) {
  static TPositionCache<const TExprCode> codes;
  return TextReading(codes, y, text, CompileExpr);
}

// A plain variable read as a value the way a term would read it; null when the word is
// anything else.
const THashNode* PlainVariable(TYumeBase& y, const TExprToken& t) {
  const THashNode* w = y.Dict.FindRememberedOperand(t.Text, t.Ref);
  if (!w || w->Kind != wkVariable) return nullptr;
  return w;
}

// A number of the split or a plain variable, viewed in place; false (nothing read) for
// anything else.
bool ViewOperand(TYumeBase& y, const TExprToken& t, TValueView& v) {
  if (t.Kind == TExprToken::kNumber) {
    v.Text = t.Value;
    v.Num = t.Num;
    v.IsNum = v.HasNum = true;
    return true;
  }
  if (t.Kind != TExprToken::kWord) return false;
  const THashNode* w = PlainVariable(y, t);
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
bool ViewOperands(TYumeBase& y, const TExprCode& code, TValueView& a, TValueView& b) {
  return ViewOperand(y, code.Tokens[0], a) && ViewOperand(y, code.Tokens[2], b);
}

long double ViewedResult(const TExprCode& code, TValueView& a, TValueView& b) {
  const TOp op = code.Tokens[1].Op;
  return CombineNumber(LevelOf(op), op, a, b);
}

// A variable read into a calculation's value: a kept number stays a number (its text written
// only if an operator asks for it). Sets y.LastType as a term reading it does.
void ReadVariableValue(TYumeBase& y, const THashNode& w, TStrNum& out) {
  long double n;
  if (!w.KeptNumber(n)) {
    out.Text = w.ValueText();
    out.HasText = true;
    out.HasNum = false;
    if (!w.TypeText.empty()) {
      y.LastType = w.TypeText;
    } else {
      y.LastType =
          !out.Text.empty() && (out.Text[0] == '$' || IsDigitChar(out.Text[0])) ? "e" : "s";
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

// A word that is an item of a dictionary written inside it ("辞書のキー"), read as a term reads
// it: no word of that name, nor a command under its folded name, the head before its last "の" a
// dictionary, the key after it a plain variable whose value names the item. The dictionary and
// the key's variable; null for anything else.
const THashNode* ItemHolderOf(TYumeBase& y, const TExprToken& t, const THashNode*& key) {
  const TItemWord& it = *t.Item;
  if (y.Dict.FindRemembered(t.Text, t.Ref)) return nullptr;
  if (const THashNode* f = y.Dict.FindRemembered(t.Text, it.Folded);
      f && (f->Kind == wkCommand || f->Kind == wkLabel || f->Kind == wkLibFunc))
    return nullptr;
  const THashNode* x = y.Dict.FindRemembered(it.HeadText, it.Head);
  if (!x || x->Kind != wkDictionary || !x->Items || it.KeyText.empty()) return nullptr;
  key = y.Dict.FindRemembered(it.KeyText, it.Key);
  if (!key || key->Kind != wkVariable) return nullptr;
  return x;
}

bool ItemWordReady(TYumeBase& y, const TExprToken& t) {
  const THashNode* key;
  return ItemHolderOf(y, t, key) != nullptr;
}

// The item's value as ItemAccess reads it; its type tells whether it is a number.
bool ItemIsNumber(const THashNode& item) {
  const std::string& type = item.TypeText;
  if (!type.empty()) return type.back() == 'e';
  const std::string& v = item.ValueText();
  return !v.empty() && (v[0] == '$' || IsDigitChar(v[0]));
}

[[gnu::noinline]] bool ItemWordValue(TYumeBase& y, const TExprToken& t, TStrNum& out) {
  const THashNode* key;
  const THashNode* x = ItemHolderOf(y, t, key);
  if (!x) return false;
  const THashNode* item = x->Items->Find(key->ValueText(), false);
  if (!item) {
    out.SetText(std::string(), false);
    y.LastType = "s";
    return true;
  }
  const bool isNum = ItemIsNumber(*item);
  y.LastType = isNum ? "e" : "s";
  long double n;
  if (isNum && item->KeptNumber(n)) {
    out.SetNumber(n);
  } else {
    out.SetText(std::string(item->ValueText()), isNum);
  }
  return true;
}

// The number of the item's value as an operator reads it (a missing item is an empty text); with
// asValue, only when the item is there and its value is a number.
bool ItemNumber(TYumeBase& y, const TExprToken& t, long double& out, bool asValue) {
  const THashNode* key;
  const THashNode* x = ItemHolderOf(y, t, key);
  if (!x) return false;
  const THashNode* item = x->Items->Find(key->ValueText(), false);
  if (asValue && (!item || !ItemIsNumber(*item))) return false;
  out = item ? item->NumberOfValue() : 0;
  return true;
}

// A word before parentheses that is callable as written; null otherwise.
THashNode* CallableWord(TYumeBase& y, const TExprToken& t) {
  THashNode* w = y.Dict.FindRemembered(t.Word, t.Ref);
  if (!w || !(w->Kind == wkCommand || w->Kind == wkLabel || w->Kind == wkLibFunc)) return nullptr;
  return y.CallForValue ? w : nullptr;
}

[[gnu::noinline]] TStrNum RunParen(TYumeBase& y, const TExprToken& t, bool guarded);
bool ParenNumber(TYumeBase& y, const TExprToken& t, long double& out);
bool ItemWordReady(TYumeBase& y, const TExprToken& t);
bool ItemNumber(TYumeBase& y, const TExprToken& t, long double& out, bool asValue);

// A literal's value: as written, or worked out from the text as a term reads it.
[[gnu::noinline]] std::string LiteralValue(TYumeBase& y, std::string_view text,
                                           const TExprToken& t) {
  if (!t.Expand) return t.Value;
  std::string out;
  size_t p = t.Pos;
  ExpandLiteral(y, text, p, out);
  return out;
}

// An element's index as ReadIndex works it out: a whole number kept by a plain variable, or
// worked out on whole numbers, directly; anything else as the text is read.
int ElementIndex(TYumeBase& y, const TExprToken& ix) {
  const auto index = [](int64_t v) { return v < 0 || v > INT_MAX ? -1 : static_cast<int>(v); };
  int64_t v;
  switch (ix.Kind) {
    case TExprToken::kNumber:
      return static_cast<int>(ix.Num);
    case TExprToken::kParen: {
      if (ix.Sub) {
        const TExprCode& sub = *ix.Sub;
        if (sub.AfterFirst == TExprCode::kDone && sub.Tokens[0].Kind == TExprToken::kWord) {
          const THashNode* w = PlainVariable(y, sub.Tokens[0]);
          if (w && w->KeptWhole(v)) return index(v);
        } else if (EvaluateWhole(y, &sub, v)) {
          return index(v);
        }
      }
      return IndexValue(Calculate(y, ix.Text));
    }
    default: {
      const THashNode* w = PlainVariable(y, ix);
      if (w && w->KeptWhole(v)) return index(v);
      size_t p = 0;
      return IndexValue(EvalTerm(y, ix.Text, p));
    }
  }
}

// The value of a call in a calculation: a whole number the call gives is taken as it is (its
// text made only if needed).
void CallTermValue(TYumeBase& y, THashNode& w, std::string_view args, TStrNum& out) {
  struct TAccept {
    TYumeBase& Y;
    ~TAccept() { Y.AcceptWhole = false; }
  } accept{y};
  y.AcceptWhole = true;
  std::string v = y.CallForValue(y, w, args, true);
  y.AcceptWhole = false;
  if (y.GaveWhole) {
    y.GaveWhole = false;
    out.Num = static_cast<long double>(y.GivenWhole);
    out.HasNum = true;
    out.HasText = false;
    out.IsNum = y.LastType == "e";
    return;
  }
  out.SetText(std::move(v), y.LastType == "e");
}

bool EvalCodedTerm(TYumeBase& y, std::string_view text, const TExprToken& t, TStrNum& out,
                   size_t& end, bool guarded);

// The rarer terms, apart (not inline): their room is not kept on the stack of the usual terms,
// which may be calls.
[[gnu::noinline]] bool ElementTermValue(TYumeBase& y, const TExprToken& t, TStrNum& out) {
  THashNode* w = y.Dict.FindRemembered(t.Text, t.Ref);
  if (!w || w->Kind != wkVariable) return false;
  const int i = ElementIndex(y, t.Parts[0]);
  std::string v;
  if (t.Parts.size() == 2) {
    const int j = ElementIndex(y, t.Parts[1]);
    if (i >= 0 && j >= 0) v = w->GetCell(i, j);
  } else if (i >= 0) {
    v = w->GetRow(i);
  }
  y.LastType = InferCellType(v);
  out.SetText(std::move(v), y.LastType == "e");
  return true;
}

[[gnu::noinline]] bool ChainTermValue(TYumeBase& y, std::string_view text, const TExprToken& t,
                                      TStrNum& out, size_t& end) {
  std::string s = LiteralValue(y, text, t.Parts[0]);
  for (size_t k = 1; k < t.Parts.size(); ++k) {
    const TExprToken& part = t.Parts[k];
    if (part.Kind == TExprToken::kLiteral) {
      if (part.Expand) {
        size_t p = part.Pos;
        ExpandLiteral(y, text, p, s);
      } else {
        s += part.Value;
      }
      continue;
    }
    TStrNum v;
    size_t partEnd;
    if (!EvalCodedTerm(y, text, part, v, partEnd, true)) {
      // The chain goes on from the text after the part before.
      size_t pos = t.Parts[k - 1].End;
      ContinueStringChain(y, text, pos, s);
      end = pos;
      out.SetText(std::move(s), false);
      return true;
    }
    s += v.TextValue();
  }
  out.SetText(std::move(s), false);
  y.LastType = "s";
  return true;
}

// One term of the split, read as a term reads it: into out, with y.LastType set. False (nothing
// read) when the term is not what the split expected; a chain whose later part is not is
// finished from the text, and end tells where it ended (else t.End). A parenthesised part is a
// calculation of its own (guarded: its failures reported with its own text, as a term reads
// it; else left to the calculation around it).
bool EvalCodedTerm(TYumeBase& y, std::string_view text, const TExprToken& t, TStrNum& out,
                   size_t& end, bool guarded) {
  end = t.End;
  switch (t.Kind) {
    case TExprToken::kNumber:
      out.Text.assign(t.Value);
      out.Num = t.Num;
      out.IsNum = out.HasText = out.HasNum = true;
      y.LastType = "e";
      return true;
    case TExprToken::kLiteral:
      out.SetText(LiteralValue(y, text, t), false);
      y.LastType = "s";
      return true;
    case TExprToken::kWord: {
      const THashNode* w = PlainVariable(y, t);
      if (!w) return t.Item && ItemWordValue(y, t, out);
      ReadVariableValue(y, *w, out);
      return true;
    }
    case TExprToken::kCall: {
      THashNode* w = CallableWord(y, t);
      if (!w) return false;
      CallTermValue(y, *w, t.Text, out);
      return true;
    }
    case TExprToken::kParen:
      out = RunParen(y, t, guarded);
      return true;
    case TExprToken::kElement:
      return ElementTermValue(y, t, out);
    case TExprToken::kChain:
      return ChainTermValue(y, text, t, out, end);
    case TExprToken::kOp:
      break;
  }
  return false;
}

// The recursive-descent parser over one expression text, reading the text's split while it can.
class TCalc {
 public:
  // The split is looked up by the text's place.
  TCalc(TYumeBase& y, std::string_view text) : y_(y), text_(text) {}
  // The split comes with the text (null: the text is always read).
  TCalc(TYumeBase& y, std::string_view text, const TExprCode* code)
      : y_(y), text_(text), code_(code), given_(true) {}

  TStrNum Run() {
    if (StackNearlyFull()) throw ECalc("括弧が深すぎます。");
    if (!given_) code_ = CodeFor(y_, text_);
    // Calls are left to the calculator here: reading the left one and then finding the right one
    // unfit would run it twice.
    TValueView a, b;
    if (code_ && code_->Binary && ViewOperands(y_, *code_, a, b))
      return TStrNum::FromNumber(ViewedResult(*code_, a, b));
    kind_ = tkNone;
    SkipSeparators(text_, pos_);
    Next();
    return Finish();
  }

  // The expression whose first operand has been read already; the rest starts at pos.
  TStrNum RunWith(TStrNum first, size_t pos) {
    code_ = nullptr;
    pos_ = pos;
    kind_ = first.IsNum ? tkNumber : tkText;
    tok_ = std::move(first);
    return Finish();
  }

  // The same with the text's split: the operand was read from it, and the rest starts with its
  // token at index.
  TStrNum RunWithCode(TStrNum first, size_t index) {
    idx_ = index;
    pos_ = index < code_->Tokens.size() ? code_->Tokens[index].Pos : text_.size();
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
    if (t.Kind == TExprToken::kOp) {
      prev_ = kind_;
      op_text_ = t.Text;
      op_ = t.Op;
      kind_ = tkOperator;
      ++idx_;
      pos_ = t.End;
      return true;
    }
    // A sign where a value belongs is read with its number as one term.
    size_t end;
    const TTokenKind before = kind_;
    if (!EvalCodedTerm(y_, text_, t, tok_, end, false)) {
      code_ = nullptr;
      pos_ = t.Pos;
      return false;
    }
    prev_ = before;
    kind_ = tok_.IsNum ? tkNumber : tkText;
    ++idx_;
    pos_ = end;
    if (end != t.End) code_ = nullptr;  // a chain finished from the text: go on from there
    return true;
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
  bool given_ = false;               // code_ came with the text
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

// A number as a calculation hands it on to a term: written out (as Finish writes it) and read
// back. A whole number below 10^15 is kept as the number its text reads back as.
void AsWritten(TStrNum& v) {
  if (!v.IsNum) return;
  long double n = v.Number();
  if (n > -1e15L && n < 1e15L && n == std::trunc(n)) {
    if (n == 0) n = 0;  // "-0" is written "0"
    v.SetNumber(n);
    return;
  }
  v.SetText(FormatNumber(n), true);
}

TStrNum RunParen(TYumeBase& y, const TExprToken& t, bool guarded) {
  long double n;
  if (!guarded) {
    if (ParenNumber(y, t, n)) return TStrNum::FromNumber(n);
    return TCalc(y, t.Text, t.Sub.get()).Run();
  }
  // As a term reads it: a calculation of its own, handed on as its text.
  bool numeric;
  try {
    numeric = ParenNumber(y, t, n);
  } catch (const ECalc& e) {
    RaiseCalcError(y, e.what(), t.Text);
  }
  TStrNum v;
  if (numeric) {
    y.LastType = "e";
    v = TStrNum::FromNumber(n);
  } else {
    v = GuardedValue(y, t.Text, [&] { return TCalc(y, t.Text, t.Sub.get()).Run(); });
  }
  AsWritten(v);
  return v;
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

// The value read from the text alone: the first term, then EvaluateRest.
TStrNum TextPathValue(TYumeBase& y, std::string_view text, size_t pos, std::string value) {
  std::string v = EvaluateRest(y, text, pos, std::move(value));
  return TStrNum::FromText(std::move(v), y.LastType == "e");
}

// True when every word of the split (the parenthesised parts aside: they check their own) is a
// plain variable and every call's word is callable, as the split expects.
bool AsSplit(TYumeBase& y, const TExprToken& t) {
  switch (t.Kind) {
    case TExprToken::kWord:
      return PlainVariable(y, t) != nullptr || (t.Item && ItemWordReady(y, t));
    case TExprToken::kCall:
      return CallableWord(y, t) != nullptr;
    case TExprToken::kElement:
      return PlainVariable(y, t) != nullptr;
    case TExprToken::kChain:
      for (const TExprToken& p : t.Parts)
        if (!AsSplit(y, p)) return false;
      return true;
    default:
      return true;
  }
}

bool AllAsSplit(TYumeBase& y, const TExprCode& code) {
  for (const TExprToken& t : code.Tokens)
    if (!AsSplit(y, t)) return false;
  return true;
}

// A term of a calculation whose split was found as expected when it began. A word read since
// then (a call in between may have changed what it means) that is no longer a plain variable is
// read as a term reads it, from its place in the text, which is exactly the word.
TStrNum CalcTerm(TYumeBase& y, std::string_view text, const TExprToken& t) {
  TStrNum v;
  size_t end;
  if (EvalCodedTerm(y, text, t, v, end, false)) {
    if (end != t.End) v.IsNum = false;  // a chain is always text
    return v;
  }
  size_t pos = t.Pos;
  std::string s = EvalTerm(y, text, pos);
  return TStrNum::FromText(std::move(s), y.LastType == "e");
}

TStrNum EvalCalc(TYumeBase& y, std::string_view text, const TCalcNode& n, TStrNum& first) {
  switch (n.Kind) {
    case TCalcNode::kFirst:
      return std::move(first);
    case TCalcNode::kTerm:
      return CalcTerm(y, text, *n.Term);
    case TCalcNode::kBinary:
      break;
  }
  TStrNum a = EvalCalc(y, text, *n.Left, first);
  TStrNum b = EvalCalc(y, text, *n.Right, first);
  Combine(n.Level, n.Op, a, b);
  return a;
}

// ---- calculations on plain numbers ----
//
// A split made only of numbers, words and parenthesised parts of the same kind, joined by
// operators other than "&", is worked out on plain numbers when every word it reads is a plain
// variable whose value is a number (as its type says): each operator then does what it does to
// the numbers of two number values. Reading the words changes nothing, so where one is not such a
// variable nothing has happened yet, and the calculation is made the usual way.

// The number of a variable's value (as an operator reads it); with asValue, only when the value is
// a number as its type says (kept as one, or a text its type says is a number).
bool NumberOfVariable(const THashNode& w, long double& out, bool asValue) {
  if (!asValue) {
    if (!w.KeptNumber(out)) out = w.NumberOfValue();
    return true;
  }
  const std::string& type = w.TypeText;
  const bool typedNumber = type.size() == 1 && type[0] == 'e';
  if (w.KeptNumber(out)) return type.empty() ? out >= 0 : typedNumber;
  if (type.empty()) {
    const std::string& v = w.ValueText();
    if (v.empty() || !(v[0] == '$' || IsDigitChar(v[0]))) return false;
  } else if (!typedNumber) {
    return false;
  }
  out = w.NumberOfValue();
  return true;
}

// An operator of the calculator on two numbers.
long double ApplyNumbers(const TNumStep& s, long double a, long double b) {
  switch (s.Level) {
    case 1:
      return (s.Op == opAnd ? (a > 0 && b > 0) : (a > 0 || b > 0)) ? 1 : 0;
    case 2:
      if (s.Op == opNumEq) return a == b ? 1 : 0;
      if (s.Op == opNumNe) return a != b ? 1 : 0;
      if (std::isnan(a) || std::isnan(b)) return s.Op == opNe ? 1 : 0;
      return Ordered(s.Op, a < b ? -1 : (a > b ? 1 : 0)) ? 1 : 0;
    default:
      return Arithmetic(s.Op, a, b);
  }
}

// The usual operators with finite results inline; anything else as the calculator works it out
// (and reports it).
inline long double ApplyFast(const TNumStep& s, long double a, long double b) {
  long double r;
  switch (s.Op) {
    case opAdd:
      r = a + b;
      break;
    case opSub:
      r = a - b;
      break;
    case opMul:
      r = a * b;
      break;
    case opEq:
      r = a == b ? 1 : 0;
      break;
    case opLt:
      r = a < b ? 1 : 0;
      break;
    case opGt:
      r = a > b ? 1 : 0;
      break;
    default:
      return ApplyNumbers(s, a, b);
  }
  if (r - r != 0) return ApplyNumbers(s, a, b);  // not finite
  return r;
}

// An operator on two whole numbers, giving what it gives on extended numbers; false where the
// result may be no whole number or leave the range (division, powers, an overflow).
inline bool ApplyWhole(const TNumStep& s, int64_t a, int64_t b, int64_t& r) {
  switch (s.Op) {
    case opAdd:
      return !__builtin_add_overflow(a, b, &r);
    case opSub:
      return !__builtin_sub_overflow(a, b, &r);
    case opMul:
      return !__builtin_mul_overflow(a, b, &r);
    case opMod:
      r = (b == 0 || b == -1) ? 0 : a % b;
      return true;
    case opAnd:
      r = (a > 0 && b > 0) ? 1 : 0;
      return true;
    case opOr:
      r = (a > 0 || b > 0) ? 1 : 0;
      return true;
    case opNumEq:
      r = a == b ? 1 : 0;
      return true;
    case opNumNe:
      r = a != b ? 1 : 0;
      return true;
    case opEq:
    case opNe:
    case opLt:
    case opGt:
    case opGe:
    case opLe:
      r = Ordered(s.Op, a < b ? -1 : (a > b ? 1 : 0)) ? 1 : 0;
      return true;
    default:
      return false;
  }
}

// A word's number as a whole number, as NumberOfVariable would read it; false where it holds
// anything else (the steps are then run on extended numbers, which decide).
inline bool WholeOfWord(TYumeBase& y, const TExprToken& t, bool asValue, int64_t& out) {
  const THashNode* w = PlainVariable(y, t);
  if (!w || !w->KeptWhole(out)) return false;
  if (!asValue) return true;
  const std::string& type = w->TypeText;
  return type.empty() ? out >= 0 : type.size() == 1 && type[0] == 'e';
}

// The steps run on whole numbers, as they would run on extended numbers, while every value is a
// whole number below 10^15 kept as one and every result is one too (integer arithmetic is
// exact and does without the x87 unit's slow loads, stores and conversions); false as soon as
// one is not, nothing having changed (the steps only read).
bool RunWholeSteps(TYumeBase& y, const TExprCode& code, int64_t& out, bool asCalc) {
  int64_t fixed[16];
  if (code.NumDepth > std::size(fixed)) return false;
  int64_t* const stack = fixed;
  size_t sp = 0;
  for (const TNumStep& s : code.NumSteps) {
    switch (s.Kind) {
      case TNumStep::kConst:
        if (!s.IsWhole) return false;
        stack[sp++] = s.Whole;
        break;
      case TNumStep::kWord:
        if (!WholeOfWord(y, *s.Token, s.Level != 0, stack[sp])) return false;
        ++sp;
        break;
      case TNumStep::kApply: {
        const int64_t b = stack[--sp];
        if (!ApplyWhole(s, stack[sp - 1], b, stack[sp - 1])) return false;
        break;
      }
      case TNumStep::kApplyConst:
        if (!s.IsWhole || !ApplyWhole(s, stack[sp - 1], s.Whole, stack[sp - 1])) return false;
        break;
      case TNumStep::kApplyWord: {
        int64_t b;
        if (!WholeOfWord(y, *s.Token, s.AsValue != 0, b) ||
            !ApplyWhole(s, stack[sp - 1], b, stack[sp - 1]))
          return false;
        break;
      }
      case TNumStep::kAsWritten:
        // Written out and read back, a whole number below 10^15 is itself.
        if (!asCalc && (stack[sp - 1] <= -1000000000000000 || stack[sp - 1] >= 1000000000000000))
          return false;
        break;
    }
  }
  out = stack[0];
  return true;
}

// EvaluateText of a split of numeric shape: false (nothing done) when a word holds no number.
// The first term is read as a term reads it (a part in parentheses is a calculation of its own,
// reported with its own text and handed on as its text would be), the rest as the calculator
// reads it. Parts in parentheses are checked against the stack as the calculator checks them.
// The steps of a split of numeric shape; false (nothing done) when a word holds no number. A
// failing operator throws ECalc; step tells which step it was. In a calculation around it (asCalc)
// a parenthesised first term is not written out.
bool RunNumSteps(TYumeBase& y, const TExprCode& code, long double& out, size_t& step, bool asCalc) {
  if (int64_t whole; RunWholeSteps(y, code, whole, asCalc)) {
    out = static_cast<long double>(whole);
    return true;
  }
  long double fixed[16];
  fixed[0] = 0;  // steps always leave their result here; the compiler cannot see it
  std::unique_ptr<long double[]> more;
  long double* stack = fixed;
  if (code.NumDepth > std::size(fixed)) {
    more = std::make_unique<long double[]>(code.NumDepth);
    stack = more.get();
  }
  size_t sp = 0;
  const TNumStep* const steps = code.NumSteps.data();
  const size_t n = code.NumSteps.size();
  size_t i = 0;
  try {
    for (; i < n; ++i) {
      const TNumStep& s = steps[i];
      switch (s.Kind) {
        case TNumStep::kConst:
          stack[sp++] = s.Num;
          break;
        case TNumStep::kWord: {
          const THashNode* w = PlainVariable(y, *s.Token);
          if (w ? !NumberOfVariable(*w, stack[sp], s.Level != 0)
                : !(s.Token->Item && ItemNumber(y, *s.Token, stack[sp], s.Level != 0)))
            return false;
          ++sp;
          break;
        }
        case TNumStep::kApply: {
          const long double b = stack[--sp];
          stack[sp - 1] = ApplyFast(s, stack[sp - 1], b);
          break;
        }
        case TNumStep::kApplyConst:
          stack[sp - 1] = ApplyFast(s, stack[sp - 1], s.Num);
          break;
        case TNumStep::kApplyWord: {
          long double b;
          const THashNode* w = PlainVariable(y, *s.Token);
          if (w ? !NumberOfVariable(*w, b, s.AsValue != 0)
                : !(s.Token->Item && ItemNumber(y, *s.Token, b, s.AsValue != 0)))
            return false;
          stack[sp - 1] = ApplyFast(s, stack[sp - 1], b);
          break;
        }
        case TNumStep::kAsWritten: {
          if (asCalc) break;
          const long double v = stack[sp - 1];
          if (!(v > -1e15L && v < 1e15L && static_cast<long double>(static_cast<int64_t>(v)) == v))
            stack[sp - 1] = StrToNumber(FormatNumber(v));
          else if (v == 0)
            stack[sp - 1] = 0;  // "-0" is written "0"
          break;
        }
      }
    }
  } catch (const ECalc&) {
    step = i;
    throw;
  }
  out = stack[0];
  return true;
}

// A parenthesised part of numeric shape worked out as the calculator works it out (checked
// against the stack first); false (nothing done) where it is not.
bool ParenNumber(TYumeBase& y, const TExprToken& t, long double& out) {
  if (!t.Sub || !t.Sub->Numeric) return false;
  if (StackNearlyFull()) throw ECalc("括弧が深すぎます。");
  size_t step;
  return RunNumSteps(y, *t.Sub, out, step, true);
}

// EvaluateText of a split of numeric shape: false (nothing done) when a word holds no number. The
// first term is read as a term reads it (a part in parentheses is a calculation of its own,
// reported with its own text and handed on as its text would be), the rest as the calculator
// reads it.
bool NumericValue(TYumeBase& y, std::string_view text, const TExprCode& code, long double& out) {
  if (code.Tokens[0].Kind == TExprToken::kParen && StackNearlyFull()) {
    RaiseCalcError(y, "括弧が深すぎます。", code.Tokens[0].Text);
  }
  size_t step = 0;
  try {
    return RunNumSteps(y, code, out, step, false);
  } catch (const ECalc& e) {
    RaiseCalcError(y, e.what(), step < code.FirstSteps ? code.Tokens[0].Text : text);
  }
}

// EvaluateText with the text's split; a number a calculation made is left unwritten.
// The rest of an expression after its first term, by the calculator (not inline: its room is
// not kept on the stack through the calls an expression makes).
[[gnu::noinline]] TStrNum CalculatedValue(TYumeBase& y, std::string_view text,
                                          const TExprCode& code, TStrNum& first, size_t idx) {
  if (code.Calc && AllAsSplit(y, code)) {
    return GuardedValue(y, text, [&] { return EvalCalc(y, text, *code.Calc, first); });
  }
  return GuardedValue(y, text,
                      [&] { return TCalc(y, text, &code).RunWithCode(std::move(first), idx); });
}

// The "&" terms after the first appended to value, in order: npos when the split held them all,
// else the place in the text from which the rest is read afresh (value holds what came before).
size_t AppendJoinedTerms(TYumeBase& y, std::string_view text, const TExprCode& code,
                         std::string& value) {
  for (size_t idx = 1; idx < code.PrefixEnd; ++idx) {
    const TExprToken& p = code.Tokens[idx];
    TStrNum v;
    size_t pend;
    if (!EvalCodedTerm(y, text, p, v, pend, true)) {
      size_t pos = p.Pos;
      value += EvalTerm(y, text, pos);
      y.LastType = "s";
      return pos;
    }
    value += v.TextValue();
    y.LastType = "s";
    if (pend != p.End) return pend;
  }
  return std::string_view::npos;
}

// "A & B & …" and whatever follows it (not inline, as CalculatedValue).
[[gnu::noinline]] TStrNum ConcatValue(TYumeBase& y, std::string_view text, const TExprCode& code,
                                      TStrNum& first) {
  std::string value = std::move(first.TextValue());
  const size_t rest = AppendJoinedTerms(y, text, code, value);
  if (rest != std::string_view::npos) return TextPathValue(y, text, rest, std::move(value));
  const size_t idx = std::max<size_t>(code.PrefixEnd, 1);
  if (idx >= code.Tokens.size()) return TStrNum::FromText(std::move(value), false);
  first = TStrNum::FromText(std::move(value), false);
  return CalculatedValue(y, text, code, first, idx);
}

TStrNum EvaluateCodedValue(TYumeBase& y, std::string_view text, const TExprCode& code) {
  if (code.Numeric && code.AfterFirst != TExprCode::kDone) {
    long double n;
    if (NumericValue(y, text, code, n)) {
      y.LastType = "e";
      return TStrNum::FromNumber(n);
    }
  }
  // Two numbers or plain variables joined by one operator, worked out on the values in place.
  TValueView a, b;
  if (code.Binary && ViewOperands(y, code, a, b))
    return GuardedValue(y, text, [&] { return TStrNum::FromNumber(ViewedResult(code, a, b)); });

  const TExprToken& t = code.Tokens[0];
  TStrNum first;
  size_t end;
  if (!EvalCodedTerm(y, text, t, first, end, true)) {
    size_t pos = t.Pos;
    std::string value = EvalTerm(y, text, pos);
    return TextPathValue(y, text, pos, std::move(value));
  }
  if (end != t.End) return TextPathValue(y, text, end, std::move(first.Text));
  if (code.AfterFirst == TExprCode::kDone) return first;
  size_t idx = 1;
  if (code.AfterFirst == TExprCode::kConcat) {
    return ConcatValue(y, text, code, first);
  } else if (code.Binary) {
    // "A op B" with B a number, a plain variable or a callable word: what the calculator would
    // do, directly.
    const TExprToken& rt = code.Tokens[2];
    const THashNode* rw = rt.Kind == TExprToken::kWord ? PlainVariable(y, rt) : nullptr;
    THashNode* rc = rt.Kind == TExprToken::kCall ? CallableWord(y, rt) : nullptr;
    if (rw || rc || rt.Kind == TExprToken::kNumber) {
      const TOp op = code.Tokens[1].Op;
      // Inside the guard, as in the calculator: a failing call is reported as the expression's.
      return GuardedValue(y, text, [&] {
        TStrNum second;
        if (rw) {
          ReadVariableValue(y, *rw, second);
        } else if (rc) {
          CallTermValue(y, *rc, rt.Text, second);
        } else {
          second.Text.assign(rt.Value);
          second.Num = rt.Num;
          second.IsNum = second.HasNum = true;
        }
        Combine(LevelOf(op), op, first, second);
        return std::move(first);
      });
    }
  }
  return CalculatedValue(y, text, code, first, idx);
}

// The value of an argument text as EvaluateText gives it, a number a calculation made left
// unwritten; y.LastType is set.
TStrNum EvaluateValue(TYumeBase& y, std::string_view text) {
  if (text.empty()) {
    y.LastType = "s";
    return {};
  }
  // A plain whole number, the commonest argument, is its own value.
  if (IsPlainDigits(text)) {
    y.LastType = "e";
    return TStrNum::FromText(std::string(text), true);
  }
  const TPositionUse use;
  if (const TExprCode* code = CodeFor(y, text)) return EvaluateCodedValue(y, text, *code);
  size_t pos = 0;
  std::string value = EvalTerm(y, text, pos);
  return TextPathValue(y, text, pos, std::move(value));
}

}  // namespace

std::string EvaluateText(TYumeBase& y, std::string_view text) {
  // A plain whole number, the commonest argument, is its own value.
  if (IsPlainDigits(text)) {
    y.LastType = "e";
    return std::string(text);
  }
  TStrNum v = EvaluateValue(y, text);
  return v.HasText ? std::move(v.Text) : FormatNumber(v.Num);
}

void TExprCodeDeleter::operator()(const TExprCode* code) const {
  delete code;
}

bool EvaluateNumber(TYumeBase& y, std::string_view text, const TExprCode* code, long double& out) {
  if (!code || !code->Numeric || code->AfterFirst == TExprCode::kDone) return false;
  if (!NumericValue(y, text, *code, out)) return false;
  y.LastType = "e";
  return true;
}

bool EvaluateWhole(TYumeBase& y, const TExprCode* code, int64_t& out) {
  if (!code || !code->Numeric || code->AfterFirst == TExprCode::kDone) return false;
  // A first part in parentheses too deep for the stack is the long way's to report.
  if (code->Tokens[0].Kind == TExprToken::kParen && StackNearlyFull()) return false;
  if (!RunWholeSteps(y, *code, out, false)) return false;
  y.LastType = "e";
  return true;
}

TExprCodePtr SplitExpression(std::string_view text) {
  if (text.empty() || IsPlainDigits(text)) return nullptr;
  auto code = std::make_unique<TExprCode>();
  if (!CompileExpr(text, *code)) return nullptr;
  return TExprCodePtr(code.release());
}

namespace {

// EvaluateSplit; anyType: a number not written yet is given as the number whatever its type.
std::string SplitValue(TYumeBase& y, std::string_view text, const TExprCode* code,
                       long double& number, bool& hasNumber, bool anyType) {
  if (!code) return EvaluateOrNumber(y, text, number, hasNumber);
  TStrNum v = EvaluateCodedValue(y, text, *code);
  hasNumber = (anyType || v.IsNum) && !v.HasText;
  if (hasNumber) {
    number = v.Num;
    return {};
  }
  return v.HasText ? std::move(v.Text) : FormatNumber(v.Num);
}

}  // namespace

std::string EvaluateSplit(TYumeBase& y, std::string_view text, const TExprCode* code,
                          long double& number, bool& hasNumber) {
  return SplitValue(y, text, code, number, hasNumber, false);
}

std::string EvaluateSplitKept(TYumeBase& y, std::string_view text, const TExprCode* code,
                              long double& number, bool& hasNumber) {
  return SplitValue(y, text, code, number, hasNumber, true);
}

const THashNode* SoleTextVariable(TYumeBase& y, const TExprCode* code) {
  if (!code || code->AfterFirst != TExprCode::kDone || code->Tokens.size() != 1) return nullptr;
  const TExprToken& t = code->Tokens[0];
  if (t.Kind != TExprToken::kWord || t.Item) return nullptr;
  const THashNode* w = PlainVariable(y, t);
  long double n;
  return w && !w->KeptNumber(n) ? w : nullptr;
}

bool IsAppendTo(const TExprCode* code, std::string_view name) {
  return code && code->AfterFirst == TExprCode::kConcat && code->PrefixEnd == code->Tokens.size() &&
         code->Tokens[0].Kind == TExprToken::kWord && code->Tokens[0].Text == name;
}

const THashNode* AppendHead(TYumeBase& y, const TExprCode& code) {
  return PlainVariable(y, code.Tokens[0]);
}

bool EvaluateAppended(TYumeBase& y, std::string_view text, const TExprCode& code,
                      std::string& value, const std::function<std::string()>& head) {
  // As the "&" terms of EvaluateCodedValue.
  const auto whole = [&](size_t pos) {
    std::string all = head();
    all += value;
    TStrNum rest = TextPathValue(y, text, pos, std::move(all));
    value = std::move(rest.TextValue());
    return true;
  };
  const size_t rest = AppendJoinedTerms(y, text, code, value);
  return rest != std::string_view::npos && whole(rest);
}

std::string EvaluateOrNumber(TYumeBase& y, std::string_view text, long double& number,
                             bool& hasNumber) {
  TStrNum v = EvaluateValue(y, text);
  hasNumber = v.IsNum && !v.HasText;
  if (hasNumber) {
    number = v.Num;
    return {};
  }
  return v.HasText ? std::move(v.Text) : FormatNumber(v.Num);
}

}  // namespace yume
