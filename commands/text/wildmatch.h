// Wildcard matching with captures, for マッチ: the table engine's pattern language and matcher
// (table/wildcard.h), matched against the start of a text with "(" and ")" recording the text
// between them; and how マッチ reports what it found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/wildcard.h"

namespace yume {

// マッチ's result: the matched part, then each capture, each followed by CR LF, the whole
// trimmed of bytes 0-32 at both ends.
std::string WildMatchReport(std::string_view matched, const std::vector<std::string>& captures);

}  // namespace yume
