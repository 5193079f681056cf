// The event loop a host runs on: timers, pending events, and running until told to stop.
// The window program has Qt's from the start; the console program loads it only when a script
// first needs it (console/qtloader.h), so a script that never waits for an event starts
// without loading Qt at all.
#pragma once

#include <functional>
#include <memory>

#include "core/drawhost.h"
#include "core/host.h"

namespace yume {

class TEventLoop {
 public:
  virtual ~TEventLoop() = default;

  // Receives every timer event.
  virtual void SetTimerSink(std::function<void(THostTimer)> sink) = 0;
  // Runs the events that are due (posted events, timers, window messages).
  virtual void ProcessMessages() = 0;
  virtual void SetTimer(THostTimer timer, int intervalMs, bool enabled) = 0;
  virtual void StopTimers() = 0;
  // Runs events until Quit.
  virtual void Exec() = 0;
  virtual void Quit(int status) = 0;
  // Runs fn once, from the loop, after ms milliseconds.
  virtual void Later(int ms, std::function<void()> fn) = 0;
  // The primary screen's size; false when there is none.
  virtual bool ScreenSize(int& width, int& height) = 0;
  // The drawing surfaces on this loop's toolkit (gfx/drawengine.h); null where there are none.
  virtual std::unique_ptr<TDrawHost> OpenDrawing() { return nullptr; }
};

}  // namespace yume
