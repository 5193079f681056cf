// TfrmMsgBox: the message box of 言う. The label grows with the text; a text taller than
// 70 % of the screen is cut to the lines that fit and "...".
#pragma once

#include <QDialog>

#include "core/dialoghost.h"

class QLabel;
class QPushButton;

namespace yume {

class TfrmMsgBox : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmMsgBox(QWidget* owner);

  // Fills the label with the text (in the style's font) and lays the box out, centred.
  void Prepare(const QString& text, const TDialogStyle& style);

  // The tallest the text may stand, fixed when the box is made.
  int MaxHeight() const { return maxHeight_; }

  QLabel* lblMsg = nullptr;
  QPushButton* btnOk = nullptr;

 private:
  int maxHeight_ = 0;
};

}  // namespace yume
