#include "core/number.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace yume {
namespace {

TEST(NumberRead, EmptyAndNonNumbersAreZero) {
  EXPECT_EQ(StrToNumber(""), 0);
  EXPECT_EQ(StrToNumber(" \t\r\n"), 0);
  EXPECT_EQ(StrToNumber("abc"), 0);
  EXPECT_EQ(StrToNumber("-"), 0);
  EXPECT_EQ(StrToNumber("."), 0);
  EXPECT_EQ(StrToNumber("x12"), 0);
}

TEST(NumberRead, DecimalSyntax) {
  EXPECT_EQ(StrToNumber("12円"), 12);
  EXPECT_EQ(StrToNumber("007"), 7);
  EXPECT_EQ(StrToNumber("  -3.5  "), -3.5L);
  EXPECT_EQ(StrToNumber("+7"), 7);
  EXPECT_EQ(StrToNumber(".5"), 0.5L);
  EXPECT_EQ(StrToNumber("-.5"), -0.5L);
  EXPECT_EQ(StrToNumber("1."), 1);
  // The exponent only counts after a decimal point.
  EXPECT_EQ(StrToNumber("1e5"), 1);
  EXPECT_EQ(StrToNumber("1.0e5"), 100000);
  EXPECT_EQ(StrToNumber("1.e2"), 100);
  EXPECT_EQ(StrToNumber("1.5E-3"), 1.5e-3L);
  EXPECT_EQ(StrToNumber("1.5e"), 1.5L);
  EXPECT_EQ(StrToNumber("1.5e+"), 1.5L);
  EXPECT_EQ(StrToNumber("2.5e+1x"), 25);
}

TEST(NumberRead, CommasAndFullWidth) {
  EXPECT_EQ(StrToNumber("1,000"), 1000);
  EXPECT_EQ(StrToNumber("1,000.5"), 1000.5L);
  EXPECT_EQ(StrToNumber(",5"), 5);
  EXPECT_EQ(StrToNumber("１２３"), 123);
  EXPECT_EQ(StrToNumber("－１．５"), -1.5L);
  EXPECT_EQ(StrToNumber("　４２　"), 42);  // full-width spaces are blanks
  EXPECT_EQ(StrToNumber("１，０００"), 1000);
  EXPECT_EQ(StrToNumber("＄ＦＦ"), 255);
  // Only the first 254 bytes are converted from full width.
  const std::string ones(253, '1');
  EXPECT_EQ(StrToNumber(ones + "２"), StrToNumber(ones));
  EXPECT_NE(StrToNumber(std::string(252, '1') + "２"), StrToNumber(std::string(252, '1')));
}

TEST(NumberRead, Hexadecimal) {
  EXPECT_EQ(StrToNumber("$FF"), 255);
  EXPECT_EQ(StrToNumber("$ff"), 255);
  EXPECT_EQ(StrToNumber(" $1,0 "), 16);
  EXPECT_EQ(StrToNumber("$FFFFFFFFFFFFFFFF"), 18446744073709551615.0L);
  EXPECT_EQ(StrToNumber("$FFx"), 0);  // the whole text must be hexadecimal
  EXPECT_EQ(StrToNumber("$"), 0);
  EXPECT_EQ(StrToNumber("$10000000000000000"), 0);  // more than 64 bits
  EXPECT_EQ(StrToNumber("-$1"), 0);
}

TEST(NumberRead, ExtendedPrecisionIsCorrectlyRounded) {
  EXPECT_EQ(StrToNumber("0.1"), 0.1L);
  EXPECT_EQ(StrToNumber("3.14159265358979323846"), 3.14159265358979323846L);
  EXPECT_EQ(StrToNumber("123456789012345678901234567890"), 123456789012345678901234567890.0L);
  EXPECT_EQ(StrToNumber("0.000000000000000000000000000000123"), 1.23e-31L);
  EXPECT_EQ(StrToNumber("1.0e4000"), 1.0e4000L);
  EXPECT_EQ(StrToNumber("1.0e9999"), std::numeric_limits<long double>::infinity());
  EXPECT_EQ(StrToNumber("-1.0e9999"), -std::numeric_limits<long double>::infinity());
  EXPECT_EQ(StrToNumber("1.0e-9999"), 0);
}

TEST(NumberFormat, PlainRange) {
  EXPECT_EQ(FormatNumber(0), "0");
  EXPECT_EQ(FormatNumber(-0.0L), "0");
  EXPECT_EQ(FormatNumber(1), "1");
  EXPECT_EQ(FormatNumber(100), "100");
  EXPECT_EQ(FormatNumber(-1.5L), "-1.5");
  EXPECT_EQ(FormatNumber(1234.5L), "1234.5");
  EXPECT_EQ(FormatNumber(0.1L), "0.1");
  EXPECT_EQ(FormatNumber(0.1L + 0.2L), "0.3");
  EXPECT_EQ(FormatNumber(1.0L / 3), "0.333333333333333");
  EXPECT_EQ(FormatNumber(2.0L / 3), "0.666666666666667");
  EXPECT_EQ(FormatNumber(999999999999999.0L), "999999999999999");
  EXPECT_EQ(FormatNumber(0.00001L), "0.00001");
  EXPECT_EQ(FormatNumber(-0.000012345L), "-0.000012345");
}

TEST(NumberFormat, WholeNumbers) {
  EXPECT_EQ(FormatNumber(7), "7");
  EXPECT_EQ(FormatNumber(-42), "-42");
  EXPECT_EQ(FormatNumber(1e14L), "100000000000000");
  EXPECT_EQ(FormatNumber(-999999999999999.0L), "-999999999999999");
  EXPECT_EQ(FormatNumber(-1e15L), "-1E15");
  EXPECT_EQ(FormatNumber(1e15L - 0.5L), "1E15");  // not whole: rounds to 15 digits
  EXPECT_EQ(FormatNumber(123456789.0L), "123456789");
}

TEST(NumberFormat, ValuesADoubleHoldsGiveTheSameDigits) {
  EXPECT_EQ(FormatNumber(6.5L), "6.5");
  EXPECT_EQ(FormatNumber(-0.25L), "-0.25");
  EXPECT_EQ(FormatNumber(static_cast<long double>(0.1)), "0.1");  // the double nearest 0.1
  EXPECT_EQ(FormatNumber(1e300L), "1E300");
  EXPECT_EQ(FormatNumber(1.0L / 1024), "0.0009765625");
  EXPECT_EQ(FormatNumber(static_cast<long double>(1.0 / 3)), "0.333333333333333");
  EXPECT_EQ(FormatNumber(123456.789L), "123456.789");
}

TEST(NumberFormat, ScientificRange) {
  EXPECT_EQ(FormatNumber(1e15L), "1E15");
  EXPECT_EQ(FormatNumber(9999999999999999.0L), "1E16");  // rounds up to 15 digits
  EXPECT_EQ(FormatNumber(123456789012345678.0L), "1.23456789012346E17");
  EXPECT_EQ(FormatNumber(1e20L), "1E20");
  EXPECT_EQ(FormatNumber(0.0000015L), "1.5E-6");
  EXPECT_EQ(FormatNumber(-1.5e-7L), "-1.5E-7");
  EXPECT_EQ(FormatNumber(1e-300L), "1E-300");
  EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::infinity()), "INF");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<long double>::infinity()), "-INF");
  EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::quiet_NaN()), "NAN");
}

TEST(NumberFormat, ReadsBackWhatItWrites) {
  for (const char* text : {"0.5", "-12.25", "1.5E-7", "1.25E300", "123456789012345", "0.00001",
                           "1E20", "-5E-7", "1E15"})
    EXPECT_EQ(FormatNumber(StrToNumber(text)), text) << text;
  // Only the written-back form takes an exponent after whole digits: a capital E that ends the text.
  EXPECT_EQ(StrToNumber("1e5"), 1);
  EXPECT_EQ(StrToNumber("1E5円"), 1);
  long double n = 0;
  EXPECT_TRUE(TryStrToNumber("1E20", n));
  EXPECT_EQ(n, 1e20L);
}

}  // namespace
}  // namespace yume
