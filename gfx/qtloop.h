// The event loop on Qt: timers, posted events and the application's loop.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

#include "gfx/eventloop.h"

namespace yume {

class TQtEventLoop : public QObject, public TEventLoop {
 public:
  TQtEventLoop();
  ~TQtEventLoop() override;

  void SetTimerSink(std::function<void(THostTimer)> sink) override { sink_ = std::move(sink); }
  void ProcessMessages() override;
  void SetTimer(THostTimer timer, int intervalMs, bool enabled) override;
  void StopTimers() override;
  void Exec() override;
  void Quit(int status) override;
  void Later(int ms, std::function<void()> fn) override;
  bool ScreenSize(int& width, int& height) override;
  std::unique_ptr<TDrawHost> OpenDrawing() override;

 private:
  std::array<std::unique_ptr<QTimer>, static_cast<size_t>(THostTimer::Count)> timers_;
  std::function<void(THostTimer)> sink_;
};

}  // namespace yume
