#include "ui/frmmemodialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "core/sjis.h"
#include "gfx/fonts.h"
#include "ui/dialogstyle.h"
#include "ui/windowhost.h"

namespace yume {

namespace {

constexpr int kPanelHeight = 41;
const char kMemoFilter[] = "*.txt|*.txt|すべてのファイル|*.*";

QAction* MenuAction(QWidget* owner, const QString& text, QKeySequence::StandardKey key) {
  auto* a = new QAction(text, owner);
  a->setShortcut(key);
  a->setShortcutContext(Qt::WidgetShortcut);
  owner->addAction(a);
  return a;
}

void MenuSeparator(QWidget* owner) {
  auto* a = new QAction(owner);
  a->setSeparator(true);
  owner->addAction(a);
}

}  // namespace

TfrmMemoDialog::TfrmMemoDialog(QWidget* owner) : QDialog(owner) {
  InitForm(this, "frmMemoDialog", QStringLiteral("メモ帳"), QSize());

  Memo = new QPlainTextEdit(this);
  Memo->setObjectName(QStringLiteral("Memo"));
  Memo->setFont(MakeFont(QStringLiteral("ＭＳ ゴシック"), 16));
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(MenuAction(Memo, QStringLiteral("元に戻す"), QKeySequence::Undo), &QAction::triggered,
          Memo, &QPlainTextEdit::undo);
  MenuSeparator(Memo);
  connect(MenuAction(Memo, QStringLiteral("コピー"), QKeySequence::Copy), &QAction::triggered, Memo,
          &QPlainTextEdit::copy);
  connect(MenuAction(Memo, QStringLiteral("切り取り"), QKeySequence::Cut), &QAction::triggered,
          Memo, &QPlainTextEdit::cut);
  connect(MenuAction(Memo, QStringLiteral("貼り付け"), QKeySequence::Paste), &QAction::triggered,
          Memo, &QPlainTextEdit::paste);
  MenuSeparator(Memo);
  connect(MenuAction(Memo, QStringLiteral("全て選択"), QKeySequence::SelectAll),
          &QAction::triggered, Memo, &QPlainTextEdit::selectAll);

  panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("panel"));
  btnLoad = new QToolButton(panel);
  btnLoad->setObjectName(QStringLiteral("btnLoad"));
  btnLoad->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  btnLoad->setToolTip(QStringLiteral("読み込み"));
  btnLoad->setGeometry(8, 8, 25, 25);
  btnSave = new QToolButton(panel);
  btnSave->setObjectName(QStringLiteral("btnSave"));
  btnSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  btnSave->setToolTip(QStringLiteral("保存"));
  btnSave->setGeometry(32, 8, 25, 25);

  panelRight = new QWidget(panel);
  panelRight->setObjectName(QStringLiteral("panelRight"));
  btnOK = MakeButton(panelRight, "btnOK", QStringLiteral("&OK"), QRect(8, 8, 113, 25));
  btnOK->setAutoDefault(false);  // Enter belongs to the memo
  btnCancel =
      MakeButton(panelRight, "btnCancel", QStringLiteral("キャンセル(&C)"), QRect(128, 8, 81, 25));
  btnCancel->setAutoDefault(false);
  panelRight->resize(btnCancel->geometry().right() + 1 + 8, kPanelHeight);

  // A cancelled picker leaves the memo as it is.
  connect(btnLoad, &QToolButton::clicked, this, [this]() {
    const QString path = PickFile(false);
    if (!path.isEmpty()) LoadFrom(path);
  });
  connect(btnSave, &QToolButton::clicked, this, [this]() {
    const QString path = PickFile(true);
    if (!path.isEmpty()) SaveTo(path);
  });
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, [this]() {
    Memo->clear();
    cancelled_ = true;
    reject();
  });

  resize(420, 342);
  Arrange();  // a hidden window gets its resize event only when shown
  CentreOnScreen(this);
}

void TfrmMemoDialog::Prepare(const QString& text, const TDialogStyle& style) {
  ApplyDialogFont(Memo, style.Font, QPalette::Text);
  ApplyIme(Memo, style.Ime);
  Memo->setPlainText(text);
  Memo->setFocus();
}

QString TfrmMemoDialog::Answer() const {
  return Memo->toPlainText();
}

void TfrmMemoDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Arrange();
}

void TfrmMemoDialog::Arrange() {
  Memo->setGeometry(0, 0, width(), std::max(0, height() - kPanelHeight));
  panel->setGeometry(0, height() - kPanelHeight, width(), kPanelHeight);
  panelRight->move(width() - panelRight->width(), 0);
}

void TfrmMemoDialog::keyPressEvent(QKeyEvent* event) {
  // Escape is the Cancel button; only the close box keeps the text.
  if (event->key() == Qt::Key_Escape) {
    btnCancel->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TfrmMemoDialog::LoadFrom(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray raw = f.readAll();
  Memo->setPlainText(WidgetText(ScriptTextToCp932(std::string_view(raw.data(), raw.size()))));
  return true;
}

bool TfrmMemoDialog::SaveTo(const QString& path) const {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const std::string text = Cp932FromWidget(Memo->toPlainText());
  return f.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

QString TfrmMemoDialog::PickFile(bool save) {
  QFileDialog picker(this);
  picker.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  picker.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  picker.setNameFilters(NameFilters(Utf8ToCp932(kMemoFilter)));
  picker.setDefaultSuffix(QStringLiteral("txt"));
  picker.setDirectory(QDir::currentPath());
  if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) return QString();
  return picker.selectedFiles().front();
}

}  // namespace yume
