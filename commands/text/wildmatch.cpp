#include "commands/text/wildmatch.h"

namespace yume {

std::string WildMatchReport(std::string_view matched, const std::vector<std::string>& captures) {
  std::string out(matched);
  out += "\r\n";
  for (const std::string& c : captures) {
    out += c;
    out += "\r\n";
  }
  // A trail byte is never below 0x40, so trimming bytes cannot cut a character.
  size_t b = 0;
  size_t e = out.size();
  while (b < e && static_cast<unsigned char>(out[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(out[e - 1]) <= 32) --e;
  return out.substr(b, e - b);
}

}  // namespace yume
