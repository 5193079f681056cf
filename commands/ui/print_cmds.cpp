// Printing: quick prints and drawing on the printer page.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"母艦印刷", "", 116, nullptr},
    {"イメージ印刷", "?を", 300, nullptr},
    {"簡易印刷", "?を", 241, nullptr},
    {"プリンタ設定", "", 486, nullptr},
    {"用紙縦サイズ取得", "", 487, nullptr},
    {"用紙横サイズ取得", "", 488, nullptr},
    {"プリンタ描画開始", "?で", 489, nullptr},
    {"プリンタ描画終了", "", 490, nullptr},
    {"プリンタ線", "?から,?へ", 491, nullptr},
    {"プリンタ四角形", "?から,?へ", 492, nullptr},
    {"プリンタ円形", "?から,?へ", 493, nullptr},
    {"プリンタ文字描画", "?を,?へ", 494, nullptr},
    {"プリンタ画像描画", "?を,?へ", 495, nullptr},
    {"プリンタ文字幅取得", "?の", 496, nullptr},
    {"プリンタ文字高取得", "?の", 497, nullptr},
};

}  // namespace

const TFamily kPrintFamily{"印刷", kCommands, {}};

}  // namespace yume
