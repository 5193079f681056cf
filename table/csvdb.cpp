#include "table/csvdb.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_set>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "core/sjis.h"
#include "table/wildcard.h"

namespace yume {

namespace {

// One write may grow a table by at most this many rows or cells: a wild index (say 2^31 - 1)
// fails as an error instead of exhausting memory.
constexpr size_t kMaxGrowth = size_t{1} << 24;

void CheckGrowth(size_t current, size_t wanted) {
  if (wanted > current && wanted - current > kMaxGrowth)
    throw std::length_error("table index too large (" + std::to_string(wanted - 1) + ")");
}

bool IsBlank(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) > 0x20) return false;
  return true;
}

std::string_view TrimView(const char* p, size_t n) {
  size_t b = 0, e = n;
  while (b < e && static_cast<unsigned char>(p[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(p[e - 1]) <= 0x20) --e;
  return std::string_view(p + b, e - b);
}

// The reader's delimiters: ",", '"', CR and LF. None of them is a lead byte, and in valid text
// none is a second byte either; in any text a delimiter counts only where a character starts.
bool IsDelimiter(char c) {
  return c == ',' || c == '"' || c == '\r' || c == '\n';
}

// True when s[p] starts a character, given that `boundary` (<= p) does. The byte after one
// that cannot lead a two-byte character always starts one, so only the run of possible lead
// bytes right before p matters: p starts a character when that run has even length.
bool StartsCharacter(const char* s, size_t boundary, size_t p) {
  size_t run = 0;
  while (p > boundary && IsLead(s[p - 1])) {
    --p;
    ++run;
  }
  return run % 2 == 0;
}

// Bit k set when s[i + k] is a delimiter, for the (up to) sixteen bytes from i; all sixteen
// in one step where the processor allows.
unsigned DelimiterBits(const char* s, size_t i, size_t n) {
#ifdef __SSE2__
  if (i + 16 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(',')), _mm_cmpeq_epi8(v, _mm_set1_epi8('"'))),
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                     _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
  }
#endif
  unsigned bits = 0;
  for (size_t k = 0; k < 16 && i + k < n; ++k)
    if (IsDelimiter(s[i + k])) bits |= 1u << k;
  return bits;
}

// The first delimiter at or after `from` (a character start) that starts a character; n when
// there is none.
size_t NextDelimiter(const char* s, size_t from, size_t n) {
  for (size_t i = from; i < n; i += 16) {
    for (unsigned bits = DelimiterBits(s, i, n); bits; bits &= bits - 1) {
      const size_t p = i + static_cast<size_t>(__builtin_ctz(bits));
      if (StartsCharacter(s, from, p)) return p;
    }
  }
  return n;
}

// Whether any byte of the text is a delimiter (wherever it stands): the writer quotes such cells.
bool ContainsDelimiter(std::string_view text) {
  for (size_t i = 0; i < text.size(); i += 16)
    if (DelimiterBits(text.data(), i, text.size())) return true;
  return false;
}

class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : s_(text) {}

  bool AtEnd() const { return pos_ >= s_.size(); }

  // Reads one row. The cells are views into the text or into the reader's own space, valid
  // until the next call.
  const std::vector<std::string_view>& ReadRow() {
    refs_.clear();
    scratch_.clear();
    do {
      ReadField();
    } while (pos_ < s_.size() && s_[pos_] != '\r' && s_[pos_] != '\n');
    cells_.clear();
    for (const CellRef& c : refs_)
      cells_.emplace_back((c.owned ? scratch_.data() : s_.data()) + c.offset, c.length);
    if (pos_ < s_.size() && s_[pos_] == '\r') ++pos_;
    if (pos_ < s_.size() && s_[pos_] == '\n') ++pos_;
    return cells_;
  }

 private:
  // A cell is a stretch of the text itself, or (when '""' had to be folded) of scratch_.
  struct CellRef {
    size_t offset, length;
    bool owned;
  };

  void ReadField() {
    const char* s = s_.data();
    const size_t n = s_.size();
    size_t i = pos_;
    while (i < n && s[i] == ' ') ++i;
    bool quoted = false;
    if (i < n && s[i] == '"') {
      quoted = true;
      ++i;
    }
    const size_t start = i;
    size_t segment = i;            // start of the stretch not yet copied to scratch_
    size_t owned_from = SIZE_MAX;  // where this cell starts in scratch_, once folding began
    size_t end = n;
    while (true) {
      i = NextDelimiter(s, i, n);
      if (i >= n) break;
      switch (s[i]) {
        case '\r':
        case '\n':
          if (quoted) {
            ++i;
            continue;
          }
          end = i;
          break;
        case ',':
          if (quoted) {
            ++i;
            continue;
          }
          end = i++;
          break;
        default: {  // '"'
          if (i + 1 < n && s[i + 1] == '"') {
            if (owned_from == SIZE_MAX) owned_from = scratch_.size();
            scratch_.append(s + segment, i + 1 - segment);  // keeps one of the two quotes
            i += 2;
            segment = i;
            continue;
          }
          size_t j = i + 1;
          while (j < n && s[j] == ' ') ++j;
          if (j < n && s[j] != '\r' && s[j] != '\n' && s[j] != ',') {
            ++i;  // an ordinary character
            continue;
          }
          end = i;
          i = j < n && s[j] == ',' ? j + 1 : j;
          break;
        }
      }
      break;
    }
    pos_ = i;
    std::string_view cell;
    if (owned_from == SIZE_MAX) {
      cell = TrimView(s + start, end - start);
      refs_.push_back({static_cast<size_t>(cell.data() - s), cell.size(), false});
    } else {
      scratch_.append(s + segment, end - segment);
      cell = TrimView(scratch_.data() + owned_from, scratch_.size() - owned_from);
      refs_.push_back({static_cast<size_t>(cell.data() - scratch_.data()), cell.size(), true});
    }
  }

  std::string_view s_;
  size_t pos_ = 0;
  std::vector<CellRef> refs_;
  std::vector<std::string_view> cells_;
  std::string scratch_;
};

// A cell is quoted when it holds a delimiter byte (none of which can be the second byte of a
// valid two-byte character, so a plain byte scan is exact), or when it is a row's first cell
// and reads "ID".
void AppendCell(std::string& out, std::string_view cell, bool first) {
  if (!(first && cell == "ID") && !ContainsDelimiter(cell)) {
    out.append(cell);
    return;
  }
  out += '"';
  size_t from = 0;
  for (size_t q = cell.find('"'); q != std::string_view::npos; q = cell.find('"', q + 1)) {
    out.append(cell, from, q + 1 - from);
    out += '"';
    from = q + 1;
  }
  out.append(cell, from);
  out += '"';
}

void AppendRowLine(std::string& out, const TCsvCells* row) {
  if (!row) return;
  // Most rows hold no delimiter at all; their cells need no look of their own.
  const bool plain = !ContainsDelimiter(row->Text());
  for (size_t i = 0; i < row->size(); ++i) {
    if (i) out += ',';
    const std::string_view cell = (*row)[i];
    if (plain && (i || cell != "ID"))
      out.append(cell);
    else
      AppendCell(out, cell, i == 0);
  }
}

size_t ClampFrom(int from_row) {
  return from_row < 0 ? 0 : static_cast<size_t>(from_row);
}

}  // namespace

TCsvDb::TCsvDb() = default;
TCsvDb::~TCsvDb() = default;
TCsvDb::TCsvDb(TCsvDb&&) noexcept = default;
TCsvDb& TCsvDb::operator=(TCsvDb&&) noexcept = default;

void TCsvDb::Clear() {
  rows_.clear();
  arena_.Clear();
}

void TCsvDb::Assign(const TCsvDb& other) {
  if (&other == this) return;
  std::vector<TCsvCells> copy = other.rows_;
  rows_ = std::move(copy);
  arena_.Clear();  // no row is placed in it any more
}

TCsvCells TCsvDb::MakeRow(const std::vector<std::string_view>& cells) {
  size_t bytes = 0;
  for (std::string_view c : cells) bytes += c.size();
  if (bytes > UINT32_MAX || cells.size() > UINT32_MAX)
    throw std::length_error("table row too large");
  TCsvCells row = TCsvCells::Place(arena_.Allocate(TCsvCells::BlockBytes(cells.size(), bytes)),
                                   cells.size(), bytes);
  for (std::string_view c : cells) row.AppendUnchecked(c);
  return row;
}

void TCsvDb::SetCsvText(std::string_view text) {
  Clear();
  // Rows take a head, a word per cell and the cell bytes: about one and a half times the text
  // for ordinary tables; more is taken in further chunks.
  arena_.Expect(text.size() + text.size() / 2 + 256);
  CsvReader reader(text);
  while (!reader.AtEnd()) rows_.push_back(MakeRow(reader.ReadRow()));
}

void TCsvDb::AppendCsvText(std::string& out) const {
  size_t estimate = 0;
  for (const TCsvCells& row : rows_) estimate += row.TextSize() + row.size() + 2;
  // Quoting adds bytes; room reserved but never written costs no memory, while outgrowing the
  // reservation would copy the whole text.
  out.reserve(out.size() + estimate + estimate / 4 + 64);
  if (out.capacity() - out.size() >= (size_t{8} << 20))
    TCsvArena::AdviseLargePages(out.data() + out.size(), out.capacity() - out.size());
  for (size_t r = 0; r < rows_.size(); ++r) {
    PrefetchAhead(r);
    AppendRowLine(out, &rows_[r]);
    out += "\r\n";
  }
}

std::string TCsvDb::GetCsvText() const {
  std::string out;
  AppendCsvText(out);
  return out;
}

void TCsvDb::SetTsvText(std::string_view text) {
  Clear();
  int r = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t eol = FindAligned(text, "\r\n", pos);
    std::string_view rest = text.substr(pos, eol == std::string_view::npos ? eol : eol - pos);
    pos = eol == std::string_view::npos ? text.size() : eol + 2;
    for (int j = 0; !rest.empty(); ++j) {
      const size_t tab = FindCharAligned(rest, '\t');
      SetCell(j, r, std::string(rest.substr(0, tab)));
      rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    }
    ++r;
  }
}

std::string TCsvDb::GetTsvText() const {
  const size_t width = static_cast<size_t>(ColCount());
  std::string out;
  for (const TCsvCells& row : rows_) {
    for (size_t j = 0; j < width; ++j) {
      if (j) out += '\t';
      if (j < row.size()) out += row[j];
    }
    out += "\r\n";
  }
  return out;
}

int TCsvDb::ColCount() const {
  size_t width = 0;
  for (const TCsvCells& row : rows_) width = std::max(width, row.size());
  return static_cast<int>(width);
}

const TCsvCells* TCsvDb::Row(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return nullptr;
  const TCsvCells& r = rows_[static_cast<size_t>(row)];
  return r.IsAbsent() ? nullptr : &r;
}

void TCsvDb::AddRow(TCsvCells row) {
  rows_.push_back(std::move(row));
}

void TCsvDb::AddAbsentRow() {
  rows_.push_back(TCsvCells::Absent());
}

std::string_view TCsvDb::GetCell(int col, int row) const {
  const TCsvCells* r = Row(row);
  return r ? r->Get(col) : std::string_view();
}

TCsvCells& TCsvDb::EnsureRow(size_t row) {
  if (row >= rows_.size()) {
    CheckGrowth(rows_.size(), row + 1);
    // Doubling, so that rows added one by one cost amortised constant time.
    if (row + 1 > rows_.capacity()) rows_.reserve(std::max(row + 1, rows_.capacity() * 2));
    while (rows_.size() <= row) rows_.push_back(TCsvCells::Absent());
  }
  TCsvCells& r = rows_[row];
  if (r.IsAbsent()) r = TCsvCells();
  return r;
}

void TCsvDb::SetCell(int col, int row, std::string text) {
  if (col < 0 || row < 0) return;
  const size_t c = static_cast<size_t>(col);
  // Both checks come first so that a refused write changes nothing.
  CheckGrowth(rows_.size(), static_cast<size_t>(row) + 1);
  const TCsvCells* existing = Row(row);
  CheckGrowth(existing ? existing->size() : 0, c + 1);
  EnsureRow(static_cast<size_t>(row)).Set(c, text);
}

std::string TCsvDb::GetRowText(int row) const {
  std::string out;
  AppendRowLine(out, Row(row));
  return out;
}

void TCsvDb::AppendRowText(int row, std::string& out) const {
  AppendRowLine(out, Row(row));
}

void TCsvDb::SetRowText(int row, std::string_view text) {
  if (row < 0) return;
  std::vector<TCsvCells> lines;
  CsvReader reader(text);
  while (!reader.AtEnd()) lines.push_back(MakeRow(reader.ReadRow()));
  if (lines.empty()) lines.emplace_back();
  const size_t at = static_cast<size_t>(row);
  EnsureRow(at);
  rows_[at] = std::move(lines[0]);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at) + 1,
               std::make_move_iterator(lines.begin() + 1), std::make_move_iterator(lines.end()));
}

void TCsvDb::InsertCol(int col, std::span<const std::string> source) {
  if (col < 0) return;
  const size_t c = static_cast<size_t>(col);
  for (size_t r = 0; r < rows_.size(); ++r) {
    TCsvCells& row = rows_[r];
    if (row.IsAbsent()) continue;
    CheckGrowth(row.size(), c);
    row.Insert(c, r < source.size() ? std::string_view(source[r]) : std::string_view());
  }
}

void TCsvDb::DeleteCol(int col) {
  if (col < 0) return;
  for (TCsvCells& row : rows_)
    if (static_cast<size_t>(col) < row.size()) row.Erase(static_cast<size_t>(col));
}

void TCsvDb::MoveCol(int from, int to) {
  // A column outside a row fails even when it would go back to its own place.
  for (const TCsvCells& row : rows_) {
    if (row.IsAbsent()) continue;
    const int n = row.Count();
    if (from < 0 || from >= n || to < 0 || to >= n)
      throw std::out_of_range("List index out of bounds (" +
                              std::to_string(from < 0 || from >= n ? from : to) + ")");
  }
  if (from == to) return;
  std::string moving;
  for (TCsvCells& row : rows_) {
    if (row.IsAbsent()) continue;
    moving.assign(row[static_cast<size_t>(from)]);
    row.Erase(static_cast<size_t>(from));
    row.Insert(static_cast<size_t>(to), moving);
  }
}

void TCsvDb::Reverse() {
  const size_t first = UseFieldNames ? 1 : 0;
  if (rows_.size() > first)
    std::reverse(rows_.begin() + static_cast<std::ptrdiff_t>(first), rows_.end());
}

void TCsvDb::Transpose() {
  const size_t height = rows_.size();
  const size_t width = static_cast<size_t>(ColCount());
  // Every new row is sized first, so that each is built in one block.
  std::vector<size_t> bytes(width, 0);
  for (const TCsvCells& row : rows_)
    for (size_t i = 0; i < row.size(); ++i) bytes[i] += row[i].size();
  TCsvArena arena;
  size_t total = 0;
  for (size_t b : bytes) total += TCsvCells::BlockBytes(height, b) + 8;
  arena.Expect(total);
  std::vector<TCsvCells> turned;
  turned.reserve(width);
  for (size_t i = 0; i < width; ++i) {
    if (height > UINT32_MAX || bytes[i] > UINT32_MAX)
      throw std::length_error("table row too large");
    turned.push_back(TCsvCells::Place(arena.Allocate(TCsvCells::BlockBytes(height, bytes[i])),
                                      height, bytes[i]));
  }
  for (const TCsvCells& row : rows_)
    for (size_t i = 0; i < width; ++i) turned[i].AppendUnchecked(row.Get(static_cast<int>(i)));
  rows_ = std::move(turned);  // the old rows go before the memory they were placed in
  arena_ = std::move(arena);
  TrimEmptyRows();
}

void TCsvDb::TrimEmptyRows() {
  // Drops the row's trailing blank cells; true when nothing is left of it.
  auto emptied = [](TCsvCells& row) {
    if (row.IsAbsent()) return true;
    size_t n = row.size();
    while (n > 0 && IsBlank(row[n - 1])) --n;
    row.Resize(n);
    return n == 0;
  };
  size_t begin = 0;
  while (begin < rows_.size() && emptied(rows_[begin])) ++begin;
  rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(begin));
  size_t end = rows_.size();
  while (end > 0 && emptied(rows_[end - 1])) --end;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(end), rows_.end());
}

void TCsvDb::RemoveDuplicates(int col) {
  const size_t first = UseFieldNames ? 1 : 0;
  if (rows_.size() <= first + 1) return;
  // Keeping the first row of every key is what deleting each later duplicate in turn leaves.
  std::vector<std::string> lines;
  if (col < 0) {
    lines.reserve(rows_.size());  // no reallocation: the set holds views into these strings
    for (size_t r = first; r < rows_.size(); ++r) {
      lines.emplace_back();
      AppendRowLine(lines.back(), Row(static_cast<int>(r)));
    }
  }
  std::unordered_set<std::string_view> seen;
  seen.reserve(rows_.size() - first);
  size_t kept = first;
  for (size_t r = first; r < rows_.size(); ++r) {
    const std::string_view key =
        col < 0 ? std::string_view(lines[r - first]) : GetCell(col, static_cast<int>(r));
    if (!seen.insert(key).second) continue;
    if (kept != r) rows_[kept] = std::move(rows_[r]);
    ++kept;
  }
  // Moving a row moves its block pointer only, so the views in `seen` stayed valid.
  rows_.resize(kept);
}

int TCsvDb::FieldIndex(std::string_view name) const {
  const TCsvCells* head = Row(0);
  if (!head) return -1;
  for (size_t i = 0; i < head->size(); ++i)
    if ((*head)[i] == name) return static_cast<int>(i);
  return -1;
}

int TCsvDb::FindExact(std::string_view key, int col, int from_row) const {
  for (size_t r = ClampFrom(from_row); r < rows_.size(); ++r) {
    if (col >= 0) {
      if (GetCell(col, static_cast<int>(r)) == key) return static_cast<int>(r);
    } else {
      const TCsvCells& row = rows_[r];
      for (size_t i = 0; i < row.size(); ++i)
        if (row[i] == key) return static_cast<int>(r);
    }
  }
  return -1;
}

namespace {

// Runs `test` on cell `col` of each row from `from_row` on (on the row line when `col` is
// negative); the first row it accepts, or -1.
template <class Test>
int FindRow(const TCsvDb& db, int col, int from_row, Test test) {
  std::string line;
  for (int r = static_cast<int>(ClampFrom(from_row)); r < db.RowCount(); ++r) {
    if (const TCsvCells* ahead = db.Row(r + 16)) ahead->Prefetch();
    if (col >= 0) {
      if (test(db.GetCell(col, r))) return r;
    } else {
      line.clear();
      AppendRowLine(line, db.Row(r));
      if (test(std::string_view(line))) return r;
    }
  }
  return -1;
}

}  // namespace

int TCsvDb::FindContains(std::string_view key, int col, int from_row) const {
  return FindRow(*this, col, from_row, [key](std::string_view text) {
    return FindAligned(text, key) != std::string_view::npos;
  });
}

int TCsvDb::FindWild(std::string_view pattern, int col, int from_row) const {
  const TWildPattern wild(pattern);
  return FindRow(*this, col, from_row,
                 [&wild](std::string_view text) { return wild.Matches(text); });
}

int TCsvDb::FindRowText(std::string_view text, int from_row) const {
  return FindRow(*this, -1, from_row, [text](std::string_view line) { return line == text; });
}

TFindCsv::TFindCsv() : Table(std::make_shared<TCsvDb>()) {}

int TFindCsv::Start(std::shared_ptr<const TCsvDb> table, int column, std::string_view key,
                    bool exact, bool field_names) {
  Key = std::string(key);
  Column = column;
  Table = table ? std::move(table) : std::make_shared<TCsvDb>();
  Exact = exact;
  NextRow = field_names ? 1 : 0;
  return Next();
}

int TFindCsv::Start(std::string_view table_text, int column, std::string_view key, bool exact,
                    bool field_names) {
  auto table = std::make_shared<TCsvDb>();
  table->SetCsvText(table_text);
  return Start(std::move(table), column, key, exact, field_names);
}

int TFindCsv::Next() {
  const TCsvDb& table = *Table;
  if (table.RowCount() == 0) return -1;
  int found;
  if (Exact)
    found = table.FindExact(Key, Column, NextRow);
  else if (Key.find_first_of("*?") != std::string::npos)
    found = table.FindWild(Key, Column, NextRow);
  else
    found = table.FindContains(Key, Column, NextRow);
  NextRow = found >= 0 ? found + 1 : table.RowCount();
  return found;
}

void TFindCsv::Clear() {
  Key.clear();
  Column = -1;
  Table = std::make_shared<TCsvDb>();
  NextRow = 0;
}

}  // namespace yume
