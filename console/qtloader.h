// Loads Qt's event loop (yume-qt.so, installed beside the program) when a script first needs
// it: a script that never waits for an event runs without loading Qt and its libraries, which
// would take longer than many scripts run.
#pragma once

#include <memory>
#include <string>

#include "gfx/eventloop.h"

namespace yume {

// The module's path: beside the running program.
std::string QtModulePath();
// Loads the module and makes its loop; raises std::runtime_error (CP932 message) when it
// cannot.
std::unique_ptr<TEventLoop> OpenQtLoop();

}  // namespace yume
