// The value of one term: literals, numbers, parenthesised expressions, words, element access
// "#" and item access "の".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace yume {

class TYumeBase;
class THashNode;

// Reads one term at pos (separators before it are skipped) and returns its value; pos ends up
// after the term; y.LastType is its type ("s", "e" or "hs"). At a character that cannot start a
// term the value is empty and pos does not move.
std::string EvalTerm(TYumeBase& y, std::string_view text, size_t& pos);

// A string literal's term goes on through "&" with further literals and terms: the chain
// continued from pos (just after one of its parts), appended to out; pos ends where the chain
// does. Sets y.LastType to "s".
void ContinueStringChain(TYumeBase& y, std::string_view text, size_t& pos, std::string& out);

// The literal at pos (its escapes and insertions worked out) appended to out; pos ends after it.
void ExpandLiteral(TYumeBase& y, std::string_view text, size_t& pos, std::string& out);

// The value of a literal (quotes included) that needs no evaluation: a backquoted one, or a
// double-quoted one without escapes or insertions ({...}). False for any other.
bool PlainLiteralValue(std::string_view literal, std::string& out);

// Words used as values are run by the statement executor and parts read by the part model,
// through the hooks the state holds (TYumeBase::CallForValue, TYumeBase::PartRead).

// The type of a text read from a table cell or row: blank is text; "$" with only hexadecimal
// digits after it, or only digits and commas, is a number; anything else is text.
const char* InferCellType(std::string_view text);

// "-" in front of a value: a sign already there is dropped or turned, so that -X of a negative X
// reads as a positive number.
std::string NegateValue(std::string v);

// A whole number written as an integer text (optional sign, digits); -1 for anything else.
int IndexValue(std::string_view text);

}  // namespace yume
