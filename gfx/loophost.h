// The part of a host that both programs share: the event loop's timers, the answers file, and
// ending the program only once every running loop has unwound. Knows the loop only through
// TEventLoop, so that the console program can run without Qt until a script needs it.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "core/app.h"
#include "core/host.h"
#include "gfx/drawproxy.h"
#include "gfx/eventfeed.h"
#include "gfx/eventloop.h"

namespace yume {

class TLoopHost : public THost {
 public:
  TLoopHost();
  ~TLoopHost() override;

  // Ties the host to the application and its state: each area the host serves (dialogs …)
  // is connected to the state.
  void Attach(TYumeApp* app) {
    app_ = app;
    if (!app) return;
    app->Base().Draw = &draw_;
    ConnectAreas(app->Base());
  }
  // The drawing surfaces, opened on the loop's toolkit when a script first draws.
  TDrawProxy& Drawing() { return draw_; }
  TYumeApp* App() const { return app_; }

  // Pending events only exist once the loop does: before that there is nothing to run.
  void ProcessMessages() override;
  void SetTimer(THostTimer timer, int intervalMs, bool enabled) override;

  // True once the program has been allowed to close.
  bool Finished() const { return finished_; }
  // True once the event loop has been made (or loaded).
  bool LoopOpened() const { return loop_ != nullptr; }

  // Answers for the dialogs (--answers): each dialog takes the next line as if it had been
  // typed and confirmed; a line "<cancel>" cancels. Lines are CP932.
  void SetAnswers(std::deque<std::string> lines) {
    answers_ = std::move(lines);
    answering_ = true;
  }
  // True when the run was given answers (even once they have all been taken).
  bool AnsweringRun() const { return answering_; }
  // The next answer; false when there is none left (the dialog then asks as usual).
  bool TakeAnswer(std::string& line);
  // Takes the answers from a file (UTF-8 or Shift_JIS); when it cannot be read, says so on
  // standard error and returns false.
  bool LoadAnswers(const std::string& sysPath);
  static bool IsCancelAnswer(const std::string& line) { return line == "<cancel>"; }
  // The error dialog answered from the answers: 続ける / y / 1 go on, デバッグ / d / 2 open the
  // debugger, 終了 / n / 3 / <cancel> end. False when no answer is left; an answer that is none
  // of these ends the run (a test must not hang on an error).
  bool TakeErrorAnswer(TErrorChoice& choice);

  // Actions on the script's parts (--events, gfx/eventfeed.h); false when the file is unusable.
  bool LoadEvents(const std::string& sysPath) { return events_.Load(sysPath); }

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
  // Makes the event loop; called once, when it is first needed. Raises when it cannot.
  virtual std::unique_ptr<TEventLoop> OpenLoop() = 0;
  // The desktop size scripts see; by default the loop's primary screen.
  virtual bool DesktopSize(int& width, int& height) { return Loop().ScreenSize(width, height); }
  // The loop, made on first use.
  TEventLoop& Loop();
  // Connects the areas the host serves besides the run cycle (y.Dialogs …).
  virtual void ConnectAreas(TYumeBase& y) {}

  TYumeApp* app_ = nullptr;

 private:
  void TryQuit();
  void OnTimer(THostTimer which);

  std::unique_ptr<TEventLoop> loop_;
  TDrawProxy draw_;  // after loop_: its engine goes before the loop
  bool finished_ = false;
  bool inExec_ = false;
  bool quitQueued_ = false;
  std::deque<std::string> answers_;
  TEventFeed events_;
  bool answering_ = false;
};

}  // namespace yume
