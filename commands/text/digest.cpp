// Digests: the libraries where they compute exactly the published algorithm, one table for the
// CRC-16 no library offers.
#include "commands/text/digest.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <new>

namespace yume {

std::array<unsigned char, 16> Md5(std::string_view data) {
  std::array<unsigned char, 16> out{};
  unsigned int len = 0;
  // The one-shot form streams the whole input through the library's assembly code; it fails
  // only when the allocator does.
  if (!EVP_Digest(data.data(), data.size(), out.data(), &len, EVP_md5(), nullptr) ||
      len != out.size())
    throw std::bad_alloc();
  return out;
}

std::string Md5Hex(std::string_view data) {
  static constexpr char kHex[] = "0123456789abcdef";
  const auto d = Md5(data);
  std::string s(32, '0');
  for (size_t i = 0; i < d.size(); ++i) {
    s[2 * i] = kHex[d[i] >> 4];
    s[2 * i + 1] = kHex[d[i] & 15];
  }
  return s;
}

namespace {

// Eight tables: T[0] is the byte-at-a-time table of the reflected polynomial (0x8005 -> 0xA001);
// T[k] advances a byte through k further zero bytes, so eight bytes are taken per step.
struct TCrc16Tables {
  uint16_t T[8][256];
  constexpr TCrc16Tables() : T() {
    for (unsigned n = 0; n < 256; ++n) {
      unsigned c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
      T[0][n] = static_cast<uint16_t>(c);
    }
    for (int k = 1; k < 8; ++k)
      for (unsigned n = 0; n < 256; ++n)
        T[k][n] = static_cast<uint16_t>((T[k - 1][n] >> 8) ^ T[0][T[k - 1][n] & 0xFF]);
  }
};
constexpr TCrc16Tables kCrc16;

}  // namespace

uint16_t Crc16Arc(std::string_view data) {
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  size_t n = data.size();
  const auto& t = kCrc16.T;
  unsigned crc = 0;
  for (; n >= 8; n -= 8, p += 8) {
    const unsigned x = crc ^ (p[0] | p[1] << 8);
    crc = t[7][x & 0xFF] ^ t[6][x >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
          t[1][p[6]] ^ t[0][p[7]];
  }
  for (; n; --n, ++p) crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
  return static_cast<uint16_t>(crc);
}

uint32_t Crc32(std::string_view data) {
  // crc32_z takes a size_t length, so texts of 4 GiB and more need no splitting.
  return static_cast<uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
}

}  // namespace yume
