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

TSurfaces& Surfaces() {
  static TSurfaces surfaces;
  return surfaces;
}

}  // namespace yume
