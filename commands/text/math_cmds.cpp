// Arithmetic, bit operations, rounding, mathematical functions, statistics, colours.
//
// The command table ties each name to its handler; the computations themselves are in
// mathfn.h. Integer faults travel as platform exceptions (the caller adds the reason to the
// command's error line); floating-point faults are reported as invalid operations.
#include <cmath>
#include <ctime>

#include "commands/families.h"
#include "commands/text/mathfn.h"
#include "core/cmdlib.h"
#include "core/convhalf.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/yumebase.h"

namespace yume {

namespace {

using namespace mathfn;

constexpr long double kPi = 3.141592653589793238462643383279502884L;

[[noreturn]] void RaiseFault(TYumeBase& y, const EMathFault& e) {
  RaiseError(y, std::string("プログラムで不正な操作がありました。") + e.what());
}

// ---- arithmetic on a variable ----

// The left operand as written: a variable it names gives its value and takes the result;
// anything else (それ filled in, a literal, an expression) is only evaluated.
struct TLeft {
  THashNode* Word;
  std::string Value;
};

TLeft Left(TArgs& a, size_t slot) {
  THashNode* w = a.NamedWord(slot);
  if (w && w->Kind == wkVariable) return {w, w->ValueText()};
  return {nullptr, a.TakeText(slot)};
}

void Store(TYumeBase& y, TArgs& a, THashNode* w, std::string value, std::string_view type) {
  if (w && w != y.VarSore) {
    if (w->Reserved) a.ReadOnlyError(w->Name);
    w->SetValueText(value);
    w->SetTypeText(type);
  }
  SetSoreTyped(y, std::move(value), type);
}

// 足す (?に,?を) 280 -- a text added is appended; the result takes the added value's type.
void CmdAdd(TYumeBase& y, TArgs& a) {
  const TValue& add = a.Value(1);
  TLeft left = Left(a, 0);
  std::string result = add.IsNumber() ? FormatNumber(StrToNumber(left.Value) + add.Number())
                                      : std::move(left.Value) + add.Text();
  Store(y, a, left.Word, std::move(result), add.Type().View());
}

// 引く (?から,?を) 281
void CmdSubtract(TYumeBase& y, TArgs& a) {
  const long double v = a.Number(1);
  TLeft left = Left(a, 0);
  Store(y, a, left.Word, FormatNumber(StrToNumber(left.Value) - v), "e");
}

// 掛ける (?に,?を) 282
void CmdMultiply(TYumeBase& y, TArgs& a) {
  const long double v = a.Number(1);
  TLeft left = Left(a, 0);
  Store(y, a, left.Word, FormatNumber(StrToNumber(left.Value) * v), "e");
}

// 割る (?を,?で) 283
void CmdDivide(TYumeBase& y, TArgs& a) {
  const long double v = a.Number(1);
  TLeft left = Left(a, 0);
  long double r;
  try {
    r = Divide(StrToNumber(left.Value), v);
  } catch (const EMathFault& e) {
    RaiseFault(y, e);
  }
  Store(y, a, left.Word, FormatNumber(r), "e");
}

// ---- integers and bits ----

// Two 32-bit arguments, the second taken first.
template <class Op>
void IntPair(TYumeBase& y, TArgs& a, Op op) {
  const int32_t second = ToInt32(a.Number(1));
  SetSoreInteger(y, op(ToInt32(a.Number(0)), second));
}

// MOD/余り (?と,?の) 343
void CmdMod(TYumeBase& y, TArgs& a) {
  IntPair(y, a, [](int32_t a, int32_t b) { return Mod(a, b); });
}

// AND (?と,?の) 340
void CmdAnd(TYumeBase& y, TArgs& a) {
  IntPair(y, a, [](int32_t a, int32_t b) { return a & b; });
}

// OR (?と,?の) 341
void CmdOr(TYumeBase& y, TArgs& a) {
  IntPair(y, a, [](int32_t a, int32_t b) { return a | b; });
}

// XOR (?と,?の) 342
void CmdXor(TYumeBase& y, TArgs& a) {
  IntPair(y, a, [](int32_t a, int32_t b) { return a ^ b; });
}

// NOT (?の) 395
void CmdNot(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, ToInt32(a.Number(0)) == 0 ? 1 : 0);
}

// SHR/右シフト (?を,?ビット) 344
void CmdShr(TYumeBase& y, TArgs& a) {
  IntPair(y, a, [](int32_t v, int32_t n) { return static_cast<int64_t>(Shr(v, n)); });
}

// SHL/左シフト (?を,?ビット) 345
void CmdShl(TYumeBase& y, TArgs& a) {
  IntPair(y, a, [](int32_t v, int32_t n) { return Shl(v, n); });
}

// HEX (?) 346
void CmdHex(TYumeBase& y, TArgs& a) {
  SetSoreTyped(y, Hex(ToInt32(a.Number(0))), "e");
}

// ---- rounding ----

// 整数/INT/TRUNC (?) 31, 151, 157
void CmdTrunc(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, ToInt64(a.Number(0)));
}

// ROUND (?) 155
void CmdRound(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, ToInt64(RoundHalfEven(a.Number(0))));
}

// FLOOR (?) 149
void CmdFloor(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, ToInt32(std::floor(a.Number(0))));
}

// CEIL (?) 147
void CmdCeil(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, ToInt32(std::ceil(a.Number(0))));
}

// 切り捨て (?を,?位で) 32
void CmdTruncAt(TYumeBase& y, TArgs& a) {
  const int32_t places = ToInt32(a.Number(1));
  SetSoreNumber(y, TruncAt(a.Number(0), places));
}

// 四捨五入 (?を,?位で) 33
void CmdRoundAt(TYumeBase& y, TArgs& a) {
  const int32_t places = ToInt32(a.Number(1));
  SetSoreNumber(y, RoundAt(a.Number(0), places));
}

// FRAC (?) 150 -- works on the text, so the sign is dropped with the integer part.
void CmdFrac(TYumeBase& y, TArgs& a) {
  SetSoreTyped(y, FracText(TConvToHalf::Instance().ConvertText(a.Text(0))), "e");
}

// ---- real functions ----

template <class Fn>
void Real1(TYumeBase& y, TArgs& a, Fn fn) {
  SetSoreNumber(y, fn(a.Number(0)));
}

// ABS (?) 146
void CmdAbs(TYumeBase& y, TArgs& a) {
  Real1(y, a, [](long double x) { return std::fabs(x); });
}

// EXP (?) 148
void CmdExp(TYumeBase& y, TArgs& a) {
  Real1(y, a, [](long double x) { return std::exp(x); });
}

// LN (?) 152
void CmdLn(TYumeBase& y, TArgs& a) {
  Real1(y, a, [](long double x) { return std::log(x); });
}

// LOG (?,?) 153 -- base first.
void CmdLog(TYumeBase& y, TArgs& a) {
  const long double x = a.Number(1);
  SetSoreNumber(y, LogBase(a.Number(0), x));
}

// LOG2 (?) 179
void CmdLog2(TYumeBase& y, TArgs& a) {
  Real1(y, a, [](long double x) { return std::log2(x); });
}

// LOG10 (?) 180
void CmdLog10(TYumeBase& y, TArgs& a) {
  Real1(y, a, [](long double x) { return std::log10(x); });
}

// POWER (?,?) 154
void CmdPower(TYumeBase& y, TArgs& a) {
  const long double e = a.Number(1);
  SetSoreNumber(y, std::pow(a.Number(0), e));
}

// SQRT (?) 156
void CmdSqrt(TYumeBase& y, TArgs& a) {
  Real1(y, a, [](long double x) { return std::sqrt(x); });
}

// ---- trigonometry and angles: それ keeps its type ----

template <class Fn>
void Angle1(TYumeBase& y, TArgs& a, Fn fn) {
  SetSoreKeepType(y, FormatNumber(fn(a.Number(0))));
}

// サイン/SIN (?) 52
void CmdSin(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return std::sin(x); });
}

// コサイン/COS (?) 53
void CmdCos(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return std::cos(x); });
}

// タンジェント/TAN (?) 54
void CmdTan(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return std::tan(x); });
}

// ARCSIN (?) 218
void CmdArcSin(TYumeBase& y, TArgs& a) {
  Angle1(y, a, ArcSin);
}

// ARCCOS (?) 217
void CmdArcCos(TYumeBase& y, TArgs& a) {
  Angle1(y, a, ArcCos);
}

// ARCTAN (?) 216
void CmdArcTan(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return std::atan(x); });
}

// HYPOT (?,?) 219
void CmdHypot(TYumeBase& y, TArgs& a) {
  const long double b = a.Number(1);
  SetSoreKeepType(y, FormatNumber(std::hypot(a.Number(0), b)));
}

// サイクルからラジアン (?を) 220
void CmdCycleToRad(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return x * 2 * kPi; });
}

// 度からラジアン (?を) 221
void CmdDegToRad(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return x * kPi / 180; });
}

// グラードからラジアン (?を) 222
void CmdGradToRad(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return x * kPi / 200; });
}

// ラジアンからサイクル (?を) 223
void CmdRadToCycle(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return x / (2 * kPi); });
}

// ラジアンから度 (?を) 224
void CmdRadToDeg(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return x * 180 / kPi; });
}

// ラジアンからグラード (?を) 225
void CmdRadToGrad(TYumeBase& y, TArgs& a) {
  Angle1(y, a, [](long double x) { return x * 200 / kPi; });
}

// ---- random numbers ----

// 乱数 (?の) 17 -- a limit that is no integer text draws below 100.
void CmdRandom(TYumeBase& y, TArgs& a) {
  int32_t n;
  if (!ReadIntText(a.Text(0), n)) n = 100;
  SetSoreInteger(y, DrawBelow(y.RandSeed, n));
}

// RND () 158
void CmdRnd(TYumeBase& y, TArgs&) {
  SetSoreNumber(y, DrawReal(y.RandSeed));
}

// 乱数初期化 (?で) 159 -- -1 seeds from the clock; それ is left alone.
void CmdRandomize(TYumeBase& y, TArgs& a) {
  const int64_t v = ToInt64(a.Number(0));
  if (v == -1) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    y.RandSeed = static_cast<uint32_t>(ts.tv_sec * 1000003u ^ ts.tv_nsec);
  } else {
    y.RandSeed = static_cast<uint32_t>(v);
  }
}

// ---- statistics over the lines of a text ----

template <class Fn>
void Stat(TYumeBase& y, TArgs& a, Fn fn) {
  const std::vector<long double> values = LineValues(a.Text(0));
  long double r;
  try {
    r = fn(values);
  } catch (const EMathFault& e) {
    RaiseFault(y, e);
  }
  SetSoreNumber(y, r);
}

// 配列合計値/SUM (?の) 226
void CmdSum(TYumeBase& y, TArgs& a) {
  Stat(y, a, Sum);
}

// 配列平均値/AVERAGE (?の) 227
void CmdAverage(TYumeBase& y, TArgs& a) {
  Stat(y, a, Average);
}

// 配列分散値/VAR (?の) 228
void CmdVariance(TYumeBase& y, TArgs& a) {
  Stat(y, a, Variance);
}

// 標準偏差値/STDEV (?の) 229
void CmdStdDev(TYumeBase& y, TArgs& a) {
  Stat(y, a, StdDev);
}

// 配列最大値 (?の) 239
void CmdMax(TYumeBase& y, TArgs& a) {
  Stat(y, a, MaxOf);
}

// 配列最小値 (?の) 240
void CmdMin(TYumeBase& y, TArgs& a) {
  Stat(y, a, MinOf);
}

// ---- colours: それ keeps its type ----

void SetColor(TYumeBase& y, int32_t color) {
  SetSoreKeepType(y, std::to_string(color));
}

// RGB (?,?,?) 145
void CmdRgb(TYumeBase& y, TArgs& a) {
  const long double b = a.Number(2);
  const long double g = a.Number(1);
  const long double r = a.Number(0);
  try {
    SetColor(y, ColorOf(RgbComponent(r), RgbComponent(g), RgbComponent(b)));
  } catch (const std::invalid_argument&) {
    a.ArgumentError();
  }
}

// CMYK (?,?,?,?) 411
void CmdCmyk(TYumeBase& y, TArgs& a) {
  const int32_t k = ToInt32(a.Number(3));
  const int32_t yellow = ToInt32(a.Number(2));
  const int32_t magenta = ToInt32(a.Number(1));
  const int32_t cyan = ToInt32(a.Number(0));
  SetColor(y, CmykColor(cyan, magenta, yellow, k));
}

constexpr CommandDef kCommands[] = {
    {"足す", "?に,?を", 280, CmdAdd},
    {"引く", "?から,?を", 281, CmdSubtract},
    {"掛ける", "?に,?を", 282, CmdMultiply},
    {"割る", "?を,?で", 283, CmdDivide},
    {"MOD", "?と,?の", 343, CmdMod},
    {"余り", "?と,?の", 343, CmdMod},
    {"AND", "?と,?の", 340, CmdAnd},
    {"OR", "?と,?の", 341, CmdOr},
    {"XOR", "?と,?の", 342, CmdXor},
    {"NOT", "?の", 395, CmdNot},
    {"SHR", "?を,?ビット", 344, CmdShr},
    {"右シフト", "?を,?ビット", 344, CmdShr},
    {"SHL", "?を,?ビット", 345, CmdShl},
    {"左シフト", "?を,?ビット", 345, CmdShl},
    {"乱数", "?の", 17, CmdRandom},
    {"RND", "", 158, CmdRnd},
    {"乱数初期化", "?で", 159, CmdRandomize},
    {"整数", "?", 31, CmdTrunc},
    {"切り捨て", "?を,?位で", 32, CmdTruncAt},
    {"四捨五入", "?を,?位で", 33, CmdRoundAt},
    {"ABS", "?", 146, CmdAbs},
    {"CEIL", "?", 147, CmdCeil},
    {"EXP", "?", 148, CmdExp},
    {"FLOOR", "?", 149, CmdFloor},
    {"FRAC", "?", 150, CmdFrac},
    {"INT", "?", 151, CmdTrunc},
    {"LN", "?", 152, CmdLn},
    {"LOG", "?,?", 153, CmdLog},
    {"LOG2", "?", 179, CmdLog2},
    {"LOG10", "?", 180, CmdLog10},
    {"POWER", "?,?", 154, CmdPower},
    {"ROUND", "?", 155, CmdRound},
    {"SQRT", "?", 156, CmdSqrt},
    {"TRUNC", "?", 157, CmdTrunc},
    {"HEX", "?", 346, CmdHex},
    {"サイン", "?", 52, CmdSin},
    {"SIN", "?", 52, CmdSin},
    {"コサイン", "?", 53, CmdCos},
    {"COS", "?", 53, CmdCos},
    {"タンジェント", "?", 54, CmdTan},
    {"TAN", "?", 54, CmdTan},
    {"ARCSIN", "?", 218, CmdArcSin},
    {"ARCCOS", "?", 217, CmdArcCos},
    {"ARCTAN", "?", 216, CmdArcTan},
    {"HYPOT", "?,?", 219, CmdHypot},
    {"サイクルからラジアン", "?を", 220, CmdCycleToRad},
    {"度からラジアン", "?を", 221, CmdDegToRad},
    {"グラードからラジアン", "?を", 222, CmdGradToRad},
    {"ラジアンからサイクル", "?を", 223, CmdRadToCycle},
    {"ラジアンから度", "?を", 224, CmdRadToDeg},
    {"ラジアンからグラード", "?を", 225, CmdRadToGrad},
    {"配列合計値", "?の", 226, CmdSum},
    {"配列平均値", "?の", 227, CmdAverage},
    {"配列分散値", "?の", 228, CmdVariance},
    {"標準偏差値", "?の", 229, CmdStdDev},
    {"配列最大値", "?の", 239, CmdMax},
    {"配列最小値", "?の", 240, CmdMin},
    {"SUM", "?", 226, CmdSum},
    {"AVERAGE", "?", 227, CmdAverage},
    {"VAR", "?", 228, CmdVariance},
    {"STDEV", "?", 229, CmdStdDev},
    {"RGB", "?,?,?", 145, CmdRgb},
    {"CMYK", "?,?,?,?", 411, CmdCmyk},
};

}  // namespace

const TFamily kMathFamily{"計算", kCommands, {}};

}  // namespace yume
