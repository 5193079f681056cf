// Picture files: each format written and read back, and headers that lie (BMP, ICO, PNG, JPEG)
// refused without reading past the data.
#include "gfx/picture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <cstring>

namespace yume {
namespace {

// Four quadrants of flat colour and a diagonal: exact for lossless formats, easy to judge for
// JPEG.
QImage TestPicture(int w = 48, int h = 32) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(qRgb(255, 255, 255));
  QPainter p(&img);
  p.fillRect(0, 0, w / 2, h / 2, QColor(200, 30, 40));
  p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(20, 160, 60));
  p.fillRect(0, h / 2, w / 2, h - h / 2, QColor(30, 40, 220));
  p.setPen(QColor(0, 0, 0));
  p.drawLine(0, 0, w - 1, h - 1);
  return img;
}

int MaxDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 999;
  int worst = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return worst;
}

QImage RoundTrip(const QImage& img, const std::string& ext, int quality = 100) {
  std::string data, error;
  EXPECT_EQ(EncodePicture(img, ext, quality, data, error), TDrawStatus::Ok) << ext << error;
  QImage back;
  EXPECT_EQ(DecodePicture(data, ext, back, error), TDrawStatus::Ok) << ext << error;
  return back;
}

TEST(Picture, LosslessFormatsRoundTripExactly) {
  const QImage img = TestPicture();
  for (const char* ext : {"png", "bmp", "mag", "ico"}) {
    EXPECT_EQ(MaxDifference(RoundTrip(img, ext), img), 0) << ext;
  }
}

TEST(Picture, PngKeepsAlpha) {
  QImage img(5, 3, QImage::Format_ARGB32);
  img.fill(qRgba(10, 20, 30, 40));
  img.setPixel(2, 1, qRgba(250, 0, 0, 255));
  const QImage back = RoundTrip(img, "png");
  ASSERT_TRUE(back.hasAlphaChannel());
  EXPECT_EQ(qAlpha(back.pixel(0, 0)), 40);
  EXPECT_EQ(back.pixel(2, 1), qRgba(250, 0, 0, 255));
}

TEST(Picture, JpegQualityTradesSizeForFidelity) {
  const QImage img = TestPicture(160, 120);
  std::string best, worst, error;
  ASSERT_EQ(EncodePicture(img, "jpg", 100, best, error), TDrawStatus::Ok);
  ASSERT_EQ(EncodePicture(img, "jpeg", 5, worst, error), TDrawStatus::Ok);
  EXPECT_LT(worst.size(), best.size());
  QImage back;
  ASSERT_EQ(DecodePicture(best, "jpg", back, error), TDrawStatus::Ok);
  // Away from the edges the flat colours survive almost unchanged.
  const QRgb c = back.pixel(20, 20);
  EXPECT_NEAR(qRed(c), 200, 6);
  EXPECT_NEAR(qGreen(c), 30, 6);
  EXPECT_NEAR(qBlue(c), 40, 6);
}

TEST(Picture, MagOfManyColoursKeepsItsSizeAndRoughColours) {
  QImage img(30, 10, QImage::Format_RGB32);  // 30: the width is rounded up to the unit
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 30; ++x) img.setPixel(x, y, qRgb(x * 8, y * 25, 128));
  const QImage back = RoundTrip(img, "mag");
  EXPECT_EQ(back.width(), 32);
  EXPECT_EQ(back.height(), 10);
  EXPECT_LT(MaxDifference(back.copy(0, 0, 30, 10), img), 64);
}

TEST(Picture, UnknownFormatsAreUnsupportedAndOthersOfQtAreRead) {
  std::string data, error;
  QImage out;
  EXPECT_EQ(EncodePicture(TestPicture(), "xyz", 100, data, error), TDrawStatus::Unsupported);
  EXPECT_EQ(DecodePicture("whatever", "xyz", out, error), TDrawStatus::Unsupported);
  // PPM: not ours, read through Qt's image reader.
  QByteArray ppm;
  QBuffer buf(&ppm);
  buf.open(QIODevice::WriteOnly);
  ASSERT_TRUE(TestPicture().save(&buf, "PPM"));
  EXPECT_EQ(DecodePicture(std::string(ppm.constData(), size_t(ppm.size())), "ppm", out, error),
            TDrawStatus::Ok);
  EXPECT_EQ(MaxDifference(out, TestPicture()), 0);
  const std::vector<std::string> extra = ExtraReadableFormats();
  EXPECT_NE(std::find(extra.begin(), extra.end(), "ppm"), extra.end());
  EXPECT_EQ(std::find(extra.begin(), extra.end(), "png"), extra.end());
}

std::string Bmp() {
  std::string data, error;
  EncodePicture(TestPicture(8, 4), "bmp", 100, data, error);
  return data;
}
void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (8 * i)) & 255);
}

TEST(Picture, BmpHeadersThatLieAreRefused) {
  const std::string good = Bmp();
  std::string error;
  ASSERT_TRUE(CheckBmp(good, error)) << error;
  struct TLie {
    size_t at;
    uint32_t value;
  };
  const TLie lies[] = {
      {10, 0xFFFFFF00u},  // pixel data offset past the end
      {14, 7},            // an unknown header size
      {18, 0x7FFFFFFFu},  // width
      {22, 0x40000000u},  // height far beyond the data
      {28, 3},            // bit count
      {30, 9},            // compression
  };
  for (const TLie& lie : lies) {
    std::string bad = good;
    Put32(bad, lie.at, lie.value);
    EXPECT_FALSE(CheckBmp(bad, error)) << lie.at;
    QImage out;
    EXPECT_EQ(DecodePicture(bad, "bmp", out, error), TDrawStatus::Failed) << lie.at;
  }
  for (size_t n = 0; n < good.size(); n += 7) {
    QImage out;
    EXPECT_NE(DecodePicture(good.substr(0, n), "bmp", out, error), TDrawStatus::Ok) << n;
  }
}

TEST(Picture, IcoDirectoryThatLiesIsRefused) {
  std::string good, error;
  ASSERT_EQ(EncodePicture(TestPicture(16, 16), "ico", 100, good, error), TDrawStatus::Ok);
  ASSERT_TRUE(CheckIco(good, error)) << error;
  std::string bad = good;
  Put32(bad, 6 + 12, 0xFFFFFFF0u);  // the first image's offset
  EXPECT_FALSE(CheckIco(bad, error));
  bad = good;
  Put32(bad, 6 + 8, 0x7FFFFFFFu);  // its size
  EXPECT_FALSE(CheckIco(bad, error));
  bad = good;
  bad[4] = char(200);  // more images than the directory holds
  EXPECT_FALSE(CheckIco(bad, error));
  QImage out;
  EXPECT_EQ(DecodePicture(good.substr(0, good.size() / 2), "ico", out, error), TDrawStatus::Failed);
}

TEST(Picture, TruncatedPngAndJpegFailCleanly) {
  for (const char* ext : {"png", "jpg"}) {
    std::string data, error;
    ASSERT_EQ(EncodePicture(TestPicture(), ext, 90, data, error), TDrawStatus::Ok);
    for (size_t n : {size_t(0), size_t(10), data.size() / 3}) {
      QImage out;
      std::string cut = data.substr(0, n);
      EXPECT_EQ(DecodePicture(cut, ext, out, error), TDrawStatus::Failed) << ext << n;
    }
    QImage out;
    EXPECT_EQ(DecodePicture("not a picture at all", ext, out, error), TDrawStatus::Failed);
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace yume
