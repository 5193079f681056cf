// Sorting the rows of a table by one column.
//
// The order of rows with equal keys is visible to scripts, so the algorithm is fixed: a
// top-down merge sort whose split point is (b div 2) + (e div 2), with a selection sort for
// ranges of at most 20 rows. Text and dictionary order keep ties differently (see kTiesRight).
// Each row's key is computed once; the sort moves (key, row index) items and the rows are put
// in order at the end, so no cell is copied.
#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "core/number.h"
#include "core/sjis.h"
#include "table/csvdb.h"
#include "table/datetime.h"
#include "table/tableops.h"

namespace yume {

namespace {

// A text key with its first 16 bytes (or 8 UTF-16 units) packed big-endian into two words, so
// that most comparisons need not touch the text: packed heads that differ order like the texts,
// and when they are equal and one key is no longer than the head, that key is a prefix of the
// other (the padding is zeros), so the lengths decide.
template <class CharT>
struct TextItem {
  static constexpr size_t kUnitsPerWord = 8 / sizeof(CharT);
  static constexpr size_t kHeadUnits = 2 * kUnitsPerWord;

  TextItem() = default;
  TextItem(std::basic_string_view<CharT> key, uint32_t index)
      : head{Pack(key, 0), Pack(key, kUnitsPerWord)},
        data(key.data()),
        size(static_cast<uint32_t>(key.size())),
        index(index) {}

  static uint64_t Pack(std::basic_string_view<CharT> s, size_t from) {
    if constexpr (sizeof(CharT) == 1 && std::endian::native == std::endian::little) {
      unsigned char bytes[8] = {};
      if (from < s.size())
        std::memcpy(bytes, s.data() + from, std::min<size_t>(8, s.size() - from));
      uint64_t p;
      std::memcpy(&p, bytes, 8);
      return __builtin_bswap64(p);
    } else {
      using Unsigned = std::make_unsigned_t<CharT>;
      uint64_t p = 0;
      for (size_t i = from; i < from + kUnitsPerWord; ++i)
        p = (p << (8 * sizeof(CharT))) | (i < s.size() ? static_cast<Unsigned>(s[i]) : 0u);
      return p;
    }
  }

  uint64_t head[2];
  const CharT* data;
  uint32_t size;
  uint32_t index;
};

template <class CharT>
bool Less(const TextItem<CharT>& a, const TextItem<CharT>& b) {
  if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
  if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
  constexpr size_t kHead = TextItem<CharT>::kHeadUnits;
  if (a.size <= kHead || b.size <= kHead) return a.size < b.size;
  // Unsigned units; a proper prefix is smaller.
  return std::basic_string_view<CharT>(a.data + kHead, a.size - kHead) <
         std::basic_string_view<CharT>(b.data + kHead, b.size - kHead);
}

// A number key as integers that order like the number: the sign, exponent and significand bits
// of the value, inverted for negative values and with the sign bit set for the others (-0 is
// made +0 first). Comparing two words is much cheaper than comparing extended floats, and the
// item is half the size.
struct NumberItem {
  NumberItem() = default;
  NumberItem(long double value, uint32_t index) : index(index) {
    if (value == 0) value = 0;
    if constexpr (std::numeric_limits<long double>::digits == 64) {
      // x87 extended: 64-bit significand, then 16 bits of sign and exponent.
      unsigned char bytes[sizeof(long double)] = {};
      std::memcpy(bytes, &value, 10);
      uint16_t sign_exponent;
      std::memcpy(&low, bytes, 8);
      std::memcpy(&sign_exponent, bytes + 8, 2);
      const bool negative = (sign_exponent & 0x8000) != 0;
      high = negative ? static_cast<uint16_t>(~sign_exponent) : sign_exponent | 0x8000;
      if (negative) low = ~low;
    } else {
      *this = NumberItem(static_cast<double>(value), index);
    }
  }
  NumberItem(double value, uint32_t index) : high(0), index(index) {
    if (value == 0) value = 0;
    std::memcpy(&low, &value, 8);
    low = (low >> 63) ? ~low : low | (uint64_t{1} << 63);
  }

  uint64_t low;
  uint16_t high;
  uint32_t index;
};

bool Less(const NumberItem& a, const NumberItem& b) {
  return a.high != b.high ? a.high < b.high : a.low < b.low;
}

// kTiesRight false (text, number, date): the merge takes the left item unless the right one is
// smaller, and the selection picks the first smallest. kTiesRight true (dictionary): the merge
// takes the left item only when it is smaller, and the selection picks the last smallest.
// Reserves room for n items; a large buffer is asked to sit on large pages (its page faults
// would cost more than the sort).
template <class T>
void ReserveLarge(std::vector<T>& v, size_t n) {
  v.reserve(n);
  if (n * sizeof(T) >= (size_t{8} << 20))
    TCsvArena::AdviseLargePages(reinterpret_cast<char*>(v.data()), n * sizeof(T));
}

template <class Item, bool kTiesRight>
class MergeSorter {
 public:
  // Both buffers start with the same items, so that each level can merge from one into the
  // other instead of merging aside and copying back.
  explicit MergeSorter(std::vector<Item>& items) : a_(items) {
    ReserveLarge(scratch_, items.size());
    scratch_.assign(items.begin(), items.end());
  }

  void Run() {
    if (a_.size() > 1) Sort(scratch_.data(), a_.data(), 0, a_.size() - 1);
  }

 private:
  // Sorts the range into `to`; `from` holds the same items on entry and is used up.
  void Sort(Item* from, Item* to, size_t b, size_t e) {
    if (e - b >= 20) {
      const size_t m = b / 2 + e / 2;
      Sort(to, from, b, m);
      Sort(to, from, m + 1, e);
      Merge(from, to, b, m, e);
      return;
    }
    for (size_t p = b; p < e; ++p) {
      size_t best = p;
      for (size_t q = p + 1; q <= e; ++q) {
        const bool take = kTiesRight ? !Less(to[best], to[q]) : Less(to[q], to[best]);
        if (take) best = q;
      }
      std::swap(to[p], to[best]);
    }
  }

  static void Merge(Item* from, Item* to, size_t b, size_t m, size_t e) {
    size_t i = b, j = m + 1, k = b;
    while (i <= m && j <= e) {
      const bool left = kTiesRight ? Less(from[i], from[j]) : !Less(from[j], from[i]);
      to[k++] = std::move(left ? from[i++] : from[j++]);
    }
    while (i <= m) to[k++] = std::move(from[i++]);
    while (j <= e) to[k++] = std::move(from[j++]);
  }

  std::vector<Item>& a_;
  std::vector<Item> scratch_;
};

// CP932 to UTF-16, one table lookup per character. Unassigned codes become U+30FB, as the
// platform conversion gives them.
class Utf16Map {
 public:
  static const Utf16Map& Get() {
    static const Utf16Map map;
    return map;
  }

  // Appends the UTF-16 form of s with ASCII A-Z folded to a-z (and, with `wide`, full-width
  // Ａ-Ｚ to ａ-ｚ).
  void AppendFolded(std::string_view s, std::u16string& out, bool wide = false) const {
    for (size_t i = 0; i < s.size();) {
      const auto b = static_cast<unsigned char>(s[i]);
      char16_t u;
      if (IsLead(b)) {
        u = i + 1 < s.size() ? double_[b * 256 + static_cast<unsigned char>(s[i + 1])]
                             : kUnassigned;
        i += 2;
      } else {
        u = single_[b];
        ++i;
      }
      if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + (u'a' - u'A'));
      if (wide && u >= 0xFF21 && u <= 0xFF3A) u = static_cast<char16_t>(u + 0x20);
      out += u;
    }
  }

 private:
  static constexpr char16_t kUnassigned = 0x30FB;

  Utf16Map() : double_(65536, kUnassigned) {
    for (int b = 0; b < 0x80; ++b) single_[b] = static_cast<char16_t>(b);
    for (int b = 0x80; b < 0x100; ++b) single_[b] = kUnassigned;
    for (int b = 0xA1; b <= 0xDF; ++b) single_[b] = static_cast<char16_t>(0xFF61 + b - 0xA1);
    single_[0x80] = 0x0080;
    single_[0xA0] = 0xF8F0;
    single_[0xFD] = 0xF8F1;
    single_[0xFE] = 0xF8F2;
    single_[0xFF] = 0xF8F3;
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        char16_t& slot = double_[lead * 256 + trail];
        if (cd == reinterpret_cast<iconv_t>(-1)) {
          slot = static_cast<char16_t>(lead * 256 + trail);  // no converter: keep code order
          continue;
        }
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned char out[8];
        char* src = in;
        char* dst = reinterpret_cast<char*>(out);
        size_t in_left = 2, out_left = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &in_left, &dst, &out_left) != static_cast<size_t>(-1) && in_left == 0 &&
            out_left == sizeof out - 2)
          slot = static_cast<char16_t>(out[0] | (out[1] << 8));
      }
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }

  std::array<char16_t, 256> single_{};
  std::vector<char16_t> double_;
};

}  // namespace

size_t TCsvDb::PrepareSort() {
  TrimEmptyRows();
  return UseFieldNames ? 1 : 0;
}

template <class Item, bool kTiesRight>
void TCsvDb::ApplySort(std::vector<Item>& items, size_t first) {
  MergeSorter<Item, kTiesRight>(items).Run();
  std::vector<TCsvCells> sorted;
  ReserveLarge(sorted, items.size());
  for (const Item& item : items) sorted.push_back(std::move(rows_[first + item.index]));
  std::move(sorted.begin(), sorted.end(), rows_.begin() + static_cast<std::ptrdiff_t>(first));
}

// Sorts by a key made once per row from the cell in col.
template <typename Item, typename MakeKey>
void TCsvDb::SortByKey(int col, MakeKey make_key) {
  const size_t first = PrepareSort();
  if (rows_.size() <= first + 1) return;
  std::vector<Item> items;
  ReserveLarge(items, rows_.size() - first);
  for (size_t k = 0; k < rows_.size() - first; ++k) {
    PrefetchAhead(first + k);
    items.emplace_back(make_key(GetCell(col, static_cast<int>(first + k))),
                       static_cast<uint32_t>(k));
  }
  ApplySort<Item, false>(items, first);
}

void TCsvDb::SortByText(int col) {
  SortByKey<TextItem<char>>(col, [](std::string_view cell) { return cell; });
}

void TCsvDb::SortByNumber(int col) {
  SortByKey<NumberItem>(col, [](std::string_view cell) { return StrToNumber(cell); });
}

void TCsvDb::SortByDate(int col) {
  SortByKey<NumberItem>(col,
                        [](std::string_view cell) { return ReadDateTime(cell).value_or(0.0); });
}

void TCsvDb::SortByDictionary(int col) {
  const size_t first = PrepareSort();
  if (rows_.size() <= first + 1) return;
  const size_t count = rows_.size() - first;
  // All keys in one buffer (a character never takes more UTF-16 units than bytes); the views
  // into it are taken once it is complete.
  size_t total = 0;
  for (size_t k = 0; k < count; ++k) total += GetCell(col, static_cast<int>(first + k)).size();
  std::u16string buffer;
  buffer.reserve(total);
  std::vector<size_t> ends(count);
  const Utf16Map& map = Utf16Map::Get();
  for (size_t k = 0; k < count; ++k) {
    PrefetchAhead(first + k);
    map.AppendFolded(GetCell(col, static_cast<int>(first + k)), buffer);
    ends[k] = buffer.size();
  }
  std::vector<TextItem<char16_t>> items;
  ReserveLarge(items, count);
  for (size_t k = 0; k < count; ++k) {
    const size_t begin = k ? ends[k - 1] : 0;
    const std::u16string_view key(buffer.data() + begin, ends[k] - begin);
    items.emplace_back(key, static_cast<uint32_t>(k));
  }
  ApplySort<TextItem<char16_t>, true>(items, first);
}

// ---- arrays ----

namespace {

// A line's collation key for sorting: its first 16 bytes packed as in TextItem, its length and
// its position; the rest of the key, rarely needed, is looked up by position.
struct LineItem {
  uint64_t head[2];
  uint32_t size;
  uint32_t index;
};

// Sorts lines by their keys, equal keys by position (the result a stable sort gives): a radix
// sort on the packed first 16 bytes, byte after byte, until a run is short enough for
// comparisons. Each pass deals a run into 256 by one byte; most runs soon fit the cache.
class LineSorter {
 public:
  // The buffers are left uninitialised: every item is written before it is read.
  explicit LineSorter(const std::vector<std::string_view>& keys)
      : keys_(keys), items_(new LineItem[keys.size()]), scratch_(new LineItem[keys.size()]) {
    for (size_t k = 0; k < keys_.size(); ++k) {
      const std::string_view key = keys_[k];
      items_[k] = {{Pack(key, 0), Pack(key, 8)},
                   static_cast<uint32_t>(key.size()),
                   static_cast<uint32_t>(k)};
    }
  }

  // The positions of the lines in key order.
  std::vector<uint32_t> Run() {
    const size_t n = keys_.size();
    Sort(items_.get(), scratch_.get(), 0, n, 0, true);
    std::vector<uint32_t> order;
    order.reserve(n);
    for (size_t k = 0; k < n; ++k) order.push_back(items_[k].index);
    return order;
  }

 private:
  static constexpr size_t kCompareBelow = 48;

  // Eight bytes of the key from `from` on, big-endian, zeros past its end (as TextItem packs
  // them); a whole word is loaded where the key has it.
  static uint64_t Pack(std::string_view key, size_t from) {
    if (from >= key.size()) return 0;
    const char* p = key.data() + from;
    const size_t n = key.size() - from;
    if (n >= 8) {
      uint64_t v;
      std::memcpy(&v, p, 8);
      return std::endian::native == std::endian::little ? __builtin_bswap64(v) : v;
    }
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= uint64_t{static_cast<unsigned char>(p[i])} << (56 - 8 * i);
    return v;
  }

  static unsigned ByteAt(const LineItem& item, unsigned byte) {
    return static_cast<unsigned>(item.head[byte >> 3] >> (56 - 8 * (byte & 7))) & 0xFF;
  }

  bool Less(const LineItem& a, const LineItem& b) const {
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    if (a.size > 16 && b.size > 16) {
      const int c = keys_[a.index].substr(16).compare(keys_[b.index].substr(16));
      if (c != 0) return c < 0;
    } else if (a.size != b.size) {
      return a.size < b.size;
    }
    return a.index < b.index;
  }

  // Sorts the items in cur[from, to), whose keys agree on their first `byte` bytes, into cur
  // (here) or into alt (!here). Each dealing goes from one buffer into the other, so no pass
  // copies a run back.
  void Sort(LineItem* cur, LineItem* alt, size_t from, size_t to, unsigned byte, bool here) {
    if (to - from < kCompareBelow || byte >= 16) {
      LineItem* out = cur;
      if (!here) {
        std::copy(cur + from, cur + to, alt + from);
        out = alt;
      }
      std::sort(out + from, out + to,
                [this](const LineItem& a, const LineItem& b) { return Less(a, b); });
      return;
    }
    std::array<size_t, 257> start{};
    for (size_t k = from; k < to; ++k) ++start[ByteAt(cur[k], byte) + 1];
    if (start[ByteAt(cur[from], byte) + 1] == to - from) {  // all in one run: next byte
      Sort(cur, alt, from, to, byte + 1, here);
      return;
    }
    start[0] = from;
    for (size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    std::array<size_t, 256> next;
    std::copy(start.begin(), start.end() - 1, next.begin());
    for (size_t k = from; k < to; ++k) alt[next[ByteAt(cur[k], byte)]++] = cur[k];
    // The runs are in alt now: wanted in cur means wanted away from where they are.
    for (size_t b = 0; b < 256; ++b)
      if (start[b + 1] > start[b]) Sort(alt, cur, start[b], start[b + 1], byte + 1, !here);
  }

  const std::vector<std::string_view>& keys_;
  std::unique_ptr<LineItem[]> items_, scratch_;
};

void ApplyOrder(const std::vector<uint32_t>& order, std::vector<std::string_view>& lines) {
  std::vector<std::string_view> sorted;
  sorted.reserve(lines.size());
  for (uint32_t k : order) sorted.push_back(lines[k]);
  lines.swap(sorted);
}

// A line in ASCII without capitals is its own collation key.
bool IsOwnKey(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80 || (c >= 'A' && c <= 'Z')) return false;
  return true;
}

}  // namespace

void SortLinesCollated(std::vector<std::string_view>& lines) {
  if (lines.size() < 2) return;
  if (lines.size() > UINT32_MAX) throw std::length_error("too many lines to sort");
  // The keys are the folded lines in UTF-8, whose byte order is the order of their UTF-16 units
  // (CP932 has nothing beyond the BMP), so that plain byte keys serve, and most lines are their
  // own keys. A byte never takes more than three bytes of key: the buffer is sized once, and
  // views into it stay valid.
  std::vector<uint8_t> own(lines.size());
  size_t bound = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    own[k] = IsOwnKey(lines[k]);
    if (!own[k]) bound += 3 * lines[k].size();
  }
  if (bound == 0) {  // every line is its own key
    ApplyOrder(LineSorter(lines).Run(), lines);
    return;
  }
  std::string buffer;
  buffer.reserve(bound);
  std::u16string units;
  const Utf16Map& map = Utf16Map::Get();
  std::vector<std::string_view> keys(lines);
  for (size_t k = 0; k < keys.size(); ++k) {
    if (own[k]) continue;
    std::string_view& key = keys[k];
    units.clear();
    map.AppendFolded(key, units, true);
    const size_t begin = buffer.size();
    for (char16_t u : units) {
      if (u < 0x80) {
        buffer += static_cast<char>(u);
      } else if (u < 0x800) {
        buffer += static_cast<char>(0xC0 | (u >> 6));
        buffer += static_cast<char>(0x80 | (u & 0x3F));
      } else {
        buffer += static_cast<char>(0xE0 | (u >> 12));
        buffer += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        buffer += static_cast<char>(0x80 | (u & 0x3F));
      }
    }
    key = std::string_view(buffer).substr(begin);
  }
  ApplyOrder(LineSorter(keys).Run(), lines);
}

void SortLinesByNumber(std::vector<std::string_view>& lines) {
  if (lines.size() < 2) return;
  if (lines.size() > UINT32_MAX) throw std::length_error("too many lines to sort");
  std::vector<NumberItem> items;
  ReserveLarge(items, lines.size());
  for (size_t k = 0; k < lines.size(); ++k)
    items.emplace_back(StrToNumber(lines[k]), static_cast<uint32_t>(k));
  // Equal numbers keep their order.
  std::sort(items.begin(), items.end(), [](const NumberItem& a, const NumberItem& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    return a.index < b.index;
  });
  std::vector<uint32_t> order(items.size());
  for (size_t k = 0; k < items.size(); ++k) order[k] = items[k].index;
  ApplyOrder(order, lines);
}

}  // namespace yume
