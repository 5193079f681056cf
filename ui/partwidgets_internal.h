// What the files of TQtParts (partwidgets*.cpp) share: what the host keeps of a part, the text
// and number conversions between scripts and widgets, and the helpers of the kinds handled in
// more than one of them.
#pragma once

#include <QAction>
#include <QButtonGroup>
#include <QColor>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "ui/browserpart.h"
#include "ui/partwidgets.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace yume {

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

namespace qtparts {

// CP932 text (CR LF line breaks) to Qt's (LF) and back.
QString Q(const std::string& cp932);
std::string Cp(const QString& text);
// A number as scripts write it, truncated to an int; def when it is none.
int Int(const std::string& s, int def = 0);
std::string Num(long long n);
// Lines of a CP932 text (CR LF, LF or CR), the last one dropped when empty.
QStringList Lines(const std::string& text);
// A colour as scripts hold it (red in the low byte).
QColor ToQColor(long long c);

// Tree nodes by their paths ("parent\\child"), and by their place in node order.
QString TreePath(QTreeWidgetItem* item);
QTreeWidgetItem* TreeItem(QTreeWidget* t, const QString& path);
// Adds each line's path, creating the levels not there yet.
void TreeAdd(QTreeWidget* t, const QStringList& lines);
int TreeAbsoluteIndex(QTreeWidget* t, QTreeWidgetItem* target);
QTreeWidgetItem* TreeItemAt(QTreeWidget* t, int index);

// The text of the multi-line kinds (memo, rich edit, programmer's editor).
void SetPlainText(QWidget* w, const QString& text);

// Byte offsets in CP932 (scripts count 選択位置 in bytes) and character offsets.
int ByteOffset(const QString& text, int chars);
int CharOffset(const QString& text, int bytes);

// The items of the list-like kinds.
QStringList ItemsOf(TQtParts::TPart& p);

// Holds the host's events back while it changes its own widgets.
struct TQuiet {
  int& quiet;
  explicit TQuiet(int& q) : quiet(q) { ++quiet; }
  ~TQuiet() { --quiet; }
};

// Lets events through while the host waits with the event loop running (a browser's page),
// however quiet the change that waits was.
struct TLoud {
  int& quiet;
  int saved;
  explicit TLoud(int& q) : quiet(q), saved(q) { quiet = 0; }
  ~TLoud() { quiet = saved; }
};

// Why a browser could not read or write its document.
std::string BrowserError(const TBrowserView& b);

// How long a browser command waits for the page it reads, in milliseconds.
constexpr int kBrowserWait = 15000;

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

}  // namespace qtparts

}  // namespace yume
