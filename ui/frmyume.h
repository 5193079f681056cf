// TfrmYume: the main window (the mothership). Scripts draw on it and put their parts on it;
// closing it asks the run cycle first.
#pragma once

#include <QStringList>
#include <QWidget>

namespace yume {

class TWindowHost;

class TfrmYume : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmYume(TWindowHost& host);

  // Centres the window on the desktop's work area.
  void CentreOnWorkArea();

  // Prints lines of text at the text cursor, which then moves below them.
  void PrintText(const QString& text);
  const QStringList& PrintedLines() const { return printed_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  TWindowHost& host_;
  QStringList printed_;  // what 表示 printed, drawn from the text cursor's start
};

}  // namespace yume
