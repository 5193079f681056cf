#include "commands/ui/drawtext.h"

#include <algorithm>

#include "commands/ui/dialogtext.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"

namespace yume {

namespace {

constexpr size_t kPrintLimit = 4096;

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) lines.emplace_back(NextLine(text, pos));
  if (lines.empty()) lines.emplace_back();
  return lines;
}

}  // namespace

std::vector<std::string> PrintLinesOf(std::string_view text, int tabWidth) {
  if (text.size() <= kPrintLimit) return SplitLines(ExpandTabs(text, tabWidth));
  // Cut on a character boundary: a two-byte character at the limit goes whole or not at all.
  size_t cut = 0;
  while (cut < text.size()) {
    const size_t len = CharLen(text, cut);
    if (cut + len > kPrintLimit) break;
    cut += len;
  }
  return SplitLines(text.substr(0, cut));
}

std::vector<std::string> TextLines(std::string_view text, int tabWidth) {
  return SplitLines(ExpandTabs(text, tabWidth));
}

int PenStyleOf(std::string_view name) {
  static const char* const kNames[] = {"実線", "破線", "点線", "点破線", "点々破線", "透明"};
  for (int i = 0; i < 6; ++i) {
    if (name == kNames[i]) return i;
  }
  return 0;
}

int BrushStyleOf(std::string_view name) {
  static const char* const kNames[] = {"べた",     "透明",     "横線",   "縦線",
                                       "左斜め線", "右斜め線", "十字線", "斜め十字線"};
  for (int i = 0; i < 8; ++i) {
    if (name == kNames[i]) return i;
  }
  return 0;
}

std::string LowerExt(std::string_view name) {
  std::string ext = ExtractFileExt(name);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return ext;
}

std::string SupportedPatterns(const std::vector<std::string>& extra) {
  std::string out = "*.BMP;*.ICO;*.JPG;*.JPEG;*.PNG;*.MAG";
  for (const std::string& e : extra) {
    out += ";*.";
    for (char c : e) out += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
  }
  return out;
}

std::string DataFormatExt(std::string_view word) {
  std::string w(TrimBlanks(word));
  for (char& c : w) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  if (w == "BMP") return "bmp";
  if (w == "JPG" || w == "JPEG") return "jpg";
  if (w == "ICO" || w == "ICON") return "ico";
  if (w == "PNG") return "png";
  if (w == "MAG") return "mag";
  return {};
}

}  // namespace yume
