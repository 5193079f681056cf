#include "ui/frmerror.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "gfx/fonts.h"

namespace yume {

TfrmError::TfrmError(QWidget* mainWindow, const QString& log, bool debugMode)
    : QDialog(mainWindow) {
  setObjectName(QStringLiteral("frmError"));
  setWindowTitle(QStringLiteral("実行中にエラーが発生しました。"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(MakeFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  setFixedSize(514, 159);

  memMsg = new QPlainTextEdit(this);
  memMsg->setObjectName(QStringLiteral("memMsg"));
  memMsg->setGeometry(0, 0, 513, 121);
  memMsg->setReadOnly(true);
  memMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memMsg->setFont(MakeFont(QStringLiteral("ＭＳ ゴシック"), 12));
  QPalette pal = memMsg->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  memMsg->setPalette(pal);
  memMsg->setPlainText(log);
  memMsg->verticalScrollBar()->setValue(memMsg->verticalScrollBar()->maximum());

  btnDebug = new QPushButton(QStringLiteral("デバッグする(&D)"), this);
  btnDebug->setObjectName(QStringLiteral("btnDebug"));
  btnDebug->setGeometry(168, 128, 105, 25);
  btnDebug->setVisible(debugMode);

  btnOk = new QPushButton(QStringLiteral("実行を続ける(&O)"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setGeometry(280, 128, 105, 25);
  btnOk->setDefault(true);

  btnCancel = new QPushButton(QStringLiteral("終了(&C)"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(392, 128, 113, 25);

  connect(btnDebug, &QPushButton::clicked, this, [this]() {
    continue_ = debug_ = true;
    accept();
  });
  connect(btnOk, &QPushButton::clicked, this, [this]() {
    continue_ = true;
    accept();
  });
  connect(btnCancel, &QPushButton::clicked, this, [this]() { reject(); });

  if (mainWindow) {
    QRect m = mainWindow->frameGeometry();
    move(m.left() + (m.width() - width()) / 2, m.top() + (m.height() - height()) / 2);
  }
}

}  // namespace yume
