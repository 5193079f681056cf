// Errors and diagnostics: what happens on an error, the exit label, debug output.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"終了処理設定", "?に", 161, nullptr},
    {"DEBUG", "", 57, nullptr},
    {"デバッグ", "", 57, nullptr},
    {"改行で実行を止める", "", 270, nullptr},
    {"_P", "?", 193, nullptr},
    {"ログる", "?を,?で", 347, nullptr},
    {"エラーを無視", "", 118, nullptr},
    {"エラーを警告", "", 120, nullptr},
    {"エラー処理設定", "?に", 119, nullptr},
    {"エラーから復帰", "", 121, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"終了不可能", "0", "e", 1, true, false},
    {"エラーメッセージ", "", "s", 3, true, false},
    {"エラー行", "", "e", 4, true, false},
};

}  // namespace

const TFamily kErrorFamily{"エラーとデバッグ", kCommands, kVariables};

}  // namespace yume
