#include "commands/text/mathfn.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "core/convhalf.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/sjis.h"
#include "core/textutil.h"

namespace yume::mathfn {

namespace {

const char* const kRangeError = msg::kRangeCheck;
const char kZeroDivide[] = "浮動小数点数の 0 による除算";
const char kInvalidOp[] = "浮動小数点数の不正な操作";

// Scaling by a power of ten rounds: 0.7 x 10 lands a hair below 7. A scaled value this close
// to a multiple of `step` is taken as that multiple, so decimal places cut where they are
// written. The tolerance is a few units in the last place of the extended format, far below
// the 15 digits any number is written with.
long double Snap(long double v, long double step) {
  const long double r = std::round(v / step) * step;
  return std::fabs(v - r) <= std::fabs(v) * 64 * LDBL_EPSILON ? r : v;
}

// 10^n for n >= 0 (exact up to 10^27).
long double Pow10(int n) {
  return std::pow(10.0L, static_cast<long double>(n));
}

}  // namespace

int32_t ToInt32(long double x) {
  const long double t = std::trunc(x);
  if (!(t >= -2147483648.0L && t <= 2147483647.0L)) throw std::out_of_range(kRangeError);
  return static_cast<int32_t>(t);
}

int64_t ToInt64(long double x) {
  const long double t = std::trunc(x);
  if (!(t >= -9223372036854775808.0L && t < 9223372036854775808.0L))
    throw std::out_of_range(kRangeError);
  return static_cast<int64_t>(t);
}

long double Divide(long double a, long double b) {
  if (b == 0) throw EMathFault(a == 0 || std::isnan(a) ? kInvalidOp : kZeroDivide);
  return a / b;
}

int32_t Mod(int32_t a, int32_t b) {
  if (b == 0) throw std::domain_error("0 による除算");
  // INT_MIN % -1 overflows in C++; the remainder is 0.
  if (b == -1) return 0;
  return a % b;
}

uint32_t Shr(int32_t v, int32_t count) {
  return static_cast<uint32_t>(v) >> (static_cast<uint32_t>(count) & 31u);
}

int32_t Shl(int32_t v, int32_t count) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) << (static_cast<uint32_t>(count) & 31u));
}

std::string Hex(int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(static_cast<uint32_t>(v)));
  return buf;
}

long double RoundHalfEven(long double x) {
  const long double fl = std::floor(x);
  const long double d = x - fl;
  if (d < 0.5L) return fl;
  if (d > 0.5L) return fl + 1;
  return std::fmod(fl, 2.0L) == 0 ? fl : fl + 1;
}

namespace {

// x scaled to decimal place `places`, made whole by `whole`, and scaled back. Scaling down
// divides by an exact power of ten rather than multiplying by an inexact one.
template <class Fn>
long double AtPlace(long double x, int places, long double step, Fn whole) {
  if (!std::isfinite(x)) return x;
  if (places >= 0) {
    const long double p = Pow10(places);
    const long double scaled = x * p;
    // Too large to have digits at that place.
    if (!std::isfinite(scaled)) return x;
    return whole(Snap(scaled, step)) / p;
  }
  const long double p = Pow10(-places);
  if (!std::isfinite(p)) return 0;
  return whole(Snap(x / p, step)) * p;
}

}  // namespace

long double TruncAt(long double x, int places) {
  return AtPlace(x, places, 1, [](long double v) { return std::trunc(v); });
}

long double RoundAt(long double x, int places) {
  return AtPlace(x, places, 0.5L, RoundHalfEven);
}

std::string FracText(std::string_view text) {
  const size_t dot = FindCharAligned(text, '.');
  if (dot == std::string_view::npos) return std::string();
  return "0" + std::string(text.substr(dot));
}

long double LogBase(long double b, long double x) {
  return std::log(x) / std::log(b);
}

long double ArcSin(long double x) {
  return std::atan2(x, std::sqrt(1 - x * x));
}

long double ArcCos(long double x) {
  return std::atan2(std::sqrt(1 - x * x), x);
}

uint32_t NextSeed(uint32_t& seed) {
  seed = seed * 134775813u + 1u;
  return seed;
}

int32_t DrawBelow(uint32_t& seed, int32_t n) {
  if (n <= 0) return 0;
  const uint64_t s = NextSeed(seed);
  return static_cast<int32_t>((s * static_cast<uint64_t>(n)) >> 32);
}

long double DrawReal(uint32_t& seed) {
  return static_cast<long double>(NextSeed(seed)) / 4294967296.0L;
}

bool ReadIntText(std::string_view text, int32_t& out) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  int64_t v = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else
      return false;
    v = v * base + d;
    if (v > 4294967296LL) return false;
  }
  if (negative) v = -v;
  // A hexadecimal text names a 32-bit pattern: $FFFFFFFF is -1.
  if (base == 16 && !negative && v <= 0xFFFFFFFFLL)
    v = static_cast<int32_t>(static_cast<uint32_t>(v));
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<int32_t>(v);
  return true;
}

std::vector<long double> LineValues(std::string_view text) {
  const std::string half = TConvToHalf::Instance().ConvertText(text);
  std::vector<long double> values;
  size_t pos = 0;
  while (pos < half.size()) {
    const std::string_view line = TrimBlanks(NextLine(half, pos));
    if (!line.empty()) values.push_back(StrToNumber(line));
  }
  if (values.empty()) values.push_back(0);
  return values;
}

long double Sum(const std::vector<long double>& v) {
  long double s = 0;
  for (long double x : v) s += x;
  return s;
}

long double Average(const std::vector<long double>& v) {
  return Sum(v) / static_cast<long double>(v.size());
}

namespace {

// Σ(x − mean)²: the same quantity as Σx² − (Σx)²/N without its cancellation, which loses
// every digit when the values are large and close together.
long double SquaredDeviations(const std::vector<long double>& v) {
  const long double mean = Average(v);
  long double s = 0;
  for (long double x : v) s += (x - mean) * (x - mean);
  return s;
}

}  // namespace

long double Variance(const std::vector<long double>& v) {
  return SquaredDeviations(v) / static_cast<long double>(v.size());
}

long double StdDev(const std::vector<long double>& v) {
  // One value divides 0 by 0.
  if (v.size() < 2) throw EMathFault(kInvalidOp);
  return std::sqrt(SquaredDeviations(v) / static_cast<long double>(v.size() - 1));
}

long double MaxOf(const std::vector<long double>& v) {
  long double m = v.front();
  for (long double x : v) m = x > m ? x : m;
  return m;
}

long double MinOf(const std::vector<long double>& v) {
  long double m = v.front();
  for (long double x : v) m = x < m ? x : m;
  return m;
}

int32_t RgbComponent(long double x) {
  const int64_t v = ToInt64(x);
  if (v < -1) throw std::invalid_argument("negative colour component");
  if (v < 0) throw std::out_of_range(kRangeError);
  return static_cast<int32_t>(v % 256);
}

int32_t ColorOf(int32_t r, int32_t g, int32_t b) {
  return r + g * 256 + b * 65536;
}

int32_t CmykColor(int32_t c, int32_t m, int32_t y, int32_t k) {
  for (int32_t v : {c, m, y, k})
    if (v < 0 || v > 255) throw std::out_of_range(kRangeError);
  auto part = [k](int32_t v) { return v + k >= 255 ? 0 : 255 - (v + k); };
  return ColorOf(part(c), part(m), part(y));
}

}  // namespace yume::mathfn
