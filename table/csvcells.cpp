// The row of a table: one block holding the head, the end offset of every cell and the bytes.
#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "table/csvdb.h"

namespace yume {

namespace {

constexpr size_t kLimit = std::numeric_limits<uint32_t>::max();
constexpr size_t kLargePage = size_t{2} << 20;
constexpr size_t kMaxChunk = size_t{256} << 20;

void CheckRowBytes(size_t bytes) {
  if (bytes > kLimit) throw std::length_error("table row too large");
}

}  // namespace

const uint32_t TCsvCells::kNoCells[kHeadWords] = {0, 0, 0, 0};

TCsvCells::TCsvCells(std::initializer_list<std::string_view> cells) {
  size_t bytes = 0;
  for (std::string_view c : cells) bytes += c.size();
  Reserve(cells.size(), bytes);
  for (std::string_view c : cells) AppendUnchecked(c);
}

TCsvCells::TCsvCells(const TCsvCells& other) {
  if (other.IsAbsent()) {
    block_ = AbsentMark();
    return;
  }
  if (other.size() == 0) return;
  Reserve(other.size(), other.TextSize());
  std::memcpy(Ends(), other.Ends(), other.size() * sizeof(uint32_t));
  std::memcpy(Bytes(), other.Bytes(), other.TextSize());
  uint32_t* head = MutableHead();
  head[0] = other.Head()[0];
  head[2] = other.Head()[2];
}

TCsvCells& TCsvCells::operator=(const TCsvCells& other) {
  if (this != &other) *this = TCsvCells(other);
  return *this;
}

TCsvCells& TCsvCells::operator=(TCsvCells&& other) noexcept {
  if (this != &other) {
    Free();
    block_ = std::exchange(other.block_, nullptr);
  }
  return *this;
}

void TCsvCells::Free() {
  if (Owns() && !Placed()) ::operator delete(block_);
  block_ = nullptr;
}

TCsvCells TCsvCells::Place(char* memory, size_t cells, size_t bytes) {
  uint32_t* head = reinterpret_cast<uint32_t*>(memory);
  head[0] = 0;
  head[1] = static_cast<uint32_t>(cells);
  head[2] = 0;
  head[3] = static_cast<uint32_t>(bytes);
  TCsvCells row;
  row.block_ = reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(memory) | kPlacedBit);
  return row;
}

bool TCsvCells::Aliases(std::string_view text) const {
  if (!Owns()) return false;
  const char* block = Block();
  const size_t size = BlockBytes(Head()[1], Head()[3]);
  return std::less_equal<const char*>()(block, text.data()) &&
         std::less<const char*>()(text.data(), block + size);
}

std::string_view TCsvCells::operator[](size_t i) const {
  const uint32_t* ends = Ends();
  const uint32_t begin = i ? ends[i - 1] : 0;
  return std::string_view(Bytes() + begin, ends[i] - begin);
}

std::vector<std::string> TCsvCells::ToVector() const {
  std::vector<std::string> out;
  out.reserve(size());
  for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
  return out;
}

void TCsvCells::Ensure(size_t cells, size_t bytes) {
  const uint32_t* head = Head();
  const size_t cap_cells = head[1], cap_bytes = head[3];
  if (cells <= cap_cells && bytes <= cap_bytes && Owns()) return;
  if (cells > kLimit) throw std::length_error("table row too large");
  CheckRowBytes(bytes);
  const size_t new_cells =
      cells > cap_cells ? std::max(cells, std::min(cap_cells * 2, kLimit)) : cap_cells;
  const size_t new_bytes =
      bytes > cap_bytes ? std::max(bytes, std::min(cap_bytes * 2, kLimit)) : cap_bytes;
  char* block = static_cast<char*>(::operator new(BlockBytes(new_cells, new_bytes)));
  uint32_t* new_head = reinterpret_cast<uint32_t*>(block);
  const size_t count = head[0], used = head[2];
  new_head[0] = static_cast<uint32_t>(count);
  new_head[1] = static_cast<uint32_t>(new_cells);
  new_head[2] = static_cast<uint32_t>(used);
  new_head[3] = static_cast<uint32_t>(new_bytes);
  if (count) {
    std::memcpy(new_head + kHeadWords, Ends(), count * sizeof(uint32_t));
    std::memcpy(block + (kHeadWords + new_cells) * sizeof(uint32_t), Bytes(), used);
  }
  Free();
  block_ = block;
}

void TCsvCells::Reserve(size_t cells, size_t bytes) {
  Ensure(std::max(cells, size()), std::max(bytes, TextSize()));
}

void TCsvCells::AppendUnchecked(std::string_view text) {
  uint32_t* head = MutableHead();
  const uint32_t used = head[2];
  if (!text.empty()) std::memcpy(Bytes() + used, text.data(), text.size());
  head[2] = used + static_cast<uint32_t>(text.size());
  Ends()[head[0]++] = head[2];
}

void TCsvCells::PadAndAppend(size_t i, std::string_view text) {
  if (Aliases(text)) return PadAndAppend(i, std::string(text));
  Resize(i);
  Append(text);
}

void TCsvCells::Append(std::string_view text) {
  if (Aliases(text)) return Append(std::string(text));
  CheckRowBytes(TextSize() + text.size());
  Ensure(size() + 1, TextSize() + text.size());
  AppendUnchecked(text);
}

void TCsvCells::Set(size_t i, std::string_view text) {
  if (i >= size()) return PadAndAppend(i, text);
  if (Aliases(text)) return Set(i, std::string(text));
  const size_t old_len = (*this)[i].size();
  if (text.size() > old_len) {
    CheckRowBytes(TextSize() - old_len + text.size());
    Ensure(size(), TextSize() - old_len + text.size());
  }
  uint32_t* head = MutableHead();
  uint32_t* ends = Ends();
  char* bytes = Bytes();
  const uint32_t begin = i ? ends[i - 1] : 0, end = ends[i], used = head[2];
  std::memmove(bytes + begin + text.size(), bytes + end, used - end);
  if (!text.empty()) std::memcpy(bytes + begin, text.data(), text.size());
  const uint32_t grow = static_cast<uint32_t>(text.size()), shrink = end - begin;
  for (size_t k = i; k < head[0]; ++k) ends[k] = ends[k] - shrink + grow;
  head[2] = used - shrink + grow;
}

void TCsvCells::Insert(size_t i, std::string_view text) {
  if (i >= size()) return PadAndAppend(i, text);
  if (Aliases(text)) return Insert(i, std::string(text));
  CheckRowBytes(TextSize() + text.size());
  Ensure(size() + 1, TextSize() + text.size());
  uint32_t* head = MutableHead();
  uint32_t* ends = Ends();
  char* bytes = Bytes();
  const uint32_t count = head[0], used = head[2], begin = i ? ends[i - 1] : 0;
  const uint32_t len = static_cast<uint32_t>(text.size());
  std::memmove(bytes + begin + len, bytes + begin, used - begin);
  if (len) std::memcpy(bytes + begin, text.data(), len);
  std::memmove(ends + i + 1, ends + i, (count - i) * sizeof(uint32_t));
  ends[i] = begin + len;
  for (size_t k = i + 1; k <= count; ++k) ends[k] += len;
  head[0] = count + 1;
  head[2] = used + len;
}

void TCsvCells::Erase(size_t i) {
  uint32_t* head = MutableHead();
  uint32_t* ends = Ends();
  char* bytes = Bytes();
  const uint32_t count = head[0], used = head[2];
  const uint32_t begin = i ? ends[i - 1] : 0, end = ends[i], len = end - begin;
  std::memmove(bytes + begin, bytes + end, used - end);
  for (size_t k = i + 1; k < count; ++k) ends[k - 1] = ends[k] - len;
  head[0] = count - 1;
  head[2] = used - len;
}

void TCsvCells::Resize(size_t n) {
  const size_t count = size();
  if (n == count) return;
  if (n < count) {
    uint32_t* head = MutableHead();
    head[0] = static_cast<uint32_t>(n);
    head[2] = n ? Ends()[n - 1] : 0;
    return;
  }
  Ensure(n, TextSize());
  uint32_t* head = MutableHead();
  std::fill(Ends() + count, Ends() + n, head[2]);
  head[0] = static_cast<uint32_t>(n);
}

TCsvArena::TCsvArena(TCsvArena&& other) noexcept
    : chunks_(std::exchange(other.chunks_, {})),
      used_(std::exchange(other.used_, 0)),
      next_chunk_(other.next_chunk_) {}

TCsvArena& TCsvArena::operator=(TCsvArena&& other) noexcept {
  if (this != &other) {
    Clear();
    chunks_ = std::exchange(other.chunks_, {});
    used_ = std::exchange(other.used_, 0);
    next_chunk_ = other.next_chunk_;
  }
  return *this;
}

char* TCsvArena::Allocate(size_t bytes) {
  bytes = (bytes + 7) & ~size_t{7};
  if (chunks_.empty() || chunks_.back().second - used_ < bytes) {
    size_t size = std::max(bytes, next_chunk_);
    void* memory;
    if (size >= kLargePage) {
      // Whole large pages: the kernel may back them with huge pages, which saves most page
      // faults and address translations on big tables. Untouched pages cost nothing.
      size = (size + kLargePage - 1) & ~(kLargePage - 1);
      memory = std::aligned_alloc(kLargePage, size);
#ifdef MADV_HUGEPAGE
      if (memory) madvise(memory, size, MADV_HUGEPAGE);
#endif
    } else {
      memory = std::malloc(size);
    }
    if (!memory) throw std::bad_alloc();
    chunks_.emplace_back(static_cast<char*>(memory), size);
    used_ = 0;
    next_chunk_ = std::min(size * 2, kMaxChunk);
  }
  char* out = chunks_.back().first + used_;
  used_ += bytes;
  return out;
}

void TCsvArena::AdviseLargePages(char* data, size_t size) {
#ifdef MADV_HUGEPAGE
  const uintptr_t from = reinterpret_cast<uintptr_t>(data);
  const uintptr_t begin = (from + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t end = (from + size) & ~(kLargePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

void TCsvArena::Clear() {
  for (auto& chunk : chunks_) std::free(chunk.first);
  chunks_.clear();
  used_ = 0;
  next_chunk_ = kFirstChunk;
}

}  // namespace yume
