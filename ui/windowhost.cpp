#include "ui/windowhost.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

#include "commands/ui/parts.h"
#include "core/sjis.h"
#include "core/yumebase.h"
#include "gfx/qtloop.h"
#include "ui/frmerror.h"
#include "ui/frmyume.h"
#include "ui/partwidgets.h"
#include "ui/windowdialogs.h"

namespace yume {

QString WidgetText(const std::string& cp932) {
  return QString::fromStdString(Cp932ToUtf8(cp932))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string Cp932FromWidget(const QString& text) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return Utf8ToCp932(crlf.toStdString());
}

namespace {

// The desktop's clipboard.
class TWindowClipboard : public TClipboardHost {
 public:
  std::string Text() override { return Cp932FromWidget(QGuiApplication::clipboard()->text()); }
  void SetText(const std::string& text) override {
    QGuiApplication::clipboard()->setText(WidgetText(text));
  }
};

}  // namespace

TWindowHost::TWindowHost()
    : form_(std::make_unique<TfrmYume>(*this)),
      dialogs_(std::make_unique<TWindowDialogs>(*this)),
      clipboard_(std::make_unique<TWindowClipboard>()),
      parts_(std::make_unique<TQtParts>(form_.get())) {}

TWindowHost::~TWindowHost() = default;

TDialogHost& TWindowHost::Dialogs() {
  return *dialogs_;
}

void TWindowHost::ConnectAreas(TYumeBase& y) {
  y.Dialogs = dialogs_.get();
  y.Clipboard = clipboard_.get();
  ConnectParts(y, [this]() -> TPartHost* { return parts_.get(); });
}

QWidget* TWindowHost::DialogOwner() const {
  return form_->isVisible() ? form_.get() : nullptr;
}

QString TWindowHost::MainCaption() const {
  return form_->windowTitle();
}

std::unique_ptr<TEventLoop> TWindowHost::OpenLoop() {
  return std::make_unique<TQtEventLoop>();
}

void TWindowHost::ShowMainWindow() {
  form_->show();
  form_->raise();
}

bool TWindowHost::AskClose() {
  if (Finished()) return true;
  if (!app_ || app_->CloseQuery()) {
    Finish();
    return true;
  }
  return false;
}

void TWindowHost::CloseMainWindow() {
  if (Finished()) return;
  if (AskClose()) form_->hide();
}

void TWindowHost::PrintText(const std::string& text) {
  form_->PrintText(WidgetText(text));
}

void TWindowHost::ShowMessage(const std::string& text, const std::string& caption,
                              TMessageKind kind) {
  QString title = caption.empty() ? form_->windowTitle() : WidgetText(caption);
  QMessageBox box(kind == TMessageKind::Info      ? QMessageBox::NoIcon
                  : kind == TMessageKind::Warning ? QMessageBox::Warning
                                                  : QMessageBox::Critical,
                  title, WidgetText(text), QMessageBox::Ok, form_.get());
  box.exec();
}

TErrorChoice TWindowHost::ShowErrorDialog(const std::string& log, bool debugMode) {
  // The error dialog must not hide behind a main window that stays on top.
  const bool onTop = form_->windowFlags() & Qt::WindowStaysOnTopHint;
  if (onTop) form_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
  TfrmError dialog(form_->isVisible() ? form_.get() : nullptr, WidgetText(log), debugMode);
  if (TErrorChoice answered; TakeErrorAnswer(answered)) {
    // Answered from --answers: the dialog is still built, then answered without a person.
    dialog.show();
    dialog.hide();
    if (onTop) form_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return answered;
  }
  dialog.exec();
  if (onTop) form_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (dialog.Debug()) return TErrorChoice::Debug;
  return dialog.Continue() ? TErrorChoice::Continue : TErrorChoice::End;
}

}  // namespace yume
