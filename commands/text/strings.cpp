#include "commands/text/strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#endif

#include "core/convhalf.h"
#include "core/number.h"
#include "core/sjis.h"

namespace yume {

namespace {

constexpr size_t npos = std::string_view::npos;

bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

// The character at byte offset i (one or two bytes).
std::string_view CharAt(std::string_view s, size_t i) {
  return s.substr(i, CharLen(s, i));
}

// True when ch is one of the characters of list.
bool ListHasChar(std::string_view list, std::string_view ch) {
  for (size_t i = 0; i < list.size(); i += CharLen(list, i)) {
    if (CharAt(list, i) == ch) return true;
  }
  return false;
}

// Number of characters in s counted up to byte offset end.
size_t CharsBefore(std::string_view s, size_t end) {
  return CountChars(s.substr(0, end));
}

// ---- decimal digits of a number, for the formatters ----

// value = 0.d1d2d3... * 10^Exp; no leading zeros in Digits; zero has no digits.
struct TDecimal {
  bool Neg = false;
  std::string Digits;
  int Exp = 0;
  const char* Special = nullptr;  // "INF" / "NAN"
};

// 18 significant digits of the extended value, as its decimal reading would show them; the
// formats round from these, so 2.675 rounds to 2.68 as a reader expects.
TDecimal ToDecimal(long double v) {
  TDecimal d;
  if (std::isnan(v)) {
    d.Special = "NAN";
    return d;
  }
  d.Neg = std::signbit(v);
  if (std::isinf(v)) {
    d.Special = "INF";
    return d;
  }
  if (v == 0) {
    d.Neg = false;
    return d;
  }
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 17);
  std::string_view t(buf, r.ptr - buf);  // d.ddddddddddddddddde+XX
  const size_t e = t.find('e');
  d.Digits.push_back(t[0]);
  d.Digits.append(t.substr(2, e - 2));
  int exp10 = 0;
  std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), t.data() + t.size(), exp10);
  d.Exp = exp10 + 1;
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  return d;
}

// Keeps `keep` leading digits, rounding the rest half away from zero.
void RoundToDigits(TDecimal& d, long keep) {
  if (d.Special || d.Digits.empty() || keep >= static_cast<long>(d.Digits.size())) return;
  if (keep < 0) {
    d.Digits.clear();
    return;
  }
  const bool up = d.Digits[static_cast<size_t>(keep)] >= '5';
  d.Digits.resize(static_cast<size_t>(keep));
  if (up) {
    long i = keep - 1;
    while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9')
      d.Digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++d.Digits[static_cast<size_t>(i)];
    } else {
      d.Digits.insert(d.Digits.begin(), '1');
      ++d.Exp;
    }
  }
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  if (d.Digits.empty()) d.Exp = 0;
}

void RoundToFraction(TDecimal& d, int frac) {
  RoundToDigits(d, static_cast<long>(d.Exp) + frac);
}

char DigitAt(const TDecimal& d, long k) {
  return k >= 0 && k < static_cast<long>(d.Digits.size()) ? d.Digits[static_cast<size_t>(k)] : '0';
}

// Fixed notation with `frac` decimals (already rounded), "," between thousands when grouped.
std::string FixedText(const TDecimal& d, int frac, bool grouped) {
  if (d.Special) return d.Special;
  std::string intPart;
  for (long k = 0; k < d.Exp; ++k) intPart.push_back(DigitAt(d, k));
  if (intPart.empty()) intPart = "0";
  std::string out;
  if (d.Neg && !d.Digits.empty()) out.push_back('-');
  for (size_t i = 0; i < intPart.size(); ++i) {
    if (grouped && i > 0 && (intPart.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(intPart[i]);
  }
  if (frac > 0) {
    out.push_back('.');
    for (int j = 0; j < frac; ++j) out.push_back(DigitAt(d, d.Exp + j));
  }
  return out;
}

std::string ExponentText(int e, bool plus, size_t minDigits) {
  std::string digits = std::to_string(e < 0 ? -static_cast<long>(e) : e);
  std::string out = e < 0 ? "-" : (plus ? "+" : "");
  if (digits.size() < minDigits) out.append(minDigits - digits.size(), '0');
  return out + digits;
}

// "%e": prec significant digits, "d.ddd" then "E", a sign and at least three exponent digits.
std::string ScientificText(TDecimal d, int prec) {
  if (d.Special) return d.Special;
  RoundToDigits(d, prec);
  std::string out = d.Neg && !d.Digits.empty() ? "-" : "";
  out.push_back(DigitAt(d, 0));
  if (prec > 1) out.push_back('.');
  for (int k = 1; k < prec; ++k) out.push_back(DigitAt(d, k));
  return out + "E" + ExponentText(d.Digits.empty() ? 0 : d.Exp - 1, true, 3);
}

// "%g": prec significant digits without trailing zeros; plain notation from 0.00001 up to
// prec integer digits, else mantissa "E" exponent.
std::string GeneralText(TDecimal d, int prec) {
  if (d.Special) return d.Special;
  RoundToDigits(d, prec);
  if (d.Digits.empty()) return "0";
  std::string out = d.Neg ? "-" : "";
  if (d.Exp > prec || d.Exp < -4) {
    out.push_back(d.Digits[0]);
    if (d.Digits.size() > 1) out += "." + d.Digits.substr(1);
    return out + "E" + ExponentText(d.Exp - 1, false, 1);
  }
  const int frac = std::max(0, static_cast<int>(d.Digits.size()) - d.Exp);
  return FixedText(d, frac, false);
}

// Appends text padded to width (on the left, or on the right when leftAlign).
void AppendPadded(std::string& out, std::string_view text, size_t width, bool leftAlign) {
  const size_t pad = width > text.size() ? width - text.size() : 0;
  if (!leftAlign) out.append(pad, ' ');
  out.append(text);
  if (leftAlign) out.append(pad, ' ');
}

// Widths and precisions above this are refused: a template must not ask for gigabytes.
constexpr size_t kMaxFormatWidth = 1 << 20;

}  // namespace

// ---- measuring and searching ----

size_t CountLines(std::string_view s) {
  size_t lines = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' || s[i] == '\r') {
      ++lines;
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    }
  }
  // CR and LF are never second bytes, so the bytes can be scanned directly.
  if (!s.empty() && s.back() != '\n' && s.back() != '\r') ++lines;
  return lines;
}

size_t CharPosition(std::string_view s, std::string_view what, const TCharIndex* ix) {
  if (what.size() > s.size()) return 0;
  const size_t at = FindAligned(s, what);
  if (at == npos) return 0;
  return (ix ? ix->CharsBefore(s, at) : CharsBefore(s, at)) + 1;
}

size_t BytePosition(std::string_view s, std::string_view what) {
  if (s.empty() || what.empty()) return 0;
  const size_t at = FindAligned(s, what);
  return at == npos ? 0 : at + 1;
}

size_t CountOccurrences(std::string_view s, std::string_view what) {
  if (what.empty()) return 0;
  TAlignedFinder finder(s, what);
  size_t n = 0;
  for (size_t at = finder.Next(0); at != npos; at = finder.Next(at + what.size())) ++n;
  return n;
}

// ---- extracting ----

size_t SkipChars(std::string_view s, size_t from, int64_t count) {
  size_t i = from;
  for (; count > 0 && i < s.size(); --count) i += CharLen(s, i);
  return std::min(i, s.size());
}

namespace {

// Where character k (from 0) starts, s.size() past the end.
size_t CharOffset(std::string_view s, int64_t k, const TCharIndex* ix) {
  if (k <= 0) return 0;
  return ix ? ix->Offset(s, static_cast<size_t>(k)) : SkipChars(s, 0, k);
}

int64_t CharTotal(std::string_view s, const TCharIndex* ix) {
  return static_cast<int64_t>(ix ? ix->Count() : CountChars(s));
}

}  // namespace

std::string_view MidChars(std::string_view s, int64_t start, int64_t count, const TCharIndex* ix) {
  if (count <= 0) return {};
  // Positions below 1 do not exist: they shorten the count.
  if (start < 1) {
    count -= 1 - start;
    start = 1;
    if (count <= 0) return {};
  }
  if (!ix) {
    const size_t b = SkipChars(s, 0, start - 1);
    return s.substr(b, SkipChars(s, b, count) - b);
  }
  const size_t b = CharOffset(s, start - 1, ix);
  const int64_t last = start - 1 > INT64_MAX - count ? INT64_MAX : start - 1 + count;
  return s.substr(b, CharOffset(s, last, ix) - b);
}

std::string_view MidChars(std::string_view s, int64_t start, int64_t count) {
  return MidChars(s, start, count, nullptr);
}

std::string_view MidBytes(std::string_view s, int64_t start, int64_t count) {
  if (count <= 0) return {};
  const uint64_t b = start < 1 ? 0 : static_cast<uint64_t>(start - 1);
  if (b >= s.size()) return {};
  return s.substr(b, static_cast<size_t>(std::min<uint64_t>(count, s.size() - b)));
}

std::string_view LeftChars(std::string_view s, int64_t n, const TCharIndex* ix) {
  return n <= 0 ? std::string_view() : s.substr(0, CharOffset(s, n, ix));
}

std::string_view RightChars(std::string_view s, int64_t n, const TCharIndex* ix) {
  if (n <= 0) return {};
  const int64_t total = CharTotal(s, ix);
  return n >= total ? s : s.substr(CharOffset(s, total - n, ix));
}

std::string_view DropLeftChars(std::string_view s, int64_t n, const TCharIndex* ix) {
  return n <= 0 ? s : s.substr(CharOffset(s, n, ix));
}

std::string_view DropRightChars(std::string_view s, int64_t n, const TCharIndex* ix) {
  if (n <= 0) return s;
  const int64_t total = CharTotal(s, ix);
  return n >= total ? std::string_view() : s.substr(0, CharOffset(s, total - n, ix));
}

std::string_view LeftChars(std::string_view s, int64_t n) {
  return LeftChars(s, n, nullptr);
}
std::string_view RightChars(std::string_view s, int64_t n) {
  return RightChars(s, n, nullptr);
}
std::string_view DropLeftChars(std::string_view s, int64_t n) {
  return DropLeftChars(s, n, nullptr);
}
std::string_view DropRightChars(std::string_view s, int64_t n) {
  return DropRightChars(s, n, nullptr);
}

std::string_view Paragraph(std::string_view s, int64_t n) {
  if (n < 1) return {};
  size_t i = 0;
  for (int64_t k = 1; i < s.size(); ++k) {
    const size_t start = i;
    size_t end = s.size();
    for (size_t j = i; j < s.size(); j += CharLen(s, j)) {
      if (s[j] != '\r') continue;
      size_t q = j + 1;
      if (q < s.size() && s[q] == '\n') ++q;
      if (q < s.size() && s[q] == '\r') {
        end = j;
        break;
      }
    }
    size_t after = end;
    while (after < s.size() && (s[after] == '\r' || s[after] == '\n')) ++after;
    if (k == n) return end == start ? std::string_view() : s.substr(start, after - start);
    i = after;
  }
  return {};
}

// ---- cutting ----

TCut CutBefore(std::string_view s, std::string_view delim) {
  const size_t at = FindAligned(s, delim);
  if (at == npos) return {s, std::string()};
  return {s.substr(0, at), std::string(s.substr(at + delim.size()))};
}

TCut CutBeforeEscaped(std::string_view s, std::string_view delim, char esc) {
  for (size_t i = 0; i < s.size();) {
    const size_t len = CharLen(s, i);
    if (len == 1 && s[i] == esc) {
      i += 1;
      if (i < s.size()) i += CharLen(s, i);
      continue;
    }
    if (s.compare(i, delim.size(), delim) == 0) {
      return {s.substr(0, i), std::string(s.substr(i + delim.size()))};
    }
    i += len;
  }
  return {s, std::string()};
}

bool CutRange(std::string_view s, std::string_view from, std::string_view to, TCut& out) {
  if (from.empty()) return false;
  const size_t b = FindAligned(s, from);
  if (b == npos) return false;
  const size_t e = to.empty() ? npos : FindAligned(s, to, b);
  const size_t end = e == npos ? s.size() : e + to.size();
  out.Taken = s.substr(b, end - b);
  out.Rest.reserve(s.size() - (end - b));
  out.Rest.assign(s.substr(0, b));
  out.Rest.append(s.substr(end));
  return true;
}

// ---- building ----

std::string ReplaceAll(std::string_view s, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(s);
  TAlignedFinder finder(s, what);
  size_t at = finder.Next(0);
  if (at == npos) return std::string(s);
  std::string out;
  out.reserve(with.size() > what.size() ? s.size() + s.size() / 4 : s.size());
  size_t pos = 0;
  while (at != npos) {
    out.append(s.data() + pos, at - pos);
    out.append(with);
    pos = at + what.size();
    at = finder.Next(pos);
  }
  out.append(s.data() + pos, s.size() - pos);
  return out;
}

std::string ReplaceNth(std::string_view s, int64_t n, std::string_view what,
                       std::string_view with) {
  if (n < 1) return std::string(s);
  if (what.empty()) return std::string(with) + std::string(s);
  TAlignedFinder finder(s, what);
  size_t at = finder.Next(0);
  for (int64_t k = 1; k < n && at != npos; ++k) at = finder.Next(at + what.size());
  if (at == npos) return std::string(s);
  std::string out;
  out.reserve(s.size() - what.size() + with.size());
  out.append(s.substr(0, at));
  out.append(with);
  out.append(s.substr(at + what.size()));
  return out;
}

std::vector<std::string_view> SplitPieces(std::string_view s, std::string_view delim) {
  std::vector<std::string_view> pieces;
  if (s.empty()) return pieces;
  if (delim.empty()) {
    pieces.push_back(s);
    return pieces;
  }
  TAlignedFinder finder(s, delim);
  size_t pos = 0;
  while (pos < s.size()) {
    const size_t at = finder.Next(pos);
    if (at == npos) {
      pieces.push_back(s.substr(pos));
      break;
    }
    pieces.push_back(s.substr(pos, at - pos));
    pos = at + delim.size();
  }
  return pieces;
}

std::string_view TrimSpaces(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  s = s.substr(b, e - b);
  auto blank = [](std::string_view ch) {
    return ch == " " || ch == "\t" || ch == "\r" || ch == "\n" || ch == "　";
  };
  // One walk from the front: the first non-blank character and the end of the last one.
  size_t first = npos, last = 0;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    std::string_view ch = CharAt(s, i);
    if (blank(ch)) continue;
    if (first == npos) first = i;
    last = i + ch.size();
  }
  return first == npos ? std::string_view() : s.substr(first, last - first);
}

std::string WrapLines(std::string_view s, int64_t width, int64_t tabWidth,
                      std::string_view noStart) {
  if (width <= 0) return std::string(s);
  std::string out;
  out.reserve(s.size() + s.size() / static_cast<size_t>(std::min<int64_t>(width, 1 << 20)) * 2 + 2);
  int64_t col = 0;
  size_t i = 0;
  // Ends the line; a character that may not start a line is hung at its end first (it is then
  // consumed: it must not be copied again on the next line). True when one was hung.
  auto lineBreak = [&]() {
    bool hung = false;
    if (!noStart.empty() && i < s.size()) {
      std::string_view ch = CharAt(s, i);
      if (ListHasChar(noStart, ch)) {
        out.append(ch);
        i += ch.size();
        hung = true;
      }
    }
    out += "\r\n";
    col = 0;
    return hung;
  };
  while (i < s.size()) {
    const size_t len = CharLen(s, i);
    if (len == 2) {
      if (col + 2 > width && lineBreak()) continue;
      out.append(s.substr(i, 2));
      col += 2;
      i += 2;
      continue;
    }
    const char c = s[i];
    if (c == '\r' || c == '\n') {
      // A break in the text is the line break itself, even on a full line.
      ++i;
      if (i < s.size() && (s[i] == '\r' || s[i] == '\n')) ++i;
      lineBreak();
      continue;
    }
    if (col >= width && lineBreak()) continue;
    out.push_back(c);
    col += c == '\t' ? tabWidth : 1;
    ++i;
  }
  return out;
}

std::string PadLeft(std::string_view s, size_t width, char fill) {
  if (s.size() >= width) return std::string(s);
  std::string out(width - s.size(), fill);
  out.append(s);
  return out;
}

std::string CurrencyText(long double v, bool decimals) {
  TDecimal d = ToDecimal(v);
  RoundToFraction(d, 4);
  RoundToFraction(d, decimals ? 2 : 0);
  return FixedText(d, decimals ? 2 : 0, true);
}

TFormatStatus FormatValue(std::string_view format, std::string_view value, std::string& out) {
  out.clear();
  bool used = false;
  for (size_t i = 0; i < format.size();) {
    const size_t len = CharLen(format, i);
    if (len == 2 || format[i] != '%') {
      out.append(format.substr(i, len));
      i += len;
      continue;
    }
    ++i;
    if (i < format.size() && format[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    bool leftAlign = false;
    if (i < format.size() && format[i] == '-') {
      leftAlign = true;
      ++i;
    }
    auto readNumber = [&](size_t& n) {
      n = 0;
      while (i < format.size() && IsAsciiDigit(format[i])) {
        n = n * 10 + static_cast<size_t>(format[i++] - '0');
        if (n > kMaxFormatWidth) return false;
      }
      return true;
    };
    size_t width = 0, prec = 0;
    bool hasPrec = false;
    if (!readNumber(width)) return TFormatStatus::kBadFormat;
    if (i < format.size() && format[i] == '.') {
      ++i;
      hasPrec = true;
      if (!readNumber(prec)) return TFormatStatus::kBadFormat;
    }
    if (i >= format.size() || used) return TFormatStatus::kBadFormat;
    char type = format[i++];
    if (type >= 'A' && type <= 'Z') type = static_cast<char>(type - 'A' + 'a');
    used = true;
    std::string text;
    switch (type) {
      case 'd':
      case 'u':
      case 'x': {
        const long double v = std::trunc(StrToNumber(value));
        if (!(v > -9223372036854775809.0L && v < 9223372036854775808.0L)) {
          return TFormatStatus::kOutOfRange;
        }
        const int64_t n = static_cast<int64_t>(v);
        char buf[32];
        const uint64_t u =
            type == 'd' && n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
        auto r = std::to_chars(buf, buf + sizeof buf, u, type == 'x' ? 16 : 10);
        std::string digits(buf, r.ptr);
        if (type == 'x') {
          for (char& c : digits) c = static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
        }
        if (hasPrec && digits.size() < prec) digits.insert(0, prec - digits.size(), '0');
        text = (type == 'd' && n < 0 ? "-" : "") + digits;
        break;
      }
      case 'e':
        text = ScientificText(ToDecimal(StrToNumber(value)),
                              hasPrec ? std::clamp<int>(static_cast<int>(prec), 1, 18) : 15);
        break;
      case 'g':
        text = GeneralText(ToDecimal(StrToNumber(value)),
                           hasPrec ? std::clamp<int>(static_cast<int>(prec), 1, 18) : 15);
        break;
      case 'f':
      case 'n':
      case 'm': {
        const int frac =
            hasPrec ? std::min<int>(static_cast<int>(prec), 18) : (type == 'm' ? 0 : 2);
        TDecimal d = ToDecimal(StrToNumber(value));
        RoundToFraction(d, frac);
        text = FixedText(d, frac, type != 'f');
        if (type == 'm' && !d.Special) {
          // The currency mark of the Japanese locale (yen, 5C in CP932) before the digits.
          text.insert(text[0] == '-' ? 1 : 0, "\\");
        }
        break;
      }
      case 's': {
        std::string_view v = value;
        // A precision keeps at most that many bytes, never half a character.
        if (hasPrec && v.size() > prec) {
          size_t end = 0;
          while (end < v.size() && end + CharLen(v, end) <= prec) end += CharLen(v, end);
          v = v.substr(0, end);
        }
        text.assign(v);
        break;
      }
      default:
        return TFormatStatus::kBadFormat;
    }
    AppendPadded(out, text, width, leftAlign);
  }
  return TFormatStatus::kOk;
}

// ---- characters and codes ----

uint32_t FirstCharCode(std::string_view s) {
  const auto* u = reinterpret_cast<const unsigned char*>(s.data());
  return CharLen(s, 0) == 2 ? (u[0] << 8) | u[1] : u[0];
}

std::string CharFromCode(uint32_t code) {
  if (code < 256) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

namespace {

// The first character made half-width, or empty.
std::string_view FirstHalfWidth(std::string_view s) {
  if (s.empty()) return {};
  return TConvToHalf::Instance().Convert(s.substr(0, CharLen(s, 0)));
}

uint32_t FirstTwoBytes(std::string_view s) {
  return s.size() < 2 ? 0
                      : (static_cast<unsigned char>(s[0]) << 8) | static_cast<unsigned char>(s[1]);
}

}  // namespace

bool StartsUpper(std::string_view s) {
  std::string_view h = FirstHalfWidth(s);
  return !h.empty() && h[0] >= 'A' && h[0] <= 'Z';
}

bool StartsDigit(std::string_view s) {
  std::string_view h = FirstHalfWidth(s);
  return !h.empty() && IsAsciiDigit(h[0]);
}

bool StartsWide(std::string_view s) {
  return !s.empty() && IsLead(s[0]);
}

bool StartsHiragana(std::string_view s) {
  const uint32_t c = FirstTwoBytes(s);
  return c >= 0x82A0 && c <= 0x833E;
}

bool StartsKatakana(std::string_view s) {
  const uint32_t c = FirstTwoBytes(s);
  return c >= 0x8340 && c <= 0x839D;
}

bool IsNumberSequence(std::string_view s) {
  if (s.empty() || !IsAsciiDigit(s[0])) return false;
  for (size_t i = 1; i < s.size(); i += CharLen(s, i)) {
    if (CharLen(s, i) == 2) return false;
    const char c = s[i];
    if (!IsAsciiDigit(c) && c != '+' && c != '-' && c != '.' && c != 'E' && c != 'e') return false;
  }
  return true;
}

// ---- bytes ----

std::string HexDump(std::string_view s) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size() * 3 + s.size() / 16 + 2);
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
    if ((i + 1) % 16 == 0) {
      out += "\r\n";
    } else {
      out.push_back(',');
    }
  }
  return out;
}

TBinFormat BinFormatOf(std::string_view name) {
  std::string up(name);
  for (char& c : up) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  if (up == "CHAR") return TBinFormat::kChar;
  if (up == "BYTE") return TBinFormat::kByte;
  if (up == "WORD") return TBinFormat::kWord;
  if (up == "DWORD") return TBinFormat::kDword;
  if (up == "INT") return TBinFormat::kInt;
  if (up == "CHAR*") return TBinFormat::kCharZ;
  return TBinFormat::kNone;
}

namespace {

size_t FixedSize(TBinFormat f) {
  switch (f) {
    case TBinFormat::kChar:
    case TBinFormat::kByte:
      return 1;
    case TBinFormat::kWord:
      return 2;
    case TBinFormat::kDword:
    case TBinFormat::kInt:
      return 4;
    default:
      return 0;
  }
}

}  // namespace

bool ReadBinary(std::string_view value, size_t at, TBinFormat f, std::string& out, bool& isText) {
  if (f == TBinFormat::kNone) return true;
  if (at > value.size()) return false;
  if (f == TBinFormat::kCharZ) {
    // Up to the next zero byte, or to the end of the value.
    std::string_view rest = value.substr(at);
    out.assign(rest.substr(0, rest.find('\0')));
    isText = true;
    return true;
  }
  const size_t n = FixedSize(f);
  if (value.size() - at < n) return false;
  const auto* u = reinterpret_cast<const unsigned char*>(value.data() + at);
  isText = f == TBinFormat::kChar;
  if (isText) {
    out.assign(1, static_cast<char>(u[0]));
    return true;
  }
  uint32_t v = 0;
  for (size_t k = n; k-- > 0;) v = (v << 8) | u[k];
  out = f == TBinFormat::kInt ? std::to_string(static_cast<int32_t>(v)) : std::to_string(v);
  return true;
}

TFormatStatus WriteBinary(std::string& value, size_t at, TBinFormat f, std::string_view text,
                          long double number) {
  if (f == TBinFormat::kNone) return TFormatStatus::kOk;
  if (at > value.size()) return TFormatStatus::kOutOfRange;
  if (f == TBinFormat::kCharZ) {
    if (value.size() - at < text.size() + 1) return TFormatStatus::kOutOfRange;
    std::memcpy(value.data() + at, text.data(), text.size());
    value[at + text.size()] = '\0';
    return TFormatStatus::kOk;
  }
  const size_t n = FixedSize(f);
  if (value.size() - at < n) return TFormatStatus::kOutOfRange;
  if (f == TBinFormat::kChar) {
    value[at] = text.empty() ? '\0' : text[0];
    return TFormatStatus::kOk;
  }
  const long double t = std::trunc(number);
  uint32_t v = 0;
  switch (f) {
    case TBinFormat::kByte:
      // Only the low 8 bits are kept, negative numbers included.
      if (!(t > -9.3e18L && t < 9.3e18L)) return TFormatStatus::kOutOfRange;
      v = static_cast<uint32_t>(static_cast<int64_t>(t) & 0xFF);
      break;
    case TBinFormat::kWord:
      if (!(t >= 0 && t <= 65535)) return TFormatStatus::kOutOfRange;
      v = static_cast<uint32_t>(t);
      break;
    case TBinFormat::kDword:
      if (!(t >= 0 && t <= 4294967295.0L)) return TFormatStatus::kOutOfRange;
      v = static_cast<uint32_t>(t);
      break;
    default:  // kInt
      if (!(t >= -2147483648.0L && t <= 2147483647.0L)) return TFormatStatus::kOutOfRange;
      v = static_cast<uint32_t>(static_cast<int32_t>(t));
      break;
  }
  for (size_t k = 0; k < n; ++k, v >>= 8) value[at + k] = static_cast<char>(v & 0xFF);
  return TFormatStatus::kOk;
}

}  // namespace yume
