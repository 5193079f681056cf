#include "core/sjis.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace yume {

namespace {

// Whether the byte at h starts a character, given that one starts at known (<= h): an even run
// of possible first bytes before it, back to known, pairs up on its own; an odd one leaves h the
// second byte of a pair (whatever its value, as CharLen reads).
bool StartsCharacter(const char* d, size_t known, size_t h) {
  size_t q = h;
  while (q > known && IsLead(d[q - 1])) --q;
  return (h - q) % 2 == 0;
}

}  // namespace

size_t TAlignedFinder::Next(size_t from) {
  constexpr size_t npos = std::string_view::npos;
  if (w_.empty()) return from <= s_.size() ? from : npos;
  known_ = std::max(known_, from);
  for (size_t h = Candidate(from); h != npos; h = Candidate(h + 1)) {
    if (StartsCharacter(s_.data(), known_, h)) {
      known_ = h;
      return h;
    }
    known_ = h + 1;  // h is a second byte: a character starts after it
  }
  return npos;
}

size_t TAlignedFinder::Candidate(size_t from) const {
  constexpr size_t npos = std::string_view::npos;
  const size_t n = s_.size(), m = w_.size();
  if (m > n || from > n - m) return npos;
  const char* d = s_.data();
  const size_t last = n - m;  // the last possible start
  size_t i = from;
#if defined(__x86_64__)
  // Short texts (names, phrases) are looked at byte by byte: cheaper than setting up the blocks.
  if (last - i >= 64) {
    static const bool kAvx2 = __builtin_cpu_supports("avx2");
    if (kAvx2) {
      if (size_t at = Scan32(i, last); at != npos) return at;
    }
    const __m128i first = _mm_set1_epi8(w_[0]);
    const __m128i final = _mm_set1_epi8(w_[m - 1]);
    for (; i + 15 <= last; i += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i + m - 1));
      unsigned mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, final))));
      for (; mask; mask &= mask - 1) {
        const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
        if (Matches(d + at)) return at;
      }
    }
  }
#endif
  for (; i <= last; ++i) {
    if (d[i] == w_[0] && d[i + m - 1] == w_[m - 1] && Matches(d + i)) return i;
  }
  return npos;
}

#if defined(__x86_64__)
// The same comparison 32 positions at once, where the processor has AVX2; i ends at the first
// block it did not look at.
__attribute__((target("avx2"))) size_t TAlignedFinder::Scan32(size_t& i, size_t last) const {
  const char* d = s_.data();
  const size_t m = w_.size();
  const __m256i first = _mm256_set1_epi8(w_[0]);
  const __m256i final = _mm256_set1_epi8(w_[m - 1]);
  for (; i + 31 <= last; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i + m - 1));
    unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, final))));
    for (; mask; mask &= mask - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (Matches(d + at)) return at;
    }
  }
  return std::string_view::npos;
}
#else
size_t TAlignedFinder::Scan32(size_t&, size_t) const {
  return std::string_view::npos;
}
#endif

// The bytes between the first and the last (those two are already known to match); short texts
// are compared here, without a library call per candidate.
bool TAlignedFinder::Matches(const char* p) const {
  const size_t m = w_.size();
  if (m > 16) return std::memcmp(p + 1, w_.data() + 1, m - 2) == 0;
  for (size_t k = 1; k + 1 < m; ++k) {
    if (p[k] != w_[k]) return false;
  }
  return true;
}

size_t FindAligned(std::string_view s, std::string_view what, size_t from) {
  // Names and phrases are short: a walk over their characters beats setting up the finder.
  if (from <= s.size() && s.size() - from < 64 && !what.empty()) {
    for (size_t i = from; i + what.size() <= s.size(); i += CharLen(s, i)) {
      if (s[i] == what[0] && s.compare(i, what.size(), what) == 0) return i;
    }
    return std::string_view::npos;
  }
  return TAlignedFinder(s, what).Next(from);
}

size_t FindCharAligned(std::string_view s, char c, size_t from) {
  const char* d = s.data();
  const size_t n = s.size();
  size_t known = from;  // a character starts here
  while (from < n) {
    const void* hit = std::memchr(d + from, c, n - from);
    if (!hit) break;
    const auto h = static_cast<size_t>(static_cast<const char*>(hit) - d);
    if (StartsCharacter(d, known, h)) return h;
    known = from = h + 1;  // h is a second byte: a character starts after it
  }
  return std::string_view::npos;
}

std::vector<std::string> SplitAtBars(std::string_view s) {
  static constexpr std::string_view kWideBar = "｜";
  std::vector<std::string> out(1);
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '|') {
      out.emplace_back();
      ++i;
    } else if (s.compare(i, kWideBar.size(), kWideBar) == 0) {
      out.emplace_back();
      i += kWideBar.size();
    } else {
      const size_t len = CharLen(s, i);
      out.back().append(s.substr(i, len));
      i += len;
    }
  }
  return out;
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
std::string Convert(void* cd, std::string_view s, bool from_utf8) {
  std::string out;
  IconvAppend(cd, s, out, from_utf8 ? 1 : 3, [from_utf8](std::string& o, std::string_view rest) {
    size_t skip = from_utf8 ? Utf8SeqLen(static_cast<unsigned char>(rest[0])) : 1;
    if (!from_utf8 && IsLead(rest[0]) && rest.size() >= 2) skip = 2;
    o += '?';
    return std::min(skip, rest.size());
  });
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
  return Convert(cd.get(), s, false);
}

std::string Utf8ToCp932(std::string_view s) {
  if (IsAscii(s)) return std::string(s);
  thread_local IconvHandle cd = OpenIconv("CP932", "UTF-8");
  if (!cd) return std::string(s);
  return Convert(cd.get(), s, true);
}

size_t Utf8CharAt(std::string_view s, unsigned& cp) {
  if (s.empty()) return 0;
  const auto c = static_cast<unsigned char>(s[0]);
  size_t len;
  if (c < 0x80) {
    cp = c;
    return 1;
  }
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
    return 0;
  }
  if (len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto d = static_cast<unsigned char>(s[k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

bool IconvAppend(void* handle, std::string_view s, std::string& out, size_t growth,
                 const std::function<size_t(std::string& out, std::string_view rest)>& refused) {
  const auto cd = static_cast<iconv_t>(handle);
  char* src = const_cast<char*>(s.data());
  size_t left = s.size();
  size_t used = out.size();
  out.resize(used + s.size() * growth + 16);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  bool ok = true;
  while (left > 0) {
    char* dst = out.data() + used;
    size_t room = out.size() - used;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    used = static_cast<size_t>(dst - out.data());
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2 + 16);
      continue;
    }
    // EILSEQ or EINVAL: the unit is the caller's to stand in for.
    out.resize(used);
    const size_t skip = refused(out, std::string_view(src, left));
    if (skip == 0 || skip > left) {
      ok = false;
      break;
    }
    src += skip;
    left -= skip;
    used = out.size();
    out.resize(used + left * growth + 16);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(used);
  return ok;
}

bool IsUtf8Text(std::string_view s) {
  bool multi = false;
  for (size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    unsigned cp;
    const size_t len = Utf8CharAt(s.substr(i), cp);
    if (len == 0) return false;
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
