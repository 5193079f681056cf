// The table engine: two-dimensional tables held as comma-separated (or tab-separated) text.
//
// A table is a list of rows, each row a list of cell texts; rows may be absent (an empty line
// when written) and may have different lengths. All text is CP932 bytes and every scan steps
// over two-byte characters, so a second byte such as 0x5C or 0x7C is never a delimiter.
//
// The comma-separated dialect is this language's own:
//  - rows end at CR LF, a lone CR or a lone LF; fields are separated by "," only;
//  - spaces before a field are skipped; a field starting with '"' may hold commas and breaks;
//  - in any field '""' stands for '"'; a lone '"' followed by optional spaces and then a comma,
//    a break or the end closes the field, any other lone '"' is an ordinary character;
//  - every cell is trimmed of bytes 0-32 at both ends, quoted cells too;
//  - a comma right before a break or the end starts no further cell ("a,b," has two cells);
//  - the writer quotes a cell only for '"', ",", CR or LF in it, or when it is the first cell of
//    its row and reads "ID" exactly; every row ends in CR LF.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yume {

// One row: its cells in order, kept in one block of memory (the cell ends, then the bytes), so
// that a row costs one allocation and reading it touches one stretch of memory. An empty cell
// is an empty string; a cell index at or past the end reads as empty. Views returned by Get stay
// valid until the row is changed.
class TCsvCells {
 public:
  TCsvCells() = default;
  TCsvCells(std::initializer_list<std::string_view> cells);
  TCsvCells(const TCsvCells& other);
  TCsvCells& operator=(const TCsvCells& other);
  TCsvCells(TCsvCells&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  TCsvCells& operator=(TCsvCells&& other) noexcept;
  ~TCsvCells() { Free(); }

  size_t size() const { return Head()[0]; }
  int Count() const { return static_cast<int>(size()); }
  std::string_view operator[](size_t i) const;  // i < size()
  std::string_view Get(int col) const {
    return col >= 0 && static_cast<size_t>(col) < size() ? (*this)[static_cast<size_t>(col)]
                                                         : std::string_view();
  }
  size_t TextSize() const { return Head()[2]; }  // bytes of all cells together
  // All cells' bytes one after the other.
  std::string_view Text() const {
    return Owns() ? std::string_view(Bytes(), TextSize()) : std::string_view();
  }
  std::vector<std::string> ToVector() const;

  void Append(std::string_view text);
  // Set and Insert first pad the row with empty cells up to `i` when it is shorter.
  void Set(size_t i, std::string_view text);
  void Insert(size_t i, std::string_view text);
  void Erase(size_t i);   // i < size()
  void Resize(size_t n);  // cuts, or pads with empty cells
  void Reserve(size_t cells, size_t bytes);

  // Asks the processor to fetch the row's block (for loops over many rows, some rows ahead).
  void Prefetch() const {
    __builtin_prefetch(Block());
    __builtin_prefetch(Block() + 64);
  }

 private:
  friend class TCsvDb;
  // The head of a block: cell count, cell capacity, bytes used, byte capacity.
  static constexpr size_t kHeadWords = 4;
  static const uint32_t kNoCells[kHeadWords];  // the head of a row without a block
  // block_ of an absent row of a table
  static char* AbsentMark() { return &absent_mark_; }
  alignas(4) static inline char absent_mark_ = 0;
  // A block placed in memory the row does not own (a table's arena) is marked in the lowest
  // bit of block_; freeing the row then leaves the memory alone. Any edit that outgrows it
  // moves the row to a block of its own.
  static constexpr uintptr_t kPlacedBit = 1;

  static size_t BlockBytes(size_t cells, size_t bytes) {
    return (kHeadWords + cells) * sizeof(uint32_t) + bytes;
  }
  // A row with room for exactly `cells` cells and `bytes` bytes in `memory` (BlockBytes long,
  // 4-byte aligned).
  static TCsvCells Place(char* memory, size_t cells, size_t bytes);
  static TCsvCells Absent() {
    TCsvCells row;
    row.block_ = AbsentMark();
    return row;
  }
  char* Block() const {
    return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(block_) & ~kPlacedBit);
  }
  bool IsAbsent() const { return block_ == AbsentMark(); }
  bool Owns() const { return block_ != nullptr && block_ != AbsentMark(); }
  bool Placed() const { return (reinterpret_cast<uintptr_t>(block_) & kPlacedBit) != 0; }

  const uint32_t* Head() const {
    return Owns() ? reinterpret_cast<const uint32_t*>(Block()) : kNoCells;
  }
  uint32_t* MutableHead() const { return reinterpret_cast<uint32_t*>(Block()); }
  uint32_t* Ends() const { return MutableHead() + kHeadWords; }
  char* Bytes() const { return Block() + (kHeadWords + Head()[1]) * sizeof(uint32_t); }
  bool Aliases(std::string_view text) const;
  // Makes room for `cells` cells and `bytes` bytes, growing geometrically.
  void Ensure(size_t cells, size_t bytes);
  void AppendUnchecked(std::string_view text);
  void PadAndAppend(size_t i, std::string_view text);
  void Free();

  char* block_ = nullptr;  // nullptr: no cells
};

// Memory for the rows a table reads from text: large chunks handed out in order, so that a
// loaded table is a few contiguous stretches (on large pages where the system offers them)
// instead of a heap allocation per row. Freed all at once.
class TCsvArena {
 public:
  TCsvArena() = default;
  TCsvArena(TCsvArena&& other) noexcept;
  TCsvArena& operator=(TCsvArena&& other) noexcept;
  TCsvArena(const TCsvArena&) = delete;
  TCsvArena& operator=(const TCsvArena&) = delete;
  ~TCsvArena() { Clear(); }

  // `expected` sizes the next chunk.
  void Expect(size_t expected) { next_chunk_ = std::max(next_chunk_, expected); }
  char* Allocate(size_t bytes);  // 8-byte aligned
  void Clear();

  // Asks for large pages for the whole large-page-aligned part of a big buffer that is about to
  // be filled (page faults dominate writing a big text otherwise).
  static void AdviseLargePages(char* data, size_t size);

 private:
  static constexpr size_t kFirstChunk = 256;
  std::vector<std::pair<char*, size_t>> chunks_;
  size_t used_ = 0;  // in the last chunk
  size_t next_chunk_ = kFirstChunk;
};

// A table. Rows and columns count from 0. Reading a cell or row that does not exist gives the
// empty text; writing one grows the table. Views returned by GetCell stay valid until the table
// is next changed.
class TCsvDb {
 public:
  TCsvDb();
  ~TCsvDb();
  TCsvDb(TCsvDb&&) noexcept;
  TCsvDb& operator=(TCsvDb&&) noexcept;
  // Tables are never shared or copied implicitly; Assign makes a deep copy.
  TCsvDb(const TCsvDb&) = delete;
  TCsvDb& operator=(const TCsvDb&) = delete;

  // When set, row 0 holds the field names: sorting and reversing leave it in place and
  // duplicate removal does not count it.
  bool UseFieldNames = false;

  void Clear();
  void Assign(const TCsvDb& other);  // replaces the rows by deep copies of other's rows

  // Comma-separated text (the dialect above).
  void SetCsvText(std::string_view text);
  std::string GetCsvText() const;
  void AppendCsvText(std::string& out) const;

  // Tab-separated text: rows end at CR LF only, cells end at TAB, no quoting. Empty lines give
  // absent rows; the writer pads every row to the widest one.
  void SetTsvText(std::string_view text);
  std::string GetTsvText() const;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  int ColCount() const;                 // length of the longest row
  const TCsvCells* Row(int row) const;  // nullptr when absent or out of range
  void AddRow(TCsvCells row);
  void AddAbsentRow();

  std::string_view GetCell(int col, int row) const;
  // Appends absent rows up to `row`, creates that row and pads it with empty cells up to `col`.
  // Negative indices change nothing.
  void SetCell(int col, int row, std::string text);

  // The row written as one comma-separated line without the line break.
  std::string GetRowText(int row) const;
  void AppendRowText(int row, std::string& out) const;  // the same, appended to out
  // Replaces row `row` by the rows read from `text` (one for a plain line; a text of several
  // lines puts them all in its place; an empty text leaves an empty row). Grows like SetCell.
  void SetRowText(int row, std::string_view text);

  // In every present row: pad to `col` cells, then insert at `col` line r of `source` for row r
  // (an empty cell when there is no such line).
  void InsertCol(int col, std::span<const std::string> source = {});
  // In every present row that has a cell `col`, delete it.
  void DeleteCol(int col);
  // In every present row, take the cell at `from` out and insert it at `to`. Throws
  // std::out_of_range, changing nothing, when a present row lacks either column.
  void MoveCol(int from, int to);

  void Reverse();
  void Transpose();
  // Drops leading and trailing rows that are absent or blank; the first and last rows kept lose
  // their trailing blank cells.
  void TrimEmptyRows();
  // Keeps the first row of each group of equal keys (cell `col`, or the whole row line when
  // `col` is negative), in order.
  void RemoveDuplicates(int col);

  // Searches return a row index, or -1. A negative `col` searches every cell (FindExact) or the
  // row line (FindContains, FindWild). FindContains finds the key only where a character
  // starts, never at a second byte.
  int FieldIndex(std::string_view name) const;
  int FindExact(std::string_view key, int col, int from_row) const;
  int FindContains(std::string_view key, int col, int from_row) const;
  int FindWild(std::string_view pattern, int col, int from_row) const;  // throws EWildcard
  int FindRowText(std::string_view text, int from_row) const;

  // Sort the rows (all but row 0 with UseFieldNames) by the cell in `col`: a top-down merge
  // sort with a selection sort for runs of at most 20 rows; not stable. Blank rows at both
  // ends are dropped first.
  void SortByText(int col);        // unsigned bytes
  void SortByNumber(int col);      // the lenient number reading
  void SortByDate(int col);        // date-time reading; unreadable text is 0
  void SortByDictionary(int col);  // ASCII case folded, UTF-16 code units

 private:
  TCsvCells& EnsureRow(size_t row);
  // Drops blank rows at both ends and returns the first row to sort.
  size_t PrepareSort();
  // Sorts items (one key per row from `first` on) and puts the rows in their order.
  template <class Item, bool kTiesRight>
  void ApplySort(std::vector<Item>& items, size_t first);
  template <typename Item, typename MakeKey>
  void SortByKey(int col, MakeKey make_key);

  // Fetches the row some steps ahead of `row` in a loop over the rows.
  void PrefetchAhead(size_t row) const {
    if (row + kPrefetchDistance < rows_.size()) rows_[row + kPrefetchDistance].Prefetch();
  }
  static constexpr size_t kPrefetchDistance = 16;
  // Builds a row of the given cells, placed in the arena.
  TCsvCells MakeRow(const std::vector<std::string_view>& cells);

  TCsvArena arena_;  // declared first: rows placed in it are destroyed before it
  std::vector<TCsvCells> rows_;
};

// The state of an incremental table search: the searched table, the key, the column (-1 for
// any) and the row at which the next step starts. The table is shared, not copied: a search
// over a table already read elsewhere keeps that one alive.
class TFindCsv {
 public:
  TFindCsv();
  std::shared_ptr<const TCsvDb> Table;  // never null
  std::string Key;
  int Column = -1;
  int NextRow = 0;
  bool Exact = false;

  // Remembers the search over the table and performs the first step. With field names the
  // search starts at row 1.
  int Start(std::shared_ptr<const TCsvDb> table, int column, std::string_view key, bool exact,
            bool field_names);
  // The same, reading the table from text.
  int Start(std::string_view table_text, int column, std::string_view key, bool exact,
            bool field_names);
  // The next matching row, or -1 (for ever, once the table is exhausted). An exact search
  // compares whole cells; otherwise a key with "*" or "?" is a wildcard pattern for the whole
  // cell, any other key a substring (Shift_JIS-aware). Throws EWildcard.
  int Next();
  void Clear();
};

}  // namespace yume
