// Conversion between text and number.
//
// Numbers are x86 extended precision (long double). Reading never fails: text that is not a
// number reads as 0. Neither direction depends on the C locale (the GUI toolkit changes
// LC_NUMERIC, so strtold and printf would read and write "," as the decimal point there).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace yume {

// The lenient number reading: surrounding blanks are ignored, full-width digits and signs
// count as their ASCII forms, every "," is dropped; "$" starts a hexadecimal integer that must
// fill the rest of the text; otherwise an optional sign, digits and, only after a ".", fraction
// digits and an exponent. Whatever follows the number is ignored ("12円" is 12, "1e5" is 1).
long double StrToNumber(std::string_view text);
// The same reading, but only when the whole text (blanks around it aside) is one number.
bool TryStrToNumber(std::string_view text, long double& out);

// A whole integer text ("12", " -3 ", "$1F"); false for anything else or beyond 64 bits.
bool ParseIntText(std::string_view s, int64_t& out);
// A number truncated toward zero and clamped to +-2^62 (NaN gives 0): a count or a position.
int64_t TruncCount(long double v);

// A colour value: "#RRGGBB" (three two-digit hexadecimal numbers), or any other text read as a
// number ("$" hexadecimal too) in the form colours are kept in, red in the low byte; 0 when
// unreadable.
uint32_t ReadColor(std::string_view text);

// General format with 15 significant digits: plain notation for magnitudes from 0.00001 up to
// (not including) 10^15, otherwise mantissa "E" exponent ("1E20", "1.5E-7"); no trailing zeros.
std::string FormatNumber(long double value);

}  // namespace yume
