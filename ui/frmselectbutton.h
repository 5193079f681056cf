// TfrmSelectButton: ボタンで選択, one button a choice, in a row when they fit into most of the
// main window's width, else in a column.
#pragma once

#include <QDialog>
#include <QList>

#include "core/dialoghost.h"

class QLabel;
class QPushButton;

namespace yume {

class TfrmSelectButton : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxButtons = 50;

  explicit TfrmSelectButton(QWidget* owner);

  // mainWidth: the main window's width, which decides between a row and a column.
  void Prepare(const QString& message, const QStringList& captions, int mainWidth,
               const TDialogStyle& style);

  bool Cancelled() const { return cancelled_; }
  QString Answer() const { return answer_; }

  QLabel* Label1 = nullptr;
  QList<QPushButton*> Buttons;

 private:
  bool cancelled_ = true;
  QString answer_;
};

}  // namespace yume
