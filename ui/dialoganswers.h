// Plain text work for the window's dialogs: the values of the item grid's answer, and picker
// filters for Qt. (How a line answers a dialog is core/answers.h.) CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yume {

// The values of ItemsAnswer's key=value lines, row by row (a value may hold "=").
std::vector<std::string> ItemValues(std::string_view keyValueLines,
                                    const std::vector<std::string>& keys);

// A picker filter "name|pattern|name|pattern…" as (name, patterns) pairs; the patterns keep
// their ";" separators. A name without its pattern gets "*".
std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& filter);

}  // namespace yume
