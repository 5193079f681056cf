#include "ui/partwidgets.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

#ifdef YUME_HAVE_QSCINTILLA
#include <Qsci/qsciscintilla.h>
#endif

#include "core/sjis.h"
#include "gfx/fonts.h"
#include "gfx/surface.h"
#include "ui/browserpart.h"

namespace yume {

namespace {

const char kIndexProperty[] = "yumePart";

QString Q(const std::string& cp932) {
  return QString::fromStdString(Cp932ToUtf8(cp932))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string Cp(const QString& text) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QChar(0x2029), QLatin1Char('\n'))
      .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return Utf8ToCp932(crlf.toStdString());
}

int Int(const std::string& s, int def = 0) {
  bool ok = false;
  const QString t = QString::fromStdString(s).trimmed();
  const double d = t.toDouble(&ok);
  if (!ok) return def;
  if (d > 2147483647.0) return 2147483647;
  if (d < -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(std::trunc(d));
}

std::string Num(long long n) {
  return std::to_string(n);
}

// Lines of a CP932 text (CR LF, LF or CR), the last one dropped when empty.
QStringList Lines(const std::string& text) {
  QStringList lines = Q(text).split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

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

QColor ToQColor(long long c) {
  return QColor(static_cast<int>(c & 0xff), static_cast<int>((c >> 8) & 0xff),
                static_cast<int>((c >> 16) & 0xff));
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

// Windows virtual-key codes, which scripts compare 押されたキー with.
int VirtualKey(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Pause:
      return 19;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      return key < 0x80 ? key : 0;
  }
}

std::string ShiftText(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, bool dbl) {
  QStringList words;
  if (mods & Qt::ShiftModifier) words << QStringLiteral("Shift");
  if (mods & Qt::AltModifier) words << QStringLiteral("Alt");
  if (mods & Qt::ControlModifier) words << QStringLiteral("Ctrl");
  if (buttons & Qt::LeftButton) words << QStringLiteral("Left");
  if (buttons & Qt::RightButton) words << QStringLiteral("Right");
  if (buttons & Qt::MiddleButton) words << QStringLiteral("Middle");
  if (dbl) words << QStringLiteral("Double");
  return Cp(words.join(QLatin1Char('\n')));
}

// Lets events through while the host waits with the event loop running (a browser's page),
// however quiet the change that waits was.
struct TLoud {
  int& quiet;
  int saved;
  explicit TLoud(int& q) : quiet(q), saved(q) { quiet = 0; }
  ~TLoud() { quiet = saved; }
};

// Why a browser could not read or write its document.
std::string BrowserError(const TBrowserView& b) {
  return Cp(b.Blocked()
                ? QStringLiteral(
                      "ブラウザの移動前や新規ウインドウの処理の中では、文書を読み書きできません。")
            : b.Alive() ? QStringLiteral("ブラウザの文書が、時間内に読み込まれませんでした。")
                        : QStringLiteral("ブラウザの表示プロセスが終了しています。"));
}

// How long a browser command waits for the page it reads, in milliseconds.
constexpr int kBrowserWait = 15000;

// The events each kind reports, as a mask of slots.
constexpr unsigned Slots(std::initializer_list<int> s) {
  unsigned m = 0;
  for (int i : s) m |= 1u << i;
  return m;
}
constexpr unsigned kHooked[pkKindCount] = {
    Slots({1, 3, 4, 8}),                  // button
    Slots({1, 2, 3, 4, 5, 6, 7, 8}),      // edit
    Slots({1, 2, 3, 4, 8}),               // image
    Slots({5, 6, 7}),                     // bar
    Slots({1, 2, 5, 6, 7}),               // combo
    Slots({1, 2, 3, 4, 5, 6, 8}),         // list
    Slots({1, 2, 3, 4, 5, 6, 7, 8}),      // memo
    Slots({1, 2, 3, 4, 5, 6, 7, 8, 10}),  // form
    Slots({1, 2, 3, 4, 5, 6, 8}),         // grid
    Slots({1, 2, 3, 4, 8}),               // label
    Slots({1, 3, 4, 5, 6, 8}),            // check
    Slots({1, 2, 3, 4, 7, 8}),            // track
    Slots({1, 2, 3, 4, 8}),               // anime
    Slots({1}),                           // menu
    Slots({1, 7, 11}),                    // browser
    Slots({1, 2, 3, 4, 8}),               // panel
    Slots({1, 2, 3, 4, 5, 6, 7, 8}),      // editor
    Slots({1}),                           // radio
    Slots({1, 2, 3, 4, 8}),               // scroll box
    Slots({3, 4, 7, 8}),                  // tab pages
    Slots({1, 2, 3, 4, 5, 6, 7, 8}),      // tree
    Slots({3, 4, 5, 6, 7, 8}),            // rich edit
    Slots({7}),                           // splitter
    0,                                    // pop-up menu
};

// Kinds whose click is a mouse click on the widget itself (the others have a signal of their
// own for it).
bool ClickByMouse(int kind) {
  switch (kind) {
    case pkEdit:
    case pkImage:
    case pkMemo:
    case pkForm:
    case pkLabel:
    case pkTrack:
    case pkAnime:
    case pkPanel:
    case pkScroll:
    case pkTEditor:
      return true;
    default:
      return false;
  }
}

}  // namespace

// What the host keeps of a part besides its widget.
struct TQtParts::TPart {
  int Kind = -1;
  QPointer<QWidget> W;
  QPointer<QAction> Action;  // menu items
  QPointer<QMenu> Menu;      // pop-up menus, and menu items once they have children
  int Parent = -1;           // menu items: the parent item or pop-up menu (-1 the menu bar)
  QPixmap Picture;           // image, form, anime: the picture shown
  std::vector<QPixmap> Frames;
  QPointer<QTimer> AnimeTimer;
  int AnimeFrame = 0, AnimeInterval = 100, AnimeRepeat = 0, AnimeButtons = 0;
  QString Sound;
  bool Stretch = false, Transparent = false, Sorted = false, Wrap = false, MultiTabs = false;
  bool AcceptDrop = false;
  int Ime = 0, Style = 1, Bevel = 1;
  QString Layout = QStringLiteral("なし");
  QString Hint;
  QPointer<QMenu> Popup;
  std::vector<QString> TreePaths;  // tree: node paths in node order
  QPointer<QButtonGroup> Radios;
  QStringList RadioItems;
  QColor FontColor;
  TBrowserView* Browser = nullptr;  // browser: its view (the widget W, which owns it)
  bool Hidden = false;              // destroyed: hidden, waiting to be released
  bool Modal = false;               // shown by ダイアログ表示
};

namespace {

// Shows a part's drawing surface (forms and image parts draw on theirs); false when it has
// none.
bool PaintSurface(int part, QPainter& p, const QRect& area, bool stretch) {
  TSurface* s = Surfaces().Get(part);
  if (!s) return false;
  if (stretch) {
    p.drawImage(area, s->Image);
    return true;
  }
  p.fillRect(area, QColor::fromRgb(s->Background));
  p.drawImage(0, 0, s->Image);
  return true;
}

// A form part: a top-level window whose client area shows its picture (or drawing surface).
class TFormWidget : public QWidget {
 public:
  TFormWidget(TQtParts& host, int index) : host_(host), index_(index) {}
  std::function<void()> OnClose;
  TQtParts::TPart* Part = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (PaintSurface(index_, p, rect(), Part && Part->Stretch)) return;
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (Part && !Part->Picture.isNull()) {
      if (Part->Stretch)
        p.drawPixmap(rect(), Part->Picture);
      else
        p.drawPixmap(0, 0, Part->Picture);
    }
  }
  void closeEvent(QCloseEvent* e) override {
    // Closing hides the form (フォーム表示 shows it again) and fires its close event.
    e->accept();
    if (OnClose) OnClose();
  }
  void resizeEvent(QResizeEvent*) override {
    // The drawing image grows with the client area (what lies outside is kept).
    if (TSurface* s = Surfaces().Get(index_)) {
      const QSize want = s->Image.size().expandedTo(size());
      if (want != s->Image.size()) {
        QImage grown(want, QImage::Format_RGB32);
        grown.fill(s->Background);
        {
          QPainter p(&grown);
          p.drawImage(0, 0, s->Image);
        }
        Surfaces().EndPainting(index_);
        Surfaces().Replace(index_, std::move(grown));
      }
    }
    host_.Fire(index_, psChange);
  }

 private:
  TQtParts& host_;
  int index_;
};

// Image and anime parts: the picture (or drawing surface), stretched on request.
class TPictureWidget : public QWidget {
 public:
  TPictureWidget(int index) : index_(index) {}
  TQtParts::TPart* Part = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (Part && Part->Kind == pkImage && PaintSurface(index_, p, rect(), Part->Stretch)) return;
    if (!Part) return;
    const QPixmap& pic = Part->Kind == pkAnime && !Part->Frames.empty()
                             ? Part->Frames[Part->AnimeFrame % Part->Frames.size()]
                             : Part->Picture;
    if (pic.isNull()) return;
    if (Part->Stretch)
      p.drawPixmap(rect(), pic);
    else
      p.drawPixmap(0, 0, pic);
  }

 private:
  int index_;
};

// A panel: a raised frame with its caption in the middle.
class TPanelWidget : public QFrame {
 public:
  QString Caption;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QFrame::paintEvent(e);
    QPainter p(this);
    p.drawText(rect(), Qt::AlignCenter, Caption);
  }
};

// A splitter: dragged along its axis (across a left or right one, up and down a top or bottom
// one), it reports each step and, once let go, that it moved.
class TSplitterWidget : public QFrame {
 public:
  bool Vertical = true;  // a vertical bar, dragged sideways
  bool Active = false;   // aligned: only then does dragging resize anything
  std::function<void(int)> Dragged;
  std::function<void()> Moved;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton || !Active) return QFrame::mousePressEvent(e);
    dragging_ = true;
    moved_ = false;
    last_ = e->globalPosition().toPoint();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!dragging_) return QFrame::mouseMoveEvent(e);
    const QPoint g = e->globalPosition().toPoint();
    const int delta = Vertical ? g.x() - last_.x() : g.y() - last_.y();
    last_ = g;
    if (delta == 0) return;
    moved_ = true;
    if (Dragged) Dragged(delta);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (!dragging_) return QFrame::mouseReleaseEvent(e);
    dragging_ = false;
    if (moved_ && Moved) Moved();
  }

 private:
  bool dragging_ = false, moved_ = false;
  QPoint last_;
};

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

QString TreePath(QTreeWidgetItem* item) {
  QStringList parts;
  for (; item; item = item->parent()) parts.prepend(item->text(0));
  return parts.join(QLatin1Char('\\'));
}

QTreeWidgetItem* TreeItem(QTreeWidget* t, const QString& path) {
  QTreeWidgetItem* found = nullptr;
  QTreeWidgetItemIterator it(t);
  for (; *it; ++it) {
    if (TreePath(*it) == path) {
      found = *it;
      break;
    }
  }
  return found;
}

// Adds each line's path, creating the levels not there yet.
void TreeAdd(QTreeWidget* t, const QStringList& lines) {
  for (const QString& line : lines) {
    const QStringList parts = line.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QTreeWidgetItem* parent = nullptr;
    QString path;
    for (const QString& part : parts) {
      path += (path.isEmpty() ? QString() : QStringLiteral("\\")) + part;
      QTreeWidgetItem* item = TreeItem(t, path);
      if (!item) {
        item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(t);
        item->setText(0, part);
      }
      parent = item;
    }
  }
}

int TreeAbsoluteIndex(QTreeWidget* t, QTreeWidgetItem* target) {
  int i = 0;
  for (QTreeWidgetItemIterator it(t); *it; ++it, ++i)
    if (*it == target) return i;
  return -1;
}

QTreeWidgetItem* TreeItemAt(QTreeWidget* t, int index) {
  int i = 0;
  for (QTreeWidgetItemIterator it(t); *it; ++it, ++i)
    if (i == index) return *it;
  return nullptr;
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

void SetPlainText(QWidget* w, const QString& text) {
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->setPlainText(text);
  if (auto* e = qobject_cast<QTextEdit*>(w)) e->setPlainText(text);
#ifdef YUME_HAVE_QSCINTILLA
  if (auto* e = qobject_cast<QsciScintilla*>(w)) e->setText(text);
#endif
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

// Byte offsets in CP932 (scripts count 選択位置 in bytes) and character offsets.
int ByteOffset(const QString& text, int chars) {
  return static_cast<int>(Cp(text.left(chars)).size());
}
int CharOffset(const QString& text, int bytes) {
  int chars = 0, used = 0;
  while (chars < text.size()) {
    const int len = static_cast<int>(Cp(text.mid(chars, 1)).size());
    if (used + len > bytes) break;
    used += len;
    ++chars;
  }
  return chars;
}

#ifdef YUME_HAVE_QSCINTILLA
// The programmer's editor's settings, as its settings file and its settings dialog hold them.
QString EditorSettings(QsciScintilla* e) {
  return QStringLiteral("font=%1\nsize=%2\nwrap=%3\ntabwidth=%4\nreadonly=%5\n")
      .arg(e->font().family())
      .arg(e->font().pointSize())
      .arg(e->wrapMode() == QsciScintilla::WrapNone ? 0 : 1)
      .arg(e->tabWidth())
      .arg(e->isReadOnly() ? 1 : 0);
}

void ApplyEditorSettings(QsciScintilla* e, const QString& text) {
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
    const QString val = line.section(QLatin1Char('='), 1).trimmed();
    QFont font = e->font();
    if (key == QStringLiteral("font") && !val.isEmpty()) font.setFamily(MapFontFamily(val));
    if (key == QStringLiteral("size") && val.toInt() > 0) font.setPointSize(val.toInt());
    if (key == QStringLiteral("font") || key == QStringLiteral("size")) e->setFont(font);
    if (key == QStringLiteral("wrap"))
      e->setWrapMode(val.toInt() ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
    if (key == QStringLiteral("tabwidth") && val.toInt() > 0) e->setTabWidth(val.toInt());
    if (key == QStringLiteral("readonly")) e->setReadOnly(val.toInt() != 0);
  }
}
#endif

}  // namespace

TQtParts::TQtParts(QWidget* main) : main_(main) {
  if (!main_) {
    ownMain_ = std::make_unique<QWidget>();
    ownMain_->resize(640, 400);
    ownMain_->setWindowTitle(QStringLiteral("ゆめもり"));
    main_ = ownMain_.get();
  }
  parts_.push_back(std::make_unique<TPart>());
  parts_[0]->Kind = pkForm;
  parts_[0]->W = main_;
  Hook(0, main_);
}

TQtParts::~TQtParts() {
  ++quiet_;
  events_ = nullptr;
  for (size_t i = parts_.size(); i-- > 1;) Release(static_cast<int>(i));
  if (browsers_) ShutDownBrowsers();
  // The window going away still sends events: none may reach a half-destroyed host.
  if (main_) main_->removeEventFilter(this);
  ownMain_.reset();
}

QWidget* TQtParts::Main() const {
  return main_;
}

TQtParts::TPart* TQtParts::Part(int index) {
  if (index < 0 || index >= static_cast<int>(parts_.size())) return nullptr;
  TPart* p = parts_[index].get();
  return p && p->Kind >= 0 ? p : nullptr;
}

QWidget* TQtParts::Widget(int index) const {
  if (index < 0 || index >= static_cast<int>(parts_.size()) || !parts_[index]) return nullptr;
  return parts_[index]->W;
}

QAction* TQtParts::Action(int index) const {
  if (index < 0 || index >= static_cast<int>(parts_.size()) || !parts_[index]) return nullptr;
  return parts_[index]->Action;
}

bool TQtParts::Fire(int index, int slot, const TPartEventInfo& info) {
  if (quiet_ > 0 || !events_) return false;
  TPart* p = Part(index);
  if (!p || p->Hidden) return false;
  const bool hooked = (kHooked[p->Kind] & (1u << slot)) || (slot == psFileDrop && p->AcceptDrop);
  if (!hooked) return false;
  return events_->PartEvent(index, slot, info);
}

void TQtParts::Hook(int index, QWidget* w) {
  w->setProperty(kIndexProperty, index);
  w->installEventFilter(this);
  w->setMouseTracking(true);
  if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
    area->viewport()->setProperty(kIndexProperty, index);
    area->viewport()->installEventFilter(this);
    area->viewport()->setMouseTracking(true);
  }
  for (QWidget* child : w->findChildren<QWidget*>()) {
    if (child->property(kIndexProperty).isValid()) continue;
    child->setProperty(kIndexProperty, index);
    child->installEventFilter(this);
  }
}

bool TQtParts::eventFilter(QObject* watched, QEvent* event) {
  // Aligned parts follow their container's size, and close up when one of them hides.
  if (anyAligned_ && !layingOut_) {
    const QEvent::Type t = event->type();
    if (t == QEvent::Resize) {
      Relayout(qobject_cast<QWidget*>(watched));
    } else if (t == QEvent::ShowToParent || t == QEvent::HideToParent) {
      if (auto* w = qobject_cast<QWidget*>(watched)) Relayout(w->parentWidget());
    }
  }
  if (quiet_ > 0) return false;
  const QVariant tag = watched->property(kIndexProperty);
  if (!tag.isValid()) return false;
  const int index = tag.toInt();
  TPart* p = Part(index);
  if (!p) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      TPartEventInfo info;
      info.Mouse = true;
      QWidget* own = p->W ? p->W.data() : w;
      const QPoint at = w && own ? w->mapTo(own->window(), me->position().toPoint()) -
                                       own->mapTo(own->window(), QPoint(0, 0))
                                 : me->position().toPoint();
      info.X = at.x();
      info.Y = at.y();
      const bool dbl = event->type() == QEvent::MouseButtonDblClick;
      Qt::MouseButtons buttons = me->buttons();
      if (event->type() != QEvent::MouseMove) buttons |= me->button();
      info.Shift = ShiftText(me->modifiers(), buttons, dbl);
      if (event->type() == QEvent::MouseButtonPress) {
        if (me->button() == Qt::RightButton && p->Popup) {
          p->Popup->popup(me->globalPosition().toPoint());
        }
        Fire(index, psMouseDown, info);
      } else if (event->type() == QEvent::MouseButtonRelease) {
        Fire(index, psMouseUp, info);
        if (me->button() == Qt::LeftButton && ClickByMouse(p->Kind) && own &&
            own->rect().contains(at))
          Fire(index, psClick, info);
      } else if (dbl) {
        Fire(index, psDoubleClick, info);
      } else {
        Fire(index, psMouseMove, info);
      }
      return false;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* de = static_cast<QDropEvent*>(event);
      if (!p->AcceptDrop || !de->mimeData()->hasUrls()) return false;
      de->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* de = static_cast<QDropEvent*>(event);
      if (!p->AcceptDrop || !de->mimeData()->hasUrls()) return false;
      QStringList files;
      for (const QUrl& u : de->mimeData()->urls())
        if (u.isLocalFile()) files << u.toLocalFile().trimmed();
      de->acceptProposedAction();
      DropFiles(index, files);
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(event);
      // A key reaches both a composite part's inner widget and the part: report it once.
      if (ke->isAutoRepeat() && event->type() == QEvent::KeyRelease) return false;
      if (w && p->W && w != p->W && w->focusProxy() == nullptr && p->W->focusProxy() != w &&
          qobject_cast<QAbstractScrollArea*>(p->W) == nullptr && p->Kind != pkForm &&
          p->Kind != pkCombo)
        return false;
      TPartEventInfo info;
      info.Key = true;
      info.KeyCode = VirtualKey(ke->key());
      info.Shift = ShiftText(ke->modifiers(), Qt::NoButton, false);
      Fire(index, event->type() == QEvent::KeyPress ? psKeyDown : psKeyUp, info);
      return false;
    }
    default:
      return false;
  }
}

void TQtParts::DropFiles(int index, const QStringList& files) {
  TPart* p = Part(index);
  if (!p || files.isEmpty()) return;
  TPartEventInfo info;
  info.HasValue = true;
  info.Value = Cp(files.join(QLatin1Char('\n')));
  if (events_ && events_->HasEvent(index, psFileDrop)) {
    Fire(index, psFileDrop, info);
    return;
  }
  // No event: an edit takes the names as its text, a list and a memo add them.
  ++quiet_;
  if (auto* e = qobject_cast<QLineEdit*>(p->W)) e->setText(files.join(QLatin1Char(' ')));
  if (auto* l = qobject_cast<QListWidget*>(p->W)) l->addItems(files);
  if (auto* m = qobject_cast<QPlainTextEdit*>(p->W)) {
    for (const QString& f : files) m->appendPlainText(f);
  }
  --quiet_;
}

QMenuBar* TQtParts::MenuBar() {
  if (!menuBar_) {
    menuBar_ = new QMenuBar(main_);
    menuBar_->setGeometry(0, 0, main_->width(), menuBar_->sizeHint().height());
    menuBar_->show();
  }
  return menuBar_;
}

QWidget* TQtParts::MakeWidget(int index, int kind, const QString& caption) {
  TPart& p = *parts_[index];
  switch (kind) {
    case pkButton: {
      auto* b = new QPushButton(caption);
      connect(b, &QPushButton::clicked, this, [this, index]() { Fire(index, psClick); });
      b->resize(75, 25);
      return b;
    }
    case pkEdit: {
      auto* e = new QLineEdit;
      connect(e, &QLineEdit::textChanged, this, [this, index]() { Fire(index, psChange); });
      e->resize(121, 21);
      return e;
    }
    case pkImage:
    case pkAnime: {
      auto* w = new TPictureWidget(index);
      w->Part = &p;
      w->resize(105, 105);
      return w;
    }
    case pkBar: {
      auto* s = new QScrollBar(Qt::Horizontal);
      s->setRange(0, 100);
      connect(s, &QScrollBar::valueChanged, this, [this, index]() { Fire(index, psChange); });
      s->resize(121, 16);
      return s;
    }
    case pkCombo: {
      auto* c = new QComboBox;
      c->setEditable(true);
      c->setInsertPolicy(QComboBox::NoInsert);
      connect(c, &QComboBox::activated, this, [this, index]() { Fire(index, psClick); });
      connect(c, &QComboBox::editTextChanged, this, [this, index]() { Fire(index, psChange); });
      c->resize(145, 21);
      return c;
    }
    case pkList: {
      auto* l = new QListWidget;
      connect(l, &QListWidget::currentRowChanged, this, [this, index]() {
        TPartEventInfo info;
        Fire(index, psClick, info);
      });
      l->resize(121, 97);
      return l;
    }
    case pkMemo: {
      auto* m = new QPlainTextEdit;
      m->setLineWrapMode(QPlainTextEdit::NoWrap);
      connect(m, &QPlainTextEdit::textChanged, this, [this, index]() { Fire(index, psChange); });
      m->resize(185, 89);
      return m;
    }
    case pkGrid: {
      auto* g = new QTableWidget(4, 4);
      g->verticalHeader()->hide();
      connect(g, &QTableWidget::cellClicked, this, [this, index]() { Fire(index, psClick); });
      connect(g, &QTableWidget::cellDoubleClicked, this,
              [this, index]() { Fire(index, psDoubleClick); });
      g->resize(320, 120);
      return g;
    }
    case pkLabel: {
      auto* l = new QLabel(caption);
      l->setAttribute(Qt::WA_TranslucentBackground);
      l->adjustSize();
      return l;
    }
    case pkCheck: {
      auto* c = new QCheckBox(caption);
      connect(c, &QCheckBox::clicked, this, [this, index]() { Fire(index, psClick); });
      c->adjustSize();
      if (c->width() < 97) c->resize(97, c->height());
      return c;
    }
    case pkTrack: {
      auto* s = new QSlider(Qt::Horizontal);
      s->setRange(0, 10);
      connect(s, &QSlider::valueChanged, this, [this, index]() { Fire(index, psChange); });
      s->resize(150, 45);
      return s;
    }
    case pkPanel: {
      auto* f = new TPanelWidget;
      f->setFrameStyle(QFrame::Panel | QFrame::Raised);
      f->setLineWidth(1);
      f->resize(185, 41);
      return f;
    }
    case pkTEditor: {
#ifdef YUME_HAVE_QSCINTILLA
      auto* e = new QsciScintilla;
      e->setText(QString());
      e->setUtf8(true);
      connect(e, &QsciScintilla::textChanged, this, [this, index]() { Fire(index, psChange); });
      e->resize(185, 89);
      return e;
#else
      lastError_ = Cp(QStringLiteral("Tエディタは、この環境では使えません。"));
      return nullptr;
#endif
    }
    case pkRadio: {
      auto* g = new QGroupBox;
      auto* layout = new QVBoxLayout(g);
      layout->setContentsMargins(8, 4, 8, 4);
      p.Radios = new QButtonGroup(g);
      connect(p.Radios, &QButtonGroup::idClicked, this, [this, index]() { Fire(index, psClick); });
      g->resize(185, 105);
      return g;
    }
    case pkScroll: {
      auto* s = new QScrollArea;
      auto* inner = new QWidget;
      inner->resize(300, 200);
      s->setWidget(inner);
      s->resize(300, 200);
      return s;
    }
    case pkTabs: {
      auto* t = new QTabWidget;
      connect(t, &QTabWidget::currentChanged, this, [this, index]() { Fire(index, psChange); });
      t->resize(289, 193);
      return t;
    }
    case pkTree: {
      auto* t = new QTreeWidget;
      t->setHeaderHidden(true);
      auto pathInfo = [](QTreeWidgetItem* item) {
        TPartEventInfo info;
        info.HasValue = true;
        info.Value = Cp(TreePath(item));
        return info;
      };
      connect(t, &QTreeWidget::itemClicked, this,
              [this, index, pathInfo](QTreeWidgetItem* it) { Fire(index, psClick, pathInfo(it)); });
      connect(t, &QTreeWidget::currentItemChanged, this,
              [this, index, pathInfo](QTreeWidgetItem* it) {
                if (it) Fire(index, psChange, pathInfo(it));
              });
      connect(t, &QTreeWidget::itemDoubleClicked, this,
              [this, index]() { Fire(index, psDoubleClick); });
      t->resize(121, 97);
      return t;
    }
    case pkRich: {
      auto* r = new QTextEdit;
      r->setAcceptRichText(true);
      connect(r, &QTextEdit::textChanged, this, [this, index]() { Fire(index, psChange); });
      r->resize(185, 89);
      return r;
    }
    case pkSplitter: {
      auto* f = new TSplitterWidget;
      f->setFrameStyle(QFrame::Panel | QFrame::Raised);
      f->resize(5, 5);
      f->Dragged = [this, index](int delta) { DragSplitter(index, delta); };
      f->Moved = [this, index]() { Fire(index, psChange); };
      return f;
    }
    case pkBrowser:
      return MakeBrowser(index);
    default:
      return nullptr;
  }
}

QWidget* TQtParts::MakeBrowser(int index) {
  QString why;
  TBrowserView* b;
  {
    // The engine's start is waited for with events running: other parts' events (another
    // browser's page completing) are theirs, not echoes of this change.
    TLoud loud(quiet_);
    b = MakeBrowserView(why);
  }
  if (!b) {
    lastError_ = Cp(QStringLiteral("ブラウザ部品は、この環境では使えません。") +
                    (why.isEmpty() ? QString() : QStringLiteral("(") + why + QStringLiteral(")")));
    return nullptr;
  }
  parts_[index]->Browser = b;
  browsers_ = true;
  // Navigation and new windows are the script's to allow: the model runs the events and reads
  // the system variables that decide.
  b->BeforeNavigate = [this, index](const QString& url) {
    return !events_ || events_->BrowserNavigate(index, Cp(url));
  };
  b->Completed = [this, index]() { Fire(index, psChange); };
  b->NewWindow = [this, index](TBrowserView*& target) {
    const int to = events_ ? events_->BrowserNewWindow(index) : -1;
    if (to == -2) return TBrowserView::nwRefuse;
    TPart* t = Part(to);
    if (to < 0 || !t || !t->Browser || !t->W) return TBrowserView::nwOwnWindow;
    target = t->Browser;
    return TBrowserView::nwTarget;
  };
  b->Loading = [this, index](bool on) {
    if (events_) events_->SourceBusy(index, on);
  };
  QWidget* w = b->Widget();
  w->resize(300, 150);
  return w;
}

bool TQtParts::Create(int index, int kind, const std::string& caption, const TDialogFont& font,
                      int x, int y) {
  lastError_.clear();
  if (index < 0 || kind < 0 || kind >= pkKindCount || kind == pkMenu) return false;
  if (static_cast<int>(parts_.size()) <= index) parts_.resize(index + 1);
  parts_[index] = std::make_unique<TPart>();
  TPart& p = *parts_[index];
  p.Kind = kind;
  const QString cap = Q(caption);
  ++quiet_;
  struct TQuiet {
    int& q;
    ~TQuiet() { --q; }
  } unquiet{quiet_};
  if (kind == pkPopup) {
    p.Menu = new QMenu(main_);
    return true;
  }
  if (kind == pkForm) {
    auto* f = new TFormWidget(*this, index);
    f->Part = &p;
    f->setWindowTitle(cap);
    f->setAutoFillBackground(false);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, Qt::white);
    f->setPalette(pal);
    f->resize(320, 240);
    f->setFont(main_->font());
    f->OnClose = [this, index]() { CloseRequested(index); };
    p.W = f;
    // Its drawing image fills the client area, white.
    Surfaces().Create(index, f->width(), f->height(), qRgb(255, 255, 255));
    Surfaces().Watch(index, [f]() { f->update(); });
    Hook(index, f);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
      const QRect area = s->availableGeometry();
      f->move(area.left() + (area.width() - f->width()) / 2,
              area.top() + (area.height() - f->height()) / 2);
    }
    f->show();
    return true;
  }
  QWidget* w = MakeWidget(index, kind, cap);
  if (!w) {
    parts_[index].reset();
    if (lastError_.empty()) lastError_ = Cp(QStringLiteral("この部品は作れません。"));
    return false;
  }
  p.W = w;
  if (kind == pkImage) {
    Surfaces().Create(index, w->width(), w->height(), qRgb(255, 255, 255));
    Surfaces().Watch(index, [w]() { w->update(); });
  }
  if (kind != pkCheck && kind != pkTrack && kind != pkImage && kind != pkAnime &&
      kind != pkScroll && kind != pkSplitter && kind != pkPanel && kind != pkTabs) {
    QFont f(MapFontFamily(Q(font.Name)));
    if (font.Size > 0) f.setPointSize(font.Size);
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    w->setFont(f);
    if (kind == pkLabel) {
      QPalette pal = w->palette();
      pal.setColor(QPalette::WindowText, ToQColor(font.Color));
      w->setPalette(pal);
      static_cast<QLabel*>(w)->adjustSize();
    }
  }
  if (kind == pkPanel) static_cast<TPanelWidget*>(w)->Caption.clear();
  if (kind == pkButton) {
    // Wide enough for its caption: a "W" per byte.
    const int wide =
        w->fontMetrics().horizontalAdvance(QLatin1Char('W')) * static_cast<int>(caption.size());
    if (w->width() < wide) w->resize(wide, w->height());
  }
  w->setParent(main_);
  w->move(x, y);
  Hook(index, w);
  w->show();
  return true;
}

bool TQtParts::CreateMenu(int index, int parent, const std::string& caption) {
  lastError_.clear();
  if (static_cast<int>(parts_.size()) <= index) parts_.resize(index + 1);
  QMenu* under = nullptr;
  if (parent >= 0) {
    TPart* pp = Part(parent);
    if (!pp) return false;
    if (pp->Kind == pkPopup) {
      under = pp->Menu;
    } else {
      if (!pp->Menu) {
        pp->Menu = new QMenu(main_);
        if (pp->Action) pp->Action->setMenu(pp->Menu);
      }
      under = pp->Menu;
    }
  }
  parts_[index] = std::make_unique<TPart>();
  TPart& p = *parts_[index];
  p.Kind = pkMenu;
  p.Parent = parent;
  const QString cap = Q(caption);
  QAction* a = nullptr;
  if (cap == QStringLiteral("-")) {
    a = under ? under->addSeparator() : MenuBar()->addSeparator();
  } else {
    a = under ? under->addAction(cap) : MenuBar()->addAction(cap);
  }
  p.Action = a;
  connect(a, &QAction::triggered, this, [this, index]() { Fire(index, psClick); });
  return true;
}

bool TQtParts::Bounds(int index, int& x, int& y, int& width, int& height) {
  TPart* p = Part(index);
  if (!p || !p->W) {
    x = y = width = height = 0;
    return false;
  }
  QWidget* w = p->W;
  if (p->Kind == pkForm) {
    x = w->x();
    y = w->y();
    width = w->width();
    height = w->height();
    return true;
  }
  x = w->x();
  y = w->y();
  width = w->width();
  height = w->height();
  return true;
}

void TQtParts::SetBounds(int index, int x, int y, int width, int height) {
  TPart* p = Part(index);
  if (!p || !p->W) return;
  QWidget* w = p->W;
  if (p->Kind == pkTrack) {
    width = std::max(width, 10);
    height = std::max(height, 10);
  }
  w->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
  if (index == 0 && menuBar_) menuBar_->setGeometry(0, 0, w->width(), menuBar_->height());
  // An aligned part keeps its place: only its thickness across the alignment counts.
  if (p->Layout != QStringLiteral("なし") && p->Kind != pkForm) Relayout(w->parentWidget());
}

void TQtParts::Relayout(QWidget* holder) {
  if (!anyAligned_ || !holder || layingOut_) return;
  layingOut_ = true;
  QRect r = holder->rect();
  if (holder == main_ && menuBar_ && !menuBar_->isHidden())
    r.setTop(menuBar_->geometry().bottom() + 1);
  // Top strips first, then bottom, left, right, and what fills the rest; each in the order the
  // parts were made. Hidden parts take no room.
  static const QString kOrder[] = {QStringLiteral("上"), QStringLiteral("下"), QStringLiteral("左"),
                                   QStringLiteral("右"), QStringLiteral("全体")};
  for (int step = 0; step < 5; ++step) {
    for (size_t i = 1; i < parts_.size(); ++i) {
      TPart* p = parts_[i].get();
      if (!p || p->Kind < 0 || p->Kind == pkForm || p->Hidden || !p->W) continue;
      QWidget* w = p->W;
      if (w->parentWidget() != holder || w->isHidden() || p->Layout != kOrder[step]) continue;
      const int wd = w->width(), ht = w->height();
      switch (step) {
        case 0:
          w->setGeometry(r.left(), r.top(), r.width(), ht);
          r.setTop(r.top() + ht);
          break;
        case 1:
          w->setGeometry(r.left(), r.bottom() + 1 - ht, r.width(), ht);
          r.setBottom(r.bottom() - ht);
          break;
        case 2:
          w->setGeometry(r.left(), r.top(), wd, std::max(r.height(), 0));
          r.setLeft(r.left() + wd);
          break;
        case 3:
          w->setGeometry(r.right() + 1 - wd, r.top(), wd, std::max(r.height(), 0));
          r.setRight(r.right() - wd);
          break;
        default:
          w->setGeometry(r.left(), r.top(), std::max(r.width(), 0), std::max(r.height(), 0));
          break;
      }
    }
  }
  layingOut_ = false;
}

void TQtParts::DragSplitter(int index, int delta) {
  TPart* sp = Part(index);
  if (!sp || !sp->W) return;
  QWidget* holder = sp->W->parentWidget();
  const QRect g = sp->W->geometry();
  const QString& side = sp->Layout;
  // The part aligned on the same side that the splitter touches is the one it resizes.
  for (size_t i = 1; i < parts_.size(); ++i) {
    TPart* p = parts_[i].get();
    if (!p || static_cast<int>(i) == index || p->Hidden || !p->W || p->Layout != side ||
        p->W->parentWidget() != holder || p->W->isHidden())
      continue;
    QWidget* w = p->W;
    const QRect n = w->geometry();
    if (side == QStringLiteral("左") && n.right() + 1 == g.left()) {
      w->resize(std::max(n.width() + delta, 0), n.height());
    } else if (side == QStringLiteral("右") && n.left() == g.right() + 1) {
      w->resize(std::max(n.width() - delta, 0), n.height());
    } else if (side == QStringLiteral("上") && n.bottom() + 1 == g.top()) {
      w->resize(n.width(), std::max(n.height() + delta, 0));
    } else if (side == QStringLiteral("下") && n.top() == g.bottom() + 1) {
      w->resize(n.width(), std::max(n.height() - delta, 0));
    } else {
      continue;
    }
    Relayout(holder);
    return;
  }
}

int TQtParts::ParentWidth(int index) {
  TPart* p = Part(index);
  if (!p) return 0;
  if (!p->W || !p->W->parentWidget()) return 0;
  return p->W->parentWidget()->width();
}

void TQtParts::SetPicture(int index, const QString& file) {
  TPart* p = Part(index);
  if (!p) return;
  QPixmap pic;
  const QString first = file.split(QLatin1Char('\n')).value(0).trimmed();
  if (!first.isEmpty()) pic.load(first);
  switch (p->Kind) {
    case pkButton:
      static_cast<QPushButton*>(p->W.data())->setIcon(QIcon(pic));
      static_cast<QPushButton*>(p->W.data())->setIconSize(pic.size());
      break;
    case pkImage:
    case pkForm: {
      // The picture becomes the part's drawing surface, and the part takes its size.
      QImage image = pic.toImage();
      if (image.isNull()) {
        Surfaces().EndPainting(index);
        if (TSurface* s = Surfaces().Get(index)) s->Image.fill(s->Background);
        Surfaces().Changed(index);
        break;
      }
      image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                            : QImage::Format_RGB32);
      if (p->W) p->W->resize(image.size());
      if (Surfaces().Get(index)) {
        Surfaces().Replace(index, std::move(image));
      } else {
        p->Picture = pic;
      }
      break;
    }
    case pkAnime:
      p->Frames.clear();
      for (const QString& f : file.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QPixmap frame(f.trimmed());
        if (!frame.isNull()) p->Frames.push_back(frame);
      }
      if (!p->Frames.empty() && p->W) p->W->resize(p->Frames.back().size());
      break;
    case pkMenu:
      if (p->Action) p->Action->setIcon(QIcon(pic));
      break;
    default:
      break;
  }
  if (p->W) p->W->update();
}

namespace {

// The items of the list-like kinds.
QStringList ItemsOf(TQtParts::TPart& p) {
  QStringList items;
  if (auto* l = qobject_cast<QListWidget*>(p.W)) {
    for (int i = 0; i < l->count(); ++i) items << l->item(i)->text();
  } else if (auto* c = qobject_cast<QComboBox*>(p.W)) {
    for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
  } else if (p.Kind == pkRadio) {
    items = p.RadioItems;
  }
  return items;
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

}  // namespace

TPropResult TQtParts::Get(int index, int prop, std::string& v) {
  TPart* pp = Part(index);
  if (!pp) return TPropResult::Failed;
  // A browser whose view went with the event loop's end has nothing left to ask.
  if (pp->Kind == pkBrowser && !pp->W) return TPropResult::Failed;
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
          v = Num(FromQColor(w->palette().color(w->backgroundRole())));
          return TPropResult::Ok;
        case pkForm:
          v = Num(FromQColor(w->palette().color(QPalette::Window)));
          return TPropResult::Ok;
        default:
          v = "0";
          return TPropResult::Ok;
      }
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
      const bool fontKind = k == pkButton || k == pkEdit || k == pkCombo || k == pkList ||
                            k == pkMemo || k == pkGrid || k == pkLabel || k == pkCheck ||
                            k == pkRich;
      if (!fontKind) {
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
  TPart* pp = Part(index);
  if (!pp) return TPropResult::Failed;
  // A browser whose view went with the event loop's end has nothing left to ask.
  if (pp->Kind == pkBrowser && !pp->W) return TPropResult::Failed;
  TPart& p = *pp;
  QWidget* w = p.W;
  const int k = p.Kind;
  const QString q = Q(value);
  ++quiet_;
  struct TQuiet {
    int& q;
    ~TQuiet() { --q; }
  } unquiet{quiet_};
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
      const QColor c = ToQColor(ColorValue(value));
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
        case pkRadio:
        case pkScroll:
        case pkRich:
        case pkTrack:
        case pkAnime:
        case pkForm: {
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
        default:
          return TPropResult::NotForKind;
      }
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
      const bool fontKind = k == pkButton || k == pkEdit || k == pkCombo || k == pkList ||
                            k == pkMemo || k == pkGrid || k == pkLabel || k == pkCheck ||
                            k == pkRich;
      if (!fontKind) return TPropResult::NotForKind;
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
        QPalette pal = w->palette();
        pal.setColor(w->foregroundRole(), ToQColor(ColorValue(value)));
        pal.setColor(QPalette::ButtonText, ToQColor(ColorValue(value)));
        pal.setColor(QPalette::Text, ToQColor(ColorValue(value)));
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

void TQtParts::Hide(int index) {
  TPart* p = Part(index);
  if (!p || index == 0) return;
  ++quiet_;
  struct TQuiet {
    int& q;
    ~TQuiet() { --q; }
  } unquiet{quiet_};
  QWidget* w = p->W;
  switch (p->Kind) {
    case pkEdit:
      static_cast<QLineEdit*>(w)->clear();
      break;
    case pkMemo:
    case pkRich:
    case pkTEditor:
      SetPlainText(w, QString());
      break;
    case pkImage:
      p->Picture = QPixmap();
      break;
    case pkCombo:
    case pkList:
      if (auto* c = qobject_cast<QComboBox*>(w)) c->clear();
      if (auto* l = qobject_cast<QListWidget*>(w)) l->clear();
      break;
    case pkGrid:
      static_cast<QTableWidget*>(w)->setRowCount(0);
      break;
    case pkLabel:
      static_cast<QLabel*>(w)->clear();
      break;
    case pkCheck:
      static_cast<QCheckBox*>(w)->setText(QString());
      break;
    case pkAnime:
      p->Frames.clear();
      if (p->AnimeTimer) p->AnimeTimer->stop();
      break;
    default:
      break;
  }
  if (p->Modal) {
    // A dialog form destroyed: the mothership is usable again, as when it closes.
    p->Modal = false;
    if (main_) main_->setEnabled(true);
  }
  if (p->Action) p->Action->setVisible(false);
  if (w) w->hide();
  p->Hidden = true;
}

void TQtParts::Release(int index) {
  if (index <= 0 || index >= static_cast<int>(parts_.size()) || !parts_[index]) return;
  std::unique_ptr<TPart> p = std::move(parts_[index]);
  if (p->Kind == pkImage || p->Kind == pkForm) {
    Surfaces().Watch(index, {});
    Surfaces().Remove(index);
  }
  ++quiet_;
  struct TQuiet {
    int& q;
    ~TQuiet() { --q; }
  } unquiet{quiet_};
  // Children placed on a released container go back to the mothership rather than with it.
  if (p->W) {
    for (size_t i = 1; i < parts_.size(); ++i) {
      if (parts_[i] && parts_[i]->W && parts_[i]->W->parentWidget() &&
          p->W->isAncestorOf(parts_[i]->W) && parts_[i]->Kind != pkForm) {
        parts_[i]->W->hide();
        parts_[i]->W->setParent(main_);
      }
    }
  }
  delete p->Action.data();
  delete p->Menu.data();
  if (p->Browser && p->W) {
    // Its page may be the one whose event destroyed it: the view goes once that is over.
    p->W->setParent(nullptr);
    p->Browser->Dispose();
    return;
  }
  delete p->W.data();
}

std::vector<int> TQtParts::Children(int index) {
  std::vector<int> out;
  TPart* p = Part(index);
  if (!p || !p->W) return out;
  QWidget* holder = p->W;
  if (p->Kind == pkScroll) holder = static_cast<QScrollArea*>(holder)->widget();
  if (p->Kind == pkTabs) holder = static_cast<QTabWidget*>(holder)->currentWidget();
  if (!holder) return out;
  for (size_t i = 1; i < parts_.size(); ++i) {
    if (static_cast<int>(i) == index) continue;
    TPart* c = parts_[i].get();
    if (c && !c->Hidden && c->W && c->W->parentWidget() == holder)
      out.push_back(static_cast<int>(i));
  }
  return out;
}

bool TQtParts::IsContainer(int index) {
  TPart* p = Part(index);
  return p && (p->Kind == pkForm || p->Kind == pkPanel || p->Kind == pkScroll || p->Kind == pkTabs);
}

bool TQtParts::SetParent(int index, int container) {
  TPart* p = Part(index);
  TPart* to = Part(container);
  if (!p || !to || !p->W || !to->W || !IsContainer(container) || index == container ||
      p->Kind == pkForm || p->W->isAncestorOf(to->W))
    return false;
  QWidget* holder = to->W;
  if (to->Kind == pkScroll) holder = static_cast<QScrollArea*>(holder)->widget();
  if (to->Kind == pkTabs) holder = static_cast<QTabWidget*>(holder)->currentWidget();
  if (!holder) return false;
  const QPoint at = p->W->pos();
  const bool visible = !p->W->isHidden();
  QWidget* from = p->W->parentWidget();
  p->W->setParent(holder);
  p->W->move(at);
  if (visible) p->W->show();
  // A tab page or a scroll box's inside is no part of its own: its size is watched here.
  if (holder != to->W) holder->installEventFilter(this);
  Relayout(from);
  Relayout(holder);
  return true;
}

bool TQtParts::SetPopup(int index, int popup) {
  TPart* p = Part(index);
  TPart* m = Part(popup);
  if (!p || !m || m->Kind != pkPopup) return false;
  switch (p->Kind) {
    case pkButton:
    case pkEdit:
    case pkImage:
    case pkCombo:
    case pkList:
    case pkMemo:
    case pkForm:
    case pkGrid:
    case pkLabel:
    case pkPanel:
    case pkTEditor:
    case pkTabs:
    case pkTree:
      p->Popup = m->Menu;
      if (p->W) p->W->setContextMenuPolicy(Qt::PreventContextMenu);
      return true;
    default:
      return false;
  }
}

TPropResult TQtParts::Command(int number, int index, const std::string& arg, std::string& result) {
  TPart* pp = Part(index);
  if (!pp) return TPropResult::Failed;
  // A browser whose view went with the event loop's end has nothing left to ask.
  if (pp->Kind == pkBrowser && !pp->W) return TPropResult::Failed;
  TPart& p = *pp;
  QWidget* w = p.W;
  const int k = p.Kind;
  lastError_.clear();
  switch (number) {
    case 26:  // 注目
      if (!w || !w->isEnabled()) return TPropResult::Failed;
      if (k == pkForm) {
        w->raise();
        w->activateWindow();
      }
      w->setFocus(Qt::OtherFocusReason);
      return TPropResult::Ok;
    case 181:  // 最前面
      if (!w) return TPropResult::NotForKind;
      if (k == pkForm) {
        w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        w->show();
      }
      w->raise();
      return TPropResult::Ok;
    case 182:  // 最背面
      if (!w) return TPropResult::NotForKind;
      if (k == pkForm) {
        const bool visible = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        if (visible) w->show();
      }
      w->lower();
      return TPropResult::Ok;
    case 242: {  // 中央へ移動
      if (!w) return TPropResult::NotForKind;
      if (k == pkForm) {
        if (QScreen* s = QGuiApplication::primaryScreen()) {
          const QRect area = s->availableGeometry();
          w->move(area.left() + (area.width() - w->width()) / 2,
                  area.top() + (area.height() - w->height()) / 2);
        }
      } else if (QWidget* parent = w->parentWidget()) {
        w->move((parent->width() - w->width()) / 2, (parent->height() - w->height()) / 2);
      }
      return TPropResult::Ok;
    }
    case 306:
    case 406:
      if (!w) return TPropResult::NotForKind;
      w->showMaximized();
      return TPropResult::Ok;
    case 307:
    case 407:
      if (!w) return TPropResult::NotForKind;
      w->showMinimized();
      return TPropResult::Ok;
    case 308:
    case 408:
      if (!w) return TPropResult::NotForKind;
      if (number == 308) w->setWindowFlag(Qt::WindowStaysOnTopHint, false);
      w->showNormal();
      return TPropResult::Ok;
    case 328:
      if (!w) return TPropResult::NotForKind;
      w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
      w->setWindowFlag(Qt::FramelessWindowHint, true);
      if (QScreen* s = QGuiApplication::primaryScreen()) w->setGeometry(s->geometry());
      w->show();
      return TPropResult::Ok;
    case 440: {  // オブジェクト丸く
      if (!w) return TPropResult::NotForKind;
      const int r = Int(arg);
      QPainterPath path;
      path.addRoundedRect(QRectF(w->rect()), r, r);
      w->setMask(QRegion(path.toFillPolygon().toPolygon()));
      return TPropResult::Ok;
    }
    case 509:
    case 510:
    case 511:
    case 512:
    case 513: {
      // 元に戻す, 切り取り, コピー, 貼り付け, 全て選択: the same five slots on every editor.
      auto run = [number](auto* e) {
        if (number == 509) e->undo();
        if (number == 510) e->cut();
        if (number == 511) e->copy();
        if (number == 512) e->paste();
        if (number == 513) e->selectAll();
        return TPropResult::Ok;
      };
      if (auto* e = qobject_cast<QLineEdit*>(w)) return run(e);
      if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return run(e);
      if (auto* e = qobject_cast<QTextEdit*>(w)) return run(e);
#ifdef YUME_HAVE_QSCINTILLA
      if (auto* e = qobject_cast<QsciScintilla*>(w)) return run(e);
#endif
      if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) return run(c->lineEdit());
      return TPropResult::NotForKind;
    }
    case 434: {  // タブ追加
      if (k != pkTabs) return TPropResult::NotForKind;
      static_cast<QTabWidget*>(w)->addTab(new QWidget, Q(arg));
      return TPropResult::Ok;
    }
    case 530: {  // タブ削除
      if (k != pkTabs) return TPropResult::NotForKind;
      auto* t = static_cast<QTabWidget*>(w);
      const int n = Int(arg, -1);
      if (n >= 0 && n < t->count()) {
        QWidget* page = t->widget(n);
        t->removeTab(n);
        delete page;
      }
      return TPropResult::Ok;
    }
    case 437:  // タブ有効変更
      if (k != pkTabs) return TPropResult::NotForKind;
      static_cast<QTabWidget*>(w)->tabBar()->setEnabled(Int(arg) == 1);
      return TPropResult::Ok;
    case 461: {  // タブ位置変更
      if (k != pkTabs) return TPropResult::NotForKind;
      auto* t = static_cast<QTabWidget*>(w);
      const QString where = Q(arg).trimmed();
      if (where == QStringLiteral("上")) t->setTabPosition(QTabWidget::North);
      if (where == QStringLiteral("下")) t->setTabPosition(QTabWidget::South);
      if (where == QStringLiteral("右")) t->setTabPosition(QTabWidget::East);
      return TPropResult::Ok;
    }
    case 449:  // ツリーアイテム追加
      if (k != pkTree) return TPropResult::NotForKind;
      {
        ++quiet_;
        TreeAdd(static_cast<QTreeWidget*>(w), Lines(arg));
        --quiet_;
      }
      return TPropResult::Ok;
    case 450: {  // ツリーアイテム削除
      if (k != pkTree) return TPropResult::NotForKind;
      if (QTreeWidgetItem* it = TreeItem(static_cast<QTreeWidget*>(w), Q(arg).trimmed())) {
        ++quiet_;
        delete it;
        --quiet_;
      }
      return TPropResult::Ok;
    }
    case 451:
    case 452: {  // ツリー展開, ツリー折りたたむ
      if (k != pkTree) return TPropResult::NotForKind;
      auto* t = static_cast<QTreeWidget*>(w);
      const QString path = Q(arg).trimmed();
      if (path.isEmpty()) {
        if (number == 451)
          t->expandAll();
        else
          t->collapseAll();
      } else if (QTreeWidgetItem* it = TreeItem(t, path)) {
        it->setExpanded(number == 451);
      }
      return TPropResult::Ok;
    }
    case 462:  // グリッド一行選択変更
      if (k != pkGrid) return TPropResult::NotForKind;
      static_cast<QTableWidget*>(w)->setSelectionBehavior(Q(arg).trimmed() == QStringLiteral("1")
                                                              ? QAbstractItemView::SelectRows
                                                              : QAbstractItemView::SelectItems);
      return TPropResult::Ok;
    case 463: {  // リッチエディタ選択属性変更
      if (k != pkRich) return TPropResult::NotForKind;
      auto* r = static_cast<QTextEdit*>(w);
      const QStringList parts = Q(arg).split(QLatin1Char('|'));
      QTextCharFormat f;
      if (!parts.value(0).trimmed().isEmpty())
        f.setFontFamilies({MapFontFamily(parts[0].trimmed())});
      const QString style = parts.value(1);
      f.setFontWeight(style.contains(QStringLiteral("太字")) ? QFont::Bold : QFont::Normal);
      f.setFontItalic(style.contains(QStringLiteral("斜体")));
      f.setFontUnderline(style.contains(QStringLiteral("下線")));
      const int size = Int(Cp(parts.value(parts.size() >= 4 ? 2 : 1)), 0);
      if (size > 0) f.setFontPointSize(size);
      r->textCursor().mergeCharFormat(f);
      return TPropResult::Ok;
    }
    case 315: {  // 母艦アイコン: an icon file, or the picture of an image part
      QIcon icon;
      if (!arg.empty()) {
        icon = QIcon(Q(arg));
      } else if (TSurface* s = Surfaces().Get(index)) {
        icon = QIcon(QPixmap::fromImage(s->Image));
      } else if (!p.Picture.isNull()) {
        icon = QIcon(p.Picture);
      }
      if (icon.isNull() || icon.availableSizes().isEmpty()) return TPropResult::Failed;
      QApplication::setWindowIcon(icon);
      if (main_) main_->setWindowIcon(icon);
      return TPropResult::Ok;
    }
    case 482: {  // リッチエディタ保存: HTML (.htm, .html) or plain Shift_JIS text
      if (k != pkRich) return TPropResult::NotForKind;
      auto* r = static_cast<QTextEdit*>(w);
      QFile f(Q(arg));
      if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return TPropResult::Failed;
      const QString ext = QFileInfo(f.fileName()).suffix().toLower();
      const std::string bytes = ext == QStringLiteral("htm") || ext == QStringLiteral("html")
                                    ? r->toHtml().toStdString()
                                    : Cp(r->toPlainText());
      return f.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                     static_cast<qint64>(bytes.size())
                 ? TPropResult::Ok
                 : TPropResult::Failed;
    }
#ifdef YUME_HAVE_QSCINTILLA
    case 402:  // Tエディタ設定: the settings as key=value lines, or (arg) lines to apply
      if (k != pkTEditor) return TPropResult::NotForKind;
      if (arg.empty())
        result = Cp(EditorSettings(static_cast<QsciScintilla*>(w)));
      else
        ApplyEditorSettings(static_cast<QsciScintilla*>(w), Q(arg));
      return TPropResult::Ok;
    case 403:
    case 404: {  // Tエディタ設定を保存 / 読込: key=value lines, UTF-8
      if (k != pkTEditor) return TPropResult::NotForKind;
      auto* e = static_cast<QsciScintilla*>(w);
      QFile f(Q(arg));
      if (number == 403) {
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return TPropResult::Failed;
        return f.write(EditorSettings(e).toUtf8()) >= 0 ? TPropResult::Ok : TPropResult::Failed;
      }
      if (!f.open(QIODevice::ReadOnly)) return TPropResult::Failed;
      ApplyEditorSettings(e, QString::fromUtf8(f.readAll()));
      return TPropResult::Ok;
    }
#else
    case 402:
    case 403:
    case 404:
      return TPropResult::NotForKind;
#endif
    case 339:  // メッセージ送信
      return SendMessage(index, arg, result);
    case 435:  // ブラウザ進む
    case 436:  // ブラウザ戻る
      if (k != pkBrowser) return TPropResult::NotForKind;
      p.Browser->Go(number == 435 ? 1 : -1);
      return TPropResult::Ok;
    case 540: {  // ブラウザHTML取得
      if (k != pkBrowser) return TPropResult::NotForKind;
      QString html;
      if (!p.Browser->Html(html, kBrowserWait)) {
        lastError_ = BrowserError(*p.Browser);
        return TPropResult::Failed;
      }
      result = Cp(html);
      return TPropResult::Ok;
    }
    case 541:  // ブラウザHTML書く
      if (k != pkBrowser) return TPropResult::NotForKind;
      if (!p.Browser->WriteHtml(Q(arg), kBrowserWait)) {
        lastError_ = BrowserError(*p.Browser);
        return TPropResult::Failed;
      }
      return TPropResult::Ok;
    default:
      return TPropResult::NotForKind;
  }
}

// The window messages scripts send to parts, done with the widgets: texts, selections, the
// editing commands, scrolling, the items of lists and combos, closing a form. arg is
// "message<TAB>wparam<TAB>N|T<TAB>lparam" (T: lparam is a text); result the number, and after a
// tab the text a message wrote into the script's buffer. A message meant for other kinds of
// window gives 0, as a window that ignores it would.
TPropResult TQtParts::SendMessage(int index, const std::string& arg, std::string& result) {
  TPart& p = *Part(index);
  QWidget* w = p.W;
  const int k = p.Kind;
  const QStringList f = Q(arg).split(QLatin1Char('\t'));
  if (f.size() < 4) return TPropResult::Failed;
  const long long msg = f[0].toLongLong(), wparam = f[1].toLongLong();
  const QString lparamText = f.mid(3).join(QLatin1Char('\t'));
  const long long lparam = f[2] == QStringLiteral("N") ? lparamText.toLongLong() : 0;
  const bool text = k == pkEdit || k == pkCombo || k == pkMemo || k == pkRich || k == pkTEditor;
  const bool items = k == pkList || k == pkCombo || k == pkRadio;
  std::string v, none;
  long long r = 0;
  switch (msg) {
    case 0x000C:  // WM_SETTEXT
      r = Set(index, 4, Cp(lparamText)) == TPropResult::Ok ? 1 : 0;
      break;
    case 0x000D:    // WM_GETTEXT: at most wparam - 1 bytes, whole characters
    case 0x000E: {  // WM_GETTEXTLENGTH
      if (Get(index, 4, v) != TPropResult::Ok) v.clear();
      if (msg == 0x000D) {
        const QString all = Q(v);
        v = Cp(all.left(CharOffset(all, static_cast<int>(std::max(0LL, wparam - 1)))));
        result = Num(static_cast<long long>(v.size())) + "\t" + v;
        return TPropResult::Ok;
      }
      r = static_cast<long long>(v.size());
      break;
    }
    case 0x0010:  // WM_CLOSE: a form closes as by its close box
      if (k == pkForm && index > 0 && w && w->isVisible()) CloseRequested(index);
      break;
    case 0x0300:  // WM_CUT, WM_COPY, WM_PASTE, WM_UNDO
    case 0x0301:
    case 0x0302:
    case 0x0304: {
      const int command = msg == 0x0300 ? 510 : msg == 0x0301 ? 511 : msg == 0x0302 ? 512 : 509;
      r = Command(command, index, {}, none) == TPropResult::Ok && msg == 0x0304 ? 1 : 0;
      break;
    }
    case 0x0303:  // WM_CLEAR
      if (text) Set(index, 40, {});
      break;
    case 0x00B0: {  // EM_GETSEL: start and end in bytes, packed
      if (!text) break;
      std::string start, len;
      Get(index, 43, start);
      Get(index, 44, len);
      const long long s = Int(start), e = s + Int(len);
      r = (s & 0xFFFF) | ((e & 0xFFFF) << 16);
      break;
    }
    case 0x00B1: {  // EM_SETSEL: from wparam to lparam (-1: the end); wparam -1 deselects
      if (!text) break;
      std::string all, start;
      Get(index, 4, all);
      if (wparam < 0) {
        Get(index, 43, start);
        Set(index, 43, start);
        break;
      }
      const long long end = lparam < 0 || lparam > static_cast<long long>(all.size())
                                ? static_cast<long long>(all.size())
                                : lparam;
      const long long from = std::min<long long>(wparam, all.size());
      Set(index, 43, Num(std::min(from, end)));
      Set(index, 44, Num(std::abs(end - from)));
      break;
    }
    case 0x00C2:  // EM_REPLACESEL
      if (text) Set(index, 40, Cp(lparamText));
      break;
    case 0x00CF:  // EM_SETREADONLY
      if (text) r = Set(index, 23, wparam ? "0" : "1") == TPropResult::Ok ? 1 : 0;
      break;
    case 0x00BA:  // EM_GETLINECOUNT
      if (k == pkEdit || k == pkCombo) {
        r = 1;
      } else if (text) {
        Get(index, 4, v);
        r = Q(v).count(QLatin1Char('\n')) + 1;
      }
      break;
    case 0x00B6:    // EM_LINESCROLL: lparam lines down (negative: up)
    case 0x00B7:    // EM_SCROLLCARET
    case 0x0115: {  // WM_VSCROLL: line, page, top, bottom
      auto* area = qobject_cast<QAbstractScrollArea*>(w);
      if (!area) break;
      if (msg == 0x00B7) {
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->ensureCursorVisible();
        if (auto* e = qobject_cast<QTextEdit*>(w)) e->ensureCursorVisible();
        r = 1;
        break;
      }
      QScrollBar* bar = area->verticalScrollBar();
      if (msg == 0x00B6) {
        const int line = qobject_cast<QPlainTextEdit*>(w) ? 1 : area->fontMetrics().lineSpacing();
        bar->setValue(bar->value() + static_cast<int>(lparam) * line);
        r = 1;
        break;
      }
      // SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, -, -, SB_TOP, SB_BOTTOM
      static constexpr QAbstractSlider::SliderAction kActions[] = {
          QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd,
          QAbstractSlider::SliderPageStepSub,   QAbstractSlider::SliderPageStepAdd,
          QAbstractSlider::SliderNoAction,      QAbstractSlider::SliderNoAction,
          QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum};
      const long long code = wparam & 0xFFFF;
      if (code < 8) bar->triggerAction(kActions[code]);
      break;
    }
    case 0x018B:  // LB_GETCOUNT, CB_GETCOUNT
    case 0x0146:
      if (items) r = ItemsOf(p).size();
      break;
    case 0x0188:  // LB_GETCURSEL, CB_GETCURSEL
    case 0x0147:
      if (items) {
        Get(index, 6, v);
        r = Int(v, -1);
      }
      break;
    case 0x0186:  // LB_SETCURSEL, CB_SETCURSEL: -1 (LB_ERR) past the end
    case 0x014E:
      if (items) {
        const long long count = ItemsOf(p).size();
        r = wparam >= 0 && wparam < count ? wparam : -1;
        if (r >= 0) Set(index, 6, Num(wparam));
      }
      break;
    default:
      lastError_ = Cp(QStringLiteral("メッセージ%1は、この環境では扱えません。").arg(msg));
      return TPropResult::Failed;
  }
  result = Num(r);
  return TPropResult::Ok;
}

void TQtParts::CloseRequested(int index) {
  TPart* p = Part(index);
  if (!p || !p->W) return;
  if (p->Modal) {
    // ダイアログ表示 disabled the mothership while the form was open.
    p->Modal = false;
    p->W->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    if (main_) main_->setEnabled(true);
  }
  p->W->hide();
  // The event entry (slot 10) is what the model hears a form close by.
  if (events_ && quiet_ == 0) events_->PartEvent(index, psClose, {});
}

void TQtParts::ShowForm(int index, bool modal) {
  TPart* p = Part(index);
  if (!p || !p->W || p->Kind != pkForm) return;
  if (modal && index != 0) {
    p->Modal = true;
    if (main_) main_->setEnabled(false);
    p->W->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    p->W->setEnabled(true);
  }
  p->W->show();
  p->W->raise();
}

void TQtParts::CloseForm(int index) {
  TPart* p = Part(index);
  if (!p || !p->W || p->Kind != pkForm || index == 0) return;
  if (p->W->isVisible()) p->W->close();
}

bool TQtParts::FormVisible(int index) {
  TPart* p = Part(index);
  return p && p->W && p->W->isVisible();
}

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

void TQtParts::ProcessEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtParts::Post(std::function<void()> fn) {
  QTimer::singleShot(1, this, std::move(fn));
}

}  // namespace yume
