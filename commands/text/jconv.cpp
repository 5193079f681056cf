#include "commands/text/jconv.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "commands/text/kanatables.h"
#include "core/sjis.h"

namespace yume {

namespace {

using uchar = unsigned char;

bool IsTrail(unsigned c) {
  return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// One mapping as a lookup: single bytes directly, double-byte codes through a row per lead
// byte that has entries (a handful of rows per mapping). 0 means "no entry".
class TCharMap {
 public:
  explicit TCharMap(std::span<const TCodePair> pairs) {
    for (const TCodePair& p : pairs) {
      if (p.From < 0x100) {
        single_[p.From] = p.To;
        continue;
      }
      const unsigned lead = p.From >> 8;
      if (rowOf_[lead] == 0) {
        rows_.emplace_back();
        rows_.back().fill(0);
        rowOf_[lead] = static_cast<uint8_t>(rows_.size());
      }
      rows_[rowOf_[lead] - 1][p.From & 0xFF] = p.To;
    }
  }
  uint16_t Single(uchar c) const { return single_[c]; }
  uint16_t Double(uchar lead, uchar trail) const {
    const uint8_t r = rowOf_[lead];
    return r ? rows_[r - 1][trail] : 0;
  }

 private:
  std::array<uint16_t, 256> single_{};
  std::array<uint8_t, 256> rowOf_{};
  std::vector<std::array<uint16_t, 256>> rows_;
};

// Each mapping's lookup, built on first use.
template <const std::span<const TCodePair>& kPairs>
const TCharMap& MapOf() {
  static const TCharMap map(kPairs);
  return map;
}
const TCharMap& FullMap() {
  return MapOf<kToFullWidth>();
}
const TCharMap& HalfMap() {
  return MapOf<kToHalfWidth>();
}

void Put(std::string& out, uint16_t code) {
  if (code >= 0x100) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

// The replacement of one character: at most two codes of two bytes.
struct TRepl {
  char Bytes[4];
  uint8_t Len = 0;
  void Put(uint16_t code) {
    if (code >= 0x100) Bytes[Len++] = static_cast<char>(code >> 8);
    Bytes[Len++] = static_cast<char>(code & 0xFF);
  }
};

// Walks s by characters and hands each to `map(r, p, i, n)`, which puts a replacement in r and
// returns the bytes it covers, or returns 0 to keep the character. Unchanged stretches are
// copied in one piece.
template <class Map>
std::string Walk(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size() + s.size() / 8 + 8);
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  size_t kept = 0;  // start of the stretch not copied yet
  for (size_t i = 0; i < n;) {
    TRepl r;
    const size_t used = map(r, p, i, n);
    if (used == 0) {
      i += IsLead(p[i]) && i + 1 < n ? 2 : 1;
      continue;
    }
    out.append(s.data() + kept, i - kept);
    out.append(r.Bytes, r.Len);
    i += used;
    kept = i;
  }
  out.append(s.data() + kept, n - kept);
  return out;
}

// A plain mapping, character by character.
std::string MapText(std::string_view s, const TCharMap& m) {
  return Walk(s, [&m](TRepl& r, const uchar* p, size_t i, size_t n) -> size_t {
    if (IsLead(p[i]) && i + 1 < n) {
      const uint16_t to = m.Double(p[i], p[i + 1]);
      if (!to) return 0;
      r.Put(to);
      return 2;
    }
    const uint16_t to = m.Single(p[i]);
    if (!to) return 0;
    r.Put(to);
    return 1;
  });
}

// The full-width form of the half-width byte c (A1-DF) given the byte after it (-1 at the end):
// a voiced or semi-voiced mark that Shift_JIS combines with c is taken along (`merged`).
uint16_t FullKana(uchar c, int next, bool& merged) {
  merged = false;
  if (next == 0xDE || next == 0xDF) {
    const uint16_t both =
        next == 0xDE ? MapOf<kVoiced>().Single(c) : MapOf<kSemiVoiced>().Single(c);
    if (both) {
      merged = true;
      return both;
    }
  }
  return FullMap().Single(c);
}

// The characters 英数半角変換 turns to half-width: those of its list, each set in a bitmap of
// double-byte codes. The list is Shift_JIS here (this file is compiled to CP932).
class TAlnumList {
 public:
  TAlnumList() : bits_(65536 / 64, 0) {
    static const char kList[] =
        "０１２３４５６７８９"
        "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"
        "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
        "！”＃＄％＆’（）＝－￥［］｛｝＿／＞＜，．＠‘　";
    const std::string_view list(kList, sizeof kList - 1);
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
      const unsigned code = (static_cast<uchar>(list[i]) << 8) | static_cast<uchar>(list[i + 1]);
      bits_[code >> 6] |= uint64_t{1} << (code & 63);
    }
  }
  bool Has(uchar lead, uchar trail) const {
    const unsigned code = (lead << 8) | trail;
    return (bits_[code >> 6] >> (code & 63)) & 1;
  }

 private:
  std::vector<uint64_t> bits_;
};

// ---- code pages ----

constexpr unsigned kGetaJis = 0x222E;  // "〓", for characters with no JIS X 0208 place
constexpr uint16_t kGetaSjis = 0x81AC;

// The JIS X 0208 row/cell bytes (high, low; each 21-7E) of a Shift_JIS pair with a valid
// second byte.
unsigned SjisPairToJis(uchar lead, uchar trail) {
  if (lead >= 0xF0) {
    // User-defined characters (F0-F9) have no place; the IBM rows (FA-FC) go by their twins.
    const uint16_t twin = lead >= 0xFA ? MapOf<kIbmToNec>().Double(lead, trail) : 0;
    if (!twin) return kGetaJis;
    lead = static_cast<uchar>(twin >> 8);
    trail = static_cast<uchar>(twin & 0xFF);
  }
  const unsigned adjust = trail < 0x9F ? 1 : 0;
  const unsigned rowOffset = lead < 0xA0 ? 0x70 : 0xB0;
  const unsigned cellOffset = adjust ? (trail > 0x7F ? 0x20 : 0x1F) : 0x7E;
  const unsigned hi = ((lead - rowOffset) << 1) - adjust;
  const unsigned lo = trail - cellOffset;
  return (hi << 8) | lo;
}

// The Shift_JIS pair of JIS X 0208 row/cell bytes (each 21-7E).
uint16_t JisToSjis(unsigned hi, unsigned lo) {
  const unsigned rowOffset = hi < 0x5F ? 0x70 : 0xB0;
  const unsigned cellOffset = (hi & 1) ? (lo > 0x5F ? 0x20 : 0x1F) : 0x7E;
  return static_cast<uint16_t>(((((hi + 1) >> 1) + rowOffset) << 8) | (lo + cellOffset));
}

bool IsJisByte(unsigned c) {
  return c >= 0x21 && c <= 0x7E;
}
bool IsEucByte(unsigned c) {
  return c >= 0xA1 && c <= 0xFE;
}
bool IsKanaByte(unsigned c) {
  return c >= 0xA1 && c <= 0xDF;
}

// JIS output: ESC $ B before the first double-byte character of a run, ESC ( J before the next
// single byte (line breaks included) and at the end.
class TJisOut {
 public:
  explicit TJisOut(std::string& out) : out_(out) {}
  void Double(unsigned code) {
    if (!kanji_) {
      out_.append("\x1B$B", 3);
      kanji_ = true;
    }
    out_ += static_cast<char>(code >> 8);
    out_ += static_cast<char>(code & 0xFF);
  }
  void Single(uchar c) {
    if (kanji_) {
      out_.append("\x1B(J", 3);
      kanji_ = false;
    }
    out_ += static_cast<char>(c);
  }
  void End() {
    if (kanji_) out_.append("\x1B(J", 3);
    kanji_ = false;
  }

 private:
  std::string& out_;
  bool kanji_ = false;
};

// Half-width kana have no JIS place: they go as full-width characters.
unsigned KanaToJis(uchar c, int next, bool& merged) {
  const uint16_t full = FullKana(c, next, merged);
  return SjisPairToJis(static_cast<uchar>(full >> 8), static_cast<uchar>(full & 0xFF));
}

std::string SjisToJis(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4 + 8);
  TJisOut jis(out);
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const uchar c = p[i];
    if (IsLead(c) && i + 1 < n && IsTrail(p[i + 1])) {
      jis.Double(SjisPairToJis(c, p[i + 1]));
      i += 2;
    } else if (IsKanaByte(c)) {
      bool merged;
      jis.Double(KanaToJis(c, i + 1 < n ? p[i + 1] : -1, merged));
      i += merged ? 2 : 1;
    } else {
      jis.Single(c);
      ++i;
    }
  }
  jis.End();
  return out;
}

std::string SjisToEuc(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4 + 8);
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const uchar c = p[i];
    if (IsLead(c) && i + 1 < n && IsTrail(p[i + 1])) {
      Put(out, static_cast<uint16_t>(SjisPairToJis(c, p[i + 1]) | 0x8080));
      i += 2;
      continue;
    }
    if (IsKanaByte(c)) out += '\x8E';
    out += static_cast<char>(c);
    ++i;
  }
  return out;
}

std::string EucToSjis(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const uchar c = p[i];
    if (IsEucByte(c) && i + 1 < n && IsEucByte(p[i + 1])) {
      Put(out, JisToSjis(c & 0x7F, p[i + 1] & 0x7F));
      i += 2;
    } else if (c == 0x8E && i + 1 < n && IsKanaByte(p[i + 1])) {
      out += static_cast<char>(p[i + 1]);
      i += 2;
    } else if (c == 0x8F && i + 2 < n && IsEucByte(p[i + 1]) && IsEucByte(p[i + 2])) {
      Put(out, kGetaSjis);  // JIS X 0212 has no Shift_JIS place
      i += 3;
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

std::string EucToJis(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  TJisOut jis(out);
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const uchar c = p[i];
    if (IsEucByte(c) && i + 1 < n && IsEucByte(p[i + 1])) {
      jis.Double(((c & 0x7F) << 8) | (p[i + 1] & 0x7F));
      i += 2;
    } else if (c == 0x8E && i + 1 < n && IsKanaByte(p[i + 1])) {
      // A mark merges only when it is the next character, 8E DE or 8E DF.
      const int next = i + 3 < n && p[i + 2] == 0x8E ? p[i + 3] : -1;
      bool merged;
      jis.Double(KanaToJis(p[i + 1], next, merged));
      i += merged ? 4 : 2;
    } else if (c == 0x8F && i + 2 < n && IsEucByte(p[i + 1]) && IsEucByte(p[i + 2])) {
      jis.Double(kGetaJis);
      i += 3;
    } else {
      jis.Single(c);
      ++i;
    }
  }
  jis.End();
  return out;
}

// Reads JIS: ESC $ x switches to double-byte mode, ESC ( x to single-byte mode (ESC ( I to
// half-width kana); every escape is three bytes and dropped. Bytes that fit no pair in
// double-byte mode (a line break) pass as they are.
template <bool kToEuc>
std::string JisToOther(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  enum { kSingle, kDouble, kKana } mode = kSingle;
  for (size_t i = 0; i < n;) {
    const uchar c = p[i];
    if (c == 0x1B && i + 2 < n && (p[i + 1] == '$' || p[i + 1] == '(')) {
      mode = p[i + 1] == '$' ? kDouble : p[i + 2] == 'I' ? kKana : kSingle;
      i += 3;
    } else if (mode == kDouble && IsJisByte(c) && i + 1 < n && IsJisByte(p[i + 1])) {
      if (kToEuc)
        Put(out, static_cast<uint16_t>(((c << 8) | p[i + 1]) | 0x8080));
      else
        Put(out, JisToSjis(c, p[i + 1]));
      i += 2;
    } else if (mode == kKana && c >= 0x21 && c <= 0x5F) {
      if (kToEuc) out += '\x8E';
      out += static_cast<char>(c | 0x80);
      ++i;
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

// ---- UTF-8 ----

struct TIconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using TIconv = std::unique_ptr<void, TIconvCloser>;

TIconv OpenIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  return TIconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// Converts s with the descriptor (out replaced); a unit iconv refuses goes to refused(out, p,
// left), which appends its stand-in and returns the bytes it covers (0: the conversion fails).
template <class Refused>
bool ConvertWith(void* handle, std::string_view s, std::string& out, size_t growth,
                 Refused refused) {
  out.clear();
  return IconvAppend(handle, s, out, growth, [&](std::string& o, std::string_view rest) {
    return refused(o, reinterpret_cast<const uchar*>(rest.data()), rest.size());
  });
}

void PutUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The single bytes code page 932 leaves undefined, and the code points that keep them.
constexpr std::array<std::pair<uchar, unsigned>, 5> kUndefinedBytes = {
    {{0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}}};

// The length and code point of the well-formed UTF-8 character at p (0 when it is none).
size_t Utf8Char(const uchar* p, size_t left, unsigned& cp) {
  return Utf8CharAt(std::string_view(reinterpret_cast<const char*>(p), left), cp);
}

std::string_view UpToZero(std::string_view s) {
  const size_t z = s.find('\0');
  return z == std::string_view::npos ? s : s.substr(0, z);
}

// ---- Base64 ----

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> Base64Values() {
  std::array<int8_t, 256> v{};
  for (auto& x : v) x = -1;
  for (int i = 0; i < 64; ++i) v[static_cast<uchar>(kBase64[i])] = static_cast<int8_t>(i);
  return v;
}
constexpr std::array<int8_t, 256> kBase64Values = Base64Values();

constexpr std::string_view kEncodedWordStart = "=?ISO-2022-JP?B?";

// Position of kEncodedWordStart in s at or after `from`, in any letter case. Its first byte
// ("=") is below any second byte of a double-byte character, so a hit is always a character's
// start.
size_t FindWordStart(std::string_view s, size_t from) {
  const size_t m = kEncodedWordStart.size();
  for (size_t i = s.find('=', from); i != std::string_view::npos && i + m <= s.size();
       i = s.find('=', i + 1)) {
    size_t k = 1;
    while (k < m) {
      char c = s[i + k];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != kEncodedWordStart[k]) break;
      ++k;
    }
    if (k == m) return i;
  }
  return std::string_view::npos;
}

}  // namespace

// ---- widths, case, kana ----

std::string ToHalfWidth(std::string_view s) {
  return MapText(s, HalfMap());
}

std::string ToFullWidth(std::string_view s) {
  const TCharMap& full = FullMap();
  return Walk(s, [&full](TRepl& r, const uchar* p, size_t i, size_t n) -> size_t {
    if (IsLead(p[i]) && i + 1 < n) return 0;
    if (IsKanaByte(p[i])) {
      bool merged;
      r.Put(FullKana(p[i], i + 1 < n ? p[i + 1] : -1, merged));
      return merged ? 2 : 1;
    }
    const uint16_t to = full.Single(p[i]);
    if (!to) return 0;
    r.Put(to);
    return 1;
  });
}

std::string AlnumToHalfWidth(std::string_view s) {
  static const TAlnumList list;
  const TCharMap& half = HalfMap();
  const TCharMap& full = FullMap();
  return Walk(s, [&](TRepl& r, const uchar* p, size_t i, size_t n) -> size_t {
    if (IsLead(p[i]) && i + 1 < n) {
      if (!list.Has(p[i], p[i + 1])) return 0;
      // Every character of the list has a one-byte form; the first byte is what counts.
      const uint16_t to = half.Double(p[i], p[i + 1]);
      r.Put(to >= 0x100 ? to >> 8 : to);
      return 2;
    }
    if (p[i] < 0xA0 || p[i] > 0xDF) return 0;
    r.Put(full.Single(p[i]));  // no mark is merged here
    return 1;
  });
}

std::string ToUpperCase(std::string_view s) {
  return MapText(s, MapOf<kToUpper>());
}
std::string ToLowerCase(std::string_view s) {
  return MapText(s, MapOf<kToLower>());
}
std::string ToHiragana(std::string_view s) {
  return MapText(s, MapOf<kToHiragana>());
}
std::string ToKatakana(std::string_view s) {
  return MapText(s, MapOf<kToKatakana>());
}

// ---- code pages ----

int DetectJCode(std::string_view s) {
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  if (n == 0) return kCodeAscii;
  const size_t end = n - 1;  // the last byte never starts a decision
  for (size_t i = 0; i < end && i < 512; ++i)
    if (p[i] < 8 || p[i] == 255) return kCodeBinary;
  int code = kCodeAscii;
  size_t i = 0;
  // The byte after the one being decided; -1 past the end.
  const auto next = [&]() -> int { return i < n ? p[i++] : -1; };
  while ((code == kCodeAscii || code == kCodeEucOrSjis) && i < end) {
    int c = p[i++];
    if (c < 8 || c == 255) {
      code = kCodeBinary;
    } else if (c == 0x1B) {
      if (next() == '$') {
        c = next();
        if (c == 'B')
          code = kCodeJis;
        else if (c == '@')
          code = kCodeJisOld;
      }
    } else if ((c >= 0x81 && c <= 0x8D) || (c >= 0x8F && c <= 0x9F)) {
      code = kCodeSjis;
    } else if (c == 0x8E) {
      c = next();
      if ((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xA0) || (c >= 0xE0 && c <= 0xFC))
        code = kCodeSjis;
      else if (IsKanaByte(c))
        code = kCodeEucOrSjis;
    } else if (IsKanaByte(c)) {
      c = next();
      if (c >= 0xF0 && c <= 0xFE) {
        code = kCodeEuc;
      } else if (IsKanaByte(c)) {
        code = kCodeEucOrSjis;
      } else if (c >= 0xE0 && c <= 0xEF) {
        code = kCodeEucOrSjis;
        while (c >= 0x40 && code == kCodeEucOrSjis) {
          if ((c >= 0x81 && c <= 0x8D) || (c >= 0x8F && c <= 0x9C))
            code = kCodeSjis;
          else if (c == 0xFD || c == 0xFE)
            code = kCodeEuc;
          c = next();
        }
      } else if (c >= 0 && c < 0xA0) {
        code = kCodeSjis;
      }
    } else if (c >= 0xF0 && c <= 0xFE) {
      code = kCodeEuc;
    } else if (c >= 0xE0 && c <= 0xEF) {
      c = next();
      if ((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xA0))
        code = kCodeSjis;
      else if (c == 0xFD || c == 0xFE)
        code = kCodeEuc;
      else if (c >= 0xA1 && c <= 0xFC)
        code = kCodeEucOrSjis;
    }
  }
  return code;
}

int JCodeByName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (upper == "EUC") return kCodeEuc;
  if (upper == "JIS") return kCodeJis;
  return kCodeSjis;
}

std::string ConvertJCode(std::string_view s, int from, int to) {
  if (from == kCodeJisOld) from = kCodeJis;
  if (to == kCodeJisOld) to = kCodeJis;
  if (from == to) return std::string(s);
  switch (from) {
    case kCodeSjis:
      if (to == kCodeJis) return SjisToJis(s);
      if (to == kCodeEuc) return SjisToEuc(s);
      break;
    case kCodeEuc:
      if (to == kCodeSjis) return EucToSjis(s);
      if (to == kCodeJis) return EucToJis(s);
      break;
    case kCodeJis:
      if (to == kCodeSjis) return JisToOther<false>(s);
      if (to == kCodeEuc) return JisToOther<true>(s);
      break;
    default:
      break;
  }
  return std::string(s);
}

std::string ConvertDetected(std::string_view s, int to) {
  const int from = DetectJCode(s);
  if (from == kCodeAscii || from == kCodeBinary || from == kCodeEucOrSjis) return std::string(s);
  return ConvertJCode(s, from, to);
}

// ---- UTF-8 ----

std::string SjisToUtf8(std::string_view s) {
  s = UpToZero(s);
  thread_local TIconv cd = OpenIconv("UTF-8", "CP932");
  std::string out;
  const auto refused = [](std::string& o, const uchar* p, size_t left) -> size_t {
    for (const auto& [byte, cp] : kUndefinedBytes) {
      if (p[0] == byte) {
        PutUtf8(o, cp);
        return 1;
      }
    }
    PutUtf8(o, 0xFFFD);
    return IsLead(p[0]) && left >= 2 && IsTrail(p[1]) ? 2 : 1;
  };
  if (!cd) {
    // Without the converter only ASCII has a sure reading.
    for (const char c : s) {
      if (static_cast<uchar>(c) < 0x80)
        out += c;
      else
        PutUtf8(out, 0xFFFD);
    }
    return out;
  }
  ConvertWith(cd.get(), s, out, 3, refused);
  return out;
}

bool Utf8ToSjis(std::string_view s, std::string& out) {
  s = UpToZero(s);
  if (s.starts_with("\xEF\xBB\xBF")) s.remove_prefix(3);
  thread_local TIconv cd = OpenIconv("CP932", "UTF-8");
  const auto refused = [](std::string& o, const uchar* p, size_t left) -> size_t {
    unsigned cp;
    const size_t len = Utf8Char(p, left, cp);
    if (len == 0) return 0;
    char byte = '?';
    for (const auto& [b, point] : kUndefinedBytes)
      if (cp == point) byte = static_cast<char>(b);
    o += byte;
    return len;
  };
  if (!cd) {
    // Without the converter only ASCII and the kept bytes have a sure writing.
    out.clear();
    for (size_t i = 0; i < s.size();) {
      if (static_cast<uchar>(s[i]) < 0x80) {
        out += s[i++];
        continue;
      }
      const size_t len = refused(out, reinterpret_cast<const uchar*>(s.data()) + i, s.size() - i);
      if (len == 0) return false;
      i += len;
    }
    return true;
  }
  return ConvertWith(cd.get(), s, out, 1, refused);
}

// ---- Base64 and mail ----

std::string Base64Encode(std::string_view s) {
  std::string out;
  out.reserve((s.size() + 2) / 3 * 4);
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  size_t i = 0;
  for (; i + 3 <= s.size(); i += 3) {
    const uint32_t v = (p[i] << 16) | (p[i + 1] << 8) | p[i + 2];
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (const size_t rest = s.size() - i; rest > 0) {
    const uint32_t v = (p[i] << 16) | (rest == 2 ? p[i + 1] << 8 : 0);
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += rest == 2 ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool Base64Decode(std::string_view s, std::string& out) {
  out.clear();
  out.reserve(s.size() / 4 * 3 + 3);
  int group[4];
  int count = 0;  // symbols of the group so far; '=' counts as -2
  const auto flush = [&]() -> bool {
    // A group needs two symbols before any padding; padding ends it.
    int data = 0;
    while (data < count && group[data] >= 0) ++data;
    if (data < 2) return false;
    for (int k = data; k < count; ++k)
      if (group[k] >= 0) return false;  // a symbol after padding
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = (v << 6) | (k < data ? group[k] : 0);
    out += static_cast<char>(v >> 16);
    if (data >= 3) out += static_cast<char>((v >> 8) & 0xFF);
    if (data == 4) out += static_cast<char>(v & 0xFF);
    count = 0;
    return true;
  };
  for (const char ch : s) {
    if (ch == '\r' || ch == '\n') continue;
    int v;
    if (ch == '=') {
      v = -2;
    } else {
      v = kBase64Values[static_cast<uchar>(ch)];
      if (v < 0) return false;
    }
    group[count++] = v;
    if (count == 4 && !flush()) return false;
  }
  if (count == 1) return false;
  return count == 0 || flush();
}

std::string MailHeaderEncode(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    if (!(IsLead(p[i]) && i + 1 < n)) {
      out += static_cast<char>(p[i++]);
      continue;
    }
    size_t j = i;
    while (j < n && IsLead(p[j]) && j + 1 < n) j += 2;
    out += kEncodedWordStart;
    out += Base64Encode(SjisToJis(s.substr(i, j - i)));
    out += "?=";
    i = j;
  }
  return out;
}

std::string MailHeaderDecode(std::string_view s) {
  std::string text;
  text.reserve(s.size());
  size_t from = 0;
  for (size_t at = FindWordStart(s, 0); at != std::string_view::npos; at = FindWordStart(s, from)) {
    text.append(s.substr(from, at - from));
    const size_t body = at + kEncodedWordStart.size();
    size_t close = s.find("?=", body);
    if (close == std::string_view::npos) close = s.size();
    std::string bytes;
    if (!Base64Decode(s.substr(body, close - body), bytes)) return {};
    text += bytes;
    text.append("\x1B(J", 3);
    from = close == s.size() ? close : close + 2;
  }
  text.append(s.substr(from));
  std::string sjis = ConvertDetected(text, kCodeSjis);
  // Keep text up to the first byte that is none: double-byte characters, TAB, CR, LF,
  // printable ASCII and half-width katakana and punctuation.
  const auto* p = reinterpret_cast<const uchar*>(sjis.data());
  const size_t n = sjis.size();
  size_t i = 0;
  while (i < n) {
    const uchar c = p[i];
    if (IsLead(c) && i + 1 < n && IsTrail(p[i + 1])) {
      i += 2;
    } else if ((c >= 0x20 && c <= 0x7E) || c == '\t' || c == '\r' || c == '\n' || IsKanaByte(c)) {
      ++i;
    } else {
      break;
    }
  }
  sjis.resize(i);
  return sjis;
}

std::string FirstMailboxMessage(std::string_view box, size_t& used) {
  std::string out;
  size_t pos = 0;
  while (pos < box.size()) {
    const size_t crlf = box.find("\r\n", pos);
    const size_t end = crlf == std::string_view::npos ? box.size() : crlf;
    const std::string_view line = box.substr(pos, end - pos);
    out.append(line);
    out.append("\r\n");
    pos = crlf == std::string_view::npos ? box.size() : crlf + 2;
    if (line == ".") break;
  }
  used = pos;
  return out;
}

}  // namespace yume
