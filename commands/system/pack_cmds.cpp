// Packed files and building executables from a script and its data.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"ファイル合成", "?を, ?へ", 206, nullptr},
    {"合成ファイル取り出す", "?から,?を", 207, nullptr},
    {"ゆめもり実行ファイル作成", "?と,?から,?へ", 520, nullptr},
    {"ゆめもりミニ実行ファイル作成", "?と,?から,?へ", 521, nullptr},
};

}  // namespace

const TFamily kPackFamily{"合成ファイル", kCommands, {}};

}  // namespace yume
