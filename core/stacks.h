// The argument stack and the run-control stack.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

class THashNode;

// Source texts of the phrases of the statement being executed, particles attached. Entries set
// aside (see SetAside) lie below the stack's bottom and are out of its reach.
class TStack {
 public:
  void Push(std::string&& s) { items_.push_back(std::move(s)); }
  void Push(const std::string& s) { items_.push_back(s); }
  // Empty text when the stack is empty.
  std::string Pop();
  std::string TakeFront();
  // index counts from the bottom (0).
  const std::string& Peek(size_t index) const;
  std::string& At(size_t index) { return items_[base_ + index]; }  // index < Count()
  void Insert(size_t index, std::string s);
  void Erase(size_t index);
  // Removes the entry at index and gives it back (moved, not copied).
  std::string Take(size_t index);
  // Removes the top n entries (n <= Count()).
  void Drop(size_t n) { items_.resize(items_.size() - n); }
  size_t Count() const { return items_.size() - base_; }
  bool Empty() const { return items_.size() == base_; }
  void Clear() { items_.resize(base_); }
  std::span<const std::string> Items() const {
    return std::span<const std::string>(items_).subspan(base_);
  }

  // Sets the entries aside: a call inside a statement binds only its own arguments, never the
  // statement's phrases below them.
  void SetAside() {
    bases_.push_back(base_);
    base_ = items_.size();
  }
  // Puts the entries set aside last back, below whatever is on the stack now.
  void PutBack() {
    if (bases_.empty()) return;
    base_ = bases_.back();
    bases_.pop_back();
  }
  // Empties the stack and forgets everything set aside (a new run).
  void Reset() {
    items_.clear();
    bases_.clear();
    base_ = 0;
  }

 private:
  std::vector<std::string> items_;
  size_t base_ = 0;            // the stack's bottom in items_
  std::vector<size_t> bases_;  // the bottoms set aside
};

// Frame kinds.
enum TFrameKind : uint8_t {
  fkThen = 0,
  fkElse = 1,
  fkFor = 2,
  fkCount = 3,
  fkCall = 4,
  fkEvent = 5,
  fkList = 6,
  fkCase = 8,
  fkWhile = 9,
  fkLocal = 10,
};

// One frame: copied in and out by value.
struct TRunControl {
  const char* ReturnPos = nullptr;
  const char* EndPos = nullptr;
  int64_t Counter = 0;
  int64_t Limit = 0;
  uint8_t Kind = 0;
  std::string_view Body;                         // the text the frame runs in
  std::shared_ptr<const std::string> BodyOwner;  // keeps a body alive that is not in a source
  std::string SourceName;
  bool SameSource = false;  // a call within the same source: SourceName is not kept
  std::string Condition;
  THashNode* ItemWord = nullptr;  // for loop: the counter variable
  uint64_t ItemGeneration = 0;    // dictionary generation ItemWord was found in
  // List loop: the text taken when the loop began, read a line at a time; Limit holds where the
  // next line starts (lines are not split up front: a big text would cost a block per line).
  std::shared_ptr<const std::string> ItemText;
};

// The current list of frames, and the lists set aside by PushLevel.
class TRunControlStack {
 public:
  void Push(const TRunControl& frame) { Current().push_back(frame); }
  void Push(TRunControl&& frame) { Current().push_back(std::move(frame)); }
  // A new empty frame on top, filled in place.
  TRunControl& PushNew() { return Current().emplace_back(); }
  bool Pop(TRunControl& out);
  void Pop() { Current().pop_back(); }  // drops the top frame (there must be one)
  bool Get(size_t index, TRunControl& out) const;
  TRunControl* Top() {
    std::vector<TRunControl>& c = Current();
    return c.empty() ? nullptr : &c.back();
  }
  const TRunControl& At(size_t index) const { return Current()[index]; }
  size_t Count() const { return Current().size(); }
  void Clear() { Current().clear(); }
  // Sets the frames aside for a nested run, which starts with none; PopLevel brings them back.
  void PushLevel() {
    if (++level_ == levels_.size()) levels_.emplace_back();
  }
  void PopLevel() {
    if (level_ == 0) return;
    // Deep levels (a long recursion) give their storage back; the usual few keep it.
    if (level_ > 64) {
      ReleaseLevel();
    } else {
      levels_[level_].clear();
    }
    --level_;
  }
  void ClearAll();
  size_t LevelCount() const { return level_; }

 private:
  void ReleaseLevel();
  std::vector<TRunControl>& Current() { return levels_[level_]; }
  const std::vector<TRunControl>& Current() const { return levels_[level_]; }

  // One list per level, kept with its storage when the level ends: value calls open and close
  // levels all the time. A frame never moves while its level lives (growing the outer list
  // moves the inner lists, not their frames).
  std::vector<std::vector<TRunControl>> levels_ = std::vector<std::vector<TRunControl>>(1);
  size_t level_ = 0;
};

}  // namespace yume
