// TQtParts: a person's actions on the parts (--events), synthesized as real mouse and key
// events sent to the widgets.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QUrl>

#include "ui/partwidgets.h"
#include "ui/partwidgets_internal.h"

namespace yume {

using namespace qtparts;

namespace {

QWidget* Deepest(QWidget* w, QPoint& p) {
  while (QWidget* c = w->childAt(p)) {
    p = c->mapFrom(w, p);
    w = c;
  }
  return w;
}

void SendMouse(QWidget* w, QPoint p, QEvent::Type type, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QPoint lp = p;
  QWidget* target = Deepest(w, lp);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent ev(type, QPointF(lp), QPointF(target->mapToGlobal(lp)), button, held, mods);
  QApplication::sendEvent(target, &ev);
}

void SendClick(QWidget* w, QPoint p, bool dbl = false) {
  SendMouse(w, p, QEvent::MouseButtonPress);
  SendMouse(w, p, QEvent::MouseButtonRelease);
  if (dbl) {
    SendMouse(w, p, QEvent::MouseButtonDblClick);
    SendMouse(w, p, QEvent::MouseButtonRelease);
  }
}

// A key by name: "Enter", "Esc", "Tab", "F1", "A", "Ctrl+S" … (QKeySequence's names).
bool SendKey(QWidget* w, const QString& name, QString& error) {
  QString n = name.trimmed();
  if (n.compare(QStringLiteral("Enter"), Qt::CaseInsensitive) == 0) n = QStringLiteral("Return");
  const QKeySequence seq = QKeySequence::fromString(n);
  if (seq.isEmpty()) {
    error = QStringLiteral("キー名が読めません: ") + name;
    return false;
  }
  const QKeyCombination kc = seq[0];
  QString text;
  const int key = kc.key();
  if (kc.keyboardModifiers() == Qt::NoModifier || kc.keyboardModifiers() == Qt::ShiftModifier) {
    if (key == Qt::Key_Return)
      text = QStringLiteral("\r");
    else if (key == Qt::Key_Tab)
      text = QStringLiteral("\t");
    else if (key == Qt::Key_Space)
      text = QStringLiteral(" ");
    else if (key >= 0x20 && key < 0x7f)
      text = QString(QChar(key)).toLower();
  }
  QKeyEvent press(QEvent::KeyPress, key, kc.keyboardModifiers(), text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, kc.keyboardModifiers(), text);
  QApplication::sendEvent(w, &release);
  return true;
}

void SendText(QWidget* w, const QString& text) {
  for (QChar c : text) {
    const int key = c.isLetterOrNumber() && c.unicode() < 0x80 ? c.toUpper().unicode() : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

}  // namespace

bool TQtParts::Perform(int index, const TUserAction& a, std::string& error) {
  TPart* pp = Part(index);
  if (!pp || pp->Hidden) {
    error = Cp(QStringLiteral("部品がありません。"));
    return false;
  }
  TPart& p = *pp;
  QString err;
  if (p.Kind == pkMenu) {
    // A person reaches an item through its parents: none may be hidden, destroyed or disabled.
    bool reachable = p.Action && p.Action->isEnabled() && p.Action->isVisible();
    for (int up = p.Parent; reachable && up > 0;) {
      const TPart* q = up < static_cast<int>(parts_.size()) ? parts_[up].get() : nullptr;
      if (!q || q->Kind < 0 || q->Hidden) {
        reachable = false;
        break;
      }
      if (q->Kind == pkPopup) break;  // a pop-up menu is opened by its part
      reachable = q->Action && q->Action->isEnabled() && q->Action->isVisible();
      up = q->Parent;
    }
    if (!reachable) {
      error = Cp(QStringLiteral("メニューが使えません。"));
      return false;
    }
    p.Action->trigger();
    return true;
  }
  QWidget* w = p.W;
  if (!w) {
    error = Cp(QStringLiteral("この部品には操作できません。"));
    return false;
  }
  if (!w->isVisible() || !w->isEnabled()) {
    // A person cannot act on what is hidden or disabled.
    error = Cp(QStringLiteral("部品が見えないか、使えない状態です。"));
    return false;
  }
  QPoint centre = a.X >= 0 ? QPoint(a.X, a.Y) : w->rect().center();
  // A check box takes clicks on its box and caption only: aim at the box.
  if (a.X < 0 && qobject_cast<QCheckBox*>(w)) centre = QPoint(6, w->height() / 2);
  switch (a.Kind) {
    case TUserAction::Click:
    case TUserAction::Check:
      SendClick(w, centre);
      return true;
    case TUserAction::DoubleClick:
      SendClick(w, centre, true);
      return true;
    case TUserAction::MouseDown:
      SendMouse(w, centre, QEvent::MouseButtonPress);
      return true;
    case TUserAction::MouseUp:
      SendMouse(w, centre, QEvent::MouseButtonRelease);
      return true;
    case TUserAction::Drag: {
      // Pressed at the centre, moved by (dx, dy) in a few steps, let go there.
      const QStringList d = Q(a.Text).simplified().split(QLatin1Char(' '));
      bool okX = false, okY = false;
      const int dx = d.value(0).toInt(&okX), dy = d.value(1).toInt(&okY);
      if (!okX || !okY) {
        error = Cp(QStringLiteral("drag には、横と縦の移動量を書いてください。"));
        return false;
      }
      QPointer<QWidget> guard(w);
      SendMouse(w, centre, QEvent::MouseButtonPress);
      const QPoint global = w->mapToGlobal(centre);
      for (int step = 1; step <= 4 && guard; ++step) {
        const QPoint g = global + QPoint(dx * step / 4, dy * step / 4);
        QMouseEvent move(QEvent::MouseMove, QPointF(w->mapFromGlobal(g)), QPointF(g), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
      }
      if (guard) {
        const QPoint end = w->mapFromGlobal(global + QPoint(dx, dy));
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(end), QPointF(global + QPoint(dx, dy)),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &up);
      }
      return true;
    }
    case TUserAction::Type:
    case TUserAction::Key: {
      QWidget* target = w;
      if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) target = c->lineEdit();
      if (p.Kind == pkForm && w->focusWidget()) target = w->focusWidget();
      target->setFocus(Qt::OtherFocusReason);
      if (a.Kind == TUserAction::Type) {
        SendText(target, Q(a.Text));
        return true;
      }
      if (!SendKey(target, Q(a.Text), err)) {
        error = Cp(err);
        return false;
      }
      return true;
    }
    case TUserAction::Select: {
      const QString item = Q(a.Text).trimmed();
      bool isNumber = false;
      const int n = item.toInt(&isNumber);
      auto pick = [&](const QStringList& items) {
        if (isNumber) return n;
        return static_cast<int>(items.indexOf(item));
      };
      if (auto* l = qobject_cast<QListWidget*>(w)) {
        const int row = pick(ItemsOf(p));
        if (row < 0 || row >= l->count()) break;
        l->scrollToItem(l->item(row));
        SendClick(l->viewport(), l->visualItemRect(l->item(row)).center());
        return true;
      }
      if (auto* c = qobject_cast<QComboBox*>(w)) {
        const int row = pick(ItemsOf(p));
        if (row < 0 || row >= c->count()) break;
        c->showPopup();
        QAbstractItemView* view = c->view();
        const QRect r = view->visualRect(c->model()->index(row, 0));
        SendClick(view->viewport(), r.center());
        if (c->view()->isVisible()) c->hidePopup();
        return true;
      }
      if (p.Kind == pkRadio) {
        const int row = pick(p.RadioItems);
        QAbstractButton* b = p.Radios ? p.Radios->button(row) : nullptr;
        if (!b) break;
        SendClick(b, QPoint(6, b->height() / 2));
        return true;
      }
      if (auto* t = qobject_cast<QTabWidget*>(w)) {
        QStringList captions;
        for (int i = 0; i < t->count(); ++i) captions << t->tabText(i);
        const int tab = pick(captions);
        if (tab < 0 || tab >= t->count()) break;
        SendClick(t->tabBar(), t->tabBar()->tabRect(tab).center());
        return true;
      }
      if (auto* t = qobject_cast<QTreeWidget*>(w)) {
        QTreeWidgetItem* it = isNumber ? TreeItemAt(t, n) : TreeItem(t, item);
        if (!it) break;
        for (QTreeWidgetItem* up = it->parent(); up; up = up->parent()) up->setExpanded(true);
        t->scrollToItem(it);
        SendClick(t->viewport(), t->visualItemRect(it).center());
        return true;
      }
      if (auto* g = qobject_cast<QTableWidget*>(w)) {
        const QStringList rc = item.split(QLatin1Char(','));
        const int col = rc.value(0).toInt(), row = rc.value(1).toInt() - 1;
        QTableWidgetItem* cell = g->item(row, col);
        if (!cell) {
          cell = new QTableWidgetItem;
          g->setItem(row, col, cell);
        }
        SendClick(g->viewport(), g->visualItemRect(cell).center());
        return true;
      }
      error = Cp(QStringLiteral("この部品では選べません。"));
      return false;
    }
    case TUserAction::Drop: {
      // Files dropped from a file manager: the drop event a desktop sends.
      QMimeData mime;
      QList<QUrl> urls;
      for (const QString& f : Q(a.Text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        urls << QUrl::fromLocalFile(f.trimmed());
      mime.setUrls(urls);
      QPoint at = centre;
      QWidget* target = Deepest(w, at);
      QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
      // The application delivers drops only to the target of a drag it runs itself: the event
      // goes straight to the part's drop handling, as a desktop's drop reaches it.
      drop.ignore();
      eventFilter(target, &drop);
      if (!drop.isAccepted()) {
        error = Cp(QStringLiteral("ファイルを受け付けません。"));
        return false;
      }
      return true;
    }
    case TUserAction::Close:
      if (p.Kind != pkForm) {
        error = Cp(QStringLiteral("フォームではありません。"));
        return false;
      }
      w->close();
      return true;
  }
  error = Cp(QStringLiteral("項目がありません: ")) + a.Text;
  return false;
}

}  // namespace yume
