// Small text helpers shared by the core.
#pragma once

#include <string_view>

namespace yume {

// Removes bytes 0-32 (blanks and control characters) from both ends. Such bytes are never
// the second byte of a two-byte character, so cutting at them is safe.
inline std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

}  // namespace yume
