// Date-time values and their text forms.
//
// A date-time is a double: days since 1899-12-30 00:00, the fraction being the time of day
// (0.5 is noon). Days before that origin are negative and the value stays linear in time: the
// day is floor(value) and the fraction above it is always the time of day, so differences and
// orderings are plain arithmetic on the values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yume {

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1-12

// Days since 1899-12-30 of a valid calendar date (proleptic Gregorian); nullopt otherwise.
// Years 1 to 9999 are accepted.
std::optional<double> EncodeDate(int year, int month, int day);
// The fraction of a day for a valid time of day (hour 0-23, minute and second 0-59).
std::optional<double> EncodeTime(int hour, int minute, int second, int millisecond = 0);
// Splits a value back into calendar fields (rounded to the millisecond).
DateTimeParts DecodeDateTime(double value);

// The day of the week, 1 (Sunday) to 7 (Saturday), of the day the value falls on.
int Weekday(double value);
// The value moved by a number of months with its time of day kept; the day of the month is
// clamped to the target month's last day (01/31 plus one month is the end of February).
// nullopt when the result leaves the years 1 to 9999.
std::optional<double> IncMonth(double value, long long months);
// The current local date and time as a value.
double NowValue();

// Reads the date-time spellings scripts and tables use: "yyyy/mm/dd", "hh:nn:ss",
// "yyyy/mm/dd hh:nn:ss", with one-digit month, day and hour allowed; "-" or "." may separate the
// date as well, and 年月日 / 時分秒 spellings are accepted. Seconds may be left out; a time alone
// gives a value below 1, a date alone a whole number. A year of one or two digits is taken as
// 2000-2029 (0-29) or 1930-1999 (30-99). Full-width digits and separators are accepted and
// surrounding blanks ignored. nullopt when the text is not such a date-time.
std::optional<double> ReadDateTime(std::string_view text);
// The reader's own message for a text that is not a date-time (it names the text).
std::string DateUnreadableMessage(std::string_view text);

// "yyyy/mm/dd", "hh:nn:ss" and "yyyy/mm/dd hh:nn:ss".
std::string FormatDate(double value);
std::string FormatTime(double value);
std::string FormatDateTime(double value);

}  // namespace yume
