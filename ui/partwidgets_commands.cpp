// TQtParts: the commands scripts give parts (Command) and the window messages they send them
// (SendMessage).
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <cmath>

#include "ui/partwidgets.h"

#ifdef YUME_HAVE_QSCINTILLA
#include <Qsci/qsciscintilla.h>
#endif

#include "gfx/fonts.h"
#include "gfx/surface.h"
#include "ui/partwidgets_internal.h"

namespace yume {

using namespace qtparts;

#ifdef YUME_HAVE_QSCINTILLA
namespace {

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

}  // namespace
#endif

TPropResult TQtParts::Command(int number, int index, const std::string& arg, std::string& result) {
  TPart* pp = LivePart(index);
  if (!pp) return TPropResult::Failed;
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

}  // namespace yume
