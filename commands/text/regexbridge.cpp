#include "commands/text/regexbridge.h"

#include <oniguruma.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/sjis.h"

namespace yume {

namespace {

// ---- messages (after "<command>"で、Bregexp.dllのエラー。) ----
const char kBadSubst[] = "置換の式は、s/パターン/置き換える文字列/ の形で書きます。";
const char kBadTrans[] = "入換の式は、tr/文字の並び/置き換える文字の並び/ の形で書きます。";
const char kUnknownFlag[] = "使えない修飾子です：";
const char kReversedRange[] = "文字の範囲の始めと終わりが逆です：";

const UChar* Bytes(const char* p) {
  return reinterpret_cast<const UChar*>(p);
}

// An empty view may have no storage; Oniguruma wants a real pointer.
const char* DataOf(std::string_view s) {
  static const char kNothing[1] = {0};
  return s.data() ? s.data() : kNothing;
}

bool IsDelimiter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u > 0x20 && u < 0x7F && c != '\\' && !(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'z') &&
         !(c >= 'A' && c <= 'Z');
}

// The end of a part that runs up to an unescaped delimiter from s[i]; npos when there is none.
// Escapes and two-byte characters are stepped over whole (表 and ソ end in "\").
size_t PartEnd(std::string_view s, size_t i, char delim) {
  while (i < s.size()) {
    if (s[i] == delim) return i;
    if (s[i] == '\\' && i + 1 < s.size()) {
      i += 1 + CharLen(s, i + 1);
    } else {
      i += CharLen(s, i);
    }
  }
  return std::string_view::npos;
}

bool OnlyFlags(std::string_view flags, std::string_view allowed) {
  return std::all_of(flags.begin(), flags.end(),
                     [&](char c) { return allowed.find(c) != std::string_view::npos; });
}

std::string ErrorText(int code, OnigErrorInfo* info) {
  UChar buf[ONIG_MAX_ERROR_MESSAGE_LEN];
  const int len =
      info ? onig_error_code_to_str(buf, code, info) : onig_error_code_to_str(buf, code);
  return std::string(reinterpret_cast<const char*>(buf), len > 0 ? static_cast<size_t>(len) : 0);
}

void InitOniguruma() {
  static std::once_flag once;
  std::call_once(once, [] {
    OnigEncoding encodings[] = {ONIG_ENCODING_SJIS};
    onig_initialize(encodings, 1);
  });
}

OnigOptionType OptionsOf(std::string_view flags) {
  OnigOptionType o = ONIG_OPTION_CAPTURE_GROUP;  // groups keep their numbers beside named ones
  for (char c : flags) {
    if (c == 'i') o |= ONIG_OPTION_IGNORECASE;
    if (c == 'm') o |= ONIG_OPTION_NEGATE_SINGLELINE;  // Perl's m: ^ and $ at lines
    if (c == 's') o |= ONIG_OPTION_MULTILINE;          // Perl's s: "." takes LF
    if (c == 'x') o |= ONIG_OPTION_EXTEND;
  }
  return o;
}

// ---- compiled expressions ----

// A character of a tr/// list: its code (a byte, or lead * 256 + trail).
using TCode = uint32_t;
constexpr int32_t kKeep = -1;
constexpr int32_t kDelete = -2;

struct TCompiled {
  TCompiled() = default;
  TCompiled(const TCompiled&) = delete;
  TCompiled& operator=(const TCompiled&) = delete;
  ~TCompiled() {
    if (Re) onig_free(Re);
  }

  char Op = 0;  // 'm' (match and split), 's', 't'
  std::string Expression;
  uint64_t Used = 0;

  OnigRegex Re = nullptr;
  // Texts every match contains: a text lacking one of them is not searched at all. Most
  // searched texts are lines, too short for memmem to pay off (see ContainsRequired).
  struct TRequired {
    std::string Text;
    uint8_t Probe1 = 0, Probe2 = 0;  // two of its bytes to look for first (not blanks if it can)
    uint32_t TurnedAway = 0;         // texts it turned away
  };
  mutable std::vector<TRequired> Required;  // reordered as texts are turned away
  bool Global = false;
  // s///: the replacement as literal pieces and group references.
  struct TPiece {
    std::string Literal;
    int Group = -1;  // -1: the literal
  };
  std::vector<TPiece> Replacement;
  // tr///: what each code becomes (kKeep, kDelete or a code).
  std::vector<int32_t> Map;
  bool Squeeze = false;
};

OnigRegex Compile(std::string_view body, std::string_view flags) {
  InitOniguruma();
  OnigRegex re = nullptr;
  OnigErrorInfo info;
  const char* p = DataOf(body);
  const int r = onig_new(&re, Bytes(p), Bytes(p + body.size()), OptionsOf(flags),
                         ONIG_ENCODING_SJIS, ONIG_SYNTAX_PERL_NG, &info);
  if (r != ONIG_NORMAL) throw ERegex(ErrorText(r, &info));
  return re;
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

// The end of the escape "\..." at s[i] whose letter is not a plain character; npos when it
// cannot be told. Letters taking an argument ("\x41", "\x{835C}", "\p{Alpha}", "\k<n>", "\12")
// take it too, so its digits are not mistaken for plain characters.
size_t EscapeEnd(std::string_view s, size_t i) {
  const char d = s[i + 1];
  size_t j = i + 2;
  const auto bracketed = [&](size_t at) -> size_t {
    if (at >= s.size()) return at;
    const char open = s[at];
    const char close = open == '{' ? '}' : open == '<' ? '>' : open == '\'' ? '\'' : 0;
    if (!close) return at;
    const size_t end = s.find(close, at + 1);
    return end == std::string_view::npos ? std::string_view::npos : end + 1;
  };
  if (IsAsciiDigit(d)) {
    while (j < s.size() && IsAsciiDigit(s[j])) ++j;
    return j;
  }
  switch (d) {
    case 'x':
      if (j < s.size() && s[j] == '{') return bracketed(j);
      for (int k = 0; k < 2 && j < s.size() && std::isxdigit(static_cast<unsigned char>(s[j])); ++k)
        ++j;
      return j;
    case 'p':
    case 'P':
    case 'k':
    case 'g':
    case 'o':
    case 'N':
      return bracketed(j);
    case 'c':
    case 'C':
    case 'M':
      return std::string_view::npos;  // control and meta forms: not worth following
    default:
      return j;
  }
}

// The end of a class "[...]" starting at s[i]; npos when it does not close.
size_t ClassEnd(std::string_view s, size_t i) {
  size_t j = i + 1;
  if (j < s.size() && s[j] == '^') ++j;
  if (j < s.size() && s[j] == ']') ++j;  // a "]" first is a member
  int depth = 1;
  while (j < s.size()) {
    const char c = s[j];
    if (c == '\\' && j + 1 < s.size()) {
      j += 1 + CharLen(s, j + 1);
      continue;
    }
    if (c == '[') ++depth;
    if (c == ']' && --depth == 0) return j + 1;
    j += CharLen(s, j);
  }
  return std::string_view::npos;
}

// The end of a group "(...)" starting at s[i]; npos when it does not close.
size_t GroupEnd(std::string_view s, size_t i) {
  size_t j = i + 1;
  int depth = 1;
  while (j < s.size()) {
    const char c = s[j];
    if (c == '\\' && j + 1 < s.size()) {
      j += 1 + CharLen(s, j + 1);
      continue;
    }
    if (c == '[') {
      j = ClassEnd(s, j);
      if (j == std::string_view::npos) return j;
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return j + 1;
    j += CharLen(s, j);
  }
  return std::string_view::npos;
}

// "{n}", "{n,}", "{n,m}" or "{,m}" at s[i]: its end, or npos when the "{" is a plain character.
size_t IntervalEnd(std::string_view s, size_t i) {
  size_t j = i + 1;
  bool digits = false;
  while (j < s.size() && IsAsciiDigit(s[j])) ++j, digits = true;
  if (j < s.size() && s[j] == ',') {
    ++j;
    while (j < s.size() && IsAsciiDigit(s[j])) ++j, digits = true;
  }
  return digits && j < s.size() && s[j] == '}' ? j + 1 : std::string_view::npos;
}

}  // namespace

std::vector<std::string> RequiredLiterals(std::string_view s, std::string_view flags) {
  std::vector<std::string> out;
  if (flags.find_first_of("ix") != std::string_view::npos) return out;
  std::string cur;
  size_t last = std::string::npos;  // where the last plain character of cur starts
  const auto flush = [&] {
    if (!cur.empty()) out.push_back(std::move(cur));
    cur.clear();
    last = std::string::npos;
  };
  const auto plain = [&](std::string_view ch) {
    last = cur.size();
    cur.append(ch);
  };
  // A repeat: the character before it may be absent or come many times, so it ends the text.
  const auto repeat = [&] {
    if (last != std::string::npos) cur.resize(last);
    flush();
  };
  size_t i = 0;
  while (i < s.size()) {
    const size_t len = CharLen(s, i);
    const char c = s[i];
    if (len == 2) {
      plain(s.substr(i, 2));
      i += 2;
      continue;
    }
    switch (c) {
      case '\\': {
        if (i + 1 >= s.size()) return {};
        const char d = s[i + 1];
        if (d == 'Q') return {};  // quoted to \E: not followed
        if (!IsLead(d) && !IsAsciiLetter(d) && !IsAsciiDigit(d) &&
            static_cast<unsigned char>(d) > 0x20 && static_cast<unsigned char>(d) < 0x7F) {
          plain(s.substr(i + 1, 1));
          i += 2;
          continue;
        }
        flush();
        i = IsLead(d) ? i + 1 + CharLen(s, i + 1) : EscapeEnd(s, i);
        if (i == std::string_view::npos) return {};
        continue;
      }
      case '[':
        flush();
        i = ClassEnd(s, i);
        if (i == std::string_view::npos) return {};
        continue;
      case '(': {
        // "(?i)" and its kind switch options for the rest of the expression.
        if (i + 1 < s.size() && s[i + 1] == '?') {
          size_t j = i + 2;
          while (j < s.size() && (IsAsciiLetter(s[j]) || s[j] == '-' || s[j] == '^')) ++j;
          if (j > i + 2 && j < s.size() && s[j] == ')') return {};
        }
        flush();
        i = GroupEnd(s, i);
        if (i == std::string_view::npos) return {};
        continue;
      }
      case '|':
      case ')':
        return {};
      case '*':
      case '?':
      case '+':
        repeat();
        ++i;
        continue;
      case '{': {
        const size_t end = IntervalEnd(s, i);
        if (end == std::string_view::npos) {
          plain(s.substr(i, 1));
          ++i;
        } else {
          repeat();
          i = end;
        }
        continue;
      }
      case '.':
      case '^':
      case '$':
        flush();
        ++i;
        continue;
      default:
        plain(s.substr(i, 1));
        ++i;
        continue;
    }
  }
  flush();
  std::stable_sort(out.begin(), out.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  if (out.size() > 3) out.resize(3);
  return out;
}

namespace {

std::vector<TCompiled::TRequired> WithProbes(std::vector<std::string> literals) {
  std::vector<TCompiled::TRequired> out(literals.size());
  for (size_t k = 0; k < literals.size(); ++k) {
    TCompiled::TRequired& r = out[k];
    r.Text = std::move(literals[k]);
    const size_t m = r.Text.size();
    if (m < 2 || m > 255) continue;  // memchr's or memmem's
    // Blanks stand all over a line: the first and last bytes that are not make better probes.
    size_t p1 = 0, p2 = m - 1;
    while (p1 < p2 && r.Text[p1] == ' ') ++p1;
    while (p2 > p1 && r.Text[p2] == ' ') --p2;
    if (p1 == p2) p1 = 0, p2 = m - 1;
    r.Probe1 = static_cast<uint8_t>(p1);
    r.Probe2 = static_cast<uint8_t>(p2);
  }
  return out;
}

}  // namespace

namespace {

// m//: wrapped or plain. A plain pattern is the expression itself (a "/" in it needs no escape).
void BuildMatch(TCompiled& c) {
  std::string body, flags;
  if (SplitWrappedPattern(c.Expression, body, flags)) {
    c.Re = Compile(body, flags);
    c.Required = WithProbes(RequiredLiterals(body, flags));
  } else {
    c.Re = Compile(c.Expression, {});
    c.Required = WithProbes(RequiredLiterals(c.Expression, {}));
  }
}

void AddLiteral(std::vector<TCompiled::TPiece>& out, std::string_view s) {
  if (out.empty() || out.back().Group >= 0) out.push_back({});
  out.back().Literal.append(s);
}

std::vector<TCompiled::TPiece> ParseReplacement(std::string_view r) {
  std::vector<TCompiled::TPiece> out;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  size_t i = 0;
  while (i < r.size()) {
    const size_t len = CharLen(r, i);
    const char c = r[i];
    if (len == 2 || i + 1 >= r.size() || (c != '\\' && c != '$')) {
      AddLiteral(out, r.substr(i, len));
      i += len;
      continue;
    }
    const char d = r[i + 1];
    if (c == '\\') {
      if (d >= '1' && d <= '9') {
        out.push_back({{}, d - '0'});
      } else if (d == 'n') {
        AddLiteral(out, "\n");
      } else if (d == 'r') {
        AddLiteral(out, "\r");
      } else if (d == 't') {
        AddLiteral(out, "\t");
      } else {
        const size_t dl = CharLen(r, i + 1);
        AddLiteral(out, r.substr(i + 1, dl));
        i += 1 + dl;
        continue;
      }
      i += 2;
      continue;
    }
    // "$"
    if (d == '&') {
      out.push_back({{}, 0});
      i += 2;
    } else if (digit(d)) {
      int n = d - '0';
      i += 2;
      if (i < r.size() && digit(r[i]) && n > 0) n = n * 10 + (r[i++] - '0');
      out.push_back({{}, n});
    } else if (d == '{') {
      size_t j = i + 2;
      int n = 0;
      while (j < r.size() && digit(r[j]) && n < 1000) n = n * 10 + (r[j++] - '0');
      if (j > i + 2 && j < r.size() && r[j] == '}') {
        out.push_back({{}, n});
        i = j + 1;
      } else {
        AddLiteral(out, "$");
        ++i;
      }
    } else {
      AddLiteral(out, "$");
      ++i;
    }
  }
  return out;
}

// s/pattern/replacement/flags
void BuildSubst(TCompiled& c) {
  const std::string_view e = c.Expression;
  if (e.size() < 2 || e[0] != 's' || !IsDelimiter(e[1])) throw ERegex(kBadSubst);
  const char delim = e[1];
  const size_t body_end = PartEnd(e, 2, delim);
  if (body_end == std::string_view::npos) throw ERegex(kBadSubst);
  const size_t rep_end = PartEnd(e, body_end + 1, delim);
  if (rep_end == std::string_view::npos) throw ERegex(kBadSubst);
  const std::string_view flags = e.substr(rep_end + 1);
  if (!OnlyFlags(flags, "gimsxko")) throw ERegex(std::string(kUnknownFlag) + std::string(flags));
  c.Global = flags.find('g') != std::string_view::npos;
  c.Replacement = ParseReplacement(e.substr(body_end + 1, rep_end - body_end - 1));
  c.Re = Compile(e.substr(2, body_end - 2), flags);
  c.Required = WithProbes(RequiredLiterals(e.substr(2, body_end - 2), flags));
}

bool IsCharCode(TCode code) {
  if (code < 0x100) return !IsLead(static_cast<unsigned char>(code));
  const unsigned lead = code >> 8, trail = code & 0xFF;
  return lead <= 0xFF && IsLead(static_cast<unsigned char>(lead)) && trail >= 0x40 &&
         trail != 0x7F && trail <= 0xFC;
}

TCode CodeAt(std::string_view s, size_t i, size_t len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  return len == 2 ? b0 * 256u + static_cast<unsigned char>(s[i + 1]) : b0;
}

// A tr/// list with its ranges spelled out: the characters in order, codes that are no
// characters left out (so ァ-ン runs over the katakana without the gap at 837F).
std::vector<TCode> ParseTrList(std::string_view s) {
  struct TItem {
    TCode Code;
    bool Escaped;
  };
  std::vector<TItem> items;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char d = s[i + 1];
      const size_t dl = CharLen(s, i + 1);
      TCode code = CodeAt(s, i + 1, dl);
      if (d == 'n') code = '\n';
      if (d == 'r') code = '\r';
      if (d == 't') code = '\t';
      items.push_back({code, true});
      i += 1 + dl;
      continue;
    }
    const size_t len = CharLen(s, i);
    items.push_back({CodeAt(s, i, len), false});
    i += len;
  }
  std::vector<TCode> out;
  for (size_t k = 0; k < items.size(); ++k) {
    if (k + 2 < items.size() && items[k + 1].Code == '-' && !items[k + 1].Escaped) {
      const TCode lo = items[k].Code, hi = items[k + 2].Code;
      if (lo > hi) {
        std::string text = kReversedRange;
        text += std::string(s);
        throw ERegex(text);
      }
      for (TCode c = lo; c <= hi; ++c)
        if (IsCharCode(c)) out.push_back(c);
      k += 2;
      continue;
    }
    out.push_back(items[k].Code);
  }
  return out;
}

// tr/from/to/flags (or y/from/to/flags)
void BuildTrans(TCompiled& c) {
  std::string_view e = c.Expression;
  size_t at = e.starts_with("tr") ? 2 : e.starts_with("y") ? 1 : 0;
  if (at == 0 || at >= e.size() || !IsDelimiter(e[at])) throw ERegex(kBadTrans);
  const char delim = e[at];
  const size_t from_end = PartEnd(e, at + 1, delim);
  if (from_end == std::string_view::npos) throw ERegex(kBadTrans);
  const size_t to_end = PartEnd(e, from_end + 1, delim);
  if (to_end == std::string_view::npos) throw ERegex(kBadTrans);
  const std::string_view flags = e.substr(to_end + 1);
  if (!OnlyFlags(flags, "cds")) throw ERegex(std::string(kUnknownFlag) + std::string(flags));
  const bool complement = flags.find('c') != std::string_view::npos;
  const bool del = flags.find('d') != std::string_view::npos;
  c.Squeeze = flags.find('s') != std::string_view::npos;

  std::vector<TCode> from = ParseTrList(e.substr(at + 1, from_end - at - 1));
  std::vector<TCode> to = ParseTrList(e.substr(from_end + 1, to_end - from_end - 1));
  if (complement) {
    std::vector<bool> listed(0x10000, false);
    for (TCode code : from)
      if (code < 0x10000) listed[code] = true;
    from.clear();
    for (TCode code = 0; code < 0x10000; ++code)
      if (!listed[code] && IsCharCode(code)) from.push_back(code);
  }
  // No second list: the characters stay what they are (the list only counts them).
  if (to.empty() && !del) to = from;
  c.Map.assign(0x10000, kKeep);
  for (size_t i = 0; i < from.size(); ++i) {
    const TCode code = from[i];
    if (code >= 0x10000 || c.Map[code] != kKeep) continue;  // the first mention counts
    if (i < to.size()) {
      c.Map[code] = static_cast<int32_t>(to[i]);
    } else {
      c.Map[code] = del ? kDelete : static_cast<int32_t>(to.back());
    }
  }
}

// Compiled expressions, the most recent first to be looked at: a loop uses one again and again.
class TCache {
 public:
  TCompiled& Get(char op, std::string_view expression) {
    ++tick_;
    if (last_ && last_->Op == op && last_->Expression == expression) {
      last_->Used = tick_;
      return *last_;
    }
    for (auto& c : slots_) {
      if (c->Op == op && c->Expression == expression) {
        c->Used = tick_;
        last_ = c.get();
        return *c;
      }
    }
    auto fresh = std::make_unique<TCompiled>();
    fresh->Op = op;
    fresh->Expression.assign(expression);
    if (op == 'm') BuildMatch(*fresh);
    if (op == 's') BuildSubst(*fresh);
    if (op == 't') BuildTrans(*fresh);
    fresh->Used = tick_;
    if (slots_.size() < kSlots) {
      slots_.push_back(std::move(fresh));
      last_ = slots_.back().get();
    } else {
      auto oldest =
          std::min_element(slots_.begin(), slots_.end(),
                           [](const auto& a, const auto& b) { return a->Used < b->Used; });
      *oldest = std::move(fresh);
      last_ = oldest->get();
    }
    return *last_;
  }

 private:
  static constexpr size_t kSlots = 32;
  std::vector<std::unique_ptr<TCompiled>> slots_;
  TCompiled* last_ = nullptr;
  uint64_t tick_ = 0;
};

TCache& Cache() {
  thread_local TCache cache;
  return cache;
}

// One region per thread, reused by every search.
OnigRegion* Region() {
  struct TOwned {
    OnigRegion* R = onig_region_new();
    ~TOwned() { onig_region_free(R, 1); }
  };
  thread_local TOwned region;
  return region.R;
}

// The first match at or after `from`; false when there is none.
bool Search(OnigRegex re, std::string_view text, size_t from, OnigRegion* region) {
  const char* p = DataOf(text);
  const UChar* end = Bytes(p + text.size());
  const int r = onig_search(re, Bytes(p), end, Bytes(p + from), end, region, ONIG_OPTION_NONE);
  if (r >= 0) return true;
  if (r == ONIG_MISMATCH) return false;
  throw ERegex(ErrorText(r, nullptr));
}

std::string_view Group(std::string_view text, const OnigRegion* region, int i) {
  if (i >= region->num_regs || region->beg[i] < 0) return {};
  return text.substr(static_cast<size_t>(region->beg[i]),
                     static_cast<size_t>(region->end[i] - region->beg[i]));
}

// The two probe bytes compared sixteen places at a time over short texts, libc's memmem over
// long ones. Bytes, not characters: a literal found across a character boundary only lets the
// expression engine look (it decides).
bool ContainsRequired(std::string_view text, const TCompiled::TRequired& r) {
  const size_t m = r.Text.size();
  if (m == 0) return true;
  if (text.size() >= 1024 || m > 255)
    return memmem(DataOf(text), text.size(), r.Text.data(), m) != nullptr;
  if (text.size() < m) return false;
  const auto* h = reinterpret_cast<const unsigned char*>(text.data());
  const auto* n = reinterpret_cast<const unsigned char*>(r.Text.data());
  if (m == 1) return std::memchr(h, n[0], text.size()) != nullptr;
  const size_t p1 = r.Probe1, p2 = r.Probe2;
  size_t i = 0;
#if defined(__SSE2__)
  // Where both probe bytes agree (every place below i + 16 whose whole literal fits is tried
  // before the rest goes on from i).
  const __m128i f = _mm_set1_epi8(static_cast<char>(n[p1]));
  const __m128i l = _mm_set1_epi8(static_cast<char>(n[p2]));
  for (; i + m - 1 + 16 <= text.size(); i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + p1));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + p2));
    auto mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, f), _mm_cmpeq_epi8(b, l))));
    for (; mask; mask &= mask - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (std::memcmp(h + at, n, m) == 0) return true;
    }
  }
#endif
  for (; i + m <= text.size(); ++i)
    if (h[i + p1] == n[p1] && h[i + p2] == n[p2] && std::memcmp(h + i, n, m) == 0) return true;
  return false;
}

bool MayMatch(const TCompiled& c, std::string_view text) {
  // A literal that has turned more texts away than the one before it moves forward: the one
  // most texts lack comes to be tried first (the cache is the thread's own).
  std::vector<TCompiled::TRequired>& req = c.Required;
  for (size_t k = 0; k < req.size(); ++k) {
    if (!ContainsRequired(text, req[k])) {
      ++req[k].TurnedAway;
      if (k > 0 && req[k].TurnedAway > req[k - 1].TurnedAway) std::swap(req[k], req[k - 1]);
      return false;
    }
  }
  return true;
}

}  // namespace

bool SplitWrappedPattern(std::string_view p, std::string& body, std::string& flags) {
  // Characters that mean something to an expression cannot delimit one: "m.*." and "m+" are
  // expressions of their own.
  constexpr std::string_view kMeta = ".*+?|()[]{}^$";
  if (p.size() < 3 || p[0] != 'm' || !IsDelimiter(p[1]) ||
      kMeta.find(p[1]) != std::string_view::npos)
    return false;
  const size_t end = PartEnd(p, 2, p[1]);
  if (end == std::string_view::npos || !OnlyFlags(p.substr(end + 1), "gimsxko")) return false;
  body.assign(p.substr(2, end - 2));
  flags.assign(p.substr(end + 1));
  return true;
}

size_t RegexMatch(std::string_view text, std::string_view pattern, std::string& out) {
  const TCompiled& c = Cache().Get('m', pattern);
  OnigRegion* region = Region();
  if (!MayMatch(c, text) || !Search(c.Re, text, 0, region)) return 0;
  const int n = region->num_regs;
  for (int i = 0; i < n; ++i) {
    out += Group(text, region, i);
    out += "\r\n";
  }
  return static_cast<size_t>(n);
}

std::vector<std::string> RegexSplit(std::string_view text, std::string_view pattern, size_t limit) {
  const TCompiled& c = Cache().Get('m', pattern);
  OnigRegion* region = Region();
  std::vector<std::string> pieces;
  if (text.empty() || limit == 0) return pieces;
  size_t start = 0;  // where the current piece starts
  size_t from = 0;   // where the next search starts
  size_t fields = 0;
  const bool may = MayMatch(c, text);
  while (may && fields + 1 < limit && from <= text.size() && Search(c.Re, text, from, region)) {
    const auto b = static_cast<size_t>(region->beg[0]);
    const auto e = static_cast<size_t>(region->end[0]);
    // An empty match where the piece starts splits nothing: look one character further.
    if (b == e && b == start) {
      if (b >= text.size()) break;
      from = b + CharLen(text, b);
      continue;
    }
    pieces.emplace_back(text.substr(start, b - start));
    ++fields;
    for (int i = 1; i < region->num_regs; ++i) pieces.emplace_back(Group(text, region, i));
    start = from = e;
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

TRegexSubst RegexSubstitute(std::string_view text, std::string_view expression) {
  const TCompiled& c = Cache().Get('s', expression);
  OnigRegion* region = Region();
  TRegexSubst result;
  size_t copied = 0;
  size_t from = 0;
  bool replaced = false;
  int groups = 0;
  const bool may = MayMatch(c, text);
  while (may && from <= text.size() && Search(c.Re, text, from, region)) {
    if (!replaced) {
      result.Text.reserve(text.size() + text.size() / 8);
      groups = region->num_regs;
      replaced = true;
    }
    const auto b = static_cast<size_t>(region->beg[0]);
    const auto e = static_cast<size_t>(region->end[0]);
    result.Text.append(text.substr(copied, b - copied));
    for (const auto& piece : c.Replacement) {
      if (piece.Group < 0) {
        result.Text += piece.Literal;
      } else {
        result.Text += Group(text, region, piece.Group);
      }
    }
    copied = e;
    if (!c.Global) break;
    if (e == b) {
      // After an empty match the next one starts a character further on; the character
      // stays as it is.
      if (e >= text.size()) break;
      const size_t len = CharLen(text, e);
      result.Text.append(text.substr(e, len));
      copied = from = e + len;
    } else {
      from = e;
    }
  }
  if (!replaced) {
    result.Text.assign(text);
    return result;
  }
  result.Text.append(text.substr(copied));
  result.Count = static_cast<size_t>(groups);
  return result;
}

std::string RegexTranslate(std::string_view text, std::string_view expression) {
  const TCompiled& c = Cache().Get('t', expression);
  std::string out;
  out.reserve(text.size());
  int32_t last = kKeep;  // what the previous character was translated to
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLen(text, i);
    const int32_t to = c.Map[CodeAt(text, i, len)];
    if (to == kKeep) {
      out.append(text.substr(i, len));
      last = kKeep;
    } else if (to != kDelete && !(c.Squeeze && to == last)) {
      if (to >= 0x100) out += static_cast<char>(to >> 8);
      out += static_cast<char>(to & 0xFF);
      last = to;
    }
    i += len;
  }
  return out;
}

}  // namespace yume
