// TQtParts: the properties of the parts' widgets, read and written (Get, Set), and a part's
// value (Value, Assign).
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include "ui/partwidgets.h"

#ifdef YUME_HAVE_QSCINTILLA
#include <Qsci/qsciscintilla.h>
#endif

#include "gfx/fonts.h"
#include "ui/partwidgets_internal.h"

namespace yume {

using namespace qtparts;

namespace {

std::string JoinLines(const QStringList& lines) {
  std::string out;
  for (const QString& l : lines) out += Cp(l) + "\r\n";
  return out;
}

// Colours: "#RRGGBB" or a decimal number with red in the low byte; -1 when unreadable.
long long ColorValue(const std::string& s) {
  const QString t = QString::fromStdString(s).trimmed();
  bool ok = false;
  if (t.startsWith(QLatin1Char('#'))) {
    const uint rgb = t.mid(1).toUInt(&ok, 16);
    if (!ok) return -1;
    return ((rgb >> 16) & 0xff) | (rgb & 0xff00) | ((rgb & 0xff) << 16);
  }
  if (t.startsWith(QLatin1Char('$'))) {
    const uint v = t.mid(1).toUInt(&ok, 16);
    return ok ? static_cast<long long>(v) : -1;
  }
  const double d = t.toDouble(&ok);
  return ok ? static_cast<long long>(d) : -1;
}

long long FromQColor(const QColor& c) {
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// CSV text (quotes around cells holding commas, quotes or line breaks) to rows of cells.
std::vector<QStringList> ReadCsv(const QString& text) {
  std::vector<QStringList> rows;
  QStringList row;
  QString cell;
  bool quoted = false, any = false;
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    any = true;
    if (quoted) {
      if (c == QLatin1Char('"')) {
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
          cell += c;
          ++i;
        } else {
          quoted = false;
        }
      } else {
        cell += c;
      }
    } else if (c == QLatin1Char('"')) {
      quoted = true;
    } else if (c == QLatin1Char(',')) {
      row << cell;
      cell.clear();
    } else if (c == QLatin1Char('\n')) {
      row << cell;
      rows.push_back(row);
      row.clear();
      cell.clear();
      any = false;
    } else if (c != QLatin1Char('\r')) {
      cell += c;
    }
  }
  if (any) {
    row << cell;
    rows.push_back(row);
  }
  return rows;
}

QString CsvCell(const QString& s) {
  if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) &&
      !s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r')))
    return s;
  QString q = s;
  q.replace(QLatin1String("\""), QLatin1String("\"\""));
  return QLatin1Char('"') + q + QLatin1Char('"');
}

QString GridCsv(QTableWidget* g) {
  QString out;
  for (int r = 0; r < g->rowCount() + 1; ++r) {
    QStringList cells;
    for (int c = 0; c < g->columnCount(); ++c) {
      QString v;
      if (r == 0) {
        if (QTableWidgetItem* h = g->horizontalHeaderItem(c)) v = h->text();
      } else if (QTableWidgetItem* it = g->item(r - 1, c)) {
        v = it->text();
      }
      cells << CsvCell(v);
    }
    out += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
  }
  return out;
}

// The first row is the title row.
void LoadGrid(QTableWidget* g, const QString& csv) {
  const std::vector<QStringList> rows = ReadCsv(csv);
  int cols = 0;
  for (const QStringList& r : rows) cols = std::max(cols, static_cast<int>(r.size()));
  g->clear();
  g->setColumnCount(cols);
  g->setRowCount(rows.empty() ? 0 : static_cast<int>(rows.size()) - 1);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (int c = 0; c < rows[r].size(); ++c) {
      if (r == 0)
        g->setHorizontalHeaderItem(c, new QTableWidgetItem(rows[r][c]));
      else
        g->setItem(static_cast<int>(r) - 1, c, new QTableWidgetItem(rows[r][c]));
    }
  }
}

QString PlainText(QWidget* w) {
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return e->toPlainText();
  if (auto* e = qobject_cast<QTextEdit*>(w)) return e->toPlainText();
#ifdef YUME_HAVE_QSCINTILLA
  if (auto* e = qobject_cast<QsciScintilla*>(w)) return e->text();
#endif
  return {};
}

bool TextCursorOf(QWidget* w, QTextCursor& c) {
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
    c = e->textCursor();
    return true;
  }
  if (auto* e = qobject_cast<QTextEdit*>(w)) {
    c = e->textCursor();
    return true;
  }
  return false;
}

void SetTextCursorOf(QWidget* w, const QTextCursor& c) {
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->setTextCursor(c);
  if (auto* e = qobject_cast<QTextEdit*>(w)) e->setTextCursor(c);
}

int RadioIndex(TQtParts::TPart& p) {
  if (!p.Radios) return -1;
  const auto buttons = p.Radios->buttons();
  for (int i = 0; i < buttons.size(); ++i)
    if (buttons[i]->isChecked()) return i;
  return -1;
}

void SetRadioItems(TQtParts::TPart& p, const QStringList& items) {
  auto* box = static_cast<QGroupBox*>(p.W.data());
  for (QAbstractButton* b : p.Radios->buttons()) {
    p.Radios->removeButton(b);
    delete b;
  }
  p.RadioItems = items;
  for (int i = 0; i < items.size(); ++i) {
    auto* r = new QRadioButton(items[i], box);
    box->layout()->addWidget(r);
    p.Radios->addButton(r, i);
    r->show();
  }
}

// The kinds whose font and text colour (properties 29 to 31) can be read and set.
bool HasFont(int k) {
  return k == pkButton || k == pkEdit || k == pkCombo || k == pkList || k == pkMemo ||
         k == pkGrid || k == pkLabel || k == pkCheck || k == pkRich;
}

// The kinds besides a form whose background colour (背景色) is read and set as their own.
bool HasBackground(int k) {
  switch (k) {
    case pkEdit:
    case pkCombo:
    case pkList:
    case pkMemo:
    case pkGrid:
    case pkLabel:
    case pkCheck:
    case pkPanel:
    case pkTEditor:
    case pkScroll:
    case pkRich:
    case pkTrack:
    case pkAnime:
      return true;
    default:
      return false;
  }
}

}  // namespace

TPropResult TQtParts::Get(int index, int prop, std::string& v) {
  TPart* pp = LivePart(index);
  if (!pp) return TPropResult::Failed;
  TPart& p = *pp;
  QWidget* w = p.W;
  const int k = p.Kind;
  switch (prop) {
    case 4:     // テキスト
    case 11: {  // タイトル
      if (prop == 11 && k != pkForm && k != pkBrowser) return TPropResult::NotForKind;
      switch (k) {
        case pkBrowser:
          v = Cp(prop == 11 ? p.Browser->Title(kBrowserWait) : p.Browser->Url(kBrowserWait));
          return TPropResult::Ok;
        case pkButton:
          v = Cp(static_cast<QPushButton*>(w)->text());
          return TPropResult::Ok;
        case pkEdit:
          v = Cp(static_cast<QLineEdit*>(w)->text());
          return TPropResult::Ok;
        case pkCombo:
          v = Cp(static_cast<QComboBox*>(w)->currentText());
          return TPropResult::Ok;
        case pkMemo:
        case pkRich:
        case pkTEditor:
          v = Cp(PlainText(w));
          return TPropResult::Ok;
        case pkForm:
          v = Cp(w->windowTitle());
          return TPropResult::Ok;
        case pkLabel:
          v = Cp(static_cast<QLabel*>(w)->text());
          return TPropResult::Ok;
        case pkCheck:
          v = Cp(static_cast<QCheckBox*>(w)->text());
          return TPropResult::Ok;
        case pkPanel:
          v = Cp(static_cast<TPanelWidget*>(w)->Caption);
          return TPropResult::Ok;
        case pkList: {
          auto* l = static_cast<QListWidget*>(w);
          v.clear();
          if (l->selectionMode() == QAbstractItemView::MultiSelection) {
            for (int i = 0; i < l->count(); ++i)
              if (l->item(i)->isSelected()) v += Cp(l->item(i)->text()) + "\r\n";
          } else if (l->currentRow() >= 0) {
            v = Cp(l->currentItem()->text());
          }
          return TPropResult::Ok;
        }
        case pkGrid:
          v = Cp(GridCsv(static_cast<QTableWidget*>(w)));
          return TPropResult::Ok;
        case pkMenu:
          v = p.Action ? Cp(p.Action->text()) : std::string();
          return TPropResult::Ok;
        case pkRadio: {
          const int i = RadioIndex(p);
          v = i >= 0 ? Cp(p.RadioItems.value(i)) : std::string();
          return TPropResult::Ok;
        }
        case pkTabs: {
          auto* t = static_cast<QTabWidget*>(w);
          v.clear();
          for (int i = 0; i < t->count(); ++i) v += Cp(t->tabText(i)) + "\r\n";
          return TPropResult::Ok;
        }
        default:
          return TPropResult::NotForKind;
      }
    }
    case 5:  // アイテム
      switch (k) {
        case pkCombo:
        case pkList:
        case pkRadio:
          v = JoinLines(ItemsOf(p));
          return TPropResult::Ok;
        case pkGrid:
          v = Cp(GridCsv(static_cast<QTableWidget*>(w)));
          return TPropResult::Ok;
        case pkTree: {
          QStringList paths;
          for (QTreeWidgetItemIterator it(static_cast<QTreeWidget*>(w)); *it; ++it)
            paths << TreePath(*it);
          v = JoinLines(paths);
          return TPropResult::Ok;
        }
        default:
          v.clear();
          return TPropResult::Ok;
      }
    case 6:  // 値
      switch (k) {
        case pkBar:
        case pkTrack:
          v = Num(static_cast<QAbstractSlider*>(w)->value());
          break;
        case pkCombo:
          v = Num(static_cast<QComboBox*>(w)->currentIndex());
          break;
        case pkList:
          v = Num(static_cast<QListWidget*>(w)->currentRow());
          break;
        case pkRadio:
          v = Num(RadioIndex(p));
          break;
        case pkGrid:
          v = Num(static_cast<QTableWidget*>(w)->currentRow() + 1);
          break;
        case pkCheck:
          v = static_cast<QCheckBox*>(w)->isChecked() ? "1" : "0";
          break;
        case pkAnime:
          v = Num(p.AnimeInterval);
          break;
        case pkMenu:
          v = p.Action && p.Action->isChecked() ? "1" : "0";
          break;
        case pkTabs:
          v = Num(static_cast<QTabWidget*>(w)->currentIndex());
          break;
        default:
          v = "0";
      }
      return TPropResult::Ok;
    case 8:
      v = (k == pkImage || k == pkForm || k == pkAnime) && p.Stretch ? "1" : "0";
      return k == pkImage || k == pkForm || k == pkAnime ? TPropResult::Ok
                                                         : TPropResult::NotForKind;
    case 9:
    case 10:
      if (k == pkBar || k == pkTrack) {
        auto* s = static_cast<QAbstractSlider*>(w);
        v = Num(prop == 9 ? s->maximum() : s->minimum());
      } else {
        v = "0";
      }
      return TPropResult::Ok;
    case 12:
      if (k != pkBar) return TPropResult::NotForKind;
      v = Cp(static_cast<QScrollBar*>(w)->orientation() == Qt::Vertical ? QStringLiteral("縦")
                                                                        : QStringLiteral("横"));
      return TPropResult::Ok;
    case 13:
      if (k != pkAnime) return TPropResult::NotForKind;
      v = Num(p.AnimeButtons);
      return TPropResult::Ok;
    case 14:
      if (k == pkMenu)
        v = p.Action && p.Action->isVisible() ? "1" : "0";
      else if (k == pkPopup)
        v = "0";
      else
        v = w && !w->isHidden() ? "1" : "0";
      return TPropResult::Ok;
    case 42:
      if (k == pkMenu)
        v = p.Action && p.Action->isEnabled() ? "1" : "0";
      else
        v = w && w->isEnabled() ? "1" : "0";
      return TPropResult::Ok;
    case 23:  // 編集
      switch (k) {
        case pkEdit:
          v = static_cast<QLineEdit*>(w)->isReadOnly() ? "0" : "1";
          return TPropResult::Ok;
        case pkMemo:
          v = static_cast<QPlainTextEdit*>(w)->isReadOnly() ? "0" : "1";
          return TPropResult::Ok;
        case pkRich:
          v = static_cast<QTextEdit*>(w)->isReadOnly() ? "0" : "1";
          return TPropResult::Ok;
#ifdef YUME_HAVE_QSCINTILLA
        case pkTEditor:
          v = static_cast<QsciScintilla*>(w)->isReadOnly() ? "0" : "1";
          return TPropResult::Ok;
#endif
        case pkTree:
          v = static_cast<QTreeWidget*>(w)->editTriggers() == QAbstractItemView::NoEditTriggers
                  ? "0"
                  : "1";
          return TPropResult::Ok;
        case pkCombo:
          v = static_cast<QComboBox*>(w)->isEditable() ? "1" : "0";
          return TPropResult::Ok;
        case pkGrid:
          v = static_cast<QTableWidget*>(w)->editTriggers() == QAbstractItemView::NoEditTriggers
                  ? "0"
                  : "1";
          return TPropResult::Ok;
        default:
          return TPropResult::NotForKind;
      }
    case 24:
      v = (k == pkImage || k == pkForm || k == pkLabel || k == pkAnime) && p.Transparent ? "1"
                                                                                         : "0";
      return TPropResult::Ok;
    case 25:  // 背景色
      if (k == pkForm)
        v = Num(FromQColor(w->palette().color(QPalette::Window)));
      else if (HasBackground(k))
        v = Num(FromQColor(w->palette().color(w->backgroundRole())));
      else
        v = "0";
      return TPropResult::Ok;
    case 28:  // スクロールバー
      if (k != pkMemo && k != pkRich) return TPropResult::NotForKind;
      {
        auto* a = static_cast<QAbstractScrollArea*>(w);
        const bool vert = a->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
        const bool hor = a->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
        v = Cp(vert && hor ? QStringLiteral("両方")
               : vert      ? QStringLiteral("縦")
               : hor       ? QStringLiteral("横")
                           : QString());
      }
      return TPropResult::Ok;
    case 29:
    case 30:
    case 31: {
      if (!HasFont(k)) {
        v = prop == 29 ? std::string() : "0";
        return TPropResult::Ok;
      }
      if (prop == 29) v = Cp(w->font().family());
      if (prop == 30) v = Num(w->font().pointSize());
      if (prop == 31) v = Num(FromQColor(w->palette().color(w->foregroundRole())));
      return TPropResult::Ok;
    }
    case 32:
      v.clear();
      return TPropResult::Ok;
    case 33:
      if (k != pkForm) return TPropResult::NotForKind;
      v = w->minimumSize() == w->maximumSize() ? "0" : "1";
      return TPropResult::Ok;
    case 34:
      v = k == pkMenu && p.Action ? Cp(p.Action->shortcut().toString()) : std::string();
      return TPropResult::Ok;
    case 35:
      v = Num(p.Ime);
      return TPropResult::Ok;
    case 36:
      if (k != pkAnime) return TPropResult::NotForKind;
      v = Num(p.AnimeRepeat);
      return TPropResult::Ok;
    case 37:
      if (k != pkAnime) return TPropResult::NotForKind;
      v = Cp(p.Sound);
      return TPropResult::Ok;
    case 39:
      return TPropResult::NotForKind;
    case 40: {  // 選択文字列
      switch (k) {
        case pkEdit:
          v = Cp(static_cast<QLineEdit*>(w)->selectedText());
          return TPropResult::Ok;
        case pkCombo:
          v = static_cast<QComboBox*>(w)->lineEdit()
                  ? Cp(static_cast<QComboBox*>(w)->lineEdit()->selectedText())
                  : std::string();
          return TPropResult::Ok;
        case pkMemo:
        case pkRich: {
          QTextCursor c;
          TextCursorOf(w, c);
          v = Cp(c.selectedText());
          return TPropResult::Ok;
        }
#ifdef YUME_HAVE_QSCINTILLA
        case pkTEditor:
          v = Cp(static_cast<QsciScintilla*>(w)->selectedText());
          return TPropResult::Ok;
#endif
        case pkList: {
          auto* l = static_cast<QListWidget*>(w);
          v = l->currentItem() ? Cp(l->currentItem()->text()) : std::string();
          return TPropResult::Ok;
        }
        case pkTree: {
          auto* t = static_cast<QTreeWidget*>(w);
          v = t->currentItem() ? Cp(t->currentItem()->text(0)) : std::string();
          return TPropResult::Ok;
        }
        default:
          v.clear();
          return TPropResult::Ok;
      }
    }
    case 41:
      v = w ? Num(static_cast<long long>(w->effectiveWinId())) : "0";
      return TPropResult::Ok;
    case 43:
    case 44: {  // 選択位置, 選択文字数 (bytes of the Shift_JIS text)
      int start = 0, len = 0;
      QString text;
      if (k == pkEdit || k == pkCombo) {
        QLineEdit* e =
            k == pkEdit ? static_cast<QLineEdit*>(w) : static_cast<QComboBox*>(w)->lineEdit();
        if (e) {
          text = e->text();
          start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
          len = e->hasSelectedText() ? e->selectedText().size() : 0;
        }
      } else if (k == pkMemo || k == pkRich) {
        QTextCursor c;
        TextCursorOf(w, c);
        text = PlainText(w);
        start = c.selectionStart();
        len = c.selectionEnd() - c.selectionStart();
      } else if (k == pkTree && prop == 43) {
        auto* t = static_cast<QTreeWidget*>(w);
        v = Num(t->currentItem() ? TreeAbsoluteIndex(t, t->currentItem()) : -1);
        return TPropResult::Ok;
      } else {
        v = "0";
        return TPropResult::Ok;
      }
      const int b = ByteOffset(text, start);
      v = Num(prop == 43 ? b : ByteOffset(text, start + len) - b);
      return TPropResult::Ok;
    }
    case 45:
      v = k == pkBrowser ? Cp(p.Browser->Url(kBrowserWait)) : std::string();
      return TPropResult::Ok;
    case 49:
      if (k == pkPanel)
        v = Num(p.Bevel);
      else if (k == pkEdit || k == pkMemo || k == pkForm)
        v = Num(p.Style);
      else
        return TPropResult::NotForKind;
      return TPropResult::Ok;
    case 53:
    case 54: {  // 列, 行
      if (k == pkGrid) {
        auto* g = static_cast<QTableWidget*>(w);
        v = Num(prop == 53 ? std::max(g->currentColumn(), 0) : g->currentRow() + 1);
        return TPropResult::Ok;
      }
      QTextCursor c;
      if (TextCursorOf(w, c)) {
        v = Num(prop == 53 ? c.positionInBlock() : c.blockNumber());
        return TPropResult::Ok;
      }
#ifdef YUME_HAVE_QSCINTILLA
      if (k == pkTEditor) {
        int line = 0, col = 0;
        static_cast<QsciScintilla*>(w)->getCursorPosition(&line, &col);
        v = Num(prop == 53 ? col : line);
        return TPropResult::Ok;
      }
#endif
      return TPropResult::NotForKind;
    }
    case 57:
      v = Cp(p.Layout);
      return TPropResult::Ok;
    case 58:
      if (k != pkList) return TPropResult::NotForKind;
      v = static_cast<QListWidget*>(w)->selectionMode() == QAbstractItemView::MultiSelection ? "1"
                                                                                             : "0";
      return TPropResult::Ok;
    case 61:
      v = Cp(p.Hint);
      return TPropResult::Ok;
    case 62:
      if (k == pkMemo)
        v = static_cast<QPlainTextEdit*>(w)->lineWrapMode() ? "1" : "0";
      else if (k == pkRich)
        v = static_cast<QTextEdit*>(w)->lineWrapMode() ? "1" : "0";
#ifdef YUME_HAVE_QSCINTILLA
      else if (k == pkTEditor)
        v = static_cast<QsciScintilla*>(w)->wrapMode() == QsciScintilla::WrapNone ? "0" : "1";
#endif
      else if (k == pkTabs)
        v = p.Wrap ? "1" : "0";
      else
        return TPropResult::NotForKind;
      return TPropResult::Ok;
    default:
      return TPropResult::NotForKind;
  }
}

TPropResult TQtParts::Set(int index, int prop, const std::string& value) {
  TPart* pp = LivePart(index);
  if (!pp) return TPropResult::Failed;
  TPart& p = *pp;
  QWidget* w = p.W;
  const int k = p.Kind;
  const QString q = Q(value);
  TQuiet quiet(quiet_);
  switch (prop) {
    case 4:
    case 11: {
      if (prop == 11 && k != pkForm && k != pkBrowser) return TPropResult::NotForKind;
      switch (k) {
        case pkBrowser: {
          TLoud loud(quiet_);  // waits with events running, as above
          if (!p.Browser->SetTitle(q, kBrowserWait)) {
            lastError_ = BrowserError(*p.Browser);
            return TPropResult::Failed;
          }
          return TPropResult::Ok;
        }
        case pkButton: {
          auto* b = static_cast<QPushButton*>(w);
          b->setText(q);
          const int need = b->fontMetrics().horizontalAdvance(q) + 10;
          if (need > b->width()) b->resize(need, b->height());
          return TPropResult::Ok;
        }
        case pkEdit:
          static_cast<QLineEdit*>(w)->setText(q);
          return TPropResult::Ok;
        case pkCombo:
          static_cast<QComboBox*>(w)->setEditText(q);
          return TPropResult::Ok;
        case pkMemo:
        case pkRich:
        case pkTEditor:
          SetPlainText(w, q);
          return TPropResult::Ok;
        case pkLabel:
          static_cast<QLabel*>(w)->setText(q);
          static_cast<QLabel*>(w)->adjustSize();
          return TPropResult::Ok;
        case pkCheck:
          static_cast<QCheckBox*>(w)->setText(q);
          return TPropResult::Ok;
        case pkPanel:
          static_cast<TPanelWidget*>(w)->Caption = q;
          w->update();
          return TPropResult::Ok;
        case pkForm:
          w->setWindowTitle(q);
          if (index == 0) QGuiApplication::setApplicationDisplayName(q);
          return TPropResult::Ok;
        case pkList: {
          // Replaces the selected item; with nothing selected there is nothing to replace.
          auto* l = static_cast<QListWidget*>(w);
          if (l->currentRow() >= 0) l->currentItem()->setText(q);
          return TPropResult::Ok;
        }
        case pkRadio: {
          const int i = RadioIndex(p);
          if (i >= 0) {
            p.RadioItems[i] = q;
            p.Radios->button(i)->setText(q);
          }
          return TPropResult::Ok;
        }
        case pkGrid:
          LoadGrid(static_cast<QTableWidget*>(w), q);
          return TPropResult::Ok;
        case pkMenu:
          if (p.Action) p.Action->setText(q);
          return TPropResult::Ok;
        case pkTabs: {
          auto* t = static_cast<QTabWidget*>(w);
          const QStringList lines = Lines(value);
          for (int i = 0; i < lines.size(); ++i) {
            if (i < t->count()) {
              t->setTabText(i, lines[i]);
            } else {
              auto* page = new QWidget;
              t->addTab(page, lines[i]);
            }
          }
          while (t->count() > lines.size()) {
            QWidget* page = t->widget(t->count() - 1);
            t->removeTab(t->count() - 1);
            delete page;
          }
          return TPropResult::Ok;
        }
        default:
          return TPropResult::NoSetting;
      }
    }
    case 5:
      switch (k) {
        case pkCombo: {
          auto* c = static_cast<QComboBox*>(w);
          const QString text = c->currentText();
          c->clear();
          for (const QString& l : Lines(value))
            if (!l.isEmpty()) c->addItem(l);
          c->setEditText(text);
          if (p.Sorted) c->model()->sort(0);
          return TPropResult::Ok;
        }
        case pkList: {
          auto* l = static_cast<QListWidget*>(w);
          l->clear();
          l->addItems(Lines(value));
          if (p.Sorted) l->sortItems();
          return TPropResult::Ok;
        }
        case pkRadio:
          SetRadioItems(p, Lines(value));
          return TPropResult::Ok;
        case pkGrid:
          LoadGrid(static_cast<QTableWidget*>(w), q);
          return TPropResult::Ok;
        case pkTree: {
          auto* t = static_cast<QTreeWidget*>(w);
          t->clear();
          TreeAdd(t, Lines(value));
          return TPropResult::Ok;
        }
        default:
          return TPropResult::NotForKind;
      }
    case 6: {
      const int n = Int(value);
      switch (k) {
        case pkBar:
        case pkTrack: {
          auto* s = static_cast<QAbstractSlider*>(w);
          s->setValue(std::clamp(n, s->minimum(), s->maximum()));
          return TPropResult::Ok;
        }
        case pkCombo:
          if (n >= 0 && n < static_cast<QComboBox*>(w)->count())
            static_cast<QComboBox*>(w)->setCurrentIndex(n);
          return TPropResult::Ok;
        case pkList:
          if (n >= 0 && n < static_cast<QListWidget*>(w)->count())
            static_cast<QListWidget*>(w)->setCurrentRow(n);
          return TPropResult::Ok;
        case pkRadio:
          if (n >= 0 && n < p.RadioItems.size()) p.Radios->button(n)->setChecked(true);
          return TPropResult::Ok;
        case pkGrid: {
          auto* g = static_cast<QTableWidget*>(w);
          if (n >= 1 && n - 1 < g->rowCount())
            g->setCurrentCell(n - 1, std::max(g->currentColumn(), 0));
          return TPropResult::Ok;
        }
        case pkCheck:
          static_cast<QCheckBox*>(w)->setChecked(n != 0);
          return TPropResult::Ok;
        case pkMenu:
          if (p.Action) {
            p.Action->setCheckable(true);
            p.Action->setChecked(n != 0);
          }
          return TPropResult::Ok;
        case pkAnime:
          p.AnimeInterval = std::max(n, 1);
          if (p.AnimeTimer) p.AnimeTimer->setInterval(p.AnimeInterval);
          return TPropResult::Ok;
        case pkTabs:
          static_cast<QTabWidget*>(w)->setCurrentIndex(n);
          return TPropResult::Ok;
        default:
          return TPropResult::NoSetting;
      }
    }
    case 7:
      if (k != pkButton && k != pkImage && k != pkForm && k != pkAnime && k != pkMenu)
        return TPropResult::NotForKind;
      SetPicture(index, q);
      if (k == pkAnime && !p.Frames.empty() && !p.AnimeTimer) {
        p.AnimeTimer = new QTimer(w);
        connect(p.AnimeTimer, &QTimer::timeout, this, [this, index]() {
          if (TPart* a = Part(index); a && !a->Frames.empty()) {
            a->AnimeFrame = (a->AnimeFrame + 1) % static_cast<int>(a->Frames.size());
            if (a->W) a->W->update();
          }
        });
        p.AnimeTimer->start(p.AnimeInterval);
      }
      return TPropResult::Ok;
    case 39:
      if (k != pkAnime) return TPropResult::NotForKind;
      for (const QString& f : q.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QPixmap frame(f.trimmed());
        if (!frame.isNull()) p.Frames.push_back(frame);
      }
      if (!p.Frames.empty()) w->resize(p.Frames.back().size());
      return TPropResult::Ok;
    case 8:
      if (k != pkImage && k != pkForm && k != pkAnime) return TPropResult::NotForKind;
      p.Stretch = Int(value) > 0;
      w->update();
      return TPropResult::Ok;
    case 9:
    case 10:
      if (k != pkBar && k != pkTrack) return TPropResult::NotForKind;
      if (prop == 9)
        static_cast<QAbstractSlider*>(w)->setMaximum(Int(value));
      else
        static_cast<QAbstractSlider*>(w)->setMinimum(Int(value));
      return TPropResult::Ok;
    case 12:
      if (k != pkBar) return TPropResult::NotForKind;
      {
        auto* s = static_cast<QScrollBar*>(w);
        const bool vert = q.trimmed() == QStringLiteral("縦");
        if ((s->orientation() == Qt::Vertical) != vert) {
          s->setOrientation(vert ? Qt::Vertical : Qt::Horizontal);
          s->resize(s->height(), s->width());
        }
      }
      return TPropResult::Ok;
    case 13:
      if (k != pkAnime) return TPropResult::NotForKind;
      p.AnimeButtons = std::clamp(Int(value), 0, 2);
      return TPropResult::Ok;
    case 14:
      if (k == pkMenu) {
        if (p.Action) p.Action->setVisible(Int(value) != 0);
      } else if (w) {
        w->setVisible(Int(value) != 0);
      }
      return TPropResult::Ok;
    case 42:
      if (k == pkMenu) {
        if (p.Action) p.Action->setEnabled(Int(value) != 0);
      } else if (w) {
        w->setEnabled(Int(value) != 0);
      }
      return TPropResult::Ok;
    case 23: {
      const int n = Int(value);
      switch (k) {
        case pkEdit:
          static_cast<QLineEdit*>(w)->setReadOnly(n == 0);
          return TPropResult::Ok;
        case pkMemo:
          static_cast<QPlainTextEdit*>(w)->setReadOnly(n == 0);
          return TPropResult::Ok;
        case pkRich:
          static_cast<QTextEdit*>(w)->setReadOnly(n == 0);
          return TPropResult::Ok;
#ifdef YUME_HAVE_QSCINTILLA
        case pkTEditor:
          static_cast<QsciScintilla*>(w)->setReadOnly(n == 0);
          return TPropResult::Ok;
#endif
        case pkCombo: {
          auto* c = static_cast<QComboBox*>(w);
          const QString text = c->currentText();
          c->setEditable(n != 0);
          if (n != 0) {
            c->setEditText(text);
            Hook(index, c);
          }
          return TPropResult::Ok;
        }
        case pkGrid: {
          auto* g = static_cast<QTableWidget*>(w);
          g->setEditTriggers(n > 0 ? QAbstractItemView::DoubleClicked |
                                         QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed
                                   : QAbstractItemView::NoEditTriggers);
          g->setSelectionBehavior(n > 0 ? QAbstractItemView::SelectItems
                                        : QAbstractItemView::SelectRows);
          return TPropResult::Ok;
        }
        case pkTree:
          static_cast<QTreeWidget*>(w)->setEditTriggers(
              n < 1 ? QAbstractItemView::NoEditTriggers
                    : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
          return TPropResult::Ok;
        default:
          return TPropResult::NotForKind;
      }
    }
    case 24:
      if (k != pkImage && k != pkForm && k != pkLabel && k != pkAnime)
        return TPropResult::NotForKind;
      p.Transparent = Int(value) > 0;
      w->update();
      return TPropResult::Ok;
    case 25: {  // 背景色
      // A radio takes a background colour too, though reading one back gives 0.
      if (!HasBackground(k) && k != pkRadio && k != pkForm) return TPropResult::NotForKind;
      const QColor c = ToQColor(ColorValue(value));
      QPalette pal = w->palette();
      pal.setColor(w->backgroundRole(), c);
      pal.setColor(QPalette::Base, c);
      pal.setColor(QPalette::Window, c);
      w->setPalette(pal);
      if (k != pkForm) w->setAutoFillBackground(true);
      if (k == pkForm) p.Picture = QPixmap();
      w->update();
      return TPropResult::Ok;
    }
    case 28: {
      if (k != pkMemo && k != pkRich) return TPropResult::NotForKind;
      auto* a = static_cast<QAbstractScrollArea*>(w);
      const QString t = q.trimmed();
      const bool vert = t == QStringLiteral("縦") || t == QStringLiteral("両方");
      const bool hor = t == QStringLiteral("横") || t == QStringLiteral("両方");
      a->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
      a->setHorizontalScrollBarPolicy(hor ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
      return TPropResult::Ok;
    }
    case 29:
    case 30:
    case 31: {
      if (!HasFont(k)) return TPropResult::NotForKind;
      if (prop == 29) {
        // name｜style｜size, as the drawing font is written.
        QStringList parts = q.split(QRegularExpression(QStringLiteral("[|｜]")));
        QFont f = w->font();
        if (!parts.isEmpty() && !parts[0].trimmed().isEmpty())
          f.setFamily(MapFontFamily(parts[0].trimmed()));
        if (parts.size() > 1) {
          const QString style = parts[1];
          f.setBold(style.contains(QStringLiteral("太字")));
          f.setItalic(style.contains(QStringLiteral("斜体")));
          f.setUnderline(style.contains(QStringLiteral("下線")));
          f.setStrikeOut(style.contains(QStringLiteral("打消")));
        }
        if (parts.size() > 2 && Int(Cp(parts[2]), 0) > 0) f.setPointSize(Int(Cp(parts[2])));
        w->setFont(f);
      } else if (prop == 30) {
        QFont f = w->font();
        const int size = Int(value, 9);
        f.setPointSize(size > 0 ? size : 9);
        w->setFont(f);
      } else {
        const QColor c = ToQColor(ColorValue(value));
        QPalette pal = w->palette();
        pal.setColor(w->foregroundRole(), c);
        pal.setColor(QPalette::ButtonText, c);
        pal.setColor(QPalette::Text, c);
        w->setPalette(pal);
      }
      if (k == pkLabel) static_cast<QLabel*>(w)->adjustSize();
      return TPropResult::Ok;
    }
    case 32:
      p.AcceptDrop = q.trimmed() != QStringLiteral("0");
      if (w) w->setAcceptDrops(p.AcceptDrop);
      return TPropResult::Ok;
    case 33:
      if (k != pkForm) return TPropResult::NotForKind;
      if (Int(value) >= 1) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
      } else {
        w->setFixedSize(w->size());
      }
      return TPropResult::Ok;
    case 34:
      if (k != pkMenu) return TPropResult::NotForKind;
      if (p.Action) p.Action->setShortcut(QKeySequence::fromString(q.trimmed()));
      return TPropResult::Ok;
    case 35:
      if (k != pkEdit && k != pkCombo && k != pkMemo && k != pkTEditor && k != pkRich)
        return TPropResult::NotForKind;
      p.Ime = std::clamp(Int(value), 0, 4);
      // Closed (0) keeps the input method away from the part; any open mode lets it in. The
      // kana modes themselves are the input method's own to choose: Qt has no way to ask.
      for (QWidget* t :
           {w, k == pkCombo ? static_cast<QWidget*>(static_cast<QComboBox*>(w)->lineEdit())
                            : nullptr}) {
        if (t) t->setAttribute(Qt::WA_InputMethodEnabled, p.Ime != 0);
      }
      if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
        area->viewport()->setAttribute(Qt::WA_InputMethodEnabled, p.Ime != 0);
      return TPropResult::Ok;
    case 36:
      if (k != pkAnime) return TPropResult::NotForKind;
      p.AnimeRepeat = Int(value);
      return TPropResult::Ok;
    case 37:
      if (k != pkAnime) return TPropResult::NotForKind;
      p.Sound = q;
      return TPropResult::Ok;
    case 40: {  // 選択文字列
      switch (k) {
        case pkEdit:
          static_cast<QLineEdit*>(w)->insert(q);
          return TPropResult::Ok;
        case pkCombo:
          if (auto* e = static_cast<QComboBox*>(w)->lineEdit()) e->insert(q);
          return TPropResult::Ok;
        case pkMemo:
        case pkRich: {
          QTextCursor c;
          TextCursorOf(w, c);
          c.insertText(q);
          SetTextCursorOf(w, c);
          return TPropResult::Ok;
        }
#ifdef YUME_HAVE_QSCINTILLA
        case pkTEditor:
          static_cast<QsciScintilla*>(w)->replaceSelectedText(q);
          return TPropResult::Ok;
#endif
        case pkList: {
          // Nothing selected: no item to replace.
          auto* l = static_cast<QListWidget*>(w);
          if (l->currentItem()) l->currentItem()->setText(q);
          return TPropResult::Ok;
        }
        case pkTree: {
          auto* t = static_cast<QTreeWidget*>(w);
          if (t->currentItem()) t->currentItem()->setText(0, q);
          return TPropResult::Ok;
        }
        default:
          return TPropResult::NotForKind;
      }
    }
    case 43:
    case 44: {
      const int n = Int(value);
      if (k == pkEdit || k == pkCombo) {
        QLineEdit* e =
            k == pkEdit ? static_cast<QLineEdit*>(w) : static_cast<QComboBox*>(w)->lineEdit();
        if (!e) return TPropResult::Ok;
        const QString text = e->text();
        const int start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
        if (prop == 43) {
          e->setCursorPosition(CharOffset(text, n));
        } else {
          const int startBytes = ByteOffset(text, start);
          e->setSelection(start, CharOffset(text, startBytes + n) - start);
        }
        return TPropResult::Ok;
      }
      if (k == pkMemo || k == pkRich) {
        QTextCursor c;
        TextCursorOf(w, c);
        const QString text = PlainText(w);
        if (prop == 43) {
          c.setPosition(CharOffset(text, n));
        } else {
          const int start = c.selectionStart();
          c.setPosition(start);
          c.setPosition(CharOffset(text, ByteOffset(text, start) + n), QTextCursor::KeepAnchor);
        }
        SetTextCursorOf(w, c);
        return TPropResult::Ok;
      }
      if (k == pkTree && prop == 43) {
        auto* t = static_cast<QTreeWidget*>(w);
        if (QTreeWidgetItem* it = TreeItemAt(t, n)) t->setCurrentItem(it);
        return TPropResult::Ok;
      }
      return TPropResult::NotForKind;
    }
    case 45:
      if (k != pkBrowser) return TPropResult::NotForKind;
      p.Browser->Navigate(q);
      return TPropResult::Ok;
    case 49:
      if (k == pkPanel) {
        p.Bevel = Int(value);
        static_cast<QFrame*>(w)->setFrameShadow(p.Bevel == 2   ? QFrame::Sunken
                                                : p.Bevel == 0 ? QFrame::Plain
                                                               : QFrame::Raised);
      } else if (k == pkEdit) {
        p.Style = Int(value);
        static_cast<QLineEdit*>(w)->setFrame(p.Style != 0);
      } else if (k == pkMemo) {
        p.Style = Int(value);
        static_cast<QFrame*>(w)->setFrameShape(p.Style != 0 ? QFrame::StyledPanel
                                                            : QFrame::NoFrame);
      } else if (k == pkForm) {
        p.Style = Int(value);
        Qt::WindowFlags f = w->windowFlags();
        f.setFlag(Qt::FramelessWindowHint, p.Style == 0);
        f.setFlag(Qt::Dialog, p.Style == 3);
        const bool visible = w->isVisible();
        w->setWindowFlags(f);
        if (p.Style == 1 || p.Style == 3) w->setFixedSize(w->size());
        if (p.Style == 2) {
          w->setMinimumSize(0, 0);
          w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        if (visible) w->show();
      } else {
        return TPropResult::NotForKind;
      }
      return TPropResult::Ok;
    case 53:
    case 54: {
      const int n = Int(value);
      if (k == pkGrid) {
        // A cell past the grid's edge is ignored, as 値 ignores a row past its end (the
        // current cell would be lost).
        auto* g = static_cast<QTableWidget*>(w);
        if (prop == 53 && n >= 0 && n < g->columnCount())
          g->setCurrentCell(std::max(g->currentRow(), 0), n);
        else if (prop == 54 && n >= 1 && n - 1 < g->rowCount())
          g->setCurrentCell(n - 1, std::max(g->currentColumn(), 0));
        return TPropResult::Ok;
      }
      QTextCursor c;
      if (TextCursorOf(w, c)) {
        if (k == pkRich && prop == 53) {
          c.setPosition(std::max(0, c.selectionStart() + n));
        } else if (prop == 54) {
          QTextBlock b = c.document()->findBlockByNumber(n);
          if (b.isValid()) c.setPosition(b.position());
        } else {
          c.setPosition(c.block().position() + std::clamp(n, 0, c.block().length() - 1));
        }
        SetTextCursorOf(w, c);
        return TPropResult::Ok;
      }
#ifdef YUME_HAVE_QSCINTILLA
      if (k == pkTEditor) {
        auto* e = static_cast<QsciScintilla*>(w);
        int line = 0, col = 0;
        e->getCursorPosition(&line, &col);
        if (prop == 53)
          col = n;
        else
          line = n;
        e->setCursorPosition(line, col);
        return TPropResult::Ok;
      }
#endif
      return TPropResult::NotForKind;
    }
    case 55: {
      const bool on = Int(value) != 0;
      if (k == pkCombo) {
        p.Sorted = on;
        if (on) static_cast<QComboBox*>(w)->model()->sort(0);
      } else if (k == pkList) {
        p.Sorted = on;
        static_cast<QListWidget*>(w)->setSortingEnabled(on);
      } else if (k == pkGrid) {
        static_cast<QTableWidget*>(w)->setSortingEnabled(on);
      } else {
        return TPropResult::NotForKind;
      }
      return TPropResult::Ok;
    }
    case 57: {
      const QString t = q.trimmed();
      static const QStringList words = {QStringLiteral("なし"), QStringLiteral("上"),
                                        QStringLiteral("下"),   QStringLiteral("左"),
                                        QStringLiteral("右"),   QStringLiteral("全体")};
      if (!words.contains(t)) return TPropResult::BadLayout;
      p.Layout = t;
      if (t != words[0]) anyAligned_ = true;
      if (auto* sp = dynamic_cast<TSplitterWidget*>(w)) {
        sp->Active = t != words[0] && t != words[5];
        sp->Vertical = t == words[3] || t == words[4];
        sp->setCursor(!sp->Active    ? Qt::ArrowCursor
                      : sp->Vertical ? Qt::SplitHCursor
                                     : Qt::SplitVCursor);
      }
      if (w && k != pkForm) Relayout(w->parentWidget());
      return TPropResult::Ok;
    }
    case 58:
      if (k != pkList) return TPropResult::NotForKind;
      static_cast<QListWidget*>(w)->setSelectionMode(q.trimmed() == QStringLiteral("1")
                                                         ? QAbstractItemView::MultiSelection
                                                         : QAbstractItemView::SingleSelection);
      return TPropResult::Ok;
    case 61:
      p.Hint = q;
      if (w) w->setToolTip(q);
      if (p.Action) p.Action->setToolTip(q);
      return TPropResult::Ok;
    case 62: {
      const bool wrap = Int(value) >= 1;
      if (k == pkMemo) {
        static_cast<QPlainTextEdit*>(w)->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth
                                                              : QPlainTextEdit::NoWrap);
      } else if (k == pkRich) {
        static_cast<QTextEdit*>(w)->setLineWrapMode(wrap ? QTextEdit::WidgetWidth
                                                         : QTextEdit::NoWrap);
#ifdef YUME_HAVE_QSCINTILLA
      } else if (k == pkTEditor) {
        p.Wrap = wrap;
        static_cast<QsciScintilla*>(w)->setWrapMode(wrap ? QsciScintilla::WrapWord
                                                         : QsciScintilla::WrapNone);
#endif
      } else if (k == pkTabs) {
        // Qt's tab bar has one row: every tab stays in sight, shortened, instead.
        p.Wrap = Int(value) == 1;
        static_cast<QTabWidget*>(w)->setUsesScrollButtons(!p.Wrap);
        static_cast<QTabWidget*>(w)->setElideMode(p.Wrap ? Qt::ElideRight : Qt::ElideNone);
      } else {
        return TPropResult::NotForKind;
      }
      return TPropResult::Ok;
    }
    default:
      return TPropResult::NotForKind;
  }
}

std::string TQtParts::Value(int index, bool& isNumber) {
  isNumber = false;
  TPart* p = Part(index);
  if (!p) return {};
  std::string v;
  switch (p->Kind) {
    case pkBar:
    case pkList:
    case pkCheck:
    case pkRadio:
      isNumber = true;
      Get(index, 6, v);
      return v;
    case pkTree: {
      auto* t = static_cast<QTreeWidget*>(p->W.data());
      return t->currentItem() ? Cp(t->currentItem()->text(0)) : std::string();
    }
    case pkSplitter: {
      const QString& l = p->Layout;
      return l == QStringLiteral("なし") ? std::string() : Cp(l);
    }
    default:
      if (Get(index, 4, v) != TPropResult::Ok) v.clear();
      return v;
  }
}

void TQtParts::Assign(int index, const std::string& value) {
  TPart* p = Part(index);
  if (!p) return;
  switch (p->Kind) {
    case pkBar:
    case pkList:
    case pkRadio:
      Set(index, 6, value);
      return;
    case pkCheck:
      Set(index, 6, Int(value) > 0 ? "1" : "0");
      return;
    default:
      Set(index, 4, value);
  }
}

}  // namespace yume
