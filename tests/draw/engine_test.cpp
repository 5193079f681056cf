// The drawing engine on the offscreen platform: shapes with pen widths and styles, text at a
// point, pictures drawn, scaled, copied, blended and tiled, saved in every format and read back;
// and the proxy that records printed lines until the engine opens.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <set>

#include "gfx/drawengine.h"
#include "gfx/drawproxy.h"
#include "gfx/picture.h"

namespace yume {
namespace {

constexpr uint32_t kRed = 0x0000FF;  // red in the low byte
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0;

class DrawTest : public testing::Test {
 protected:
  // Each test draws on a fresh white surface of its own.
  void SetUp() override {
    part_ = next_++;
    d_.CreateSurface(part_, 100, 80, kWhite);
  }
  uint32_t At(int x, int y) {
    uint32_t c = 0xDEADBEEF;
    EXPECT_TRUE(d_.GetPixel(part_, x, y, c)) << x << "," << y;
    return c;
  }
  TPenBrush Pen(uint32_t pen, int width, uint32_t brush = kWhite, int penStyle = 0,
                int brushStyle = 0) {
    TPenBrush pb;
    pb.PenColor = pen;
    pb.PenWidth = width;
    pb.BrushColor = brush;
    pb.PenStyle = penStyle;
    pb.BrushStyle = brushStyle;
    return pb;
  }
  int Count(uint32_t colour, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += At(x, y) == colour;
    return n;
  }

  TDrawEngine d_;
  int part_ = 0;
  static int next_;
};
int DrawTest::next_ = 100;

TEST_F(DrawTest, RectangleOutlineWithPenInteriorWithBrushRightEdgeOutside) {
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Rectangle, {10, 10, 30, 20}, Pen(kRed, 1, kBlue)));
  EXPECT_EQ(At(10, 10), kRed);
  EXPECT_EQ(At(29, 15), kRed);  // the right edge is the column before 30
  EXPECT_EQ(At(30, 15), kWhite);
  EXPECT_EQ(At(20, 19), kRed);
  EXPECT_EQ(At(20, 20), kWhite);
  EXPECT_EQ(At(20, 15), kBlue);
  EXPECT_EQ(At(9, 9), kWhite);
}

TEST_F(DrawTest, PenWidthSetsTheLineThickness) {
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Line, {10, 40, 90, 40}, Pen(kRed, 7)));
  for (int dy = -3; dy <= 3; ++dy) EXPECT_EQ(At(50, 40 + dy), kRed) << dy;
  EXPECT_EQ(At(50, 44), kWhite);
  EXPECT_EQ(At(50, 36), kWhite);
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Line, {10, 10, 90, 10}, Pen(kBlue, 1)));
  EXPECT_EQ(At(50, 10), kBlue);
  EXPECT_EQ(At(50, 11), kWhite);
}

TEST_F(DrawTest, PenStylesDashAndClear) {
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Line, {0, 5, 99, 5}, Pen(kRed, 1, kWhite, 1)));
  const int dashed = Count(kRed, QRect(0, 5, 100, 1));
  EXPECT_GT(dashed, 30);
  EXPECT_LT(dashed, 95);  // gaps between the dashes
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Line, {0, 8, 99, 8}, Pen(kRed, 1, kWhite, 2)));
  EXPECT_LT(Count(kRed, QRect(0, 8, 100, 1)), dashed);  // dots leave more room than dashes
  // A clear pen draws the interior only.
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Rectangle, {10, 20, 40, 50}, Pen(kRed, 1, kBlue, 5)));
  EXPECT_EQ(At(10, 20), kBlue);
  EXPECT_EQ(Count(kRed, QRect(5, 15, 40, 40)), 0);
}

TEST_F(DrawTest, BrushStylesClearAndHatched) {
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Rectangle, {10, 10, 40, 40}, Pen(kRed, 1, kBlue, 0, 1)));
  EXPECT_EQ(At(25, 25), kWhite);  // clear: the inside stays as it was
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Rectangle, {50, 10, 90, 50}, Pen(kRed, 1, kBlue, 0, 2)));
  // Horizontal hatch: whole rows of brush colour with blank rows between them.
  int hatchedRows = 0, blankRows = 0;
  for (int y = 12; y < 48; ++y) {
    const int n = Count(kBlue, QRect(52, y, 36, 1));
    hatchedRows += n == 36;
    blankRows += n == 0;
  }
  EXPECT_GT(hatchedRows, 2);
  EXPECT_GT(blankRows, hatchedRows);
}

TEST_F(DrawTest, EllipseRoundRectAndPolygonFillTheirInsidesOnly) {
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Ellipse, {0, 0, 40, 40}, Pen(kRed, 1, kBlue)));
  EXPECT_EQ(At(20, 20), kBlue);
  EXPECT_EQ(At(1, 1), kWhite);  // the corner of the bounding box lies outside
  ASSERT_TRUE(d_.DrawShape(part_, TShape::RoundRect, {50, 0, 90, 40, 20, 20}, Pen(kRed, 1, kBlue)));
  EXPECT_EQ(At(70, 20), kBlue);
  EXPECT_EQ(At(51, 1), kWhite);  // a rounded corner
  EXPECT_EQ(At(70, 0), kRed);
  ASSERT_TRUE(d_.DrawShape(part_, TShape::Polygon, {10, 79, 40, 50, 70, 79}, Pen(kRed, 1, kBlue)));
  EXPECT_EQ(At(40, 70), kBlue);
  EXPECT_EQ(At(15, 55), kWhite);
  EXPECT_FALSE(d_.DrawShape(part_, TShape::Polygon, {1, 2, 3, 4}, Pen(kRed, 1)));
}

TEST_F(DrawTest, PixelsOutsideTheSurfaceAreRefusedAndNoSurfaceIsNoDrawing) {
  EXPECT_TRUE(d_.SetPixel(part_, 3, 4, kRed));
  EXPECT_EQ(At(3, 4), kRed);
  uint32_t c = 7;
  EXPECT_FALSE(d_.SetPixel(part_, 100, 4, kRed));
  EXPECT_FALSE(d_.GetPixel(part_, -1, 4, c));
  EXPECT_EQ(c, 7u);
  EXPECT_FALSE(d_.DrawShape(99999, TShape::Line, {0, 0, 1, 1}, Pen(kRed, 1)));
  EXPECT_FALSE(d_.HasSurface(99999));
}

TDialogFont Font(uint32_t colour, int size = 12) {
  TDialogFont f;
  f.Name = "ＭＳ ゴシック";
  f.Size = size;
  f.Color = colour;
  return f;
}

TEST_F(DrawTest, TextAtAPointPlainAndSmooth) {
  ASSERT_TRUE(d_.DrawText(part_, 5, 5, {"漢字AB"}, Font(kBlack), false));
  const int plain = Count(kBlack, QRect(5, 5, 60, 16));
  EXPECT_GT(plain, 20);
  EXPECT_EQ(Count(kBlack, QRect(5, 30, 90, 50)), 0);  // nothing below the line
  // Smooth text blends: greys appear between black and white.
  ASSERT_TRUE(d_.DrawText(part_, 5, 40, {"漢字AB", "2行目"}, Font(kBlack), true));
  std::set<uint32_t> shades;
  for (int y = 40; y < 56; ++y)
    for (int x = 5; x < 70; ++x) shades.insert(At(x, y));
  EXPECT_GT(shades.size(), 4u);
  // The second line starts 1.2 times the font's pixel height (16) lower: 19 pixels.
  EXPECT_EQ(Count(kWhite, QRect(5, 59, 60, 16)) < 60 * 16, true);
}

TEST_F(DrawTest, CopiesStretchAndBlend) {
  // A 4 x 2 source: left half red, right half blue.
  const int src = part_ + 10000;
  d_.CreateSurface(src, 4, 2, kRed);
  d_.DrawShape(src, TShape::Rectangle, {2, 0, 5, 3}, Pen(kBlue, 1, kBlue));
  TPictureSource from;
  from.Part = src;
  ASSERT_EQ(d_.CopyPicture(from, part_, 10, 10, 0, 0), TDrawStatus::Ok);
  EXPECT_EQ(At(10, 10), kRed);
  EXPECT_EQ(At(13, 11), kBlue);
  EXPECT_EQ(At(14, 10), kWhite);
  ASSERT_EQ(d_.CopyPicture(from, part_, 20, 20, 60, 40), TDrawStatus::Ok);  // stretched
  EXPECT_EQ(At(22, 22), kRed);
  EXPECT_EQ(At(57, 37), kBlue);
  EXPECT_EQ(At(60, 30), kWhite);
  // A part of one surface onto another, at its own size and stretched.
  const int sr[4] = {2, 0, 4, 2}, dr[4] = {70, 5, 0, 0}, dr2[4] = {70, 50, 90, 60};
  ASSERT_EQ(d_.CopyRect(src, sr, part_, dr), TDrawStatus::Ok);
  EXPECT_EQ(At(71, 6), kBlue);
  EXPECT_EQ(At(72, 6), kWhite);
  ASSERT_EQ(d_.CopyRect(src, sr, part_, dr2), TDrawStatus::Ok);
  EXPECT_EQ(At(89, 59), kBlue);
  const int empty[4] = {2, 0, 2, 2};
  EXPECT_NE(d_.CopyRect(src, empty, part_, dr), TDrawStatus::Ok);
  // Blending at 50 percent: weight 128 of 256.
  ASSERT_EQ(d_.BlendPicture(from, part_, 0, 70, 0, 0, 50), TDrawStatus::Ok);
  EXPECT_EQ(At(0, 70), uint32_t((255 * 128 + 255 * 128) / 256) |
                           (uint32_t((0 * 128 + 255 * 128) / 256) << 8) |
                           (uint32_t((0 * 128 + 255 * 128) / 256) << 16));
  ASSERT_EQ(d_.BlendPicture(from, part_, 10, 70, 0, 0, 100), TDrawStatus::Ok);
  EXPECT_EQ(At(10, 70), kRed);  // 100 percent copies
  ASSERT_EQ(d_.BlendPicture(from, part_, 20, 70, 0, 0, 0), TDrawStatus::Ok);
  EXPECT_EQ(At(20, 70), kWhite);
}

TEST_F(DrawTest, TransparentPicturesLeaveWhatIsBelow) {
  // A PNG whose left column is transparent and right column opaque green.
  QImage pic(2, 2, QImage::Format_ARGB32);
  pic.setPixel(0, 0, qRgba(255, 0, 0, 0));
  pic.setPixel(0, 1, qRgba(255, 0, 0, 0));
  pic.setPixel(1, 0, qRgba(0, 255, 0, 255));
  pic.setPixel(1, 1, qRgba(0, 255, 0, 255));
  QTemporaryDir dir;
  const QString file = QDir(dir.path()).filePath(QStringLiteral("alpha.png"));
  ASSERT_TRUE(pic.save(file, "PNG"));
  d_.DrawShape(part_, TShape::Rectangle, {0, 0, 20, 20}, Pen(kBlue, 1, kBlue));
  TPictureSource src;
  src.File = file.toStdString();
  src.Ext = "png";
  ASSERT_EQ(d_.CopyPicture(src, part_, 5, 5, 0, 0), TDrawStatus::Ok);
  EXPECT_EQ(At(5, 5), kBlue);
  EXPECT_EQ(At(6, 6), 0x00FF00u);
  int h = 0;
  ASSERT_EQ(d_.DrawPicture(src, part_, 10, 10, 0, 0, false, h), TDrawStatus::Ok);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(At(10, 11), kBlue);
  EXPECT_EQ(At(11, 11), 0x00FF00u);
}

TEST_F(DrawTest, IconOfADesktopEntry) {
  QTemporaryDir dir;
  QImage icon(16, 16, QImage::Format_RGB32);
  icon.fill(QColor(0, 0, 255));
  const QString png = QDir(dir.path()).filePath(QStringLiteral("icon.png"));
  ASSERT_TRUE(icon.save(png, "PNG"));
  const QString entry = QDir(dir.path()).filePath(QStringLiteral("app.desktop"));
  QFile f(entry);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Desktop Entry]\nType=Application\nName=App\nExec=app\nIcon=" + png.toUtf8() + "\n");
  f.close();
  ASSERT_EQ(d_.ExtractIcon(entry.toStdString(), 0, part_), TDrawStatus::Ok) << d_.LastError();
  int w = 0, h = 0;
  d_.SurfaceSize(part_, w, h);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(At(3, 3), kBlue);
  // Only one icon per entry; a file that is not there cannot be opened.
  EXPECT_EQ(d_.ExtractIcon(entry.toStdString(), 1, part_), TDrawStatus::Failed);
  EXPECT_EQ(d_.ExtractIcon("/nonexistent/app", 0, part_), TDrawStatus::CannotOpen);
}

TEST_F(DrawTest, TileCoversTheDestinationFromTheTopLeft) {
  const int src = part_ + 10000;
  d_.CreateSurface(src, 3, 2, kRed);
  d_.SetPixel(src, 0, 0, kBlue);
  ASSERT_TRUE(d_.Tile(part_, src));
  EXPECT_EQ(At(0, 0), kBlue);
  EXPECT_EQ(At(3, 2), kBlue);
  EXPECT_EQ(At(99, 78), kBlue);  // 99 = 33 * 3, 78 = 39 * 2
  EXPECT_EQ(At(4, 2), kRed);
  EXPECT_FALSE(d_.Tile(part_, 99999));
}

TEST_F(DrawTest, SavedInEveryFormatAndReadBack) {
  d_.DrawShape(part_, TShape::Rectangle, {0, 0, 50, 40}, Pen(kRed, 1, kBlue));
  d_.DrawShape(part_, TShape::Line, {0, 79, 99, 0}, Pen(kBlack, 3));
  QTemporaryDir dir;
  for (const char* ext : {"png", "bmp", "jpg", "mag", "ico"}) {
    const std::string file = QDir(dir.path()).filePath(QStringLiteral("s.") + ext).toStdString();
    ASSERT_EQ(d_.SavePicture(part_, file, ext, 95), TDrawStatus::Ok) << ext << d_.LastError();
    const int back = part_ + 20000;
    d_.CreateSurface(back, 1, 1, kWhite);
    TPictureSource src;
    src.File = file;
    src.Ext = ext;
    ASSERT_EQ(d_.LoadIntoSurface(src, back), TDrawStatus::Ok) << ext << d_.LastError();
    int w = 0, h = 0;
    d_.SurfaceSize(back, w, h);
    EXPECT_EQ(w, 100) << ext;
    EXPECT_EQ(h, 80) << ext;
    uint32_t inside = 0;
    d_.GetPixel(back, 20, 20, inside);
    if (std::string(ext) == "jpg") {
      EXPECT_NEAR(int(inside >> 16), 255, 8);
      EXPECT_NEAR(int(inside & 255), 0, 8);
    } else {
      EXPECT_EQ(inside, kBlue) << ext;
    }
  }
  // A file that is not there, and a format nothing reads.
  TPictureSource missing;
  missing.File = QDir(dir.path()).filePath(QStringLiteral("none.png")).toStdString();
  missing.Ext = "png";
  EXPECT_EQ(d_.LoadIntoSurface(missing, part_), TDrawStatus::CannotOpen);
  EXPECT_EQ(d_.SavePicture(part_, missing.File, "xyz", 100), TDrawStatus::Unsupported);
  EXPECT_EQ(d_.SavePicture(part_, "/nonexistent/dir/a.png", "png", 100), TDrawStatus::Failed);
  EXPECT_FALSE(d_.LastError().empty());
}

TEST_F(DrawTest, PictureDrawnScaledAndCentred) {
  const int src = part_ + 10000;
  d_.CreateSurface(src, 10, 6, kRed);
  TPictureSource from;
  from.Part = src;
  int h = 0;
  ASSERT_EQ(d_.DrawPicture(from, part_, 5, 7, 20, 12, false, h), TDrawStatus::Ok);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(At(24, 18), kRed);
  EXPECT_EQ(At(25, 18), kWhite);
  // Centred on the mothership, whose width is the client width.
  d_.Clear(kWhite);
  ASSERT_EQ(d_.DrawPicture(from, 0, 0, 0, 0, 0, true, h), TDrawStatus::Ok);
  uint32_t c;
  d_.GetPixel(0, (d_.ClientWidth() - 10) / 2, 0, c);
  EXPECT_EQ(c, kRed);
  d_.GetPixel(0, (d_.ClientWidth() - 10) / 2 - 1, 0, c);
  EXPECT_EQ(c, kWhite);
}

TEST_F(DrawTest, ResizeScalesThePicture) {
  d_.DrawShape(part_, TShape::Rectangle, {0, 0, 51, 81}, Pen(kRed, 1, kRed));
  ASSERT_TRUE(d_.ResizeSurface(part_, 50, 40));
  int w, h;
  d_.SurfaceSize(part_, w, h);
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 40);
  EXPECT_EQ(At(10, 20), kRed);
  EXPECT_EQ(At(45, 20), kWhite);
  EXPECT_FALSE(d_.ResizeSurface(part_, 0, 10));
}

TEST(DrawPrint, LinesMoveDownByTheirStepAndCentreEachLine) {
  TDrawEngine d;
  d.Clear(kWhite);
  const int end = d.PrintLines({"一", "とても長い行ですよ", "三"}, 10, 20, true, Font(kBlack));
  EXPECT_EQ(end, 20 + 3 * PrintLineStep(12));
  EXPECT_EQ(PrintLineStep(12), 19);
  // Each line is centred on its own: the short first line starts further right than the long
  // second one, and both are balanced around the middle.
  auto firstInk = [&](int top) {
    for (int x = 0; x < d.ClientWidth(); ++x)
      for (int y = top; y < top + 16; ++y) {
        uint32_t c;
        d.GetPixel(0, x, y, c);
        if (c != kWhite) return x;
      }
    return -1;
  };
  const int a = firstInk(20), b = firstInk(39);
  EXPECT_GT(a, b);
  EXPECT_NEAR(a, (d.ClientWidth() - 16) / 2, 4);
}

// The proxy: printing records until the engine opens, then everything recorded is drawn.
TEST(DrawProxy, RecordsPrintingAndDrawsItWhenOpened) {
  int opened = 0;
  TDrawProxy proxy(
      [&] {
        ++opened;
        return std::unique_ptr<TDrawHost>(new TDrawEngine());
      },
      [] { return false; });
  proxy.Real().Clear(kWhite);  // a clean mothership for this test
  TDrawProxy lazy(
      [&] {
        ++opened;
        return std::unique_ptr<TDrawHost>(new TDrawEngine());
      },
      [] { return false; });
  const int y1 = lazy.PrintLines({"あいう"}, 10, 10, false, Font(kRed));
  const int y2 = lazy.PrintLines({"below the client area"}, 10, 500, false, Font(kRed));
  EXPECT_EQ(y1, 10 + 19);
  EXPECT_EQ(y2, 500 + 19);
  EXPECT_FALSE(lazy.Opened());
  EXPECT_EQ(lazy.Recorded(), 1u);
  EXPECT_EQ(opened, 1);
  uint32_t c;
  int red = 0;
  for (int y = 10; y < 29; ++y)
    for (int x = 10; x < 60; ++x) red += lazy.GetPixel(0, x, y, c) && c == kRed;  // opens
  EXPECT_TRUE(lazy.Opened());
  EXPECT_EQ(opened, 2);
  EXPECT_GT(red, 20);
  // Bounded: only the latest records are kept.
  TDrawProxy many([&] { return std::unique_ptr<TDrawHost>(new TDrawEngine()); },
                  [] { return false; });
  for (size_t i = 0; i < TDrawProxy::kMaxRecords + 10; ++i)
    many.PrintLines({"x"}, 0, 0, false, Font(kRed));
  EXPECT_EQ(many.Recorded(), TDrawProxy::kMaxRecords);
}

}  // namespace
}  // namespace yume

namespace yume {
namespace {

TEST(DrawFont, SpecificationToFont) {
  TDialogFont f;
  f.Name = "ＭＳ ゴシック";
  f.Size = 20;
  f.Bold = true;
  f.Italic = true;
  const QFont font = TDrawEngine::ResolveFont(f);
  EXPECT_TRUE(font.bold());
  EXPECT_TRUE(font.italic());
  EXPECT_FALSE(font.underline());
  EXPECT_EQ(font.pixelSize(), 27);  // 20 points at 96 pixels per inch
  // A name that is not installed stands for the default font.
  TDialogFont missing = f;
  missing.Name = "どこにもない書体";
  EXPECT_EQ(TDrawEngine::ResolveFont(missing).family(), font.family());
}

}  // namespace
}  // namespace yume
