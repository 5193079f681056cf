// The computations behind the arithmetic commands, on plain numbers and texts.
//
// Integer conversions and integer faults throw std::out_of_range (range) or
// std::domain_error (zero divisor); floating-point faults throw EMathFault, whose text is the
// fault's own, so that the caller can report it as an invalid operation of the program.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yume::mathfn {

class EMathFault : public std::domain_error {
 public:
  using std::domain_error::domain_error;
};

// Truncated toward zero; out of range (or not a number) throws std::out_of_range.
int32_t ToInt32(long double x);
int64_t ToInt64(long double x);

// a / b; a zero divisor is a floating-point fault.
long double Divide(long double a, long double b);

// Remainder with the sign of a; a zero divisor throws std::domain_error.
int32_t Mod(int32_t a, int32_t b);
// v as an unsigned 32-bit pattern shifted right by count mod 32.
uint32_t Shr(int32_t v, int32_t count);
// v shifted left by count mod 32, kept to 32 bits and read as signed.
int32_t Shl(int32_t v, int32_t count);
// Upper-case hexadecimal, at least two digits; negatives as eight-digit two's complement.
std::string Hex(int32_t v);

// Nearest integer, halves to the even neighbour (any magnitude).
long double RoundHalfEven(long double x);
// x cut or rounded (halves to even) at decimal place `places` (negative: left of the point).
long double TruncAt(long double x, int places);
long double RoundAt(long double x, int places);
// The text's fraction: "0" + everything from the first "." ("-3.25" -> "0.25"); no "." gives
// empty. The text is taken as it is (the caller converts it to half-width).
std::string FracText(std::string_view text);

// Logarithm of x to base b.
long double LogBase(long double b, long double x);
long double ArcSin(long double x);
long double ArcCos(long double x);

// The 32-bit linear congruential generator.
uint32_t NextSeed(uint32_t& seed);
// An integer below n (n <= 0 gives 0 and draws nothing).
int32_t DrawBelow(uint32_t& seed, int32_t n);
// A real in [0, 1).
long double DrawReal(uint32_t& seed);
// A decimal (or "$" hexadecimal) integer text that fits 32 bits, blanks around it aside.
bool ReadIntText(std::string_view text, int32_t& out);

// The values of a text's lines: each converted to half-width and trimmed, empty lines
// dropped; no line at all gives the one value 0.
std::vector<long double> LineValues(std::string_view text);
long double Sum(const std::vector<long double>& v);
long double Average(const std::vector<long double>& v);
long double Variance(const std::vector<long double>& v);  // population
long double StdDev(const std::vector<long double>& v);    // sample; fewer than 2 is a fault
long double MaxOf(const std::vector<long double>& v);
long double MinOf(const std::vector<long double>& v);

// One RGB component: truncated, taken modulo 256; -1 throws std::out_of_range, anything
// lower std::invalid_argument (the caller names the command).
int32_t RgbComponent(long double x);
// Colour number from components already checked to be 0-255.
int32_t ColorOf(int32_t r, int32_t g, int32_t b);
// CMYK components (each 0-255, else std::out_of_range) to a colour number.
int32_t CmykColor(int32_t c, int32_t m, int32_t y, int32_t k);

}  // namespace yume::mathfn
