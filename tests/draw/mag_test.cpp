// The MAG codec: the layout details the format fixes, round trips, and files that lie about
// their sizes (every one must fail cleanly; the build under AddressSanitizer catches a read past
// a buffer).
#include "gfx/mag.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace yume::mag {
namespace {

uint32_t Le32(const std::string& s, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data() + at);
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
void Put16(std::string& s, size_t at, uint32_t v) {
  s[at] = char(v & 255);
  s[at + 1] = char(v >> 8);
}
void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, v);
  Put16(s, at + 2, v >> 16);
}
size_t HeaderAt(const std::string& file) {
  return file.find('\x1A', 32) + 1;
}

TMagImage Sample(bool is256, int w, int h, unsigned seed) {
  TMagImage m;
  m.Is256Colors = is256;
  m.Width = w;
  m.Height = h;
  const int colours = is256 ? 256 : 16;
  for (int i = 0; i < colours; ++i) m.Palette.push_back(uint32_t(i * 0x010305 + seed) & 0xFFFFFF);
  std::mt19937 rng(seed);
  m.Pixels.resize(size_t(w) * h);
  // Runs and repeats, so that the copy codes are used, with some noise.
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      m.Pixels[size_t(y) * w + x] =
          uint8_t(rng() % 5 == 0 ? rng() % colours : ((x / 8 + y / 4) * 3) % colours);
    }
  }
  return m;
}

std::string Encoded(const TMagImage& m) {
  std::string out, error;
  EXPECT_TRUE(Encode(m, out, error)) << error;
  return out;
}

TEST(Mag, RoundTripKeepsPixelsPaletteAndProperties) {
  for (bool is256 : {false, true}) {
    TMagImage m = Sample(is256, 64, 37, is256 ? 7 : 3);
    m.UserName = "taro";
    m.OriginX = 16;
    m.OriginY = 5;
    m.ScreenModeBit0 = true;
    m.Comment = "a comment";
    TMagImage back;
    std::string error;
    const std::string file = Encoded(m);
    ASSERT_TRUE(Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error))
        << error;
    EXPECT_EQ(back.Width, m.Width);
    EXPECT_EQ(back.Height, m.Height);
    EXPECT_EQ(back.Is256Colors, is256);
    EXPECT_EQ(back.Pixels, m.Pixels);
    EXPECT_EQ(back.Palette, m.Palette);
    EXPECT_EQ(back.UserName, "taro" + std::string(14, ' '));
    EXPECT_EQ(back.OriginX, 16);
    EXPECT_EQ(back.OriginY, 5);
    EXPECT_TRUE(back.ScreenModeBit0);
    EXPECT_EQ(back.Comment, "a comment");  // odd length: nothing added
  }
}

TEST(Mag, UnitBlocksRoundTheWidthOutward) {
  // A 16-colour picture whose x start is 3 and x end 12 covers the units 0 to 15.
  TMagImage m = Sample(false, 16, 2, 1);
  std::string file = Encoded(m);
  const size_t h = HeaderAt(file);
  Put16(file, h + 4, 3);
  Put16(file, h + 8, 12);
  TMagImage back;
  std::string error;
  ASSERT_TRUE(Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error));
  EXPECT_EQ(back.Width, 16);
  EXPECT_EQ(back.OriginX, 0);
}

TEST(Mag, EvenCommentGetsABlankSoTheHeaderStartsEven) {
  TMagImage m = Sample(false, 8, 1, 1);
  m.Comment = "abcd";
  const std::string file = Encoded(m);
  EXPECT_EQ(file.substr(32, 6), std::string("abcd \x1A"));
  EXPECT_EQ(HeaderAt(file) % 2, 0u);
}

TEST(Mag, RepeatedRowsCostNoPixelDataAndNoFlagsAfterTheSecond) {
  TMagImage m;
  m.Width = 32;
  m.Height = 6;
  m.Palette.assign(16, 0);
  // First row: every unit different from the ones before it, so each one is new data.
  for (int y = 0; y < m.Height; ++y)
    for (int x = 0; x < m.Width; ++x) m.Pixels.push_back(uint8_t((x / 4 * 5 + x) % 16));
  const std::string file = Encoded(m);
  const size_t h = HeaderAt(file);
  const size_t unitsPerRow = 32 / 4;
  EXPECT_EQ(Le32(file, h + 28), unitsPerRow * 2);  // the first row's units only
  const size_t flagA = h + Le32(file, h + 12);
  const size_t flagsPerRow = 32 / 8;
  // Rows 0 and 1 change their flags (new data, then "the unit above"); later rows keep them.
  for (size_t bit = 2 * flagsPerRow; bit < flagsPerRow * 6; ++bit)
    EXPECT_EQ(file[flagA + bit / 8] & (0x80 >> (bit % 8)), 0) << bit;
  EXPECT_LE(Le32(file, h + 20), flagsPerRow + 1);  // flag B: the second row's changes only
  TMagImage back;
  std::string error;
  ASSERT_TRUE(Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error));
  EXPECT_EQ(back.Pixels, m.Pixels);
}

TEST(Mag, WrongSignatureIsNotMag) {
  std::string file = Encoded(Sample(false, 8, 2, 1));
  file[0] = 'X';
  TMagImage back;
  std::string error;
  EXPECT_FALSE(Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error));
  EXPECT_EQ(error, "MAG image error:is not MAG.");
}

TEST(Mag, EncoderRefusesWhatTheHeaderCannotHold) {
  std::string out, error;
  TMagImage empty;
  EXPECT_FALSE(Encode(empty, out, error));
  EXPECT_EQ(error, "MAG invaild operation:not have DIB");
  TMagImage m = Sample(false, 8, 2, 1);
  m.OriginX = 65530;
  EXPECT_FALSE(Encode(m, out, error));
  EXPECT_EQ(error, "MAG invaild operation:range over");
}

// Every field of the header that points into the file, set past its end or to nonsense.
TEST(Mag, HeaderThatLiesFailsCleanly) {
  const std::string good = Encoded(Sample(true, 16, 8, 5));
  const size_t h = HeaderAt(good);
  struct TLie {
    size_t at;
    uint32_t value;
    bool wide;
  };
  const TLie lies[] = {
      {h + 12, 0xFFFFFFF0u, true},  // flag A offset
      {h + 16, 0x7FFFFFFFu, true},  // flag B offset
      {h + 20, 0xFFFFFFFFu, true},  // flag B size
      {h + 24, 0x00100000u, true},  // pixel data offset
      {h + 28, 0xFFFFFFFFu, true},  // pixel data size
      {h + 28, 0, true},            // no pixel data at all
      {h + 20, 0, true},            // no flag B
      {h + 8, 0, false},            // x end before x start... (start 0: one unit)
      {h + 10, 0xFFFF, false},      // a picture far taller than its data
      {h + 4, 0xFFFF, false},       // x start after x end
  };
  for (const TLie& lie : lies) {
    std::string file = good;
    if (lie.wide) {
      Put32(file, lie.at, lie.value);
    } else {
      Put16(file, lie.at, lie.value);
    }
    TMagImage back;
    std::string error;
    const bool ok = Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error);
    if (ok) {
      EXPECT_EQ(back.Pixels.size(), size_t(back.Width) * back.Height);
    } else {
      EXPECT_EQ(error.rfind("MAG image error:", 0), 0u) << error;
    }
  }
}

TEST(Mag, EveryTruncationFailsCleanly) {
  const std::string good = Encoded(Sample(false, 24, 6, 9));
  for (size_t n = 0; n < good.size(); ++n) {
    // A copy of exactly n bytes, so that a read past it is a read past the buffer.
    std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
    TMagImage back;
    std::string error;
    EXPECT_FALSE(Decode(cut.data(), cut.size(), back, error)) << n;
  }
}

TEST(Mag, CopyFromAboveTheFirstRowOrLeftOfTheRowFails) {
  TMagImage m = Sample(false, 8, 1, 2);
  std::string file = Encoded(m);
  const size_t h = HeaderAt(file);
  const size_t flagA = h + Le32(file, h + 12), flagB = h + Le32(file, h + 16);
  // The first flag set, its flag B byte saying "the unit above" for both units.
  file[flagA] = char(0x80);
  file[flagB] = char(0x44);
  Put32(file, h + 20, 2);
  TMagImage back;
  std::string error;
  EXPECT_FALSE(Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error));
  file[flagB] = char(0x10);  // the first unit copies from its left
  EXPECT_FALSE(Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error));
}

TEST(Mag, HugeHeaderIsRefusedBeforeAllocating) {
  std::string file = Encoded(Sample(true, 4, 1, 1));
  const size_t h = HeaderAt(file);
  Put16(file, h + 8, 0xFFFF);
  Put16(file, h + 10, 0xFFFF);
  TMagImage back;
  std::string error;
  EXPECT_FALSE(Decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error));
  EXPECT_EQ(error, "MAG image error:range over");
}

// Inputs found by fuzzing the reader, kept so that they stay fixed.
TEST(Mag, KeptFuzzInputsFailOrDecodeConsistently) {
  const std::filesystem::path dir = std::filesystem::path(YUME_DRAW_TEST_DATA) / "mag";
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream f(entry.path(), std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    TMagImage back;
    std::string error;
    if (Decode(reinterpret_cast<const uint8_t*>(data.data()), data.size(), back, error)) {
      EXPECT_EQ(back.Pixels.size(), size_t(back.Width) * back.Height) << entry.path();
    }
    ++seen;
  }
  EXPECT_GT(seen, 0);
}

// A short run of random mutations of good files on every test run (the long runs are
// tools/fuzz/mag_fuzz.cpp under libFuzzer).
TEST(Mag, RandomMutationsNeverReadPastTheData) {
  std::mt19937 rng(12345);
  const std::string seeds[] = {Encoded(Sample(false, 32, 16, 4)), Encoded(Sample(true, 16, 16, 8))};
  for (int round = 0; round < 3000; ++round) {
    std::string file = seeds[round % 2];
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const size_t at = rng() % file.size();
      switch (rng() % 3) {
        case 0:
          file[at] = char(rng());
          break;
        case 1:
          file[at] ^= char(1 << (rng() % 8));
          break;
        default:
          file.resize(at + 1);
          break;
      }
    }
    std::vector<uint8_t> data(file.begin(), file.end());
    TMagImage back;
    std::string error;
    if (Decode(data.data(), data.size(), back, error)) {
      ASSERT_EQ(back.Pixels.size(), size_t(back.Width) * back.Height);
    }
  }
}

}  // namespace
}  // namespace yume::mag
