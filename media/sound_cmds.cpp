// Sound and music playback.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"演奏", "?を", 22, nullptr},     {"繰り返し演奏", "?を", 318, nullptr},
    {"演奏停止", "", 23, nullptr},    {"演奏状態", "", 210, nullptr},
    {"MCI送信", "?を", 338, nullptr}, {"BEEP", "", 409, nullptr},
    {"MML演奏", "?を", 485, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"演奏繰り返し", "0", "e", 46, false, false},
};

}  // namespace

const TFamily kSoundFamily{"音と音楽", kCommands, kVariables};

}  // namespace yume
