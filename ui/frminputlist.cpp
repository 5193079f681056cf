#include "ui/frminputlist.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "core/sjis.h"
#include "gfx/fonts.h"
#include "ui/dialogstyle.h"
#include "ui/windowhost.h"

namespace yume {

namespace {

constexpr int kPanelHeight = 38;
const char kRowProperty[] = "yumeRow";

// The key column: highlighted on the current row while the grid holds the focus, button face
// otherwise; the text 4 pixels in and centred up and down.
class TKeyDelegate : public QStyledItemDelegate {
 public:
  explicit TKeyDelegate(QTableWidget* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QWidget* focus = QApplication::focusWidget();
    const bool gridFocused = focus && (focus == grid_ || grid_->isAncestorOf(focus));
    const bool current = gridFocused && index.row() == grid_->currentRow();
    const QPalette& pal = option.palette;
    p->fillRect(option.rect,
                current ? pal.color(QPalette::Highlight) : pal.color(QPalette::Button));
    p->setPen(current ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::ButtonText));
    p->setFont(option.font);
    p->drawText(option.rect.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                index.data().toString());
  }

 private:
  QTableWidget* grid_;
};

QString StripParens(QString filter) {
  if (filter.startsWith(QLatin1Char('(')) && filter.endsWith(QLatin1Char(')')))
    filter = filter.mid(1, filter.size() - 2);
  return filter;
}

}  // namespace

TfrmInputList::TfrmInputList(QWidget* owner) : QDialog(owner) {
  InitForm(this, "frmInputList", QStringLiteral("項目記入"), QSize(), Qt::WindowMaximizeButtonHint);

  veList = new QTableWidget(0, 2, this);
  veList->setObjectName(QStringLiteral("veList"));
  veList->setHorizontalHeaderLabels({QStringLiteral("項目"), QStringLiteral("値")});
  veList->verticalHeader()->hide();
  veList->verticalHeader()->setMinimumSectionSize(1);
  veList->horizontalHeader()->setStretchLastSection(true);
  veList->setColumnWidth(0, 118);
  veList->setColumnWidth(1, 212);
  veList->setSelectionMode(QAbstractItemView::NoSelection);
  veList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  veList->setTabKeyNavigation(false);
  veList->setItemDelegateForColumn(0, new TKeyDelegate(veList));
  connect(veList, &QTableWidget::cellClicked, this, [this](int row, int) { GoToRow(row); });
  connect(qApp, &QApplication::focusChanged, veList,
          [this](QWidget*, QWidget*) { veList->viewport()->update(); });

  panelBottom = new QWidget(this);
  panelBottom->setObjectName(QStringLiteral("panelBottom"));
  panelButton = new QWidget(panelBottom);
  panelButton->setObjectName(QStringLiteral("panelButton"));
  btnOK = MakeButton(panelButton, "btnOK", QStringLiteral("決定(&O)"), QRect(8, 5, 105, 25));
  btnOK->setAutoDefault(false);  // Enter in the grid moves down the rows
  btnCancel =
      MakeButton(panelButton, "btnCancel", QStringLiteral("取消(&C)"), QRect(120, 5, 59, 25));
  btnCancel->setAutoDefault(false);
  panelButton->resize(btnCancel->geometry().right() + 1 + 8, kPanelHeight);
  connect(btnOK, &QPushButton::clicked, this, [this]() {
    cancelled_ = false;
    accept();
  });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  timerInit = new QTimer(this);
  timerInit->setObjectName(QStringLiteral("timerInit"));
  timerInit->setSingleShot(true);
  timerInit->setInterval(1);
  connect(timerInit, &QTimer::timeout, this, [this]() {
    veList->setFocus();
    if (RowCount() > 0) GoToRow(0);
  });

  resize(346, 316);
  Arrange();  // a hidden window gets its resize event only when shown
  CentreOnScreen(this);
}

void TfrmInputList::Prepare(const TItemList& items, const TDialogStyle& style) {
  ApplyDialogFont(veList, style.Font, QPalette::Text);
  const QString keyTitle =
      items.KeyTitle.empty() ? QStringLiteral("項目") : WidgetText(items.KeyTitle);
  const QString valueTitle =
      items.ValueTitle.empty() ? QStringLiteral("値") : WidgetText(items.ValueTitle);
  veList->setHorizontalHeaderLabels({keyTitle, valueTitle});

  const QFontMetrics fm = veList->fontMetrics();
  veList->verticalHeader()->setDefaultSectionSize(static_cast<int>(1.5 * fm.height()));
  int keyWidth = fm.horizontalAdvance(keyTitle);
  veList->setRowCount(static_cast<int>(items.Rows.size()));
  for (int row = 0; row < veList->rowCount(); ++row) {
    const TItemRow& item = items.Rows[row];
    const QString key = WidgetText(item.Key);
    keyWidth = std::max(keyWidth, fm.horizontalAdvance(key));
    auto* cell = new QTableWidgetItem(key);
    cell->setFlags(Qt::ItemIsEnabled);
    veList->setItem(row, 0, cell);
    kinds_.push_back(item.Kind);
    filters_.push_back(StripParens(WidgetText(item.Filter)));
    veList->setCellWidget(row, 1, MakeEditor(row, item, style.Ime));
  }
  veList->setColumnWidth(0, keyWidth + 8);
}

QWidget* TfrmInputList::MakeEditor(int row, const TItemRow& item, int ime) {
  QLineEdit* edit = nullptr;
  QWidget* editor = nullptr;
  QWidget* keys = nullptr;
  switch (item.Kind) {
    case TItemRow::PickList: {
      auto* combo = new QComboBox;
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      for (const std::string& choice : item.Choices) combo->addItem(WidgetText(choice));
      edit = combo->lineEdit();
      editor = keys = combo;
      break;
    }
    case TItemRow::File:
    case TItemRow::Color: {
      editor = new QWidget;
      auto* box = new QHBoxLayout(editor);
      box->setContentsMargins(0, 0, 0, 0);
      box->setSpacing(0);
      edit = new QLineEdit;
      auto* ellipsis = new QToolButton;
      ellipsis->setText(QStringLiteral("…"));
      ellipsis->setFocusPolicy(Qt::NoFocus);
      connect(ellipsis, &QToolButton::clicked, this, [this, row]() { PickForRow(row); });
      box->addWidget(edit, 1);
      box->addWidget(ellipsis);
      keys = edit;
      break;
    }
    default:
      editor = keys = edit = new QLineEdit;
      break;
  }
  edit->setFrame(false);
  edit->setText(WidgetText(item.Value));
  // What the row holds decides whether Japanese input is wanted.
  switch (item.Kind) {
    case TItemRow::Text:
      ApplyIme(edit, 1);
      break;
    case TItemRow::Number:
    case TItemRow::File:
    case TItemRow::Color:
      ApplyIme(edit, 0);
      break;
    default:
      ApplyIme(edit, ime);
      break;
  }
  keys->setProperty(kRowProperty, row);
  keys->installEventFilter(this);
  edit->setProperty(kRowProperty, row);
  edit->installEventFilter(this);
  edits_.push_back(edit);
  focus_.push_back(keys);
  return editor;
}

QString TfrmInputList::Value(int row) const {
  return edits_[row]->text();
}

void TfrmInputList::SetValue(int row, const QString& value) {
  edits_[row]->setText(value);
}

void TfrmInputList::GoToRow(int row) {
  veList->setCurrentCell(row, 1);
  focus_[row]->setFocus();
}

void TfrmInputList::PickForRow(int row) {
  if (kinds_[row] == TItemRow::Color) {
    QColorDialog picker(this);
    bool ok = false;
    const uint32_t now = Value(row).toUInt(&ok);
    if (ok) picker.setCurrentColor(ColorFromBgr(now));
    if (picker.exec() == QDialog::Accepted)
      SetValue(row, QString::number(BgrFromColor(picker.selectedColor())));
  } else if (kinds_[row] == TItemRow::File) {
    QFileDialog picker(this);
    picker.setAcceptMode(QFileDialog::AcceptOpen);
    picker.setFileMode(QFileDialog::ExistingFile);
    const QString filter =
        filters_[row].isEmpty() ? QStringLiteral("全てのファイル(*.*)|*.*") : filters_[row];
    picker.setNameFilters(NameFilters(Utf8ToCp932(filter.toStdString())));
    if (picker.exec() == QDialog::Accepted && !picker.selectedFiles().isEmpty())
      SetValue(row, picker.selectedFiles().front());
  }
}

bool TfrmInputList::eventFilter(QObject* watched, QEvent* event) {
  const QVariant rowValue = watched->property(kRowProperty);
  if (!rowValue.isValid()) return QDialog::eventFilter(watched, event);
  const int row = rowValue.toInt();
  if (event->type() == QEvent::FocusIn) {
    veList->setCurrentCell(row, 1);
  } else if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (row + 1 < RowCount()) {
        GoToRow(row + 1);
      } else {
        btnOK->setFocus();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmInputList::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Arrange();
}

void TfrmInputList::Arrange() {
  veList->setGeometry(0, 0, width(), std::max(0, height() - kPanelHeight));
  panelBottom->setGeometry(0, height() - kPanelHeight, width(), kPanelHeight);
  panelButton->move((width() - panelButton->width()) / 2, 0);
}

void TfrmInputList::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  timerInit->start();
}

}  // namespace yume
