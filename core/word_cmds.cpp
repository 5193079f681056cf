// Words and values: local variables, value types, copying and renaming words, listing
// variables and dictionary items, assignment.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"ローカル変数", "?を", 518, nullptr},     {"数値として扱う", "?を", 194, nullptr},
    {"文字列として扱う", "?を", 195, nullptr}, {"辞書として扱う", "?を", 213, nullptr},
    {"単語コピー", "?から,?へ", 294, nullptr}, {"名義変更", "?を,?に", 51, nullptr},
    {"変数名列挙", "?以上の", 393, nullptr},   {"ハッシュキー列挙", "?の", 211, nullptr},
    {"辞書項目列挙", "?の", 212, nullptr},     {"入れる", "?を,?に", 397, nullptr},
    {"代入", "?を,?に", 397, nullptr},         {"その単語に特定", "?を", 141, nullptr},
};

// そして only joins statements; it is a word so that it cannot be taken as a variable name.
constexpr VariableDef kStatementVariables[] = {
    {"そして", "", "", 0, false, false},
};

// The general constants, and それ and そ, which hold the results of commands.
constexpr VariableDef kConstants[] = {
    {"オン", "1", "e", 88, false, true},
    {"オフ", "0", "e", 89, false, true},
    {"はい", "1", "e", 90, false, true},
    {"いいえ", "0", "e", 91, false, true},
    {"キャンセル", "2", "e", 92, false, true},
    {"改行", "\r\n", "s", 93, false, true},
    {"それ", "", "", 94, false, false},
    {"そ", "", "", 95, false, false},
    {"赤色", "#FF0000", "s", 96, false, true},
    {"青色", "#0000FF", "s", 97, false, true},
    {"黒色", "#000000", "s", 98, false, true},
    {"白色", "#FFFFFF", "s", 99, false, true},
    {"黄色", "#FFFF00", "s", 100, false, true},
    {"緑色", "#00FF00", "s", 101, false, true},
    {"紫色", "#FF00FF", "s", 102, false, true},
    {"灰色", "#CCCCCC", "s", 103, false, true},
    {"水色", "#00FFFF", "s", 104, false, true},
    {"茶色", "#993300", "s", 105, false, true},
    {"オレンジ色", "#FF3300", "s", 106, false, true},
    {"肌色", "#FFCC99", "s", 107, false, true},
};
}  // namespace

const TFamily kWordFamily{"単語と値", kCommands, {}};
const TFamily kStatementFamily{"文の言葉", {}, kStatementVariables};
const TFamily kConstantFamily{"定数", {}, kConstants};

}  // namespace yume
