// The condition language of 表条件抽出.
//
// A condition is a run of comparisons "field op value", read left to right: terms one after
// another are alternatives, "AND " and "OR " take everything to their right as their right
// operand (no precedence), parentheses group. The value decides the kind of comparison: a
// quoted text (a simple-mask match for "=" and "<>", bytes for the orderings), "#" and a date,
// or a number.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/convhalf.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/sjis.h"
#include "table/datetime.h"
#include "table/tableops.h"

namespace yume {

namespace {

// Bytes 0-32 off both ends.
std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
  return s.substr(b, e - b);
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The half-width form of a text; plain ASCII is its own (no conversion has an ASCII source),
// so it is only looked at.
std::string_view Half(std::string_view s, std::string& buffer) {
  if (IsAscii(s)) return s;
  buffer = TConvToHalf::Instance().ConvertText(s);
  return buffer;
}

// Every occurrence that starts a character replaced.
std::string ReplaceAligned(std::string_view s, std::string_view what, std::string_view with) {
  std::string out;
  size_t from = 0;
  for (size_t hit = FindAligned(s, what); hit != std::string_view::npos;
       hit = FindAligned(s, what, from)) {
    out.append(s, from, hit - from);
    out.append(with);
    from = hit + what.size();
  }
  out.append(s, from);
  return out;
}

enum class TOp { Equal, NotEqual, Greater, GreaterEqual, Less, LessEqual };

std::optional<TOp> ReadOp(std::string_view op) {
  if (op == "=" || op == "==") return TOp::Equal;
  if (op == "<>" || op == "><") return TOp::NotEqual;
  if (op == ">") return TOp::Greater;
  if (op == ">=" || op == "=>") return TOp::GreaterEqual;
  if (op == "<") return TOp::Less;
  if (op == "<=" || op == "=<") return TOp::LessEqual;
  return std::nullopt;
}

template <class T>
bool Holds(TOp op, const T& a, const T& b) {
  switch (op) {
    case TOp::Equal:
      return a == b;
    case TOp::NotEqual:
      return a != b;
    case TOp::Greater:
      return a > b;
    case TOp::GreaterEqual:
      return a >= b;
    case TOp::Less:
      return a < b;
    case TOp::LessEqual:
      return a <= b;
  }
  return false;
}

bool IsOpChar(char c) {
  return c == '<' || c == '=' || c == '>';
}

// Where the ")" closing the "(" at `open` stands. Quotes hide parentheses; inside "..." a
// backslash takes the next character along (a second byte 5C is no backslash).
size_t ClosingParen(std::string_view t, size_t open) {
  int depth = 0;
  char quote = 0;
  for (size_t i = open; i < t.size(); i += CharLen(t, i)) {
    const char c = t[i];
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else if (quote == '"' && c == '\\' && i + 1 < t.size()) {
        ++i;  // the loop steps over the escaped character, whole
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i;
    }
  }
  throw ESelect(msg::kParenUnmatched);
}

using TFlags = std::vector<char>;

class TSelector {
 public:
  explicit TSelector(const TCsvDb& db) : db_(db), rows_(static_cast<size_t>(db.RowCount())) {
    if (const TCsvCells* head = db.Row(0)) {
      std::string buffer;
      for (size_t i = 0; i < head->size(); ++i) names_.emplace_back(Half((*head)[i], buffer));
    }
  }

  TFlags Evaluate(std::string_view t) {
    TFlags result(rows_, 0);
    size_t i = 0;
    while (true) {
      while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
      if (i >= t.size()) break;
      const std::string_view rest = t.substr(i);
      if (t[i] == '(') {
        const size_t close = ClosingParen(t, i);
        Or(result, Evaluate(t.substr(i + 1, close - i - 1)));
        i = close + 1;
        continue;
      }
      if (rest.starts_with("AND ") || rest.starts_with("and ")) {
        const TFlags right = Evaluate(rest.substr(4));
        for (size_t r = 0; r < rows_; ++r) result[r] = result[r] && right[r];
        break;
      }
      if (rest.starts_with("OR ") || rest.starts_with("or ")) {
        Or(result, Evaluate(rest.substr(3)));
        break;
      }
      i = Comparison(t, i, result);
    }
    return result;
  }

 private:
  static void Or(TFlags& into, const TFlags& from) {
    for (size_t r = 0; r < into.size(); ++r) into[r] = into[r] || from[r];
  }

  // Reads the comparison at t[i], ORs its rows into `result`, returns where it ends.
  size_t Comparison(std::string_view t, size_t i, TFlags& result) {
    size_t op_at = i;
    while (op_at < t.size() && !IsOpChar(t[op_at])) op_at += CharLen(t, op_at);
    const std::string_view name = Trim(t.substr(i, op_at - i));
    size_t op_end = op_at;
    while (op_end < t.size() && IsOpChar(t[op_end])) ++op_end;
    const std::string_view op = t.substr(op_at, op_end - op_at);
    size_t j = op_end;
    while (j < t.size() && (t[j] == ' ' || t[j] == '\t' || t[j] == '\r' || t[j] == '\n')) ++j;
    size_t value_end = j;
    while (value_end < t.size() && t[value_end] != ' ' && t[value_end] != '\t' &&
           t[value_end] != '\r' && t[value_end] != '\n')
      value_end += CharLen(t, value_end);
    value_end = std::min(value_end, t.size());
    const std::string_view value = Trim(t.substr(j, value_end - j));

    const auto found = std::find(names_.begin(), names_.end(), name);
    if (found == names_.end())
      throw ESelect("フィールド名\"" + std::string(name) + "\"が見つかりません。");
    const int col = static_cast<int>(found - names_.begin());
    const std::optional<TOp> how = ReadOp(op);
    if (!how) throw ESelect("演算子の指定エラー。");
    Compare(col, *how, value, result);
    return value_end;
  }

  // Runs `test` on the half-width form of cell `col` of every present row from 1.
  template <class Test>
  void EachCell(int col, TFlags& result, Test test) {
    if (rows_ > 0) result[0] = 1;
    std::string buffer;
    for (size_t r = 1; r < rows_; ++r) {
      const TCsvCells* row = db_.Row(static_cast<int>(r));
      if (row && test(Half(row->Get(col), buffer))) result[r] = 1;
    }
  }

  void Compare(int col, TOp op, std::string_view value, TFlags& result) {
    if (!value.empty() && (value[0] == '"' || value[0] == '`')) {
      // The marks around the text go, whatever they are.
      std::string_view inner = value.substr(1);
      size_t last = 0;
      for (size_t k = 0; k < inner.size(); k += CharLen(inner, k)) last = k;
      inner = inner.substr(0, inner.empty() ? 0 : last);
      std::string buffer;
      const std::string text(Half(inner, buffer));
      EachCell(col, result, [&](std::string_view cell) {
        if (op == TOp::Equal) return MaskMatch(cell, text);
        if (op == TOp::NotEqual) return !MaskMatch(cell, text);
        return Holds(op, cell, std::string_view(text));
      });
    } else if (!value.empty() && value[0] == '#') {
      std::string_view date = value.substr(1);
      if (date.ends_with('#')) date.remove_suffix(1);  // "#2004/5/1#" reads as well
      const std::optional<double> when = ReadDateTime(date);
      if (!when) {
        if (rows_ > 0) result[0] = 1;
        return;
      }
      EachCell(col, result, [&](std::string_view cell) {
        const std::optional<double> d = ReadDateTime(cell);
        return d && Holds(op, *d, *when);
      });
    } else {
      const long double number = StrToNumber(value);
      EachCell(col, result,
               [&](std::string_view cell) { return Holds(op, StrToNumber(cell), number); });
    }
  }

  const TCsvDb& db_;
  const size_t rows_;
  std::vector<std::string> names_;  // row 0, half-width
};

}  // namespace

std::string PrepareCondition(std::string_view condition) {
  std::string c = TConvToHalf::Instance().ConvertText(condition);
  std::replace(c.begin(), c.end(), ',', ' ');  // "," is never a second byte
  c = ReplaceAligned(c, "または ", "OR ");
  return ReplaceAligned(c, "かつ ", "AND ");
}

std::vector<int> SelectRows(const TCsvDb& db, std::string_view condition) {
  std::vector<int> rows;
  if (Trim(condition).empty()) return rows;
  TSelector selector(db);
  const TFlags flags = selector.Evaluate(condition);
  for (size_t r = 0; r < flags.size(); ++r)
    if (flags[r]) rows.push_back(static_cast<int>(r));
  return rows;
}

// ---- the simple mask ----

namespace {

// Characters as codes (a two-byte character is one), ASCII letters in upper case.
std::vector<uint16_t> MaskUnits(std::string_view s) {
  std::vector<uint16_t> out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (CharLen(s, i) == 2) {
      out.push_back(static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(s[i + 1])));
      i += 2;
    } else {
      out.push_back(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
      ++i;
    }
  }
  return out;
}

class TMaskMatcher {
 public:
  TMaskMatcher(std::string_view text, std::string_view mask)
      : t_(MaskUnits(text)), m_(MaskUnits(mask)) {}

  bool Run() {
    if (std::find(m_.begin(), m_.end(), uint16_t{'*'}) != m_.end())
      failed_.assign((t_.size() + 1) * (m_.size() + 1), 0);
    return Match(0, 0);
  }

 private:
  static constexpr int kNone = -1;

  bool Match(size_t ti, size_t mi) {
    while (ti < t_.size() || mi < m_.size()) {
      const int t = ti < t_.size() ? t_[ti] : kNone;
      const int m = mi < m_.size() ? m_[mi] : kNone;
      if (m != kNone && (m == t || m == '?')) {
        if (ti < t_.size()) ++ti;  // "?" may stand for nothing at the end of the text
        ++mi;
      } else if (m == '*') {
        // Each tail of the text against the rest of the mask; a pair found failing once is
        // never tried again, so many stars cost no more than text times mask.
        uint8_t& failed = failed_[ti * (m_.size() + 1) + mi];
        if (failed) return false;
        for (size_t k = ti; k <= t_.size(); ++k)
          if (Match(k, mi + 1)) return true;
        failed = 1;
        return false;
      } else {
        return false;
      }
    }
    return true;
  }

  std::vector<uint16_t> t_, m_;
  std::vector<uint8_t> failed_;
};

}  // namespace

bool MaskMatch(std::string_view text, std::string_view mask) {
  return TMaskMatcher(text, mask).Run();
}

}  // namespace yume
