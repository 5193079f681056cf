#include "gfx/qthost.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"

namespace yume {

TQtHost::TQtHost() {
  for (size_t i = 0; i < timers_.size(); ++i) {
    timers_[i] = std::make_unique<QTimer>(this);
    auto which = static_cast<THostTimer>(i);
    connect(timers_[i].get(), &QTimer::timeout, this, [this, which]() {
      if (!app_ || finished_) return;
      app_->OnTimer(which);
      if (app_->RunDepth() == 0) AfterEvent();
    });
  }
}

TQtHost::~TQtHost() = default;

void TQtHost::ProcessMessages() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtHost::SetTimer(THostTimer timer, int intervalMs, bool enabled) {
  QTimer* t = timers_[static_cast<size_t>(timer)].get();
  if (!enabled) {
    t->stop();
    return;
  }
  t->start(intervalMs < 0 ? 0 : intervalMs);
}

int TQtHost::Run() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    app_->Base().DesktopWidth = screen->size().width();
    app_->Base().DesktopHeight = screen->size().height();
  }
  app_->Create();
  app_->EventDoTimer();
  if (!finished_ && KeepRunning()) {
    inExec_ = true;
    QCoreApplication::exec();
    inExec_ = false;
  }
  for (auto& t : timers_) t->stop();
  return app_->ExitStatus();
}

void TQtHost::Finish() {
  finished_ = true;
  for (auto& t : timers_) t->stop();
  if (inExec_ && !quitQueued_) {
    quitQueued_ = true;
    QTimer::singleShot(0, this, [this]() { TryQuit(); });
  }
}

void TQtHost::TryQuit() {
  // Quitting from inside a nested loop would end every loop at once and let the code after
  // each of them run on; wait until the script's loops have returned.
  if (app_ && app_->RunDepth() > 0) {
    QTimer::singleShot(1, this, [this]() { TryQuit(); });
    return;
  }
  QCoreApplication::exit(app_ ? app_->ExitStatus() : 0);
}

bool TQtHost::TakeAnswer(std::string& line) {
  if (answers_.empty()) return false;
  line = std::move(answers_.front());
  answers_.pop_front();
  return true;
}

bool TQtHost::LoadAnswers(const std::string& sysPath) {
  std::string raw;
  if (!ReadWholeFile(FromSysPath(sysPath), raw)) {
    std::fprintf(stderr, "--answers: %s が読めません。\n", sysPath.c_str());
    return false;
  }
  const std::string text = ScriptTextToCp932(raw);
  std::deque<std::string> lines;
  for (size_t pos = 0; pos < text.size();) lines.emplace_back(NextLine(text, pos));
  SetAnswers(std::move(lines));
  return true;
}

}  // namespace yume
