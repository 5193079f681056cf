// The GUI parts in yume-qt.so: the console program loads them from here when a script first
// makes a part (console/partloader.h), on the offscreen platform of the module's application.
#include "ui/partwidgets.h"

// Makes the part widgets on the application the module's loop made. The caller owns them.
// interactive: whether a person can act on them (never on the offscreen platform).
extern "C" __attribute__((visibility("default"))) yume::TPartHost* YumeOpenQtParts(
    int interactive) {
  auto* parts = new yume::TQtParts();
  parts->SetInteractive(interactive != 0);
  if (QWidget* main = parts->Main()) main->show();
  return parts;
}
