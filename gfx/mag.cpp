#include "gfx/mag.h"

#include <algorithm>
#include <cstring>

namespace yume::mag {

namespace {

constexpr char kSignature[] = "MAKI02  ";
constexpr char kMachine[] = "zynP";
constexpr char kNotMag[] = "MAG image error:is not MAG.";
constexpr char kRangeOver[] = "MAG image error:range over";
constexpr char kOpRangeOver[] = "MAG invaild operation:range over";
constexpr char kNoDib[] = "MAG invaild operation:not have DIB";

// Copy vectors of the position codes, in pixel units (two bytes) to the left and rows up.
constexpr int kDx[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr int kDy[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

uint32_t Le16(const uint8_t* p) {
  return p[0] | (p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
void Put16(uint8_t* p, uint32_t v) {
  p[0] = v & 0xFF;
  p[1] = (v >> 8) & 0xFF;
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

// A window of the file that refuses reads past its end.
struct TReader {
  const uint8_t* p;
  size_t pos, end;
  bool Byte(uint8_t& b) {
    if (pos >= end) return false;
    b = p[pos++];
    return true;
  }
};

// The packed rows: each unit two bytes, each row w / a * 4 bytes.
bool Unpack(const std::vector<uint8_t>& packed, size_t rowBytes, TMagImage& out) {
  out.Pixels.resize(size_t(out.Width) * out.Height);
  uint8_t* dst = out.Pixels.data();
  for (int y = 0; y < out.Height; ++y) {
    const uint8_t* row = packed.data() + rowBytes * y;
    if (out.Is256Colors) {
      std::memcpy(dst, row, out.Width);
      dst += out.Width;
    } else {
      for (size_t i = 0; i < rowBytes; ++i) {
        *dst++ = row[i] >> 4;
        *dst++ = row[i] & 0x0F;
      }
    }
  }
  return true;
}

}  // namespace

bool Decode(const uint8_t* data, size_t size, TMagImage& out, std::string& error) {
  out = TMagImage();
  if (size < 32 || std::memcmp(data, kSignature, 8) != 0) {
    error = kNotMag;
    return false;
  }
  const void* term = std::memchr(data + 32, 0x1A, size - 32);
  if (!term) {
    error = kRangeOver;
    return false;
  }
  const size_t commentEnd = static_cast<const uint8_t*>(term) - data;
  const size_t h0 = commentEnd + 1;
  if (size - h0 < 32) {
    error = kRangeOver;
    return false;
  }
  const uint8_t* hd = data + h0;
  out.Comment.assign(reinterpret_cast<const char*>(data + 32), commentEnd - 32);
  out.UserName.assign(reinterpret_cast<const char*>(data + 13), 18);
  out.ScreenModeBit0 = hd[3] & 1;
  out.Is256Colors = hd[3] & 0x80;
  const int a = UnitWidth(out.Is256Colors);
  const int xs = Le16(hd + 4), ys = Le16(hd + 6), xe = Le16(hd + 8), ye = Le16(hd + 10);
  out.OriginX = xs - xs % a;
  out.OriginY = ys;
  if (xe < xs || ye < ys) {
    error = kRangeOver;
    return false;
  }
  out.Width = (xe - xe % a) + a - (xs - xs % a);
  out.Height = ye - ys + 1;
  if (int64_t(out.Width) * out.Height > kMaxPixels) {
    error = kRangeOver;
    return false;
  }
  const size_t colours = out.Is256Colors ? 256 : 16;
  if (size - h0 - 32 < colours * 3) {
    error = kRangeOver;
    return false;
  }
  const uint8_t* pal = hd + 32;
  out.Palette.resize(colours);
  for (size_t i = 0; i < colours; ++i) {
    out.Palette[i] = (uint32_t(pal[i * 3 + 1]) << 16) | (pal[i * 3] << 8) | pal[i * 3 + 2];
  }
  // Each stream is read only inside the file and, where the header gives one, inside its size.
  const uint64_t offA = h0 + uint64_t(Le32(hd + 12));
  const uint64_t offB = h0 + uint64_t(Le32(hd + 16));
  const uint64_t endB = offB + Le32(hd + 20);
  const uint64_t offP = h0 + uint64_t(Le32(hd + 24));
  const uint64_t endP = offP + Le32(hd + 28);
  if (offA > size || endB > size || endP > size) {
    error = kRangeOver;
    return false;
  }
  TReader flagA{data, size_t(offA), size};
  TReader flagB{data, size_t(offB), size_t(endB)};
  TReader pixels{data, size_t(offP), size_t(endP)};

  const size_t flagsPerRow = out.Width / a;
  const size_t rowBytes = flagsPerRow * 4;
  std::vector<uint8_t> packed(rowBytes * out.Height);
  std::vector<uint8_t> line(flagsPerRow, 0);
  uint8_t aByte = 0, mask = 0;
  for (int y = 0; y < out.Height; ++y) {
    uint8_t* row = packed.data() + rowBytes * y;
    for (size_t i = 0; i < flagsPerRow; ++i) {
      if (mask == 0) {
        if (!flagA.Byte(aByte)) {
          error = kRangeOver;
          return false;
        }
        mask = 0x80;
      }
      if (aByte & mask) {
        uint8_t b;
        if (!flagB.Byte(b)) {
          error = kRangeOver;
          return false;
        }
        line[i] ^= b;
      }
      mask >>= 1;
      for (int half = 0; half < 2; ++half) {
        const int code = half == 0 ? line[i] >> 4 : line[i] & 0x0F;
        const int64_t unit = int64_t(2 * i) + half;
        uint8_t* dst = row + unit * 2;
        if (code == 0) {
          if (!pixels.Byte(dst[0]) || !pixels.Byte(dst[1])) {
            error = kRangeOver;
            return false;
          }
        } else {
          const int64_t su = unit - kDx[code], sy = int64_t(y) - kDy[code];
          if (su < 0 || sy < 0) {
            error = kRangeOver;
            return false;
          }
          const uint8_t* src = packed.data() + rowBytes * sy + su * 2;
          dst[0] = src[0];
          dst[1] = src[1];
        }
      }
    }
  }
  return Unpack(packed, rowBytes, out);
}

bool Encode(const TMagImage& img, std::string& out, std::string& error) {
  const int a = UnitWidth(img.Is256Colors);
  const int w = img.Width, h = img.Height;
  if (w <= 0 || h <= 0 || img.Pixels.size() != size_t(w) * h) {
    error = kNoDib;
    return false;
  }
  if (w % a != 0 || img.OriginX < 0 || img.OriginY < 0 || int64_t(w) + img.OriginX > 65536 ||
      int64_t(h) + img.OriginY > 65536) {
    error = kOpRangeOver;
    return false;
  }
  const size_t colours = img.Is256Colors ? 256 : 16;
  const size_t flagsPerRow = w / a;
  const size_t rowBytes = flagsPerRow * 4;
  // Pack the indexes into units: two 4-bit pixels a byte, or one 8-bit pixel a byte.
  std::vector<uint8_t> packed(rowBytes * h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = img.Pixels.data() + size_t(w) * y;
    uint8_t* dst = packed.data() + rowBytes * y;
    if (img.Is256Colors) {
      std::memcpy(dst, src, w);
    } else {
      for (size_t i = 0; i < rowBytes; ++i)
        dst[i] = ((src[2 * i] & 15) << 4) | (src[2 * i + 1] & 15);
    }
  }
  auto unitAt = [&](int64_t y, int64_t u) { return Le16(packed.data() + rowBytes * y + u * 2); };
  auto fits = [&](int code, int64_t y, int64_t u, uint32_t v) {
    return y - kDy[code] >= 0 && u - kDx[code] >= 0 && unitAt(y - kDy[code], u - kDx[code]) == v;
  };

  const size_t n = flagsPerRow * h;
  size_t flagASize = (n + 7) / 8;
  if (flagASize % 2) ++flagASize;
  std::string flagA(flagASize, '\0'), flagB, pixelData;
  std::vector<uint8_t> prev(flagsPerRow, 0);
  size_t bit = 0;
  for (int y = 0; y < h; ++y) {
    for (size_t i = 0; i < flagsPerRow; ++i, ++bit) {
      int codes[2];
      for (int half = 0; half < 2; ++half) {
        const int64_t u = int64_t(2 * i) + half;
        const uint32_t v = unitAt(y, u);
        const int preferred = half == 0 ? prev[i] >> 4 : prev[i] & 15;
        int code = 0;
        if (preferred != 0 && fits(preferred, y, u, v)) {
          code = preferred;
        } else {
          for (int c = 1; c < 16; ++c) {
            if (fits(c, y, u, v)) {
              code = c;
              break;
            }
          }
        }
        if (code == 0) {
          pixelData += char(v & 0xFF);
          pixelData += char(v >> 8);
        }
        codes[half] = code;
      }
      const uint8_t flag = uint8_t(codes[0] * 16 + codes[1]);
      const uint8_t d = prev[i] ^ flag;
      prev[i] = flag;
      if (d != 0) {
        flagA[bit / 8] |= char(0x80 >> (bit % 8));
        flagB += char(d);
      }
    }
  }
  if (flagB.size() % 2) flagB += '\0';

  uint8_t lead[32];
  std::memset(lead, ' ', sizeof lead);
  std::memcpy(lead, kSignature, 8);
  std::memcpy(lead + 8, kMachine, 4);
  // The user name fills its 18 bytes, cut where a two-byte character would not fit.
  size_t nameLen = 0;
  while (nameLen < img.UserName.size()) {
    const unsigned char c = img.UserName[nameLen];
    const size_t len = ((c >= 0x81 && c <= 0x9F) || c >= 0xE0) ? 2 : 1;
    if (nameLen + len > 18) break;
    nameLen += len;
  }
  std::memcpy(lead + 13, img.UserName.data(), std::min<size_t>(nameLen, img.UserName.size()));

  std::string comment;
  for (char c : img.Comment) {
    if (c != 0x1A) comment += c;
  }
  // An even comment makes the header start at an even position.
  if (comment.size() % 2 == 0) comment += ' ';

  uint8_t hd[32] = {};
  hd[3] = (img.Is256Colors ? 0x80 : 0) | (img.ScreenModeBit0 ? 1 : 0);
  Put16(hd + 4, img.OriginX);
  Put16(hd + 6, img.OriginY);
  Put16(hd + 8, img.OriginX + w - 1);
  Put16(hd + 10, img.OriginY + h - 1);
  const uint32_t offA = 32 + colours * 3;
  const uint32_t offB = offA + flagA.size();
  const uint32_t offP = offB + flagB.size();
  Put32(hd + 12, offA);
  Put32(hd + 16, offB);
  Put32(hd + 20, flagB.size());
  Put32(hd + 24, offP);
  Put32(hd + 28, pixelData.size());

  out.clear();
  out.reserve(64 + comment.size() + colours * 3 + flagA.size() + flagB.size() + pixelData.size());
  out.append(reinterpret_cast<const char*>(lead), 32);
  out += comment;
  out += char(0x1A);
  out.append(reinterpret_cast<const char*>(hd), 32);
  for (size_t i = 0; i < colours; ++i) {
    const uint32_t c = i < img.Palette.size() ? img.Palette[i] : 0;
    out += char((c >> 8) & 0xFF);
    out += char((c >> 16) & 0xFF);
    out += char(c & 0xFF);
  }
  out += flagA;
  out += flagB;
  out += pixelData;
  return true;
}

}  // namespace yume::mag
