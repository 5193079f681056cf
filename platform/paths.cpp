#include "platform/paths.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

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

// Names on disk need not be valid UTF-8, and may hold characters CP932 lacks. Such a name
// keeps its bytes: each byte b (0x80-0xFF) that cannot be read is shown as the CP932
// user-defined character U+E000+b, which SysPath writes back as the byte b. A real U+E080-U+E0FF
// in a name is shown the same way (byte by byte), so every name survives the round trip.
namespace {

constexpr unsigned kEscapeBase = 0xE000;

struct TIconv {
  iconv_t Cd;
  TIconv(const char* to, const char* from) : Cd(iconv_open(to, from)) {}
  ~TIconv() {
    if (Cd != reinterpret_cast<iconv_t>(-1)) iconv_close(Cd);
  }
};

// The CP932 user-defined character standing for the byte b.
void PutEscape(std::string& out, unsigned char b) {
  const unsigned i = b;  // index into the user-defined area (U+E000 + i)
  const unsigned t = i % 188;
  out += static_cast<char>(0xF0 + i / 188);
  out += static_cast<char>(t < 63 ? 0x40 + t : 0x80 + (t - 63));
}

// The byte a two-byte CP932 character stands for, or -1 when it is no escape.
int EscapedByte(unsigned char lead, unsigned char trail) {
  if (lead != 0xF0 && lead != 0xF1) return -1;
  int t;
  if (trail >= 0x40 && trail <= 0x7E)
    t = trail - 0x40;
  else if (trail >= 0x80 && trail <= 0xFC)
    t = trail - 0x80 + 63;
  else
    return -1;
  const int i = (lead - 0xF0) * 188 + t;
  return i >= 0x80 && i <= 0xFF ? i : -1;
}

// Converts a run with cd, appending to out; a unit iconv refuses goes through refused. Without
// a converter every unit is refused.
template <class Refused>
void ConvertRun(iconv_t cd, std::string_view in, std::string& out, Refused refused) {
  if (in.empty()) return;
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (size_t i = 0; i < in.size();) i += refused(out, in.substr(i));
    return;
  }
  IconvAppend(cd, in, out, 3, refused);
}

bool HasDrivePrefix(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' &&
         ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) &&
         (p.size() == 2 || p[2] == '\\' || p[2] == '/');
}

}  // namespace

bool IsAbsolutePath(std::string_view path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || HasDrivePrefix(path);
}

std::string SysPath(std::string_view path) {
  // "X:\" stands for the root: there are no drives here.
  const bool drive = HasDrivePrefix(path);
  if (drive) path.remove_prefix(2);
  std::string out;
  out.reserve(path.size() + 8);
  bool plain = true;
  for (char c : path) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      plain = false;
      break;
    }
  }
  if (plain) {
    out.assign(path);
    for (char& c : out)
      if (c == '\\') c = '/';
    if (out.empty() && drive) out = "/";
    return out;
  }
  thread_local TIconv cd("UTF-8", "CP932");
  size_t run = 0;
  const auto flush = [&](size_t end) {
    // What CP932 cannot read is kept as it is.
    ConvertRun(cd.Cd, path.substr(run, end - run), out, [](std::string& o, std::string_view rest) {
      const size_t n = rest.size() >= 2 && IsLead(rest[0]) ? 2 : 1;
      o.append(rest.substr(0, n));
      return n;
    });
  };
  for (size_t i = 0; i < path.size();) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c == '\\' || c == '/') {
      flush(i);
      out += '/';
      run = ++i;
      continue;
    }
    if (IsLead(path[i]) && i + 1 < path.size()) {
      const int b = EscapedByte(c, static_cast<unsigned char>(path[i + 1]));
      if (b >= 0) {
        flush(i);
        out += static_cast<char>(b);
        i += 2;
        run = i;
        continue;
      }
      i += 2;
      continue;
    }
    ++i;
  }
  flush(path.size());
  return out;
}

std::string FromSysPath(std::string_view sysPath) {
  bool plain = true;
  for (char c : sysPath) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      plain = false;
      break;
    }
  }
  if (plain) return std::string(sysPath);
  thread_local TIconv cd("CP932", "UTF-8");
  std::string out;
  out.reserve(sysPath.size());
  const auto escapeAll = [](std::string& o, std::string_view bytes) {
    for (char b : bytes) PutEscape(o, static_cast<unsigned char>(b));
  };
  // A character CP932 lacks keeps all its bytes; a byte that starts none, itself.
  const auto refused = [&](std::string& o, std::string_view rest) {
    unsigned cp;
    const size_t n = std::max<size_t>(Utf8CharAt(rest, cp), 1);
    escapeAll(o, rest.substr(0, n));
    return n;
  };
  size_t run = 0;
  for (size_t i = 0; i < sysPath.size();) {
    const auto c = static_cast<unsigned char>(sysPath[i]);
    // U+E080-U+E0FF (EE 82 80 - EE 83 BF) would read as an escape: it is escaped itself.
    if (c == 0xEE && i + 2 < sysPath.size() &&
        (static_cast<unsigned char>(sysPath[i + 1]) == 0x82 ||
         static_cast<unsigned char>(sysPath[i + 1]) == 0x83) &&
        (static_cast<unsigned char>(sysPath[i + 2]) & 0xC0) == 0x80) {
      ConvertRun(cd.Cd, sysPath.substr(run, i - run), out, refused);
      escapeAll(out, sysPath.substr(i, 3));
      i += 3;
      run = i;
      continue;
    }
    ++i;
  }
  ConvertRun(cd.Cd, sysPath.substr(run), out, refused);
  return out;
}

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

namespace {

bool Failed(std::string* err, int code) {
  if (err) *err = std::strerror(code);
  return false;
}

// Writes all of data to fd (a write may take only part of it).
bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool WriteFile(std::string_view path, std::string_view data, int flags, std::string* err) {
  const int fd = ::open(SysPath(path).c_str(), O_WRONLY | O_CLOEXEC | flags, 0666);
  if (fd < 0) return Failed(err, errno);
  const bool ok = WriteAll(fd, data);
  const int code = errno;
  if (::close(fd) != 0 && ok) return Failed(err, errno);
  return ok || Failed(err, code);
}

}  // namespace

bool ReadWholeFile(std::string_view path, std::string& out, std::string* err) {
  const int fd = ::open(SysPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failed(err, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return Failed(err, code);
  }
  // One read of the size the file has, then on until its end (it may grow meanwhile, and
  // files of /proc tell no size).
  out.clear();
  size_t used = 0;
  out.resize(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 65536);
  for (;;) {
    if (used == out.size()) out.resize(out.size() * 2);
    const ssize_t n = ::read(fd, out.data() + used, out.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int code = errno;
      ::close(fd);
      out.clear();
      return Failed(err, code);
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  ::close(fd);
  out.resize(used);
  return true;
}

bool WriteWholeFile(std::string_view path, std::string_view data, std::string* err) {
  return WriteFile(path, data, O_CREAT | O_TRUNC, err);
}

bool AppendToFile(std::string_view path, std::string_view data, std::string* err) {
  return WriteFile(path, data, O_APPEND, err);
}

bool FolderExists(std::string_view path) {
  struct stat st {};
  return ::stat(SysPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(std::string_view path) {
  struct stat st {};
  return ::stat(SysPath(path).c_str(), &st) == 0;
}

namespace {

// The parts of a path between its separators ("\\" at single-byte positions, "/"); a final
// separator gives no empty last part, a leading one an empty first part (the root).
std::vector<std::string_view> PathParts(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += CharLen(path, i)) {
    if (path[i] == '\\' || path[i] == '/') {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < path.size()) parts.push_back(path.substr(start));
  return parts;
}

}  // namespace

std::string ExpandRelativePath(std::string_view relative, std::string_view base) {
  if (IsAbsolutePath(relative) || (relative.size() >= 2 && relative[1] == ':'))
    return std::string(relative);
  std::vector<std::string_view> parts = PathParts(base);
  const std::vector<std::string_view> rel = PathParts(relative);
  // The root ("" before a leading "/") or a drive ("C:") stays.
  const size_t keep = !parts.empty() && (parts[0].empty() || parts[0].back() == ':') ? 1 : 0;
  size_t k = 0;
  for (; k < rel.size(); ++k) {
    if (rel[k] == ".") continue;
    if (rel[k] != "..") break;
    if (parts.size() > keep) parts.pop_back();
  }
  std::string out;
  bool first = true;
  const auto add = [&](std::string_view p) {
    if (!first) out += '/';
    out += p;
    first = false;
  };
  for (std::string_view p : parts) add(p);
  for (; k < rel.size(); ++k) add(rel[k]);
  if (parts.size() == 1 && parts[0].empty() && k == rel.size() && out.empty()) out = "/";
  return out;
}

std::string CurrentFolder() {
  std::error_code ec;
  std::string cur = std::filesystem::current_path(ec).string();
  if (ec) return "/";
  if (cur.empty() || cur.back() != '/') cur += '/';
  return FromSysPath(cur);
}

bool SetCurrentFolder(std::string_view path) {
  return ::chdir(SysPath(path).c_str()) == 0;
}

std::string TempFolder() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return FromSysPath(dir);
}

}  // namespace yume
