#include "platform/paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/sjis.h"

namespace yume {

namespace {

// Replaces every single-byte "\" by "/" (a "\" that is the second byte of a two-byte
// character stays part of it).
std::string Slashes(std::string_view path) {
  std::string out(path);
  for (size_t i = 0; i < out.size(); i += CharLen(out, i)) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

size_t LastSeparator(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += CharLen(path, i)) {
    if (path[i] == '\\' || path[i] == '/') last = i;
  }
  return last;
}

}  // namespace

std::string SysPath(std::string_view path) { return Cp932ToUtf8(Slashes(path)); }

std::string FromSysPath(std::string_view sysPath) { return Utf8ToCp932(sysPath); }

std::string ExtractFilePath(std::string_view path) {
  size_t sep = LastSeparator(path);
  if (sep == std::string_view::npos) return {};
  return Slashes(path.substr(0, sep + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t sep = LastSeparator(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ExtractFileExt(std::string_view path) {
  size_t sep = LastSeparator(path);
  size_t start = sep == std::string_view::npos ? 0 : sep + 1;
  size_t dot = std::string_view::npos;
  for (size_t i = start; i < path.size(); i += CharLen(path, i)) {
    if (path[i] == '.') dot = i;
  }
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string cur = ExtractFileExt(path);
  std::string out(path.substr(0, path.size() - cur.size()));
  out += ext;
  return out;
}

std::string ExpandFileName(std::string_view path) {
  std::error_code ec;
  std::filesystem::path p(SysPath(path));
  std::filesystem::path abs = std::filesystem::absolute(p, ec);
  if (ec) return Slashes(path);
  return FromSysPath(abs.lexically_normal().string());
}

std::string ExecutableFile() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return FromSysPath(p.string());
}

bool FileExists(std::string_view path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(SysPath(path), ec);
}

bool ReadWholeFile(std::string_view path, std::string& out, std::string* err) {
  std::string sys = SysPath(path);
  std::error_code ec;
  if (std::filesystem::is_directory(sys, ec)) {
    if (err) *err = std::strerror(EISDIR);
    return false;
  }
  std::ifstream in(sys, std::ios::binary);
  if (!in) {
    if (err) *err = std::strerror(errno);
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  out.clear();
  if (size > 0) {
    out.resize(static_cast<size_t>(size));
    in.read(out.data(), size);
    out.resize(static_cast<size_t>(in.gcount()));
  }
  return true;
}

bool SetCurrentFolder(std::string_view path) { return ::chdir(SysPath(path).c_str()) == 0; }

std::string TempFolder() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return FromSysPath(dir);
}

}  // namespace yume
