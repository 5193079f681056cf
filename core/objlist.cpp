#include "core/objlist.h"

#include "core/parthost.h"

namespace yume {

TObjNode::~TObjNode() {
  if (Widgets) Widgets->Release(Tag);
}

TObjNode* TObjList::Add(std::unique_ptr<TObjNode> node) {
  items_.push_back(std::move(node));
  return items_.back().get();
}

TObjNode* TObjList::Find(std::string_view name) const {
  int i = IndexOf(name);
  return i < 0 ? nullptr : items_[i].get();
}

int TObjList::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] && items_[i]->Name == name) return static_cast<int>(i);
  }
  return -1;
}

void TObjList::Put(size_t index, std::unique_ptr<TObjNode> node) {
  if (index < items_.size()) items_[index] = std::move(node);
}

std::unique_ptr<TObjNode> TObjList::Take(size_t index) {
  if (index >= items_.size()) return nullptr;
  return std::move(items_[index]);
}

}  // namespace yume
