// The console host (build/yume): no window; dialogs talk on the terminal, messages go to
// standard output and errors to standard error (UTF-8). After the main flow it keeps the event
// loop running while some event source is armed.
#pragma once

#include <cstdio>
#include <string>

#include "gfx/qthost.h"

namespace yume {

class TConsoleHost : public TQtHost {
  Q_OBJECT

 public:
  TConsoleHost(std::FILE* out = stdout, std::FILE* err = stderr, std::FILE* in = stdin);

  void ShowMainWindow() override { windowShown_ = true; }
  void CloseMainWindow() override;
  void PrintText(const std::string& text) override;
  void ShowMessage(const std::string& text, const std::string& caption, TMessageKind kind) override;
  TErrorChoice ShowErrorDialog(const std::string& log, bool debugMode) override;

  bool WindowShown() const { return windowShown_; }

 protected:
  bool KeepRunning() const override;
  void AfterEvent() override;

 private:
  // Asks on the terminal whether to go on; false at end of input.
  bool AskContinue();

  std::FILE* out_;
  std::FILE* err_;
  std::FILE* in_;
  bool windowShown_ = false;
  size_t logShown_ = 0;  // how much of the error log has been written already
};

// CP932 text for the terminal: UTF-8, CR LF (and lone CR) as "\n".
std::string TerminalText(const std::string& cp932);

}  // namespace yume
