#include "commands/system/dates.h"

#include <gtest/gtest.h>

#include "table/datetime.h"

namespace yume {
namespace {

double D(const char* text) {
  const std::optional<double> v = ReadDateTime(text);
  EXPECT_TRUE(v.has_value()) << text;
  return v.value_or(0);
}

TDateOffset Offset(const char* text, char separator) {
  const std::optional<TDateOffset> o = ReadDateOffset(text, separator);
  EXPECT_TRUE(o.has_value()) << text;
  return o.value_or(TDateOffset{});
}

std::string AddDate(const char* base, const char* offset) {
  const std::optional<double> v = AddDateOffset(D(base), Offset(offset, '/'));
  return v ? FormatDate(*v) : "out of range";
}

std::string AddTime(const char* base, const char* offset) {
  return FormatTime(AddTimeOffset(D(base), Offset(offset, ':')));
}

TEST(DateOffsetRead, SignFieldsAndLimits) {
  TDateOffset o = Offset(" -1/2/3 ", '/');
  EXPECT_TRUE(o.Negative);
  EXPECT_EQ(o.Fields[0], 1);
  EXPECT_EQ(o.Fields[1], 2);
  EXPECT_EQ(o.Fields[2], 3);
  o = Offset("+3", ':');  // one field alone is the first
  EXPECT_FALSE(o.Negative);
  EXPECT_EQ(o.Fields[0], 3);
  EXPECT_EQ(o.Fields[1], 0);
  o = Offset("x:5: 7 ", ':');  // unreadable fields count 0
  EXPECT_EQ(o.Fields[0], 0);
  EXPECT_EQ(o.Fields[1], 5);
  EXPECT_EQ(o.Fields[2], 7);
  EXPECT_EQ(Offset("65535/0/65535", '/').Fields[2], 65535);
  for (const char* bad : {"65536", "0/0/65536", "0/-1/0", "99999999999999999999999"})
    EXPECT_FALSE(ReadDateOffset(bad, '/').has_value()) << bad;
}

TEST(DateOffsetAdd, MonthEndsClampEachStepOnItsOwn) {
  EXPECT_EQ(AddDate("2004/01/31", "0/1/0"), "2004/02/29");
  EXPECT_EQ(AddDate("2004/01/31", "-0/0/3"), "2004/01/28");
  EXPECT_EQ(AddDate("2004/02/29", "1/0/0"), "2005/02/28");
  // Years first, clamped to 2005/02/28, then the month from there: not 13 months at once,
  // which would keep the 29th.
  EXPECT_EQ(AddDate("2004/02/29", "1/1/0"), "2005/03/28");
  // Months, then days.
  EXPECT_EQ(AddDate("2004/01/31", "0/1/1"), "2004/03/01");
  EXPECT_EQ(AddDate("2004/05/31", "0/13/0"), "2005/06/30");
  EXPECT_EQ(AddDate("1899/12/30", "-0/0/1"), "1899/12/29");
  EXPECT_EQ(AddDate("1899/12/29 18:00", "0/0/1"), "1899/12/30");
  EXPECT_EQ(AddDate("9999/12/31", "0/0/1"), "out of range");
  EXPECT_EQ(AddDate("0001/01/01", "-0/0/1"), "out of range");
  EXPECT_EQ(AddDate("2004/01/01", "65535/0/0"), "out of range");
}

TEST(DateOffsetAdd, TimeOfDayWrapsOnTheTimeLine) {
  EXPECT_EQ(AddTime("01:00:00", "-3:0:0"), "22:00:00");
  EXPECT_EQ(AddTime("01:00:00", "25:0:0"), "02:00:00");
  // Back past more than one day: still the time of day, not a day's worth added once.
  EXPECT_EQ(AddTime("01:00:00", "-50:0:0"), "23:00:00");
  EXPECT_EQ(AddTime("00:00:00", "-0:0:1"), "23:59:59");
  EXPECT_EQ(AddTime("2004/02/04 23:30:00", "1"), "00:30:00");
  // Many steps of a second stay on whole seconds.
  double v = D("00:00:00");
  for (int i = 0; i < 3600; ++i) v = AddTimeOffset(v, Offset("0:0:1", ':'));
  EXPECT_EQ(FormatTime(v), "01:00:00");
}

TEST(DateDifference, DaysTruncateSecondsRound) {
  EXPECT_EQ(DaysBetween(D("2004/02/04"), D("2004/02/01")), 3);
  EXPECT_EQ(DaysBetween(D("2004/02/04 12:00"), D("2004/02/04")), 0);
  EXPECT_EQ(DaysBetween(D("2004/02/04"), D("2004/02/03 00:00:01")), 0);
  EXPECT_EQ(SecondsBetween(D("10:00:30"), D("10:00:00")), 30);
  EXPECT_EQ(SecondsBetween(D("10:00:01"), D("10:00:00")), 1);
  // Clock times whose doubles land on either side of a power of two still differ exactly.
  EXPECT_EQ(DaysBetween(D("1989/09/17 10:00:00"), D("1989/09/16 10:00:00")), 1);
  EXPECT_EQ(SecondsBetween(1.5 / 86400, 0), 2);  // ties to even
  EXPECT_EQ(SecondsBetween(2.5 / 86400, 0), 2);
  EXPECT_FALSE(SecondsBetween(D("2100/01/01"), D("2000/01/01")).has_value());
  EXPECT_EQ(SecondsBetween(D("2038/01/19 03:14:07"), D("1970/01/01")), 2147483647);
}

TEST(DateDifference, BeforeTheOriginTheLineIsStraight) {
  // 1899/12/29 18:00 lies 6 hours before the origin.
  EXPECT_EQ(SecondsBetween(D("1899/12/30"), D("1899/12/29 18:00")), 21600);
  EXPECT_EQ(DaysBetween(D("1899/12/28 18:00"), D("1899/12/30 06:00")), -1);
}

TEST(DateEra, ErasByTheGregorianYear) {
  EXPECT_EQ(JapaneseEraDate(D("2004/02/04")), "平成16年2月4日");
  EXPECT_EQ(JapaneseEraDate(D("1989/01/01")), "平成元年1月1日");
  EXPECT_EQ(JapaneseEraDate(D("1868/01/01")), "明治元年1月1日");
  EXPECT_EQ(JapaneseEraDate(D("2018/12/31")), "平成30年12月31日");
  EXPECT_EQ(JapaneseEraDate(D("2019/01/01")), "令和元年1月1日");
  EXPECT_EQ(JapaneseEraDate(D("2019/04/30")), "令和元年4月30日");  // the year alone decides
  EXPECT_EQ(JapaneseEraDate(D("1867/12/31")), "");
  EXPECT_EQ(JapaneseEraDate(D("12:00")), "明治32年12月30日");  // a time alone is on the origin
}

TEST(DateClock, TicksMoveForwardAndSleepWaits) {
  const uint64_t start = MonotonicMs();
  SleepMs(30);
  const uint64_t elapsed = MonotonicMs() - start;
  EXPECT_GE(elapsed, 30u);
  EXPECT_LT(elapsed, 2000u);
  // The tick count is the same clock cut to 32 bits (compared modulo 2^32).
  const uint32_t tick = TickCount();
  EXPECT_LT(static_cast<uint32_t>(MonotonicMs()) - tick, 1000u);
}

TEST(DateWeekday, NamesAndNumbersAcrossTheOrigin) {
  EXPECT_EQ(Weekday(D("2004/02/04")), 4);
  EXPECT_EQ(Weekday(D("1899/12/30")), 7);
  EXPECT_EQ(Weekday(D("1899/12/29 18:00")), 6);  // the time of day leaves the day alone
  EXPECT_EQ(Weekday(D("1800/01/01")), 4);
  EXPECT_EQ(WeekdayName(7), "土");
  EXPECT_EQ(WeekdayName(0), "");
}

}  // namespace
}  // namespace yume
