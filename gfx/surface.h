// The drawing surfaces of one run, keyed by part index: 0 is the mothership's client area, which
// always exists; forms and image parts have theirs. Each is a persistent 24-bit picture
// (QImage::Format_RGB32) with a background colour; whoever shows a surface (the window, a part's
// widget) registers to hear when it changes and repaints.
#pragma once

#include <QImage>
#include <QPainter>
#include <functional>
#include <map>
#include <memory>

#include "core/drawhost.h"

namespace yume {

struct TSurface {
  QImage Image;  // Format_RGB32, or ARGB32 while it holds a picture with alpha
  QRgb Background = 0xFFFFFFFF;
};

class TSurfaces {
 public:
  // The mothership's default client size.
  static constexpr int kMainWidth = kMainClientWidth;
  static constexpr int kMainHeight = kMainClientHeight;

  TSurfaces();
  // Null when the part has none.
  TSurface* Get(int part);
  TSurface& Create(int part, int width, int height, QRgb fill);
  void Remove(int part);
  // Tells whoever watches the part that its surface changed.
  void Changed(int part);
  // Registers (or, with an empty function, removes) the watcher of a part: called after every
  // change of its surface, and when the surface is made or removed. Survives both.
  void Watch(int part, std::function<void()> onChange);

  // A painter on a part's surface, kept open between drawing calls on the same surface (opening
  // one costs more than drawing a short line); null when the part has none. Whoever replaces,
  // resizes or copies a surface's image ends it first (EndPainting, or Replace does).
  QPainter* Painter(int part);
  void EndPainting();
  void EndPainting(int part) {
    if (painterPart_ == part) EndPainting();
  }
  // Gives a part's surface a new image.
  void Replace(int part, QImage image);

 private:
  std::map<int, std::unique_ptr<TSurface>> surfaces_;
  std::map<int, std::function<void()>> watchers_;
  std::unique_ptr<QPainter> painter_;
  int painterPart_ = -1;
};

// The process's surfaces (one run at a time).
TSurfaces& Surfaces();

}  // namespace yume
