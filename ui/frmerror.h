// TfrmError: the dialog that shows the error log and asks whether to go on.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace yume {

class TfrmError : public QDialog {
  Q_OBJECT

 public:
  TfrmError(QWidget* mainWindow, const QString& log, bool debugMode);

  bool Continue() const { return continue_; }
  bool Debug() const { return debug_; }

  QPlainTextEdit* memMsg = nullptr;
  QPushButton* btnDebug = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;

 private:
  bool continue_ = false;
  bool debug_ = false;
};

}  // namespace yume
