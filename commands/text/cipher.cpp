// The stream cipher of enciphered text files and packed entries, and the password cipher.
#include "commands/text/cipher.h"

#include <cstring>
#include <limits>

#include "commands/text/digest.h"

namespace yume {

// Compiled as CP932: "森林7qwRTK5#%8霧26ミhGテX~?ロ" and "<ねこ#みみ～?>>>".
static const char kFileKeyBytes[] = "森林7qwRTK5#%8霧26ミhGテX~?ロ";
static const char kPackKeyBytes[] = "<ねこ#みみ～?>>>";
const std::string_view kCipherFileKey(kFileKeyBytes, sizeof kFileKeyBytes - 1);
const std::string_view kCipherPackKey(kPackKeyBytes, sizeof kPackKeyBytes - 1);

// ---- keystream ----

TCipher::TKeystream::TKeystream(uint32_t seed) : index_(624) {
  mt_[0] = seed & 0x7FFFFFFFu;
  // Only the low byte of the previous word is multiplied: this seeding is part of the file
  // format, so it stays even though the textbook form multiplies the whole word.
  for (size_t i = 1; i < 624; ++i) mt_[i] = (mt_[i - 1] & 0xFFu) * 69069u;
}

void TCipher::TKeystream::Regenerate() {
  constexpr uint32_t kUpper = 0x80000000u, kLower = 0x7FFFFFFFu, kMatrix = 0x9908B0DFu;
  constexpr size_t kN = 624, kM = 397;
  auto twist = [&](size_t k, size_t next, size_t far) {
    const uint32_t y = (mt_[k] & kUpper) | (mt_[next] & kLower);
    mt_[k] = mt_[far] ^ (y >> 1) ^ ((y & 1) ? kMatrix : 0);
  };
  // The textbook recurrence with indices taken modulo 624, split where they wrap.
  size_t k = 0;
  for (; k < kN - kM; ++k) twist(k, k + 1, k + kM);
  for (; k < kN - 1; ++k) twist(k, k + 1, k + kM - kN);
  twist(kN - 1, 0, kM - 1);
  index_ = 0;
}

namespace {

inline uint32_t Temper(uint32_t y) {
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

}  // namespace

size_t TCipher::TKeystream::NextBytes(unsigned char* out, size_t n) {
  if (index_ >= 624) Regenerate();
  if (n > 624 - index_) n = 624 - index_;
  const uint32_t* w = mt_.data() + index_;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(Temper(w[i]) >> 24);
  index_ += n;
  return n;
}

// ---- the cipher stream ----

TCipher::TCipher() : stream_(kSeed) {}

void TCipher::Write(std::string_view bytes) {
  const size_t end = pos_ + bytes.size();
  if (end > buf_.size()) buf_.resize(end);
  if (!bytes.empty()) std::memcpy(buf_.data() + pos_, bytes.data(), bytes.size());
  pos_ = end;
}

void TCipher::WriteInt32(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  const char b[4] = {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                     static_cast<char>(u >> 24)};
  Write(std::string_view(b, 4));
}

std::string TCipher::Read(size_t n) {
  if (n > Remaining()) n = Remaining();
  std::string out = buf_.substr(pos_, n);
  pos_ += n;
  return out;
}

bool TCipher::ReadInt32(int32_t& v) {
  if (Remaining() < 4) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(buf_.data() + pos_);
  v = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                           uint32_t{p[3]} << 24);
  pos_ += 4;
  return true;
}

void TCipher::Load(std::string bytes) {
  buf_ = std::move(bytes);
  pos_ = 0;
}

std::string TCipher::TakeBytes() {
  pos_ = 0;
  return std::move(buf_);
}

void TCipher::ApplyKey(std::string_view key) {
  auto* b = reinterpret_cast<unsigned char*>(buf_.data());
  const size_t n = buf_.size();
  // The keystream is drawn a generator block at a time (up to 624 bytes), and the key is laid
  // out repeated past a block's length, so both XORs run as straight loops the compiler can
  // vectorise: the key of byte i + t is keyRun[j + t].
  const size_t kn = key.size();
  std::string keyRun;
  if (kn) {
    keyRun.reserve(624 + 2 * kn);
    while (keyRun.size() < 624 + kn) keyRun.append(key);
  }
  const auto* kr = reinterpret_cast<const unsigned char*>(keyRun.data());
  unsigned char ks[624];
  for (size_t i = 0, j = 0; i < n;) {
    const size_t m = stream_.NextBytes(ks, n - i);
    if (kn) {
      for (size_t t = 0; t < m; ++t) b[i + t] ^= ks[t] ^ kr[j + t];
      j = (j + m) % kn;
    } else {
      for (size_t t = 0; t < m; ++t) b[i + t] ^= ks[t];
    }
    i += m;
  }
}

bool EncipherTextFile(std::string_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  if (text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  TCipher c;
  c.WriteInt32(static_cast<int32_t>(text.size()));
  c.Write(text);
  c.ApplyKey(kCipherFileKey);
  out = c.TakeBytes();
  return true;
}

bool DecipherTextFile(std::string data, std::string& text) {
  TCipher c;
  c.Load(std::move(data));
  c.ApplyKey(kCipherFileKey);
  int32_t n = 0;
  if (!c.ReadInt32(n) || n < 0 || static_cast<size_t>(n) > c.Remaining()) return false;
  // The text is the buffer less its first four bytes: moved down in place, not copied out.
  text = c.TakeBytes();
  text.erase(0, 4);
  text.resize(static_cast<size_t>(n));
  return true;
}

// ---- RC2 (RFC 2268) ----

namespace {

// PITABLE of RFC 2268 section 2: a permutation of 0..255 from the digits of pi.
constexpr unsigned char kPiTable[256] = {
    0xd9, 0x78, 0xf9, 0xc4, 0x19, 0xdd, 0xb5, 0xed, 0x28, 0xe9, 0xfd, 0x79, 0x4a, 0xa0, 0xd8, 0x9d,
    0xc6, 0x7e, 0x37, 0x83, 0x2b, 0x76, 0x53, 0x8e, 0x62, 0x4c, 0x64, 0x88, 0x44, 0x8b, 0xfb, 0xa2,
    0x17, 0x9a, 0x59, 0xf5, 0x87, 0xb3, 0x4f, 0x13, 0x61, 0x45, 0x6d, 0x8d, 0x09, 0x81, 0x7d, 0x32,
    0xbd, 0x8f, 0x40, 0xeb, 0x86, 0xb7, 0x7b, 0x0b, 0xf0, 0x95, 0x21, 0x22, 0x5c, 0x6b, 0x4e, 0x82,
    0x54, 0xd6, 0x65, 0x93, 0xce, 0x60, 0xb2, 0x1c, 0x73, 0x56, 0xc0, 0x14, 0xa7, 0x8c, 0xf1, 0xdc,
    0x12, 0x75, 0xca, 0x1f, 0x3b, 0xbe, 0xe4, 0xd1, 0x42, 0x3d, 0xd4, 0x30, 0xa3, 0x3c, 0xb6, 0x26,
    0x6f, 0xbf, 0x0e, 0xda, 0x46, 0x69, 0x07, 0x57, 0x27, 0xf2, 0x1d, 0x9b, 0xbc, 0x94, 0x43, 0x03,
    0xf8, 0x11, 0xc7, 0xf6, 0x90, 0xef, 0x3e, 0xe7, 0x06, 0xc3, 0xd5, 0x2f, 0xc8, 0x66, 0x1e, 0xd7,
    0x08, 0xe8, 0xea, 0xde, 0x80, 0x52, 0xee, 0xf7, 0x84, 0xaa, 0x72, 0xac, 0x35, 0x4d, 0x6a, 0x2a,
    0x96, 0x1a, 0xd2, 0x71, 0x5a, 0x15, 0x49, 0x74, 0x4b, 0x9f, 0xd0, 0x5e, 0x04, 0x18, 0xa4, 0xec,
    0xc2, 0xe0, 0x41, 0x6e, 0x0f, 0x51, 0xcb, 0xcc, 0x24, 0x91, 0xaf, 0x50, 0xa1, 0xf4, 0x70, 0x39,
    0x99, 0x7c, 0x3a, 0x85, 0x23, 0xb8, 0xb4, 0x7a, 0xfc, 0x02, 0x36, 0x5b, 0x25, 0x55, 0x97, 0x31,
    0x2d, 0x5d, 0xfa, 0x98, 0xe3, 0x8a, 0x92, 0xae, 0x05, 0xdf, 0x29, 0x10, 0x67, 0x6c, 0xba, 0xc9,
    0xd3, 0x00, 0xe6, 0xcf, 0xe1, 0x9e, 0xa8, 0x2c, 0x63, 0x16, 0x01, 0x3f, 0x58, 0xe2, 0x89, 0xa9,
    0x0d, 0x38, 0x34, 0x1b, 0xab, 0x33, 0xff, 0xb0, 0xbb, 0x48, 0x0c, 0x5f, 0xb9, 0xb1, 0xcd, 0x2e,
    0xc5, 0xf3, 0xdb, 0x47, 0xe5, 0xa5, 0x9c, 0x77, 0x0a, 0xa6, 0x20, 0x68, 0xfe, 0x7f, 0xc1, 0xad,
};

constexpr int kShift[4] = {1, 2, 3, 5};

inline uint16_t Rol(uint16_t x, int s) {
  return static_cast<uint16_t>((x << s) | (x >> (16 - s)));
}
inline uint16_t Ror(uint16_t x, int s) {
  return static_cast<uint16_t>((x >> s) | (x << (16 - s)));
}

}  // namespace

TRc2::TRc2(std::string_view key, int effectiveBits) {
  unsigned char l[128] = {};
  const size_t t = key.size() < 128 ? key.size() : 128;
  std::memcpy(l, key.data(), t);
  for (size_t i = t; i < 128; ++i) l[i] = kPiTable[(l[i - 1] + l[i - t]) & 0xFF];
  const int t8 = (effectiveBits + 7) / 8;
  const unsigned tm = 0xFFu >> (8 * t8 - effectiveBits);
  l[128 - t8] = kPiTable[l[128 - t8] & tm];
  for (int i = 127 - t8; i >= 0; --i) l[i] = kPiTable[l[i + 1] ^ l[i + t8]];
  for (int i = 0; i < 64; ++i) k_[i] = static_cast<uint16_t>(l[2 * i] | l[2 * i + 1] << 8);
}

void TRc2::EncryptBlock(const unsigned char in[8], unsigned char out[8]) const {
  uint16_t r[4];
  for (int i = 0; i < 4; ++i) r[i] = static_cast<uint16_t>(in[2 * i] | in[2 * i + 1] << 8);
  int j = 0;
  auto mix = [&] {
    for (int i = 0; i < 4; ++i) {
      const uint16_t a = r[(i + 3) & 3], b = r[(i + 2) & 3], c = r[(i + 1) & 3];
      r[i] = Rol(static_cast<uint16_t>(r[i] + k_[j++] + (a & b) + (~a & c)), kShift[i]);
    }
  };
  auto mash = [&] {
    for (int i = 0; i < 4; ++i) r[i] = static_cast<uint16_t>(r[i] + k_[r[(i + 3) & 3] & 63]);
  };
  for (int n = 0; n < 5; ++n) mix();
  mash();
  for (int n = 0; n < 6; ++n) mix();
  mash();
  for (int n = 0; n < 5; ++n) mix();
  for (int i = 0; i < 4; ++i) {
    out[2 * i] = static_cast<unsigned char>(r[i]);
    out[2 * i + 1] = static_cast<unsigned char>(r[i] >> 8);
  }
}

void TRc2::DecryptBlock(const unsigned char in[8], unsigned char out[8]) const {
  uint16_t r[4];
  for (int i = 0; i < 4; ++i) r[i] = static_cast<uint16_t>(in[2 * i] | in[2 * i + 1] << 8);
  int j = 63;
  auto rmix = [&] {
    for (int i = 3; i >= 0; --i) {
      const uint16_t a = r[(i + 3) & 3], b = r[(i + 2) & 3], c = r[(i + 1) & 3];
      r[i] = static_cast<uint16_t>(Ror(r[i], kShift[i]) - k_[j--] - (a & b) - (~a & c));
    }
  };
  auto rmash = [&] {
    for (int i = 3; i >= 0; --i) r[i] = static_cast<uint16_t>(r[i] - k_[r[(i + 3) & 3] & 63]);
  };
  for (int n = 0; n < 5; ++n) rmix();
  rmash();
  for (int n = 0; n < 6; ++n) rmix();
  rmash();
  for (int n = 0; n < 5; ++n) rmix();
  for (int i = 0; i < 4; ++i) {
    out[2 * i] = static_cast<unsigned char>(r[i]);
    out[2 * i + 1] = static_cast<unsigned char>(r[i] >> 8);
  }
}

// ---- the password cipher ----

namespace {

constexpr size_t kBlock = 8;

// A 40-bit key from the hash, padded with 11 zero bytes of salt to 16 bytes; RC2 then reduces
// it to 40 effective bits.
TRc2 PasswordKey(std::string_view password) {
  const auto h = Md5(password);
  char key[16] = {};
  std::memcpy(key, h.data(), 5);
  return TRc2(std::string_view(key, sizeof key), 40);
}

}  // namespace

std::string PasswordEncrypt(std::string_view data, std::string_view password) {
  const TRc2 rc2 = PasswordKey(password);
  const size_t pad = kBlock - data.size() % kBlock;  // 1 to 8: a whole block when aligned
  std::string out(data.size() + pad, '\0');
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  std::memcpy(o, data.data(), data.size());
  std::memset(o + data.size(), static_cast<int>(pad), pad);
  unsigned char chain[kBlock] = {};  // zero IV
  for (size_t at = 0; at < out.size(); at += kBlock) {
    for (size_t i = 0; i < kBlock; ++i) o[at + i] ^= chain[i];
    rc2.EncryptBlock(o + at, o + at);
    std::memcpy(chain, o + at, kBlock);
  }
  return out;
}

bool PasswordDecrypt(std::string_view data, std::string_view password, std::string& out) {
  if (data.empty() || data.size() % kBlock) return false;
  const TRc2 rc2 = PasswordKey(password);
  std::string plain(data.size(), '\0');
  const auto* in = reinterpret_cast<const unsigned char*>(data.data());
  auto* p = reinterpret_cast<unsigned char*>(plain.data());
  const unsigned char* chain = nullptr;
  for (size_t at = 0; at < data.size(); at += kBlock) {
    rc2.DecryptBlock(in + at, p + at);
    if (chain)
      for (size_t i = 0; i < kBlock; ++i) p[at + i] ^= chain[i];
    chain = in + at;
  }
  const unsigned pad = p[plain.size() - 1];
  if (pad == 0 || pad > kBlock) return false;
  for (size_t i = plain.size() - pad; i < plain.size(); ++i)
    if (p[i] != pad) return false;
  plain.resize(plain.size() - pad);
  out = std::move(plain);
  return true;
}

}  // namespace yume
