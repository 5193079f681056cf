// Scripts whose every dialog the window program answers from --answers lines: the commands,
// the window host's forms and pickers, and what the script prints afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <filesystem>
#include <string>

#include "core/app.h"
#include "tests/qt_test_env.h"
#include "tests/ui/dialog_samples.h"
#include "ui/frmyume.h"
#include "ui/windowhost.h"

using namespace yume;
using yume::testing::Sj;

namespace {

// Runs a script with answer lines; the lines it printed on the window.
QStringList RunAnswered(const char* name, const char* script,
                        std::initializer_list<const char*> answers) {
  const std::string path = yume::testing::WriteScript(name, script);
  TWindowHost host;
  TYumeApp app(host, {"/nonexistent/yumemori", Sj(path.c_str())});
  host.Attach(&app);
  std::deque<std::string> lines;
  for (const char* a : answers) lines.push_back(Sj(a));
  host.SetAnswers(std::move(lines));
  // A safety net only: a dialog left unanswered is closed and the run given up.
  QTimer net;
  QObject::connect(&net, &QTimer::timeout, [] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
    QCoreApplication::exit(99);
  });
  net.start(10000);
  EXPECT_EQ(host.Run(), 0);
  return host.Form()->PrintedLines();
}

}  // namespace

TEST(WindowDialogScripts, EveryKindAnswered) {
  const QStringList printed =
      RunAnswered("dialogs.ymr",
                  "「年齢は？」と、尋ねる\r\n"
                  "もし、それ=12ならば、「数として12」を、表示\r\n"
                  "「続けますか」と、二択\r\n"
                  "「二択={それ}」を、表示\r\n"
                  "「やめますか」と、三択\r\n"
                  "「三択={それ}」を、表示\r\n"
                  "「果物」が、「りんご｜みかん|ポン酢」の、どれか尋ねる\r\n"
                  "「{それ}」を、表示\r\n"
                  "「果物」を、「りんご|ポン酢」の、リストから選択\r\n"
                  "「{それ}」を、表示\r\n"
                  "「どれ」を、「a\\nb\\nc」の、ボタンで選択\r\n"
                  "「{それ}」を、表示\r\n"
                  "「元の文」の、メモ記入\r\n"
                  "「{それ}」を、表示\r\n"
                  "「;名前=内容\\n氏名=太郎\\n年=?e20\\n色=?(赤|青)赤」を、項目記入\r\n"
                  "「{それ}」を、表示\r\n"
                  "色選択\r\n"
                  "「色={それ}」を、表示\r\n"
                  "フォント選択\r\n"
                  "「{それ}」を、表示\r\n"
                  "「txt」の、書込ファイル選択\r\n"
                  "「{それ}」を、表示\r\n"
                  "「.csv」の、読込ファイル選択\r\n"
                  "「{それ}」を、表示\r\n"
                  "フォルダ選択\r\n"
                  "「{それ}」を、表示\r\n"
                  "「言うだけ」と、言う\r\n"
                  "ダイアログキャンセルの値は、「なし」\r\n"
                  "色選択\r\n"
                  "「{それ}」を、表示\r\n"
                  "終わる\r\n",
                  {"12", "はい", "c", "ポン酢", "バナナ", "2", "2", "一行目\\n二行目",
                   "年=30\\n色=青", "#0000FF", "ゴシック|太字斜体|20", "/tmp/メモ",
                   "/tmp/a.csv|/tmp/b.csv", "/tmp", "<cancel>"});
  const QStringList expected = {
      QStringLiteral("数として12"),
      QStringLiteral("二択=1"),
      QStringLiteral("三択=2"),
      QStringLiteral("ポン酢"),
      QStringLiteral("ポン酢"),  // "バナナ" is no item: passed over, "2" picks the second
      QStringLiteral("b"),
      QStringLiteral("一行目"),
      QStringLiteral("二行目"),
      QStringLiteral("氏名=太郎"),
      QStringLiteral("年=30"),
      QStringLiteral("色=青"),
      QStringLiteral("色=16711680"),
      QStringLiteral("ゴシック|太字斜体|20"),
      QStringLiteral("/tmp/メモ.txt"),
      QStringLiteral("/tmp/a.csv"),
      QStringLiteral("/tmp/b.csv"),
      QStringLiteral("/tmp/"),
      QStringLiteral("なし"),
  };
  EXPECT_EQ(printed, expected);
}

// The write guard asks with the four-answer dialog in the window too: いいえ refuses, 全てはい
// allows this write and every later one without asking.
TEST(WindowDialogScripts, WriteGuardAsksOutsideTheProgramsFolder) {
  const std::string folder = ::testing::TempDir() + "guard_" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string outside = "外_" + std::to_string(::getpid()) + ".txt";
  const std::string script = "「外」を、「../" + outside + "」へ、保存\r\n" + "「../" + outside +
                             "」が、存在するか\r\n" + "「{それ}」を、表示\r\n" + "「外」を、「../" +
                             outside + "」へ、保存\r\n" + "「../" + outside +
                             "」が、存在するか\r\n" + "「{それ}」を、表示\r\n" + "「../" + outside +
                             "」を、ファイル完全削除\r\n" + "「../" + outside +
                             "」が、存在するか\r\n" + "「{それ}」を、表示\r\n" + "終わる\r\n";
  const QStringList printed =
      RunAnswered(("guard_" + std::to_string(::getpid()) + "/guard.ymr").c_str(), script.c_str(),
                  {"いいえ", "全てはい"});
  EXPECT_EQ(printed, QStringList({"0", "1", "0"}));
  std::filesystem::remove_all(folder);
}
