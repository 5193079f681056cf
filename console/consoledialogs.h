// The dialogs of the console program (build/yume), asked on the terminal.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/dialoghost.h"

namespace yume {

class TConsoleHost;

class TConsoleDialogs : public TDialogHost {
 public:
  // Messages go through host (standard output); answers come from host's answers file first,
  // then from in.
  TConsoleDialogs(TConsoleHost& host, std::FILE* out, std::FILE* in);

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

 private:
  // Writes CP932 text as lines on standard output.
  void Out(const std::string& cp932);
  // The next answer: a line of the answers file, else of standard input (CP932, no line break);
  // false at end of input or for "<cancel>".
  bool ReadAnswer(std::string& line);
  // Asks until the line is accepted by accept (or input ends: false).
  template <class Accept>
  bool AskUntil(Accept&& accept);

  TConsoleHost& host_;
  std::FILE* out_;
  std::FILE* in_;
};

}  // namespace yume
