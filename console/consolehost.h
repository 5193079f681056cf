// The console host (build/yume): no window; dialogs talk on the terminal, messages go to
// standard output and errors to standard error (UTF-8). After the main flow it keeps the event
// loop running while some event source is armed.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "console/consoledialogs.h"
#include "core/clipboardhost.h"
#include "core/parthost.h"
#include "gfx/loophost.h"

namespace yume {

class TConsoleHost : public TLoopHost {
 public:
  TConsoleHost(std::FILE* out = stdout, std::FILE* err = stderr, std::FILE* in = stdin);

  void ShowMainWindow() override { windowShown_ = true; }
  void CloseMainWindow() override;
  void PrintText(const std::string& text) override;
  void ShowMessage(const std::string& text, const std::string& caption, TMessageKind kind) override;
  TErrorChoice ShowErrorDialog(const std::string& log, bool debugMode) override;

  // The dialogs, asked on the terminal.
  TDialogHost& Dialogs() { return dialogs_; }

  bool WindowShown() const { return windowShown_; }

 protected:
  bool KeepRunning() const override;
  void AfterEvent() override;
  // Qt's loop, loaded only now (see console/qtloader.h).
  std::unique_ptr<TEventLoop> OpenLoop() override;
  // The offscreen platform's screen, without loading it.
  bool DesktopSize(int& width, int& height) override;
  void ConnectAreas(TYumeBase& y) override;

 private:
  // Asks on the terminal whether to go on; false at end of input.
  bool AskContinue();
  std::FILE* out_;
  std::FILE* err_;
  std::FILE* in_;
  TConsoleDialogs dialogs_;
  TProcessClipboard clipboard_;
  std::unique_ptr<TPartHost> parts_;  // loaded with Qt when a script first makes a part
  bool windowShown_ = false;
  size_t logShown_ = 0;  // how much of the error log has been written already
};

// CP932 text for the terminal: UTF-8, CR LF (and lone CR) as "\n".
std::string TerminalText(const std::string& cp932);

}  // namespace yume
