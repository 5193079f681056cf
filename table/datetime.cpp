#include "table/datetime.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/sjis.h"

namespace yume {

namespace {

constexpr long long kOriginOffset = 25569;  // 1970-01-01 counted from 1899-12-30
constexpr long long kMsPerDay = 86400000;

long long DaysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// Full-width digits, separators and space to ASCII; other characters are kept.
std::string HalfWidthDateText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const size_t len = CharLen(s, i);
    if (len == 2) {
      const auto lead = static_cast<unsigned char>(s[i]);
      const auto trail = static_cast<unsigned char>(s[i + 1]);
      char half = 0;
      if (lead == 0x82 && trail >= 0x4F && trail <= 0x58)
        half = static_cast<char>('0' + trail - 0x4F);
      if (lead == 0x81) {
        switch (trail) {
          case 0x40:
            half = ' ';
            break;
          case 0x44:
            half = '.';
            break;
          case 0x46:
            half = ':';
            break;
          case 0x5E:
            half = '/';
            break;
          case 0x7C:
            half = '-';
            break;
          default:
            break;
        }
      }
      if (half) {
        out += half;
        i += 2;
        continue;
      }
    }
    out.append(s.substr(i, len));
    i += len;
  }
  return out;
}

class DateReader {
 public:
  explicit DateReader(std::string_view s) : s_(s) {}

  std::optional<double> Read() {
    SkipSpaces();
    const size_t start = pos_;
    std::optional<double> date = ReadDate();
    if (!date) {
      pos_ = start;
      std::optional<double> time = ReadTime();
      SkipSpaces();
      if (time && AtEnd()) return time;
      return std::nullopt;
    }
    const size_t after_date = pos_;
    SkipSpaces();
    if (AtEnd()) return date;
    if (pos_ == after_date) return std::nullopt;  // a time must be set apart by a space
    std::optional<double> time = ReadTime();
    SkipSpaces();
    if (!time || !AtEnd()) return std::nullopt;
    return *date + *time;
  }

 private:
  bool AtEnd() const { return pos_ >= s_.size(); }
  void SkipSpaces() {
    while (pos_ < s_.size() && static_cast<unsigned char>(s_[pos_]) <= 0x20) ++pos_;
  }
  bool Match(std::string_view lit) {
    if (s_.substr(pos_, lit.size()) != lit) return false;
    pos_ += lit.size();
    return true;
  }
  // 1 to max_digits decimal digits.
  bool ReadInt(int max_digits, int& value, int* count = nullptr) {
    int n = 0;
    value = 0;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9' && n < max_digits) {
      value = value * 10 + (s_[pos_++] - '0');
      ++n;
    }
    if (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') return false;  // too long
    if (count) *count = n;
    return n > 0;
  }

  std::optional<double> ReadDate() {
    int year, month, day, year_digits;
    if (!ReadInt(4, year, &year_digits)) return std::nullopt;
    if (pos_ < s_.size() && (s_[pos_] == '/' || s_[pos_] == '-' || s_[pos_] == '.')) {
      const char sep = s_[pos_++];
      if (!ReadInt(2, month) || pos_ >= s_.size() || s_[pos_++] != sep || !ReadInt(2, day))
        return std::nullopt;
    } else if (Match("年")) {
      if (!ReadInt(2, month) || !Match("月") || !ReadInt(2, day) || !Match("日"))
        return std::nullopt;
    } else {
      return std::nullopt;
    }
    if (year_digits <= 2) year += year < 30 ? 2000 : 1900;
    return EncodeDate(year, month, day);
  }

  std::optional<double> ReadTime() {
    int hour, minute = 0, second = 0;
    if (!ReadInt(2, hour)) return std::nullopt;
    if (Match(":")) {
      if (!ReadInt(2, minute)) return std::nullopt;
      if (Match(":") && !ReadInt(2, second)) return std::nullopt;
    } else if (Match("時")) {
      const size_t mark = pos_;
      if (ReadInt(2, minute)) {
        if (!Match("分")) return std::nullopt;
        const size_t after_minute = pos_;
        if (ReadInt(2, second)) {
          if (!Match("秒")) return std::nullopt;
        } else {
          pos_ = after_minute;
        }
      } else {
        pos_ = mark;
      }
    } else {
      return std::nullopt;
    }
    return EncodeTime(hour, minute, second);
  }

  std::string_view s_;
  size_t pos_ = 0;
};

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<double> EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return static_cast<double>(DaysFromCivil(year, month, day) + kOriginOffset);
}

std::optional<double> EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return std::nullopt;
  return static_cast<double>(((hour * 60LL + minute) * 60 + second) * 1000 + millisecond) /
         kMsPerDay;
}

namespace {

// The day a value falls on (counted from the origin, floor) and the milliseconds into it, the
// value rounded to the millisecond first. Far outside the calendar (or not a number) reads as
// the origin instead of overflowing.
void SplitValue(double value, long long& days, long long& ms) {
  if (!(value > -1e8 && value < 1e8)) value = 0;
  const long long total = std::llround(value * static_cast<double>(kMsPerDay));
  days = total / kMsPerDay;
  ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
}

}  // namespace

DateTimeParts DecodeDateTime(double value) {
  long long days, ms;
  SplitValue(value, days, ms);
  DateTimeParts p;
  CivilFromDays(days - kOriginOffset, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  p.second = static_cast<int>(ms % 60);
  ms /= 60;
  p.minute = static_cast<int>(ms % 60);
  p.hour = static_cast<int>(ms / 60);
  return p;
}

int Weekday(double value) {
  long long days, ms;
  SplitValue(value, days, ms);
  // The origin, 1899-12-30, was a Saturday.
  return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

std::optional<double> IncMonth(double value, long long months) {
  long long days, ms;
  SplitValue(value, days, ms);
  int year, month, day;
  CivilFromDays(days - kOriginOffset, year, month, day);
  const long long index = year * 12LL + (month - 1) + months;
  if (index < 12 || index >= 10000 * 12LL) return std::nullopt;
  const int y = static_cast<int>(index / 12), m = static_cast<int>(index % 12) + 1;
  if (day > DaysInMonth(y, m)) day = DaysInMonth(y, m);
  return static_cast<double>(DaysFromCivil(y, m, day) + kOriginOffset) +
         static_cast<double>(ms) / kMsPerDay;
}

double NowValue() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  const long long ms =
      ((local.tm_hour * 60LL + local.tm_min) * 60 + std::min(local.tm_sec, 59)) * 1000 +
      now.tv_nsec / 1000000;
  return static_cast<double>(
             DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday) +
             kOriginOffset) +
         static_cast<double>(ms) / kMsPerDay;
}

std::optional<double> ReadDateTime(std::string_view text) {
  const std::string half = HalfWidthDateText(text);
  return DateReader(half).Read();
}

std::string DateUnreadableMessage(std::string_view text) {
  return "\"" + std::string(text) + "\"は、日付と時刻に変換できません。";
}

std::string FormatDate(double value) {
  const DateTimeParts p = DecodeDateTime(value);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", p.year, p.month, p.day);
  return buf;
}

std::string FormatTime(double value) {
  const DateTimeParts p = DecodeDateTime(value);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
  return buf;
}

std::string FormatDateTime(double value) {
  return FormatDate(value) + ' ' + FormatTime(value);
}

}  // namespace yume
