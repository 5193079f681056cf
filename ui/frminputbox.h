// TfrmInputBox: the one-line input box of 尋ねる.
#pragma once

#include <QDialog>

#include "core/dialoghost.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace yume {

class TfrmInputBox : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmInputBox(QWidget* owner);

  // Prompt, initial text and the style's font and IME; lays the box out, centred.
  void Prepare(const QString& prompt, const QString& initial, const TDialogStyle& style);

  bool Cancelled() const { return cancelled_; }
  QString Answer() const;

  QLabel* lblMsg = nullptr;
  QLineEdit* edtInput = nullptr;
  QWidget* panel = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;

 private:
  bool cancelled_ = true;  // only OK clears it: Escape and the close box cancel
};

}  // namespace yume
