#include "core/term.h"

#include <climits>
#include <iterator>
#include <memory>

#include "core/convhalf.h"
#include "core/error.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/scanner.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

constexpr std::string_view kNo = "の";  // 82 CC

bool IsCallable(const THashNode& w) {
  return w.Kind == wkCommand || w.Kind == wkLabel || w.Kind == wkLibFunc;
}

// "$" or a digit first is a number, anything else text (a variable that never got a type code).
const char* TypeOfUntyped(std::string_view v) {
  return !v.empty() && (v[0] == '$' || IsDigitChar(v[0])) ? "e" : "s";
}

// A command, label or library function under the folded name of a word (a command written with
// its okurigana). Only callable words are found this way, so that a variable named like a
// conjugated verb is never taken for the verb.
THashNode* FindFoldedCallable(TYumeBase& y, std::string_view name) {
  THashNode* w = y.Dict.FindScoped(name, true);
  return w && IsCallable(*w) ? w : nullptr;
}

bool AtFullWidth(std::string_view text, size_t i, char trail) {
  return i + 1 < text.size() && text[i] == '\x81' && text[i + 1] == trail;
}
// "￥" 818F, "｛" 816F, "｝" 8170, "ｎ" 828E, "ｔ" 8294.
bool AtBackslash(std::string_view s, size_t i) {
  return s[i] == '\\' || AtFullWidth(s, i, '\x8F');
}
bool AtOpenBrace(std::string_view s, size_t i) {
  return s[i] == '{' || AtFullWidth(s, i, '\x6F');
}
bool AtCloseBrace(std::string_view s, size_t i) {
  return s[i] == '}' || AtFullWidth(s, i, '\x70');
}

// Position of the brace that closes the one opened at `open`, or npos. Backquoted literals
// inside are skipped whole.
size_t MatchingBrace(std::string_view s, size_t open) {
  int depth = 0;
  size_t i = open;
  while (i < s.size()) {
    if (AtOpenBrace(s, i)) {
      ++depth;
    } else if (AtCloseBrace(s, i)) {
      if (--depth == 0) return i;
    } else if (s[i] == '`') {
      const size_t end = SkipStringLiteral(s, i);
      if (end == std::string_view::npos) return std::string_view::npos;
      i = end;
      continue;
    }
    i += CharLen(s, i);
  }
  return std::string_view::npos;
}

// The body of a double-quoted or "@@" literal with its escapes and "{...}" insertions expanded,
// appended to out.
void ExpandBody(TYumeBase& y, std::string_view body, bool here_document, std::string& out) {
  size_t i = 0;
  const size_t n = body.size();
  while (i < n) {
    const size_t len = CharLen(body, i);
    if (AtBackslash(body, i)) {
      const size_t j = i + len;
      if (j >= n) {
        out.append(body.substr(i, len));
        break;
      }
      const size_t next = CharLen(body, j);
      if (body[j] == 'n' || (next == 2 && body[j] == '\x82' && body[j + 1] == '\x8E')) {
        out += "\r\n";
      } else if (body[j] == 't' || (next == 2 && body[j] == '\x82' && body[j + 1] == '\x94')) {
        out += '\t';
      } else {
        out.append(body.substr(j, next));
      }
      i = j + next;
      continue;
    }
    if (AtOpenBrace(body, i)) {
      const size_t close = MatchingBrace(body, i);
      if (close != std::string_view::npos) {
        const std::string inner =
            TConvToHalf::Instance().ConvertText(body.substr(i + len, close - i - len));
        out += EvaluateText(y, inner);
        i = close + CharLen(body, close);
        continue;
      }
    } else if (AtCloseBrace(body, i) && !here_document) {
      i += len;  // a closing brace that closes nothing is dropped
      continue;
    }
    out.append(body.substr(i, len));
    i += len;
  }
}

// Appends the value of the string literal at pos and moves pos past it.
}  // namespace

void ExpandLiteral(TYumeBase& y, std::string_view text, size_t& pos, std::string& out) {
  const size_t end = SkipStringLiteral(text, pos);
  const bool closed = end != std::string_view::npos;
  const char open = text[pos];
  if (open == '`') {
    // Two backquotes stand for one; an unterminated literal runs to the end of the text.
    const size_t stop = closed ? end - 1 : text.size();
    size_t i = pos + 1;
    while (i < stop) {
      const size_t len = CharLen(text, i);
      out.append(text.substr(i, len));
      i += (len == 1 && text[i] == '`') ? 2 : len;
    }
    pos = closed ? end : text.size();
    return;
  }
  size_t body_start = pos + 1;
  size_t term_len = 1;
  if (open == '@') {
    body_start = pos + 2;
    term_len = body_start < text.size() ? CharLen(text, body_start) : 0;
    body_start += term_len;
  }
  body_start = std::min(body_start, text.size());
  const size_t body_end = closed ? end - term_len : text.size();
  ExpandBody(y, text.substr(body_start, body_end - body_start), open == '@', out);
  if (!closed) RaiseError(y, "文字列\"%s\"の最後に」がありません。", {out});
  pos = end;
}

void ContinueStringChain(TYumeBase& y, std::string_view text, size_t& pos, std::string& out) {
  for (;;) {
    size_t q = pos;
    SkipBlanks(text, q);
    if (CharAt(text, q) != '&' || CharAt(text, q + 1) == '&') break;
    ++q;
    SkipBlanks(text, q);
    if (AtStringLiteral(text, q)) {
      pos = q;
      ExpandLiteral(y, text, pos, out);
      continue;
    }
    const size_t at = q;
    std::string v = EvalTerm(y, text, q);
    if (q == at) break;  // nothing to join: the "&" is left to the caller
    out += v;
    pos = q;
  }
  y.LastType = "s";
}

bool PlainLiteralValue(std::string_view lit, std::string& out) {
  if (lit.size() < 2) return false;
  const char open = lit[0];
  if (open == '`') {
    out.clear();
    for (size_t i = 1; i + 1 < lit.size();) {
      const size_t len = CharLen(lit, i);
      out.append(lit.substr(i, len));
      i += (len == 1 && lit[i] == '`') ? 2 : len;
    }
    return true;
  }
  if (open != '"') return false;
  const std::string_view body = lit.substr(1, lit.size() - 2);
  for (size_t i = 0; i < body.size(); i += CharLen(body, i)) {
    if (AtBackslash(body, i) || AtOpenBrace(body, i) || AtCloseBrace(body, i)) return false;
  }
  out.assign(body);
  return true;
}

namespace {

// A string literal and whatever "&" joins to it: further literals and terms.
std::string StringChain(TYumeBase& y, std::string_view text, size_t& pos) {
  std::string out;
  ExpandLiteral(y, text, pos, out);
  ContinueStringChain(y, text, pos, out);
  return out;
}

// The key of an item access: a literal, the inside of parentheses, or a word.
struct TKey {
  enum TForm : uint8_t { kLiteral, kParen, kWord } form = kWord;
  std::string_view raw;  // the literal with its quotes, the inside of the parentheses, the word
};

// The key at pos after "Xの": a literal, a parenthesised text or a word.
TKey ReadKey(TYumeBase& y, std::string_view text, size_t& pos) {
  SkipBlanks(text, pos);
  TKey key;
  if (AtStringLiteral(text, pos)) {
    key.form = TKey::kLiteral;
    key.raw = ReadStringLiteral(y, text, pos);
  } else if (CharAt(text, pos) == '(') {
    key.form = TKey::kParen;
    key.raw = ReadParenthesized(y, text, pos);
  } else {
    key.raw = ReadWord(text, pos);
  }
  return key;
}

// Dictionaries and variables look items up by the key's value.
std::string KeyValue(TYumeBase& y, const TKey& key) {
  std::string out;
  size_t p = 0;
  switch (key.form) {
    case TKey::kLiteral:
      ExpandLiteral(y, key.raw, p, out);
      return out;
    case TKey::kParen:
      return std::string(key.raw);
    default:
      return key.raw.empty() ? std::string() : EvalTerm(y, key.raw, p);
  }
}

// Parts read a property named as written.
std::string_view KeyAsWritten(const TKey& key) {
  if (key.form == TKey::kLiteral && key.raw.size() >= 2 && key.raw[0] != '@')
    return key.raw.substr(1, key.raw.size() - 2);
  return key.raw;
}

// The value of the first "name=value" line of `lines` whose name is `name` in any letter case.
std::string_view LineValue(std::string_view lines, std::string_view name) {
  size_t pos = 0;
  while (pos < lines.size()) {
    const std::string_view line = NextLine(lines, pos);
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos && SameTextIgnoreCase(line.substr(0, eq), name))
      return line.substr(eq + 1);
  }
  return {};
}

std::string ReadPart(TYumeBase& y, THashNode& part, std::string_view property, bool has_property) {
  if (!y.PartRead)
    RaiseError(y, "部品\"%s\"の値を得るには部品の機能が必要ですが、まだ作られていません。",
               {part.Name});
  return y.PartRead(y, part, property, has_property);
}

// The word that item access on x reads: a part or dictionary itself, or the part or dictionary
// a variable names. Null for anything else.
THashNode* ItemHolder(TYumeBase& y, THashNode* x) {
  if (!x) return nullptr;
  if (x->Kind == wkPart || x->Kind == wkDictionary) return x;
  if (x->Kind != wkVariable || x->ValueText().empty()) return nullptr;
  THashNode* target = y.Dict.FindScoped(x->ValueText(), false);
  return target && (target->Kind == wkPart || target->Kind == wkDictionary) ? target : nullptr;
}

std::string ItemAccess(TYumeBase& y, THashNode& x, const TKey& key) {
  switch (x.Kind) {
    case wkDictionary: {
      if (!x.Items)
        RaiseError(y,
                   "作成されていないハッシュ\"%s\"が、見つかりました。"
                   "メモリが足りないか、バグの可能性があります。",
                   {x.Name});
      const std::shared_ptr<THash> items = x.Items;  // the key may run code
      const std::string name = KeyValue(y, key);
      const THashNode* item = items->Find(name, false);
      if (!item) {
        y.LastType = "s";
        return {};
      }
      std::string v = item->ValueText();
      const std::string& t = item->TypeText;
      y.LastType = t.empty() ? TypeOfUntyped(v) : (t.back() == 'e' ? "e" : "s");
      return v;
    }
    case wkVariable: {
      // A variable may hold the name of the part or dictionary meant.
      if (THashNode* target = ItemHolder(y, &x)) return ItemAccess(y, *target, key);
      const std::string name = KeyValue(y, key);
      y.LastType = "s";
      return std::string(LineValue(x.ValueText(), name));
    }
    case wkPart:
      return ReadPart(y, x, KeyAsWritten(key), true);
    default:
      RaiseError(y, "部品\"%s\"から、直接値を得ることは出来ません。", {x.Name});
  }
}

// An index after "#": an expression in parentheses, a number, or a word taken as a value.
int ReadIndex(TYumeBase& y, std::string_view text, size_t& pos) {
  const char c = CharAt(text, pos);
  if (c == '(') return IndexValue(Calculate(y, ReadParenthesized(y, text, pos)));
  if (c == '$' || IsDigitChar(c) || c == '+' || c == '-') return IndexValue(ReadNumber(text, pos));
  const std::string_view word = ReadWord(text, pos);
  if (word.empty()) return -1;
  size_t p = 0;
  return IndexValue(EvalTerm(y, word, p));
}

// "#" index, optionally a second "#" index, at pos. A row for one index, the cell in column i of
// row j for two; the type comes from the text read.
std::string ElementAccess(TYumeBase& y, THashNode* w, std::string_view text, size_t& pos) {
  ++pos;  // "#"
  const int i = ReadIndex(y, text, pos);
  size_t q = pos;
  SkipBlanks(text, q);
  std::string v;
  if (CharAt(text, q) == '#') {
    pos = q + 1;
    const int j = ReadIndex(y, text, pos);
    if (w && i >= 0 && j >= 0) v = w->GetCell(i, j);
  } else if (w && i >= 0) {
    v = w->GetRow(i);
  }
  y.LastType = InferCellType(v);
  return v;
}

std::string CallForValue(TYumeBase& y, THashNode& w, std::string_view text, size_t& pos) {
  size_t q = pos;
  SkipBlanks(text, q);
  const bool has_args = CharAt(text, q) == '(';
  std::string_view args;
  if (has_args) {
    args = ReadParenthesized(y, text, q);
    pos = q;
  }
  if (!y.CallForValue)
    RaiseError(y, "\"%s\"を値として使うには、命令の実行が必要ですが、まだ作られていません。",
               {w.Name});
  return y.CallForValue(y, w, args, has_args);
}

std::string WordValue(TYumeBase& y, THashNode& w, std::string_view text, size_t& pos) {
  switch (w.Kind) {
    case wkVariable: {
      if (CharAt(text, pos) == '#') return ElementAccess(y, &w, text, pos);
      std::string v = w.ValueText();
      if (w.TypeText.empty()) {
        y.LastType = TypeOfUntyped(v);
      } else {
        y.LastType = w.TypeText;
      }
      return v;
    }
    case wkDictionary:
      y.LastType = "hs";
      return w.Items ? w.Items->PairsText() : std::string();
    case wkPart:
      return ReadPart(y, w, {}, false);
    case wkCommand:
    case wkLabel:
    case wkLibFunc:
      return CallForValue(y, w, text, pos);
    default:
      y.LastType = "s";
      return w.ValueText();
  }
}

// Item access written inside one word ("部品のテキスト", "辞書のキー"): the longest head before a
// "の" that holds items (a part, a dictionary, or a variable naming one). Null when there is
// none, so that ordinary words containing "の" stay words.
THashNode* SplitItemWord(TYumeBase& y, std::string_view word, std::string_view& key) {
  size_t at[16];
  size_t count = 0;
  for (size_t i = FindAligned(word, kNo); i != std::string_view::npos && count < std::size(at);
       i = FindAligned(word, kNo, i + kNo.size()))
    at[count++] = i;
  while (count > 0) {
    const size_t i = at[--count];
    const std::string_view rest = word.substr(i + kNo.size());
    if (i == 0 || rest.empty()) continue;
    if (THashNode* x = ItemHolder(y, y.Dict.FindScoped(word.substr(0, i), false))) {
      key = rest;
      return x;
    }
  }
  return nullptr;
}

// A word not in the dictionary as written: an element of a word not made yet (empty), item access
// "Xの" with its key, a command under its folded name, item access written inside the word, or
// else the word's own text.
std::string UnknownWordValue(TYumeBase& y, std::string_view word, std::string_view text,
                             size_t& pos) {
  if (CharAt(text, pos) == '#') return ElementAccess(y, nullptr, text, pos);
  const size_t stem = word.size() - kNo.size();
  if (word.size() > kNo.size() && word.substr(stem) == kNo &&
      FindAligned(word, kNo, stem) == stem) {
    if (THashNode* x = y.Dict.FindScoped(word.substr(0, stem), false)) {
      size_t q = pos;
      SkipBlanks(text, q);
      const char c = CharAt(text, q);
      if (AtStringLiteral(text, q) || c == '(' || !IsDelimiter(c)) {
        const TKey key = ReadKey(y, text, pos);
        return ItemAccess(y, *x, key);
      }
    }
  }
  if (THashNode* w = FindFoldedCallable(y, word)) return WordValue(y, *w, text, pos);
  std::string_view rest;
  if (THashNode* x = SplitItemWord(y, word, rest))
    return ItemAccess(y, *x, TKey{TKey::kWord, rest});
  y.LastType = "s";
  return std::string(word);
}

}  // namespace

std::string NegateValue(std::string v) {
  if (!v.empty() && v[0] == '-') {
    v.erase(0, 1);
  } else if (!v.empty() && v[0] == '+') {
    v[0] = '-';
  } else {
    v.insert(v.begin(), '-');
  }
  return v;
}

const char* InferCellType(std::string_view text) {
  std::string half;
  std::string_view s = text;
  for (char c : text) {
    if (IsLead(c)) {
      half = TConvToHalf::Instance().ConvertText(text);
      s = half;
      break;
    }
  }
  s = TrimBlanks(s);
  if (s.empty()) return "s";
  if (s[0] == '$') {
    for (char c : s.substr(1)) {
      const bool hex = IsDigitChar(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
      if (!hex) return "s";
    }
    return "e";
  }
  for (char c : s)
    if (!IsDigitChar(c) && c != ',') return "s";
  return "e";
}

int IndexValue(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  }
  if (s.empty()) return -1;
  long long v = 0;
  for (char c : s) {
    int d;
    if (IsDigitChar(c)) {
      d = c - '0';
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else {
      return -1;
    }
    v = v * base + d;
    if (v > INT_MAX) return -1;
  }
  return static_cast<int>(negative ? -v : v);
}

std::string EvalTerm(TYumeBase& y, std::string_view text, size_t& pos) {
  const size_t origin = pos;
  SkipSeparators(text, pos);
  const char c = CharAt(text, pos);
  if (AtStringLiteral(text, pos)) return StringChain(y, text, pos);
  if (c == '$' || IsDigitChar(c) ||
      (c == '+' && (CharAt(text, pos + 1) == '$' || IsDigitChar(CharAt(text, pos + 1))))) {
    y.LastType = "e";
    return ReadNumber(text, pos);
  }
  if (c == '(') {
    const std::string_view inner = ReadParenthesized(y, text, pos);
    return Calculate(y, inner);
  }
  if (c == '-') {
    ++pos;
    return NegateValue(EvalTerm(y, text, pos));
  }
  const std::string_view word = ReadWord(text, pos);
  if (word.empty()) {
    pos = origin;
    y.LastType = "s";
    return {};
  }
  if (THashNode* w = y.Dict.FindScoped(word, false)) return WordValue(y, *w, text, pos);
  return UnknownWordValue(y, word, text, pos);
}

}  // namespace yume
