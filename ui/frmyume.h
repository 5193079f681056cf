// TfrmYume: the main window (the mothership). Scripts draw on it and put their parts on it;
// closing it asks the run cycle first.
#pragma once

#include <QStringList>
#include <QWidget>

namespace yume {

class TWindowHost;
class TSurfaceView;

class TfrmYume : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmYume(TWindowHost& host);

  // Centres the window on the desktop's work area.
  void CentreOnWorkArea();

  // Records lines that 表示 printed (the drawing engine draws them on the mothership's surface,
  // which the window shows).
  void PrintText(const QString& text);
  const QStringList& PrintedLines() const { return printed_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TWindowHost& host_;
  TSurfaceView* surface_;  // the mothership's drawing, below every part
  QStringList printed_;    // what 表示 printed, in order
};

}  // namespace yume
