// Where the characters of a Shift_JIS text start, so that the n-th character is found without
// walking the text from its start: nothing beyond a flag for a text of single-byte characters
// only, else the offset of every 64th character. Built in one pass; kept beside a value until
// the value changes (see THashNode::CharIndex).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace yume {

class TCharIndex {
 public:
  explicit TCharIndex(std::string_view s);

  size_t Count() const { return count_; }
  // Where character n (from 0) of s, the text the index was built from, starts; s.size() for
  // n at or past the end.
  size_t Offset(std::string_view s, size_t n) const;
  // How many characters of s lie before byte offset at (a character's start, or s.size()).
  size_t CharsBefore(std::string_view s, size_t at) const;

 private:
  static constexpr size_t kStep = 64;
  size_t count_ = 0;
  bool single_ = true;
  std::vector<size_t> marks_;  // marks_[k]: where character k * kStep starts
};

}  // namespace yume
