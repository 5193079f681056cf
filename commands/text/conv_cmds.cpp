// Character-class conversion (half/full width, kana, case) and text encodings.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"半角変換", "?を", 27, nullptr},
    {"英数半角変換", "?を", 267, nullptr},
    {"全角変換", "?を", 80, nullptr},
    {"大文字変換", "?を", 197, nullptr},
    {"小文字変換", "?を", 198, nullptr},
    {"ひらがな変換", "?を", 230, nullptr},
    {"カタカナ変換", "?を", 231, nullptr},
    {"文字コードをEUCに変換", "?の", 290, nullptr},
    {"文字コードをJISに変換", "?の", 291, nullptr},
    {"文字コードをSJISに変換", "?の", 292, nullptr},
    {"BASE64エンコード", "?を", 378, nullptr},
    {"BASE64デコード", "?を", 379, nullptr},
    {"文字コード変換", "?の,?から,?へ", 456, nullptr},
    {"SJISからUTF8に変換", "?を", 526, nullptr},
    {"UTF8からSJISに変換", "?を", 527, nullptr},
    {"メールヘッダエンコード", "?を", 457, nullptr},
    {"メールヘッダデコード", "?を", 458, nullptr},
    {"MBXメッセージ取得", "?から", 459, nullptr},
};

}  // namespace

const TFamily kConvFamily{"文字種と文字コード", kCommands, {}};

}  // namespace yume
