// The notification-area icon and the mouse cursor.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"カーソル表示", "?", 348, nullptr},
    {"タスクトレイへアイコン表示", "?", 396, nullptr},
};

}  // namespace

const TFamily kTrayFamily{"タスクトレイとカーソル", kCommands, {}};

}  // namespace yume
