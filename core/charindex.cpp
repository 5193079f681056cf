#include "core/charindex.h"

#include <algorithm>

#include "core/sjis.h"

namespace yume {

TCharIndex::TCharIndex(std::string_view s) {
  size_t i = 0;
  // The usual text: single-byte characters only.
  while (i < s.size() && !IsLead(s[i])) ++i;
  if (i == s.size()) {
    count_ = s.size();
    return;
  }
  single_ = false;
  marks_.reserve(s.size() / kStep + 1);
  size_t n = 0;
  for (i = 0; i < s.size(); i += CharLen(s, i), ++n)
    if (n % kStep == 0) marks_.push_back(i);
  count_ = n;
}

size_t TCharIndex::Offset(std::string_view s, size_t n) const {
  if (n >= count_) return s.size();
  if (single_) return n;
  size_t i = marks_[n / kStep];
  for (size_t left = n % kStep; left > 0; --left) i += CharLen(s, i);
  return i;
}

size_t TCharIndex::CharsBefore(std::string_view s, size_t at) const {
  if (single_) return std::min(at, s.size());
  if (at >= s.size()) return count_;
  // The last mark at or before at, then step.
  const auto it = std::upper_bound(marks_.begin(), marks_.end(), at);
  const size_t k = static_cast<size_t>(it - marks_.begin()) - 1;
  size_t i = marks_[k];
  size_t n = k * kStep;
  while (i < at) {
    i += CharLen(s, i);
    ++n;
  }
  return n;
}

}  // namespace yume
