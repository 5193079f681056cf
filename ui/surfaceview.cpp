#include "ui/surfaceview.h"

#include <QPainter>
#include <QResizeEvent>

#include "gfx/surface.h"

namespace yume {

TSurfaceView::TSurfaceView(int part, QWidget* parent) : QWidget(parent), part_(part) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  Surfaces().Watch(part_, [this] { update(); });
}

TSurfaceView::~TSurfaceView() {
  Surfaces().Watch(part_, {});
}

void TSurfaceView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  TSurface* s = Surfaces().Get(part_);
  if (!s) {
    p.fillRect(event->rect(), palette().window());
    return;
  }
  if (stretch_) {
    p.drawImage(rect(), s->Image);
    return;
  }
  p.fillRect(event->rect(), QColor::fromRgb(s->Background));
  p.drawImage(0, 0, s->Image);
}

void TSurfaceView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The mothership's surface only grows: shrinking the window keeps what lies outside it.
  if (part_ != 0) return;
  TSurface* s = Surfaces().Get(0);
  if (!s) return;
  const QSize want = s->Image.size().expandedTo(event->size());
  if (want == s->Image.size()) return;
  QImage grown(want, QImage::Format_RGB32);
  grown.fill(s->Background);
  {
    QPainter p(&grown);
    p.drawImage(0, 0, s->Image);
  }
  Surfaces().Replace(0, std::move(grown));
}

}  // namespace yume
