// TClipboardHost: the clipboard as a program has it. The window program uses the desktop's;
// the console program, which may run with no desktop at all, keeps one inside the process.
// Texts are CP932.
#pragma once

#include <string>

namespace yume {

class TClipboardHost {
 public:
  virtual ~TClipboardHost() = default;
  // The clipboard's text ("" when it holds none).
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& text) = 0;
};

// A clipboard kept inside the process.
class TProcessClipboard : public TClipboardHost {
 public:
  std::string Text() override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

}  // namespace yume
