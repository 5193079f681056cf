#include "ui/frminputbox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gfx/fonts.h"
#include "ui/dialogstyle.h"

namespace yume {

TfrmInputBox::TfrmInputBox(QWidget* owner) : QDialog(owner) {
  InitForm(this, "frmInputBox", QStringLiteral("尋ねる"), QSize(297, 89));

  lblMsg = new QLabel(QStringLiteral("文字列の入力"), this);
  lblMsg->setObjectName(QStringLiteral("lblMsg"));
  lblMsg->setTextFormat(Qt::PlainText);
  lblMsg->move(8, 8);

  edtInput = new QLineEdit(this);
  edtInput->setObjectName(QStringLiteral("edtInput"));
  edtInput->setFont(MakeFont(QStringLiteral("ＭＳ ゴシック"), 13));
  edtInput->setGeometry(8, 32, 281, 21);

  panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("panel"));
  panel->setGeometry(120, 56, 169, 25);
  btnOk = MakeButton(panel, "btnOk", QStringLiteral("&OK"), QRect(0, 0, 81, 25));
  btnOk->setDefault(true);  // Enter in the edit
  btnCancel =
      MakeButton(panel, "btnCancel", QStringLiteral("キャンセル(&C)"), QRect(88, 0, 81, 25));

  connect(btnOk, &QPushButton::clicked, this, [this]() {
    cancelled_ = false;
    accept();
  });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmInputBox::Prepare(const QString& prompt, const QString& initial,
                           const TDialogStyle& style) {
  ApplyDialogFont(lblMsg, style.Font);
  ApplyDialogFont(edtInput, style.Font, QPalette::Text);
  ApplyIme(edtInput, style.Ime);
  lblMsg->setText(prompt);
  lblMsg->adjustSize();
  edtInput->setText(initial);
  edtInput->selectAll();

  // Edit below the label, buttons below the edit, each a label's top apart.
  const QRect label = lblMsg->geometry();
  const int gap = label.top();
  const int clientWidth = std::max(label.width() + 2 * label.left(), 300);
  const int editHeight = std::max(21, edtInput->fontMetrics().height() + 6);
  edtInput->setGeometry(label.left(), label.bottom() + 1 + gap, clientWidth - 2 * label.left(),
                        editHeight);
  panel->move((clientWidth - panel->width()) / 2, edtInput->geometry().bottom() + 1 + gap);
  setFixedSize(clientWidth, panel->geometry().bottom() + 1 + 8);
  CentreOnScreen(this);
  edtInput->setFocus();
}

QString TfrmInputBox::Answer() const {
  return edtInput->text();
}

}  // namespace yume
