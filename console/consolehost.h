// The console host (build/yume): no window; dialogs talk on the terminal, messages go to
// standard output and errors to standard error (UTF-8). After the main flow it keeps the event
// loop running while some event source is armed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

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

  // Dialogs on the terminal: the message or prompt on standard output, the answer one line of
  // standard input (or of the answers file); end of input cancels.
  void Say(const std::string& text, const TDialogStyle& style) override;
  bool AskText(const std::string& prompt, const std::string& initial, const TDialogStyle& style,
               std::string& answer) override;
  int AskYesNo(const std::string& text, const std::string& caption, bool withCancel) override;
  bool AskList(const std::string& message, const std::vector<std::string>& items, bool editable,
               const std::string& initial, const TDialogStyle& style, std::string& answer) override;
  bool AskButtons(const std::string& message, const std::vector<std::string>& captions,
                  const TDialogStyle& style, std::string& answer) override;
  bool AskMemo(const std::string& text, const TDialogStyle& style, std::string& answer) override;
  bool AskItems(const TItemList& items, const TDialogStyle& style, std::string& answer) override;
  bool PickColor(uint32_t& color) override;
  bool PickFont(TDialogFont& font) override;
  bool PickOpenFiles(const std::string& filter, const std::string& folder,
                     const std::string& initial, std::vector<std::string>& files) override;
  bool PickSaveFile(const std::string& filter, const std::string& defaultExt,
                    const std::string& folder, const std::string& initial,
                    std::string& file) override;
  bool PickFolder(const std::string& start, const std::string& root, std::string& folder) override;

  bool WindowShown() const { return windowShown_; }

 protected:
  bool KeepRunning() const override;
  void AfterEvent() override;
  // Qt's loop, loaded only now (see console/qtloader.h).
  std::unique_ptr<TEventLoop> OpenLoop() override;
  // The offscreen platform's screen, without loading it.
  bool DesktopSize(int& width, int& height) override;

 private:
  // Asks on the terminal whether to go on; false at end of input.
  bool AskContinue();
  // Writes CP932 text as lines on standard output.
  void Out(const std::string& cp932);
  // The next answer: a line of the answers file, else of standard input (CP932, no line break);
  // false at end of input or for "<cancel>".
  bool ReadAnswer(std::string& line);
  // Asks until the line is accepted by accept (or input ends: false).
  template <class Accept>
  bool AskUntil(Accept&& accept);

  std::FILE* out_;
  std::FILE* err_;
  std::FILE* in_;
  bool windowShown_ = false;
  size_t logShown_ = 0;  // how much of the error log has been written already
};

// CP932 text for the terminal: UTF-8, CR LF (and lone CR) as "\n".
std::string TerminalText(const std::string& cp932);

}  // namespace yume
