// Tags in HTML and XML text: stripping, cutting out, paths, attributes.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"タグ削除", "?から", 100, nullptr},
    {"タグ切り出し", "?から,?の", 101, nullptr},
    {"テーブルタグで囲む", "?を,?で", 394, nullptr},
    {"URL展開", "?を,?で", 523, nullptr},
    {"XMLテキストデータ取得", "?の,?を", 441, nullptr},
    {"XMLテキストデータ設定", "?の,?に,?を", 442, nullptr},
    {"XML属性データ取得", "?の,?を", 443, nullptr},
    {"XML属性データ設定", "?の,?に,?を", 444, nullptr},
    {"XML切り出し", "?から,?の", 445, nullptr},
    {"XMLパス形式で取得", "?を", 453, nullptr},
};

}  // namespace

const TFamily kXmlFamily{"XMLとHTML", kCommands, {}};

}  // namespace yume
