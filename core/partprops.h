// The property names of GUI parts ("テキスト", "幅", "クリックした時" ...), numbered as the
// property code dispatches on them. A script may write a property name with or without its
// okurigana, so names are compared in folded form.
#pragma once

#include <string_view>

namespace yume {

constexpr int kPartPropertyCount = 65;

// The names as written, by property number (50 and 51 are "W" and "H", aliases of 2 and 3).
extern const char* const kPartPropertyNames[kPartPropertyCount];

// Folds the names (done once; the registry calls it at every run start).
void FoldPartProperties();

// The number of a property name, folded or not; -1 when there is no such property.
int FindPartProperty(std::string_view name);

}  // namespace yume
