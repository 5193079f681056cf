#include "ui/dialogstyle.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "gfx/fonts.h"
#include "ui/dialoganswers.h"
#include "ui/windowhost.h"

namespace yume {

int PointsToPixels(int points) {
  return (points * 96 + 36) / 72;
}

void InitForm(QDialog* form, const char* name, const QString& caption, QSize fixedSize,
              Qt::WindowFlags extraButtons) {
  form->setObjectName(QString::fromLatin1(name));
  form->setWindowTitle(caption);
  Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | extraButtons;
  if (fixedSize.isValid()) flags |= Qt::MSWindowsFixedSizeDialogHint;
  form->setWindowFlags(flags);
  form->setFont(MakeFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  if (fixedSize.isValid()) form->setFixedSize(fixedSize);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& place) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(place);
  return b;
}

QFont DialogFont(const TDialogFont& font) {
  QFont f = MakeFont(WidgetText(font.Name), PointsToPixels(font.Size > 0 ? font.Size : 9));
  f.setBold(font.Bold);
  f.setItalic(font.Italic);
  f.setUnderline(font.Underline);
  return f;
}

void ApplyDialogFont(QWidget* w, const TDialogFont& font, QPalette::ColorRole role) {
  if (font.Name.empty()) return;
  w->setFont(DialogFont(font));
  QPalette pal = w->palette();
  pal.setColor(role, ColorFromBgr(font.Color));
  w->setPalette(pal);
}

void ApplyIme(QWidget* w, int ime) {
  w->setInputMethodHints(ime == 0 ? Qt::ImhPreferLatin : Qt::ImhNone);
}

void CentreOnScreen(QWidget* w) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  w->move(area.left() + (area.width() - w->width()) / 2,
          area.top() + (area.height() - w->height()) / 2);
}

void PlaceDialog(QWidget* w, const TDialogStyle& style, const QString& fallbackTitle) {
  w->setWindowTitle(style.Title.empty() ? fallbackTitle : WidgetText(style.Title));
  if (style.Left == 0 && style.Top == 0 && style.Right == 0 && style.Bottom == 0) return;
  w->move(style.Left, style.Top);
  if (style.Right > 0 && style.Bottom > 0) {
    const QSize size(style.Right - style.Left + 1, style.Bottom - style.Top + 1);
    if (w->minimumSize() == w->maximumSize()) {
      w->setFixedSize(size);  // a single-border form keeps its size fixed, only a new one
    } else {
      w->resize(size);
    }
  }
}

QColor ColorFromBgr(uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

uint32_t BgrFromColor(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

QStringList NameFilters(const std::string& filter) {
  QStringList out;
  for (const auto& [name, patterns] : ParseFileFilter(filter)) {
    QString pats = WidgetText(patterns);
    pats.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString label = WidgetText(name);
    // Qt reads the patterns from the parentheses that end the label.
    const QString tail = QLatin1Char('(') + pats + QLatin1Char(')');
    out << (label.endsWith(tail) ? label
            : label.isEmpty()    ? tail
                                 : label + QLatin1Char(' ') + tail);
  }
  return out;
}

}  // namespace yume
