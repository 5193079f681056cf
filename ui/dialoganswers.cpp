#include "ui/dialoganswers.h"

#include <charconv>

#include "core/sjis.h"

namespace yume {

namespace {

// Pieces between the bars, empty ones included.
std::vector<std::string> SplitKeepingEmpty(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t bar = FindCharAligned(text, '|', start);
    if (bar == std::string::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
}

// A whole text as a number in the base; false for anything else (or an empty text).
bool ParseWhole(const std::string& text, int base, uint64_t& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  return ec == std::errc() && ptr == end;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t eol = text.find_first_of("\r\n", start);  // CR and LF are never second bytes
    if (eol == std::string::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, eol - start));
    start = eol + (text.compare(eol, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace

int YesNoAnswer(const std::string& line, bool withCancel) {
  const std::string word = Cp932ToUtf8(line);
  if (word == "はい" || word == "y" || word == "Y" || word == "1") return 1;
  if (withCancel && (word == "キャンセル" || word == "c" || word == "C" || word == "2")) return 2;
  return 0;
}

int ListAnswerIndex(const std::string& line, const std::vector<std::string>& items) {
  uint64_t n = 0;
  if (ParseWhole(line, 10, n) && n >= 1 && n <= items.size()) return static_cast<int>(n - 1);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == line) return static_cast<int>(i);
  return -1;
}

std::string ListAnswer(const std::string& line, const std::vector<std::string>& items,
                       bool editable) {
  const int i = ListAnswerIndex(line, items);
  if (i >= 0) return items[i];
  // As OK does: with nothing typed (or nothing that may be typed) the first item.
  if ((editable && !line.empty()) || items.empty()) return line;
  return items.front();
}

int ButtonAnswerIndex(const std::string& line, const std::vector<std::string>& captions) {
  if (captions.empty()) return -1;
  for (size_t i = 0; i < captions.size(); ++i)
    if (captions[i] == line) return static_cast<int>(i);
  uint64_t n = 0;
  if (ParseWhole(line, 10, n) && n >= 1 && n <= captions.size()) return static_cast<int>(n - 1);
  return 0;
}

std::string MultiLineAnswer(const std::string& line) {
  std::string out;
  size_t start = 0;
  for (;;) {
    size_t at = FindAligned(line, "\\n", start);
    if (at == std::string::npos) break;
    out.append(line, start, at - start).append("\r\n");
    start = at + 2;
  }
  return out.append(line, start);
}

void ApplyItemAnswer(const std::string& line, TItemList& items) {
  for (const std::string& pair : SplitLines(MultiLineAnswer(line))) {
    const size_t eq = FindCharAligned(pair, '=');
    if (eq == std::string::npos) continue;
    const std::string key = pair.substr(0, eq);
    for (TItemRow& row : items.Rows)
      if (row.Key == key) row.Value = pair.substr(eq + 1);
  }
}

std::string JoinItemRows(const TItemList& items) {
  std::string text;
  for (const TItemRow& row : items.Rows) text += row.Key + "=" + row.Value + "\r\n";
  return text;
}

bool ColorAnswer(const std::string& line, uint32_t& color) {
  uint64_t v = 0;
  if (!line.empty() && line[0] == '#') {
    if (line.size() != 7 || !ParseWhole(line.substr(1), 16, v)) return false;
    // #RRGGBB reads with red first; the colour keeps red in the low byte.
    color = static_cast<uint32_t>(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
    return true;
  }
  const bool hex = !line.empty() && line[0] == '$';
  if (!ParseWhole(hex ? line.substr(1) : line, hex ? 16 : 10, v) || v > 0xFFFFFFFFu) return false;
  color = static_cast<uint32_t>(v);
  return true;
}

bool FontAnswer(const std::string& line, TDialogFont& font) {
  std::vector<std::string> parts = SplitKeepingEmpty(line);
  if (parts.front().empty()) return false;
  TDialogFont f = font;
  f.Name = parts.front();
  f.Bold = f.Italic = f.Underline = false;
  for (size_t i = 1; i < parts.size(); ++i) {
    uint64_t size = 0;
    if (ParseWhole(parts[i], 10, size)) {
      if (size == 0 || size > 1000) return false;
      f.Size = static_cast<int>(size);
      continue;
    }
    const std::string styles = Cp932ToUtf8(parts[i]);
    f.Bold = f.Bold || styles.find("太字") != std::string::npos;
    f.Italic = f.Italic || styles.find("斜体") != std::string::npos;
    f.Underline = f.Underline || styles.find("下線") != std::string::npos;
  }
  font = f;
  return true;
}

std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> parts;
  for (std::string& p : SplitKeepingEmpty(text))
    if (!p.empty()) parts.push_back(std::move(p));
  return parts;
}

std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& filter) {
  std::vector<std::pair<std::string, std::string>> out;
  if (filter.empty()) return out;
  std::vector<std::string> parts = SplitKeepingEmpty(filter);
  for (size_t i = 0; i < parts.size(); i += 2) {
    std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
    if (parts[i].empty() && pattern.empty()) continue;
    out.emplace_back(parts[i], pattern.empty() ? "*" : pattern);
  }
  return out;
}

}  // namespace yume
