// Wildcard and regular-expression matching, splitting and replacing.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"マッチ", "?を,?で", 374, nullptr},
    {"正規表現マッチ", "?を,?で", 187, nullptr},
    {"RE", "?,?", 187, nullptr},
    {"正規表現区切る", "?を,?で", 190, nullptr},
    {"正規表現置換", "?を,?で", 191, nullptr},
    {"正規表現入換", "?を,?で", 192, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"マッチ数", "", "e", 7, false, false},
};

}  // namespace

const TFamily kRegexFamily{"ワイルドカードと正規表現", kCommands, kVariables};

}  // namespace yume
