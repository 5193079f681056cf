// Dates, times, waiting and the one-shot timer.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"タイマー設定", "?秒後に,?へ飛ぶ", 263, nullptr},
    {"タイマー解除", "", 313, nullptr},
    {"待つ", "?秒", 21, nullptr},
    {"今", "", 34, nullptr},
    {"今日", "", 35, nullptr},
    {"曜日", "?の", 142, nullptr},
    {"曜日を数値で得る", "?の", 376, nullptr},
    {"日付加算", "?に,?を", 303, nullptr},
    {"時間加算", "?に,?を", 302, nullptr},
    {"日数差", "?と,?の", 304, nullptr},
    {"秒差", "?と,?の", 305, nullptr},
    {"システム時間", "", 377, nullptr},
    {"和暦に変換", "?を", 389, nullptr},
};

}  // namespace

const TFamily kDateFamily{"日付と時間", kCommands, {}};

}  // namespace yume
