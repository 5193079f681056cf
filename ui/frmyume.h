// TfrmYume: the main window (the mothership). Scripts draw on it and put their parts on it;
// closing it asks the run cycle first.
#pragma once

#include <QWidget>

namespace yume {

class TWindowHost;

class TfrmYume : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmYume(TWindowHost& host);

  // Centres the window on the desktop's work area.
  void CentreOnWorkArea();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TWindowHost& host_;
};

}  // namespace yume
