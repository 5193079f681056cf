// TBrowserView: the widget of a browser part (ブラウザ). It lives in a module of its own,
// yume-web.so, the only code linked with Qt WebEngine: the window program and yume-qt.so load it
// when a script first makes a browser, so a script without one never starts the web engine.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace yume {

class TBrowserView {
 public:
  virtual ~TBrowserView() = default;

  virtual QWidget* Widget() = 0;

  // Loading is asynchronous: these start it and return. A reader (Html, Url, Title) waits for
  // a load still under way first, at most msec milliseconds, events running meanwhile.
  virtual void Navigate(const QString& url) = 0;
  // Writes HTML into the document (not a navigation: the script writes it itself), once a
  // load under way has ended; false when it could not (as Html).
  virtual bool WriteHtml(const QString& html, int msec) = 0;
  // Forward (+1) or back (-1) in the history; false when there is nowhere to go.
  virtual bool Go(int step) = 0;
  virtual bool SetTitle(const QString& title, int msec) = 0;

  // False when the page did not come in time, the engine's process is gone, or the call comes
  // from inside one of the engine's own calls (a navigation or new window being decided), where
  // the engine cannot answer (Blocked tells).
  virtual bool Html(QString& html, int msec) = 0;
  virtual bool Blocked() const = 0;
  virtual QString Url(int msec) = 0;
  virtual QString Title(int msec) = 0;
  // Whether the engine's renderer still runs (it can die under a missing graphics stack).
  virtual bool Alive() const = 0;
  // The part is gone: no more callbacks; the view deletes itself once none of its own
  // callbacks is running (a part may be destroyed from its own event).
  virtual void Dispose() = 0;

  // Before each navigation the browser makes (a link followed, a form sent, a URL set, back or
  // forward): false cancels it. Script code runs inside it, so the engine waits meanwhile: a
  // page cannot be read from there (see Html).
  std::function<bool(const QString& url)> BeforeNavigate;
  // A document finished loading.
  std::function<void()> Completed;
  // The page asks for a new window. Refuse, let the platform open a window of its own, or show
  // it in another browser part (target).
  enum TNewWindow { nwRefuse, nwOwnWindow, nwTarget };
  std::function<TNewWindow(TBrowserView*& target)> NewWindow;
  // A load started (true) or ended (false): the program keeps running while one is under way.
  std::function<void(bool)> Loading;
};

// The module's entry: a browser view ready for use, or null with the reason in error (UTF-8).
using TMakeBrowser = TBrowserView* (*)(QString* error);

// Loads yume-web.so (beside the code that calls it) and makes a browser view; null with the
// reason in error when the module or the engine cannot start here.
TBrowserView* MakeBrowserView(QString& error);
// Before the program ends, once the parts are gone: lets the engine finish its work (nothing
// when no browser was made).
void ShutDownBrowsers();

}  // namespace yume
