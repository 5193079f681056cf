// --events FILE: a person's actions on the script's parts, read from a file and delivered as
// real input once the script waits for events (待機 or the end of its main flow), so that a
// windowed script can be tested without a person. One action a line:
//
//   click NAME            a click (buttons, check boxes, menus, any part)
//   dblclick NAME         a double click
//   type NAME TEXT        TEXT typed into an edit, memo or combo (the rest of the line)
//   key NAME KEY          one key: Enter, Esc, Tab, F1, A, Ctrl+S … (the focus on the part)
//   select NAME ITEM      an item chosen by its text or its number (list, combo, radio group,
//                         tab pages; a tree by path; a grid by "column,row")
//   close NAME            a form closed by its close box (母艦: the main window)
//   drop NAME FILE|FILE   files dropped on the part (as by a file manager)
//   pause MS              waits MS milliseconds, events and timers running meanwhile
//
// Blank lines and lines starting with "#" are skipped. The file may be UTF-8 or Shift_JIS.
#pragma once

#include <deque>
#include <functional>
#include <string>

namespace yume {

class TYumeApp;
class TEventLoop;

class TEventFeed {
 public:
  // Reads the file; false (with the reason on standard error) when it cannot be read or holds
  // a line that is no action.
  bool Load(const std::string& sysPath);
  bool Empty() const { return lines_.empty(); }

  // Starts delivering: each action once the script is idle again. done runs after the last.
  void Start(TYumeApp& app, TEventLoop& loop, std::function<void()> done);

 private:
  struct TLine {
    int Number = 0;
    std::string Verb, Part, Arg;  // CP932
  };
  void Next();
  void Deliver(const TLine& line);

  std::deque<TLine> lines_;
  TYumeApp* app_ = nullptr;
  TEventLoop* loop_ = nullptr;
  std::function<void()> done_;
};

}  // namespace yume
