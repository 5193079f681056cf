// The window host (build/yumemori): the main window, message boxes and the error dialog on
// Qt Widgets.
#pragma once

#include <QObject>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "gfx/loophost.h"

namespace yume {

class TfrmYume;

class TWindowHost : public QObject, public TLoopHost {
  Q_OBJECT

 public:
  TWindowHost();
  ~TWindowHost() override;

  void ShowMainWindow() override;
  void CloseMainWindow() override;
  void PrintText(const std::string& text) override;
  void ShowMessage(const std::string& text, const std::string& caption, TMessageKind kind) override;
  TErrorChoice ShowErrorDialog(const std::string& log, bool debugMode) override;

  // The dialogs (ui/windowdialogs.cpp). With an answer line waiting, each is shown and then
  // answered through its own widgets as soon as its loop runs.
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

  // The window was asked to close (by the user or by the script); true when it may.
  bool AskClose();

  TfrmYume* Form() const { return form_.get(); }

 protected:
  bool KeepRunning() const override { return true; }
  std::unique_ptr<TEventLoop> OpenLoop() override;

 private:
  // The owner of a dialog: the main window while it shows.
  QWidget* DialogOwner() const;
  QString MainCaption() const;

  std::unique_ptr<TfrmYume> form_;
};

// CP932 text for a widget.
QString WidgetText(const std::string& cp932);
// A widget's text as CP932 with CR LF line breaks.
std::string Cp932FromWidget(const QString& text);

}  // namespace yume
