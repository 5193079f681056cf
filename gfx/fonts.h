// Font names that scripts and forms use, mapped to fonts installed on Linux.
#pragma once

#include <QFont>
#include <QString>

namespace yume {

// The installed family standing in for a font name ("ＭＳ ゴシック" -> a fixed-pitch Japanese
// Gothic, "ＭＳ Ｐゴシック" -> its proportional twin); other names are kept.
QString MapFontFamily(const QString& name);

// A font of the mapped family with a pixel size.
QFont MakeFont(const QString& name, int pixelSize);

}  // namespace yume
