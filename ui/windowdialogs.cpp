// The dialog calls of the window host: each builds its form or Qt picker, places it, runs it
// modally and reads the answer back as CP932.
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "core/sjis.h"
#include "gfx/fonts.h"
#include "platform/paths.h"
#include "ui/dialoganswers.h"
#include "ui/dialogstyle.h"
#include "ui/frminputbox.h"
#include "ui/frminputlist.h"
#include "ui/frmmemodialog.h"
#include "ui/frmmsgbox.h"
#include "ui/frmselectbutton.h"
#include "ui/frmselectdialog.h"
#include "ui/frmyume.h"
#include "ui/windowhost.h"

namespace yume {

namespace {

// With an answer line waiting, answers the dialog as soon as its modal loop runs (it shows
// first): onCancel for "<cancel>", else onAnswer with the line.
template <class OnAnswer, class OnCancel>
void AnswerWhenShown(TQtHost& host, QDialog& dialog, OnAnswer onAnswer, OnCancel onCancel) {
  std::string line;
  if (!host.TakeAnswer(line)) return;
  QTimer::singleShot(0, &dialog, [line, onAnswer, onCancel]() {
    if (TQtHost::IsCancelAnswer(line)) {
      onCancel();
    } else {
      onAnswer(line);
    }
  });
}

// Runs a form whose text answer stays in it after OK.
template <class Form>
bool RunForm(Form& box, std::string& answer) {
  box.exec();
  if (box.Cancelled()) return false;
  answer = Cp932FromWidget(box.Answer());
  return true;
}

QStringList WidgetTexts(const std::vector<std::string>& texts) {
  QStringList out;
  for (const std::string& t : texts) out << WidgetText(t);
  return out;
}

QString SysText(const std::string& path) {
  return QString::fromStdString(SysPath(path));
}

std::string FromSysText(const QString& path) {
  return FromSysPath(path.toStdString());
}

// A file or folder picker made of widgets (the answers drive them), starting in a folder ("" =
// the current one).
void PreparePicker(QFileDialog& picker, const std::string& folder) {
  picker.setOption(QFileDialog::DontUseNativeDialog);
  picker.setSizeGripEnabled(true);
  picker.setDirectory(folder.empty() ? QDir::currentPath() : SysText(folder));
}

// An answered path is taken as written: it needs not exist, and no overwrite question may
// stop an unattended run.
void AnswerPicker(QFileDialog& picker, const std::string& first) {
  picker.selectFile(SysText(first));
  static_cast<QDialog&>(picker).done(QDialog::Accepted);
}

}  // namespace

bool TWindowHost::RunPathPicker(QFileDialog& picker, std::string& path) {
  std::string answered;
  AnswerWhenShown(
      *this, picker,
      [&](const std::string& line) {
        answered = line;
        if (answered.empty()) {
          picker.reject();
        } else {
          AnswerPicker(picker, answered);
        }
      },
      [&picker]() { picker.reject(); });
  if (picker.exec() != QDialog::Accepted) return false;
  if (answered.empty()) {
    const QStringList chosen = picker.selectedFiles();
    if (chosen.isEmpty()) return false;
    answered = FromSysText(chosen.front());
  }
  path = answered;
  return true;
}

QWidget* TWindowHost::DialogOwner() const {
  return form_->isVisible() ? form_.get() : nullptr;
}

QString TWindowHost::MainCaption() const {
  return form_->windowTitle();
}

void TWindowHost::Say(const std::string& text, const TDialogStyle& style) {
  TfrmMsgBox box(DialogOwner());
  box.Prepare(WidgetText(text), style);
  PlaceDialog(&box, style, MainCaption());
  if (answering_) QTimer::singleShot(0, box.btnOk, &QPushButton::click);
  box.exec();
}

bool TWindowHost::AskText(const std::string& prompt, const std::string& initial,
                          const TDialogStyle& style, std::string& answer) {
  TfrmInputBox box(DialogOwner());
  box.Prepare(WidgetText(prompt), WidgetText(initial), style);
  PlaceDialog(&box, style, MainCaption());
  AnswerWhenShown(
      *this, box,
      [&box](const std::string& line) {
        box.edtInput->setText(WidgetText(line));
        box.btnOk->click();
      },
      [&box]() { box.btnCancel->click(); });
  return RunForm(box, answer);
}

int TWindowHost::AskYesNo(const std::string& text, const std::string& caption, bool withCancel) {
  QMessageBox box(QMessageBox::Question, caption.empty() ? MainCaption() : WidgetText(caption),
                  WidgetText(text),
                  withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                             : QMessageBox::Yes | QMessageBox::No,
                  DialogOwner());
  // Qt's own captions are English without its translations.
  box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
  box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
  if (withCancel) box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
  // Escape and the close box give No for two buttons, Cancel for three.
  AnswerWhenShown(
      *this, box,
      [&box, withCancel](const std::string& line) {
        const int choice = YesNoAnswer(line, withCancel);
        box.button(choice == 1   ? QMessageBox::Yes
                   : choice == 0 ? QMessageBox::No
                                 : QMessageBox::Cancel)
            ->click();
      },
      [&box]() { box.reject(); });
  box.exec();
  const QAbstractButton* pressed = box.clickedButton();
  if (pressed == box.button(QMessageBox::Yes)) return 1;
  if (withCancel && pressed != box.button(QMessageBox::No)) return 2;
  return 0;
}

bool TWindowHost::AskList(const std::string& message, const std::vector<std::string>& items,
                          bool editable, const std::string& initial, const TDialogStyle& style,
                          std::string& answer) {
  TfrmSelectDialog box(DialogOwner());
  box.Prepare(WidgetText(message), WidgetTexts(items), editable, WidgetText(initial), style);
  PlaceDialog(&box, style, MainCaption());
  AnswerWhenShown(
      *this, box,
      [&](const std::string& line) {
        const int index = ListAnswerIndex(line, items);
        if (index >= 0) box.ListBox->setCurrentRow(index);
        if (index < 0) box.EditResult->setText(editable ? WidgetText(line) : QString());
        box.btnOk->click();
      },
      [&box]() { box.btnCancel->click(); });
  return RunForm(box, answer);
}

bool TWindowHost::AskButtons(const std::string& message, const std::vector<std::string>& captions,
                             const TDialogStyle& style, std::string& answer) {
  TfrmSelectButton box(DialogOwner());
  box.Prepare(WidgetText(message), WidgetTexts(captions), form_->width(), style);
  PlaceDialog(&box, style, MainCaption());
  AnswerWhenShown(
      *this, box,
      [&](const std::string& line) {
        const int index = ButtonAnswerIndex(line, captions);
        if (index >= 0 && index < box.Buttons.size()) {
          box.Buttons[index]->click();
        } else {
          box.reject();
        }
      },
      [&box]() { box.reject(); });
  return RunForm(box, answer);
}

bool TWindowHost::AskMemo(const std::string& text, const TDialogStyle& style, std::string& answer) {
  TfrmMemoDialog box(DialogOwner());
  box.Prepare(WidgetText(text), style);
  PlaceDialog(&box, style, MainCaption());
  AnswerWhenShown(
      *this, box,
      [&box](const std::string& line) {
        box.Memo->setPlainText(WidgetText(MultiLineAnswer(line)));
        box.btnOK->click();
      },
      [&box]() { box.btnCancel->click(); });
  return RunForm(box, answer);
}

bool TWindowHost::AskItems(const TItemList& items, const TDialogStyle& style, std::string& answer) {
  TfrmInputList box(DialogOwner());
  box.Prepare(items, style);
  PlaceDialog(&box, style, MainCaption());
  AnswerWhenShown(
      *this, box,
      [&](const std::string& line) {
        TItemList wanted = items;
        ApplyItemAnswer(line, wanted);
        for (int row = 0; row < box.RowCount(); ++row)
          box.SetValue(row, WidgetText(wanted.Rows[row].Value));
        box.btnOK->click();
      },
      [&box]() { box.btnCancel->click(); });
  box.exec();
  if (box.Cancelled()) return false;
  TItemList result = items;
  for (int row = 0; row < box.RowCount(); ++row)
    result.Rows[row].Value = Cp932FromWidget(box.Value(row));
  answer = JoinItemRows(result);
  return true;
}

bool TWindowHost::PickColor(uint32_t& color) {
  QColorDialog picker(DialogOwner());
  picker.setOption(QColorDialog::DontUseNativeDialog);
  picker.setCurrentColor(ColorFromBgr(color));
  AnswerWhenShown(
      *this, picker,
      [&picker](const std::string& line) {
        uint32_t chosen = 0;
        if (!ColorAnswer(line, chosen)) {
          picker.reject();
          return;
        }
        picker.setCurrentColor(ColorFromBgr(chosen));
        picker.accept();
      },
      [&picker]() { picker.reject(); });
  if (picker.exec() != QDialog::Accepted) return false;
  color = BgrFromColor(picker.selectedColor());
  return true;
}

bool TWindowHost::PickFont(TDialogFont& font) {
  QFontDialog picker(DialogOwner());
  picker.setOption(QFontDialog::DontUseNativeDialog);
  auto toQt = [](const TDialogFont& f) {
    QFont q(MapFontFamily(WidgetText(f.Name)));
    if (f.Size > 0) q.setPointSize(f.Size);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    return q;
  };
  picker.setCurrentFont(toQt(font));
  // An answered font is taken by its name as written: the picker would put an installed
  // family in its place.
  TDialogFont answered = font;
  bool byAnswer = false;
  AnswerWhenShown(
      *this, picker,
      [&](const std::string& line) {
        if (!FontAnswer(line, answered)) {
          picker.reject();
          return;
        }
        byAnswer = true;
        picker.setCurrentFont(toQt(answered));
        picker.accept();
      },
      [&picker]() { picker.reject(); });
  if (picker.exec() != QDialog::Accepted) return false;
  if (byAnswer) {
    font = answered;
    return true;
  }
  const QFont chosen = picker.selectedFont();
  font.Name = Utf8ToCp932(chosen.family().toStdString());
  font.Size = chosen.pointSize() > 0 ? chosen.pointSize() : chosen.pixelSize() * 72 / 96;
  font.Bold = chosen.bold();
  font.Italic = chosen.italic();
  font.Underline = chosen.underline();
  return true;
}

bool TWindowHost::PickOpenFiles(const std::string& filter, const std::string& folder,
                                const std::string& initial, std::vector<std::string>& files) {
  QFileDialog picker(DialogOwner());
  PreparePicker(picker, folder);
  picker.setAcceptMode(QFileDialog::AcceptOpen);
  picker.setFileMode(QFileDialog::ExistingFiles);
  picker.setNameFilters(NameFilters(filter));
  if (!initial.empty()) picker.selectFile(SysText(initial));
  std::vector<std::string> answered;
  AnswerWhenShown(
      *this, picker,
      [&](const std::string& line) {
        answered = SplitBars(line);
        if (answered.empty()) {
          picker.reject();
        } else {
          AnswerPicker(picker, answered.front());
        }
      },
      [&picker]() { picker.reject(); });
  if (picker.exec() != QDialog::Accepted) return false;
  files.clear();
  if (!answered.empty()) {
    files = std::move(answered);
  } else {
    for (const QString& f : picker.selectedFiles()) files.push_back(FromSysText(f));
  }
  return !files.empty();
}

bool TWindowHost::PickSaveFile(const std::string& filter, const std::string& defaultExt,
                               const std::string& folder, const std::string& initial,
                               std::string& file) {
  QFileDialog picker(DialogOwner());
  PreparePicker(picker, folder);
  picker.setAcceptMode(QFileDialog::AcceptSave);
  picker.setFileMode(QFileDialog::AnyFile);
  picker.setNameFilters(NameFilters(filter));
  picker.setDefaultSuffix(WidgetText(defaultExt));
  if (!initial.empty()) picker.selectFile(SysText(initial));
  return RunPathPicker(picker, file);
}

bool TWindowHost::PickFolder(const std::string& start, const std::string& root,
                             std::string& folder) {
  QFileDialog picker(DialogOwner());
  PreparePicker(picker, start);
  picker.setAcceptMode(QFileDialog::AcceptOpen);
  picker.setFileMode(QFileDialog::Directory);
  picker.setOption(QFileDialog::ShowDirsOnly);
  if (!root.empty()) {
    // Qt's picker has no tree root: the root is offered at the side and is where it starts
    // when the start lies outside it.
    const QString top = QDir(SysText(root)).absolutePath();
    picker.setSidebarUrls({QUrl::fromLocalFile(top)});
    const QString from = picker.directory().absolutePath();
    if (from != top && !from.startsWith(top + QLatin1Char('/'))) picker.setDirectory(top);
  }
  return RunPathPicker(picker, folder);
}

}  // namespace yume
