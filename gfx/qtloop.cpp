#include "gfx/qtloop.h"

#include "gfx/drawengine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

namespace yume {

TQtEventLoop::TQtEventLoop() {
  for (size_t i = 0; i < timers_.size(); ++i) {
    timers_[i] = std::make_unique<QTimer>(this);
    auto which = static_cast<THostTimer>(i);
    connect(timers_[i].get(), &QTimer::timeout, this, [this, which]() {
      if (sink_) sink_(which);
    });
  }
}

TQtEventLoop::~TQtEventLoop() = default;

void TQtEventLoop::ProcessMessages() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtEventLoop::SetTimer(THostTimer timer, int intervalMs, bool enabled) {
  QTimer* t = timers_[static_cast<size_t>(timer)].get();
  if (!enabled) {
    t->stop();
    return;
  }
  t->start(intervalMs);
}

void TQtEventLoop::StopTimers() {
  for (auto& t : timers_) t->stop();
}

void TQtEventLoop::Exec() {
  QCoreApplication::exec();
}

void TQtEventLoop::Quit(int status) {
  QCoreApplication::exit(status);
}

void TQtEventLoop::Later(int ms, std::function<void()> fn) {
  QTimer::singleShot(ms, this, std::move(fn));
}

bool TQtEventLoop::ScreenSize(int& width, int& height) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  width = screen->size().width();
  height = screen->size().height();
  return true;
}

std::unique_ptr<TDrawHost> TQtEventLoop::OpenDrawing() {
  return std::make_unique<TDrawEngine>();
}

}  // namespace yume
