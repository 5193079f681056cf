// Files, folders, file handles, path names and the clipboard.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"
#include "commands/system/folder_cmds.h"
#include "commands/system/handle_cmds.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"コピー", "?を", 429, nullptr},
    {"クリップボード取得", "", 430, nullptr},
    {"読む", "?に,?を", 37, nullptr},
    {"開く", "?に,?を", 37, nullptr},
    {"書く", "?を,?へ", 38, nullptr},
    {"保存", "?を,?へ", 38, nullptr},
    {"追加保存", "?を,?へ", 297, nullptr},
    {"ハンドルを開く", "?で,?の", 331, CmdHandleOpen},
    {"ハンドルを詳しく開く", "?に,?を,?で", 422, CmdHandleOpenMode},
    {"ハンドルを一行読む", "?に,?の", 332, CmdHandleReadLine},
    {"ハンドルへ一行書く", "?を,?の", 333, CmdHandleWriteLine},
    {"ハンドルを閉じる", "?の", 334, CmdHandleClose},
    {"ハンドル最後か", "?の", 335, CmdHandleAtEnd},
    {"ハンドルを先頭に移動", "?の", 336, CmdHandleToStart},
    {"ハンドルを最後に移動", "?の", 337, CmdHandleToEnd},
    {"ハンドルを移動", "?の,?に", 419, CmdHandleSeek},
    {"ハンドルにバイナリを書く", "?を,?に,?つ", 420, CmdHandleWriteBytes},
    {"ハンドルにバイナリを読む", "?へ,?を,?つ", 421, CmdHandleReadBytes},
    {"ファイルコピー", "?から,?へ", 58, CmdFileCopy},
    {"ファイル削除", "?を", 59, CmdFileDelete},
    {"ファイル完全削除", "?を", 385, CmdFileErase},
    {"ファイル名変更", "?から,?へ", 60, CmdFileRename},
    {"ファイル移動", "?から,?へ", 61, CmdFileMove},
    {"ショートカット作成", "?を,?へ", 66, CmdMakeShortcut},
    {"作業フォルダ変更", "?へ", 62, nullptr},
    {"作業ディレクトリ変更", "?へ", 62, nullptr},
    {"作業フォルダ", "?へ", 89, nullptr},
    {"作業ディレクトリ", "", 89, nullptr},
    {"フォルダ作成", "?へ", 63, CmdMakeFolder},
    {"フォルダ削除", "?の", 64, CmdRemoveFolder},
    {"ファイル属性変更", "?を,?に", 65, CmdSetAttributes},
    {"ファイル属性取得", "?の", 382, CmdGetAttributes},
    {"ファイル日時", "?の", 185, CmdFileTime},
    {"ファイルサイズ", "?の", 186, CmdFileSize},
    {"ファイル列挙", "?の", 67, CmdListFiles},
    {"全ファイル列挙", "?の", 268, CmdListAllFiles},
    {"フォルダ列挙", "?の", 168, CmdListFolders},
    {"全フォルダ列挙", "?の", 446, CmdListAllFolders},
    {"フォルダか", "?が", 68, nullptr},
    {"ファイルか", "?が", 69, nullptr},
    {"存在するか", "?が", 81, nullptr},
    {"ドライブ種類判定", "?の", 353, CmdDriveType},
    {"短いファイル名取得", "?の", 383, CmdShortName},
    {"長いファイル名取得", "?の", 384, CmdLongName},
    {"パスを切り出す", "?から", 170, nullptr},
    {"拡張子を切り出す", "?から", 176, nullptr},
    {"ファイル名を切り出す", "?から", 269, nullptr},
    {"拡張子変更", "?を,?に", 314, nullptr},
    {"絶対パス展開", "?を,?で", 524, nullptr},
    {"特殊フォルダ取得", "?の", 532, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"属性なし", "128", "e", 11, true, true},
    {"読取専用ファイル", "1", "e", 12, true, true},
    {"隠しファイル", "2", "e", 13, true, true},
    {"アーカイブファイル", "32", "e", 14, true, true},
};

}  // namespace

const TFamily kFileFamily{"ファイルとフォルダ", kCommands, kVariables};

}  // namespace yume
