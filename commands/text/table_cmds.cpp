// Arrays (one item a line) and comma-separated tables.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"要素数", "?の", 317, nullptr},
    {"ソート", "?を", 77, nullptr},
    {"数値ソート", "?を", 78, nullptr},
    {"逆にする", "?を", 79, nullptr},
    {"配列シャッフル", "?を", 330, nullptr},
    {"行挿入", "?の,?行目へ,?を", 105, nullptr},
    {"行削除", "?の,?行目を", 106, nullptr},
    {"表条件抽出", "?を,?で", 310, nullptr},
    {"表ピックアップ", "?の,?列目から,?を", 82, nullptr},
    {"表完全一致ピックアップ", "?の,?列目から,?を", 500, nullptr},
    {"表検索", "?の,?列目から,?を", 83, nullptr},
    {"表曖昧検索", "?の,?列目から,?を", 86, nullptr},
    {"表検索次の値", "", 84, nullptr},
    {"表検索クリア", "", 85, nullptr},
    {"表最大値", "?の,?列目の", 93, nullptr},
    {"表最小値", "?の,?列目の", 94, nullptr},
    {"表平均値", "?の,?列目の", 95, nullptr},
    {"表合計", "?の,?列目の", 98, nullptr},
    {"表ソート", "?の,?列目を", 96, nullptr},
    {"表数値ソート", "?の,?列目を", 97, nullptr},
    {"表日付ソート", "?の,?列目を", 298, nullptr},
    {"表辞書順ソート", "?の,?列目を", 522, nullptr},
    {"表反転", "?の", 514, nullptr},
    {"表列挿入", "?の,?列目へ", 107, nullptr},
    {"表列削除", "?の,?列目を", 108, nullptr},
    {"表重複項目削除", "?の,?列目をキーに", 196, nullptr},
    {"表列コピー", "?の,?列目を", 237, nullptr},
    {"表列貼付け", "?の,?列目に,?を", 238, nullptr},
    {"表キー合成", "?の,?列目と,?の,?列目で", 311, nullptr},
    {"表行列交換", "?の", 349, nullptr},
    {"表列指定置換", "?の,?列目にある,?を,?に", 391, nullptr},
    {"表列移動", "?の,?列目と,?列目を", 392, nullptr},
    {"表行数", "?の", 350, nullptr},
    {"表列数", "?の", 351, nullptr},
    {"タブ区切りに変換", "?を", 501, nullptr},
    {"カンマ区切りに変換", "?を", 502, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"表フィールド名", "0", "e", 15, false, false},
};

}  // namespace

const TFamily kTableFamily{"配列と表", kCommands, kVariables};

}  // namespace yume
