#include "core/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace yume {

size_t FindAligned(std::string_view s, std::string_view what, size_t from) {
  if (what.empty()) return from <= s.size() ? from : std::string_view::npos;
  const size_t n = s.size();
  const size_t m = what.size();
  if (m > n) return std::string_view::npos;
  const char first = what[0];
  size_t i = from;
  while (i + m <= n) {
    // Jump to the next candidate byte with memchr, then check that it lies on a boundary
    // by walking from the last known boundary.
    const void* hit = std::memchr(s.data() + i, first, n - m + 1 - i);
    if (!hit) return std::string_view::npos;
    size_t h = static_cast<const char*>(hit) - s.data();
    while (i < h) i += CharLen(s, i);
    if (i == h && std::memcmp(s.data() + h, what.data(), m) == 0) return h;
    if (i == h) i += CharLen(s, i);
  }
  return std::string_view::npos;
}

size_t FindCharAligned(std::string_view s, char c, size_t from) {
  return FindAligned(s, std::string_view(&c, 1), from);
}

size_t CountChars(std::string_view s) {
  size_t count = 0;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) ++count;
  return count;
}

namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return IconvHandle(nullptr);
  return IconvHandle(cd);
}

// Length of the UTF-8 sequence that starts with byte c (1 for an invalid start byte).
size_t Utf8SeqLen(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

// Converts with one iconv descriptor; an unconvertible input unit (one byte, or one UTF-8
// sequence when from_utf8) is replaced by "?".
std::string Convert(iconv_t cd, std::string_view s, bool from_utf8) {
  std::string out;
  out.resize(s.size() * (from_utf8 ? 1 : 3) + 16);
  char* in = const_cast<char*>(s.data());
  size_t in_left = s.size();
  char* dst = out.data();
  size_t out_left = out.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (in_left > 0) {
    size_t r = iconv(cd, &in, &in_left, &dst, &out_left);
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      size_t used = dst - out.data();
      out.resize(out.size() * 2 + 16);
      dst = out.data() + used;
      out_left = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: replace one unit and go on.
    size_t skip = from_utf8 ? Utf8SeqLen(static_cast<unsigned char>(*in)) : 1;
    if (!from_utf8 && IsLead(*in) && in_left >= 2) skip = 2;
    if (skip > in_left) skip = in_left;
    in += skip;
    in_left -= skip;
    if (out_left < 1) {
      size_t used = dst - out.data();
      out.resize(out.size() * 2 + 16);
      dst = out.data() + used;
      out_left = out.size() - used;
    }
    *dst++ = '?';
    --out_left;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(dst - out.data());
  return out;
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view s) {
  if (IsAscii(s)) return std::string(s);
  thread_local IconvHandle cd = OpenIconv("UTF-8", "CP932");
  if (!cd) return std::string(s);
  return Convert(static_cast<iconv_t>(cd.get()), s, false);
}

std::string Utf8ToCp932(std::string_view s) {
  if (IsAscii(s)) return std::string(s);
  thread_local IconvHandle cd = OpenIconv("CP932", "UTF-8");
  if (!cd) return std::string(s);
  return Convert(static_cast<iconv_t>(cd.get()), s, true);
}

bool IsUtf8Text(std::string_view s) {
  bool multi = false;
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    multi = true;
    i += len;
  }
  return multi;
}

std::string ScriptTextToCp932(std::string_view raw) {
  if (raw.size() >= 3 && static_cast<unsigned char>(raw[0]) == 0xEF &&
      static_cast<unsigned char>(raw[1]) == 0xBB && static_cast<unsigned char>(raw[2]) == 0xBF)
    return Utf8ToCp932(raw.substr(3));
  if (IsUtf8Text(raw)) return Utf8ToCp932(raw);
  return std::string(raw);
}

}  // namespace yume
