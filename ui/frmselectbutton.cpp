#include "ui/frmselectbutton.h"

#include <QLabel>
#include <QPushButton>

#include "gfx/fonts.h"
#include "ui/dialogstyle.h"

namespace yume {

TfrmSelectButton::TfrmSelectButton(QWidget* owner) : QDialog(owner) {
  InitForm(this, "frmSelectButton", QString(), QSize(158, 138));

  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextFormat(Qt::PlainText);
  Label1->move(8, 8);
}

void TfrmSelectButton::Prepare(const QString& message, const QStringList& captions, int mainWidth,
                               const TDialogStyle& style) {
  ApplyDialogFont(Label1, style.Font);
  Label1->setText(message);
  Label1->adjustSize();
  const QFontMetrics fm = Label1->fontMetrics();

  const int n = static_cast<int>(std::min<qsizetype>(captions.size(), kMaxButtons));
  int widest = 30;
  for (int i = 0; i < n; ++i) widest = std::max(widest, fm.horizontalAdvance(captions[i]));
  const int unit = 2 * fm.height();
  const int w = static_cast<int>(1.3 * widest);
  const int h = static_cast<int>(0.8 * unit);

  const QRect label = Label1->geometry();
  int clientWidth, columnLeft;
  if (label.width() < w) {
    clientWidth = w + 16;
    columnLeft = 8;
  } else {
    clientWidth = label.width() + 16;
    columnLeft = (clientWidth - w) / 2;
  }

  const bool inRow = static_cast<int>(0.8 * mainWidth) > static_cast<int>(n * w * 1.1);
  int clientHeight;
  for (int i = 0; i < n; ++i) {
    auto* b = new QPushButton(captions[i], this);
    b->setObjectName(QStringLiteral("Button%1").arg(i + 1));
    b->setFont(Label1->font());
    b->setAutoDefault(false);
    if (inRow) {
      b->setGeometry(static_cast<int>(i * w * 1.1) + 8, 2 * label.top() + label.height(), w, h);
    } else {
      b->setGeometry(columnLeft, label.height() + 2 * label.top() + i * unit, w, h);
    }
    connect(b, &QPushButton::clicked, this, [this, b]() {
      answer_ = b->text();
      cancelled_ = false;
      accept();
    });
    Buttons << b;
  }
  if (inRow) {
    clientWidth = n == 1 ? w + 16 : static_cast<int>(n * w * 1.1) + 16;
    clientWidth = std::max(clientWidth, label.left() + label.width() + 8);
    clientHeight = 2 * label.top() + unit + label.height();
  } else {
    clientHeight = n * unit + label.height() + 2 * label.top();
  }
  setFixedSize(clientWidth, clientHeight);
  CentreOnScreen(this);
  if (!inRow && y() < 0) move(x(), 0);
  if (!Buttons.isEmpty()) Buttons.front()->setFocus();
}

}  // namespace yume
