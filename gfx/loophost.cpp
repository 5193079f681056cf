#include "gfx/loophost.h"

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"

namespace yume {

TLoopHost::TLoopHost()
    : draw_(
          [this] {
            std::unique_ptr<TDrawHost> engine = Loop().OpenDrawing();
            if (!engine) throw std::runtime_error("no drawing engine");
            return engine;
          },
          [this] { return LoopOpened(); }) {}

TLoopHost::~TLoopHost() = default;

TEventLoop& TLoopHost::Loop() {
  if (!loop_) {
    loop_ = OpenLoop();
    loop_->SetTimerSink([this](THostTimer which) { OnTimer(which); });
  }
  return *loop_;
}

void TLoopHost::OnTimer(THostTimer which) {
  if (!app_ || finished_) return;
  app_->OnTimer(which);
  if (app_->RunDepth() == 0) AfterEvent();
}

void TLoopHost::ProcessMessages() {
  if (loop_) loop_->ProcessMessages();
}

void TLoopHost::SetTimer(THostTimer timer, int intervalMs, bool enabled) {
  if (!enabled) {
    if (loop_) loop_->SetTimer(timer, intervalMs, false);
    return;
  }
  Loop().SetTimer(timer, intervalMs < 0 ? 0 : intervalMs, true);
}

int TLoopHost::Run() {
  int width = 0, height = 0;
  if (DesktopSize(width, height)) {
    app_->Base().DesktopWidth = width;
    app_->Base().DesktopHeight = height;
  }
  app_->Create();
  app_->EventDoTimer();
  const bool feeding = !finished_ && !events_.Empty();
  if (!finished_ && (feeding || KeepRunning())) {
    TEventLoop* loop = nullptr;
    try {
      loop = &Loop();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", Cp932ToUtf8(e.what()).c_str());
      return 1;
    }
    // The actions of --events, once the script waits; after the last one the program goes on
    // as after any event.
    if (feeding) events_.Start(*app_, *loop, [this]() {
      if (app_->RunDepth() == 0) AfterEvent();
    });
    inExec_ = true;
    loop->Exec();
    inExec_ = false;
  }
  if (loop_) loop_->StopTimers();
  return app_->ExitStatus();
}

void TLoopHost::Finish() {
  finished_ = true;
  if (!loop_) return;
  loop_->StopTimers();
  if (inExec_ && !quitQueued_) {
    quitQueued_ = true;
    loop_->Later(0, [this]() { TryQuit(); });
  }
}

void TLoopHost::TryQuit() {
  // Quitting from inside a nested loop would end every loop at once and let the code after
  // each of them run on; wait until the script's loops have returned.
  if (app_ && app_->RunDepth() > 0) {
    loop_->Later(1, [this]() { TryQuit(); });
    return;
  }
  loop_->Quit(app_ ? app_->ExitStatus() : 0);
}

bool TLoopHost::TakeAnswer(std::string& line) {
  if (answers_.empty()) return false;
  line = std::move(answers_.front());
  answers_.pop_front();
  return true;
}

bool TLoopHost::TakeErrorAnswer(TErrorChoice& choice) {
  std::string line;
  if (!TakeAnswer(line)) return false;
  const std::string a(TrimBlanks(Cp932ToUtf8(line)));
  if (a == "続ける" || a == "実行を続ける" || a == "y" || a == "1") {
    choice = TErrorChoice::Continue;
  } else if (a == "デバッグ" || a == "デバッグする" || a == "d" || a == "2") {
    choice = TErrorChoice::Debug;
  } else {
    choice = TErrorChoice::End;
  }
  return true;
}

bool TLoopHost::LoadAnswers(const std::string& sysPath) {
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
