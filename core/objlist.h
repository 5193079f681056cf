// The list of GUI part records. The host owns the widgets; a record only refers to its
// control through an opaque handle.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

struct TObjNode {
  std::string Name;
  std::array<std::string, 12> Texts;  // event labels and other texts of the part
  int Kind = 0;
  std::array<void*, 12> Ptrs{};  // further references of the part kind
  int Tag = 0;                   // part number
  void* Control = nullptr;       // the host's widget for the part
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
  std::unique_ptr<TObjNode> Take(size_t index);

 private:
  std::vector<std::unique_ptr<TObjNode>> items_;
};

}  // namespace yume
