// DDE conversations opened by scripts.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"DDE送信", "?の,?に,?を", 208, nullptr},
    {"DDEサーバー作成", "?を呼ぶ,?という", 209, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"DDEファイル名", "", "s", 83, false, false},
    {"DDE文字列", "", "s", 84, false, false},
};

}  // namespace

const TFamily kDdeFamily{"DDE", kCommands, kVariables};

}  // namespace yume
