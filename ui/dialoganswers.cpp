#include "ui/dialoganswers.h"

#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"

namespace yume {

std::vector<std::string> ItemValues(std::string_view keyValueLines,
                                    const std::vector<std::string>& keys) {
  std::vector<std::string> values;
  size_t pos = 0;
  for (const std::string& key : keys) {
    const std::string_view line = NextLine(keyValueLines, pos);
    values.emplace_back(line.size() > key.size() ? line.substr(key.size() + 1) : "");
  }
  return values;
}

std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& filter) {
  std::vector<std::pair<std::string, std::string>> out;
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < filter.size(); i += CharLen(filter, i)) {
    if (filter[i] == '|') {
      parts.emplace_back();
    } else {
      parts.back().append(filter, i, CharLen(filter, i));
    }
  }
  for (size_t i = 0; i < parts.size(); i += 2) {
    std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
    if (parts[i].empty() && pattern.empty()) continue;
    out.emplace_back(parts[i], pattern.empty() ? "*" : pattern);
  }
  return out;
}

}  // namespace yume
