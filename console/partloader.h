// Loads the GUI parts from yume-qt.so when a script first makes a part: its widgets run on the
// module's application (the offscreen platform).
#pragma once

#include <memory>

#include "core/parthost.h"

namespace yume {

// Raises std::runtime_error (CP932 message) when the module or its parts cannot be loaded. The
// module's event loop must be open already (its application holds the widgets).
std::unique_ptr<TPartHost> OpenQtParts();

}  // namespace yume
