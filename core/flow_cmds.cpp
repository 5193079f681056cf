// Program flow: ending and waiting, jumps and subroutines, blocks, conditions, loops,
// user functions and sources brought in while running.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"おわり", "", 2, nullptr},
    {"終わり", "", 2, nullptr},
    {"おわる", "", 2, nullptr},
    {"飛ぶ", "?へ", 5, nullptr},
    {"呼ぶ", "?を", 6, nullptr},
    {"戻る", "", 3, nullptr},
    {"待機", "", 13, nullptr},
    {"ここから", "", 516, nullptr},
    {"ここまで", "", 517, nullptr},
    {"抜ける", "", 215, nullptr},
    {"続ける", "", 398, nullptr},
    {"ゆめもりする", "?を", 74, nullptr},
    {"取り込む", "?を", 55, nullptr},
    {"関数定義", "?を,?で", 399, nullptr},
    {"引数取得", "?に", 400, nullptr},
    {"引数得る", "?に,?番目の", 519, nullptr},
    {"もし", "", 102, nullptr},
    {"ならば", "", 19, EmptyHandler},
    {"なら", "", 200, EmptyHandler},
    {"違えば", "", 20, EmptyHandler},
    {"でなければ", "", 20, EmptyHandler},
    {"条件分岐", "?で", 369, nullptr},
    {"繰り返す", "?を,?から,?まで", 56, nullptr},
    {"反復", "?を", 71, nullptr},
    {"ループ", "?で", 414, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"回数", "0", "e", 2, true, false},
};

}  // namespace

const TFamily kFlowFamily{"制御構文と取り込み", kCommands, kVariables};

}  // namespace yume
