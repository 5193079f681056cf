// The part of a host that both programs share: Qt's event loop, the timers, and ending the
// program only once every running loop has unwound.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

#include "core/app.h"
#include "core/host.h"

namespace yume {

class TQtHost : public QObject, public THost {
  Q_OBJECT

 public:
  TQtHost();
  ~TQtHost() override;

  void Attach(TYumeApp* app) { app_ = app; }
  TYumeApp* App() const { return app_; }

  void ProcessMessages() override;
  void SetTimer(THostTimer timer, int intervalMs, bool enabled) override;

  // True once the program has been allowed to close.
  bool Finished() const { return finished_; }

  // Runs the program: Create, the first run, then the event loop while the program lives.
  // Returns the exit status.
  int Run();

 protected:
  // Ends the program: at once when no loop is running, else as soon as they have unwound.
  void Finish();
  // Called after an event has run at the outermost level (no script loop running).
  virtual void AfterEvent() {}
  // Whether the event loop is needed after the main flow.
  virtual bool KeepRunning() const = 0;

  TYumeApp* app_ = nullptr;

 private:
  void TryQuit();

  std::array<std::unique_ptr<QTimer>, static_cast<size_t>(THostTimer::Count)> timers_;
  bool finished_ = false;
  bool inExec_ = false;
  bool quitQueued_ = false;
};


}  // namespace yume
