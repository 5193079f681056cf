#include "ui/frmselectdialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "gfx/fonts.h"
#include "ui/dialogstyle.h"

namespace yume {

TfrmSelectDialog::TfrmSelectDialog(QWidget* owner) : QDialog(owner) {
  InitForm(this, "frmSelectDialog", QStringLiteral("選択"), QSize(279, 256));

  Label1 = new QLabel(QStringLiteral("選択ダイアログ"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextFormat(Qt::PlainText);
  Label1->move(8, 8);

  ListBox = new QListWidget(this);
  ListBox->setObjectName(QStringLiteral("ListBox"));
  ListBox->setFont(MakeFont(QStringLiteral("ＭＳ ゴシック"), 12));
  ListBox->setGeometry(8, 24, 265, 169);
  ListBox->installEventFilter(this);

  EditResult = new QLineEdit(this);
  EditResult->setObjectName(QStringLiteral("EditResult"));
  EditResult->setGeometry(8, 200, 265, 20);

  panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("panel"));
  panel->setGeometry(48, 224, 177, 25);
  btnOk = MakeButton(panel, "btnOk", QStringLiteral("&OK"), QRect(0, 0, 81, 25));
  btnOk->setDefault(true);  // Enter in the edit
  btnCancel =
      MakeButton(panel, "btnCancel", QStringLiteral("キャンセル(&C)"), QRect(96, 0, 81, 25));

  connect(btnOk, &QPushButton::clicked, this, &TfrmSelectDialog::Ok);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmSelectDialog::Cancel);
  // Choosing an item, by mouse or by keys, shows it in the box. (Only a chosen one: the list
  // makes its first item current, unchosen, when it takes the focus.)
  connect(ListBox, &QListWidget::itemSelectionChanged, this, [this]() {
    if (ChosenRow() >= 0) EditResult->setText(ListBox->item(ChosenRow())->text());
  });
  connect(ListBox, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { EditResult->setText(item->text()); });
  connect(ListBox, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    EditResult->setText(item->text());
    Ok();
  });
}

void TfrmSelectDialog::Prepare(const QString& message, const QStringList& items, bool editable,
                               const QString& initial, const TDialogStyle& style) {
  ApplyDialogFont(Label1, style.Font);
  ApplyDialogFont(ListBox, style.Font, QPalette::Text);
  ApplyDialogFont(EditResult, style.Font, QPalette::Text);
  ApplyIme(EditResult, style.Ime);
  Label1->setText(message);
  Label1->adjustSize();
  ListBox->addItems(items);
  ListBox->setCurrentRow(-1);
  EditResult->setText(initial);
  EditResult->setReadOnly(!editable);

  const QRect label = Label1->geometry();
  const int gap = label.top();
  const int clientWidth = std::max(label.width() + 2 * label.left(), 280);
  const int innerWidth = clientWidth - 2 * label.left();
  ListBox->setGeometry(label.left(), label.bottom() + 1 + gap, innerWidth, ListBox->height());
  const int editHeight = std::max(20, EditResult->fontMetrics().height() + 6);
  EditResult->setGeometry(label.left(), ListBox->geometry().bottom() + 1 + gap, innerWidth,
                          editHeight);
  panel->move((clientWidth - panel->width()) / 2, EditResult->geometry().bottom() + 1 + gap);
  setFixedSize(clientWidth, panel->geometry().bottom() + 1 + gap);
  CentreOnScreen(this);
  ListBox->setFocus();
}

int TfrmSelectDialog::ChosenRow() const {
  const QList<QListWidgetItem*> chosen = ListBox->selectedItems();
  return chosen.isEmpty() ? -1 : ListBox->row(chosen.front());
}

QString TfrmSelectDialog::Answer() const {
  return EditResult->text();
}

void TfrmSelectDialog::Ok() {
  const bool typed = !EditResult->isReadOnly() && !EditResult->text().isEmpty();
  if (ListBox->count() > 0 && ChosenRow() <= 0 && !typed) {
    ListBox->setCurrentRow(0);
    EditResult->setText(ListBox->item(0)->text());
  }
  cancelled_ = false;
  accept();
}

void TfrmSelectDialog::Cancel() {
  EditResult->clear();
  cancelled_ = true;
  reject();
}

bool TfrmSelectDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != ListBox || event->type() != QEvent::KeyPress)
    return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Ok();
      return true;
    case Qt::Key_Escape:
      Cancel();
      return true;
    default:
      break;
  }
  // A typed character jumps to the first item starting with it, or to none.
  const QString typed = key->text();
  if (typed.isEmpty() || !typed.at(0).isPrint() ||
      (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    return QDialog::eventFilter(watched, event);
  int found = -1;
  for (int i = 0; i < ListBox->count() && found < 0; ++i)
    if (ListBox->item(i)->text().startsWith(typed.at(0))) found = i;
  if (found < 0) ListBox->clearSelection();
  ListBox->setCurrentRow(found);
  return true;
}

}  // namespace yume
