// Answer lines for the dialogs (--answers): what a line means to each dialog. Plain text
// work, no widgets, so that any host answering from a file reads the lines the same way.
// Lines and results are CP932.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/host.h"

namespace yume {

// 二択 / 三択: "はい" "y" "1" -> 1; "キャンセル" "c" "2" -> 2 when withCancel; anything
// else -> 0.
int YesNoAnswer(const std::string& line, bool withCancel);

// Index (0-based) of the list item a line picks: a number N from 1 to the item count picks item
// N, else the item equal to the line; -1 when neither.
int ListAnswerIndex(const std::string& line, const std::vector<std::string>& items);

// どれか尋ねる / リストから選択: the answer text. A line naming no item gives the first item,
// unless the list is editable and the line not empty (it is then typed in).
std::string ListAnswer(const std::string& line, const std::vector<std::string>& items,
                       bool editable);

// ボタンで選択: index of the button a line presses (its caption, else a 1-based number); the
// first button when the line names none, -1 when there are no buttons.
int ButtonAnswerIndex(const std::string& line, const std::vector<std::string>& captions);

// A one-line answer standing for several lines: every "\n" becomes CR LF.
std::string MultiLineAnswer(const std::string& line);

// 項目記入: the line's key=value pairs (after MultiLineAnswer) give the rows with those keys
// their values; other rows keep theirs.
void ApplyItemAnswer(const std::string& line, TItemList& items);
// Every row as "key=value" CR LF.
std::string JoinItemRows(const TItemList& items);

// 色選択: a decimal number, "$" + hex, or "#RRGGBB", as a colour with red in the low byte.
bool ColorAnswer(const std::string& line, uint32_t& color);

// フォント選択: "name|styles|size" (styles of 太字 斜体 下線; either part may be missing).
// The colour of font is kept.
bool FontAnswer(const std::string& line, TDialogFont& font);

// Splits at every "|" (never a second byte), dropping empty pieces.
std::vector<std::string> SplitBars(const std::string& text);

// A picker filter "name|pattern|name|pattern…" as (name, patterns) pairs; the patterns keep
// their ";" separators. A name without its pattern gets "*".
std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& filter);

}  // namespace yume
