#include "ui/frmmsgbox.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "gfx/fonts.h"
#include "ui/dialogstyle.h"

namespace yume {

TfrmMsgBox::TfrmMsgBox(QWidget* owner) : QDialog(owner) {
  InitForm(this, "frmMsgBox", QStringLiteral("メッセージ"), QSize(174, 71));

  lblMsg = new QLabel(this);
  lblMsg->setObjectName(QStringLiteral("lblMsg"));
  lblMsg->setTextFormat(Qt::PlainText);
  lblMsg->move(8, 8);

  btnOk = MakeButton(this, "btnOk", QStringLiteral("&OK"), QRect(8, 32, 75, 25));
  btnOk->setDefault(true);  // Enter presses it; Escape closes the dialog
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

  if (QScreen* screen = QGuiApplication::primaryScreen())
    maxHeight_ = static_cast<int>(screen->geometry().height() * 0.7);
}

void TfrmMsgBox::Prepare(const QString& text, const TDialogStyle& style) {
  ApplyDialogFont(lblMsg, style.Font);
  QStringList lines = text.split(QLatin1Char('\n'));
  const int lineHeight = static_cast<int>(1.2 * lblMsg->fontMetrics().height());
  QString shown = text;
  if (lineHeight > 0 && static_cast<long long>(lines.size()) * lineHeight > maxHeight_) {
    shown.clear();
    for (int i = 0; i < maxHeight_ / lineHeight; ++i) shown += lines[i] + QLatin1Char('\n');
    shown += QStringLiteral("...");
  }
  lblMsg->setText(shown);
  lblMsg->adjustSize();

  const QRect label = lblMsg->geometry();
  int buttonTop = label.top() + label.height() + label.top();
  if (buttonTop > maxHeight_ || buttonTop < 0) buttonTop = maxHeight_;
  const int clientWidth = std::max(label.width() + 2 * label.left(), 100);
  btnOk->move((clientWidth - btnOk->width()) / 2, buttonTop);
  setFixedSize(clientWidth, buttonTop + btnOk->height() + label.top());
  CentreOnScreen(this);
}

}  // namespace yume
