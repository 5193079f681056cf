// Loads Qt's event loop (yume-qt.so, installed beside the program) when a script first needs
// it: a script that never waits for an event runs without loading Qt and its libraries, which
// would take longer than many scripts run.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gfx/eventloop.h"

namespace yume {

// Where the module may be, in the order tried: beside the running program, then (for a program
// built from a script and moved elsewhere) in the folder of the runtime that built it.
std::vector<std::string> QtModuleCandidates();
// The first candidate that exists (the first one when none does).
std::string QtModulePath();
// Loads the module and makes its loop; raises std::runtime_error (CP932 message) when it
// cannot.
std::unique_ptr<TEventLoop> OpenQtLoop();

}  // namespace yume
