#include "core/number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/sjis.h"

namespace yume {

namespace {

// Only the head of a long text is converted from full width, as the reading always did.
constexpr size_t kHalfWidthLimit = 254;

constexpr long double kPow10[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                  1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                  1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
constexpr int kMaxExactPow10 = 27;  // 10^27 still fits the 64-bit mantissa exactly

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The ASCII form of a full-width character that can take part in a number, or 0. Other
// full-width characters end a number whatever their half-width form would be.
char HalfWidthNumberChar(unsigned char lead, unsigned char trail) {
  if (lead == 0x81) {
    switch (trail) {
      case 0x40:
        return ' ';
      case 0x43:
        return ',';
      case 0x44:
        return '.';
      case 0x7B:
        return '+';
      case 0x7C:
        return '-';
      case 0x90:
        return '$';
      default:
        return 0;
    }
  }
  if (lead == 0x82) {
    if (trail >= 0x4F && trail <= 0x58) return static_cast<char>('0' + (trail - 0x4F));
    if (trail >= 0x60 && trail <= 0x79) return static_cast<char>('A' + (trail - 0x60));
    if (trail >= 0x81 && trail <= 0x9A) return static_cast<char>('a' + (trail - 0x81));
  }
  return 0;
}

// Full width to ASCII (in the head of the text) and every "," removed.
std::string Normalize(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const size_t len = CharLen(s, i);
    char c = s[i];
    if (len == 2 && i + 2 <= kHalfWidthLimit) {
      const char half = HalfWidthNumberChar(static_cast<unsigned char>(s[i]),
                                            static_cast<unsigned char>(s[i + 1]));
      if (half) {
        if (half != ',') out += half;
        i += 2;
        continue;
      }
    }
    if (len == 1) {
      if (c != ',') out += c;
    } else {
      out.append(s.substr(i, len));
    }
    i += len;
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "$" and hexadecimal digits up to the end; anything else (or more than 64 bits) is 0.
long double ReadHex(std::string_view digits) {
  if (digits.empty()) return 0;
  uint64_t v = 0;
  for (char c : digits) {
    const int h = HexValue(c);
    if (h < 0 || (v >> 60) != 0) return 0;
    v = (v << 4) | static_cast<uint64_t>(h);
  }
  return static_cast<long double>(v);
}

long double ReadDecimal(std::string_view s) {
  size_t i = 0;
  const size_t n = s.size();
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const size_t start = i;

  // Up to 19 significant digits go into an integer mantissa; the decimal exponent follows the
  // digits that did not fit (integer part) or that came after the point (fraction).
  uint64_t mantissa = 0;
  int digits = 0;
  bool dropped = false;  // a non-zero digit did not fit into the mantissa
  long long exp10 = 0;
  bool any = false;
  auto take = [&](char c, bool fraction) {
    any = true;
    if (digits < 19) {
      if (mantissa != 0 || c != '0') {
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
        ++digits;
      }
      if (fraction) --exp10;
    } else {
      if (!fraction) ++exp10;
      if (c != '0') dropped = true;
    }
  };
  while (i < n && IsDigit(s[i])) take(s[i++], false);
  // The exponent counts after a fraction; and after whole digits in the form numbers are
  // written back in ("1E20", "-5E-7": capital E, the text ending there), so that every number
  // the system writes reads back as itself.
  bool exponentFollows = false;
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigit(s[i])) take(s[i++], true);
    exponentFollows = i < n && (s[i] == 'E' || s[i] == 'e');
  } else if (any && i < n && s[i] == 'E') {
    size_t j = i + 1;
    if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
    const size_t digitsStart = j;
    while (j < n && IsDigit(s[j])) ++j;
    exponentFollows = j > digitsStart && j == n;
  }
  if (exponentFollows) {
    size_t j = i + 1;
    bool exp_negative = false;
    if (j < n && (s[j] == '+' || s[j] == '-')) exp_negative = s[j++] == '-';
    if (j < n && IsDigit(s[j])) {
      long long e = 0;
      while (j < n && IsDigit(s[j])) {
        if (e < 100000000) e = e * 10 + (s[j] - '0');
        ++j;
      }
      exp10 += exp_negative ? -e : e;
      i = j;
    }
  }
  if (!any || mantissa == 0) return 0;

  long double value;
  if (!dropped && exp10 >= -kMaxExactPow10 && exp10 <= kMaxExactPow10) {
    // One rounding of exact operands: correctly rounded.
    const long double m = static_cast<long double>(mantissa);
    value = exp10 >= 0 ? m * kPow10[exp10] : m / kPow10[-exp10];
  } else {
    const std::string_view matched = s.substr(start, i - start);
    auto r = std::from_chars(matched.data(), matched.data() + matched.size(), value,
                             std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
      value = exp10 + digits > 0 ? std::numeric_limits<long double>::infinity() : 0;
    } else if (r.ec != std::errc()) {
      value = 0;
    }
  }
  return negative ? -value : value;
}

}  // namespace

long double StrToNumber(std::string_view text) {
  // Plain digits (counters, indices, most values) are read directly.
  if (!text.empty() && text.size() <= 18) {
    uint64_t v = 0;
    bool plain = true;
    for (char c : text) {
      if (c < '0' || c > '9') {
        plain = false;
        break;
      }
      v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (plain) return static_cast<long double>(v);
  }
  text = Trim(text);
  if (text.empty()) return 0;
  const std::string normalized = Normalize(text);
  std::string_view s = Trim(normalized);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  if (s.empty()) return 0;
  if (s.front() == '$') return ReadHex(s.substr(1));
  return ReadDecimal(s);
}

std::string FormatNumber(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";

  // Whole numbers below 10^15 have at most 15 digits and are written exactly: the common case
  // (counters, sums, indices) without the cost of a general conversion.
  if (value > -1e15L && value < 1e15L) {
    const long long whole = static_cast<long long>(value);
    if (static_cast<long double>(whole) == value) {
      char buf[24];
      const auto r = std::to_chars(buf, buf + sizeof buf, whole);
      return std::string(buf, r.ptr);
    }
  }

  // d.dddddddddddddde±x: 15 significant digits, correctly rounded, locale-free. A value that a
  // double holds exactly gives the same digits through the much faster double conversion.
  char buf[64];
  const double as_double = static_cast<double>(value);
  const auto r =
      static_cast<long double>(as_double) == value
          ? std::to_chars(buf, buf + sizeof buf, as_double, std::chars_format::scientific, 14)
          : std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  std::string_view sci(buf, r.ptr - buf);
  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  const size_t e_pos = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e_pos))
    if (c != '.') digits += c;
  int exponent = 0;
  std::from_chars(sci.data() + e_pos + (sci[e_pos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                  exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out;
  if (negative) out += '-';
  if (exponent >= -5 && exponent < 15) {
    if (exponent >= 0) {
      const size_t int_len = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= int_len) {
        out += digits;
        out.append(int_len - digits.size(), '0');
      } else {
        out.append(digits, 0, int_len);
        out += '.';
        out.append(digits, int_len);
      }
    } else {
      out += "0.";
      out.append(static_cast<size_t>(-exponent - 1), '0');
      out += digits;
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    out += 'E';
    out += std::to_string(exponent);
  }
  return out;
}

bool TryStrToNumber(std::string_view text, long double& out) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  std::string_view t = text.substr(b, e - b);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  auto digits = [&](bool hex) {
    const size_t start = i;
    while (i < t.size()) {
      const char c = t[i];
      const bool ok = (c >= '0' && c <= '9') || c == ',' ||
                      (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
      if (!ok) break;
      ++i;
    }
    return i > start;
  };
  if (i < t.size() && t[i] == '$') {
    ++i;
    if (!digits(true) || i != t.size()) return false;
  } else {
    if (!digits(false)) return false;
    bool exponent = false;
    if (i < t.size() && t[i] == '.') {
      ++i;
      if (!digits(false)) return false;
      exponent = i < t.size() && (t[i] == 'e' || t[i] == 'E');
    } else {
      exponent = i < t.size() && t[i] == 'E';  // the written-back form "1E20"
    }
    if (exponent) {
      ++i;
      if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
      if (!digits(false)) return false;
    }
    if (i != t.size()) return false;
  }
  out = StrToNumber(t);
  return true;
}

bool ParseIntText(std::string_view s, int64_t& out) {
  size_t i = 0, e = s.size();
  while (i < e && static_cast<unsigned char>(s[i]) <= 32) ++i;
  while (e > i && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  bool neg = false;
  if (i < e && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  int base = 10;
  if (i < e && s[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= e) return false;
  uint64_t v = 0;
  auto r = std::from_chars(s.data() + i, s.data() + e, v, base);
  if (r.ec != std::errc() || r.ptr != s.data() + e) return false;
  if (v > static_cast<uint64_t>(INT64_MAX)) return false;
  out = neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  return true;
}

int64_t TruncCount(long double v) {
  constexpr long double kLimit = 4611686018427387904.0L;  // 2^62
  if (std::isnan(v)) return 0;
  if (v > kLimit) return static_cast<int64_t>(kLimit);
  if (v < -kLimit) return -static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(v);
}

uint32_t ReadColor(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  if (text.empty() || text.front() != '#') {
    return static_cast<uint32_t>(static_cast<uint64_t>(TruncCount(StrToNumber(text))));
  }
  if (text.size() < 7) return 0;
  uint32_t rgb[3] = {};
  for (int k = 0; k < 3; ++k) {
    const auto r = std::from_chars(text.data() + 1 + 2 * k, text.data() + 3 + 2 * k, rgb[k], 16);
    if (r.ec != std::errc() || r.ptr != text.data() + 3 + 2 * k) return 0;
  }
  return rgb[0] | (rgb[1] << 8) | (rgb[2] << 16);
}

}  // namespace yume
