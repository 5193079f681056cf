#include "commands/text/cipher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "commands/text/digest.h"

using namespace yume;

namespace {

std::string Hex(std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

std::string Unhex(std::string_view h) {
  std::string out;
  for (size_t i = 0; i + 1 < h.size(); i += 2)
    out += static_cast<char>(std::stoi(std::string(h.substr(i, 2)), nullptr, 16));
  return out;
}

std::string AllBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

}  // namespace

// ---- digests ----

TEST(Digest, Md5MatchesRfc1321Suite) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567"
                   "890"),
            "57edf4a22be3c955ac49da2e2107b67a");
  // Shift_JIS bytes as they are, CR LF included.
  EXPECT_EQ(Md5Hex("表ソ\r\n"), "6452beb346036ffae3b8d9350b493106");
}

TEST(Digest, Crc16IsArc) {
  EXPECT_EQ(Crc16Arc(""), 0);
  EXPECT_EQ(Crc16Arc("123456789"), 0xBB3D);  // the catalogue's check value, 47933
  EXPECT_EQ(Crc16Arc("表ソ\r\n"), 2464);
  EXPECT_EQ(Crc16Arc(AllBytes()), 47827);
}

TEST(Digest, Crc32IsZlibs) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // 3421780262
  EXPECT_EQ(Crc32("表ソ\r\n"), 3468385739u);
  EXPECT_EQ(Crc32(AllBytes()), 688229491u);
}

TEST(Digest, LongInputsOfOddLength) {
  // 100,003 bytes: the CRC-16 takes eight bytes a step and the rest one by one.
  std::string s(100003, '\0');
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>(i * 7 + i / 256);
  EXPECT_EQ(Crc16Arc(s), 50489);
  EXPECT_EQ(Crc32(s), 191459366u);
  EXPECT_EQ(Md5Hex(s), "9f7b4af02bab2fc7d6156b7d503872fe");
}

// ---- the stream cipher ----

TEST(Cipher, KeysAreTheirCp932Bytes) {
  ASSERT_EQ(kCipherFileKey.size(), 29u);
  EXPECT_EQ(Hex(kCipherFileKey.substr(0, 2)), "9058");  // 森
  EXPECT_EQ(Hex(kCipherFileKey.substr(27)), "838d");    // ロ
  EXPECT_EQ(kCipherFileKey.substr(4, 10), "7qwRTK5#%8");
  ASSERT_EQ(kCipherPackKey.size(), 16u);
  EXPECT_EQ(Hex(kCipherPackKey.substr(10, 2)), "8160");  // ～ (full-width tilde)
  EXPECT_EQ(kCipherPackKey.substr(12), "?>>>");
}

TEST(Cipher, KeystreamIsFixed) {
  // With no key, ApplyKey on zeros shows the keystream itself: its first bytes, and bytes
  // beyond the first regeneration of the generator (624 words), as a separate model of the
  // generator computed them.
  TCipher c;
  c.Write(std::string(8, '\0'));
  c.ApplyKey("");
  EXPECT_EQ(Hex(c.Bytes()), "00ec40fc81bd98a1");

  TCipher d;
  d.Write(std::string(1304, '\0'));
  d.ApplyKey(kCipherFileKey);
  EXPECT_EQ(Hex(d.Bytes().substr(1296)), "8ad1e8ef984d4472");
}

TEST(Cipher, ApplyKeyFromFreshObjectsIsItsOwnInverse) {
  const std::string original = AllBytes() + std::string(2000, 'x') + "表ソ";
  TCipher a;
  a.Write(original);
  a.ApplyKey("key");
  const std::string once = a.Bytes();
  EXPECT_NE(once, original);

  TCipher again;  // the same bytes again: the keystream starts over with every object
  again.Write(original);
  again.ApplyKey("key");
  EXPECT_EQ(again.Bytes(), once);

  TCipher b;
  b.Load(once);
  b.ApplyKey("key");
  EXPECT_EQ(b.Bytes(), original);

  // The same object goes on with its keystream: a second pass does not undo the first.
  a.ApplyKey("key");
  EXPECT_NE(a.Bytes(), original);
}

TEST(Cipher, StreamReadsAndWritesAtItsPosition) {
  TCipher c;
  c.WriteInt32(-2);
  c.Write("abc");
  EXPECT_EQ(Hex(c.Bytes()), "feffffff616263");
  c.Seek(4);
  c.Write("X");  // overwrites, does not insert
  EXPECT_EQ(c.Bytes().substr(4), "Xbc");
  c.Seek(0);
  int32_t v = 0;
  ASSERT_TRUE(c.ReadInt32(v));
  EXPECT_EQ(v, -2);
  EXPECT_EQ(c.Read(10), "Xbc");  // fewer at the end
  EXPECT_FALSE(c.ReadInt32(v));
  c.Seek(100);
  EXPECT_EQ(c.Position(), c.Size());
}

TEST(Cipher, TextFileFormat) {
  std::string file;
  ASSERT_TRUE(EncipherTextFile("abc", file));
  EXPECT_EQ(Hex(file), "93b4d72dd7ae8c");  // length 3 and the text, enciphered from offset 0
  ASSERT_TRUE(EncipherTextFile("こんにちは", file));
  EXPECT_EQ(Hex(file), "9ab4d72d347d6d0247f4e08a1799");
  ASSERT_TRUE(EncipherTextFile("", file));
  EXPECT_TRUE(file.empty());
}

TEST(Cipher, TextFileRoundTrips) {
  const std::string texts[] = {"a", "表ソ\r\n改行\r\n", std::string("\0zero\0", 6), AllBytes(),
                               std::string(5000, '\xff')};
  for (const std::string& t : texts) {
    std::string file, back;
    ASSERT_TRUE(EncipherTextFile(t, file));
    EXPECT_EQ(file.size(), t.size() + 4);
    ASSERT_TRUE(DecipherTextFile(file, back));
    EXPECT_EQ(back, t);
  }
}

TEST(Cipher, TextFileShorterThanItsLengthIsRefused) {
  std::string file, text = "unchanged";
  ASSERT_TRUE(EncipherTextFile("hello", file));
  EXPECT_FALSE(DecipherTextFile("", text));                 // no length field at all
  EXPECT_FALSE(DecipherTextFile(file.substr(0, 3), text));  // part of the field
  EXPECT_FALSE(DecipherTextFile(file.substr(0, 4), text));  // the field, no text
  EXPECT_FALSE(DecipherTextFile(file.substr(0, 8), text));  // one byte short
  EXPECT_EQ(text, "unchanged");

  // A negative length, and one far beyond the data.
  for (int32_t n : {-1, 0x7FFFFFFF}) {
    TCipher c;
    c.WriteInt32(n);
    c.Write("data");
    c.ApplyKey(kCipherFileKey);
    EXPECT_FALSE(DecipherTextFile(c.Bytes(), text)) << n;
  }

  // Bytes after the text are not part of it.
  ASSERT_TRUE(DecipherTextFile(file + "tail", text));
  EXPECT_EQ(text, "hello");
}

// ---- RC2 and the password cipher ----

TEST(Cipher, Rc2MatchesRfc2268Vectors) {
  struct TVector {
    const char* Key;
    int Bits;
    const char* Plain;
    const char* Cipher;
  };
  const TVector vectors[] = {
      {"0000000000000000", 63, "0000000000000000", "ebb773f993278eff"},
      {"ffffffffffffffff", 64, "ffffffffffffffff", "278b27e42e2f0d49"},
      {"3000000000000000", 64, "1000000000000001", "30649edf9be7d2c2"},
      {"88", 64, "0000000000000000", "61a8a244adacccf0"},
      {"88bca90e90875a", 64, "0000000000000000", "6ccf4308974c267f"},
      {"88bca90e90875a7f0f79c384627bafb2", 64, "0000000000000000", "1a807d272bbe5db1"},
      {"88bca90e90875a7f0f79c384627bafb2", 128, "0000000000000000", "2269552ab0f85ca6"},
      {"88bca90e90875a7f0f79c384627bafb216f80a6f85920584c42fceb0be255daf1e", 129,
       "0000000000000000", "5b78d3a43dfff1f1"},
  };
  for (const TVector& v : vectors) {
    const TRc2 rc2(Unhex(v.Key), v.Bits);
    const std::string plain = Unhex(v.Plain);
    unsigned char out[8], back[8];
    rc2.EncryptBlock(reinterpret_cast<const unsigned char*>(plain.data()), out);
    EXPECT_EQ(Hex(std::string_view(reinterpret_cast<char*>(out), 8)), v.Cipher) << v.Key;
    rc2.DecryptBlock(out, back);
    EXPECT_EQ(std::string_view(reinterpret_cast<char*>(back), 8), plain) << v.Key;
  }
}

TEST(Cipher, PasswordCipherKnownOutput) {
  // RC2-CBC, zero IV, 40 effective bits, key = MD5(password)[0..5] + 11 zero bytes, as an
  // independent RC2 implementation computes it.
  EXPECT_EQ(Hex(PasswordEncrypt("秘密", "pw")), "f74217a630c4ac3c");
  EXPECT_EQ(Hex(PasswordEncrypt("12345678", "password")), "ece51e383fa549d86e9e532434c85bb5");
  EXPECT_EQ(Hex(PasswordEncrypt("", "pw")), "5675d7c81794f740");
  // The empty password keys the cipher as any other: MD5("") and nothing random.
  EXPECT_EQ(Hex(PasswordEncrypt("abcdefghijklmnopqrstuvwxyz", "")),
            "1a7b24de4ae4474c57c925bf15cfded9c11c2f59f3519e8d56343140a2b6f480");
}

TEST(Cipher, PasswordCipherRoundTrips) {
  std::string text;
  for (size_t n = 0; n <= 17; ++n) text += static_cast<char>(0x80 + n);  // lengths 0 to 17
  for (const char* password : {"", "pw", "長い合言葉です"}) {
    for (size_t n = 0; n <= text.size(); ++n) {
      const std::string plain = text.substr(0, n);
      const std::string sealed = PasswordEncrypt(plain, password);
      EXPECT_EQ(sealed.size(), (n / 8 + 1) * 8);
      std::string back;
      ASSERT_TRUE(PasswordDecrypt(sealed, password, back)) << n;
      EXPECT_EQ(back, plain);
    }
  }
}

TEST(Cipher, PasswordDecryptRefusesWhatItCannotUnpad) {
  std::string out = "unchanged";
  const std::string sealed = PasswordEncrypt("secret text", "right");
  EXPECT_FALSE(PasswordDecrypt(sealed, "wrong", out));
  EXPECT_FALSE(PasswordDecrypt(sealed.substr(0, 15), "right", out));  // not whole blocks
  EXPECT_FALSE(PasswordDecrypt("", "right", out));
  EXPECT_EQ(out, "unchanged");
}
