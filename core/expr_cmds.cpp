// Evaluating an expression given as text.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"計算", "?を", 11, nullptr},
};

}  // namespace

const TFamily kExprFamily{"式", kCommands, {}};

}  // namespace yume
