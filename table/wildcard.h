// The wildcard pattern language: "*" (shortest run after which the rest matches), "?" (one
// character), "#" (one character starting with a digit), "[...]" sets (ranges, "!" negation,
// "*" / "+" repetition, "=" word lists), "(" and ")" capture marks, "\" escapes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

// A syntax fault of a pattern. The message is CP932 text for the script's error line.
class EWildcard : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where a match against the start of a text stopped, and what its "(" ")" marks recorded.
struct TWildPrefix {
  bool Matched = false;
  size_t End = 0;          // bytes of the text the match took; the rest starts here
  bool WholeText = false;  // the match stopped exactly at the end of the text
  std::vector<std::string> Captures;
};

// A pattern parsed once, to be matched against many texts.
class TWildPattern {
 public:
  // Throws EWildcard for a backslash inside a bracket other than "\t" and "\n".
  explicit TWildPattern(std::string_view pattern);

  // Whole-text match. Throws EWildcard when a "[*...]" or "[+...]" bracket reached during
  // matching is followed by another wildcard.
  bool Matches(std::string_view text) const;
  // Every element matched in turn from the start of the text (the text need not be used up),
  // recording the text between "(" and ")" along the path the match takes.
  TWildPrefix MatchPrefix(std::string_view text) const;

  struct Range {
    uint32_t low, high;
  };
  enum class Kind : uint8_t { Char, Question, Number, Asterisk, Bracket, CaptureFrom, CaptureTo };
  struct Element {
    explicit Element(Kind k) : kind(k) {}
    Kind kind;
    std::string text;                // Char: the character (one or two bytes)
    bool negated = false;            // Bracket
    uint8_t mode = 0;                // Bracket: 0 one, 1 "*", 2 "+", 3 "=" word list
    std::vector<Range> ranges;       // Bracket modes 0-2
    std::vector<std::string> words;  // Bracket mode 3, in the order they are tried
  };

 private:
  friend class WildMatcher;
  std::vector<Element> elements_;
  int asterisks_ = 0;
};

// True when the whole text matches the pattern. Throws EWildcard on pattern faults.
bool WildMatch(std::string_view text, std::string_view pattern);

}  // namespace yume
