#include "commands/system/guard.h"

#include <unistd.h>

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/dialoghost.h"
#include "core/host.h"
#include "core/sjis.h"
#include "core/yumebase.h"
#include "platform/paths.h"
#include "platform/sysfolders.h"

namespace yume {

namespace {

namespace fs = std::filesystem;

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); i += CharLen(out, i))
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The value of key in [section] of an INI text (names compared without regard to ASCII
// case); false when there is none.
bool IniValue(const std::string& text, std::string_view section, std::string_view key,
              std::string& value) {
  const std::string wantSection = UpperAscii(section);
  const std::string wantKey = UpperAscii(key);
  bool inSection = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trim(std::string_view(text).substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      inSection = close != std::string_view::npos &&
                  UpperAscii(Trim(line.substr(1, close - 1))) == wantSection;
      continue;
    }
    if (!inSection) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (UpperAscii(Trim(line.substr(0, eq))) != wantKey) continue;
    value.assign(Trim(line.substr(eq + 1)));
    return true;
  }
  return false;
}

std::string RuntimeFolder() {
  return ExtractFilePath(ExecutableFile());
}

// The level from security.ini beside the program, else beside the runtime: "H…" high, "L…"
// low, anything else (or nothing) the middle.
int DecideLevel(TYumeBase& y) {
  std::string text, value;
  bool found = false;
  const std::string besideProgram = y.ProgramFolder + "security.ini";
  const std::string besideRuntime = RuntimeFolder() + "security.ini";
  if (FileExists(besideProgram)) {
    if (ReadWholeFile(besideProgram, text))
      found = IniValue(text, ExtractFileName(y.ProgramFile), "security", value);
  } else if (FileExists(besideRuntime)) {
    if (ReadWholeFile(besideRuntime, text))
      found = IniValue(text, y.ProgramFile, "security", value);
  }
  if (!found || value.empty()) return 1;
  const char c = value[0];
  if (c == 'H' || c == 'h') return 2;
  if (c == 'L' || c == 'l') return 0;
  return 1;
}

// The path a name means on disk: its existing part resolved (links, "." and ".."), the rest
// as written; a relative name is taken from the current folder.
fs::path Resolved(const std::string& name) {
  std::error_code ec;
  fs::path p(SysPath(name));
  if (p.is_relative()) p = fs::current_path(ec) / p;
  fs::path r = fs::weakly_canonical(p, ec);
  return ec ? p.lexically_normal() : r;
}

// a lies inside folder (or is it), compared on whole components.
bool Inside(const fs::path& a, const fs::path& folder) {
  auto f = folder.begin(), fe = folder.end();
  auto i = a.begin(), ie = a.end();
  for (; f != fe; ++f, ++i) {
    if (f->empty() && std::next(f) == fe) break;  // a trailing "/" gives an empty last part
    if (i == ie || *i != *f) return false;
  }
  return true;
}

bool IsSecurityIni(const std::string& name, const fs::path& resolved) {
  if (UpperAscii(ExtractFileName(name)) == "SECURITY.INI") return true;
  return UpperAscii(FromSysPath(resolved.filename().string())) == "SECURITY.INI";
}

}  // namespace

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

std::string FindProgramFile(TYumeBase& y, const std::string& name) {
  if (name.empty() || IsAbsolutePath(name)) return name;
  std::vector<std::string> folders = {"", y.ProgramFolder, RuntimeFolder(), WindowsFolder(),
                                      SystemFolder()};
  const std::string source = ExtractFilePath(y.FileName);
  if (!source.empty()) folders.push_back(source);
  for (const std::string& folder : folders) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') continue;
    const std::string candidate = folder + name;
    if (FileExists(candidate)) return candidate;
  }
  return name;
}

bool CheckFileAccess(TYumeBase& y, const std::string& name, const std::string& question) {
  if (y.SecurityLevel < 0) y.SecurityLevel = DecideLevel(y);
  if (y.SecurityLevel == 2) return false;
  const fs::path target = Resolved(name);
  if (IsSecurityIni(name, target)) {
    if (y.Host)
      y.Host->ShowMessage("このプログラムは、\"security.ini\"を、操作出来ません！",
                          "セキュリティの警告", TMessageKind::Warning);
    return false;
  }
  if (y.SecurityLevel == 0) return true;
  const bool pattern = name.find('*') != std::string::npos;
  if (!pattern && !y.ProgramFolder.empty() && Inside(target, Resolved(y.ProgramFolder)))
    return true;
  if (!y.Dialogs) return false;
  static const std::vector<std::string> kAnswers = {"はい", "いいえ", "全てはい", "全ていいえ"};
  std::string answer;
  TDialogStyle style;
  if (!y.Dialogs->AskButtons(question, kAnswers, style, answer)) return false;
  if (answer == kAnswers[0]) return true;
  if (answer == kAnswers[2]) {
    y.SecurityLevel = 0;
    return true;
  }
  if (answer == kAnswers[3]) y.SecurityLevel = 2;
  return false;
}

}  // namespace yume
