// TfrmMemoDialog: メモ記入, a multi-line text with load and save buttons. Closing the window
// keeps the text, as OK does.
#pragma once

#include <QDialog>

#include "core/dialoghost.h"

class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace yume {

class TfrmMemoDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmMemoDialog(QWidget* owner);

  void Prepare(const QString& text, const TDialogStyle& style);

  bool Cancelled() const { return cancelled_; }
  QString Answer() const;

  // The memo from a file (Shift_JIS or UTF-8) and into one (Shift_JIS, CR LF); false when the
  // file cannot be read or written.
  bool LoadFrom(const QString& path);
  bool SaveTo(const QString& path) const;

  QPlainTextEdit* Memo = nullptr;
  QWidget* panel = nullptr;
  QToolButton* btnLoad = nullptr;
  QToolButton* btnSave = nullptr;
  QWidget* panelRight = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The controls after the window's size.
  void Arrange();
  // The load or save picker in the current folder; "" when cancelled.
  QString PickFile(bool save);

  bool cancelled_ = false;
};

}  // namespace yume
