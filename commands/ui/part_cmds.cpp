// GUI parts and the mothership: creating, properties, menus, tabs, trees, editors.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"作成", "?に,?を,?として", 7, nullptr},
    {"作る", "?を", 428, nullptr},
    {"設定", "?の,?を,?に", 8, nullptr},
    {"得る", "?の,?を,?に", 9, nullptr},
    {"オブジェクト破壊", "?の", 25, nullptr},
    {"部品破壊", "?の", 25, nullptr},
    {"オブジェクト全破壊", "", 28, nullptr},
    {"部品全破壊", "", 28, nullptr},
    {"部品検索", "?の", 529, nullptr},
    {"オブジェクト丸く", "?で,?の", 440, nullptr},
    {"中央へ移動", "?を", 242, nullptr},
    {"注目", "?に", 26, nullptr},
    {"最前面", "?を", 181, nullptr},
    {"最背面", "?を", 182, nullptr},
    {"最大化", "?を", 406, nullptr},
    {"最小化", "?を", 407, nullptr},
    {"フォーム元のサイズ", "?を", 408, nullptr},
    {"メッセージ送信", "?に,?と", 339, nullptr},
    {"乗せ換える", "?を,?の上へ", 401, nullptr},
    {"乗せる", "?を,?へ", 401, nullptr},
    {"母艦浮上", "", 352, nullptr},
    {"母艦最大化", "", 306, nullptr},
    {"母艦最小化", "", 307, nullptr},
    {"母艦元のサイズ", "", 308, nullptr},
    {"母艦アイコン", "?を", 315, nullptr},
    {"母艦全画面化", "", 328, nullptr},
    {"母艦スタイル設定", "?に", 381, nullptr},
    {"フォーム閉じる", "?の", 542, nullptr},
    {"ダイアログ表示", "?を", 528, nullptr},
    {"フォーム表示", "?の", 547, nullptr},
    {"メニュー作成", "?を", 261, nullptr},
    {"メニュー追加", "?に,?を", 262, nullptr},
    {"メニューパス作成", "?を", 455, nullptr},
    {"元に戻す実行", "?の", 509, nullptr},
    {"全て選択を実行", "?の", 513, nullptr},
    {"選択文字列切り取り", "?の", 510, nullptr},
    {"選択文字列コピー", "?の", 511, nullptr},
    {"選択文字列貼り付け", "?の", 512, nullptr},
    {"Tエディタ設定", "?の", 402, nullptr},
    {"Tエディタ設定を保存", "?を,?へ", 403, nullptr},
    {"Tエディタ設定を読込", "?を,?から", 404, nullptr},
    {"ブラウザ進む", "?の", 435, nullptr},
    {"ブラウザ戻る", "?の", 436, nullptr},
    {"ブラウザHTML取得", "?の", 540, nullptr},
    {"ブラウザHTML書く", "?へ,?を", 541, nullptr},
    {"タブ追加", "?に,?の", 434, nullptr},
    {"タブ削除", "?の,?を", 530, nullptr},
    {"タブ有効変更", "?を,?に", 437, nullptr},
    {"タブ位置変更", "?で,?に", 461, nullptr},
    {"ツリーアイテム追加", "?に,?の", 449, nullptr},
    {"ツリーアイテム削除", "?の,?を", 450, nullptr},
    {"ツリー展開", "?の,?を", 451, nullptr},
    {"ツリー折りたたむ", "?の,?を", 452, nullptr},
    {"グリッド一行選択変更", "?で,?に", 462, nullptr},
    {"リッチエディタ選択属性変更", "?の", 463, nullptr},
    {"リッチエディタ保存", "?を,?へ", 482, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"部品配置間隔", "8", "e", 26, false, false},
    {"マウスX", "0", "e", 27, true, false},
    {"マウスY", "0", "e", 28, true, false},
    {"押されたキー", "0", "e", 29, true, false},
    {"押された特殊キー", "", "e", 30, true, false},
    {"イベントオブジェクト", "", "s", 31, true, false},
    {"イベントの値", "", "s", 32, true, false},
    {"枠なし", "0", "e", 33, false, true},
    {"枠固定", "1", "e", 34, false, true},
    {"枠可変", "2", "e", 35, false, true},
    {"ダイアログスタイル", "3", "e", 36, false, true},
    {"ブラウザURL移動許可", "1", "e", 37, false, false},
    {"ブラウザ移動先URL", "", "s", 38, false, false},
    {"ブラウザ新規ブラウザ", "", "s", 39, false, false},
    {"縦", "縦", "s", 40, false, false},
    {"横", "横", "s", 41, false, false},
    {"両方", "両方", "s", 42, false, false},
    {"IMEオン", "1", "e", 43, false, true},
    {"IMEオフ", "0", "e", 44, false, true},
    {"IMEひらがな", "2", "e", 45, false, true},
    {"IMEカタカナ", "3", "e", 57, false, true},
    {"IME半角カタカナ", "4", "e", 58, false, true},
};

}  // namespace

const TFamily kPartFamily{"部品と母艦", kCommands, kVariables};

}  // namespace yume
