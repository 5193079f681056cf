#include "commands/system/dates.h"

#include <time.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

#include "core/textutil.h"
#include "table/datetime.h"

namespace yume {

namespace {

constexpr int64_t kFieldMax = 65535;
constexpr long long kMsPerDay = 86400000;

// A field of an offset: blanks around it ignored, an optional sign, decimal digits; 0 when it
// is anything else. Long runs of digits stay above the limit rather than wrapping.
int64_t ReadField(std::string_view field) {
  field = TrimBlanks(field);
  bool negative = false;
  if (!field.empty() && (field[0] == '-' || field[0] == '+')) {
    negative = field[0] == '-';
    field.remove_prefix(1);
  }
  if (field.empty()) return 0;
  int64_t n = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return 0;
    if (n <= kFieldMax) n = n * 10 + (c - '0');
  }
  return negative ? -n : n;
}

// The value in whole milliseconds: differences are taken on these, so that two readings of
// the same clock time never differ by a rounding error of the doubles.
long long ToMs(double value) {
  return std::llround(value * static_cast<double>(kMsPerDay));
}

}  // namespace

std::optional<TDateOffset> ReadDateOffset(std::string_view text, char separator) {
  text = TrimBlanks(text);
  TDateOffset offset;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    offset.Negative = text[0] == '-';
    text.remove_prefix(1);
  }
  for (int i = 0; i < 3; ++i) {
    const size_t cut = text.find(separator);
    offset.Fields[i] = ReadField(text.substr(0, cut));
    if (offset.Fields[i] < 0 || offset.Fields[i] > kFieldMax) return std::nullopt;
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
  return offset;
}

std::optional<double> AddDateOffset(double base, const TDateOffset& offset) {
  const int64_t sign = offset.Negative ? -1 : 1;
  std::optional<double> v = IncMonth(base, sign * offset.Fields[0] * 12);
  if (v) v = IncMonth(*v, sign * offset.Fields[1]);
  if (!v) return std::nullopt;
  const double moved = *v + static_cast<double>(sign * offset.Fields[2]);
  // Days may carry the date past either end of the calendar too.
  if (!(moved >= *EncodeDate(1, 1, 1) && moved < *EncodeDate(9999, 12, 31) + 1))
    return std::nullopt;
  return moved;
}

double AddTimeOffset(double base, const TDateOffset& offset) {
  static constexpr long double kUnits[3] = {24, 1440, 86400};
  const int64_t sign = offset.Negative ? -1 : 1;
  double v = base;
  for (int i = 0; i < 3; ++i) {
    v = static_cast<double>((static_cast<long double>(v) * kUnits[i] +
                             static_cast<long double>(sign * offset.Fields[i])) /
                            kUnits[i]);
  }
  return v;
}

int64_t DaysBetween(double first, double second) {
  return (ToMs(first) - ToMs(second)) / kMsPerDay;
}

std::optional<int32_t> SecondsBetween(double first, double second) {
  const double seconds = static_cast<double>(ToMs(first) - ToMs(second)) / 1000;
  const double rounded = std::nearbyint(seconds);  // the default rounding: ties to even
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
  return static_cast<int32_t>(rounded);
}

std::string JapaneseEraDate(double value) {
  struct TEra {
    int First;  // the Gregorian year the era's year 1 is counted in
    const char* Name;
  };
  // Newest first; each era from the whole Gregorian year in which it began.
  static constexpr TEra kEras[] = {
      {2019, "令和"}, {1989, "平成"}, {1926, "昭和"}, {1912, "大正"}, {1868, "明治"}};
  const DateTimeParts p = DecodeDateTime(value);
  for (const TEra& era : kEras) {
    if (p.year < era.First) continue;
    const int eraYear = p.year - era.First + 1;
    std::string out = era.Name;
    out += eraYear == 1 ? "元" : std::to_string(eraYear);
    char rest[48];
    std::snprintf(rest, sizeof rest, "年%d月%d日", p.month, p.day);
    return out + rest;
  }
  return {};
}

std::string WeekdayName(int weekday) {
  static const char* const kNames[7] = {"日", "月", "火", "水", "木", "金", "土"};
  if (weekday < 1 || weekday > 7) return {};
  return kNames[weekday - 1];
}

uint64_t MonotonicMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

uint32_t TickCount() {
  return static_cast<uint32_t>(MonotonicMs());
}

void SleepMs(uint32_t ms) {
  timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
  while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

}  // namespace yume
