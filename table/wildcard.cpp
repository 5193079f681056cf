#include "table/wildcard.h"

#include <algorithm>

#include "core/sjis.h"

namespace yume {

namespace {

using Element = TWildPattern::Element;
using Kind = TWildPattern::Kind;

uint32_t CharCode(std::string_view s, size_t i, size_t len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  return len == 2 ? b0 * 256u + static_cast<unsigned char>(s[i + 1]) : b0;
}

Element MakeChar(std::string_view text) {
  Element e(Kind::Char);
  e.text = std::string(text);
  return e;
}

// Splits at "|" outside two-byte characters.
std::vector<std::string> SplitWords(std::string_view s) {
  std::vector<std::string> words;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    if (s[i] == '|') {
      words.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  words.emplace_back(s.substr(start));
  return words;
}

// The words are tried in this order: for each position i, the first shortest word after it
// (below 999 bytes) is moved to the front, or the word at i itself when none follows.
void OrderWords(std::vector<std::string>& words) {
  const size_t n = words.size();
  for (size_t i = 0; i < n; ++i) {
    size_t best = i;
    size_t shortest = 999;
    for (size_t j = i + 1; j < n; ++j) {
      if (words[j].size() < shortest) {
        shortest = words[j].size();
        best = j;
      }
    }
    std::rotate(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(best),
                words.begin() + static_cast<std::ptrdiff_t>(best) + 1);
  }
}

// Parses "[...]" whose body starts at s[i]; returns the position after the closing "]".
size_t ParseBracket(std::string_view s, size_t i, Element& e) {
  const size_t n = s.size();
  if (i < n && s[i] == '!') {
    e.negated = true;
    ++i;
  }
  if (i < n && (s[i] == '*' || s[i] == '+' || s[i] == '=')) {
    e.mode = s[i] == '*' ? 1 : s[i] == '+' ? 2 : 3;
    ++i;
  }
  if (e.mode == 3) {
    const size_t close = FindCharAligned(s, ']', i);
    const size_t end = close == std::string_view::npos ? n : close;
    e.words = SplitWords(s.substr(i, end - i));
    OrderWords(e.words);
    return end == n ? n : end + 1;
  }
  while (i < n && s[i] != ']') {
    if (s[i] == '\\') {
      if (i + 1 < n && s[i + 1] == 'n') {
        e.ranges.push_back({10, 13});
      } else if (i + 1 < n && s[i + 1] == 't') {
        e.ranges.push_back({9, 9});
      } else {
        throw EWildcard("ワイルドカードの[ ]中で\\記号を使うときは、\\t,\\nしか許されていません。");
      }
      i += 2;
      continue;
    }
    const size_t len = CharLen(s, i);
    uint32_t low = CharCode(s, i, len);
    uint32_t high = low;
    i += len;
    if (i + 1 < n && s[i] == '-' && s[i + 1] != ']') {
      const size_t len2 = CharLen(s, i + 1);
      high = CharCode(s, i + 1, len2);
      i += 1 + len2;
      if (high < low) std::swap(low, high);
    }
    e.ranges.push_back({low, high});
  }
  return i < n ? i + 1 : n;
}

}  // namespace

TWildPattern::TWildPattern(std::string_view s) {
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    const char c = s[i];
    const size_t len = CharLen(s, i);
    if (len == 2) {
      elements_.push_back(MakeChar(s.substr(i, 2)));
      i += 2;
      continue;
    }
    switch (c) {
      case '#':
        elements_.emplace_back(Kind::Number);
        break;
      case '(':
        elements_.emplace_back(Kind::CaptureFrom);
        break;
      case ')':
        elements_.emplace_back(Kind::CaptureTo);
        break;
      case '?':
        elements_.emplace_back(Kind::Question);
        break;
      case '*':
        elements_.emplace_back(Kind::Asterisk);
        ++asterisks_;
        break;
      case '[': {
        Element e(Kind::Bracket);
        i = ParseBracket(s, i + 1, e);
        elements_.push_back(std::move(e));
        continue;
      }
      case '\\': {
        if (i + 1 >= n) {
          elements_.push_back(MakeChar("\\"));
          break;
        }
        const char next = s[i + 1];
        if (next == 'n') {
          elements_.push_back(MakeChar("\r"));
          elements_.push_back(MakeChar("\n"));
          i += 2;
        } else if (next == 't') {
          elements_.push_back(MakeChar("\t"));
          i += 2;
        } else {
          const size_t next_len = CharLen(s, i + 1);
          elements_.push_back(MakeChar(s.substr(i + 1, next_len)));
          i += 1 + next_len;
        }
        continue;
      }
      default:
        elements_.push_back(MakeChar(s.substr(i, 1)));
        break;
    }
    ++i;
  }
}

// Matches a parsed pattern against one text, character by character (a two-byte character is
// one element; the text's own "[", "*" and so on are plain characters). A "*" first tries its
// stretches without recording anything; when recording, the rest of the pattern then runs once
// more from the stretch chosen, so only the path the match finally takes leaves captures.
class WildMatcher {
 public:
  WildMatcher(const TWildPattern& pattern, std::string_view text)
      : elems_(pattern.elements_), text_(text) {
    starts_.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); i += CharLen(text, i)) starts_.push_back(i);
    count_ = starts_.size();
    starts_.push_back(text.size());
    if (pattern.asterisks_ >= 2) failed_.assign((elems_.size() + 1) * (count_ + 1), 0);
  }

  bool Whole() {
    size_t cursor = 0;
    return MatchFrom(0, cursor, false) && cursor == count_;
  }

  TWildPrefix Prefix() {
    TWildPrefix r;
    size_t cursor = 0;
    r.Matched = MatchFrom(0, cursor, true);
    if (r.Matched) {
      r.End = starts_[std::min(cursor, count_)];
      r.WholeText = cursor == count_;
      r.Captures = std::move(captures_);
    }
    return r;
  }

 private:
  std::string_view CharAt(size_t k) const {
    return text_.substr(starts_[k], starts_[k + 1] - starts_[k]);
  }
  uint32_t CodeAt(size_t k) const {
    return CharCode(text_, starts_[k], starts_[k + 1] - starts_[k]);
  }
  static bool InRanges(const Element& e, uint32_t code) {
    for (const auto& r : e.ranges)
      if (code >= r.low && code <= r.high) return true;
    return false;
  }

  // ")": the text from the capture start to the cursor, unless a capture already ended at or
  // beyond this cursor. A "?" may have carried the cursor past the end of the text.
  void CaptureTo(size_t cursor) {
    if (static_cast<int64_t>(cursor) <= highest_) return;
    const size_t to = starts_[std::min(cursor, count_)];
    const size_t from = std::min(starts_[std::min(capture_start_, count_)], to);
    captures_.emplace_back(text_.substr(from, to - from));
    highest_ = static_cast<int64_t>(cursor);
  }

  // Matches the elements from index `first` on at `cursor` (the text need not be used up).
  bool MatchFrom(size_t first, size_t& cursor, bool record) {
    for (size_t k = first; k < elems_.size(); ++k) {
      const Element& e = elems_[k];
      switch (e.kind) {
        case Kind::Char:
          if (cursor >= count_ || CharAt(cursor) != e.text) return false;
          ++cursor;
          break;
        case Kind::Question:
          ++cursor;  // also past the end of the text
          break;
        case Kind::Number:
          if (cursor >= count_ || text_[starts_[cursor]] < '0' || text_[starts_[cursor]] > '9')
            return false;
          ++cursor;
          break;
        case Kind::CaptureFrom:
          capture_start_ = cursor;
          break;
        case Kind::CaptureTo:
          if (record) CaptureTo(cursor);
          break;
        case Kind::Bracket:
          if (!MatchBracket(k, cursor)) return false;
          break;
        case Kind::Asterisk:
          return MatchAsterisk(k, cursor, record);
      }
    }
    return true;
  }

  // The shortest stretch after which the rest of the pattern matches; never revisited.
  bool MatchAsterisk(size_t k, size_t& cursor, bool record) {
    if (k + 1 == elems_.size()) {
      cursor = count_;
      return true;
    }
    if (k + 2 == elems_.size() && elems_[k + 1].kind == Kind::CaptureTo) {
      cursor = count_;
      if (record) CaptureTo(cursor);
      return true;
    }
    // The trials move the capture start with every "(" they pass; a ")" met after the chosen
    // stretch must still see the start its own "(" set.
    const size_t saved_start = capture_start_;
    for (size_t p = cursor; p <= count_; ++p) {
      uint8_t* memo = failed_.empty() ? nullptr : &failed_[(k + 1) * (count_ + 1) + p];
      if (memo && *memo) continue;
      size_t c = p;
      if (MatchFrom(k + 1, c, false)) {
        if (!record) {
          cursor = c;
          return true;
        }
        capture_start_ = saved_start;
        cursor = p;
        return MatchFrom(k + 1, cursor, true);
      }
      if (memo) *memo = 1;
    }
    capture_start_ = saved_start;
    return false;
  }

  bool MatchBracket(size_t k, size_t& cursor) {
    const Element& e = elems_[k];
    if (e.mode == 0) {
      if (cursor >= count_) return false;
      return InRanges(e, CodeAt(cursor++)) != e.negated;
    }
    if (e.mode == 3) {
      for (const std::string& word : e.words) {
        const size_t chars = CountChars(word);
        if (chars == 0) return true;
        if (cursor + chars > count_) continue;
        const size_t from = starts_[cursor];
        if (text_.substr(from, starts_[cursor + chars] - from) == word) {
          cursor += chars;
          return true;
        }
      }
      return false;
    }
    // "*" and "+": repeat up to the literal character that follows the bracket.
    size_t next = k + 1;
    if (next < elems_.size() &&
        (elems_[next].kind == Kind::CaptureFrom || elems_[next].kind == Kind::CaptureTo))
      ++next;
    const Element* stop = next < elems_.size() ? &elems_[next] : nullptr;
    if (stop && stop->kind != Kind::Char)
      throw EWildcard("ワイルドカード[*...]に続けてワイルドカードを書くことは出来ません。");
    size_t taken = 0;
    while (cursor < count_) {
      if (stop && CharAt(cursor) == stop->text) break;
      // A character outside the set is left for the rest of the pattern.
      if (InRanges(e, CodeAt(cursor)) == e.negated) break;
      ++cursor;
      ++taken;
    }
    return e.mode == 1 || taken > 0;
  }

  const std::vector<Element>& elems_;
  std::string_view text_;
  std::vector<size_t> starts_;   // byte offset of each character, and the text's end
  size_t count_ = 0;             // characters in the text
  std::vector<uint8_t> failed_;  // (element, position) pairs known not to match
  size_t capture_start_ = 0;
  int64_t highest_ = -1;  // the cursor at which the last capture was recorded
  std::vector<std::string> captures_;
};

bool TWildPattern::Matches(std::string_view text) const {
  return WildMatcher(*this, text).Whole();
}

TWildPrefix TWildPattern::MatchPrefix(std::string_view text) const {
  return WildMatcher(*this, text).Prefix();
}

bool WildMatch(std::string_view text, std::string_view pattern) {
  return TWildPattern(pattern).Matches(text);
}

}  // namespace yume
