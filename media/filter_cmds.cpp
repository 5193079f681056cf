// Image filters: fades, colour corrections, effects, flips and rotations.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"画面フェードアウト", "?で", 143, nullptr},
    {"画面フェードイン", "?で", 144, nullptr},
    {"ネガポジ反転", "?を", 246, nullptr},
    {"ソラリゼーション", "?を", 248, nullptr},
    {"明るさ補正", "?を,?度", 249, nullptr},
    {"ガンマ補正", "?を,?度", 250, nullptr},
    {"画像エッジ検出", "?を", 253, nullptr},
    {"画像ボカシ", "?を,?度", 254, nullptr},
    {"画像シャープ", "?を,?度", 255, nullptr},
    {"画像セピア", "?を,?で", 256, nullptr},
    {"グレイスケール変換", "?を", 247, nullptr},
    {"画像ビット数変更", "?を,?ビットに", 319, nullptr},
    {"垂直反転", "?を", 243, nullptr},
    {"水平反転", "?を", 244, nullptr},
    {"右回転", "?を", 245, nullptr},
    {"画像回転", "?を,?度", 252, nullptr},
    {"画像平面回転", "?を,?度", 484, nullptr},
};

}  // namespace

const TFamily kFilterFamily{"画像フィルタ", kCommands, {}};

}  // namespace yume
