// The MAG picture format: 16 or 256 palette colours, pixel data compressed by copying two-byte
// pixel units from fixed positions to the left and above. The codec works on bytes and palette
// indexes only (no Qt), so that it can be tested and fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace yume::mag {

struct TMagImage {
  int Width = 0;  // a multiple of 8 (16 colours) or 4 (256 colours)
  int Height = 0;
  bool Is256Colors = false;
  bool ScreenModeBit0 = false;
  int OriginX = 0;  // rounded down to the unit when loaded
  int OriginY = 0;
  std::string Comment = "zyn's TMAGImage Ver 1.01";
  std::string UserName = ">?\?<";  // 18 bytes when loaded (blank-padded)
  std::vector<uint32_t> Palette;   // 16 or 256 entries, 0xRRGGBB
  std::vector<uint8_t> Pixels;     // Width * Height palette indexes, rows top to bottom
};

// Pixels per unit block: 8 for 16 colours, 4 for 256.
inline int UnitWidth(bool is256) {
  return is256 ? 4 : 8;
}

// The largest picture the decoder makes (pixels); a larger header is refused.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

// Decodes a whole file. Every size, offset and count of the header is checked against the data:
// a file that would be read past its end fails. error: "MAG image error:is not MAG." for a wrong
// signature, "MAG image error:range over" for anything out of bounds.
bool Decode(const uint8_t* data, size_t size, TMagImage& out, std::string& error);

// Encodes a picture (Width a multiple of the unit, Pixels Width * Height indexes below the
// palette size). error: "MAG invaild operation:not have DIB" without pixels, "MAG invaild
// operation:range over" when the size and origin do not fit the header.
bool Encode(const TMagImage& img, std::string& out, std::string& error);

}  // namespace yume::mag
