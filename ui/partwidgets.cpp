// TQtParts: making the parts' widgets and menus, their places and alignment (レイアウト), the
// events they report, forms, and taking parts down. Properties, commands and a person's actions
// are in partwidgets_props.cpp, partwidgets_commands.cpp and partwidgets_actions.cpp.
#include "ui/partwidgets.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
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
#include "ui/partwidgets_internal.h"

namespace yume {

// The helpers the partwidgets files share (ui/partwidgets_internal.h).
namespace qtparts {

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

int Int(const std::string& s, int def) {
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

QColor ToQColor(long long c) {
  return QColor(static_cast<int>(c & 0xff), static_cast<int>((c >> 8) & 0xff),
                static_cast<int>((c >> 16) & 0xff));
}

// Why a browser could not read or write its document.
std::string BrowserError(const TBrowserView& b) {
  return Cp(b.Blocked()
                ? QStringLiteral(
                      "ブラウザの移動前や新規ウインドウの処理の中では、文書を読み書きできません。")
            : b.Alive() ? QStringLiteral("ブラウザの文書が、時間内に読み込まれませんでした。")
                        : QStringLiteral("ブラウザの表示プロセスが終了しています。"));
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

void SetPlainText(QWidget* w, const QString& text) {
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->setPlainText(text);
  if (auto* e = qobject_cast<QTextEdit*>(w)) e->setPlainText(text);
#ifdef YUME_HAVE_QSCINTILLA
  if (auto* e = qobject_cast<QsciScintilla*>(w)) e->setText(text);
#endif
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

}  // namespace qtparts

using namespace qtparts;

namespace {

const char kIndexProperty[] = "yumePart";

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

TQtParts::TPart* TQtParts::LivePart(int index) {
  TPart* p = Part(index);
  return p && (p->Kind != pkBrowser || p->W) ? p : nullptr;
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
  TQuiet quiet(quiet_);
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

void TQtParts::Hide(int index) {
  TPart* p = Part(index);
  if (!p || index == 0) return;
  TQuiet quiet(quiet_);
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
  TQuiet quiet(quiet_);
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

void TQtParts::ProcessEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtParts::Post(std::function<void()> fn) {
  QTimer::singleShot(1, this, std::move(fn));
}

}  // namespace yume
