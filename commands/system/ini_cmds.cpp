// Settings storage (registry keys and INI files), file associations, shared memory.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"レジストリ開く", "?の,?を", 164, nullptr},
    {"レジストリ閉じる", "", 165, nullptr},
    {"レジストリ読む", "?を", 162, nullptr},
    {"レジストリ書く", "?に", 163, nullptr},
    {"レジストリのバイナリを読む", "?を,?つ", 417, nullptr},
    {"レジストリにバイナリを書く", "?を,?に,?つ", 418, nullptr},
    {"レジストリのDWORDを読む", "?を", 423, nullptr},
    {"レジストリにDWORDを書く", "?を,?に", 424, nullptr},
    {"レジストリ値削除", "?を", 166, nullptr},
    {"レジストリキー削除", "?を", 167, nullptr},
    {"レジストリサブキー取得", "", 432, nullptr},
    {"関連付ける", "?を,?に,?として", 295, nullptr},
    {"関連付けを削除", "?の", 296, nullptr},
    {"INIファイル開く", "?の", 271, nullptr},
    {"INIファイル閉じる", "", 272, nullptr},
    {"INIファイル書く", "?を,?の,?へ", 273, nullptr},
    {"INIファイル読む", "?に,?の,?を", 274, nullptr},
    {"フォームの位置記録", "へ", 275, nullptr},
    {"フォームの位置復元", "から", 276, nullptr},
    {"共有保存", "?へ", 87, nullptr},
    {"共有読込", "?を", 88, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"HKEY_CLASSES_ROOT", "0", "e", 79, true, true},
    {"HKEY_CURRENT_USER", "1", "e", 80, true, true},
    {"HKEY_LOCAL_MACHINE", "2", "e", 81, true, true},
    {"HKEY_USERS", "3", "e", 82, true, true},
};

}  // namespace

const TFamily kIniFamily{"レジストリとINI", kCommands, kVariables};

}  // namespace yume
