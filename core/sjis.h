// Shift_JIS (CP932) text: scanning by characters and conversion at the boundaries.
//
// Inside the system every text is CP932 bytes in std::string. A byte 0x81-0x9F or 0xE0-0xFC
// starts a two-byte character whose second byte may be anything from 0x40 upward, including
// ASCII punctuation ("表" is 95 5C, "ソ" is 83 5C): every scan must step over such pairs.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

inline bool IsLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool IsLead(char c) {
  return IsLead(static_cast<unsigned char>(c));
}

// Length in bytes of the character starting at s[i] (a lead byte at the very end counts as one).
inline size_t CharLen(std::string_view s, size_t i) {
  return (IsLead(s[i]) && i + 1 < s.size()) ? 2 : 1;
}

// Finds a text at character boundaries, hit after hit, in one pass over the text. Candidates
// come from comparing the first and the last byte of the text at 16 or 32 positions at once; a
// candidate lies on a boundary when the run of lead-range bytes right before it (back to a byte
// that cannot be a lead, after which a character always starts, or to the last boundary known)
// has even length. Each byte is looked at a bounded number of times, whatever the hits.
class TAlignedFinder {
 public:
  TAlignedFinder(std::string_view s, std::string_view what) : s_(s), w_(what) {}
  // The next occurrence at or after `from` (a boundary, not before the previous hit's end);
  // npos when there is none. An empty text is found at `from`.
  size_t Next(size_t from);

 private:
  size_t Candidate(size_t from) const;
  size_t Scan32(size_t& i, size_t last) const;
  bool Matches(const char* p) const;

  std::string_view s_, w_;
  size_t known_ = 0;  // a character starts here, and no candidate lies before it
};

// Position of the first occurrence of `what` in `s` at or after `from` that starts on a character
// boundary; npos when there is none. A match never starts on a second byte.
size_t FindAligned(std::string_view s, std::string_view what, size_t from = 0);

// Position of the first single-byte character `c` at or after `from` (never a second byte).
size_t FindCharAligned(std::string_view s, char c, size_t from = 0);

// The parts of s between the bars "|" and "｜" (stepped by characters: "|" is also the second
// byte of ポ). An empty s gives one empty part.
std::vector<std::string> SplitAtBars(std::string_view s);

// Number of characters (a two-byte character counts once).
size_t CountChars(std::string_view s);

// CP932 <-> UTF-8 through iconv. Bytes that cannot be converted become "?" so that a boundary
// never fails; conversion of valid text is exact.
// The length of the well-formed UTF-8 character at the start of s, its code point in cp; 0 when
// none starts there (a bad or cut-short sequence, an overlong form, a surrogate, beyond
// U+10FFFF).
size_t Utf8CharAt(std::string_view s, unsigned& cp);

// Converts s with an iconv descriptor (what iconv_open gives), appending to out. A unit iconv
// refuses goes to refused(out, rest), which appends what stands for it and returns how many
// bytes of rest it covers; 0 ends the conversion and gives false. growth: output bytes to
// make room for per input byte.
bool IconvAppend(void* cd, std::string_view s, std::string& out, size_t growth,
                 const std::function<size_t(std::string& out, std::string_view rest)>& refused);

std::string Cp932ToUtf8(std::string_view s);
std::string Utf8ToCp932(std::string_view s);

// True when s is valid UTF-8 and holds at least one multi-byte sequence (plain ASCII is
// the same in both encodings and is not called UTF-8 here).
bool IsUtf8Text(std::string_view s);

// Script files: a UTF-8 byte-order mark, or valid UTF-8 with multi-byte sequences, means UTF-8;
// anything else is taken as Shift_JIS. Returns the text in CP932.
std::string ScriptTextToCp932(std::string_view raw);

}  // namespace yume
