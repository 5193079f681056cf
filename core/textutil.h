// Small text helpers shared by the core.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/sjis.h"

namespace yume {

// Removes bytes 0-32 (blanks and control characters) from both ends. Such bytes are never
// the second byte of a two-byte character, so cutting at them is safe.
inline std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

inline bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// Equal ignoring the case of ASCII letters; two-byte characters compare as they are.
inline bool SameTextIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t len = CharLen(a, i);
    if (len == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else {
      char x = a[i], z = b[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
      if (z >= 'A' && z <= 'Z') z = static_cast<char>(z - 'A' + 'a');
      if (x != z) return false;
    }
    i += len;
  }
  return true;
}

// The line starting at pos (CR LF, CR or LF ends it; they are never second bytes); pos moves past
// its break. Call while pos < text.size().
inline std::string_view NextLine(std::string_view text, size_t& pos) {
  // memchr over windows beats find_first_of (which tests the set against every byte); the
  // window keeps text broken by CR alone from being searched to its end for LF at every line.
  const char* base = text.data();
  size_t end = text.size();
  for (size_t w = pos; w < text.size(); w += 256) {
    const size_t len = std::min<size_t>(256, text.size() - w);
    const void* lf = std::memchr(base + w, '\n', len);
    const size_t upto = lf ? static_cast<size_t>(static_cast<const char*>(lf) - (base + w)) : len;
    if (const void* cr = std::memchr(base + w, '\r', upto)) {
      end = static_cast<size_t>(static_cast<const char*>(cr) - base);
      break;
    }
    if (lf) {
      end = w + upto;
      break;
    }
  }
  std::string_view line = text.substr(pos, end - pos);
  pos = end;
  if (pos < text.size()) {
    if (text[pos++] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  return line;
}

}  // namespace yume
