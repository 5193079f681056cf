#include "core/registry.h"

#include "core/yumebase.h"

namespace yume {

void RegisterAll(TYumeBase& y) {
  // The command families and system variables are entered here as they are built.
  (void)y;
}

}  // namespace yume
