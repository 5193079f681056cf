// Calendar work behind the date commands: offsets written as text, differences, the Japanese
// era calendar and the millisecond clock. Values are date-times as in table/datetime.h; nothing
// here knows the interpreter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yume {

// An offset as scripts write it: an optional sign, then up to three fields cut at a separator
// ("1/2/3": years/months/days, "1:2:3": hours:minutes:seconds).
struct TDateOffset {
  bool Negative = false;
  int64_t Fields[3] = {0, 0, 0};
};

// Reads an offset: surrounding blanks are ignored, a leading "-" or "+" is the sign, and each
// field is a plain decimal integer, 0 when unreadable or missing. nullopt when a field lies
// outside 0 to 65535.
std::optional<TDateOffset> ReadDateOffset(std::string_view text, char separator);

// The base moved by years (as months), then by months, then by days, each month step clamping
// the day to its month's end on its own; with the sign negative every field counts backwards.
// nullopt when the result leaves the years 1 to 9999.
std::optional<double> AddDateOffset(double base, const TDateOffset& offset);
// The base moved by hours, then minutes, then seconds (each step in extended precision, kept as
// a double). Before the base's day the value simply counts backwards on the time line, so
// its time of day is the offset taken modulo 24 hours.
double AddTimeOffset(double base, const TDateOffset& offset);

// first - second in whole days, truncated toward zero.
int64_t DaysBetween(double first, double second);
// first - second in seconds, rounded to the nearest (ties to even); nullopt when the result
// does not fit a signed 32-bit integer.
std::optional<int32_t> SecondsBetween(double first, double second);

// The date in the Japanese era calendar, the era chosen by the Gregorian year alone:
// "平成16年2月4日", "令和元年5月1日"; empty before 1868.
std::string JapaneseEraDate(double value);

// Weekday names, 1 (Sunday) to 7 (Saturday): one character each.
std::string WeekdayName(int weekday);

// A monotonic millisecond clock, and the same wrapped to 32 bits as the tick count scripts see.
uint64_t MonotonicMs();
uint32_t TickCount();
// Sleeps for ms milliseconds.
void SleepMs(uint32_t ms);

}  // namespace yume
