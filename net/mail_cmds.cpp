// Mail sending and receiving, TCP client and server.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"メール送信", "", 138, nullptr},
    {"メール受信", "?へ", 139, nullptr},
    {"TCP接続", "?へ", 356, nullptr},
    {"TCP切断", "", 357, nullptr},
    {"TCP接続状態", "", 358, nullptr},
    {"TCP送信", "?を", 359, nullptr},
    {"TCP受信処理設定", "?に", 360, nullptr},
    {"TCPサーバー起動", "", 361, nullptr},
    {"TCPサーバー終了", "", 362, nullptr},
    {"TCPサーバー接続先列挙", "", 363, nullptr},
    {"TCPサーバーから送信", "?へ,?を", 364, nullptr},
    {"TCPサーバーから切断", "?を", 405, nullptr},
    {"TCPサーバー受信処理設定", "?に", 365, nullptr},
    {"TCPサーバー接続処理設定", "?に", 371, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"メールホスト", "", "s", 59, false, false},
    {"メールID", "", "s", 60, false, false},
    {"メールパスワード", "", "s", 61, false, false},
    {"メールタイトル", "", "s", 62, false, false},
    {"メール本文", "", "s", 63, false, false},
    {"メール添付ファイル", "", "s", 64, false, false},
    {"メール送信先", "", "s", 65, false, false},
    {"メールBCC", "", "s", 66, false, false},
    {"メールCC", "", "s", 67, false, false},
    {"メール送信元", "", "s", 68, false, false},
    {"メール送信者名", "", "s", 69, false, false},
    {"メールサーバーから削除", "1", "s", 70, false, false},
    {"メールSMTPポート", "25", "s", 71, false, false},
    {"メールPOP3ポート", "110", "s", 72, false, false},
    {"メール認証方式", "", "s", 73, false, false},
    {"TCPポート", "", "s", 74, false, false},
    {"TCPサービス名", "", "s", 75, false, false},
    {"TCP文字列", "", "s", 76, false, false},
    {"TCP送信元", "", "s", 77, false, false},
};

}  // namespace

const TFamily kMailFamily{"メールとTCP", kCommands, kVariables};

}  // namespace yume
