// TYumeApp: the program's run cycle, the same for both hosts.
//
// It chooses the script (command line or default start file), prepares it, runs it in the
// run loop, lets events enter afterwards, and decides whether the program may close. The host
// drives it: it calls Create and EventDoTimer once at start, OnTimer when a timer fires, and
// CloseQuery when the window is asked to close.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "core/host.h"
#include "core/runseam.h"
#include "core/yumebase.h"

namespace yume {

// The command line as the runtime reads it (parameters after the program itself).
struct TCommandLine {
  std::string StartFile;     // first parameter not starting with "-"
  bool Debug = false;        // -debug
  bool LineStop = false;     // -linestop
  std::string RuntimeFile;   // -runtime file
  std::string ResourceFile;  // -resource file
  // Each of them replaces the pack the other opened: the later one on the command line wins.
  bool ResourceLast = false;
  int SecurityLevel = -1;  // -security low|mid|high (any case); -1 when not given or unknown
};

// Parameters are examined from the first; options that take a value consume the next one.
// Options are exact, case-sensitive words; other words starting with "-" have no effect.
TCommandLine ParseCommandLine(const std::vector<std::string>& params);

// The language version held by ゆめもりバージョン (CP932).
extern const char* const kLanguageVersion;

class TYumeApp {
 public:
  // params: the command line in CP932, params[0] being the runtime itself.
  TYumeApp(THost& host, std::vector<std::string> params);
  ~TYumeApp();
  TYumeApp(const TYumeApp&) = delete;
  TYumeApp& operator=(const TYumeApp&) = delete;

  TYumeBase& Base() { return base_; }
  THost& Host() { return host_; }

  // Chooses and loads the script.
  void Create();
  // The first run: prepares and runs the main flow (later calls only disarm the timer).
  void EventDoTimer();
  // Resets the interpreter and prepares Source.
  void StartUp();
  // The run loop from y.Cur; re-entrant.
  // endKnown: y.End is already the end of the text y.Cur runs in (a call just entered).
  // failed: an error of the run's first step, taken outside (RunCallBody), handled first.
  void RunProgram(bool endKnown = false, const std::exception_ptr& failed = nullptr);
  // The nested run of a value call, the call's frame just entered: its body's first step taken
  // straight away, the run loop around it only for what that leaves.
  void RunCallBody();
  // The run loop's steps are the executor's own (no test put others): a nested run may take
  // them itself (RunCallInPlace).
  bool StepsDirectly() const { return step_ == ExecuteStatement; }
  // A nested run whose first step first() takes outside the loop (true: the run is over); the
  // run loop goes on with whatever it leaves, or with the error it raised. The step counts as a
  // run of its own (RunDepth) and leaves the step of the run around it as it was.
  template <class First>
  void RunFirstStep(First&& first) {
    TYumeBase& y = base_;
    const char* const step = y.StepStart;
    y.StepStart = y.Cur;
    ++runDepth_;
    bool over = false;
    std::exception_ptr failed;
    try {
      over = first();
    } catch (...) {
      failed = std::current_exception();
    }
    --runDepth_;
    y.StepStart = step;
    if (failed || !over)
      RunProgram(true, failed);
    else
      y.StepSinceErrorJump = true;
  }
  // Runs a label on behalf of an event (timer, part, remote control).
  void EnterEvent(const char* labelBody);
  // A host timer fired.
  void OnTimer(THostTimer timer);
  // The window is asked to close: runs the close event and the exit label; true allows.
  bool CloseQuery();

  // The script's commands that steer the run cycle.
  void Wait();     // 待機
  void End();      // おわり
  void Surface();  // 母艦浮上
  void SetYumeTimer(int intervalMs, const char* labelBody);
  void StopYumeTimer();

  // Errors of statement steps, and the dialog that shows the error log.
  void HandleStatementError(const std::exception& e, bool logged);
  void ShowErrorDialog();

  // Sources of events other than the timer (parts, sockets) say when they are armed.
  void ArmSource() { ++armedSources_; }
  void DisarmSource() {
    if (armedSources_ > 0) --armedSources_;
  }
  bool HasArmedSources() const { return yumeTimerArmed_ || armedSources_ > 0; }

  // Closes the main window (through the host, so the close query runs).
  void Close();
  bool CloseAllowed() const { return closeAllowed_; }
  // 0, or 1 when the run ended through an error.
  int ExitStatus() const { return endedByError_ ? 1 : 0; }
  void SetEndedByError() { endedByError_ = true; }
  // Depth of nested run loops (0 when the script is idle).
  int RunDepth() const { return runDepth_; }
  bool WindowHidden() const { return windowHidden_; }

  // Replaces the statement step and the frame ending (tests use their own).
  void SetExecutor(TStepFn step, TStepFn checkRunControl) {
    step_ = step;
    check_ = checkRunControl;
  }

  const TCommandLine& CommandLine() const { return cmd_; }

 private:
  // An error a step raised: logged first when it is the script's own (EYume), then handled.
  void HandleFailure(const std::exception& e);
  void LoadStartFile(const std::string& name);
  // Opens the pack behind exe's image and takes its start script; true when it holds one.
  // Throws std::runtime_error with the reason when the pack is there but cannot be read.
  bool UnpackProgram(const std::string& exe);
  // Opens -runtime and -resource; false (after saying why) when the program cannot start.
  bool OpenNamedPacks();
  // Ends the start before any script was chosen, showing why.
  void StartFailed(const std::string& text, const std::string& caption, TMessageKind kind);
  void RunMainPartCloseEvent();
  void SetCannotClose(const char* value);
  bool CannotClose() const;

  THost& host_;
  TYumeBase base_;
  TCommandLine cmd_;
  TStepFn step_ = ExecuteStatement;
  TStepFn check_ = CheckRunControl;
  bool firstRun_ = false;
  bool closingEventRunning_ = false;
  bool closeAllowed_ = false;
  bool endedByError_ = false;
  bool yumeTimerArmed_ = false;
  bool windowHidden_ = true;
  int armedSources_ = 0;
  int runDepth_ = 0;
};

}  // namespace yume
