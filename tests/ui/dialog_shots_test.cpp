// Pictures of every dialog for a person to look at; not a check. Disabled, so ctest passes it
// by; to make them (xvfb-run -a, or QT_QPA_PLATFORM=offscreen, in front of the program):
//   YUME_SHOT_DIR=/tmp/shots build/ui_tests --gtest_also_run_disabled_tests
//   --gtest_filter='DialogShots.*'
// The pictures show the client areas only: grab() draws no window frame.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>

#include "core/sjis.h"
#include "tests/ui/dialog_samples.h"
#include "ui/windowhost.h"

using namespace yume;
using yume::testing::SampleItems;
using yume::testing::Sj;

namespace {

// Saves the dialog that the next call shows as NAME.png, then closes it.
void ShootNext(const QString& dir, const QString& name) {
  QTimer::singleShot(300, [dir, name] {
    QWidget* w = QApplication::activeModalWidget();
    if (w) w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QDialog*>(top); d && d->isVisible()) d->reject();
  });
}

}  // namespace

TEST(DialogShots, DISABLED_EveryDialog) {
  const QString dir = QString::fromLocal8Bit(qgetenv("YUME_SHOT_DIR"));
  if (dir.isEmpty()) GTEST_SKIP() << "YUME_SHOT_DIR names the folder for the pictures";
  ASSERT_TRUE(QDir().mkpath(dir));

  TWindowHost host;
  TDialogStyle style;
  style.Title = Sj("ゆめもり");
  style.Font.Name = Sj("ＭＳ Ｐゴシック");
  style.Font.Size = 9;
  std::string answer;

  ShootNext(dir, QStringLiteral("say"));
  host.Dialogs().Say(Sj("こんにちは。\r\n二行目のメッセージです。"), style);
  std::string many;
  for (int i = 1; i <= 200; ++i) many += Sj("行") + std::to_string(i) + "\r\n";
  ShootNext(dir, QStringLiteral("say_tall"));
  host.Dialogs().Say(many, style);
  TDialogStyle big = style;
  big.Font.Size = 14;
  big.Font.Color = 0x0000C0;
  ShootNext(dir, QStringLiteral("say_font"));
  host.Dialogs().Say(Sj("大きな赤い字"), big);

  ShootNext(dir, QStringLiteral("asktext"));
  host.Dialogs().AskText(Sj("お名前を入力してください。"), Sj("山田"), style, answer);
  ShootNext(dir, QStringLiteral("yesno"));
  host.Dialogs().AskYesNo(Sj("続けますか?"), "", false);
  ShootNext(dir, QStringLiteral("yesnocancel"));
  host.Dialogs().AskYesNo(Sj("保存しますか?"), "", true);
  const std::vector<std::string> fruits = {Sj("りんご"), Sj("みかん"), Sj("ぶどう")};
  ShootNext(dir, QStringLiteral("asklist"));
  host.Dialogs().AskList(Sj("どれが好きですか?"), fruits, true, "", style, answer);
  ShootNext(dir, QStringLiteral("asklist_readonly"));
  host.Dialogs().AskList(Sj("リストから選んでください"), fruits, false, "", style, answer);
  ShootNext(dir, QStringLiteral("buttons_row"));
  host.Dialogs().AskButtons(Sj("どれにしますか?"), fruits, style, answer);
  std::vector<std::string> manyButtons;
  for (int i = 1; i <= 12; ++i) manyButtons.push_back(Sj("選択肢") + std::to_string(i));
  ShootNext(dir, QStringLiteral("buttons_column"));
  host.Dialogs().AskButtons(Sj("番号を選んでください"), manyButtons, style, answer);
  ShootNext(dir, QStringLiteral("memo"));
  host.Dialogs().AskMemo(Sj("一行目\r\n二行目\r\n三行目"), style, answer);

  ShootNext(dir, QStringLiteral("items"));
  host.Dialogs().AskItems(SampleItems(), style, answer);

  uint32_t color = 0x0080FF;
  ShootNext(dir, QStringLiteral("color"));
  host.Dialogs().PickColor(color);
  TDialogFont font = style.Font;
  ShootNext(dir, QStringLiteral("font"));
  host.Dialogs().PickFont(font);
  std::vector<std::string> files;
  ShootNext(dir, QStringLiteral("openfiles"));
  host.Dialogs().PickOpenFiles(Sj("テキスト(*.txt)|*.txt|全て(*.*)|*.*"), "/tmp", "", files);
  ShootNext(dir, QStringLiteral("savefile"));
  host.Dialogs().PickSaveFile(Sj("txt 形式(*.txt)|*.txt|全て(*.*)|*.*"), "txt", "/tmp", "memo.txt",
                              answer);
  ShootNext(dir, QStringLiteral("folder"));
  host.Dialogs().PickFolder("/tmp", "", answer);

  EXPECT_TRUE(QFile::exists(QDir(dir).filePath(QStringLiteral("folder.png"))));
}
