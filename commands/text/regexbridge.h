// Perl-style regular expressions over Shift_JIS text: m//, s///, tr/// and split, as the
// regular-expression commands hand them over. Matching is done by Oniguruma in its Shift_JIS
// encoding on the bytes as they are, so a two-byte character is one character everywhere (".",
// classes, ranges in code order) and a match never starts on a second byte.
//
// Flags: i (case of ASCII letters ignored), m (^ and $ at every line), s ("." matches LF too),
// x (blanks and # comments in the pattern ignored), g (s///: every match), k and o (accepted:
// the text is always Shift_JIS and a pattern is always compiled once); tr/// takes c, d and s.
//
// A compiled expression is kept for the next call with the same text (a small cache per
// thread), so a pattern used in a loop is compiled once.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

// A fault of the expression or of the match (CP932 text, to follow the command's message).
class ERegex : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The body and flags of a pattern written m + delimiter … delimiter + flags (the delimiter a
// punctuation character that means nothing to the expression itself, "\" escaping it inside).
// False for anything else: such a pattern is an expression on its own.
bool SplitWrappedPattern(std::string_view pattern, std::string& body, std::string& flags);

// The first match of the pattern (wrapped or plain). Appends to `out` the whole match and then
// every group (empty for a group that took no part), each followed by CR LF. Returns the
// number of lines (groups + 1), or 0 and nothing appended when there is no match.
// Texts that every match of the expression body contains, longest first (at most three):
// the plain characters of its top level, cut wherever something else stands. Nothing when the
// expression has no such text or is read in a way this cannot follow (alternatives at the top,
// ignored case, extended form, options switched inside).
std::vector<std::string> RequiredLiterals(std::string_view body, std::string_view flags);

size_t RegexMatch(std::string_view text, std::string_view pattern, std::string& out);

// The text split at every match of the pattern, at most `limit` pieces (the last takes the
// rest), as Perl's split with a limit: a group's text comes between the pieces it separates,
// an empty match splits between characters, an empty text gives no pieces.
std::vector<std::string> RegexSplit(std::string_view text, std::string_view pattern,
                                    size_t limit = 1000);

struct TRegexSubst {
  std::string Text;  // the text after substitution (the text itself when nothing matched)
  size_t Count = 0;  // groups + 1 when something was replaced, else 0
};
// s/pattern/replacement/flags. In the replacement $& and $0 stand for the match, $1 … $99,
// ${n} and \1 … \9 for the groups, \n \r \t for LF CR TAB; "\" takes anything else literally.
TRegexSubst RegexSubstitute(std::string_view text, std::string_view expression);

// tr/from/to/flags: characters of the first list become those at the same place in the
// second (ranges a-z in Shift_JIS code order, skipping codes that are no characters); the last
// character of the second list stands for the rest, or with d they are deleted; c takes every
// character not in the first list; s squeezes a run translated to one character.
std::string RegexTranslate(std::string_view text, std::string_view expression);

}  // namespace yume
