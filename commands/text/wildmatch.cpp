#include "commands/text/wildmatch.h"

#include <algorithm>

#include "core/sjis.h"

namespace yume {

namespace {

using Element = TWildPattern::Element;
using Kind = TWildPattern::Kind;

const char kWildcardAfterRun[] =
    "ワイルドカード[*...]に続けてワイルドカードを書くことは出来ません。";

uint32_t CharCode(std::string_view s, size_t i, size_t len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  return len == 2 ? b0 * 256u + static_cast<unsigned char>(s[i + 1]) : b0;
}

}  // namespace

TWildCapturePattern::TWildCapturePattern(std::string_view s) {
  // Read as every wildcard is read (the table engine's reader); only the matching differs.
  const TWildPattern parsed(s);
  elements_ = parsed.Elements();
  asterisks_ = parsed.Asterisks();
}

// One match of a parsed pattern against one text, character by character. A "*" first tries
// its stretches without recording anything, then the rest of the pattern runs once more from
// the stretch chosen, recording: so only the path the match finally takes leaves captures.
class TCaptureMatcher {
 public:
  TCaptureMatcher(const TWildCapturePattern& pattern, std::string_view text)
      : elems_(pattern.elements_), text_(text) {
    starts_.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); i += CharLen(text, i)) starts_.push_back(i);
    count_ = starts_.size();
    starts_.push_back(text.size());
    if (pattern.asterisks_ >= 2) failed_.assign((elems_.size() + 1) * (count_ + 1), 0);
  }

  TWildPrefix Run() {
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
        if (cursor + chars > count_) continue;
        const size_t from = starts_[cursor];
        if (text_.substr(from, starts_[cursor + chars] - from) == word) {
          cursor += chars;
          return true;
        }
      }
      return false;
    }
    // "*" and "+": a run up to the literal character that follows the bracket.
    size_t next = k + 1;
    if (next < elems_.size() &&
        (elems_[next].kind == Kind::CaptureFrom || elems_[next].kind == Kind::CaptureTo))
      ++next;
    const Element* stop = next < elems_.size() ? &elems_[next] : nullptr;
    if (stop && stop->kind != Kind::Char) throw EWildcard(kWildcardAfterRun);
    size_t taken = 0;
    while (cursor < count_) {
      if (stop && CharAt(cursor) == stop->text) break;
      // A character outside the set ends the run and is left for the rest of the pattern.
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

TWildPrefix TWildCapturePattern::MatchPrefix(std::string_view text) const {
  return TCaptureMatcher(*this, text).Run();
}

std::string WildMatchReport(std::string_view matched, const std::vector<std::string>& captures) {
  std::string out(matched);
  out += "\r\n";
  for (const std::string& c : captures) {
    out += c;
    out += "\r\n";
  }
  // A trail byte is never below 0x40, so trimming bytes cannot cut a character.
  size_t b = 0;
  size_t e = out.size();
  while (b < e && static_cast<unsigned char>(out[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(out[e - 1]) <= 32) --e;
  return out.substr(b, e - b);
}

}  // namespace yume
