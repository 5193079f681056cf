#include "core/answers.h"

#include "core/number.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"

namespace yume {

namespace {

// ASCII letters in lower case; two-byte characters (whose second byte may be a letter's) stay.
std::string Lower(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    const size_t len = CharLen(out, i);
    if (len == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    i += len;
  }
  return out;
}

}  // namespace

std::optional<int> YesNoAnswer(std::string_view line, bool withCancel) {
  const std::string a = Lower(TrimBlanks(line));
  if (a == "はい" || a == "y" || a == "yes" || a == "1") return 1;
  if (a == "いいえ" || a == "n" || a == "no" || a == "0") return 0;
  if (withCancel && (a == "キャンセル" || a == "c" || a == "cancel" || a == "2")) return 2;
  return std::nullopt;
}

std::optional<std::string> ChoiceAnswer(std::string_view line,
                                        const std::vector<std::string>& items, bool anyText) {
  const std::string_view a = TrimBlanks(line);
  long double n = 0;
  if (!a.empty() && TryStrToNumber(a, n) && n >= 1 && n <= static_cast<long double>(items.size()) &&
      n == static_cast<long double>(static_cast<size_t>(n))) {
    return items[static_cast<size_t>(n) - 1];
  }
  for (const auto& item : items)
    if (item == line || item == a) return item;
  if (anyText) return std::string(line);
  return std::nullopt;
}

std::string MultiLineAnswer(std::string_view line) {
  std::string out;
  for (size_t i = 0; i < line.size();) {
    const size_t len = CharLen(line, i);
    if (len == 1 && line[i] == '\\' && i + 1 < line.size()) {
      if (line[i + 1] == 'n') {
        out += "\r\n";
        i += 2;
        continue;
      }
      if (line[i + 1] == '\\') {
        out += '\\';
        i += 2;
        continue;
      }
    }
    out.append(line.substr(i, len));
    i += len;
  }
  return out;
}

std::string ItemsAnswer(std::string_view line, const TItemList& items) {
  std::vector<std::pair<std::string, std::string>> rows;
  rows.reserve(items.Rows.size());
  for (const auto& r : items.Rows) rows.emplace_back(r.Key, r.Value);
  const std::string given = MultiLineAnswer(line);
  for (size_t pos = 0; pos < given.size();) {
    const std::string_view l = NextLine(given, pos);
    const size_t eq = l.find('=');  // "=" is never a second byte
    if (eq == std::string_view::npos) continue;
    const std::string_view key = l.substr(0, eq), value = l.substr(eq + 1);
    for (auto& r : rows) {
      if (r.first == key) r.second = std::string(value);
    }
  }
  std::string out;
  for (const auto& r : rows) {
    out += r.first;
    out += '=';
    out += r.second;
    out += "\r\n";
  }
  return out;
}

std::optional<uint32_t> ColorAnswer(std::string_view line) {
  const std::string_view a = TrimBlanks(line);
  if (a.size() == 7 && a[0] == '#') {
    uint32_t rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
      const char c = a[i];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) return std::nullopt;
      rgb = rgb * 16 + static_cast<uint32_t>(d);
    }
    // #RRGGBB -> red in the low byte
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  }
  long double n = 0;
  if (!TryStrToNumber(a, n) || n < 0 || n > 0xFFFFFFFFL) return std::nullopt;
  return static_cast<uint32_t>(n);
}

std::optional<TDialogFont> FontAnswer(std::string_view line) {
  const std::vector<std::string> parts = SplitAtBars(TrimBlanks(line));
  TDialogFont f;
  f.Name = std::string(TrimBlanks(parts[0]));
  if (f.Name.empty()) return std::nullopt;
  if (parts.size() > 1) {
    const std::string& style = parts[1];
    f.Bold = FindAligned(style, "太字") != std::string::npos;
    f.Italic = FindAligned(style, "斜体") != std::string::npos;
    f.Underline = FindAligned(style, "下線") != std::string::npos;
  }
  if (parts.size() > 2) {
    const long double size = StrToNumber(parts[2]);
    if (size >= 1) f.Size = static_cast<int>(size);
  }
  return f;
}

std::vector<std::string> FilesAnswer(std::string_view line) {
  std::vector<std::string> files;
  size_t start = 0;
  for (;;) {
    const size_t bar = FindCharAligned(line, '|', start);
    const std::string_view name = TrimBlanks(
        line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (!name.empty()) files.emplace_back(name);
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return files;
}

std::optional<std::string> ListAnswer(std::string_view line, const std::vector<std::string>& items,
                                      bool editable) {
  if (line.empty() && !items.empty()) return items.front();
  return ChoiceAnswer(line, items, editable || items.empty());
}

std::vector<std::string> OpenFilesAnswer(std::string_view line, const std::string& initial) {
  std::vector<std::string> files = FilesAnswer(line.empty() ? std::string_view(initial) : line);
  for (std::string& f : files) f = ExpandFileName(f);
  return files;
}

std::optional<std::string> SaveFileAnswer(std::string_view line, const std::string& initial,
                                          const std::string& defaultExt) {
  std::string name(TrimBlanks(line.empty() ? std::string_view(initial) : line));
  if (name.empty()) return std::nullopt;
  if (!defaultExt.empty() && ExtractFileExt(name).empty()) name += "." + defaultExt;
  return ExpandFileName(name);
}

std::string FolderAnswer(std::string_view line, const std::string& start) {
  const std::string_view name = TrimBlanks(line);
  return ExpandFileName(name.empty() ? std::string_view(start) : name);
}

}  // namespace yume
