#include "gfx/progopts.h"

#include <cstring>

#include "core/app.h"
#include "core/registry.h"
#include "core/sjis.h"
#include "platform/paths.h"

namespace yume {

TProgramOptions ParseProgramOptions(int argc, char** argv) {
  TProgramOptions o;
  std::string self = ExecutableFile();
  o.Params.push_back(self.empty() ? FromSysPath(argv[0]) : self);
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0) {
      o.Help = true;
    } else if (std::strcmp(a, "--version") == 0) {
      o.Version = true;
    } else if (std::strcmp(a, "--words") == 0) {
      o.Words = true;
    } else if (std::strcmp(a, "--no-plans") == 0) {
      o.NoPlans = true;
    } else if (std::strcmp(a, "--answers") == 0 && i + 1 < argc) {
      o.AnswersFile = argv[++i];
    } else if (std::strcmp(a, "--events") == 0 && i + 1 < argc) {
      o.EventsFile = argv[++i];
    } else {
      o.Params.push_back(FromSysPath(a));
    }
  }
  return o;
}

std::string UsageText(const std::string& program) {
  return "使い方: " + program +
         " [オプション] [スクリプト.ymr] [スクリプトへの引数...]\n"
         "ゆめもりのスクリプト (.ymr) を実行します。スクリプトを省くと、このプログラムと\n"
         "同じ名前で拡張子が .ymr のファイル (既定の起動ファイル) があれば、それを実行します。\n"
         "スクリプトは Shift_JIS でも UTF-8 でもかまいません。\n"
         "\n"
         "ランタイムのオプション:\n"
         "  -debug            警告でもすぐにエラー画面を開き、エラー画面に「デバッグする」を出す\n"
         "  -linestop         改行ごとにデバッグ画面を開く\n"
         "  -runtime FILE     FILE に合成されたプログラムを実行する\n"
         "  -resource FILE    FILE を合成ファイルとしてデータを取り出す\n"
         "  -security LEVEL   ファイル操作の安全レベル (low, mid, high)\n"
         "  -run              実行ファイルに合成されたプログラムを使わない\n"
         "\n"
         "このプログラムのオプション:\n"
         "  --help            この説明を表示して終わる\n"
         "  --version         版を表示して終わる\n"
         "  --words           組み込みの命令・変数・定数の一覧を表示して終わる\n"
         "                    (種類、名前、引数、命令番号か管理番号、命令が使えるか)\n"
         "  --answers FILE    ダイアログの答えを FILE の行から順に取る (入力して決定したのと同じ;\n"
         "                    <cancel> の行はキャンセル; 行がなくなれば普通に尋ねる)\n"
         "  --events FILE     待機したら FILE の行の操作 (click, type, select, close, pause …) を\n"
         "                    部品に本物の入力として送る (窓のあるスクリプトの試験のため)\n"
         "  --no-plans        文も式も毎回テキストから読む (一度読んだ形を使わない; 結果は同じで\n"
         "                    遅い: 速い実行と比べる試験のため)\n"
         "\n"
         "終了コード: 0 = 正常、1 = エラーで終わった\n";
}

std::string VersionText() {
  return std::string("ゆめもり for Linux ") + YUME_VERSION + " (言語バージョン " +
         kLanguageVersion + ")\n";
}

std::string WordsText() {
  return Cp932ToUtf8(VocabularyText());
}

}  // namespace yume
