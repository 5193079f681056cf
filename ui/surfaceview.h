// TSurfaceView: a widget showing a drawing surface (gfx/surface.h) by part index: the
// mothership's client area (0), a form's drawing image or an image part's picture. It repaints
// whenever the surface changes and, for the mothership, grows the surface with the widget so
// that what is drawn persists while the window is covered, shown again or resized.
#pragma once

#include <QWidget>

namespace yume {

class TSurfaceView : public QWidget {
  Q_OBJECT

 public:
  explicit TSurfaceView(int part, QWidget* parent = nullptr);
  ~TSurfaceView() override;

  int Part() const { return part_; }
  // Stretch the picture to the widget (拡大機能) instead of showing it at its own size.
  void SetStretch(bool on) {
    stretch_ = on;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int part_;
  bool stretch_ = false;
};

}  // namespace yume
