#include "core/stacks.h"

#include <stdexcept>

namespace yume {

namespace {
const std::string kEmpty;
}

std::string TStack::Pop() {
  if (Empty()) return {};
  std::string s = std::move(items_.back());
  items_.pop_back();
  return s;
}

std::string TStack::TakeFront() {
  if (Empty()) return {};
  const auto front = items_.begin() + static_cast<std::ptrdiff_t>(base_);
  std::string s = std::move(*front);
  items_.erase(front);
  return s;
}

const std::string& TStack::Peek(size_t index) const {
  return index < Count() ? items_[base_ + index] : kEmpty;
}

void TStack::Insert(size_t index, std::string s) {
  if (index > Count()) index = Count();
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(base_ + index), std::move(s));
}

std::string TStack::Take(size_t index) {
  if (index >= Count()) throw std::out_of_range("TStack::Take");
  const auto at = items_.begin() + static_cast<std::ptrdiff_t>(base_ + index);
  std::string s = std::move(*at);
  items_.erase(at);
  return s;
}

void TStack::Erase(size_t index) {
  if (index < Count()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(base_ + index));
}

bool TRunControlStack::Pop(TRunControl& out) {
  std::vector<TRunControl>& c = Current();
  if (c.empty()) return false;
  out = std::move(c.back());
  c.pop_back();
  return true;
}

bool TRunControlStack::Get(size_t index, TRunControl& out) const {
  const std::vector<TRunControl>& c = Current();
  if (index >= c.size()) return false;
  out = c[index];
  return true;
}

void TRunControlStack::ReleaseLevel() {
  std::vector<TRunControl>().swap(levels_[level_]);
}

void TRunControlStack::ClearAll() {
  levels_.resize(1);
  levels_[0].clear();
  level_ = 0;
}

}  // namespace yume
