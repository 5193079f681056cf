// Source preparation: the script as written becomes the working text the executor scans.
//
// Outside string literals full-width characters become ASCII ("。" -> ";", "「" -> '"'),
// comments disappear, and every line break is followed by a line marker "n:" carrying the
// number of the line it ends. Label definitions are then collected into the dictionary,
// each pointing into the working text, which must therefore stay unchanged while it runs.
#pragma once

#include <string>
#include <string_view>

namespace yume {

class TYumeBase;

// A script file's bytes as script text: Shift_JIS or UTF-8 to CP932, every line break CR LF and
// every line (the last too) ending in one, nothing after a zero byte.
std::string ScriptFileText(std::string_view raw);

// Replaces text by its working form. Raises an interpreter error naming the line where a
// brace comment, string or here-document was opened and never closed.
void PrepareSource(TYumeBase& y, std::string& text);

// Enters a label word for every "*name" line of the working text (which must outlive the
// words). Raises when a label name is already a word.
void CollectLabels(TYumeBase& y, const std::string& text, std::string_view fileName);

}  // namespace yume
