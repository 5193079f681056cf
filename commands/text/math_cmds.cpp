// Arithmetic, bit operations, rounding, mathematical functions, statistics, colours.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"足す", "?に,?を", 280, nullptr},
    {"引く", "?から,?を", 281, nullptr},
    {"掛ける", "?に,?を", 282, nullptr},
    {"割る", "?を,?で", 283, nullptr},
    {"MOD", "?と,?の", 343, nullptr},
    {"余り", "?と,?の", 343, nullptr},
    {"AND", "?と,?の", 340, nullptr},
    {"OR", "?と,?の", 341, nullptr},
    {"XOR", "?と,?の", 342, nullptr},
    {"NOT", "?の", 395, nullptr},
    {"SHR", "?を,?ビット", 344, nullptr},
    {"右シフト", "?を,?ビット", 344, nullptr},
    {"SHL", "?を,?ビット", 345, nullptr},
    {"左シフト", "?を,?ビット", 345, nullptr},
    {"乱数", "?の", 17, nullptr},
    {"RND", "", 158, nullptr},
    {"乱数初期化", "?で", 159, nullptr},
    {"整数", "?", 31, nullptr},
    {"切り捨て", "?を,?位で", 32, nullptr},
    {"四捨五入", "?を,?位で", 33, nullptr},
    {"ABS", "?", 146, nullptr},
    {"CEIL", "?", 147, nullptr},
    {"EXP", "?", 148, nullptr},
    {"FLOOR", "?", 149, nullptr},
    {"FRAC", "?", 150, nullptr},
    {"INT", "?", 151, nullptr},
    {"LN", "?", 152, nullptr},
    {"LOG", "?,?", 153, nullptr},
    {"LOG2", "?", 179, nullptr},
    {"LOG10", "?", 180, nullptr},
    {"POWER", "?,?", 154, nullptr},
    {"ROUND", "?", 155, nullptr},
    {"SQRT", "?", 156, nullptr},
    {"TRUNC", "?", 157, nullptr},
    {"HEX", "?", 346, nullptr},
    {"サイン", "?", 52, nullptr},
    {"SIN", "?", 52, nullptr},
    {"コサイン", "?", 53, nullptr},
    {"COS", "?", 53, nullptr},
    {"タンジェント", "?", 54, nullptr},
    {"TAN", "?", 54, nullptr},
    {"ARCSIN", "?", 218, nullptr},
    {"ARCCOS", "?", 217, nullptr},
    {"ARCTAN", "?", 216, nullptr},
    {"HYPOT", "?,?", 219, nullptr},
    {"サイクルからラジアン", "?を", 220, nullptr},
    {"度からラジアン", "?を", 221, nullptr},
    {"グラードからラジアン", "?を", 222, nullptr},
    {"ラジアンからサイクル", "?を", 223, nullptr},
    {"ラジアンから度", "?を", 224, nullptr},
    {"ラジアンからグラード", "?を", 225, nullptr},
    {"配列合計値", "?の", 226, nullptr},
    {"配列平均値", "?の", 227, nullptr},
    {"配列分散値", "?の", 228, nullptr},
    {"標準偏差値", "?の", 229, nullptr},
    {"配列最大値", "?の", 239, nullptr},
    {"配列最小値", "?の", 240, nullptr},
    {"SUM", "?", 226, nullptr},
    {"AVERAGE", "?", 227, nullptr},
    {"VAR", "?", 228, nullptr},
    {"STDEV", "?", 229, nullptr},
    {"RGB", "?,?,?", 145, nullptr},
    {"CMYK", "?,?,?,?", 411, nullptr},
};

}  // namespace

const TFamily kMathFamily{"計算", kCommands, {}};

}  // namespace yume
