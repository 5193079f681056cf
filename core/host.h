// THost: the one interface through which the interpreter reaches the program hosting it.
//
// Two programs implement it: the console program (build/yume: terminal dialogs, no window)
// and the window program (build/yumemori: a real window on Qt Widgets). Both run on Qt's
// event loop. Everything the core asks of a host goes through here; each family of commands
// that needs more of the host (dialogs, parts, drawing) adds its own calls.
//
// All texts crossing this interface are CP932, like every text inside; the host converts.
#pragma once

#include <string>

namespace yume {

enum class THostTimer {
  EventDo,  // 1 ms: starts the first run
  Yume,     // the script's one-shot timer
  ObjDel,   // 1 ms: releases the widgets of destroyed parts after 待機
  Count
};

enum class TMessageKind { Info, Warning, Error };

// The user's answer to the error dialog.
enum class TErrorChoice { Continue, Debug, End };

class THost {
 public:
  virtual ~THost() = default;

  // Lets pending window messages and timers run (events may enter the script from here).
  virtual void ProcessMessages() = 0;

  // Arms (enabled, interval in ms) or disarms a timer; when it fires the host calls
  // TYumeApp::OnTimer. A timer keeps firing until it is disarmed.
  virtual void SetTimer(THostTimer timer, int intervalMs, bool enabled) = 0;

  // Shows the main window (the console host only records it).
  virtual void ShowMainWindow() = 0;

  // A close request, as if the user closed the window: the host asks TYumeApp::CloseQuery
  // and, when it allows, ends the program once every running loop has unwound.
  virtual void CloseMainWindow() = 0;

  // Prints a text on the main window at its text cursor (the console prints it on standard
  // output, one line).
  virtual void PrintText(const std::string& text) = 0;

  // A plain message box.
  virtual void ShowMessage(const std::string& text, const std::string& caption,
                           TMessageKind kind) = 0;

  // The error dialog showing the whole error log.
  virtual TErrorChoice ShowErrorDialog(const std::string& log, bool debugMode) = 0;
};

}  // namespace yume
