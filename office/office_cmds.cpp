// Spreadsheet and word-processor automation.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"エクセル起動", "", 109, nullptr},
    {"エクセル開く", "?を", 110, nullptr},
    {"エクセル保存", "?へ", 111, nullptr},
    {"エクセルCSV形式保存", "?へ", 454, nullptr},
    {"エクセル終了", "", 112, nullptr},
    {"エクセル設定", "?を,?に", 113, nullptr},
    {"エクセル得る", "?を,?に", 114, nullptr},
    {"エクセルマクロ実行", "?を", 115, nullptr},
    {"エクセル印刷", "", 133, nullptr},
    {"エクセルアクティブ", "?の,?を", 533, nullptr},
    {"エクセルシートアクティブ", "?を", 534, nullptr},
    {"エクセルセル選択", "?から,?を", 535, nullptr},
    {"エクセル貼り付け", "", 536, nullptr},
    {"エクセル印刷プレビュー", "", 537, nullptr},
    {"エクセル一括設定", "?を,?へ", 538, nullptr},
    {"エクセル一括取得", "?から,?を", 539, nullptr},
    {"ワード起動", "", 124, nullptr},
    {"ワード開く", "?を", 125, nullptr},
    {"ワード保存", "?へ", 126, nullptr},
    {"ワード終了", "", 127, nullptr},
    {"ワードブックマーク設定", "?を,?に", 128, nullptr},
    {"ワード文字挿入", "?を", 129, nullptr},
    {"ワード本文を得る", "", 130, nullptr},
    {"ワードマクロ実行", "?を", 131, nullptr},
    {"ワード印刷", "", 134, nullptr},
};

}  // namespace

const TFamily kOfficeFamily{"表計算とワープロ", kCommands, {}};

}  // namespace yume
