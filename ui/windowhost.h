// The window host (build/yumemori): the main window, message boxes and the error dialog on
// Qt Widgets.
#pragma once

#include <memory>

#include "gfx/qthost.h"

namespace yume {

class TfrmYume;

class TWindowHost : public TQtHost {
  Q_OBJECT

 public:
  TWindowHost();
  ~TWindowHost() override;

  void ShowMainWindow() override;
  void CloseMainWindow() override;
  void PrintText(const std::string& text) override;
  void ShowMessage(const std::string& text, const std::string& caption, TMessageKind kind) override;
  TErrorChoice ShowErrorDialog(const std::string& log, bool debugMode) override;

  // The window was asked to close (by the user or by the script); true when it may.
  bool AskClose();

  TfrmYume* Form() const { return form_.get(); }

 protected:
  bool KeepRunning() const override { return true; }

 private:
  std::unique_ptr<TfrmYume> form_;
};

// CP932 text for a widget.
QString WidgetText(const std::string& cp932);

}  // namespace yume
