// The text work of the dialog commands, apart from any dialog: preparing a message, splitting
// choices, building file filters, reading the key/value list, writing a font specification.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dialoghost.h"

namespace yume {

// A message longer than 4095 bytes is cut there (never inside a two-byte character) and "..."
// is added.
std::string CutMessage(std::string_view text);

// Tabs become spaces up to the next multiple of tabWidth (a two-byte character takes two
// columns); CR, LF and the pairs CR LF, LF CR, CR CR, LF LF each become one CR LF.
std::string ExpandTabs(std::string_view text, int tabWidth);

// どれか尋ねる / リストから選択: "｜" and "|" separate items as line breaks do.
std::vector<std::string> ListChoices(std::string_view text);

// ボタンで選択: the choices trimmed as a whole, one per line, at most 50.
std::vector<std::string> ButtonChoices(std::string_view text);

// A file filter: an argument with "|" as it is; else ext (a leading "." removed) becomes
// ext + " 形式(*." + ext + ")|*." + ext + "|全て(*.*)|*.*".
std::string FileFilter(std::string_view arg);

// The default extension of a save picker: the filter's second field without a leading "*" and
// then a leading ".".
std::string DefaultExtension(std::string_view filter);

// The key/value list of 項目記入 (see TItemList); the titles default to 項目 and 値.
TItemList ParseItemList(std::string_view text);

// フォント選択's answer: name, then "|" + 太字/斜体/下線 when any style is set, then "|" + size
// (with an extra "|" when no style is set): "Name||12", "Name|太字斜体|12".
std::string FontSpecText(const TDialogFont& f);

// The drawing font of 文字書体 / 文字サイズ / 文字色: name, style words and size separated by "|"
// or "｜"; a size that is not positive takes sizeVar (12 when it is not a number either).
TDialogFont DrawingFont(std::string_view spec, std::string_view sizeVar, std::string_view colorVar);

}  // namespace yume
