// Calls into external libraries that a script declares.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"DLLを利用", "?の,?を,?の,?として", 390, nullptr},
    {"DLL宣言", "?の,?を,?で", 49, nullptr},
    {"文字型DLL宣言", "?の,?を,?で", 380, nullptr},
};

}  // namespace

const TFamily kDllFamily{"外部ライブラリ", kCommands, {}};

}  // namespace yume
