// TfrmInputList: 項目記入, a grid of keys and their values. Every value stands in an editor
// of its own (a pick list, or a box with a "…" button for files and colours); Tab and Enter go
// down the rows and from the last one to 決定.
#pragma once

#include <QDialog>
#include <vector>

#include "core/dialoghost.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace yume {

class TfrmInputList : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmInputList(QWidget* owner);

  // The rows (CP932) and the style's font; the column titles default to 項目 and 値.
  void Prepare(const TItemList& items, const TDialogStyle& style);

  bool Cancelled() const { return cancelled_; }
  int RowCount() const { return static_cast<int>(edits_.size()); }
  QString Value(int row) const;
  void SetValue(int row, const QString& value);
  // The text box of a row's value (for a pick list, the list's own box).
  QLineEdit* ValueEdit(int row) const { return edits_[row]; }
  // The widget that takes the keys of a row (the pick list itself for a pick list).
  QWidget* RowFocus(int row) const { return focus_[row]; }
  // Runs the "…" button of a file or colour row.
  void PickForRow(int row);

  QTableWidget* veList = nullptr;
  QWidget* panelBottom = nullptr;
  QWidget* panelButton = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QTimer* timerInit = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The controls after the window's size.
  void Arrange();
  QWidget* MakeEditor(int row, const TItemRow& item, int ime);
  void GoToRow(int row);

  std::vector<TItemRow::TKind> kinds_;
  std::vector<QString> filters_;
  std::vector<QLineEdit*> edits_;
  std::vector<QWidget*> focus_;
  bool cancelled_ = true;
};

}  // namespace yume
