// Scanning the working text: character classes and the small readers the executor and the
// evaluator share.
//
// Every reader works on a view of the text and a position into it; the end of the view counts
// as the terminating zero. Two-byte characters are stepped over as units, so the classes below
// only ever look at single-byte characters.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/sjis.h"

namespace yume {

class TYumeBase;

namespace scan_detail {

enum : unsigned char { kSeparator = 1, kDelimiter = 2, kOperator = 4, kPairing = 8 };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> t{};
  for (unsigned char c : {'\t', ' ', ',', '\xA4'}) t[c] |= kSeparator;
  for (unsigned char c : {'\0', '\t', '\r', ' ', '!', '"', '#', '%', '&', '(',  ')', '*', '+',
                          ',',  '-',  '/',  ':', ';', '<', '=', '>', '?', '\\', '^', '`', '\xA4'})
    t[c] |= kDelimiter;
  for (unsigned char c : {'!', '%', '&', '*', '+', '-', '/', '<', '=', '>', '^', '|'})
    t[c] |= kOperator;
  for (unsigned char c : {'!', '&', '<', '=', '>', '|'}) t[c] |= kPairing;
  return t;
}

inline constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

}  // namespace scan_detail

// Skipped between phrases: tab, space, "," and the half-width ideographic comma 0xA4.
inline bool IsSeparator(char c) {
  return scan_detail::kClasses[static_cast<unsigned char>(c)] & scan_detail::kSeparator;
}
// Ends a word. Line feed, "$", ".", "@", "|", brackets, braces, "~", "'" and "_" do not.
inline bool IsDelimiter(char c) {
  return scan_detail::kClasses[static_cast<unsigned char>(c)] & scan_detail::kDelimiter;
}
inline bool IsOperatorChar(char c) {
  return scan_detail::kClasses[static_cast<unsigned char>(c)] & scan_detail::kOperator;
}
// Two of these in a row form one operator token ("<>", ">=", "&&" ...).
inline bool IsPairingChar(char c) {
  return scan_detail::kClasses[static_cast<unsigned char>(c)] & scan_detail::kPairing;
}
inline bool IsDigitChar(char c) {
  return c >= '0' && c <= '9';
}

// The character at pos, or the terminating zero past the end.
inline char CharAt(std::string_view text, size_t pos) {
  return pos < text.size() ? text[pos] : '\0';
}

inline void SkipSeparators(std::string_view text, size_t& pos) {
  while (pos < text.size() && IsSeparator(text[pos])) ++pos;
}
inline void SkipBlanks(std::string_view text, size_t& pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
}

// True when a string literal starts at pos: a double quote, a backquote or "@@".
inline bool AtStringLiteral(std::string_view text, size_t pos) {
  const char c = CharAt(text, pos);
  return c == '"' || c == '`' || (c == '@' && CharAt(text, pos + 1) == '@');
}

// Skips tabs and spaces, then returns the characters up to the first delimiter.
std::string_view ReadWord(std::string_view text, size_t& pos);

// Skips separators; an optional sign; then "$" and hexadecimal digits (returned as the decimal
// text of their value, "0" without digits) or decimal digits with an optional fraction (the "."
// counts only before a digit) and, after a fraction, an exponent. The sign stays in front; no
// digits at all gives just the sign.
std::string ReadNumber(std::string_view text, size_t& pos);

// The literal at pos (quotes or delimiters included); pos ends up after it. Raises for an
// unterminated literal.
std::string_view ReadStringLiteral(TYumeBase& y, std::string_view text, size_t& pos);

// Expects "(" at pos: returns the text up to the matching ")" (nested parentheses counted,
// literals skipped whole) and leaves pos after it. Raises when no ")" matches. Returns an empty
// view without moving when pos is not on "(".
std::string_view ReadParenthesized(TYumeBase& y, std::string_view text, size_t& pos);

// Position just past the ")" matching the "(" at pos (literals skipped whole), or npos.
size_t SkipParenthesized(std::string_view text, size_t pos);
// Position just past the end of the literal starting at pos, or npos when it is unterminated.
size_t SkipStringLiteral(std::string_view text, size_t pos);

// Doubles every backquote and encloses the result in backquotes: a literal that evaluates back
// to exactly `text`.
std::string QuoteBackquote(std::string_view text);
void AppendBackquoted(std::string& out, std::string_view text);

// After a line break: skips blanks and breaks; digits up to ":" set y.Line (-1 when they are
// not a line marker).
void ReadLineMarker(TYumeBase& y, std::string_view text, size_t& pos);
// The same without the state: the line it names, -1 for digits that are no marker, or
// kNoLineMarker when no digits follow (the line stays as it was).
inline constexpr int kNoLineMarker = -2147483647 - 1;
int ScanLineMarker(std::string_view text, size_t& pos);

// Consumes a line break met inside a "&" chain. The executor runs it as a statement step; without
// one the break and its line marker are simply read.
using TLineStepFn = void (*)(TYumeBase&, std::string_view text, size_t& pos);

// The rest of a phrase after a value: with no "&" following, the particle (ReadWord); otherwise
// each "&" operand in turn as "&" + operand, a string literal evaluated and written as a
// backquote literal, a parenthesised operand as written, any other operand as its word (a sign
// in front kept). After a literal, the word that follows without "&" (the particle) ends the
// tail.
std::string ReadConcatTail(TYumeBase& y, std::string_view text, size_t& pos,
                           TLineStepFn line_step = nullptr);

}  // namespace yume
