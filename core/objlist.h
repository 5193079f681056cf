// The list of GUI part records. The host owns the widgets; a record refers to its widget only
// through its index (core/parthost.h). A part's index is its position in the list, and the
// entries of destroyed parts stay empty, so an index is never reused while the program runs.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

class TPartHost;

struct TObjNode {
  TObjNode() = default;
  TObjNode(const TObjNode&) = delete;
  TObjNode& operator=(const TObjNode&) = delete;
  // Frees the part's widget (a destroyed part's record lives until the script waits).
  ~TObjNode();

  std::string Name;                   // emptied when the part is destroyed
  std::array<std::string, 12> Texts;  // per event slot: the label's name or the inline code
  int Kind = 0;
  // Per event slot: where the event's code starts (null: no event). Inline code lives in Code,
  // which an event being run holds on to, so that reassigning the slot from inside it is safe.
  std::array<const char*, 12> Entries{};
  std::array<std::shared_ptr<const std::string>, 12> Code;
  int Tag = 0;                   // the part's index
  TPartHost* Widgets = nullptr;  // the host holding the part's widget
  std::string Pocket;            // free text of the part
};

class TObjList {
 public:
  TObjNode* Add(std::unique_ptr<TObjNode> node);
  void Clear() { items_.clear(); }
  size_t Count() const { return items_.size(); }
  TObjNode* Find(std::string_view name) const;
  int IndexOf(std::string_view name) const;
  TObjNode* Get(size_t index) const {
    return index < items_.size() ? items_[index].get() : nullptr;
  }
  void Put(size_t index, std::unique_ptr<TObjNode> node);
  // Takes the record out; its entry stays, empty.
  std::unique_ptr<TObjNode> Take(size_t index);

 private:
  std::vector<std::unique_ptr<TObjNode>> items_;
};

}  // namespace yume
