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
  if (current_.empty()) return false;
  out = std::move(current_.back());
  current_.pop_back();
  return true;
}

bool TRunControlStack::Get(size_t index, TRunControl& out) const {
  if (index >= current_.size()) return false;
  out = current_[index];
  return true;
}

void TRunControlStack::PushLevel() {
  levels_.push_back(std::move(current_));
  // A fresh level reuses the storage of one that ended: value calls open and close levels all
  // the time.
  if (spare_.empty()) {
    current_ = {};
  } else {
    current_ = std::move(spare_.back());
    spare_.pop_back();
  }
}

void TRunControlStack::PopLevel() {
  if (levels_.empty()) return;
  current_.clear();
  if (spare_.size() < 64) spare_.push_back(std::move(current_));
  current_ = std::move(levels_.back());
  levels_.pop_back();
}

void TRunControlStack::ClearAll() {
  current_.clear();
  levels_.clear();
}

}  // namespace yume
