// The dialog calls of the window host: each builds its form or Qt picker, places it, runs it
// modally and reads the answer back as CP932. Answer lines are read as the console reads them
// (core/answers.h, ui/dialoganswers.h).
#include "ui/windowdialogs.h"

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
#include <algorithm>

#include "core/answers.h"
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

// Takes answer lines until one is an answer to the dialog (read keeps it and says so; a line
// that is none is passed over, as the console asks again); "<cancel>" cancels. The dialog is
// answered as soon as its modal loop runs, after it has shown.
template <class Read, class Apply, class Cancel>
void AnswerWhenShown(TLoopHost& host, QDialog& dialog, Read read, Apply apply, Cancel cancel) {
  std::string line;
  while (host.TakeAnswer(line)) {
    if (TLoopHost::IsCancelAnswer(line)) {
      QTimer::singleShot(0, &dialog, cancel);
      return;
    }
    if (read(line)) {
      QTimer::singleShot(0, &dialog, apply);
      return;
    }
  }
}

// Runs a form whose text answer stays in it after OK.
template <class Form>
bool RunForm(Form& box, std::string& answer) {
  box.exec();
  if (box.Cancelled()) return false;
  answer = Cp932FromWidget(box.Answer());
  return true;
}

// Where a text stands in a list; -1 when it does not.
int IndexOf(const std::vector<std::string>& texts, const std::string& text) {
  const auto it = std::find(texts.begin(), texts.end(), text);
  return it == texts.end() ? -1 : static_cast<int>(it - texts.begin());
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

// Runs a file or folder picker; read turns an answer line into the paths it gives (none: the
// line is no answer). An answered path is taken as it is: it need not exist, and no overwrite
// question may stop an unattended run.
template <class Read>
bool RunPicker(TLoopHost& host, QFileDialog& picker, Read read, std::vector<std::string>& paths) {
  std::vector<std::string> answered;
  AnswerWhenShown(
      host, picker,
      [&](const std::string& line) {
        answered = read(line);
        return !answered.empty();
      },
      [&]() {
        picker.selectFile(SysText(answered.front()));
        static_cast<QDialog&>(picker).done(QDialog::Accepted);
      },
      [&picker]() { picker.reject(); });
  if (picker.exec() != QDialog::Accepted) return false;
  paths = std::move(answered);
  if (paths.empty())
    for (const QString& f : picker.selectedFiles()) paths.push_back(FromSysText(f));
  return !paths.empty();
}

// The same for a picker of one path.
template <class Read>
bool RunPathPicker(TLoopHost& host, QFileDialog& picker, Read read, std::string& path) {
  std::vector<std::string> paths;
  if (!RunPicker(
          host, picker,
          [&](const std::string& line) {
            const std::optional<std::string> p = read(line);
            return p ? std::vector<std::string>{*p} : std::vector<std::string>{};
          },
          paths))
    return false;
  path = paths.front();
  return true;
}

}  // namespace

TWindowDialogs::TWindowDialogs(TWindowHost& host) : host_(host) {}

void TWindowDialogs::Say(const std::string& text, const TDialogStyle& style) {
  TfrmMsgBox box(host_.DialogOwner());
  box.Prepare(WidgetText(text), style);
  PlaceDialog(&box, style, host_.MainCaption());
  // A run with answers closes each message box by itself (it takes no line: nothing is asked).
  if (host_.AnsweringRun()) QTimer::singleShot(0, box.btnOk, &QPushButton::click);
  box.exec();
}

bool TWindowDialogs::AskText(const std::string& prompt, const std::string& initial,
                             const TDialogStyle& style, std::string& answer) {
  TfrmInputBox box(host_.DialogOwner());
  box.Prepare(WidgetText(prompt), WidgetText(initial), style);
  PlaceDialog(&box, style, host_.MainCaption());
  QString text;
  AnswerWhenShown(
      host_, box,
      [&](const std::string& line) {
        text = WidgetText(line);
        return true;
      },
      [&]() {
        box.edtInput->setText(text);
        box.btnOk->click();
      },
      [&box]() { box.btnCancel->click(); });
  return RunForm(box, answer);
}

int TWindowDialogs::AskYesNo(const std::string& text, const std::string& caption, bool withCancel) {
  QMessageBox box(QMessageBox::Question,
                  caption.empty() ? host_.MainCaption() : WidgetText(caption), WidgetText(text),
                  withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                             : QMessageBox::Yes | QMessageBox::No,
                  host_.DialogOwner());
  // Qt's own captions are English without its translations.
  box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
  box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
  if (withCancel) box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
  // Escape and the close box give No for two buttons, Cancel for three.
  int choice = 0;
  AnswerWhenShown(
      host_, box,
      [&](const std::string& line) {
        const std::optional<int> r = YesNoAnswer(line, withCancel);
        choice = r.value_or(0);
        return r.has_value();
      },
      [&]() {
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

bool TWindowDialogs::AskList(const std::string& message, const std::vector<std::string>& items,
                             bool editable, const std::string& initial, const TDialogStyle& style,
                             std::string& answer) {
  TfrmSelectDialog box(host_.DialogOwner());
  box.Prepare(WidgetText(message), WidgetTexts(items), editable, WidgetText(initial), style);
  PlaceDialog(&box, style, host_.MainCaption());
  std::string chosen;
  AnswerWhenShown(
      host_, box,
      [&](const std::string& line) {
        const std::optional<std::string> r = ListAnswer(line, items, editable);
        if (r) chosen = *r;
        return r.has_value();
      },
      [&]() {
        const int index = IndexOf(items, chosen);
        if (index >= 0) {
          box.ListBox->setCurrentRow(index);
        } else {
          box.EditResult->setText(WidgetText(chosen));
        }
        box.btnOk->click();
      },
      [&box]() { box.btnCancel->click(); });
  return RunForm(box, answer);
}

bool TWindowDialogs::AskButtons(const std::string& message,
                                const std::vector<std::string>& captions, const TDialogStyle& style,
                                std::string& answer) {
  const std::vector<std::string> shown(
      captions.begin(),
      captions.begin() + std::min<size_t>(captions.size(), TfrmSelectButton::kMaxButtons));
  TfrmSelectButton box(host_.DialogOwner());
  box.Prepare(WidgetText(message), WidgetTexts(shown), host_.Form()->width(), style);
  PlaceDialog(&box, style, host_.MainCaption());
  std::string chosen;
  AnswerWhenShown(
      host_, box,
      [&](const std::string& line) {
        const std::optional<std::string> r = ChoiceAnswer(line, shown, false);
        if (r) chosen = *r;
        return r.has_value();
      },
      [&]() { box.Buttons[IndexOf(shown, chosen)]->click(); }, [&box]() { box.reject(); });
  return RunForm(box, answer);
}

bool TWindowDialogs::AskMemo(const std::string& text, const TDialogStyle& style,
                             std::string& answer) {
  TfrmMemoDialog box(host_.DialogOwner());
  box.Prepare(WidgetText(text), style);
  PlaceDialog(&box, style, host_.MainCaption());
  QString typed;
  AnswerWhenShown(
      host_, box,
      [&](const std::string& line) {
        typed = WidgetText(MultiLineAnswer(line));
        return true;
      },
      [&]() {
        box.Memo->setPlainText(typed);
        box.btnOK->click();
      },
      [&box]() { box.btnCancel->click(); });
  return RunForm(box, answer);
}

bool TWindowDialogs::AskItems(const TItemList& items, const TDialogStyle& style,
                              std::string& answer) {
  TfrmInputList box(host_.DialogOwner());
  box.Prepare(items, style);
  PlaceDialog(&box, style, host_.MainCaption());
  std::vector<std::string> keys;
  for (const TItemRow& row : items.Rows) keys.push_back(row.Key);
  std::vector<std::string> values;
  AnswerWhenShown(
      host_, box,
      [&](const std::string& line) {
        values = ItemValues(ItemsAnswer(line, items), keys);
        return true;
      },
      [&]() {
        for (int row = 0; row < box.RowCount(); ++row) box.SetValue(row, WidgetText(values[row]));
        box.btnOK->click();
      },
      [&box]() { box.btnCancel->click(); });
  box.exec();
  if (box.Cancelled()) return false;
  answer.clear();
  for (int row = 0; row < box.RowCount(); ++row)
    answer += keys[row] + "=" + Cp932FromWidget(box.Value(row)) + "\r\n";
  return true;
}

bool TWindowDialogs::PickColor(uint32_t& color) {
  QColorDialog picker(host_.DialogOwner());
  picker.setOption(QColorDialog::DontUseNativeDialog);
  picker.setCurrentColor(ColorFromBgr(color));
  uint32_t answered = 0;
  AnswerWhenShown(
      host_, picker,
      [&](const std::string& line) {
        const std::optional<uint32_t> c = ColorAnswer(line);
        answered = c.value_or(0);
        return c.has_value();
      },
      [&]() {
        picker.setCurrentColor(ColorFromBgr(answered));
        picker.accept();
      },
      [&picker]() { picker.reject(); });
  if (picker.exec() != QDialog::Accepted) return false;
  color = BgrFromColor(picker.selectedColor());
  return true;
}

bool TWindowDialogs::PickFont(TDialogFont& font) {
  QFontDialog picker(host_.DialogOwner());
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
  // An answered font keeps its name as written: the picker would put an installed family in
  // its place.
  std::optional<TDialogFont> answered;
  AnswerWhenShown(
      host_, picker,
      [&](const std::string& line) {
        answered = FontAnswer(line);
        return answered.has_value();
      },
      [&]() {
        picker.setCurrentFont(toQt(*answered));
        picker.accept();
      },
      [&picker]() { picker.reject(); });
  if (picker.exec() != QDialog::Accepted) return false;
  if (answered) {
    font = *answered;
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

bool TWindowDialogs::PickOpenFiles(const std::string& filter, const std::string& folder,
                                   const std::string& initial, std::vector<std::string>& files) {
  QFileDialog picker(host_.DialogOwner());
  PreparePicker(picker, folder);
  picker.setAcceptMode(QFileDialog::AcceptOpen);
  picker.setFileMode(QFileDialog::ExistingFiles);
  picker.setNameFilters(NameFilters(filter));
  if (!initial.empty()) picker.selectFile(SysText(initial));
  return RunPicker(
      host_, picker, [&](const std::string& line) { return OpenFilesAnswer(line, initial); },
      files);
}

bool TWindowDialogs::PickSaveFile(const std::string& filter, const std::string& defaultExt,
                                  const std::string& folder, const std::string& initial,
                                  std::string& file) {
  QFileDialog picker(host_.DialogOwner());
  PreparePicker(picker, folder);
  picker.setAcceptMode(QFileDialog::AcceptSave);
  picker.setFileMode(QFileDialog::AnyFile);
  picker.setNameFilters(NameFilters(filter));
  picker.setDefaultSuffix(WidgetText(defaultExt));
  if (!initial.empty()) picker.selectFile(SysText(initial));
  return RunPathPicker(
      host_, picker,
      [&](const std::string& line) { return SaveFileAnswer(line, initial, defaultExt); }, file);
}

bool TWindowDialogs::PickFolder(const std::string& start, const std::string& root,
                                std::string& folder) {
  QFileDialog picker(host_.DialogOwner());
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
  return RunPathPicker(
      host_, picker,
      [&](const std::string& line) {
        return std::optional<std::string>(FolderAnswer(line, start));
      },
      folder);
}

}  // namespace yume
