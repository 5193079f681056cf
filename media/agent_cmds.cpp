// The speech agent character.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"エージェントマーリンを呼ぶ", "", 571, nullptr},
    {"エージェント終了", "", 572, nullptr},
    {"エージェントロード", "?を,?で", 573, nullptr},
    {"エージェントアンロード", "", 574, nullptr},
    {"エージェント表示", "", 575, nullptr},
    {"エージェント非表示", "", 576, nullptr},
    {"エージェント動作", "?の", 577, nullptr},
    {"エージェント言う", "?と", 578, nullptr},
    {"エージェント移動", "?へ", 579, nullptr},
    {"エージェント言語変更", "?に", 580, nullptr},
    {"エージェント止める", "", 581, nullptr},
    {"エージェント待つ", "", 582, nullptr},
    {"エージェントサイズ変更", "?に", 585, nullptr},
    {"エージェントピッチ変更", "?に", 587, nullptr},
    {"エージェント速度変更", "?に", 588, nullptr},
    {"エージェント情報取得", "", 589, nullptr},
    {"CLSID存在するか", "?の", 586, nullptr},
};

}  // namespace

const TFamily kAgentFamily{"エージェント", kCommands, {}};

}  // namespace yume
