// Database connections, queries and records.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"DB接続", "", 478, nullptr},
    {"DB詳細接続", "?で", 464, nullptr},
    {"DB切断", "", 465, nullptr},
    {"DBSQL", "?と", 466, nullptr},
    {"DB問い合わせ", "?と", 466, nullptr},
    {"DB全部取得", "", 467, nullptr},
    {"DBタブ区切りで全部取得", "", 474, nullptr},
    {"DBレコード取得", "", 475, nullptr},
    {"DBタブ区切りでレコード取得", "", 476, nullptr},
    {"DBフィールド取得", "?番目の", 477, nullptr},
    {"DB先頭", "", 468, nullptr},
    {"DB最後", "", 469, nullptr},
    {"DB次", "", 470, nullptr},
    {"DB前", "", 471, nullptr},
    {"DB最後判定", "", 472, nullptr},
    {"DB先頭判定", "", 473, nullptr},
    {"DB検索", "?の,?から,?で", 479, nullptr},
    {"DBフィールド数取得", "", 481, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"DBプロバイダ", "", "s", 47, false, false},
    {"DBデータソース", "", "s", 48, false, false},
    {"DBユーザーID", "", "s", 49, false, false},
    {"DBパスワード", "", "s", 50, false, false},
    {"DB_ACCESS2000", "Microsoft.Jet.OLEDB.4.0", "s", 51, false, true},
    {"DB_ORACLE", "MSDAORA", "s", 52, false, true},
    {"DB_SQLSERVER", "SQLOLEDB", "s", 53, false, true},
};

}  // namespace

const TFamily kDbFamily{"データベース", kCommands, kVariables};

}  // namespace yume
