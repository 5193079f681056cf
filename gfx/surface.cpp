#include "gfx/surface.h"

#include <algorithm>

namespace yume {

TSurfaces::TSurfaces() {
  Create(0, kMainWidth, kMainHeight, qRgb(255, 255, 255));
}

TSurface* TSurfaces::Get(int part) {
  auto it = surfaces_.find(part);
  return it == surfaces_.end() ? nullptr : it->second.get();
}

TSurface& TSurfaces::Create(int part, int width, int height, QRgb fill) {
  EndPainting(part);
  auto s = std::make_unique<TSurface>();
  s->Image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  s->Image.fill(fill);
  s->Background = fill;
  TSurface& ref = *s;
  surfaces_[part] = std::move(s);
  Changed(part);
  return ref;
}

void TSurfaces::Remove(int part) {
  // The mothership's surface lives as long as the program.
  if (part == 0) return;
  EndPainting(part);
  if (surfaces_.erase(part)) Changed(part);
}

void TSurfaces::Changed(int part) {
  auto it = watchers_.find(part);
  if (it != watchers_.end() && it->second) it->second();
}

void TSurfaces::Watch(int part, std::function<void()> onChange) {
  if (onChange) {
    watchers_[part] = std::move(onChange);
  } else {
    watchers_.erase(part);
  }
}

QPainter* TSurfaces::Painter(int part) {
  if (painter_ && painterPart_ == part) return painter_.get();
  EndPainting();
  TSurface* s = Get(part);
  if (!s) return nullptr;
  painter_ = std::make_unique<QPainter>(&s->Image);
  painterPart_ = part;
  return painter_.get();
}

void TSurfaces::EndPainting() {
  if (painter_) painter_->end();
  painter_.reset();
  painterPart_ = -1;
}

void TSurfaces::Replace(int part, QImage image) {
  TSurface* s = Get(part);
  if (!s) return;
  EndPainting(part);
  s->Image = std::move(image);
  Changed(part);
}

TSurfaces& Surfaces() {
  static TSurfaces surfaces;
  return surfaces;
}

}  // namespace yume
