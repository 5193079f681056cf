// Digests of byte strings: MD5 (libcrypto), CRC-32 (zlib) and CRC-16/ARC (a table of our own:
// neither library has it). Nothing here knows the interpreter.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace yume {

// The 16 bytes of the MD5 digest (RFC 1321).
std::array<unsigned char, 16> Md5(std::string_view data);
// The same as 32 lower-case hexadecimal digits.
std::string Md5Hex(std::string_view data);

// CRC-16/ARC: reflected polynomial 0x8005, initial value 0, no final XOR.
uint16_t Crc16Arc(std::string_view data);
// CRC-32 as zlib computes it (reflected 0x04C11DB7, initial and final XOR 0xFFFFFFFF).
uint32_t Crc32(std::string_view data);

}  // namespace yume
