// Strings: lengths, searching, replacing, cutting, padding, character classes, bytes.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"バイナリダンプ", "?を", 375, nullptr},
    {"文字数", "?の", 92, nullptr},
    {"バイト数", "?の", 122, nullptr},
    {"行数", "?の", 70, nullptr},
    {"置換", "?の,?を,?に", 46, nullptr},
    {"単置換", "?で,?個目の,?を,?に", 438, nullptr},
    {"何文字目", "?の中で,?が", 562, nullptr},
    {"何バイト目", "?の中で,?が", 47, nullptr},
    {"リフレイン", "?を,?度", 50, nullptr},
    {"確保", "?に,?バイトを", 73, nullptr},
    {"LEN", "?", 92, nullptr},
    {"LENB", "?", 122, nullptr},
    {"RIGHT", "?,?", 188, nullptr},
    {"LEFT", "?,?", 189, nullptr},
    {"MID", "?の中で,?から,?つ", 48, nullptr},
    {"切り出す", "?の中で,?から,?つ", 48, nullptr},
    {"MIDB", "?,?,?", 431, nullptr},
    {"POS", "?,?", 47, nullptr},
    {"文比較", "?と,?で", 373, nullptr},
    {"出現回数", "?で,?の", 410, nullptr},
    {"区切る", "?を,?で", 36, nullptr},
    {"段落を切り出す", "?から,?番目の", 214, nullptr},
    {"行揃え", "?を,?バイトで", 412, nullptr},
    {"左端を切り取る", "?から,?文字", 277, nullptr},
    {"右端を切り取る", "?から,?文字", 278, nullptr},
    {"切り取る", "?の,?までを", 99, nullptr},
    {"範囲を切り取る", "?の,?から,?までの", 266, nullptr},
    {"判別して切り取る", "?の,?までを,?で", 279, nullptr},
    {"前後の空白削除", "?の", 72, nullptr},
    {"トリム", "?を", 72, nullptr},
    {"右端削除", "?から,?文字", 171, nullptr},
    {"左端削除", "?から,?文字", 172, nullptr},
    {"送り仮名削除", "?から", 327, nullptr},
    {"通貨形式に変換", "?を", 173, nullptr},
    {"指定形式に変換", "?を,?の", 293, nullptr},
    {"右寄せ", "?を,?桁で", 174, nullptr},
    {"ゼロで埋める", "?を,?桁の", 175, nullptr},
    {"大文字か", "?が", 284, nullptr},
    {"数字か", "?が", 285, nullptr},
    {"数列か", "?が", 413, nullptr},
    {"全角か", "?が", 286, nullptr},
    {"ひらがなか", "?が", 287, nullptr},
    {"カタカナか", "?が", 288, nullptr},
    {"文字", "?の", 76, nullptr},
    {"キーコード", "?の", 75, nullptr},
    {"CHR", "?", 76, nullptr},
    {"ASC", "?", 75, nullptr},
    {"バイナリ取得", "?の,?を,?形式で", 415, nullptr},
    {"バイナリ設定", "?を,?の,?に,?形式で", 416, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"タブ文字の個数", "8", "e", 5, false, false},
    {"禁則処理の行頭禁止文字", "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ", "s", 6,
     false, false},
};

}  // namespace

const TFamily kStringFamily{"文字列", kCommands, kVariables};

}  // namespace yume
