// Archives: packing, unpacking, self-extracting archives.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"圧縮", "?を,?へ", 135, nullptr},
    {"解凍", "?を,?へ", 136, nullptr},
    {"自己解凍書庫作成", "?を,?へ", 137, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"圧縮オプション", "-a1 -r2 -x1 -l1 -jp1 -o2 -ji0", "s", 54, false, false},
    {"解凍オプション", "-a1 -r2 -x1 -jp1 -c0 -m1", "s", 55, false, false},
    {"自己解凍書庫オプション", "-x1 -r2 -gx0 -gw4", "s", 56, false, false},
};

}  // namespace

const TFamily kArchiveFamily{"圧縮と解凍", kCommands, kVariables};

}  // namespace yume
