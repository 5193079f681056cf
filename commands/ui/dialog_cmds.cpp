// Dialogs: messages, questions, choices, file, folder, colour and font pickers.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"
#include "core/executor.h"
#include "core/host.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// 言う (?と) 12 -- a message box; それ is left as it was.
void CmdSay(TYumeBase& y) {
  std::string text = PopText(y);
  y.Host->ShowMessage(text, "", TMessageKind::Info);
}

constexpr CommandDef kCommands[] = {
    {"言う", "?と", 12, CmdSay},
    {"尋ねる", "?と", 10, nullptr},
    {"二択", "?と", 40, nullptr},
    {"三択", "?と", 160, nullptr},
    {"どれか尋ねる", "?が,?の", 264, nullptr},
    {"リストから選択", "?を,?の", 301, nullptr},
    {"ボタンで選択", "?を,?の", 309, nullptr},
    {"メモ記入", "?の", 265, nullptr},
    {"項目記入", "?を", 525, nullptr},
    {"色選択", "", 103, nullptr},
    {"フォント選択", "", 312, nullptr},
    {"読込ファイル選択", "?の", 41, nullptr},
    {"書込ファイル選択", "?の", 42, nullptr},
    {"フォルダ選択", "", 169, nullptr},
    {"フォルダ拡張選択", "?の", 498, nullptr},
    {"ダイアログサイズ設定", "?に", 546, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"ダイアログキャンセルの値", "", "s", 8, false, false},
    {"ダイアログIMEの状態", "0", "e", 9, false, false},
    {"ダイアログ初期値", "", "s", 10, false, false},
    {"ダイアログタイトル", "", "s", 17, false, false},
    {"進行度表示ダイアログ", "1", "e", 18, false, false},
};

}  // namespace

const TFamily kDialogFamily{"ダイアログ", kCommands, kVariables};

}  // namespace yume
