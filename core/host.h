// THost: how the interpreter reaches the program hosting it for the run cycle and the main
// window: the event loop's timers, showing and closing the window, printing on it, message
// boxes and the error dialog.
//
// Two programs implement it: the console program (build/yume: no window) and the window
// program (build/yumemori: a real window on Qt Widgets). Each other area the commands need of
// a host (dialogs, parts, drawing, printing, the clipboard, sound …) is an interface of its
// own (core/dialoghost.h and its kin), with one implementation per program, reached through
// the state (TYumeBase::Dialogs …): a family adds its own interface instead of growing this one.
//
// All texts crossing this interface are CP932, like every text inside; the host converts.
// (No Japanese literal may stand in this header: it is compiled as UTF-8 by the Qt programs.)
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
