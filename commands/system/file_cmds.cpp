// Files, folders, file handles, path names and the clipboard.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

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
    {"ハンドルを開く", "?で,?の", 331, nullptr},
    {"ハンドルを詳しく開く", "?に,?を,?で", 422, nullptr},
    {"ハンドルを一行読む", "?に,?の", 332, nullptr},
    {"ハンドルへ一行書く", "?を,?の", 333, nullptr},
    {"ハンドルを閉じる", "?の", 334, nullptr},
    {"ハンドル最後か", "?の", 335, nullptr},
    {"ハンドルを先頭に移動", "?の", 336, nullptr},
    {"ハンドルを最後に移動", "?の", 337, nullptr},
    {"ハンドルを移動", "?の,?に", 419, nullptr},
    {"ハンドルにバイナリを書く", "?を,?に,?つ", 420, nullptr},
    {"ハンドルにバイナリを読む", "?へ,?を,?つ", 421, nullptr},
    {"ファイルコピー", "?から,?へ", 58, nullptr},
    {"ファイル削除", "?を", 59, nullptr},
    {"ファイル完全削除", "?を", 385, nullptr},
    {"ファイル名変更", "?から,?へ", 60, nullptr},
    {"ファイル移動", "?から,?へ", 61, nullptr},
    {"ショートカット作成", "?を,?へ", 66, nullptr},
    {"作業フォルダ変更", "?へ", 62, nullptr},
    {"作業ディレクトリ変更", "?へ", 62, nullptr},
    {"作業フォルダ", "?へ", 89, nullptr},
    {"作業ディレクトリ", "", 89, nullptr},
    {"フォルダ作成", "?へ", 63, nullptr},
    {"フォルダ削除", "?の", 64, nullptr},
    {"ファイル属性変更", "?を,?に", 65, nullptr},
    {"ファイル属性取得", "?の", 382, nullptr},
    {"ファイル日時", "?の", 185, nullptr},
    {"ファイルサイズ", "?の", 186, nullptr},
    {"ファイル列挙", "?の", 67, nullptr},
    {"全ファイル列挙", "?の", 268, nullptr},
    {"フォルダ列挙", "?の", 168, nullptr},
    {"全フォルダ列挙", "?の", 446, nullptr},
    {"フォルダか", "?が", 68, nullptr},
    {"ファイルか", "?が", 69, nullptr},
    {"存在するか", "?が", 81, nullptr},
    {"ドライブ種類判定", "?の", 353, nullptr},
    {"短いファイル名取得", "?の", 383, nullptr},
    {"長いファイル名取得", "?の", 384, nullptr},
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
