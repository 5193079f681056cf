// The text work of the drawing commands, apart from any surface: the lines 表示 prints, the
// style names, the picture formats.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yume {

// The lines 表示 draws: a text of up to 4096 bytes with its tabs expanded and its line breaks
// normalised; a longer one cut to its first 4096 bytes (never inside a two-byte character)
// without expansion. An empty text is one empty line; a final line break adds none.
std::vector<std::string> PrintLinesOf(std::string_view text, int tabWidth);

// The lines of a text (CR LF, CR or LF), tabs expanded.
std::vector<std::string> TextLines(std::string_view text, int tabWidth);

// ペンスタイル設定 / 塗りスタイル設定: the style number of a name (0 for a name not known).
int PenStyleOf(std::string_view name);
int BrushStyleOf(std::string_view name);

// The lower-case extension of a file name without its dot ("" when there is none).
std::string LowerExt(std::string_view name);

// 画像対応形式取得: our formats, then the further ones, "*.EXT" each, joined by ";".
std::string SupportedPatterns(const std::vector<std::string>& extra);

// The format word of イメージデータ設定 as an extension ("" when not supported).
std::string DataFormatExt(std::string_view word);

}  // namespace yume
