// Wildcard matching with captures, for マッチ: the pattern language of table/wildcard.h ("*",
// "?", "#", "[...]" with its modes and word lists, "\" escapes) where "(" and ")" record the
// text between them, matched against the start of a text.
//
// The elements and the rule for each are the table engine's own (a whole-text match here
// agrees with WildMatch there); what this adds is the recording of captures along the path the
// match takes, and the place where a match that need not use up the text stopped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/wildcard.h"

namespace yume {

struct TWildPrefix {
  bool Matched = false;
  size_t End = 0;          // bytes of the text the match took; the rest starts here
  bool WholeText = false;  // the match stopped exactly at the end of the text
  std::vector<std::string> Captures;
};

class TWildCapturePattern {
 public:
  // Throws EWildcard for a backslash inside a bracket other than "\t" and "\n".
  explicit TWildCapturePattern(std::string_view pattern);

  // Every element matched in turn from the start of the text (the text need not be used up).
  // The text's characters are all literal. Throws EWildcard when a "[*...]" or "[+...]"
  // bracket reached is followed by another wildcard.
  TWildPrefix MatchPrefix(std::string_view text) const;

  bool Empty() const { return elements_.empty(); }

 private:
  friend class TCaptureMatcher;
  std::vector<TWildPattern::Element> elements_;
  int asterisks_ = 0;
};

// マッチ's result: the matched part, then each capture, each followed by CR LF, the whole
// trimmed of bytes 0-32 at both ends.
std::string WildMatchReport(std::string_view matched, const std::vector<std::string>& captures);

}  // namespace yume
