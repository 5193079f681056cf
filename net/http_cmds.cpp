// HTTP downloads and posts, FTP transfers and remote files.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"FTP接続", "", 232, nullptr},
    {"FTPアップロード", "?を,?へ", 233, nullptr},
    {"FTPフォルダアップロード", "?を,?へ", 499, nullptr},
    {"FTPダウンロード", "?を,?へ", 234, nullptr},
    {"FTP切断", "", 235, nullptr},
    {"FTP転送モード", "?の", 320, nullptr},
    {"FTP作業フォルダ", "?へ", 321, nullptr},
    {"FTPフォルダ作成", "?の", 326, nullptr},
    {"FTPファイル削除", "?の", 322, nullptr},
    {"FTPフォルダ削除", "?の", 323, nullptr},
    {"FTPファイル列挙", "?の", 324, nullptr},
    {"FTPファイル情報", "?の", 433, nullptr},
    {"FTPフォルダ列挙", "?の", 325, nullptr},
    {"FTPファイル属性変更", "?を,?に", 426, nullptr},
    {"FTPファイル名変更", "?から,?へ", 448, nullptr},
    {"FTP親フォルダ移動", "", 427, nullptr},
    {"HTTPダウンロード", "?を,?へ", 236, nullptr},
    {"HTTPポスト", "?を,?へ", 460, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"FTPホスト", "", "s", 78, false, false},
    {"FTPユーザーID", "", "s", 85, false, false},
    {"FTPパスワード", "", "s", 86, false, false},
    {"FTP接続方式", "", "s", 87, false, false},
};

}  // namespace

const TFamily kHttpFamily{"HTTPとFTP", kCommands, kVariables};

}  // namespace yume
