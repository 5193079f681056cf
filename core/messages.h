// The system's messages that more than one place raises, each written once. Texts are CP932,
// so they are defined in messages.cpp (this header is also compiled as UTF-8 by the Qt
// programs). "%s" stands for what Subst fills in.
#pragma once

namespace yume::msg {

extern const char kArgument[];  // "%s" 命令の引数に誤りがあります。
extern const char kTooFewArguments[];  // "<pattern>"の形式で指定してください。引数が少ないです。
extern const char kPatternExpected[];  // "<pattern>"の形式で指定してください。"<particle>"
extern const char kBadSyntax[];  // "%s" は、文法が正しくないため、実行できません。
extern const char kReadOnly[];         // "%s" は、読取専用です。
extern const char kRangeCheck[];       // 範囲チェックエラー
extern const char kNotBuilt[];         // "%s" は、まだ作られていません。
extern const char kCommandNotBuilt[];  // "%s" 命令は、まだ作られていません。
extern const char kRunaway[];          // 実行が無限ループ…
extern const char kJumpToUndefined[];  // 未定義のラベル"%s"に、ジャンプしようとしました。
extern const char kNoSuchLabel[];     // ラベル"%s"はありません。
extern const char kWordNotMade[];     // 部品"%s"は、作成されていません。
extern const char kWordUnknown[];     // 部品"%s"が特定できません。
extern const char kParenUnmatched[];  // ")"が対応していません。
extern const char kForCounter[];  // "%s"の実行回数カウンターには、変数を指定してください。
extern const char kReservedWord[];    // "%s"は予約語なので、登録できません。
extern const char kLibraryCommand[];  // DLLの命令
extern const char kCannotWrite[];     // "%s"へ書き込めません。
extern const char kFileFailed[];  // ファイル"%s"の、読み込みか書き込みに、失敗しました。
extern const char kFileMissing[];  // ファイル"%s"が、ありません。

}  // namespace yume::msg
