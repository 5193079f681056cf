// Answer lines (--answers) for the dialogs whose reading core/answers.h does not hold yet: the
// list, the file and folder pickers. They read a line as the console program does; plain text
// work, no widgets. Lines and results are CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yume {

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

// The values of ItemsAnswer's key=value lines, row by row (a value may hold "=").
std::vector<std::string> ItemValues(std::string_view keyValueLines,
                                    const std::vector<std::string>& keys);

// A picker filter "name|pattern|name|pattern…" as (name, patterns) pairs; the patterns keep
// their ";" separators. A name without its pattern gets "*".
std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& filter);

}  // namespace yume
