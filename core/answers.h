// A dialog answered with a line of text: typed on the terminal by the console program, or taken
// from an answers file (--answers) by either program. Each dialog reads the line its own way;
// these are those ways, shared by both hosts. Lines are CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dialoghost.h"

namespace yume {

// 二択/三択: 1 yes, 0 no, 2 cancel (only withCancel); nullopt for a line that is no answer.
// Accepted: はい/いいえ/キャンセル, y/n/c (any case), yes/no/cancel, 1/0/2.
std::optional<int> YesNoAnswer(std::string_view line, bool withCancel);

// A choice among items: a number N (1-based, in range) is item N; otherwise the text itself
// when it names an item, or (when anyText) any text. nullopt when it fits neither.
std::optional<std::string> ChoiceAnswer(std::string_view line,
                                        const std::vector<std::string>& items, bool anyText);

// A multi-line answer written on one line: "\n" (backslash, n) stands for a line break (CR LF)
// and "\\" for a backslash. Stepped by characters ("表" ends in the byte of "\").
std::string MultiLineAnswer(std::string_view line);

// 項目記入: key=value lines applied to the rows (matching keys take the value; others keep
// theirs); the result is every row as key=value lines.
std::string ItemsAnswer(std::string_view line, const TItemList& items);

// 色選択: a decimal number, "$" + hexadecimal, or "#RRGGBB"; red in the low byte.
std::optional<uint32_t> ColorAnswer(std::string_view line);

// フォント選択: "name|styles|size" (styles made of 太字, 斜体, 下線; either bar).
std::optional<TDialogFont> FontAnswer(std::string_view line);

// 読込ファイル選択: names separated by "|".
std::vector<std::string> FilesAnswer(std::string_view line);

// どれか尋ねる / リストから選択: nothing typed takes the first item (as OK with nothing chosen
// does); else a number or an item, or any text when the list may be typed in. nullopt for a
// line that is no answer.
std::optional<std::string> ListAnswer(std::string_view line, const std::vector<std::string>& items,
                                      bool editable);

// 読込ファイル選択: the names (an empty line takes the initial name), made absolute against the
// current folder, where the picker starts. Empty when none is given.
std::vector<std::string> OpenFilesAnswer(std::string_view line, const std::string& initial);

// 書込ファイル選択: the name (or the initial one), with the default extension when it has none,
// made absolute. nullopt when no name is given.
std::optional<std::string> SaveFileAnswer(std::string_view line, const std::string& initial,
                                          const std::string& defaultExt);

// フォルダ選択: the folder (an empty line takes the start), made absolute.
std::string FolderAnswer(std::string_view line, const std::string& start);

}  // namespace yume
