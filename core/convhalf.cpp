#include "core/convhalf.h"

#include "core/sjis.h"

namespace yume {

const TConvToHalf& TConvToHalf::Instance() {
  static const TConvToHalf table;
  return table;
}

void TConvToHalf::AddEntry(std::string_view from, std::string_view to) {
  repl_.emplace_back(to);
  const auto idx = static_cast<uint8_t>(repl_.size() - 1);
  const auto* u = reinterpret_cast<const unsigned char*>(from.data());
  if (from.size() == 2)
    double_[(u[0] << 8) | u[1]] = idx;
  else
    single_[u[0]] = idx;
}

TConvToHalf::TConvToHalf() : double_(65536, 0) {
  repl_.emplace_back();
  // Symbols. "’" and "※" both become the comment mark "'".
  static const char* const kSymbols[][2] = {
      {"！", "!"}, {"”", "\""}, {"＃", "#"},  {"＄", "$"}, {"％", "%"}, {"＆", "&"},
      {"’", "'"},  {"※", "'"},  {"（", "("},  {"）", ")"}, {"＝", "="}, {"－", "-"},
      {"＾", "^"}, {"～", "~"}, {"￥", "\\"}, {"｜", "|"}, {"｛", "{"}, {"｝", "}"},
      {"＠", "@"}, {"；", ";"}, {"：", ":"},  {"＋", "+"}, {"＊", "*"}, {"／", "/"},
      {"×", "*"},  {"÷", "/"},  {"？", "?"},  {"＿", "_"}, {"＜", "<"}, {"＞", ">"},
      {"≠", "<>"}, {"≦", "<="}, {"≧", ">="},  {"，", ","}, {"．", "."}, {"‘", "`"},
  };
  for (const auto& e : kSymbols) AddEntry(e[0], e[1]);

  // Digits and letters: "０" is 82 4F, "Ａ" 82 60, "ａ" 82 81, each run consecutive.
  auto add_run = [this](unsigned first_code, char first_ascii, int count) {
    for (int i = 0; i < count; ++i) {
      char from[2] = {static_cast<char>((first_code + i) >> 8),
                      static_cast<char>((first_code + i) & 0xFF)};
      char to = static_cast<char>(first_ascii + i);
      AddEntry(std::string_view(from, 2), std::string_view(&to, 1));
    }
  };
  add_run(0x824F, '0', 10);
  add_run(0x8281, 'a', 26);
  add_run(0x8260, 'A', 26);

  // Punctuation, and the half-width corner brackets (single bytes A2, A3).
  static const char* const kPunct[][2] = {
      {"　", " "}, {"、", ","}, {"。", ";"}, {"「", "\""}, {"」", "\""}, {"『", "`"}, {"』", "`"},
  };
  for (const auto& e : kPunct) AddEntry(e[0], e[1]);
  AddEntry("\xA2", "\"");
  AddEntry("\xA3", "\"");
}

std::string TConvToHalf::ConvertText(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLen(text, i);
    out += Convert(text.substr(i, len));
    i += len;
  }
  return out;
}

}  // namespace yume
