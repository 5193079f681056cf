#include "ui/frmyume.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>

#include "ui/surfaceview.h"
#include "ui/windowhost.h"

namespace yume {

TfrmYume::TfrmYume(TWindowHost& host) : host_(host), surface_(new TSurfaceView(0, this)) {
  surface_->lower();
  setObjectName(QStringLiteral("frmYume"));
  setWindowTitle(QStringLiteral("ゆめもり"));
  resize(640, 400);
  CentreOnWorkArea();
}

void TfrmYume::CentreOnWorkArea() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - frameGeometry().width()) / 2,
         area.top() + (area.height() - frameGeometry().height()) / 2);
  }
}

void TfrmYume::PrintText(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  // A text that already ends its last line gets no empty line after it.
  if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
  printed_ += lines;
}

void TfrmYume::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The surface fills the client area (and grows with it, keeping what was drawn).
  surface_->setGeometry(rect());
  surface_->lower();
}

void TfrmYume::closeEvent(QCloseEvent* event) {
  if (host_.AskClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace yume
