// What every dialog form shares: the script's drawing font, the IME wish, centring and the
// placement rectangle, colours and file filters in Qt's terms.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStringList>
#include <cstdint>

#include "core/dialoghost.h"

class QDialog;
class QPushButton;
class QWidget;

namespace yume {

// Layouts count in pixels at 96 dots per inch, as the forms were drawn; a font size in points
// becomes pixels on that scale.
int PointsToPixels(int points);

// The start every form shares: its name, caption, window buttons and the forms' font
// ("ＭＳ Ｐゴシック" 9 pt); a non-empty fixedSize makes a single border of that client size.
void InitForm(QDialog* form, const char* name, const QString& caption, QSize fixedSize,
              Qt::WindowFlags extraButtons = {});

// A push button with its name and place.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& place);

// The drawing font of a dialog style as a Qt font (mapped family, pixel size).
QFont DialogFont(const TDialogFont& font);

// Gives a widget the drawing font and its colour (in the colour role its text uses); a font
// without a name leaves the widget as it is.
void ApplyDialogFont(QWidget* w, const TDialogFont& font,
                     QPalette::ColorRole role = QPalette::WindowText);

// The IME wish of an input field (0 closed, else open). Linux input methods only take hints.
void ApplyIme(QWidget* w, int ime);

// Centres a top-level widget on the primary screen.
void CentreOnScreen(QWidget* w);

// The placing step after a dialog's own layout: the title (fallback when the style has none)
// and the dialog rectangle.
void PlaceDialog(QWidget* w, const TDialogStyle& style, const QString& fallbackTitle);

QColor ColorFromBgr(uint32_t bgr);
uint32_t BgrFromColor(const QColor& c);

// A picker filter "name|pattern|…" as Qt name filters ("name (patterns)"); an empty filter
// gives no filters.
QStringList NameFilters(const std::string& filter);

}  // namespace yume
