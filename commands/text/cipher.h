// The program's own stream cipher (TCipher), which enciphers the text files of 暗号化して保存
// and the enciphered entries of packed files, and the password cipher of 暗号化 / 復号化 (RC2
// keyed from an MD5 hash of the password). Nothing here knows the interpreter.
//
// Every byte TCipher writes depends on the exact keystream, the seed and the keys below: files
// and packed entries are exchangeable only while all three stay as they are.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace yume {

// The key of 暗号化して保存 / 暗号解除して読込 (29 bytes of CP932).
extern const std::string_view kCipherFileKey;
// The key of enciphered entries in packed files (16 bytes of CP932).
extern const std::string_view kCipherPackKey;

// A growable byte buffer with a position, plus ApplyKey. Each object starts its keystream from
// the fixed seed, so ApplyKey on a fresh object is its own inverse and enciphering the same
// bytes always gives the same result.
class TCipher {
 public:
  // The seed of the keystream: the generator's classic default. Fixed for good (see above).
  static constexpr uint32_t kSeed = 4357;

  TCipher();

  // Writes at the position (overwriting, growing the buffer as needed) and moves past.
  void Write(std::string_view bytes);
  void WriteInt32(int32_t v);  // little-endian
  // Reads up to n bytes from the position; fewer at the end.
  std::string Read(size_t n);
  // Reads 4 bytes little-endian; false (position unchanged) when fewer remain.
  bool ReadInt32(int32_t& v);

  size_t Position() const { return pos_; }
  void Seek(size_t pos) { pos_ = pos < buf_.size() ? pos : buf_.size(); }
  size_t Size() const { return buf_.size(); }
  size_t Remaining() const { return buf_.size() - pos_; }
  const std::string& Bytes() const { return buf_; }
  // Takes over a whole buffer (a file just read), position 0.
  void Load(std::string bytes);
  // Hands the buffer over; the cipher is left empty.
  std::string TakeBytes();

  // b[i] ^= key[i mod key length] ^ (next keystream byte) for every byte of the buffer, from 0;
  // one keystream byte per buffer byte. An empty key leaves the key term out.
  void ApplyKey(std::string_view key);

 private:
  // Mersenne Twister MT19937 with this cipher's seeding: only the low byte of each word enters
  // the next one (mt[i] = (mt[i-1] & 0xFF) * 69069).
  class TKeystream {
   public:
    explicit TKeystream(uint32_t seed);
    // The next keystream bytes, at most n and at most to the end of the generator's block;
    // returns how many were written (at least 1 when n > 0). A keystream byte is the top byte
    // of the tempered word (floor(y / 2^32 * 256)).
    size_t NextBytes(unsigned char* out, size_t n);

   private:
    void Regenerate();
    std::array<uint32_t, 624> mt_;
    size_t index_;
  };

  std::string buf_;
  size_t pos_ = 0;
  TKeystream stream_;
};

// The enciphered text file: the length (4 bytes, little-endian, signed) and the text, all
// through ApplyKey(kCipherFileKey). An empty text is an empty file. False when the text is too
// long for the length field.
bool EncipherTextFile(std::string_view text, std::string& out);
// The text back from such a file; false when the file is shorter than its length field, the
// field is negative, or the field asks for more bytes than follow it.
bool DecipherTextFile(std::string data, std::string& text);

// RC2 (RFC 2268) on 8-byte blocks.
class TRc2 {
 public:
  // key: 1 to 128 bytes; effectiveBits: 1 to 1024.
  TRc2(std::string_view key, int effectiveBits);
  void EncryptBlock(const unsigned char in[8], unsigned char out[8]) const;
  void DecryptBlock(const unsigned char in[8], unsigned char out[8]) const;

 private:
  uint16_t k_[64];
};

// The password cipher of 暗号化 / 復号化: RC2 in CBC mode with a zero IV and PKCS #5 padding,
// keyed with the first 5 bytes of MD5(password) followed by 11 zero bytes of salt, effective key
// length 40 bits (a 40-bit key derived from an MD5 hash by the usual Windows service). An empty
// password is a password like any other.
std::string PasswordEncrypt(std::string_view data, std::string_view password);
// False when the data is no whole number of blocks (or empty) or its padding is wrong (the
// usual sign of a wrong password).
bool PasswordDecrypt(std::string_view data, std::string_view password, std::string& out);

}  // namespace yume
