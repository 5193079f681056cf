#include "gfx/fonts.h"

namespace yume {

QString MapFontFamily(const QString& name) {
  if (name == QStringLiteral("ＭＳ ゴシック") || name == QStringLiteral("MS Gothic"))
    return QStringLiteral("IPAGothic");
  if (name == QStringLiteral("ＭＳ Ｐゴシック") || name == QStringLiteral("MS PGothic") ||
      name == QStringLiteral("ＭＳ ＵＩ ゴシック"))
    return QStringLiteral("IPAPGothic");
  if (name == QStringLiteral("ＭＳ 明朝") || name == QStringLiteral("ＭＳ Ｐ明朝"))
    return QStringLiteral("IPAMincho");
  return name;
}

QFont MakeFont(const QString& name, int pixelSize) {
  QFont f(MapFontFamily(name));
  f.setPixelSize(pixelSize);
  return f;
}

}  // namespace yume
