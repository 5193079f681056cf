#include "core/messages.h"

namespace yume::msg {

const char kArgument[] = "\"%s\"命令の引数に誤りがあります。";
const char kTooFewArguments[] = "\"%s\"の形式で指定してください。引数が少ないです。";
const char kPatternExpected[] = "\"%s\"の形式で指定してください。\"%s\"";
const char kBadSyntax[] = "\"%s\"は、文法が正しくないため、実行できません。";
const char kReadOnly[] = "\"%s\"は、読取専用です。";
const char kRangeCheck[] = "範囲チェックエラー";
const char kNotBuilt[] = "\"%s\"は、まだ作られていません。";
const char kCommandNotBuilt[] = "\"%s\"命令は、まだ作られていません。";
const char kRunaway[] = "実行が無限ループしている可能性があるので終了します。";
const char kJumpToUndefined[] = "未定義のラベル\"%s\"に、ジャンプしようとしました。";
const char kNoSuchLabel[] = "ラベル\"%s\"はありません。";
const char kWordNotMade[] = "部品\"%s\"は、作成されていません。";
const char kWordUnknown[] = "部品\"%s\"が特定できません。";
const char kParenUnmatched[] = "\")\"が対応していません。";
const char kForCounter[] = "\"%s\"の実行回数カウンターには、変数を指定してください。";
const char kReservedWord[] = "\"%s\"は予約語なので、登録できません。";
const char kLibraryCommand[] = "DLLの命令";
const char kCannotWrite[] = "\"%s\"へ書き込めません。";
const char kFileFailed[] = "ファイル\"%s\"の、読み込みか書き込みに、失敗しました。";
const char kFileMissing[] = "ファイル\"%s\"が、ありません。";

}  // namespace yume::msg
