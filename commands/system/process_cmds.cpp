// Starting programs, other programs' windows, keys and the mouse.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"起動", "?を", 24, nullptr},
    {"エクスプローラーで開く", "?を", 184, nullptr},
    {"アクティブ", "?を", 44, nullptr},
    {"キー送信", "?に,?を", 45, nullptr},
    {"起動して終了まで待機", "?を", 104, nullptr},
    {"ウインドウ列挙", "", 183, nullptr},
    {"ウィンドウ列挙", "", 183, nullptr},
    {"WINDOWS終了", "", 569, nullptr},
    {"WINDOWS再起動", "", 570, nullptr},
    {"窓ハンドル検索", "?を", 548, nullptr},
    {"窓ハンドル内検索", "?の,?を", 549, nullptr},
    {"窓ハンドル列挙", "", 553, nullptr},
    {"窓ハンドル内列挙", "?の", 552, nullptr},
    {"窓ハンドル親取得", "?の", 563, nullptr},
    {"窓ハンドルテキスト取得", "?の", 554, nullptr},
    {"窓ハンドルテキスト設定", "?へ,?を", 555, nullptr},
    {"窓ハンドルクリック", "?を", 556, nullptr},
    {"窓ハンドルサイズ取得", "?の", 560, nullptr},
    {"窓ハンドルサイズ設定", "?を,?に", 561, nullptr},
    {"窓ハンドル座標検索", "?を", 550, nullptr},
    {"窓ハンドル内座標検索", "?を", 551, nullptr},
    {"窓座標クリック", "?の", 564, nullptr},
    {"窓座標テキスト設定", "?へ,?を", 565, nullptr},
    {"窓座標リストインデックス設定", "?へ,?を", 566, nullptr},
    {"マウス移動", "?へ", 557, nullptr},
    {"マウスクリック", "", 558, nullptr},
    {"マウス座標取得", "", 559, nullptr},
};

}  // namespace

const TFamily kProcessFamily{"プロセスとウインドウ", kCommands, {}};

}  // namespace yume
