// The window host (build/yumemori): the main window, message boxes and the error dialog on
// Qt Widgets.
#pragma once

#include <QObject>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/clipboardhost.h"
#include "core/dialoghost.h"
#include "gfx/loophost.h"

namespace yume {

class TfrmYume;
class TWindowDialogs;
class TQtParts;

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

  // The dialogs, shown as real dialogs (ui/windowdialogs.h).
  TDialogHost& Dialogs();

  // The window was asked to close (by the user or by the script); true when it may.
  bool AskClose();

  TfrmYume* Form() const { return form_.get(); }
  // The widgets of the script's parts (the mothership is part 0).
  TQtParts& Parts() { return *parts_; }

  // The owner of a dialog: the main window while it shows.
  QWidget* DialogOwner() const;
  // The main window's caption, which dialogs without a title of their own show.
  QString MainCaption() const;

 protected:
  bool KeepRunning() const override { return true; }
  std::unique_ptr<TEventLoop> OpenLoop() override;
  void ConnectAreas(TYumeBase& y) override;

 private:
  std::unique_ptr<TfrmYume> form_;
  std::unique_ptr<TWindowDialogs> dialogs_;
  std::unique_ptr<TClipboardHost> clipboard_;
  std::unique_ptr<TQtParts> parts_;
};

// CP932 text for a widget.
QString WidgetText(const std::string& cp932);
// A widget's text as CP932 with CR LF line breaks.
std::string Cp932FromWidget(const QString& text);

}  // namespace yume
