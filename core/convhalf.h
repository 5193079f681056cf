// Full-width to half-width conversion of single characters, as source preparation and the
// text commands use it: "Ａ" -> "A", "、" -> ",", "「" -> a double quote, "≠" -> "<>" ...
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

class TConvToHalf {
 public:
  // The one process-wide table, built on first use.
  static const TConvToHalf& Instance();

  // The replacement of the character at the front of ch (one or two bytes), or the character
  // itself when it has none. The view stays valid as long as ch (or the table) lives.
  std::string_view Convert(std::string_view ch) const {
    const auto* u = reinterpret_cast<const unsigned char*>(ch.data());
    if (ch.size() >= 2) {
      uint8_t idx = double_[(u[0] << 8) | u[1]];
      return idx ? std::string_view(repl_[idx]) : ch.substr(0, 2);
    }
    if (ch.empty()) return ch;
    uint8_t idx = single_[u[0]];
    return idx ? std::string_view(repl_[idx]) : ch.substr(0, 1);
  }

  // True when the two-byte code (lead << 8 | trail) or single byte has a replacement.
  bool HasDouble(unsigned code) const { return double_[code & 0xFFFF] != 0; }

  // Whole-text conversion, character by character.
  std::string ConvertText(std::string_view text) const;

 private:
  TConvToHalf();
  void AddEntry(std::string_view from, std::string_view to);

  std::vector<std::string> repl_;      // index 0 unused: "no replacement"
  std::array<uint8_t, 256> single_{};  // single byte -> replacement index
  std::vector<uint8_t> double_;        // 65536 two-byte codes -> replacement index
};

}  // namespace yume
