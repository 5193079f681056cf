// Expression evaluation: argument texts to values, and arithmetic over them.
//
// Values are text with a type code; arithmetic happens only where an operator asks for it.
// EvaluateText takes one term with its "&" concatenations and hands over to Calculate as soon
// as an operator follows. Calculate parses five levels of left-associative binary operators
// on extended precision numbers:
//   1  && ||
//   2  = <> >< < > >= => <= =< =& !& == !=
//   3  + - &
//   4  * / % ^
//   5  a value
// Both set y.LastType to "s" (text) or "e" (number).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace yume {

class TYumeBase;
class THashNode;

// A value inside a calculation. The number of a text and the text of a number are made only
// when an operator needs them.
struct TStrNum {
  std::string Text;
  long double Num = 0;
  bool IsNum = false;   // a number value (else text)
  bool HasText = true;  // Text is valid
  bool HasNum = false;  // Num is valid

  static TStrNum FromText(std::string text, bool is_num) {
    TStrNum v;
    v.Text = std::move(text);
    v.IsNum = is_num;
    return v;
  }
  static TStrNum FromNumber(long double n) {
    TStrNum v;
    v.Num = n;
    v.IsNum = true;
    v.HasText = false;
    v.HasNum = true;
    return v;
  }
  // Becomes the number n (in place: the text's storage is kept for later use).
  void SetNumber(long double n) {
    Num = n;
    IsNum = true;
    HasText = false;
    HasNum = true;
  }
  // Becomes a text (or a number written as text) taken from text.
  void SetText(std::string&& text, bool is_num) {
    Text = std::move(text);
    IsNum = is_num;
    HasText = true;
    HasNum = false;
  }
  long double Number();
  const std::string& TextValue();
};

// Plain digits (up to 18 of them): a text that evaluates to itself, a number.
inline bool IsPlainDigits(std::string_view text) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The value of an argument text: one term, "&" concatenations, and the whole handed to
// Calculate when an operator follows. An empty text is an empty value.
std::string EvaluateText(TYumeBase& y, std::string_view text);

// EvaluateText, except that a number the calculation worked out (not read from a text) is
// given in number, hasNumber set and nothing returned: a condition need not write it as text.
std::string EvaluateOrNumber(TYumeBase& y, std::string_view text, long double& number,
                             bool& hasNumber);

// An expression text split once (see expr.cpp), for a reading kept by its owner: the text must
// stay alive and unchanged as long as the split.
struct TExprCode;
struct TExprCodeDeleter {
  void operator()(const TExprCode* code) const;
};
using TExprCodePtr = std::unique_ptr<const TExprCode, TExprCodeDeleter>;
// Null for a text that is always read afresh.
TExprCodePtr SplitExpression(std::string_view text);
// The number EvaluateOrNumber would give for a split of numbers, words and parentheses whose
// words all hold numbers, worked out on plain numbers (y.LastType "e"); false, with nothing
// done, for any other split or value.
bool EvaluateNumber(TYumeBase& y, std::string_view text, const TExprCode* code, long double& out);
// EvaluateNumber's number when it is a whole number below 10^15 worked out on whole numbers
// (see RunWholeSteps); false, with nothing done, where EvaluateNumber must decide.
bool EvaluateWhole(TYumeBase& y, const TExprCode* code, int64_t& out);
// EvaluateOrNumber with the text's split at hand (null: read as EvaluateOrNumber reads it).
std::string EvaluateSplit(TYumeBase& y, std::string_view text, const TExprCode* code,
                          long double& number, bool& hasNumber);
// EvaluateSplit, where a number kept by a variable of another type ("s" …) is given as the
// number too (hasNumber set, the type left in y.LastType): its text is that number written out.
std::string EvaluateSplitKept(TYumeBase& y, std::string_view text, const TExprCode* code,
                              long double& number, bool& hasNumber);

// The plain variable a split of one word reads, when it holds text (no number kept); null for
// any other split or word.
const THashNode* SoleTextVariable(TYumeBase& y, const TExprCode* code);
// A split "name & term & ..." that is nothing but terms joined by "&", the first the word name.
bool IsAppendTo(const TExprCode* code, std::string_view name);
// The plain variable such a split reads first (null when its word means no plain variable now).
const THashNode* AppendHead(TYumeBase& y, const TExprCode& code);
// The terms after the first of such a split, joined as the whole joins them (y.LastType "s"),
// into value. Where a term is not what the split expected, the whole is finished from the text
// as the whole would be, from head() (the first term's value) and what value holds: true then,
// and value is the whole value.
bool EvaluateAppended(TYumeBase& y, std::string_view text, const TExprCode& code,
                      std::string& value, const std::function<std::string()>& head);

// The value of an expression. Any failure is raised as the error line
// "計算式に誤りがあります。" + reason + the expression text.
std::string Calculate(TYumeBase& y, std::string_view text);

}  // namespace yume
