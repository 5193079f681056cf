#include "commands/ui/dialogtext.h"

#include <cmath>

#include "core/number.h"
#include "core/sjis.h"
#include "core/textutil.h"

namespace yume {

namespace {

bool Contains(std::string_view s, std::string_view what) {
  return FindAligned(s, what) != std::string_view::npos;
}

}  // namespace

std::string CutMessage(std::string_view text) {
  constexpr size_t kMax = 4095;
  if (text.size() <= kMax) return std::string(text);
  size_t end = 0;
  while (end < text.size()) {
    const size_t len = CharLen(text, end);
    if (end + len > kMax) break;
    end += len;
  }
  return std::string(text.substr(0, end)) + "...";
}

std::string ExpandTabs(std::string_view text, int tabWidth) {
  if (tabWidth <= 0) tabWidth = 8;
  std::string out;
  out.reserve(text.size());
  int column = 0;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (IsLead(c) && i + 1 < text.size()) {
      out.append(text.substr(i, 2));
      column += 2;
      i += 2;
    } else if (c == '\t') {
      const int next = (column / tabWidth + 1) * tabWidth;
      out.append(static_cast<size_t>(next - column), ' ');
      column = next;
      ++i;
    } else if (c == '\r' || c == '\n') {
      out += "\r\n";
      column = 0;
      ++i;
      if (i < text.size() && (text[i] == '\r' || text[i] == '\n')) ++i;
    } else {
      out += c;
      ++column;
      ++i;
    }
  }
  return out;
}

std::vector<std::string> ListChoices(std::string_view text) {
  std::string joined;
  const std::vector<std::string> parts = SplitAtBars(text);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) joined += "\r\n";
    joined += parts[i];
  }
  std::vector<std::string> items;
  for (size_t pos = 0; pos < joined.size();) items.emplace_back(NextLine(joined, pos));
  return items;
}

std::vector<std::string> ButtonChoices(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  std::vector<std::string> items;
  for (size_t pos = 0; pos < t.size() && items.size() < 50;) items.emplace_back(NextLine(t, pos));
  return items;
}

std::string FileFilter(std::string_view arg) {
  if (FindCharAligned(arg, '|') != std::string_view::npos) return std::string(arg);
  std::string_view ext = arg;
  if (!ext.empty() && ext[0] == '.') ext.remove_prefix(1);
  const std::string e(ext);
  return e + " 形式(*." + e + ")|*." + e + "|全て(*.*)|*.*";
}

std::string DefaultExtension(std::string_view filter) {
  size_t start = 0;
  const size_t first = FindCharAligned(filter, '|');
  if (first == std::string_view::npos) return {};
  start = first + 1;
  const size_t second = FindCharAligned(filter, '|', start);
  std::string_view field = filter.substr(
      start, second == std::string_view::npos ? std::string_view::npos : second - start);
  if (!field.empty() && field[0] == '*') field.remove_prefix(1);
  if (!field.empty() && field[0] == '.') field.remove_prefix(1);
  return std::string(field);
}

TItemList ParseItemList(std::string_view text) {
  TItemList list;
  list.KeyTitle = "項目";
  list.ValueTitle = "値";
  size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    const std::string_view line = NextLine(text, pos);
    if (first && !line.empty() && line[0] == ';') {
      first = false;
      const std::string_view titles = line.substr(1);
      const size_t eq = titles.find('=');
      list.KeyTitle = std::string(titles.substr(0, eq));
      if (eq != std::string_view::npos) list.ValueTitle = std::string(titles.substr(eq + 1));
      continue;
    }
    first = false;
    if (line.empty()) continue;
    TItemRow row;
    const size_t eq = line.find('=');  // "=" is never a second byte
    row.Key = std::string(line.substr(0, eq));
    std::string_view value =
        eq == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(eq + 1));
    if (value.size() >= 2 && value[0] == '?') {
      const char kind = value[1];
      if (kind == '(') {
        const size_t close = FindCharAligned(value, ')');
        const std::string_view list_text =
            value.substr(2, close == std::string_view::npos ? std::string_view::npos : close - 2);
        for (size_t start = 0;;) {
          const size_t bar = FindCharAligned(list_text, '|', start);
          row.Choices.emplace_back(list_text.substr(
              start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
          if (bar == std::string_view::npos) break;
          start = bar + 1;
        }
        value = close == std::string_view::npos ? std::string_view() : value.substr(close + 1);
        row.Kind = TItemRow::PickList;
      } else if (kind == 'f') {
        value.remove_prefix(2);
        if (!value.empty() && value[0] == '(') {
          const size_t close = FindCharAligned(value, ')');
          const size_t end = close == std::string_view::npos ? value.size() : close + 1;
          row.Filter =
              std::string(value.substr(1, end - 1 - (close == std::string_view::npos ? 0 : 1)));
          value.remove_prefix(end);
        }
        row.Kind = TItemRow::File;
      } else if (kind == 'c') {
        value.remove_prefix(2);
        row.Kind = TItemRow::Color;
      } else if (kind == 's') {
        value.remove_prefix(2);
        row.Kind = TItemRow::Text;
      } else if (kind == 'e') {
        value.remove_prefix(2);
        row.Kind = TItemRow::Number;
      }
    }
    row.Value = std::string(value);
    list.Rows.push_back(std::move(row));
  }
  return list;
}

std::string FontSpecText(const TDialogFont& f) {
  std::string out = f.Name;
  std::string style;
  if (f.Bold) style += "太字";
  if (f.Italic) style += "斜体";
  if (f.Underline) style += "下線";
  if (!style.empty()) out += "|" + style;
  if (f.Size > 0) {
    if (style.empty()) out += "|";
    out += "|" + std::to_string(f.Size);
  }
  return out;
}

TDialogFont DrawingFont(std::string_view spec, std::string_view sizeVar,
                        std::string_view colorVar) {
  TDialogFont f;
  const std::vector<std::string> parts = SplitAtBars(spec);
  f.Name = std::string(TrimBlanks(parts[0]));
  if (f.Name.empty()) f.Name = "ＭＳ ゴシック";
  if (parts.size() > 1) {
    const std::string& s = parts[1];
    f.Bold = Contains(s, "ボールド") || Contains(s, "太字");
    f.Italic = Contains(s, "イタリック") || Contains(s, "傾斜") || Contains(s, "斜体");
    f.Underline = Contains(s, "罫線") || Contains(s, "下線") || Contains(s, "アンダーライン");
  }
  long double size = parts.size() > 2 ? std::trunc(StrToNumber(parts[2])) : 0;
  if (size <= 0) {
    long double fallback = 0;
    size = TryStrToNumber(sizeVar, fallback) ? std::trunc(fallback) : 12;
  }
  f.Size = size > 0 && size < 10000 ? static_cast<int>(size) : 12;
  f.Color = static_cast<uint32_t>(static_cast<int64_t>(StrToNumber(colorVar)) & 0xFFFFFF);
  return f;
}

}  // namespace yume
