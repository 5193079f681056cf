#include "commands/text/mathfn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/number.h"

namespace yume::mathfn {
namespace {

TEST(MathIntegers, TruncationAndRange) {
  EXPECT_EQ(ToInt32(-3.9L), -3);
  EXPECT_EQ(ToInt32(2147483647.9L), 2147483647);
  EXPECT_EQ(ToInt32(-2147483648.5L), INT32_MIN);
  EXPECT_THROW(ToInt32(2147483648.0L), std::out_of_range);
  EXPECT_THROW(ToInt32(-2147483649.0L), std::out_of_range);
  EXPECT_THROW(ToInt32(std::numeric_limits<long double>::quiet_NaN()), std::out_of_range);
  EXPECT_EQ(ToInt64(-1e18L), -1000000000000000000LL);
  EXPECT_THROW(ToInt64(1e19L), std::out_of_range);
  EXPECT_THROW(ToInt64(std::numeric_limits<long double>::infinity()), std::out_of_range);
}

TEST(MathIntegers, RemainderAndBits) {
  EXPECT_EQ(Mod(-7, 3), -1);
  EXPECT_EQ(Mod(7, -3), 1);
  // Overflows as a C++ remainder.
  EXPECT_EQ(Mod(INT32_MIN, -1), 0);
  EXPECT_THROW(Mod(1, 0), std::domain_error);

  EXPECT_EQ(Shr(-1, 28), 15u);
  EXPECT_EQ(Shr(-1, 0), 4294967295u);
  // The count is taken mod 32; a shift by 32 or more would be undefined.
  EXPECT_EQ(Shr(256, 36), 16u);
  EXPECT_EQ(Shr(256, 32), 256u);
  EXPECT_EQ(Shr(INT32_MIN, -1), 1u);
  EXPECT_EQ(Shl(1, 33), 2);
  EXPECT_EQ(Shl(1, 31), INT32_MIN);
  EXPECT_EQ(Shl(3, 31), INT32_MIN);
  EXPECT_EQ(Shl(-1, 4), -16);

  EXPECT_EQ(Hex(255), "FF");
  EXPECT_EQ(Hex(5), "05");
  EXPECT_EQ(Hex(0), "00");
  EXPECT_EQ(Hex(4096), "1000");
  EXPECT_EQ(Hex(-1), "FFFFFFFF");
  EXPECT_EQ(Hex(INT32_MIN), "80000000");
}

TEST(MathRounding, HalvesGoToEven) {
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(3.5L), 4);
  EXPECT_EQ(RoundHalfEven(-2.5L), -2);
  EXPECT_EQ(RoundHalfEven(-3.5L), -4);
  EXPECT_EQ(RoundHalfEven(0.5L), 0);
  EXPECT_EQ(RoundHalfEven(2.5000001L), 3);
  EXPECT_EQ(RoundHalfEven(-0.4L), 0);
  EXPECT_EQ(RoundHalfEven(1e30L), 1e30L);
}

TEST(MathRounding, DecimalPlaces) {
  EXPECT_EQ(FormatNumber(RoundAt(0.125L, 2)), "0.12");
  EXPECT_EQ(FormatNumber(RoundAt(2.5L, 0)), "2");
  EXPECT_EQ(FormatNumber(RoundAt(3.5L, 0)), "4");
  EXPECT_EQ(FormatNumber(RoundAt(-1234.5678L, 2)), "-1234.57");
  EXPECT_EQ(FormatNumber(RoundAt(1250, -2)), "1200");
  EXPECT_EQ(FormatNumber(RoundAt(1350, -2)), "1400");
  EXPECT_EQ(FormatNumber(TruncAt(-1.5L, 0)), "-1");
  EXPECT_EQ(FormatNumber(TruncAt(1234, -2)), "1200");
  EXPECT_EQ(FormatNumber(TruncAt(-1299, -2)), "-1200");
  EXPECT_EQ(FormatNumber(TruncAt(3.14159L, 3)), "3.141");
  // Decimal values that scale to a hair below the written digit are cut where written.
  EXPECT_EQ(FormatNumber(TruncAt(StrToNumber("0.7"), 1)), "0.7");
  EXPECT_EQ(FormatNumber(TruncAt(StrToNumber("1.1"), 1)), "1.1");
  EXPECT_EQ(FormatNumber(TruncAt(StrToNumber("4.35"), 2)), "4.35");
  EXPECT_EQ(FormatNumber(RoundAt(StrToNumber("2.675"), 2)), "2.68");
  EXPECT_EQ(FormatNumber(RoundAt(StrToNumber("0.135"), 2)), "0.14");
  // Places beyond the format's range leave the value, or nothing, without faults.
  EXPECT_EQ(FormatNumber(TruncAt(StrToNumber("1.5E4000"), 100)), "1.5E4000");
  EXPECT_EQ(TruncAt(123, -5000), 0);
  EXPECT_EQ(RoundAt(123, -5000), 0);
  EXPECT_TRUE(std::isnan(RoundAt(std::numeric_limits<long double>::quiet_NaN(), 2)));
}

TEST(MathRounding, FractionIsTextual) {
  EXPECT_EQ(FracText("3.25"), "0.25");
  EXPECT_EQ(FracText("-3.25"), "0.25");
  EXPECT_EQ(FracText("3"), "");
  EXPECT_EQ(FracText("1.2.3"), "0.2.3");
  EXPECT_EQ(FracText(".5"), "0.5");
  // A second byte is never taken for the point.
  EXPECT_EQ(FracText("表.5"), "0.5");
}

TEST(MathFunctions, InverseSineAndCosine) {
  EXPECT_NEAR(static_cast<double>(ArcSin(1)), M_PI / 2, 1e-15);
  EXPECT_NEAR(static_cast<double>(ArcSin(-0.5L)), -M_PI / 6, 1e-15);
  EXPECT_NEAR(static_cast<double>(ArcCos(-1)), M_PI, 1e-15);
  EXPECT_NEAR(static_cast<double>(ArcCos(0)), M_PI / 2, 1e-15);
  EXPECT_TRUE(std::isnan(ArcSin(2)));
  EXPECT_EQ(FormatNumber(LogBase(2, 1024)), "10");
  EXPECT_EQ(FormatNumber(LogBase(10, 0.001L)), "-3");
}

TEST(MathRandom, GeneratorSequence) {
  uint32_t seed = 1;
  EXPECT_EQ(NextSeed(seed), 134775814u);
  EXPECT_EQ(NextSeed(seed), static_cast<uint32_t>(134775814ull * 134775813ull + 1));

  seed = 1;
  EXPECT_EQ(DrawBelow(seed, 100), 3);  // 134775814 * 100 >> 32
  EXPECT_EQ(seed, 134775814u);
  const uint32_t before = seed;
  EXPECT_EQ(DrawBelow(seed, 0), 0);
  EXPECT_EQ(DrawBelow(seed, -5), 0);
  EXPECT_EQ(seed, before);

  // Every draw stays below the limit, the largest limit included.
  seed = 0xFFFFFFFFu;
  for (int i = 0; i < 1000; ++i) {
    const int32_t d = DrawBelow(seed, INT32_MAX);
    EXPECT_GE(d, 0);
    EXPECT_LT(d, INT32_MAX);
  }

  seed = 1;
  EXPECT_EQ(DrawReal(seed), 134775814.0L / 4294967296.0L);
}

TEST(MathRandom, LimitText) {
  // The value read, or -99 when the text is no 32-bit integer.
  auto read = [](std::string_view text) {
    int32_t n = 0;
    return ReadIntText(text, n) ? n : -99;
  };
  EXPECT_EQ(read(" 42 "), 42);
  EXPECT_EQ(read("-7"), -7);
  EXPECT_EQ(read("$FF"), 255);
  EXPECT_EQ(read("$FFFFFFFF"), -1);
  EXPECT_EQ(read("2147483647"), 2147483647);
  for (const char* bad : {"2147483648", "99999999999999999999", "1.5", "", "-", "10個"})
    EXPECT_EQ(read(bad), -99) << bad;
}

TEST(MathStatistics, LinesAndMeasures) {
  EXPECT_EQ(LineValues(""), std::vector<long double>{0});
  EXPECT_EQ(LineValues("\r\n  \r\n"), std::vector<long double>{0});
  EXPECT_EQ(LineValues("1\r\n2\r\n\r\n"), (std::vector<long double>{1, 2}));
  EXPECT_EQ(LineValues("　５　\n-3\r１,０００"), (std::vector<long double>{5, -3, 1000}));

  const std::vector<long double> v{1, 2, 3, 4};
  EXPECT_EQ(Sum(v), 10);
  EXPECT_EQ(Average(v), 2.5L);
  EXPECT_EQ(Variance(v), 1.25L);
  EXPECT_EQ(FormatNumber(StdDev(v)), "1.29099444873581");
  EXPECT_EQ(MaxOf(v), 4);
  EXPECT_EQ(MinOf(std::vector<long double>{-1, -5, 3}), -5);
  // Large values close together keep their spread.
  EXPECT_EQ(FormatNumber(Variance({1e12L + 1, 1e12L + 2, 1e12L + 3})), "0.666666666666667");
  EXPECT_EQ(Variance({0.1L, 0.1L, 0.1L}), 0);
  EXPECT_EQ(StdDev({0.1L, 0.1L, 0.1L}), 0);
  EXPECT_THROW(StdDev({5}), EMathFault);
}

TEST(MathColours, Components) {
  EXPECT_EQ(ColorOf(255, 0, 0), 255);
  EXPECT_EQ(ColorOf(0, 0, 255), 16711680);
  EXPECT_EQ(RgbComponent(256), 0);
  EXPECT_EQ(RgbComponent(511.9L), 255);
  EXPECT_EQ(RgbComponent(-0.5L), 0);
  EXPECT_THROW(RgbComponent(-1), std::out_of_range);
  EXPECT_THROW(RgbComponent(-2), std::invalid_argument);

  EXPECT_EQ(CmykColor(0, 0, 0, 0), 16777215);
  EXPECT_EQ(CmykColor(255, 0, 0, 0), 16776960);
  EXPECT_EQ(CmykColor(0, 0, 0, 255), 0);
  EXPECT_EQ(CmykColor(100, 0, 0, 100), 55 + 155 * 256 + 155 * 65536);
  EXPECT_EQ(CmykColor(200, 0, 0, 100), 155 * 256 + 155 * 65536);
  EXPECT_THROW(CmykColor(256, 0, 0, 0), std::out_of_range);
  EXPECT_THROW(CmykColor(0, 0, 0, -1), std::out_of_range);
}

TEST(MathDivision, ZeroDivisorIsAFault) {
  EXPECT_EQ(FormatNumber(Divide(1, 3)), "0.333333333333333");
  EXPECT_EQ(Divide(-1, 4), -0.25L);
  EXPECT_THROW(Divide(1, 0), EMathFault);
  EXPECT_THROW(Divide(0, 0), EMathFault);
  EXPECT_THROW(Divide(-1, -0.0L), EMathFault);
}

}  // namespace
}  // namespace yume::mathfn
