#include "core/scanner.h"

#include <cstdint>

#include "core/error.h"
#include "core/expr.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/yumebase.h"

namespace yume {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "￥" (81 8F) escapes like a backslash in here-documents and in expanded strings.
bool AtYen(std::string_view text, size_t pos) {
  return pos + 1 < text.size() && text[pos] == '\x81' && text[pos + 1] == '\x8F';
}

// End of a double-quoted literal whose opening quote is at pos, or npos.
size_t SkipDoubleQuoted(std::string_view text, size_t pos) {
  size_t i = pos + 1;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"') return i + 1;
    if (c == '\\' && i + 1 < text.size()) {
      ++i;
      i += CharLen(text, i);
      continue;
    }
    i += CharLen(text, i);
  }
  return std::string_view::npos;
}

size_t SkipBackquoted(std::string_view text, size_t pos) {
  size_t i = pos + 1;
  while (i < text.size()) {
    if (text[i] == '`') {
      if (CharAt(text, i + 1) != '`') return i + 1;
      i += 2;
      continue;
    }
    i += CharLen(text, i);
  }
  return std::string_view::npos;
}

// "@@", the terminator X (one or two bytes), the text, X. A backslash or "￥" makes the next
// character ordinary.
size_t SkipHereDocument(std::string_view text, size_t pos) {
  size_t i = pos + 2;
  if (i >= text.size()) return std::string_view::npos;
  const std::string_view term = text.substr(i, CharLen(text, i));
  i += term.size();
  while (i < text.size()) {
    if (text.compare(i, term.size(), term) == 0) return i + term.size();
    if (text[i] == '\\' || AtYen(text, i)) {
      i += CharLen(text, i);
      if (i < text.size()) i += CharLen(text, i);
      continue;
    }
    i += CharLen(text, i);
  }
  return std::string_view::npos;
}

}  // namespace

std::string_view ReadWord(std::string_view text, size_t& pos) {
  SkipBlanks(text, pos);
  const size_t start = pos;
  while (pos < text.size() && !IsDelimiter(text[pos])) pos += CharLen(text, pos);
  return text.substr(start, pos - start);
}

std::string ReadNumber(std::string_view text, size_t& pos) {
  SkipSeparators(text, pos);
  std::string out;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) out += text[pos++];
  if (CharAt(text, pos) == '$') {
    ++pos;
    uint64_t v = 0;
    long double big = 0;
    bool overflow = false;
    int d;
    while (pos < text.size() && (d = HexDigit(text[pos])) >= 0) {
      if (!overflow && (v >> 60) != 0) {
        overflow = true;
        big = static_cast<long double>(v);
      }
      if (overflow) {
        big = big * 16 + d;
      } else {
        v = (v << 4) | static_cast<uint64_t>(d);
      }
      ++pos;
    }
    out += overflow ? FormatNumber(big) : std::to_string(v);
    return out;
  }
  const size_t start = pos;
  while (pos < text.size() && IsDigitChar(text[pos])) ++pos;
  if (CharAt(text, pos) == '.' && IsDigitChar(CharAt(text, pos + 1))) {
    pos += 2;
    while (pos < text.size() && IsDigitChar(text[pos])) ++pos;
    const char e = CharAt(text, pos);
    if (e == 'E' || e == 'e') {
      size_t q = pos + 1;
      if (CharAt(text, q) == '+' || CharAt(text, q) == '-') ++q;
      if (IsDigitChar(CharAt(text, q))) {
        while (q < text.size() && IsDigitChar(text[q])) ++q;
        pos = q;
      }
    }
  }
  out.append(text.substr(start, pos - start));
  return out;
}

size_t SkipStringLiteral(std::string_view text, size_t pos) {
  switch (CharAt(text, pos)) {
    case '"':
      return SkipDoubleQuoted(text, pos);
    case '`':
      return SkipBackquoted(text, pos);
    default:
      return SkipHereDocument(text, pos);
  }
}

std::string_view ReadStringLiteral(TYumeBase& y, std::string_view text, size_t& pos) {
  const size_t end = SkipStringLiteral(text, pos);
  if (end == std::string_view::npos) {
    switch (text[pos]) {
      case '"':
        RaiseError(y, "対応するカッコ \" または 」 がありません。");
      case '`':
        RaiseError(y, "対応するカッコ ` または 』 がありません。");
      default: {
        const size_t x = pos + 2;
        const std::string_view term =
            x < text.size() ? text.substr(x, CharLen(text, x)) : std::string_view();
        RaiseError(y, "対応するカッコ%sがありません。", {term});
      }
    }
  }
  const std::string_view lit = text.substr(pos, end - pos);
  pos = end;
  return lit;
}

std::string_view ReadParenthesized(TYumeBase& y, std::string_view text, size_t& pos) {
  if (CharAt(text, pos) != '(') return {};
  const size_t end = SkipParenthesized(text, pos);
  if (end == std::string_view::npos) RaiseError(y, msg::kParenUnmatched);
  const std::string_view inner = text.substr(pos + 1, end - pos - 2);
  pos = end;
  return inner;
}

size_t SkipParenthesized(std::string_view text, size_t pos) {
  int depth = 1;
  size_t i = pos + 1;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return i + 1;
    } else if (AtStringLiteral(text, i)) {
      const size_t end = SkipStringLiteral(text, i);
      if (end == std::string_view::npos) break;
      i = end;
      continue;
    }
    i += CharLen(text, i);
  }
  return std::string_view::npos;
}

void AppendBackquoted(std::string& out, std::string_view text) {
  out += '`';
  size_t i = 0;
  while (i < text.size()) {
    const size_t len = CharLen(text, i);
    if (len == 1 && text[i] == '`') out += '`';
    out.append(text.data() + i, len);
    i += len;
  }
  out += '`';
}

std::string QuoteBackquote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  AppendBackquoted(out, text);
  return out;
}

int ScanLineMarker(std::string_view text, size_t& pos) {
  while (pos < text.size() &&
         (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
    ++pos;
  if (!IsDigitChar(CharAt(text, pos))) return kNoLineMarker;
  const size_t start = pos;
  long v = 0;
  while (pos < text.size() && IsDigitChar(text[pos])) {
    if (pos - start < 9) v = v * 10 + (text[pos] - '0');
    ++pos;
  }
  if (CharAt(text, pos) == ':') {
    ++pos;
    return static_cast<int>(v);
  }
  return -1;
}

void ReadLineMarker(TYumeBase& y, std::string_view text, size_t& pos) {
  const int line = ScanLineMarker(text, pos);
  if (line != kNoLineMarker) y.Line = line;
}

std::string ReadConcatTail(TYumeBase& y, std::string_view text, size_t& pos,
                           TLineStepFn line_step) {
  SkipBlanks(text, pos);
  if (CharAt(text, pos) != '&') return std::string(ReadWord(text, pos));
  std::string out;
  while (CharAt(text, pos) == '&') {
    ++pos;
    SkipSeparators(text, pos);
    // "&" at the end of a line continues on the next one.
    while (CharAt(text, pos) == '\r') {
      if (line_step) {
        line_step(y, text, pos);
      } else {
        ReadLineMarker(y, text, pos);
      }
      SkipSeparators(text, pos);
    }
    out += '&';
    if (AtStringLiteral(text, pos)) {
      const std::string_view lit = ReadStringLiteral(y, text, pos);
      AppendBackquoted(out, EvaluateText(y, lit));
      SkipBlanks(text, pos);
      if (CharAt(text, pos) != '&') out += ReadWord(text, pos);
    } else {
      // A parenthesised operand is kept whole, a sign stays with its number.
      if (CharAt(text, pos) == '(') {
        const std::string_view inner = ReadParenthesized(y, text, pos);
        out += '(';
        out += inner;
        out += ')';
      } else if (CharAt(text, pos) == '-' || CharAt(text, pos) == '+') {
        out += text[pos++];
      }
      out += ReadWord(text, pos);
      SkipBlanks(text, pos);
    }
  }
  return out;
}

}  // namespace yume
