// The dialogs of the window program (build/yumemori): each builds its form or Qt picker, places
// it, runs it modally and reads the answer back as CP932. With an answer line waiting (the
// answers file), each is shown and then answered through its own widgets as soon as its loop
// runs.
#pragma once

#include <string>
#include <vector>

#include "core/dialoghost.h"

namespace yume {

class TWindowHost;

class TWindowDialogs : public TDialogHost {
 public:
  explicit TWindowDialogs(TWindowHost& host);

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
  TWindowHost& host_;
};

}  // namespace yume
