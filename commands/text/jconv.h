// Japanese text conversion: character widths, letter case and kana forms over Shift_JIS text,
// the three Japanese code pages (JIS, EUC, Shift_JIS) with their detection, UTF-8, Base64 and
// MIME-encoded mail headers. Engine functions only: they know nothing of the interpreter.
//
// Every function walks its text once; a Shift_JIS lead byte always takes the byte after it, so
// a second byte that looks like ASCII ("表" is 95 5C, "ア" 83 41) is never converted on its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace yume {

// ---- widths, case, kana (Shift_JIS in, Shift_JIS out) ----

// Full-width letters, digits, symbols and katakana to their half-width forms ("ガ" -> "ｶﾞ").
std::string ToHalfWidth(std::string_view s);
// Half-width characters to full-width forms; a half-width kana with a following voiced mark
// that Shift_JIS holds as one character becomes that character ("ｶﾞ" -> "ガ"); "\" -> "￥".
std::string ToFullWidth(std::string_view s);
// Full-width digits, letters and the usual ASCII symbols to half-width; half-width katakana to
// full-width one byte at a time ("ｶﾞ" -> "カ゛"); everything else as it is.
std::string AlnumToHalfWidth(std::string_view s);
std::string ToUpperCase(std::string_view s);  // ASCII, full-width, Greek, Cyrillic, roman numerals
std::string ToLowerCase(std::string_view s);
std::string ToHiragana(std::string_view s);  // ヴ, ヵ and ヶ have no hiragana in Shift_JIS
std::string ToKatakana(std::string_view s);

// ---- code pages ----

enum TJCode : int {
  kCodeAscii = 0,      // no 8-bit byte seen
  kCodeBinary = 1,     // a control byte below 8, or 255
  kCodeJis = 2,        // kanji shift ESC $ B
  kCodeJisOld = 3,     // kanji shift ESC $ @
  kCodeEuc = 4,        //
  kCodeSjis = 5,       //
  kCodeEucOrSjis = 6,  // not decided
};

// The code page a text is written in, by its bytes.
int DetectJCode(std::string_view s);
// A code page's number by name, in any letter case: "EUC" 4, "JIS" 2, any other 5.
int JCodeByName(std::string_view name);
// The text read as code page `from` and written as `to` (2 or 3 for JIS, 4, 5); the text as it
// is when both are the same. Double-byte characters go by their JIS X 0208 row and cell (NEC's
// row 13 and the NEC-selected rows 89-92 included; IBM extension codes through their twins
// there); characters with no place there (user-defined, JIS X 0212) become "〓".
std::string ConvertJCode(std::string_view s, int from, int to);
// The same from the detected code page; plain ASCII, binary and undecided texts stay as they are.
std::string ConvertDetected(std::string_view s, int to);

// ---- UTF-8 (stopping at a zero byte) ----

// Code page 932 to UTF-8. The single bytes the code page leaves undefined are kept: 80 as
// U+0080, A0 as U+F8F0 and FD-FF as U+F8F1-U+F8F3, which Utf8ToSjis turns back into those
// bytes. Double-byte codes with no character become U+FFFD.
std::string SjisToUtf8(std::string_view s);
// UTF-8 to code page 932 (a leading byte-order mark dropped); characters the code page lacks
// become "?". False when s is not UTF-8.
bool Utf8ToSjis(std::string_view s, std::string& out);

// ---- Base64 and mail ----

std::string Base64Encode(std::string_view s);
// Skips CR and LF; false on any other character outside the alphabet or a group cut short
// before its second character.
bool Base64Decode(std::string_view s, std::string& out);
// Each run of double-byte characters as an ISO-2022-JP "B" encoded word.
std::string MailHeaderEncode(std::string_view s);
// The ISO-2022-JP "B" words decoded, the whole as Shift_JIS, cut at the first byte that is no
// text (a control other than TAB, CR, LF; a byte no character uses). Empty when a word's Base64
// is broken.
std::string MailHeaderDecode(std::string_view s);
// The first message of a mailbox text (lines ending in CR LF, a message closed by a line that
// holds only "."): its lines, each with CR LF, through the closing line or the end of the text.
// `used` is the number of bytes the message takes off the front of `box`.
std::string FirstMailboxMessage(std::string_view box, size_t& used);

}  // namespace yume
