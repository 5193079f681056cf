// The work of the array and table commands, on top of the table engine: arrays (texts whose
// lines are the elements), pickups, the condition language of 表条件抽出, joins, column
// statistics and replacement in a column. Nothing here knows the interpreter.
//
// "Data rows" are the rows from 1 when `field_names` is given (row 0 holds the field names),
// else from 0. Tables only read take the setting as an argument, so that one table read from
// text serves commands with either setting.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "table/csvdb.h"

namespace yume {

// ---- arrays ----

// The lines of a text, split at CR LF, CR or LF; a final break starts no further line, and an
// empty text has none. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLines(std::span<const std::string_view> lines);

// Case-insensitive order: ASCII and full-width letters folded to lower case, then UTF-16 code
// units; lines that compare equal keep their order.
void SortLinesCollated(std::vector<std::string_view>& lines);
// By the lenient number reading of each line (-1, 0, +1 on the numbers themselves); lines of
// equal numbers keep their order.
void SortLinesByNumber(std::vector<std::string_view>& lines);

// Whether a pickup key is a wildcard pattern rather than a text to look for.
bool IsWildKey(std::string_view key);

// The lines of `text` that match `key` as a wildcard pattern (IsWildKey) or contain it
// (Shift_JIS-aware), each followed by CR LF; with skip_first the first line is left out. An
// empty key selects nothing. Throws EWildcard for a faulty pattern.
std::string PickupLines(std::string_view text, std::string_view key, bool skip_first);

// ---- rows picked from a table ----

// Row 0 with field names, then every data row whose cell `col` passes: with `exact` equal to
// the key, otherwise containing it (Shift_JIS-aware); either way a key with "*", "?" or "["
// must match the whole cell as a wildcard pattern. Throws EWildcard.
std::vector<int> PickupRows(const TCsvDb& db, int col, std::string_view key, bool exact,
                            bool field_names);
// The rows given, in that order, written as comma-separated text / copied into a new table.
std::string RowsCsvText(const TCsvDb& db, std::span<const int> rows);
TCsvDb RowsTable(const TCsvDb& db, std::span<const int> rows);

// ---- the condition language ----

// A fault of a condition; the message is CP932 text for the script's error line.
class ESelect : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Made half-width (as source preparation does), "," read as a blank, "または " and "かつ " as
// "OR " and "AND ".
std::string PrepareCondition(std::string_view condition);
// The rows of a table (row 0 holding the field names) that satisfy a prepared condition,
// row 0 first; none for a blank condition. Field names and cells are compared in their
// half-width form, but the rows themselves are left as they are. Throws ESelect.
std::vector<int> SelectRows(const TCsvDb& db, std::string_view condition);
// The simple mask: "*" any run, "?" one character (or nothing at the end of the text); ASCII
// letters compared without case.
bool MaskMatch(std::string_view text, std::string_view mask);

// ---- joining ----

// For every data row of `a`, the first data row of `b` whose cell `col_b` (any cell when
// `col_b` is negative) equals a's cell `col_a` gives its cells other than `col_b`, written after
// a's columns (from a's width before the join). With field names, b's field names other than
// `col_b` are added to a's row 0 the same way. Rows without a partner are left as they are.
void JoinByKey(TCsvDb& a, int col_a, const TCsvDb& b, int col_b, bool field_names);

// ---- columns ----

// The numbers in column `col` of the data rows (lenient reading; empty cells read as 0).
long double ColumnMax(const TCsvDb& db, int col, bool field_names);
// From the first data row's value, then the smaller value of every non-empty cell.
long double ColumnMin(const TCsvDb& db, int col, bool field_names);
long double ColumnSum(const TCsvDb& db, int col, bool field_names);
// The sum over the number of data rows; 0 when there are none.
long double ColumnAverage(const TCsvDb& db, int col, bool field_names);

// In every row, every occurrence of `what` in cell `col` replaced by `with`, left to right and
// never inside a two-byte character; a short row is padded up to the column. An empty `what`
// changes nothing.
void ReplaceInColumn(TCsvDb& db, int col, std::string_view what, std::string_view with);

// Cell `col` of every row followed by CR LF.
std::string ColumnLines(const TCsvDb& db, int col);

}  // namespace yume
