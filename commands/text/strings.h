// Text algorithms of the string commands: plain functions on CP932 byte strings that know
// nothing of the interpreter.
//
// Every scan steps by characters (a lead byte takes the next byte along), so a second byte such
// as 5C of "表" or 7C of "ポ" is never taken for a delimiter, a match, a blank or a letter.
// Values are binary: zero bytes are ordinary bytes everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/charindex.h"
#include "core/number.h"  // ParseIntText, TruncCount

namespace yume {

// ---- measuring and searching ----

// Lines split at CR LF, CR or LF; a final break starts no further line; empty text has none.
size_t CountLines(std::string_view s);
// 1-based character position of the first occurrence; 0 when absent or longer than s. An
// empty `what` is found at 1.
// With ix, the index of s's characters (see TCharIndex), character positions are found without
// walking s from its start.
size_t CharPosition(std::string_view s, std::string_view what, const TCharIndex* ix = nullptr);
// 1-based byte position of the first occurrence; 0 when absent, longer, or either is empty.
size_t BytePosition(std::string_view s, std::string_view what);
// Non-overlapping occurrences; 0 for an empty `what`.
size_t CountOccurrences(std::string_view s, std::string_view what);

// ---- extracting (views into s) ----

// Byte offset after `count` characters from byte offset `from` (clamped to the end).
size_t SkipChars(std::string_view s, size_t from, int64_t count);
// Characters at positions start .. start+count-1 (from 1) that exist.
std::string_view MidChars(std::string_view s, int64_t start, int64_t count);
std::string_view MidChars(std::string_view s, int64_t start, int64_t count, const TCharIndex* ix);
// The same in bytes; a start below 1 counts from 1. May cut a character in half.
std::string_view MidBytes(std::string_view s, int64_t start, int64_t count);
std::string_view LeftChars(std::string_view s, int64_t n);
std::string_view RightChars(std::string_view s, int64_t n);
std::string_view DropLeftChars(std::string_view s, int64_t n);
std::string_view DropRightChars(std::string_view s, int64_t n);
std::string_view LeftChars(std::string_view s, int64_t n, const TCharIndex* ix);
std::string_view RightChars(std::string_view s, int64_t n, const TCharIndex* ix);
std::string_view DropLeftChars(std::string_view s, int64_t n, const TCharIndex* ix);
std::string_view DropRightChars(std::string_view s, int64_t n, const TCharIndex* ix);
// Paragraph n (from 1) with the line breaks that follow it; a paragraph ends at a CR that is
// followed, after an optional LF, by another CR. Empty when n is out of range or the paragraph
// itself is empty.
std::string_view Paragraph(std::string_view s, int64_t n);

// ---- cutting ----

struct TCut {
  std::string_view Taken;
  std::string Rest;
};
// Up to the first `delim` (not empty); the rest after it. Absent: the whole text, rest empty.
TCut CutBefore(std::string_view s, std::string_view delim);
// The same, but `esc` and the character after it are taken together and never end the cut.
TCut CutBeforeEscaped(std::string_view s, std::string_view delim, char esc);
// From the first `from` through the end of the first `to` found from there (both included);
// the rest is what lies before and after. `to` absent: up to the end. False when `from` is
// absent (or empty).
bool CutRange(std::string_view s, std::string_view from, std::string_view to, TCut& out);

// ---- building ----

// Every occurrence replaced, left to right; the search goes on after the inserted text.
std::string ReplaceAll(std::string_view s, std::string_view what, std::string_view with);
// Only the n-th non-overlapping occurrence; unchanged when there are fewer or n < 1. An empty
// `what` with n >= 1 puts `with` in front.
std::string ReplaceNth(std::string_view s, int64_t n, std::string_view what, std::string_view with);
// The pieces between delimiters; a delimiter at the very end gives no empty last piece; an
// empty delimiter gives the whole text; an empty text gives none.
std::vector<std::string_view> SplitPieces(std::string_view s, std::string_view delim);
// Bytes 0-32 off both ends, then full-width spaces, spaces, tabs, CR and LF.
std::string_view TrimSpaces(std::string_view s);
// Lines of at most `width` bytes (CR LF between them). A character of `noStart` that would
// begin a line is hung once at the end of the previous one. width <= 0: unchanged.
std::string WrapLines(std::string_view s, int64_t width, int64_t tabWidth,
                      std::string_view noStart);
// Padded on the left with `fill` to `width` bytes; unchanged when already that long.
std::string PadLeft(std::string_view s, size_t width, char fill);
// "#,##0.00" with decimals, else "#,##0"; rounded to 4 places first, halves away from zero.
std::string CurrencyText(long double v, bool decimals);

enum class TFormatStatus { kOk, kBadFormat, kOutOfRange };
// The value through a template of "%[-][width][.prec]type" conversions, type one of d u x (an
// integer: the value truncated), e f g n m (a floating-point number) or s (the text), "%%" for
// "%". The first conversion decides how the value is read; the value serves one conversion
// only, so a second is a format error, as is anything else after "%".
TFormatStatus FormatValue(std::string_view format, std::string_view value, std::string& out);

// ---- characters and codes ----

// Code of the first character (byte, or lead * 256 + trail); s must not be empty.
uint32_t FirstCharCode(std::string_view s);
// One byte for 0-255, two (high, low) for 256-65535.
std::string CharFromCode(uint32_t code);
bool StartsUpper(std::string_view s);     // first character, made half-width, is A-Z
bool StartsDigit(std::string_view s);     // ... is 0-9
bool StartsWide(std::string_view s);      // first byte is a lead byte
bool StartsHiragana(std::string_view s);  // first two bytes 82A0-833E
bool StartsKatakana(std::string_view s);  // first two bytes 8340-839D
// A digit first, then only digits, "+", "-", ".", "E" and "e".
bool IsNumberSequence(std::string_view s);

// ---- bytes ----

// "41,42," ...; every 16th byte is followed by CR LF instead of ",".
std::string HexDump(std::string_view s);

enum class TBinFormat { kNone, kChar, kByte, kWord, kDword, kInt, kCharZ };
// By name, compared in upper case: CHAR BYTE WORD DWORD INT CHAR*.
TBinFormat BinFormatOf(std::string_view name);
// Reads at byte offset `at`; false when the value lacks the bytes. isText tells the type.
bool ReadBinary(std::string_view value, size_t at, TBinFormat f, std::string& out, bool& isText);
// Writes at byte offset `at` in place; CHAR and CHAR* take `text`, the others `number`.
// kOutOfRange when the bytes do not fit the value or the number does not fit the format.
TFormatStatus WriteBinary(std::string& value, size_t at, TBinFormat f, std::string_view text,
                          long double number);

}  // namespace yume
