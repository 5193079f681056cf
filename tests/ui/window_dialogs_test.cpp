// The window host's dialogs under the offscreen platform: each form laid out as the run cycle
// shows it, and answered through its widgets from answer lines (the application object comes
// from window_host_test.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "core/answers.h"
#include "core/sjis.h"
#include "platform/paths.h"
#include "tests/ui/dialog_samples.h"
#include "ui/dialoganswers.h"
#include "ui/dialogstyle.h"
#include "ui/frminputbox.h"
#include "ui/frminputlist.h"
#include "ui/frmmemodialog.h"
#include "ui/frmmsgbox.h"
#include "ui/frmselectbutton.h"
#include "ui/frmselectdialog.h"
#include "ui/windowhost.h"

using namespace yume;
using yume::testing::SampleItems;
using yume::testing::Sj;

namespace {

void Answer(TWindowHost& host, std::initializer_list<const char*> utf8Lines) {
  std::deque<std::string> lines;
  for (const char* l : utf8Lines) lines.push_back(Sj(l));
  host.SetAnswers(std::move(lines));
}

void Press(QWidget* w, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
}

// Every named control is there, of the kind it should be.
template <class T>
T* Named(QWidget& form, const char* name) {
  T* w = form.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

QRect Screen() {
  return QGuiApplication::primaryScreen()->geometry();
}

TDialogStyle Placed(int l, int t, int r, int b) {
  TDialogStyle s;
  s.Left = l, s.Top = t, s.Right = r, s.Bottom = b;
  return s;
}

}  // namespace

TEST(MsgBox, GrowsWithTheTextAndCutsWhatIsTooTall) {
  TfrmMsgBox box(nullptr);
  EXPECT_EQ(box.windowTitle(), QStringLiteral("メッセージ"));
  Named<QLabel>(box, "lblMsg");
  Named<QPushButton>(box, "btnOk");
  box.Prepare(QStringLiteral("短い"), {});
  EXPECT_EQ(box.lblMsg->pos(), QPoint(8, 8));
  EXPECT_EQ(box.width(), 100);  // at least 100 wide
  const QRect label = box.lblMsg->geometry();
  EXPECT_EQ(box.btnOk->y(), 8 + label.height() + 8);
  EXPECT_EQ(box.btnOk->x(), (100 - 75) / 2);
  EXPECT_EQ(box.height(), box.btnOk->geometry().bottom() + 1 + 8);
  EXPECT_EQ(box.pos(),
            QPoint((Screen().width() - box.width()) / 2, (Screen().height() - box.height()) / 2));

  TfrmMsgBox wide(nullptr);
  wide.Prepare(QString(80, QLatin1Char('W')), {});
  EXPECT_EQ(wide.width(), wide.lblMsg->width() + 16);

  TfrmMsgBox tall(nullptr);
  QStringList lines;
  for (int i = 0; i < 500; ++i) lines << QString::number(i);
  tall.Prepare(lines.join(QLatin1Char('\n')), {});
  const QString shown = tall.lblMsg->text();
  EXPECT_TRUE(shown.endsWith(QStringLiteral("\n..."))) << shown.right(20).toStdString();
  const int lineHeight = static_cast<int>(1.2 * tall.lblMsg->fontMetrics().height());
  EXPECT_EQ(shown.count(QLatin1Char('\n')), tall.MaxHeight() / lineHeight);
  EXPECT_EQ(tall.MaxHeight(), static_cast<int>(Screen().height() * 0.7));
  EXPECT_LE(tall.btnOk->y(), tall.MaxHeight());
}

TEST(MsgBox, SayClosesByItselfInAnAnsweredRun) {
  TWindowHost host;
  Answer(host, {"keep"});
  TDialogStyle style = Placed(100, 50, 0, 0);
  style.Title = Sj("題");
  host.Dialogs().Say(Sj("こんにちは\r\n二行目"), style);  // returns: the box closed itself
  std::string left;
  EXPECT_TRUE(host.TakeAnswer(left));  // and took no line
  EXPECT_EQ(left, "keep");
}

TEST(Placing, TitleAndRectangle) {
  TfrmInputBox box(nullptr);
  box.Prepare(QStringLiteral("?"), QString(), {});
  const QSize laidOut = box.size();
  TDialogStyle style = Placed(100, 50, 0, 0);
  PlaceDialog(&box, style, QStringLiteral("母艦"));
  EXPECT_EQ(box.windowTitle(), QStringLiteral("母艦"));
  EXPECT_EQ(box.pos(), QPoint(100, 50));
  EXPECT_EQ(box.size(), laidOut);  // a position alone keeps the size

  style = Placed(10, 20, 409, 219);
  style.Title = Sj("題名");
  PlaceDialog(&box, style, QStringLiteral("母艦"));
  EXPECT_EQ(box.windowTitle(), QStringLiteral("題名"));
  EXPECT_EQ(box.geometry(), QRect(10, 20, 400, 200));

  TfrmInputBox centred(nullptr);
  centred.Prepare(QStringLiteral("?"), QString(), {});
  const QPoint before = centred.pos();
  PlaceDialog(&centred, {}, QStringLiteral("母艦"));
  EXPECT_EQ(centred.pos(), before);
}

TEST(InputBox, LayoutAndAnswers) {
  TfrmInputBox box(nullptr);
  for (const char* n : {"lblMsg", "edtInput", "panel", "btnOk", "btnCancel"})
    EXPECT_NE(box.findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
  TDialogStyle style;
  style.Font.Name = Sj("ＭＳ ゴシック");
  style.Font.Size = 12;
  style.Font.Color = 0x0000FF;
  box.Prepare(QStringLiteral("名前は?"), QStringLiteral("初期"), style);
  EXPECT_EQ(box.edtInput->text(), QStringLiteral("初期"));
  EXPECT_EQ(box.lblMsg->font().pixelSize(), 16);  // 12 points
  EXPECT_EQ(box.lblMsg->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(box.width(), 300);
  const QRect label = box.lblMsg->geometry(), edit = box.edtInput->geometry();
  EXPECT_EQ(edit.top(), label.bottom() + 1 + 8);
  EXPECT_EQ(edit.left(), 8);
  EXPECT_EQ(edit.width(), 300 - 16);
  EXPECT_EQ(box.panel->y(), edit.bottom() + 1 + 8);
  EXPECT_EQ(box.panel->x(), (300 - box.panel->width()) / 2);
  EXPECT_EQ(box.height(), box.panel->geometry().bottom() + 1 + 8);

  TfrmInputBox wide(nullptr);
  wide.Prepare(QString(100, QLatin1Char('W')), QString(), {});
  EXPECT_EQ(wide.width(), wide.lblMsg->width() + 16);
  EXPECT_EQ(wide.edtInput->width(), wide.width() - 16);

  // Enter in the edit is OK; Escape cancels.
  TfrmInputBox keys(nullptr);
  keys.Prepare(QStringLiteral("?"), QStringLiteral("x"), {});
  QTimer::singleShot(0, &keys, [&] { Press(keys.edtInput, Qt::Key_Return); });
  keys.exec();
  EXPECT_FALSE(keys.Cancelled());
  TfrmInputBox esc(nullptr);
  esc.Prepare(QStringLiteral("?"), QString(), {});
  QTimer::singleShot(0, &esc, [&] { Press(esc.edtInput, Qt::Key_Escape); });
  esc.exec();
  EXPECT_TRUE(esc.Cancelled());
}

TEST(InputBox, AnsweredThroughTheHost) {
  TWindowHost host;
  Answer(host, {"日本語の答え", "<cancel>", ""});
  std::string answer = "unchanged";
  ASSERT_TRUE(host.Dialogs().AskText(Sj("問"), Sj("初期"), {}, answer));
  EXPECT_EQ(answer, Sj("日本語の答え"));
  EXPECT_FALSE(host.Dialogs().AskText(Sj("問"), "", {}, answer));
  ASSERT_TRUE(host.Dialogs().AskText(Sj("問"), Sj("初期"), {}, answer));
  EXPECT_EQ(answer, "");  // an empty line empties the box
}

TEST(YesNo, ButtonsAndClosing) {
  TWindowHost host;
  Answer(host, {"maybe", "はい", "n", "2", "c", "<cancel>", "<cancel>", "キャンセル"});
  EXPECT_EQ(host.Dialogs().AskYesNo(Sj("続ける?"), "", false),
            1);  // a line that is no answer is passed over
  EXPECT_EQ(host.Dialogs().AskYesNo(Sj("続ける?"), "", true), 0);
  EXPECT_EQ(host.Dialogs().AskYesNo(Sj("続ける?"), "", true), 2);
  EXPECT_EQ(host.Dialogs().AskYesNo(Sj("続ける?"), "", false),
            0);  // "c" is no answer here: "<cancel>"
  EXPECT_EQ(host.Dialogs().AskYesNo(Sj("続ける?"), "", true), 2);  // closed
  EXPECT_EQ(host.Dialogs().AskYesNo(Sj("続ける?"), "", true), 2);
  std::string left;
  EXPECT_FALSE(host.TakeAnswer(left));
}

TEST(SelectDialog, LayoutAndKeys) {
  TfrmSelectDialog box(nullptr);
  for (const char* n : {"Label1", "ListBox", "EditResult", "panel", "btnOk", "btnCancel"})
    EXPECT_NE(box.findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
  box.Prepare(QStringLiteral("どれ?"),
              {QStringLiteral("apple"), QStringLiteral("banana"), QStringLiteral("berry")}, false,
              QString(), {});
  EXPECT_TRUE(box.EditResult->isReadOnly());
  EXPECT_EQ(box.ListBox->count(), 3);
  EXPECT_EQ(box.width(), 280);
  const QRect label = box.Label1->geometry(), list = box.ListBox->geometry(),
              edit = box.EditResult->geometry();
  EXPECT_EQ(list.top(), label.bottom() + 1 + 8);
  EXPECT_EQ(list.width(), 280 - 16);
  EXPECT_EQ(edit.top(), list.bottom() + 1 + 8);
  EXPECT_EQ(edit.width(), 280 - 16);
  EXPECT_EQ(box.panel->y(), edit.bottom() + 1 + 8);
  EXPECT_EQ(box.panel->x(), (280 - box.panel->width()) / 2);
  EXPECT_EQ(box.height(), box.panel->geometry().bottom() + 1 + 8);

  // A typed letter goes to the first item starting with it, or to none.
  Press(box.ListBox, Qt::Key_B, QStringLiteral("b"));
  EXPECT_EQ(box.ListBox->currentRow(), 1);
  EXPECT_EQ(box.EditResult->text(), QStringLiteral("banana"));
  Press(box.ListBox, Qt::Key_Z, QStringLiteral("z"));
  EXPECT_EQ(box.ChosenRow(), -1);
  // OK with nothing chosen takes the first item.
  QTimer::singleShot(0, &box, [&] { Press(box.ListBox, Qt::Key_Return); });
  box.exec();
  EXPECT_FALSE(box.Cancelled());
  EXPECT_EQ(box.Answer(), QStringLiteral("apple"));

  // Taking the focus chooses nothing: the initial text stays.
  TfrmSelectDialog initial(nullptr);
  initial.Prepare(QStringLiteral("?"), {QStringLiteral("a")}, true, QStringLiteral("typed"), {});
  initial.show();
  QApplication::setActiveWindow(&initial);
  initial.ListBox->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(initial.ListBox->hasFocus());
  EXPECT_EQ(initial.ListBox->currentRow(), 0);  // current, yet not chosen
  EXPECT_EQ(initial.EditResult->text(), QStringLiteral("typed"));
  initial.hide();

  TfrmSelectDialog esc(nullptr);
  esc.Prepare(QStringLiteral("?"), {QStringLiteral("a")}, true, QStringLiteral("typed"), {});
  QTimer::singleShot(0, &esc, [&] { Press(esc.ListBox, Qt::Key_Escape); });
  esc.exec();
  EXPECT_TRUE(esc.Cancelled());
  EXPECT_EQ(esc.Answer(), QString());  // Cancel empties the box
}

TEST(SelectDialog, AnswersAgreeWithTheLineRules) {
  const std::vector<std::string> items = {"a", "b", Sj("ソ")};
  for (bool editable : {true, false}) {
    for (const char* line : {"2", "ソ", "zzz", "", "9"}) {
      TWindowHost host;
      Answer(host, {line, "<cancel>"});  // the cancel for a line that is no answer
      std::string answer;
      const std::optional<std::string> expected = ListAnswer(Sj(line), items, editable);
      EXPECT_EQ(host.Dialogs().AskList(Sj("選んで"), items, editable, "", {}, answer),
                expected.has_value())
          << line << " " << editable;
      if (expected) {
        EXPECT_EQ(answer, *expected) << line << " " << editable;
      }
    }
  }
  TWindowHost host;
  Answer(host, {"<cancel>"});
  std::string answer;
  EXPECT_FALSE(host.Dialogs().AskList("?", items, true, "", {}, answer));
}

TEST(SelectButton, RowOrColumn) {
  TfrmSelectButton row(nullptr);
  row.Prepare(QStringLiteral("どれ?"),
              {QStringLiteral("はい"), QStringLiteral("いいえ"), QStringLiteral("たぶん")}, 640,
              {});
  ASSERT_EQ(row.Buttons.size(), 3);
  const int w = row.Buttons[0]->width(), unit = 2 * row.Label1->fontMetrics().height();
  const int labelH = row.Label1->height();
  EXPECT_GE(w, static_cast<int>(1.3 * 30));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(row.Buttons[i]->pos(), QPoint(static_cast<int>(i * w * 1.1) + 8, 16 + labelH));
    EXPECT_EQ(row.Buttons[i]->height(), static_cast<int>(0.8 * unit));
  }
  EXPECT_EQ(row.width(), static_cast<int>(3 * w * 1.1) + 16);
  EXPECT_EQ(row.height(), 16 + unit + labelH);

  QStringList many;
  for (int i = 0; i < 60; ++i) many << QStringLiteral("選択肢%1").arg(i + 1);
  TfrmSelectButton column(nullptr);
  column.Prepare(QStringLiteral("?"), many, 640, {});
  ASSERT_EQ(column.Buttons.size(), 50);
  const int cw = column.Buttons[0]->width();
  const int cu = 2 * column.Label1->fontMetrics().height();
  EXPECT_EQ(column.width(), cw + 16);  // the label is narrower than a button
  EXPECT_EQ(column.Buttons[49]->pos(), QPoint(8, column.Label1->height() + 16 + 49 * cu));
  EXPECT_EQ(column.height(), 50 * cu + column.Label1->height() + 16);
  EXPECT_GE(column.y(), 0);
}

TEST(SelectButton, AnsweredByCaptionOrNumber) {
  TWindowHost host;
  Answer(host, {"いいえ", "1", "<cancel>"});
  const std::vector<std::string> captions = {Sj("はい"), Sj("いいえ")};
  std::string answer;
  ASSERT_TRUE(host.Dialogs().AskButtons(Sj("?"), captions, {}, answer));
  EXPECT_EQ(answer, Sj("いいえ"));
  ASSERT_TRUE(host.Dialogs().AskButtons(Sj("?"), captions, {}, answer));
  EXPECT_EQ(answer, Sj("はい"));
  EXPECT_FALSE(host.Dialogs().AskButtons(Sj("?"), captions, {}, answer));
}

TEST(MemoDialog, LayoutAnswersAndTheCloseBox) {
  TfrmMemoDialog box(nullptr);
  for (const char* n : {"Memo", "btnLoad", "btnSave", "btnOK", "btnCancel"})
    EXPECT_NE(box.findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
  EXPECT_EQ(box.windowTitle(), QStringLiteral("メモ帳"));
  EXPECT_EQ(box.size(), QSize(420, 342));
  EXPECT_EQ(box.Memo->geometry(), QRect(0, 0, 420, 342 - 41));
  EXPECT_EQ(box.btnCancel->mapTo(&box, QPoint(0, 0)), QPoint(420 - 8 - 81, 342 - 41 + 8));
  EXPECT_EQ(box.Memo->actions().size(), 7);  // the Japanese context menu with its separators
  box.show();
  box.resize(600, 400);
  EXPECT_EQ(box.btnCancel->mapTo(&box, QPoint(0, 0)), QPoint(600 - 8 - 81, 400 - 41 + 8));

  // The close box keeps the text.
  box.Prepare(QStringLiteral("一\n二"), {});
  QTimer::singleShot(0, &box, [&] { box.close(); });
  box.exec();
  EXPECT_FALSE(box.Cancelled());
  EXPECT_EQ(box.Answer(), QStringLiteral("一\n二"));

  TWindowHost host;
  Answer(host, {"a\\nb", "<cancel>"});
  std::string answer;
  ASSERT_TRUE(host.Dialogs().AskMemo(Sj("初め"), {}, answer));
  EXPECT_EQ(answer, "a\r\nb");
  EXPECT_FALSE(host.Dialogs().AskMemo(Sj("初め"), {}, answer));
}

TEST(MemoDialog, FilesInShiftJis) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("memo.txt"));
  TfrmMemoDialog box(nullptr);
  box.Prepare(QStringLiteral("表示\n二行"), {});
  ASSERT_TRUE(box.SaveTo(path));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll().toStdString(), Sj("表示\r\n二行"));
  TfrmMemoDialog other(nullptr);
  ASSERT_TRUE(other.LoadFrom(path));
  EXPECT_EQ(other.Answer(), QStringLiteral("表示\n二行"));
  EXPECT_FALSE(other.LoadFrom(dir.filePath(QStringLiteral("none.txt"))));
}

TEST(InputList, GridOfEditors) {
  TfrmInputList box(nullptr);
  for (const char* n : {"veList", "panelButton", "btnOK", "btnCancel"})
    EXPECT_NE(box.findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
  EXPECT_NE(box.findChild<QTimer*>(QStringLiteral("timerInit")), nullptr);
  EXPECT_EQ(box.size(), QSize(346, 316));
  box.Prepare(SampleItems(), {});
  EXPECT_EQ(box.veList->horizontalHeaderItem(0)->text(), QStringLiteral("名前"));
  EXPECT_EQ(box.veList->horizontalHeaderItem(1)->text(), QStringLiteral("内容"));
  ASSERT_EQ(box.RowCount(), 5);
  EXPECT_EQ(box.veList->item(0, 0)->text(), QStringLiteral("氏名"));
  EXPECT_FALSE(box.veList->item(0, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_EQ(box.Value(0), QStringLiteral("山田"));
  auto* combo = qobject_cast<QComboBox*>(box.RowFocus(2));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->count(), 2);
  EXPECT_EQ(box.Value(2), QStringLiteral("りんご"));
  // File and colour rows carry a "…" button beside their box.
  EXPECT_NE(box.ValueEdit(3)->parentWidget()->findChild<QToolButton*>(), nullptr);
  EXPECT_EQ(box.ValueEdit(1)->inputMethodHints(), Qt::ImhPreferLatin);
  const QFontMetrics fm = box.veList->fontMetrics();
  EXPECT_EQ(box.veList->rowHeight(0), static_cast<int>(1.5 * fm.height()));
  EXPECT_EQ(box.veList->columnWidth(0), std::max(fm.horizontalAdvance(QStringLiteral("名前")),
                                                 fm.horizontalAdvance(QStringLiteral("写真"))) +
                                            8);
  // The buttons stay centred when the window is resized.
  box.show();
  box.resize(500, 300);
  EXPECT_EQ(box.panelButton->x(), (500 - box.panelButton->width()) / 2);
  EXPECT_EQ(box.veList->geometry(), QRect(0, 0, 500, 300 - 38));

  // Tab and Enter go down the rows, from the last one to 決定.
  QApplication::setActiveWindow(&box);
  QTimer::singleShot(20, &box, [&] {
    EXPECT_EQ(box.veList->currentRow(), 0);  // the start-up timer chose row 1
    Press(box.RowFocus(0), Qt::Key_Tab);
    EXPECT_EQ(box.veList->currentRow(), 1);
    Press(box.RowFocus(1), Qt::Key_Return);
    EXPECT_EQ(box.veList->currentRow(), 2);
    Press(box.RowFocus(4), Qt::Key_Tab);
    EXPECT_TRUE(box.btnOK->hasFocus());
    box.btnCancel->click();
  });
  box.exec();
  EXPECT_TRUE(box.Cancelled());
}

TEST(InputList, AnsweredThroughTheHost) {
  TWindowHost host;
  Answer(host, {"年齢=31\\n果物=みかん", "<cancel>"});
  std::string answer;
  ASSERT_TRUE(host.Dialogs().AskItems(SampleItems(), {}, answer));
  EXPECT_EQ(answer, Sj("氏名=山田\r\n年齢=31\r\n果物=みかん\r\n写真=\r\n色=255\r\n"));
  EXPECT_FALSE(host.Dialogs().AskItems(SampleItems(), {}, answer));
}

TEST(Pickers, ColourAndFont) {
  TWindowHost host;
  Answer(host, {"#FF8000", "not a colour", "$123456", "<cancel>"});
  uint32_t color = 0;
  ASSERT_TRUE(host.Dialogs().PickColor(color));
  EXPECT_EQ(color, 0x0080FFu);
  ASSERT_TRUE(host.Dialogs().PickColor(color));  // past the line that is no colour
  EXPECT_EQ(color, 0x123456u);
  EXPECT_FALSE(host.Dialogs().PickColor(color));
  EXPECT_EQ(color, 0x123456u);

  Answer(host, {"ＭＳ ゴシック|太字斜体|14", "<cancel>"});
  TDialogFont font;
  font.Name = Sj("ＭＳ Ｐゴシック");
  font.Color = 0xFF;
  ASSERT_TRUE(host.Dialogs().PickFont(font));
  EXPECT_EQ(font.Name, Sj("ＭＳ ゴシック"));
  EXPECT_EQ(font.Size, 14);
  EXPECT_TRUE(font.Bold && font.Italic && !font.Underline);
  EXPECT_FALSE(host.Dialogs().PickFont(font));
}

TEST(Pickers, FilesAndFolders) {
  TWindowHost host;
  Answer(host, {"/tmp/a.txt|/tmp/写真.png", "<cancel>", "/tmp/new", " ", "/tmp/b.csv", "",
                "/tmp/dir", "", "<cancel>"});
  std::vector<std::string> files;
  ASSERT_TRUE(host.Dialogs().PickOpenFiles(Sj("テキスト|*.txt|全て|*.*"), "", "", files));
  EXPECT_EQ(files, (std::vector<std::string>{"/tmp/a.txt", Sj("/tmp/写真.png")}));
  EXPECT_FALSE(host.Dialogs().PickOpenFiles("", "/tmp", "", files));
  std::string file;
  ASSERT_TRUE(host.Dialogs().PickSaveFile("txt|*.txt", "txt", "/tmp", "x.txt", file));
  EXPECT_EQ(file, "/tmp/new.txt");  // the default extension added
  ASSERT_TRUE(host.Dialogs().PickSaveFile("txt|*.txt", "txt", "", "", file));
  EXPECT_EQ(file, "/tmp/b.csv");  // past the blank line, which names no file
  ASSERT_TRUE(host.Dialogs().PickSaveFile("txt|*.txt", "txt", "", "/tmp/init.txt", file));
  EXPECT_EQ(file, "/tmp/init.txt");  // an empty line takes the initial name
  std::string folder;
  ASSERT_TRUE(host.Dialogs().PickFolder("/tmp", "/", folder));
  EXPECT_EQ(folder, "/tmp/dir");
  ASSERT_TRUE(host.Dialogs().PickFolder("/tmp", "", folder));
  EXPECT_EQ(folder, "/tmp");  // an empty line: where it started
  EXPECT_FALSE(host.Dialogs().PickFolder("", "", folder));
}
