#include "ui/frmyume.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "ui/windowhost.h"

namespace yume {

TfrmYume::TfrmYume(TWindowHost& host) : host_(host) {
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
  update();
}

void TfrmYume::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int h = fontMetrics().height();
  int y = 10;
  for (const QString& line : printed_) {
    p.drawText(10, y + fontMetrics().ascent(), line);
    y += h;
  }
}

void TfrmYume::closeEvent(QCloseEvent* event) {
  if (host_.AskClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace yume
