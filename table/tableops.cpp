#include "table/tableops.h"

#include <cstring>
#include <unordered_map>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "core/number.h"
#include "core/sjis.h"
#include "table/wildcard.h"

namespace yume {

namespace {

size_t FirstDataRow(bool field_names) {
  return field_names ? 1 : 0;
}

}  // namespace

// ---- arrays ----

namespace {

// Bit k set when s[i + k] is CR or LF, for the sixteen bytes from i (i + 16 <= n).
unsigned BreakBits(const char* s, size_t i) {
#ifdef __SSE2__
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
      _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n')))));
#else
  unsigned bits = 0;
  for (size_t k = 0; k < 16; ++k)
    if (s[i + k] == '\r' || s[i + k] == '\n') bits |= 1u << k;
  return bits;
#endif
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  const char* s = text.data();
  const size_t n = text.size();
  size_t start = 0;
  // CR and LF are never second bytes, so every one found is a break. After a CR, an LF that
  // follows belongs to it.
  auto take = [&](size_t p) {
    if (p < start) return;  // the LF of a CR LF
    lines.push_back(text.substr(start, p - start));
    start = p + (s[p] == '\r' && p + 1 < n && s[p + 1] == '\n' ? 2 : 1);
  };
  size_t i = 0;
  for (; i + 16 <= n; i += 16)
    for (unsigned bits = BreakBits(s, i); bits; bits &= bits - 1)
      take(i + static_cast<size_t>(__builtin_ctz(bits)));
  for (; i < n; ++i)
    if (s[i] == '\r' || s[i] == '\n') take(i);
  if (start < n) lines.push_back(text.substr(start));
  return lines;
}

std::string JoinLines(std::span<const std::string_view> lines) {
  size_t total = 0;
  for (std::string_view line : lines) total += line.size() + 2;
  std::string out(total, '\0');
  char* p = out.data();
  for (std::string_view line : lines) {
    if (!line.empty()) std::memcpy(p, line.data(), line.size());
    p += line.size();
    *p++ = '\r';
    *p++ = '\n';
  }
  return out;
}

bool IsWildKey(std::string_view key) {
  // "[" (5B) can be a second byte; "*" and "?" cannot.
  for (size_t i = 0; i < key.size(); i += CharLen(key, i))
    if (key[i] == '*' || key[i] == '?' || key[i] == '[') return true;
  return false;
}

namespace {

// A pickup test: a whole-text wildcard match, a substring (Shift_JIS-aware) or equality.
class TKeyTest {
 public:
  TKeyTest(std::string_view key, bool exact) : key_(key), exact_(exact) {
    if (IsWildKey(key)) wild_.emplace_back(key);
  }
  bool operator()(std::string_view text) const {
    if (!wild_.empty()) return wild_.front().Matches(text);
    if (exact_) return text == key_;
    return FindAligned(text, key_) != std::string_view::npos;
  }

 private:
  std::string_view key_;
  bool exact_;
  std::vector<TWildPattern> wild_;  // one pattern, or none
};

}  // namespace

std::string PickupLines(std::string_view text, std::string_view key, bool skip_first) {
  std::string out;
  if (key.empty()) return out;
  const TKeyTest test(key, false);
  const std::vector<std::string_view> lines = SplitLines(text);
  for (size_t i = skip_first ? 1 : 0; i < lines.size(); ++i) {
    if (!test(lines[i])) continue;
    out.append(lines[i]);
    out += "\r\n";
  }
  return out;
}

// ---- rows picked from a table ----

std::vector<int> PickupRows(const TCsvDb& db, int col, std::string_view key, bool exact,
                            bool field_names) {
  std::vector<int> rows;
  if (field_names && db.RowCount() > 0) rows.push_back(0);
  const TKeyTest test(key, exact);
  for (int r = static_cast<int>(FirstDataRow(field_names)); r < db.RowCount(); ++r)
    if (test(db.GetCell(col, r))) rows.push_back(r);
  return rows;
}

std::string RowsCsvText(const TCsvDb& db, std::span<const int> rows) {
  std::string out;
  for (int r : rows) {
    db.AppendRowText(r, out);
    out += "\r\n";
  }
  return out;
}

TCsvDb RowsTable(const TCsvDb& db, std::span<const int> rows) {
  TCsvDb out;
  for (int r : rows) {
    if (const TCsvCells* row = db.Row(r))
      out.AddRow(*row);
    else
      out.AddAbsentRow();
  }
  return out;
}

// ---- joining ----

void JoinByKey(TCsvDb& a, int col_a, const TCsvDb& b, int col_b, bool field_names) {
  const int width = a.ColCount();
  // Appends b's row `from` but its key cell to a's row `to`.
  auto append = [&](int to, int from) {
    const TCsvCells* row = b.Row(from);
    if (!row) return;
    int at = width;
    for (int i = 0; i < row->Count(); ++i)
      if (i != col_b) a.SetCell(at++, to, std::string((*row)[static_cast<size_t>(i)]));
  };
  if (field_names) append(0, 0);

  // The first row of each key, so that every row of a finds its partner in one look.
  std::unordered_map<std::string_view, int> first;
  first.reserve(static_cast<size_t>(b.RowCount()));
  for (int r = static_cast<int>(FirstDataRow(field_names)); r < b.RowCount(); ++r) {
    if (col_b >= 0) {
      first.emplace(b.GetCell(col_b, r), r);
    } else if (const TCsvCells* row = b.Row(r)) {
      for (size_t i = 0; i < row->size(); ++i) first.emplace((*row)[i], r);
    }
  }
  for (int r = static_cast<int>(FirstDataRow(field_names)); r < a.RowCount(); ++r) {
    const auto hit = first.find(a.GetCell(col_a, r));
    if (hit != first.end()) append(r, hit->second);
  }
}

// ---- columns ----

namespace {

long double CellNumber(const TCsvDb& db, int col, size_t row) {
  return StrToNumber(db.GetCell(col, static_cast<int>(row)));
}

}  // namespace

long double ColumnMax(const TCsvDb& db, int col, bool field_names) {
  const size_t first = FirstDataRow(field_names);
  long double best = CellNumber(db, col, first);
  for (size_t r = first + 1; r < static_cast<size_t>(db.RowCount()); ++r) {
    const long double v = CellNumber(db, col, r);
    if (v > best) best = v;
  }
  return best;
}

long double ColumnMin(const TCsvDb& db, int col, bool field_names) {
  const size_t first = FirstDataRow(field_names);
  long double best = CellNumber(db, col, first);
  for (size_t r = first + 1; r < static_cast<size_t>(db.RowCount()); ++r) {
    const std::string_view cell = db.GetCell(col, static_cast<int>(r));
    if (cell.empty()) continue;
    const long double v = StrToNumber(cell);
    if (v < best) best = v;
  }
  return best;
}

long double ColumnSum(const TCsvDb& db, int col, bool field_names) {
  long double sum = 0;
  for (size_t r = FirstDataRow(field_names); r < static_cast<size_t>(db.RowCount()); ++r)
    sum += CellNumber(db, col, r);
  return sum;
}

long double ColumnAverage(const TCsvDb& db, int col, bool field_names) {
  const size_t first = FirstDataRow(field_names);
  const size_t rows = static_cast<size_t>(db.RowCount());
  if (rows <= first) return 0;
  return ColumnSum(db, col, field_names) / static_cast<long double>(rows - first);
}

void ReplaceInColumn(TCsvDb& db, int col, std::string_view what, std::string_view with) {
  if (what.empty() || col < 0) return;
  std::string cell;
  for (int r = 0; r < db.RowCount(); ++r) {
    const TCsvCells* row = db.Row(r);
    const std::string_view old = row ? row->Get(col) : std::string_view();
    size_t hit = FindAligned(old, what);
    // A row that lacks the column gets it (empty) all the same.
    if (hit == std::string_view::npos && row && static_cast<size_t>(col) < row->size()) continue;
    cell.clear();
    size_t from = 0;
    for (; hit != std::string_view::npos; hit = FindAligned(old, what, from)) {
      cell.append(old, from, hit - from);
      cell.append(with);
      from = hit + what.size();
    }
    cell.append(old, from);
    db.SetCell(col, r, cell);
  }
}

std::string ColumnLines(const TCsvDb& db, int col) {
  std::string out;
  for (int r = 0; r < db.RowCount(); ++r) {
    out.append(db.GetCell(col, r));
    out += "\r\n";
  }
  return out;
}

}  // namespace yume
