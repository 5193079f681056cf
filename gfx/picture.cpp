#include "gfx/picture.h"

// libjpeg's header needs FILE declared first.
#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on
#include <png.h>
#include <zlib.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>

namespace yume {

namespace {

// The largest picture any reader makes (pixels): a header asking for more is refused before
// anything is allocated.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

uint32_t Le16(const unsigned char* p) {
  return p[0] | (p[1] << 8);
}
uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
const unsigned char* Bytes(std::string_view d) {
  return reinterpret_cast<const unsigned char*>(d.data());
}

bool ReadWhole(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  f.seekg(0, std::ios::end);
  const std::streamoff n = f.tellg();
  if (n < 0) return false;
  f.seekg(0);
  out.resize(size_t(n));
  return static_cast<bool>(f.read(out.data(), n)) || n == 0;
}

// ---- PNG ----

struct TPngWrite {
  std::string* out;
};

struct TPngRead {
  const unsigned char* data;
  size_t size, pos;
};

struct TPngRows {
  QImage img;
  std::vector<png_bytep> rows;
};

void PngReadData(png_structp png, png_bytep to, png_size_t len) {
  auto* r = static_cast<TPngRead*>(png_get_io_ptr(png));
  if (len > r->size - r->pos) png_error(png, "unexpected end of PNG data");
  std::memcpy(to, r->data + r->pos, len);
  r->pos += len;
}

void PngWriteData(png_structp png, png_bytep data, png_size_t len) {
  auto* w = static_cast<TPngWrite*>(png_get_io_ptr(png));
  w->out->append(reinterpret_cast<const char*>(data), len);
}
void PngFlush(png_structp) {}
void PngError(png_structp png, png_const_charp msg) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  if (error) *error = msg;
  png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

// ---- JPEG ----

void JpegErrorExit(j_common_ptr info);
void JpegWarning(j_common_ptr info, int level);

// The library's error manager: errors jump back with their text, warnings are remembered.
struct TJpegError {
  explicit TJpegError(std::string& error) : text(&error) {
    jpeg_std_error(&mgr);
    mgr.error_exit = JpegErrorExit;
    mgr.emit_message = JpegWarning;
  }
  jpeg_error_mgr mgr;
  jmp_buf jump;
  std::string* text;
  bool cutShort = false;  // the data ended before the picture did
};

void JpegErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<TJpegError*>(info->err);
  char buf[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, buf);
  *err->text = buf;
  std::longjmp(err->jump, 1);
}
// Warnings are not shown; a picture cut short is remembered, since the library makes up the
// rest of it in grey and would otherwise report success.
void JpegWarning(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<TJpegError*>(info->err)->cutShort = true;
}

// ---- BMP ----

bool DibFits(const unsigned char* d, size_t avail, size_t& pixelBytes, std::string& error) {
  if (avail < 4) return (error = "BMP header too short"), false;
  const uint32_t dib = Le32(d);
  int64_t w, h;
  uint32_t bpp, compression = 0, used = 0;
  size_t entry = 4;
  if (dib == 12) {
    if (avail < 12) return (error = "BMP header too short"), false;
    w = Le16(d + 4);
    h = int16_t(Le16(d + 6));
    bpp = Le16(d + 10);
    entry = 3;
  } else if (dib >= 40 && dib <= 124) {
    if (avail < dib) return (error = "BMP header too short"), false;
    w = int32_t(Le32(d + 4));
    h = int32_t(Le32(d + 8));
    bpp = Le16(d + 14);
    compression = Le32(d + 16);
    used = Le32(d + 32);
  } else {
    return (error = "BMP header size unknown"), false;
  }
  if (h < 0) h = -h;
  if (w <= 0 || h <= 0 || w * h > kMaxPixels) return (error = "BMP size out of range"), false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return (error = "BMP bit count unknown"), false;
  if (compression != 0 && compression != 1 && compression != 2 && compression != 3 &&
      compression != 6)
    return (error = "BMP compression unknown"), false;
  if (bpp <= 8 && used > (1u << bpp)) return (error = "BMP palette out of range"), false;
  const size_t colours = bpp <= 8 ? (used ? used : (1u << bpp)) : 0;
  if (dib + colours * entry > avail) return (error = "BMP palette out of range"), false;
  pixelBytes = (compression == 0 || compression == 3 || compression == 6)
                   ? size_t((w * bpp + 31) / 32 * 4) * size_t(h)
                   : 0;
  return true;
}

}  // namespace

bool ReadPng(std::string_view data, QImage& out, std::string& error) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
  if (!png) return (error = "out of memory"), false;
  png_infop info = png_create_info_struct(png);
  TPngRead src{Bytes(data), data.size(), 0};
  // What changes after setjmp lives on the heap: a jump back leaves locals undefined.
  auto state = std::make_unique<TPngRows>();
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    if (error.empty()) error = "PNG read error";
    return false;
  }
  png_set_read_fn(png, &src, PngReadData);
  // The pixel data's checksums are not verified (as most readers do not): a damaged file still
  // ends in an error or in wrong pixels, never in a read outside the data.
  png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_QUIET_USE);
  png_read_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  if (int64_t(w) * h > kMaxPixels) png_error(png, "PNG size out of range");
  const int type = png_get_color_type(png, info);
  const bool alpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  // Every kind of PNG becomes 8-bit R, G, B (and A) as stored; Qt's converters, faster than
  // the library's own row transformations, then make the picture's B, G, R, A.
  png_set_expand(png);
  png_set_strip_16(png);
  if (!(type & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(w) * (alpha ? 4 : 3))
    png_error(png, "PNG pixel format");
  state->img = QImage(int(w), int(h), alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (state->img.isNull()) png_error(png, "out of memory");
  state->rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) state->rows[y] = state->img.scanLine(int(y));
  png_read_image(png, state->rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  out = state->img.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  return true;
}

bool WritePng(const QImage& src, std::string& out, std::string& error) {
  const bool alpha = src.hasAlphaChannel();
  const QImage img = src.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
  if (!png) return (error = "out of memory"), false;
  png_infop info = png_create_info_struct(png);
  TPngWrite sink{&out};
  out.clear();
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (error.empty()) error = "PNG write error";
    return false;
  }
  png_set_write_fn(png, &sink, PngWriteData, PngFlush);
  png_set_IHDR(png, info, img.width(), img.height(), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // The usual zlib level; the Sub and Up filters find nearly all that the full adaptive set
  // finds on drawings and photographs, at a fraction of the time.
  png_set_compression_level(png, 6);
  png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
  png_set_filter(png, 0, PNG_ALL_FILTERS);
  png_write_info(png, info);
  png_set_bgr(png);  // our pixels are B, G, R, A in memory
  if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < img.height(); ++y) {
    png_write_row(png, const_cast<png_bytep>(img.constScanLine(y)));
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadJpeg(std::string_view data, QImage& out, std::string& error) {
  jpeg_decompress_struct info;
  TJpegError err(error);
  info.err = &err.mgr;
  // What changes after setjmp lives on the heap: a jump back leaves locals undefined.
  auto holder = std::make_unique<QImage>();
  QImage& img = *holder;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), data.size());
  jpeg_read_header(&info, TRUE);
  if (int64_t(info.image_width) * info.image_height > kMaxPixels) {
    jpeg_destroy_decompress(&info);
    error = "JPEG size out of range";
    return false;
  }
  info.out_color_space = JCS_EXT_BGRX;
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
    info.out_color_space = JCS_CMYK;
  jpeg_start_decompress(&info);
  img = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
  if (img.isNull()) {
    jpeg_destroy_decompress(&info);
    error = "out of memory";
    return false;
  }
  // Several rows a call: the library then writes straight into the picture instead of going
  // through a row buffer of its own.
  JSAMPROW rows[16];
  while (info.output_scanline < info.output_height) {
    const unsigned first = info.output_scanline;
    const unsigned count = std::min(16u, info.output_height - first);
    for (unsigned i = 0; i < count; ++i) rows[i] = img.scanLine(int(first + i));
    const unsigned got = jpeg_read_scanlines(&info, rows, count);
    if (info.out_color_space != JCS_CMYK) continue;
    // Adobe's inverted CMYK, the only kind in the wild: each channel times K.
    for (unsigned i = 0; i < got; ++i) {
      uint8_t* p = rows[i];
      for (unsigned x = 0; x < info.output_width; ++x, p += 4) {
        const int c = p[0], m = p[1], yy = p[2], k = p[3];
        p[0] = uint8_t(yy * k / 255);
        p[1] = uint8_t(m * k / 255);
        p[2] = uint8_t(c * k / 255);
        p[3] = 255;
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  if (err.cutShort) {
    error = "premature end of JPEG data";
    return false;
  }
  out = std::move(img);
  return true;
}

bool WriteJpeg(const QImage& src, int quality, std::string& out, std::string& error) {
  const QImage img = src.convertToFormat(QImage::Format_RGB32);
  jpeg_compress_struct info;
  TJpegError err(error);
  info.err = &err.mgr;
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    free(buf);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buf, &size);
  info.image_width = img.width();
  info.image_height = img.height();
  info.input_components = 4;
  info.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&info, TRUE);
  JSAMPROW rows[16];
  while (info.next_scanline < info.image_height) {
    const unsigned first = info.next_scanline;
    const unsigned count = std::min(16u, info.image_height - first);
    for (unsigned i = 0; i < count; ++i)
      rows[i] = const_cast<JSAMPROW>(img.constScanLine(int(first + i)));
    jpeg_write_scanlines(&info, rows, count);
  }
  jpeg_finish_compress(&info);
  out.assign(reinterpret_cast<const char*>(buf), size);
  jpeg_destroy_compress(&info);
  free(buf);
  return true;
}

QImage MagToImage(const mag::TMagImage& m) {
  QImage img(m.Width, m.Height, QImage::Format_Indexed8);
  if (img.isNull()) return img;
  QList<QRgb> table;
  for (uint32_t c : m.Palette) table.push_back(qRgb((c >> 16) & 255, (c >> 8) & 255, c & 255));
  img.setColorTable(table);
  for (int y = 0; y < m.Height; ++y) {
    std::memcpy(img.scanLine(y), m.Pixels.data() + size_t(m.Width) * y, size_t(m.Width));
  }
  return img;
}

mag::TMagImage ImageToMag(const QImage& src) {
  mag::TMagImage m;
  m.Is256Colors = true;
  QImage idx = src.format() == QImage::Format_Indexed8
                   ? src
                   : src.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  const int a = mag::UnitWidth(true);
  m.Width = (idx.width() + a - 1) / a * a;
  m.Height = idx.height();
  m.Pixels.assign(size_t(m.Width) * m.Height, 0);
  for (int y = 0; y < m.Height; ++y) {
    std::memcpy(m.Pixels.data() + size_t(m.Width) * y, idx.constScanLine(y), size_t(idx.width()));
  }
  const QList<QRgb> table = idx.colorTable();
  m.Palette.assign(256, 0);
  for (int i = 0; i < table.size() && i < 256; ++i) {
    m.Palette[i] = (uint32_t(qRed(table[i])) << 16) | (qGreen(table[i]) << 8) | qBlue(table[i]);
  }
  return m;
}

bool ReadMag(std::string_view data, QImage& out, std::string& error) {
  mag::TMagImage m;
  if (!mag::Decode(Bytes(data), data.size(), m, error)) return false;
  out = MagToImage(m);
  if (out.isNull()) return (error = "out of memory"), false;
  return true;
}

bool WriteMag(const QImage& img, std::string& out, std::string& error) {
  if (img.isNull()) return (error = "MAG invaild operation:not have DIB"), false;
  return mag::Encode(ImageToMag(img), out, error);
}

bool CheckBmp(std::string_view data, std::string& error) {
  const unsigned char* d = Bytes(data);
  if (data.size() < 18 || d[0] != 'B' || d[1] != 'M') return (error = "not a BMP file"), false;
  size_t pixelBytes = 0;
  if (!DibFits(d + 14, data.size() - 14, pixelBytes, error)) return false;
  const uint32_t off = Le32(d + 10);
  if (off > data.size() || pixelBytes > data.size() - off)
    return (error = "BMP data shorter than its header says"), false;
  return true;
}

bool CheckIco(std::string_view data, std::string& error) {
  const unsigned char* d = Bytes(data);
  if (data.size() < 6 || Le16(d) != 0 || (Le16(d + 2) != 1 && Le16(d + 2) != 2))
    return (error = "not an ICO file"), false;
  const size_t count = Le16(d + 4);
  if (count == 0 || 6 + 16 * count > data.size())
    return (error = "ICO directory out of range"), false;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* e = d + 6 + 16 * i;
    const uint64_t size = Le32(e + 8), off = Le32(e + 12);
    if (off < 6 + 16 * count || off + size > data.size() || size < 8)
      return (error = "ICO image out of range"), false;
    const unsigned char* img = d + off;
    if (std::memcmp(img, "\x89PNG", 4) == 0) continue;
    size_t pixelBytes = 0;
    if (!DibFits(img, size, pixelBytes, error)) return false;
    // The height counts the colour picture and the mask: only the colour half must be there.
    const uint32_t dib = Le32(img);
    if (dib >= 40 && pixelBytes / 2 > size - dib) return (error = "ICO image out of range"), false;
  }
  return true;
}

TDrawStatus DecodePicture(std::string_view data, const std::string& ext, QImage& out,
                          std::string& error) {
  bool ok;
  if (ext == "png") {
    ok = ReadPng(data, out, error);
  } else if (ext == "jpg" || ext == "jpeg") {
    ok = ReadJpeg(data, out, error);
  } else if (ext == "mag") {
    ok = ReadMag(data, out, error);
  } else if (ext == "bmp" || ext == "ico" || ext == "icon") {
    const bool bmp = ext == "bmp";
    ok = bmp ? CheckBmp(data, error) : CheckIco(data, error);
    if (ok) {
      QImage img;
      ok = img.loadFromData(reinterpret_cast<const uchar*>(data.data()), int(data.size()),
                            bmp ? "BMP" : "ICO");
      if (!ok) error = bmp ? "BMP decode error" : "ICO decode error";
      out = std::move(img);
    }
  } else {
    const std::vector<std::string> extra = ExtraReadableFormats();
    if (std::find(extra.begin(), extra.end(), ext) == extra.end()) return TDrawStatus::Unsupported;
    QByteArray bytes = QByteArray::fromRawData(data.data(), qsizetype(data.size()));
    QBuffer buf(&bytes);
    QImageReader reader(&buf, QByteArray::fromStdString(ext));
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)));
    ok = reader.read(&out);
    if (!ok) error = reader.errorString().toStdString();
  }
  return ok ? TDrawStatus::Ok : TDrawStatus::Failed;
}

TDrawStatus LoadPictureFile(const std::string& sysPath, const std::string& ext, QImage& out,
                            std::string& error) {
  std::string data;
  if (!ReadWhole(sysPath, data)) return TDrawStatus::CannotOpen;
  return DecodePicture(data, ext, out, error);
}

TDrawStatus EncodePicture(const QImage& img, const std::string& ext, int quality, std::string& out,
                          std::string& error) {
  bool ok;
  if (ext == "png") {
    ok = WritePng(img, out, error);
  } else if (ext == "jpg" || ext == "jpeg") {
    ok = WriteJpeg(img, quality, out, error);
  } else if (ext == "mag") {
    ok = WriteMag(img, out, error);
  } else if (ext == "bmp" || ext == "ico" || ext == "icon") {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, ext == "bmp" ? "BMP" : "ICO");
    const QImage pic = ext == "bmp" ? img.convertToFormat(QImage::Format_RGB888) : img;
    ok = writer.write(pic);
    if (!ok) error = writer.errorString().toStdString();
    out.assign(bytes.constData(), size_t(bytes.size()));
  } else {
    return TDrawStatus::Unsupported;
  }
  return ok ? TDrawStatus::Ok : TDrawStatus::Failed;
}

std::vector<std::string> ExtraReadableFormats() {
  static const std::vector<std::string> formats = [] {
    const std::set<std::string> own = {"bmp", "ico", "jpg", "jpeg", "png", "mag"};
    std::set<std::string> found;
    for (const QByteArray& f : QImageReader::supportedImageFormats()) {
      std::string s = f.toLower().toStdString();
      if (!own.count(s)) found.insert(s);
    }
    return std::vector<std::string>(found.begin(), found.end());
  }();
  return formats;
}

}  // namespace yume
