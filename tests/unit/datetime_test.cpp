#include "table/datetime.h"

#include <gtest/gtest.h>
#include <time.h>

#include <cmath>

#include "table/csvdb.h"

namespace yume {
namespace {

TEST(DateTimeRead, Dates) {
  EXPECT_EQ(ReadDateTime("1899/12/30"), 0.0);
  EXPECT_EQ(ReadDateTime("1899/12/29"), -1.0);
  EXPECT_EQ(ReadDateTime("1900/03/01"), 61.0);
  EXPECT_EQ(ReadDateTime("2004/02/04"), 38021.0);
  EXPECT_EQ(ReadDateTime("2004/2/4"), 38021.0);
  EXPECT_EQ(ReadDateTime("2004-02-04"), 38021.0);
  EXPECT_EQ(ReadDateTime("2004.2.4"), 38021.0);
  EXPECT_EQ(ReadDateTime("2004年2月4日"), 38021.0);
  EXPECT_EQ(ReadDateTime("  ２００４／０２／０４ "), 38021.0);
  EXPECT_EQ(ReadDateTime("04/02/04"), 38021.0);  // two-digit years: 2000-2029 ...
  EXPECT_EQ(ReadDateTime("99/12/30"), ReadDateTime("1999/12/30"));  // ... and 1930-1999
  EXPECT_EQ(ReadDateTime("2000/02/29"), 36585.0);
}

TEST(DateTimeRead, Times) {
  EXPECT_EQ(ReadDateTime("12:00:00"), 0.5);
  EXPECT_EQ(ReadDateTime("6:00"), 0.25);
  EXPECT_EQ(ReadDateTime("10時30分"), 10.5 / 24);
  EXPECT_EQ(ReadDateTime("0時0分30秒"), 30.0 / 86400);
  EXPECT_EQ(ReadDateTime("2004/2/4 6:00:00"), 38021.25);
  EXPECT_EQ(ReadDateTime("2004/02/04　18:00"), 38021.75);  // full-width space
  // Before the origin the time still counts forward from the start of the day.
  EXPECT_EQ(ReadDateTime("1899/12/29 06:00"), -0.75);
}

TEST(DateTimeRead, RefusesWhatIsNoDate) {
  for (const char* text : {"", "abc", "2004/02/30", "2003/02/29", "2004/13/01", "2004/0/1", "25:00",
                           "12:60", "12:00:60", "2004/02/04x", "2004/02-04", "2004/02/0412:00",
                           "12345/1/1", "2004/02/04 12", "12:", "2004年2月4"})
    EXPECT_FALSE(ReadDateTime(text).has_value()) << text;
}

TEST(DateTimeParts, EncodeDecodeAndFormat) {
  EXPECT_EQ(DaysInMonth(2004, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2004, 13), 0);
  EXPECT_FALSE(EncodeDate(0, 1, 1).has_value());
  EXPECT_FALSE(EncodeTime(24, 0, 0).has_value());

  const DateTimeParts p = DecodeDateTime(38021.75);
  EXPECT_EQ(p.year, 2004);
  EXPECT_EQ(p.month, 2);
  EXPECT_EQ(p.day, 4);
  EXPECT_EQ(p.hour, 18);
  EXPECT_EQ(FormatDate(38021.75), "2004/02/04");
  EXPECT_EQ(FormatTime(38021.75), "18:00:00");
  EXPECT_EQ(FormatDateTime(-0.75), "1899/12/29 06:00:00");
  EXPECT_EQ(FormatDateTime(0.99999999999), "1899/12/31 00:00:00");  // rounded to the millisecond
  EXPECT_EQ(FormatDate(1e300), "1899/12/30");  // far outside the calendar: the origin
  for (double v : {-36522.0, 0.0, 2.5, 38021.123, 2958465.0})
    EXPECT_EQ(ReadDateTime(FormatDateTime(v)), std::round(v * 86400) / 86400) << v;
}

TEST(DateTimeParts, IncMonthKeepsTheTimeAndClampsTheDay) {
  const double jan31 = *ReadDateTime("2004/01/31 18:30");
  EXPECT_EQ(FormatDateTime(*IncMonth(jan31, 1)), "2004/02/29 18:30:00");
  EXPECT_EQ(FormatDateTime(*IncMonth(jan31, -2)), "2003/11/30 18:30:00");
  EXPECT_EQ(FormatDateTime(*IncMonth(jan31, 12 * 96)), "2100/01/31 18:30:00");
  EXPECT_EQ(FormatDateTime(*IncMonth(*ReadDateTime("1899/12/29 06:00"), -1)),
            "1899/11/29 06:00:00");
  EXPECT_FALSE(IncMonth(*ReadDateTime("9999/12/01"), 1).has_value());
  EXPECT_FALSE(IncMonth(*ReadDateTime("0001/01/31"), -1).has_value());
}

TEST(DateTimeParts, NowIsTheLocalClock) {
  const time_t before = time(nullptr);
  const double now = NowValue();
  tm local{};
  localtime_r(&before, &local);
  char expected[16];
  strftime(expected, sizeof expected, "%Y/%m/%d", &local);
  // Read a moment apart: the same day unless midnight fell between.
  if (local.tm_hour != 23 || local.tm_min != 59) {
    EXPECT_EQ(FormatDate(now), expected);
  }
  const DateTimeParts p = DecodeDateTime(now);
  const int secondsNow = (p.hour * 60 + p.minute) * 60 + p.second;
  const int secondsBefore = (local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec;
  EXPECT_LE((secondsNow - secondsBefore + 86400) % 86400, 2);
}

TEST(DateTimeSort, DatesBeforeTheOriginOrderOnTheTimeLine) {
  // Days before 1899/12/30 count down while their hours count up: 06:00 comes before 18:00.
  TCsvDb db;
  db.SetCsvText("1899/12/29 18:00\r\n1899/12/30\r\n1899/12/29 06:00\r\n1899/12/28 23:00\r\n");
  db.SortByDate(0);
  std::vector<std::string> order;
  for (int r = 0; r < db.RowCount(); ++r) order.emplace_back(db.GetCell(0, r));
  EXPECT_EQ(order, (std::vector<std::string>{"1899/12/28 23:00", "1899/12/29 06:00",
                                             "1899/12/29 18:00", "1899/12/30"}));
}

}  // namespace
}  // namespace yume
