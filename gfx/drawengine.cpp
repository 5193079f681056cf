#include "gfx/drawengine.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QSettings>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

#include "gfx/fonts.h"
#include "gfx/picture.h"

namespace yume {

QColor ToQColor(uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

uint32_t FromQRgb(QRgb c) {
  return uint32_t(qRed(c)) | (uint32_t(qGreen(c)) << 8) | (uint32_t(qBlue(c)) << 16);
}

namespace {

QString Utf8(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QRect GdiRect(int l, int t, int r, int b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  // The right and bottom edges lie outside the shape, as they always have.
  return QRect(l, t, std::max(r - l - 1, 0), std::max(b - t - 1, 0));
}

QPen MakePen(const TPenBrush& pb) {
  static const Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                         Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
  QPen pen(ToQColor(pb.PenColor));
  pen.setWidth(std::max(pb.PenWidth, 1));
  pen.setStyle(pb.PenStyle >= 0 && pb.PenStyle <= 5 ? kStyles[pb.PenStyle] : Qt::SolidLine);
  // Square ends keep solid lines on the rasteriser's fast path (round ends are stroked as
  // outlines); at the widths scripts use the ends look alike.
  pen.setCapStyle(Qt::SquareCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

QBrush MakeBrush(const TPenBrush& pb) {
  static const Qt::BrushStyle kStyles[] = {Qt::SolidPattern, Qt::NoBrush,         Qt::HorPattern,
                                           Qt::VerPattern,   Qt::FDiagPattern,    Qt::BDiagPattern,
                                           Qt::CrossPattern, Qt::DiagCrossPattern};
  return QBrush(ToQColor(pb.BrushColor), pb.BrushStyle >= 0 && pb.BrushStyle <= 7
                                             ? kStyles[pb.BrushStyle]
                                             : Qt::SolidPattern);
}

// ---- icons of programs: the desktop's entries ----

QString DesktopEntryIcon(const QString& path) {
  QSettings entry(path, QSettings::IniFormat);
  return entry.value(QStringLiteral("Desktop Entry/Icon")).toString();
}

// The desktop entry whose command runs the program (by its file name).
QString DesktopEntryFor(const QString& program) {
  const QString name = QFileInfo(program).fileName();
  const QStringList dirs = {QDir::homePath() + QStringLiteral("/.local/share/applications"),
                            QStringLiteral("/usr/local/share/applications"),
                            QStringLiteral("/usr/share/applications")};
  for (const QString& d : dirs) {
    for (const QFileInfo& fi : QDir(d).entryInfoList({QStringLiteral("*.desktop")}, QDir::Files)) {
      QSettings entry(fi.filePath(), QSettings::IniFormat);
      const QString exec = entry.value(QStringLiteral("Desktop Entry/Exec")).toString();
      const QString first = exec.section(QLatin1Char(' '), 0, 0);
      if (!first.isEmpty() && QFileInfo(first).fileName() == name) return fi.filePath();
    }
  }
  return {};
}

QImage IconImage(const QString& icon) {
  if (icon.isEmpty()) return {};
  if (QFileInfo(icon).isAbsolute()) return QImage(icon);
  QIcon themed = QIcon::fromTheme(icon);
  if (!themed.isNull()) return themed.pixmap(32, 32).toImage();
  for (const char* ext : {".png", ".xpm"}) {
    QImage img(QStringLiteral("/usr/share/pixmaps/") + icon + QLatin1String(ext));
    if (!img.isNull()) return img;
  }
  for (const char* size : {"32x32", "48x48", "64x64", "128x128", "256x256"}) {
    QImage img(QStringLiteral("/usr/share/icons/hicolor/") + QLatin1String(size) +
               QStringLiteral("/apps/") + icon + QStringLiteral(".png"));
    if (!img.isNull()) return img;
  }
  return {};
}

}  // namespace

TDrawEngine::TDrawEngine() = default;

TDrawEngine::~TDrawEngine() {
  EndPainter();
}

QFont TDrawEngine::ResolveFont(const TDialogFont& f) {
  static const QStringList families = QFontDatabase::families();
  QString family = MapFontFamily(Utf8(f.Name));
  const auto found = std::find_if(families.begin(), families.end(), [&](const QString& s) {
    return s.compare(family, Qt::CaseInsensitive) == 0;
  });
  family = found != families.end() ? *found : MapFontFamily(QStringLiteral("ＭＳ ゴシック"));
  QFont font(family);
  font.setPixelSize(FontPixels(f.Size));
  font.setBold(f.Bold);
  font.setItalic(f.Italic);
  font.setUnderline(f.Underline);
  // Printed text is plain, pixel for pixel; 文字描画 smooths it by drawing at three times the
  // size and averaging.
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

QPainter* TDrawEngine::Painter(int part) {
  return Surfaces().Painter(part);
}

void TDrawEngine::EndPainter() {
  Surfaces().EndPainting();
}

void TDrawEngine::Changed(int part) {
  Surfaces().Changed(part);
}

// ---- surfaces ----

bool TDrawEngine::HasSurface(int part) {
  return Surfaces().Get(part) != nullptr;
}

void TDrawEngine::CreateSurface(int part, int width, int height, uint32_t fill) {
  Surfaces().EndPainting(part);
  Surfaces().Create(part, width, height, ToQColor(fill).rgb());
}

void TDrawEngine::RemoveSurface(int part) {
  Surfaces().EndPainting(part);
  Surfaces().Remove(part);
}

bool TDrawEngine::SurfaceSize(int part, int& width, int& height) {
  TSurface* s = Surfaces().Get(part);
  if (!s) return false;
  width = s->Image.width();
  height = s->Image.height();
  return true;
}

bool TDrawEngine::ResizeSurface(int part, int width, int height) {
  TSurface* s = Surfaces().Get(part);
  if (!s || width <= 0 || height <= 0 || int64_t(width) * height > (int64_t(1) << 28)) return false;
  Surfaces().EndPainting(part);
  s->Image = s->Image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  Changed(part);
  return true;
}

TDrawStatus TDrawEngine::Load(const TPictureSource& src, QImage& out) {
  error_.clear();
  if (src.Part >= 0) {
    TSurface* s = Surfaces().Get(src.Part);
    if (!s) return TDrawStatus::NoSurface;
    Surfaces().EndPainting(src.Part);
    out = s->Image;
    return TDrawStatus::Ok;
  }
  if (src.Clipboard) {
    out = QGuiApplication::clipboard()->image();
    return TDrawStatus::Ok;
  }
  if (src.FromData) return DecodePicture(src.Data, src.Ext, out, error_);
  return LoadPictureFile(src.File, src.Ext, out, error_);
}

TDrawStatus TDrawEngine::LoadIntoSurface(const TPictureSource& src, int part) {
  QImage img;
  const TDrawStatus st = Load(src, img);
  if (st != TDrawStatus::Ok) return st;
  Surfaces().EndPainting(part);
  TSurface* s = Surfaces().Get(part);
  if (!s) s = &Surfaces().Create(part, 1, 1, qRgb(255, 255, 255));
  if (img.isNull()) {
    s->Image = QImage(1, 1, QImage::Format_RGB32);
    s->Image.fill(s->Background);
  } else {
    s->Image =
        img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  }
  Changed(part);
  return TDrawStatus::Ok;
}

// ---- the mothership ----

int TDrawEngine::PrintLines(const std::vector<std::string>& lines, int x, int y, bool centered,
                            const TDialogFont& font) {
  QPainter* p = Painter(0);
  const QFont f = ResolveFont(font);
  p->setFont(f);
  p->setPen(ToQColor(font.Color));
  p->setBrush(Qt::NoBrush);
  const QFontMetrics fm(f);
  const int step = PrintLineStep(font.Size);
  const int width = ClientWidth();
  for (const std::string& line : lines) {
    const QString text = Utf8(line);
    const int lx = centered ? (width - fm.horizontalAdvance(text)) / 2 : x;
    p->drawText(lx, y + fm.ascent(), text);
    y += step;
  }
  Changed(0);
  return y;
}

void TDrawEngine::Clear(uint32_t color) {
  TSurface* s = Surfaces().Get(0);
  Surfaces().EndPainting(0);
  s->Background = ToQColor(color).rgb();
  s->Image = QImage(s->Image.size(), QImage::Format_RGB32);
  s->Image.fill(s->Background);
  Changed(0);
}

uint32_t TDrawEngine::Background() {
  return FromQRgb(Surfaces().Get(0)->Background);
}

int TDrawEngine::ClientWidth() {
  return Surfaces().Get(0)->Image.width();
}

void TDrawEngine::Flush() {
  EndPainter();
  Changed(0);
}

// ---- drawing ----

bool TDrawEngine::DrawShape(int part, TShape shape, const std::vector<int>& c,
                            const TPenBrush& pb) {
  QPainter* p = Painter(part);
  if (!p) return false;
  p->setPen(MakePen(pb));
  p->setBrush(MakeBrush(pb));
  switch (shape) {
    case TShape::Line:
      if (c.size() < 4) return false;
      p->drawLine(c[0], c[1], c[2], c[3]);
      break;
    case TShape::Rectangle: {
      if (c.size() < 4) return false;
      const QRect r = GdiRect(c[0], c[1], c[2], c[3]);
      // The common case, solid or clear with a one-pixel pen, as plain fills: the same pixels
      // as drawRect, many times faster.
      const bool plainPen = pb.PenStyle == 5 || (pb.PenStyle == 0 && pb.PenWidth <= 1);
      if (plainPen && (pb.BrushStyle == 0 || pb.BrushStyle == 1)) {
        if (pb.PenStyle == 5) {
          if (pb.BrushStyle == 0) p->fillRect(r, ToQColor(pb.BrushColor));
          break;
        }
        const QColor pen = ToQColor(pb.PenColor);
        if (pb.BrushStyle == 0 && r.width() > 1 && r.height() > 1)
          p->fillRect(r.adjusted(1, 1, 0, 0), ToQColor(pb.BrushColor));
        p->fillRect(r.left(), r.top(), r.width() + 1, 1, pen);
        p->fillRect(r.left(), r.top() + r.height(), r.width() + 1, 1, pen);
        p->fillRect(r.left(), r.top(), 1, r.height() + 1, pen);
        p->fillRect(r.left() + r.width(), r.top(), 1, r.height() + 1, pen);
        break;
      }
      p->drawRect(r);
      break;
    }
    case TShape::Ellipse:
      if (c.size() < 4) return false;
      p->drawEllipse(GdiRect(c[0], c[1], c[2], c[3]));
      break;
    case TShape::RoundRect:
      if (c.size() < 6) return false;
      p->drawRoundedRect(GdiRect(c[0], c[1], c[2], c[3]), c[4] / 2.0, c[5] / 2.0, Qt::AbsoluteSize);
      break;
    case TShape::Polygon: {
      if (c.size() < 6) return false;
      QPolygon poly;
      for (size_t i = 0; i + 1 < c.size(); i += 2) poly << QPoint(c[i], c[i + 1]);
      p->drawPolygon(poly, Qt::OddEvenFill);
      break;
    }
  }
  Changed(part);
  return true;
}

bool TDrawEngine::SetPixel(int part, int x, int y, uint32_t color) {
  TSurface* s = Surfaces().Get(part);
  if (!s || !s->Image.rect().contains(x, y)) return false;
  // The kept painter writes straight into the same pixels: no need to end it.
  s->Image.setPixel(x, y, ToQColor(color).rgb());
  Changed(part);
  return true;
}

bool TDrawEngine::GetPixel(int part, int x, int y, uint32_t& color) {
  TSurface* s = Surfaces().Get(part);
  if (!s || !s->Image.rect().contains(x, y)) return false;
  color = FromQRgb(s->Image.pixel(x, y));
  return true;
}

bool TDrawEngine::DrawText(int part, int x, int y, const std::vector<std::string>& lines,
                           const TDialogFont& font, bool smooth) {
  TSurface* s = Surfaces().Get(part);
  if (!s) return false;
  const QFont f = ResolveFont(font);
  const int step = PrintLineStep(font.Size);
  if (!smooth) {
    QPainter* p = Painter(part);
    p->setFont(f);
    p->setPen(ToQColor(font.Color));
    p->setBrush(Qt::NoBrush);
    const int ascent = QFontMetrics(f).ascent();
    for (const std::string& line : lines) {
      p->drawText(x, y + ascent, Utf8(line));
      y += step;
    }
    Changed(part);
    return true;
  }
  Surfaces().EndPainting(part);
  // Anti-aliased: the line is drawn white on black at three times the size, and each target
  // pixel takes the font colour in proportion to the white of its 3 x 3 block.
  QFont big = f;
  big.setPixelSize(f.pixelSize() * 3);
  const QFontMetrics bm(big);
  const QColor colour = ToQColor(font.Color);
  const int fc[3] = {colour.red(), colour.green(), colour.blue()};
  QImage& target = s->Image;
  for (const std::string& line : lines) {
    const QString text = Utf8(line);
    const int cw = bm.horizontalAdvance(text) / 3 + 1;
    const int ch = bm.height() / 3 + 1;
    QImage b(3 * cw, 3 * ch, QImage::Format_RGB32);
    b.fill(Qt::black);
    {
      QPainter bp(&b);
      bp.setFont(big);
      bp.setPen(Qt::white);
      bp.drawText(3, 3 + bm.ascent(), text);
    }
    for (int j = 1; j <= ch - 2; ++j) {
      const int ty = y + j - 1;
      if (ty < 0 || ty >= target.height()) continue;
      QRgb* row = reinterpret_cast<QRgb*>(target.scanLine(ty));
      for (int i = 1; i <= cw - 2; ++i) {
        const int tx = x + i - 1;
        if (tx < 0 || tx >= target.width()) continue;
        int sum = 0;
        for (int bj = 3 * j - 1; bj <= 3 * j + 1; ++bj) {
          const QRgb* brow = reinterpret_cast<const QRgb*>(b.constScanLine(bj));
          for (int bi = 3 * i - 1; bi <= 3 * i + 1; ++bi) sum += qBlue(brow[bi]);
        }
        const int c = sum / 9;
        if (c == 0) continue;
        const QRgb old = row[tx];
        row[tx] = qRgba((qRed(old) * (256 - c) + c * fc[0]) / 256,
                        (qGreen(old) * (256 - c) + c * fc[1]) / 256,
                        (qBlue(old) * (256 - c) + c * fc[2]) / 256, qAlpha(old));
      }
    }
    y += step;
  }
  Changed(part);
  return true;
}

// ---- pictures ----

TDrawStatus TDrawEngine::DrawPicture(const TPictureSource& src, int part, int x, int y, int width,
                                     int height, bool centered, int& drawnHeight) {
  QImage img;
  TDrawStatus st = Load(src, img);
  if (st != TDrawStatus::Ok) return st;
  if (width > 0 && height > 0)
    img = img.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPainter* p = Painter(part);
  if (!p) return TDrawStatus::NoSurface;
  if (centered) x = (ClientWidth() - img.width()) / 2;
  p->drawImage(x, y, img);
  drawnHeight = img.height();
  Changed(part);
  return TDrawStatus::Ok;
}

TDrawStatus TDrawEngine::CopyPicture(const TPictureSource& src, int part, int left, int top,
                                     int right, int bottom) {
  QImage img;
  TDrawStatus st = Load(src, img);
  if (st != TDrawStatus::Ok) return st;
  if (!HasSurface(part)) return TDrawStatus::NoSurface;
  QPainter* p = Painter(part);
  if ((right > 0 || bottom > 0) && right - left > 0 && bottom - top > 0) {
    p->drawImage(
        QRect(left, top, right - left, bottom - top),
        img.scaled(right - left, bottom - top, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  } else {
    p->drawImage(left, top, img);
  }
  Changed(part);
  return TDrawStatus::Ok;
}

TDrawStatus TDrawEngine::CopyRect(int srcPart, const int sr[4], int dstPart, const int dr[4]) {
  TSurface* src = Surfaces().Get(srcPart);
  if (!src || !HasSurface(dstPart)) return TDrawStatus::NoSurface;
  const QRect from(sr[0], sr[1], sr[2] - sr[0], sr[3] - sr[1]);
  if (from.width() <= 0 || from.height() <= 0) return TDrawStatus::Failed;
  Surfaces().EndPainting(srcPart);
  const QImage piece = src->Image.copy(from);
  QRect to(dr[0], dr[1], dr[2] - dr[0], dr[3] - dr[1]);
  if (dr[2] == 0 && dr[3] == 0) to = QRect(dr[0], dr[1], from.width(), from.height());
  if (to.width() <= 0 || to.height() <= 0) return TDrawStatus::Failed;
  QPainter* p = Painter(dstPart);
  if (to.size() == piece.size()) {
    p->drawImage(to.topLeft(), piece);
  } else {
    p->drawImage(to, piece.scaled(to.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
  Changed(dstPart);
  return TDrawStatus::Ok;
}

TDrawStatus TDrawEngine::BlendPicture(const TPictureSource& src, int part, int left, int top,
                                      int right, int bottom, double percent) {
  QImage img;
  TDrawStatus st = Load(src, img);
  if (st != TDrawStatus::Ok) return st;
  TSurface* s = Surfaces().Get(part);
  if (!s) return TDrawStatus::NoSurface;
  Surfaces().EndPainting(part);
  if (right - left > 0 && bottom - top > 0)
    img = img.scaled(right - left, bottom - top, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  img = img.convertToFormat(QImage::Format_RGB32);
  const int weight = std::clamp(int(percent / 100.0 * 256.0), 0, 256);
  QImage& dst = s->Image;
  for (int j = 0; j < img.height(); ++j) {
    const int ty = top + j;
    if (ty < 0 || ty >= dst.height()) continue;
    const QRgb* from = reinterpret_cast<const QRgb*>(img.constScanLine(j));
    QRgb* to = reinterpret_cast<QRgb*>(dst.scanLine(ty));
    for (int i = 0; i < img.width(); ++i) {
      const int tx = left + i;
      if (tx < 0 || tx >= dst.width()) continue;
      const QRgb a = from[i], b = to[tx];
      to[tx] = qRgba((qRed(a) * weight + qRed(b) * (256 - weight)) / 256,
                     (qGreen(a) * weight + qGreen(b) * (256 - weight)) / 256,
                     (qBlue(a) * weight + qBlue(b) * (256 - weight)) / 256, qAlpha(b));
    }
  }
  Changed(part);
  return TDrawStatus::Ok;
}

bool TDrawEngine::Tile(int dstPart, int srcPart) {
  TSurface* dst = Surfaces().Get(dstPart);
  TSurface* src = Surfaces().Get(srcPart);
  if (!dst || !src) return false;
  EndPainter();
  const QImage tile = src->Image;
  QImage out(dst->Image.size(), QImage::Format_RGB32);
  out.fill(dst->Background);
  {
    QPainter p(&out);
    for (int x = 0; x < out.width(); x += tile.width()) {
      for (int y = 0; y < out.height(); y += tile.height()) p.drawImage(x, y, tile);
    }
  }
  dst->Image = out;
  Changed(dstPart);
  return true;
}

TDrawStatus TDrawEngine::EncodePicture(int part, const std::string& ext, int quality,
                                       std::string& out) {
  error_.clear();
  TSurface* s = Surfaces().Get(part);
  if (!s) return TDrawStatus::NoSurface;
  Surfaces().EndPainting(part);
  return yume::EncodePicture(s->Image, ext, quality, out, error_);
}

TDrawStatus TDrawEngine::SavePicture(int part, const std::string& file, const std::string& ext,
                                     int quality) {
  std::string data;
  const TDrawStatus st = EncodePicture(part, ext, quality, data);
  if (st != TDrawStatus::Ok) return st;
  std::ofstream f(file, std::ios::binary | std::ios::trunc);
  if (!f || !f.write(data.data(), std::streamsize(data.size())) || !(f.flush())) {
    error_ = std::strerror(errno);
    return TDrawStatus::Failed;
  }
  return TDrawStatus::Ok;
}

bool TDrawEngine::PictureToClipboard(int part) {
  TSurface* s = Surfaces().Get(part);
  if (!s) return false;
  Surfaces().EndPainting(part);
  QGuiApplication::clipboard()->setImage(s->Image);
  return true;
}

TDrawStatus TDrawEngine::ExtractIcon(const std::string& file, int index, int part) {
  error_.clear();
  const QString path = QString::fromUtf8(file.data(), qsizetype(file.size()));
  if (!QFileInfo::exists(path)) return TDrawStatus::CannotOpen;
  QImage icon;
  if (index == 0) {
    if (path.endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive)) {
      icon = IconImage(DesktopEntryIcon(path));
    } else {
      const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
      if (QFileInfo(path).canonicalFilePath() == self)
        icon = QGuiApplication::windowIcon().pixmap(32, 32).toImage();
      if (icon.isNull()) {
        const QString entry = DesktopEntryFor(path);
        if (!entry.isEmpty()) icon = IconImage(DesktopEntryIcon(entry));
      }
    }
  }
  if (icon.isNull()) {
    error_ = "no icon";
    return TDrawStatus::Failed;
  }
  Surfaces().EndPainting(part);
  TSurface* s = Surfaces().Get(part);
  if (!s) return TDrawStatus::NoSurface;
  QImage out(icon.size(), QImage::Format_RGB32);
  out.fill(s->Background);
  {
    QPainter p(&out);
    p.drawImage(0, 0, icon);
  }
  s->Image = out;
  Changed(part);
  return TDrawStatus::Ok;
}

bool TDrawEngine::CaptureWindow(const std::string& title, int part) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen || !HasSurface(part)) return false;
  QPixmap shot;
  if (title.empty()) {
    shot = screen->grabWindow(0);
  } else {
    const QString want = Utf8(title);
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
      if (w->isVisible() && w->title() == want) {
        shot = screen->grabWindow(w->winId());
        break;
      }
    }
    if (shot.isNull()) return false;
  }
  QPainter* p = Painter(part);
  p->drawImage(0, 0, shot.toImage());
  Changed(part);
  return true;
}

std::vector<std::string> TDrawEngine::FontFamilies() {
  QStringList families = QFontDatabase::families();
  families.sort();
  std::vector<std::string> out;
  for (const QString& f : families) out.push_back(f.toStdString());
  return out;
}

std::vector<std::string> TDrawEngine::ExtraReadableFormats() {
  return yume::ExtraReadableFormats();
}

}  // namespace yume
