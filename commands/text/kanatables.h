// The character mappings of the conversion commands, over Shift_JIS (code page 932) codes:
// lists of code pairs written by tools/gen_kanatables.py (commands/text/kanatables.cpp). A code
// below 0x100 is one byte; any other is two bytes, high byte first, so a target may be a
// double-byte character ("ガ" 0x834B) or two half-width bytes ("ｶﾞ" 0xB6DE).
#pragma once

#include <cstdint>
#include <span>

namespace yume {

struct TCodePair {
  uint16_t From;
  uint16_t To;
};

extern const std::span<const TCodePair> kToFullWidth;  // half-width bytes, one at a time
extern const std::span<const TCodePair> kVoiced;       // kana byte + DE as one character
extern const std::span<const TCodePair> kSemiVoiced;   // kana byte + DF as one character
extern const std::span<const TCodePair> kToHalfWidth;
extern const std::span<const TCodePair> kToUpper;
extern const std::span<const TCodePair> kToLower;
extern const std::span<const TCodePair> kToHiragana;
extern const std::span<const TCodePair> kToKatakana;
// IBM extension codes (FA40-FC4B) to the twin each has in the rows that have a JIS place.
extern const std::span<const TCodePair> kIbmToNec;

}  // namespace yume
