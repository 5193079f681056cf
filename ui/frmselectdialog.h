// TfrmSelectDialog: a list with a result box, for どれか尋ねる (the box may be typed in) and
// リストから選択 (it only shows the chosen item).
#pragma once

#include <QDialog>

#include "core/dialoghost.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace yume {

class TfrmSelectDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmSelectDialog(QWidget* owner);

  void Prepare(const QString& message, const QStringList& items, bool editable,
               const QString& initial, const TDialogStyle& style);

  bool Cancelled() const { return cancelled_; }
  QString Answer() const;

  // OK: with nothing but the first item chosen the first item is the answer (a typed answer
  // stays when the box may be typed in); Cancel empties the box.
  void Ok();
  void Cancel();
  // The chosen item's row; -1 when none is chosen.
  int ChosenRow() const;

  QLabel* Label1 = nullptr;
  QListWidget* ListBox = nullptr;
  QLineEdit* EditResult = nullptr;
  QWidget* panel = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool cancelled_ = true;
};

}  // namespace yume
