#include "platform/fsops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>

#include "core/sjis.h"
#include "platform/paths.h"
#include "platform/sysfolders.h"

namespace yume {

namespace {

// ---- CP932 paths ----

bool IsSep(char c) {
  return c == '/' || c == '\\';
}

// Position of the last separator (never a second byte), npos when there is none.
size_t LastSep(std::string_view p) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < p.size(); i += CharLen(p, i))
    if (IsSep(p[i])) last = i;
  return last;
}

bool EndsWithSep(std::string_view p) {
  const size_t s = LastSep(p);
  return s != std::string_view::npos && s + 1 == p.size();
}

// The folder part (with its separator) and the name part of a CP932 path.
void SplitName(std::string_view p, std::string_view& folder, std::string_view& name) {
  const size_t s = LastSep(p);
  folder = s == std::string_view::npos ? std::string_view() : p.substr(0, s + 1);
  name = s == std::string_view::npos ? p : p.substr(s + 1);
}

std::string ToSlashes(std::string_view p) {
  std::string out(p);
  for (size_t i = 0; i < out.size(); i += CharLen(out, i))
    if (out[i] == '\\') out[i] = '/';
  return out;
}

// A byte is upper-cased only where a character starts: the second byte of a two-byte
// character may look like a lower-case letter.
std::string UpperKey(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); i += CharLen(out, i))
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  return out;
}

char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// ---- system paths ----

// A system folder to put a name after: "" stays "" (the current folder), others end in "/".
std::string SysFolder(std::string_view cp932Folder) {
  std::string s = SysPath(cp932Folder);
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

// Without its final "/" (the root keeps it).
std::string StripSlash(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string BaseName(const std::string& sys) {
  const size_t s = sys.rfind('/');
  return s == std::string::npos ? sys : sys.substr(s + 1);
}

std::string ParentOf(const std::string& sys) {
  const size_t s = sys.rfind('/');
  if (s == std::string::npos) return ".";
  if (s == 0) return "/";
  return sys.substr(0, s);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool IsDir(const std::string& sys) {
  struct stat st;
  return ::stat(sys.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& sys) {
  struct stat st;
  return ::lstat(sys.c_str(), &st) == 0;
}

// Absolute, with "." and ".." taken away on the text (links are not resolved: the entry
// itself is meant, not what it points at).
std::string AbsoluteSys(const std::string& sys) {
  std::filesystem::path p(sys);
  if (p.is_relative()) {
    char buf[4096];
    if (!::getcwd(buf, sizeof buf)) return sys;
    p = std::filesystem::path(buf) / p;
  }
  return StripSlash(p.lexically_normal().string());
}

bool MakeSysFolders(const std::string& sys) {
  if (sys.empty()) return true;
  if (IsDir(sys)) return true;
  for (size_t i = 1; i <= sys.size(); ++i) {
    if (i < sys.size() && sys[i] != '/') continue;
    const std::string part = sys.substr(0, i);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsDir(sys);
}

// ---- reading a folder ----

enum TKind : unsigned char { kFile, kDir, kDirLink };

struct TEntry {
  std::string Name;  // CP932
  std::string Raw;   // as the system has it
  std::string Key;   // Name with ASCII letters upper-cased
  TKind Kind = kFile;
  bool IsFolder() const { return Kind != kFile; }
};

bool EntryLess(const TEntry& a, const TEntry& b) {
  const int c = a.Key.compare(b.Key);
  return c != 0 ? c < 0 : a.Name < b.Name;
}

// Every entry of a system folder ("" is the current one) but "." and "..", sorted. A name is
// converted and its key built once; the kind comes from the directory entry where the file
// system tells it, so a large tree is read without a stat per file.
bool ReadFolder(const std::string& sysDir, std::vector<TEntry>& out) {
  out.clear();
  DIR* d = ::opendir(sysDir.empty() ? "." : sysDir.c_str());
  if (!d) return false;
  const int dfd = ::dirfd(d);
  while (const struct dirent* e = ::readdir(d)) {
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    TEntry entry;
    unsigned char type = e->d_type;
    struct stat st;
    if (type == DT_UNKNOWN) {
      if (::fstatat(dfd, n, &st, AT_SYMLINK_NOFOLLOW) == 0)
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
    }
    if (type == DT_DIR) {
      entry.Kind = kDir;
    } else if (type == DT_LNK) {
      if (::fstatat(dfd, n, &st, 0) == 0 && S_ISDIR(st.st_mode)) entry.Kind = kDirLink;
    }
    entry.Raw = n;
    entry.Name = FromSysPath(entry.Raw);
    entry.Key = UpperKey(entry.Name);
    out.push_back(std::move(entry));
  }
  ::closedir(d);
  std::sort(out.begin(), out.end(), EntryLess);
  return true;
}

// Does the entry belong to a listing by mask? Folders beginning with "." never do.
bool Listed(const TEntry& e, std::string_view mask) {
  if (e.IsFolder() && e.Name[0] == '.') return false;
  return MatchFileMask(e.Name, mask);
}

// The entries a source naming a pattern or a single entry stands for: system paths and the
// names they keep at the destination. False when nothing is there.
bool Sources(std::string_view from, std::vector<std::pair<std::string, std::string>>& out,
             bool& pattern) {
  std::string_view folder, name;
  SplitName(from, folder, name);
  pattern = HasWildcard(name);
  if (pattern) {
    const std::string sysDir = SysFolder(folder);
    std::vector<TEntry> entries;
    ReadFolder(sysDir, entries);
    for (const TEntry& e : entries)
      if (Listed(e, name)) out.emplace_back(sysDir + e.Raw, e.Raw);
    return !out.empty();
  }
  const std::string sys = StripSlash(SysPath(from));
  struct stat st;
  if (sys.empty() || ::lstat(sys.c_str(), &st) != 0) return false;
  out.emplace_back(sys, BaseName(AbsoluteSys(sys)));
  return true;
}

// ---- copying ----

bool CopyFileData(const std::string& src, const std::string& dst) {
  const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st, ds;
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(in);
    return false;
  }
  if (::stat(dst.c_str(), &ds) == 0 &&
      ((ds.st_dev == st.st_dev && ds.st_ino == st.st_ino) || S_ISDIR(ds.st_mode))) {
    ::close(in);  // onto itself (it would be emptied first) or onto a folder
    return false;
  }
  const int out = ::open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (out < 0) {
    ::close(in);
    return false;
  }
  bool ok = true;
  bool done = false;
  // In the kernel where it can: copy_file_range (which may share blocks), else sendfile;
  // files that claim no size (as under /proc) and refusals go through a large buffer.
  if (st.st_size > 0) {
    off_t copied = 0;
    while (true) {
      const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t{1} << 30, 0);
      if (n > 0) {
        copied += n;
        continue;
      }
      if (n == 0) {
        done = copied > 0;
        break;
      }
      if (copied == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                          errno == EOPNOTSUPP || errno == EBADF || errno == EPERM))
        break;
      ok = false;
      break;
    }
    while (ok && !done) {
      const ssize_t n = ::sendfile(out, in, nullptr, size_t{1} << 30);
      if (n > 0) {
        copied += n;
        continue;
      }
      if (n == 0) {
        done = copied > 0;
        break;
      }
      if (copied == 0 && (errno == EINVAL || errno == ENOSYS)) break;
      ok = false;
    }
  }
  if (ok && !done) {
    std::unique_ptr<char[]> buf(new char[1 << 20]);
    while (true) {
      const ssize_t n = ::read(in, buf.get(), 1 << 20);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        ok = false;
        break;
      }
      for (ssize_t w = 0; w < n;) {
        const ssize_t k = ::write(out, buf.get() + w, static_cast<size_t>(n - w));
        if (k < 0) {
          if (errno == EINTR) continue;
          ok = false;
          break;
        }
        w += k;
      }
      if (!ok) break;
    }
  }
  if (ok) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
    ::fchmod(out, st.st_mode & 0777);
  }
  if (::close(out) != 0) ok = false;
  ::close(in);
  if (!ok) ::unlink(dst.c_str());
  return ok;
}

bool CopyTreeInto(const std::string& src, const std::string& dst);

// Copies whatever src is to dst: a file, or a folder with all it holds. A link inside a
// folder is copied as a link (following it could loop); src itself is followed.
bool CopyAny(const std::string& src, const std::string& dst, bool top) {
  struct stat st;
  if ((top ? ::stat(src.c_str(), &st) : ::lstat(src.c_str(), &st)) != 0) return false;
  if (S_ISLNK(st.st_mode)) {
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(src.c_str(), target.data(), target.size());
    if (n < 0) return false;
    target.resize(static_cast<size_t>(n));
    struct stat ds;
    if (::lstat(dst.c_str(), &ds) == 0 && !S_ISDIR(ds.st_mode)) ::unlink(dst.c_str());
    return ::symlink(target.c_str(), dst.c_str()) == 0;
  }
  if (!S_ISDIR(st.st_mode)) return CopyFileData(src, dst);
  // A folder never goes into itself.
  char real[PATH_MAX], realParent[PATH_MAX];
  if (!::realpath(src.c_str(), real)) return false;
  if (::realpath(ParentOf(dst).c_str(), realParent)) {
    const std::string inside = Join(realParent, BaseName(dst)) + "/";
    const std::string self = std::string(real) + "/";
    if (inside.compare(0, self.size(), self) == 0) return false;
  }
  if (::mkdir(dst.c_str(), 0700) != 0 && !(errno == EEXIST && IsDir(dst))) return false;
  const bool ok = CopyTreeInto(src, dst);
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(AT_FDCWD, dst.c_str(), times, 0);
  ::chmod(dst.c_str(), st.st_mode & 0777);
  return ok;
}

bool CopyTreeInto(const std::string& src, const std::string& dst) {
  std::vector<TEntry> entries;
  if (!ReadFolder(src, entries)) return false;
  bool ok = true;
  for (const TEntry& e : entries)
    if (!CopyAny(Join(src, e.Raw), Join(dst, e.Raw), false)) ok = false;
  return ok;
}

// ---- deleting ----

// Deletes everything below a folder and the folder, dot-folders included (a move that had
// to copy takes the source away whole).
bool RemoveAll(const std::string& sys) {
  struct stat st;
  if (::lstat(sys.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return ::unlink(sys.c_str()) == 0;
  std::vector<TEntry> entries;
  ReadFolder(sys, entries);
  for (const TEntry& e : entries) RemoveAll(Join(sys, e.Raw));
  return ::rmdir(sys.c_str()) == 0;
}

// フォルダ削除's walk: subfolders first (depth first; dot-folders kept), then the rest
// (files, links, dot-files: the folder is going away), then the folder.
void RemoveFolderTree(const std::string& sys) {
  std::vector<TEntry> entries;
  ReadFolder(sys, entries);
  for (const TEntry& e : entries)
    if (e.Kind == kDir && e.Name[0] != '.') RemoveFolderTree(Join(sys, e.Raw));
  for (const TEntry& e : entries)
    if (e.Kind != kDir) ::unlink(Join(sys, e.Raw).c_str());
  ::rmdir(sys.c_str());
}

// ---- moving ----

bool MoveAny(const std::string& src, const std::string& dst) {
  if (::rename(src.c_str(), dst.c_str()) == 0) return true;
  const int err = errno;
  if (err == EXDEV) return CopyAny(src, dst, false) && RemoveAll(src);
  struct stat ss, ds;
  if ((err == ENOTEMPTY || err == EEXIST) && ::lstat(src.c_str(), &ss) == 0 &&
      S_ISDIR(ss.st_mode) && ::lstat(dst.c_str(), &ds) == 0 && S_ISDIR(ds.st_mode)) {
    // Into a folder that exists already: the contents join it.
    std::vector<TEntry> entries;
    ReadFolder(src, entries);
    bool ok = true;
    for (const TEntry& e : entries)
      if (!MoveAny(Join(src, e.Raw), Join(dst, e.Raw))) ok = false;
    return ::rmdir(src.c_str()) == 0 && ok;
  }
  return false;
}

// Copy and move share how sources and destination are read.
template <class Op>
bool ShellTransfer(std::string_view from, std::string_view to, Op op) {
  std::vector<std::pair<std::string, std::string>> sources;
  bool pattern = false;
  if (!Sources(from, sources, pattern)) return false;
  const std::string toSys = StripSlash(SysPath(to));
  if (toSys.empty()) return false;
  const bool into = pattern || EndsWithSep(to) || IsDir(toSys);
  if (into ? !MakeSysFolders(toSys) : !MakeSysFolders(ParentOf(toSys))) return false;
  bool ok = true;
  for (const auto& [src, name] : sources)
    if (!op(src, into ? Join(toSys, name) : toSys)) ok = false;
  return ok;
}

// ---- the trash ----

std::string UrlEncode(const std::string& s) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
        std::strchr("/-_.!~*'()", c) != nullptr) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string DeletionDate() {
  const std::time_t now = std::time(nullptr);
  struct tm tm;
  ::localtime_r(&now, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
  return buf;
}

// A trash folder with files/ and info/ that belongs to this user and is no link.
bool UsableTrash(const std::string& trash) {
  if (!MakeSysFolders(trash)) return false;
  for (const char* sub : {"", "/files", "/info"}) {
    const std::string p = trash + sub;
    ::mkdir(p.c_str(), 0700);
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
      return false;
  }
  return true;
}

// The top of the file system abs lies on: the highest folder above it on the same device.
std::string TopDir(const std::string& abs, dev_t dev) {
  std::string top = ParentOf(abs);
  while (top != "/") {
    const std::string up = ParentOf(top);
    struct stat st;
    if (::stat(up.c_str(), &st) != 0 || st.st_dev != dev) break;
    top = up;
  }
  return top;
}

// The trash of another file system: $topdir/.Trash/$uid when the administrator made
// $topdir/.Trash (a sticky folder, no link), else $topdir/.Trash-$uid.
std::string TopDirTrash(const std::string& top) {
  const std::string uid = std::to_string(::getuid());
  const std::string shared = Join(top, ".Trash");
  struct stat st;
  if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    const std::string mine = shared + "/" + uid;
    if (UsableTrash(mine)) return mine;
  }
  const std::string own = Join(top, ".Trash-" + uid);
  if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return UsableTrash(own) ? own : std::string();
}

// Puts abs into trash: reserves a free name by making its info file exclusively (the
// specification's way of keeping two trashers apart), then moves the entry in.
bool TrashInto(const std::string& abs, const std::string& trash, const std::string& infoPath,
               bool copy) {
  const std::string base = BaseName(abs);
  size_t dot = base.rfind('.');
  if (dot == 0 || dot == std::string::npos) dot = base.size();
  const std::string stem = base.substr(0, dot), ext = base.substr(dot);
  const std::string text =
      "[Trash Info]\nPath=" + UrlEncode(infoPath) + "\nDeletionDate=" + DeletionDate() + "\n";
  for (int n = 1; n < 100000; ++n) {
    const std::string name = n == 1 ? base : stem + "." + std::to_string(n) + ext;
    const std::string info = trash + "/info/" + name + ".trashinfo";
    const std::string dest = trash + "/files/" + name;
    const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (Exists(dest)) {
      ::close(fd);
      ::unlink(info.c_str());
      continue;
    }
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (::close(fd) != 0 || !written) {
      ::unlink(info.c_str());
      return false;
    }
    const bool moved = copy ? (CopyAny(abs, dest, false) && RemoveAll(abs))
                            : ::rename(abs.c_str(), dest.c_str()) == 0;
    if (!moved) ::unlink(info.c_str());
    return moved;
  }
  return false;
}

bool TrashOne(const std::string& sys) {
  const std::string abs = AbsoluteSys(sys);
  struct stat st, ts;
  if (::lstat(abs.c_str(), &st) != 0) return false;
  const std::string home = HomeTrashFolder();
  if (!home.empty() && ::stat(home.c_str(), &ts) == 0 && ts.st_dev == st.st_dev)
    return TrashInto(abs, home, abs, false);
  const std::string top = TopDir(abs, st.st_dev);
  const std::string trash = TopDirTrash(top);
  if (!trash.empty()) {
    const std::string rel = abs.substr(top == "/" ? 1 : top.size() + 1);
    if (TrashInto(abs, trash, rel, false)) return true;
  }
  return !home.empty() && TrashInto(abs, home, abs, true);
}

// ---- drive types ----

// A mount table field: "\040" and its kind stand for the byte they escape.
std::string Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3') {
      out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

struct TMount {
  std::string Point, Type, Device;  // Device: "major:minor"
};

// The mount that holds a resolved path: the longest mount point above it (a later mount on
// the same point hides an earlier one).
bool FindMount(const std::string& real, TMount& found) {
  std::ifstream in("/proc/self/mountinfo");
  if (!in) return false;
  std::string line;
  size_t best = 0;
  bool any = false;
  while (std::getline(in, line)) {
    std::vector<std::string_view> f;
    std::string_view rest(line);
    while (!rest.empty()) {
      const size_t sp = rest.find(' ');
      f.push_back(rest.substr(0, sp));
      if (sp == std::string_view::npos) break;
      rest.remove_prefix(sp + 1);
    }
    size_t dash = 6;
    while (dash < f.size() && f[dash] != "-") ++dash;
    if (f.size() < 5 || dash + 1 >= f.size()) continue;
    const std::string point = Unescape(f[4]);
    const bool above = point == "/" || real == point ||
                       (real.compare(0, point.size(), point) == 0 && real[point.size()] == '/');
    if (!above || point.size() < best) continue;
    best = point.size();
    found = {point, std::string(f[dash + 1]), std::string(f[2])};
    any = true;
  }
  return any;
}

bool ReadsOne(const std::string& file) {
  std::ifstream in(file);
  char c = 0;
  return in.get(c) && c == '1';
}

// A block device the kernel marks removable (the partition's disk carries the mark).
bool RemovableDevice(const std::string& majorMinor) {
  char real[PATH_MAX];
  if (!::realpath(("/sys/dev/block/" + majorMinor).c_str(), real)) return false;
  const std::string dev(real);
  return ReadsOne(dev + "/removable") || ReadsOne(ParentOf(dev) + "/removable");
}

bool OneOf(const std::string& s, std::initializer_list<const char*> list) {
  for (const char* x : list)
    if (s == x) return true;
  return false;
}

}  // namespace

// ---- wildcards and order ----

bool HasWildcard(std::string_view text) {
  for (size_t i = 0; i < text.size(); i += CharLen(text, i))
    if (text[i] == '*' || text[i] == '?') return true;
  return false;
}

namespace {

// "*" and "?" can never be second bytes (those are 0x40 and above), so the pattern is read
// character by character without ambiguity.
bool MatchChars(std::string_view n, std::string_view m) {
  size_t ni = 0, mi = 0;
  size_t starM = std::string_view::npos, starN = 0;
  while (ni < n.size()) {
    if (mi < m.size()) {
      if (m[mi] == '*') {
        starM = ++mi;
        starN = ni;
        continue;
      }
      const size_t nl = CharLen(n, ni), ml = CharLen(m, mi);
      if (m[mi] == '?') {
        ni += nl;
        ++mi;
        continue;
      }
      if (nl == ml && (nl == 2 ? n[ni] == m[mi] && n[ni + 1] == m[mi + 1]
                               : FoldAscii(n[ni]) == FoldAscii(m[mi]))) {
        ni += nl;
        mi += ml;
        continue;
      }
    }
    if (starM == std::string_view::npos) return false;
    starN += CharLen(n, starN);
    ni = starN;
    mi = starM;
  }
  while (mi < m.size() && m[mi] == '*') ++mi;
  return mi == m.size();
}

}  // namespace

bool MatchFileMask(std::string_view name, std::string_view mask) {
  if (mask == "*") return name.empty() || name[0] != '.';
  if (!name.empty() && name[0] == '.' && (mask.empty() || mask[0] != '.')) return false;
  if (MatchChars(name, mask)) return true;
  // "a.*" also names "a", and "*.*" everything.
  return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
         MatchChars(name, mask.substr(0, mask.size() - 2));
}

bool FileNameLess(std::string_view a, std::string_view b) {
  const int c = UpperKey(a).compare(UpperKey(b));
  return c != 0 ? c < 0 : a < b;
}

// ---- listings ----

TGlob::TGlob(std::string_view pattern) {
  std::string_view folder, mask;
  SplitName(pattern, folder, mask);
  if (mask.empty()) mask = "*";
  folder_ = ToSlashes(folder);
  std::vector<TEntry> entries;
  ReadFolder(SysFolder(folder), entries);
  for (TEntry& e : entries) {
    if (!Listed(e, mask)) continue;
    (e.IsFolder() ? Folders : Files).push_back(std::move(e.Name));
  }
}

namespace {

void Walk(std::string& cp, std::string& sys, std::string_view mask, bool folders,
          std::string& out) {
  std::vector<TEntry> entries;
  if (!ReadFolder(sys, entries)) return;
  for (const TEntry& e : entries) {
    if (e.IsFolder() != folders || !Listed(e, mask)) continue;
    out += cp;
    out += e.Name;
    if (folders) out += '/';
    out += "\r\n";
  }
  // The prefixes grow and shrink in place: a path is built once per folder, never per file.
  const size_t cpLen = cp.size(), sysLen = sys.size();
  for (const TEntry& e : entries) {
    if (e.Kind != kDir || e.Name[0] == '.') continue;
    cp += e.Name;
    cp += '/';
    sys += e.Raw;
    sys += '/';
    Walk(cp, sys, mask, folders, out);
    cp.resize(cpLen);
    sys.resize(sysLen);
  }
}

}  // namespace

void ListTree(std::string_view folder, std::string_view mask, bool folders, std::string& out) {
  std::string cp = ToSlashes(folder);
  if (!cp.empty() && cp.back() != '/') cp += '/';
  std::string sys = SysFolder(folder);
  Walk(cp, sys, mask.empty() ? "*" : mask, folders, out);
}

// ---- copying, moving, deleting ----

bool ShellCopy(std::string_view from, std::string_view to) {
  return ShellTransfer(from, to, [](const std::string& src, const std::string& dst) {
    return CopyAny(src, dst, true);
  });
}

bool ShellMove(std::string_view from, std::string_view to) {
  return ShellTransfer(from, to, [](const std::string& src, const std::string& dst) {
    struct stat a, b;
    if (::stat(src.c_str(), &a) == 0 && ::stat(dst.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
        a.st_ino == b.st_ino)
      return true;  // already there
    return MoveAny(src, dst);
  });
}

bool RenameFile(std::string_view from, std::string_view to) {
  const std::string a = StripSlash(SysPath(from)), b = StripSlash(SysPath(to));
  if (a.empty() || b.empty()) return false;
  if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system that cannot refuse by itself.
  if (Exists(b)) return false;
  return ::rename(a.c_str(), b.c_str()) == 0;
}

std::string HomeTrashFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data && *data == '/') {
    base = data;
  } else {
    base = SysPath(HomeFolder());
    if (base.empty()) return {};
    base = Join(base, ".local/share");
  }
  const std::string trash = Join(StripSlash(base), "Trash");
  return UsableTrash(trash) ? trash : std::string();
}

bool MoveToTrash(std::string_view path) {
  std::vector<std::pair<std::string, std::string>> sources;
  bool pattern = false;
  if (!Sources(path, sources, pattern)) return false;
  bool ok = true;
  for (const auto& src : sources) {
    if (!TrashOne(src.first)) ok = false;
  }
  return ok;
}

bool EraseFile(std::string_view path) {
  const std::string sys = SysPath(path);
  struct stat st;
  if (sys.empty() || ::lstat(sys.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(sys.c_str()) == 0;
}

bool MakeFolders(std::string_view path) {
  const std::string sys = StripSlash(SysPath(path));
  return !sys.empty() && MakeSysFolders(sys);
}

void RemoveTree(std::string_view path) {
  std::string_view folder, name;
  SplitName(path, folder, name);
  if (HasWildcard(name)) {
    const std::string sysDir = SysFolder(folder);
    std::vector<TEntry> entries;
    ReadFolder(sysDir, entries);
    for (const TEntry& e : entries) {
      if (!Listed(e, name)) continue;
      const std::string p = sysDir + e.Raw;
      if (e.Kind == kDir)
        RemoveFolderTree(p);
      else
        ::unlink(p.c_str());
    }
    return;
  }
  const std::string sys = StripSlash(SysPath(path));
  struct stat st;
  if (sys.empty() || ::lstat(sys.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode))
    RemoveFolderTree(sys);
  else if (S_ISLNK(st.st_mode) && IsDir(sys))
    ::unlink(sys.c_str());  // a link to a folder goes, what it points at stays
}

// ---- attributes, times, sizes ----

bool ReadAttributes(std::string_view path, uint32_t& attrs) {
  const std::string sys = StripSlash(SysPath(path));
  struct stat st;
  if (sys.empty() || ::stat(sys.c_str(), &st) != 0) return false;
  attrs = 0;
  if ((st.st_mode & 0222) == 0) attrs |= kAttrReadOnly;
  const std::string base = BaseName(sys);
  if (base.size() > 1 && base[0] == '.' && base != "..") attrs |= kAttrHidden;
  if (S_ISDIR(st.st_mode)) attrs |= kAttrFolder;
  if (S_ISREG(st.st_mode)) attrs |= kAttrArchive;
  if (attrs == 0) attrs = kAttrNormal;
  return true;
}

bool WriteAttributes(std::string_view path, uint32_t attrs) {
  const std::string sys = StripSlash(SysPath(path));
  struct stat st;
  if (sys.empty() || ::stat(sys.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  if (attrs & kAttrReadOnly) {
    mode &= ~static_cast<mode_t>(0222);
  } else if ((mode & 0222) == 0) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode |= 0222 & ~mask;
    if ((mode & 0222) == 0) mode |= S_IWUSR;
  }
  return mode == (st.st_mode & 07777) || ::chmod(sys.c_str(), mode) == 0;
}

bool FindFileInfo(std::string_view nameOrPattern, TFileInfo& info) {
  std::string_view folder, name;
  SplitName(nameOrPattern, folder, name);
  std::string sys;
  if (HasWildcard(name)) {
    const std::string sysDir = SysFolder(folder);
    std::vector<TEntry> entries;
    ReadFolder(sysDir, entries);
    for (const TEntry& e : entries) {
      if (Listed(e, name)) {
        sys = sysDir + e.Raw;
        break;
      }
    }
    if (sys.empty()) return false;
  } else {
    sys = SysPath(nameOrPattern);
    if (sys.empty()) return false;
  }
  struct stat st;
  if (::stat(sys.c_str(), &st) != 0) return false;
  info.Folder = S_ISDIR(st.st_mode);
  info.Size = info.Folder ? 0 : static_cast<int64_t>(st.st_size);
  info.Time = st.st_mtim.tv_sec;
  return true;
}

std::string FormatFileTime(std::time_t t) {
  struct tm tm;
  ::localtime_r(&t, &tm);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

// ---- names and places ----

std::string LongFileName(std::string_view path) {
  const std::string full = ToSlashes(ExpandFileName(path));
  std::string out = "/";
  bool first = true;
  // Forward from the root: each part is searched for in the folder already spelled as on
  // disk, so a wrongly cased folder does not hide the parts below it.
  for (size_t i = 0; i < full.size();) {
    size_t end = i;
    while (end < full.size() && full[end] != '/') end += CharLen(full, end);
    const std::string_view part(full.data() + i, end - i);
    i = end + 1;
    if (part.empty()) continue;
    if (!first) out += '/';
    first = false;
    const std::string written = out + std::string(part);
    if (!Exists(SysPath(written))) {
      std::vector<TEntry> entries;
      std::string folder = out;
      if (folder.size() > 1) folder.pop_back();
      ReadFolder(SysPath(folder), entries);
      const std::string key = UpperKey(part);
      const auto hit = std::find_if(entries.begin(), entries.end(),
                                    [&](const TEntry& e) { return e.Key == key; });
      if (hit != entries.end()) {
        out += hit->Name;
        continue;
      }
    }
    out += part;
  }
  if (!full.empty() && full.back() == '/' && out.back() != '/') out += '/';
  return out;
}

std::string DriveTypeName(std::string_view path) {
  std::string sys = SysPath(path);
  if (sys.empty()) sys = ".";
  char real[PATH_MAX];
  if (!::realpath(sys.c_str(), real)) return "存在しない";
  TMount m;
  if (!FindMount(real, m)) return "判別不能";
  const std::string& t = m.Type;
  if (OneOf(t,
            {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "9p",
             "davfs", "fuse.sshfs", "fuse.rclone", "fuse.davfs2", "fuse.s3fs", "fuse.gvfsd-fuse"}))
    return "リモート";
  if (OneOf(t, {"iso9660", "udf"})) return "CD-ROM";
  if (OneOf(t, {"tmpfs", "ramfs"})) return "RAMディスク";
  if (m.Point.rfind("/media/", 0) == 0 || m.Point.rfind("/run/media/", 0) == 0 ||
      RemovableDevice(m.Device))
    return "リムーバブルディスク";
  if (OneOf(t, {"ext2", "ext3", "ext4", "xfs", "btrfs", "zfs", "f2fs", "jfs", "reiserfs", "ntfs",
                "ntfs3", "fuseblk", "vfat", "exfat", "hfsplus", "overlay", "squashfs", "bcachefs",
                "nilfs2"}))
    return "固定";
  return "判別不能";
}

std::string ShortcutName(std::string_view target, std::string_view place) {
  std::string name(place);
  if (EndsWithSep(name)) name += ExtractFileName(target);
  if (!(name.size() >= 4 && name.compare(name.size() - 4, 4, ".lnk") == 0))
    name = ChangeFileExt(name, ".lnk");
  return name;
}

bool MakeShortcut(std::string_view target, std::string_view link) {
  const std::string to = SysPath(ExpandFileName(target));
  const std::string at = StripSlash(SysPath(link));
  if (to.empty() || at.empty()) return false;
  // Made beside its place and renamed over it, so an old link is replaced at once.
  const std::string tmp = at + ".new-" + std::to_string(::getpid());
  ::unlink(tmp.c_str());
  if (::symlink(to.c_str(), tmp.c_str()) != 0) return false;
  struct stat st;
  if (::lstat(at.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    ::unlink(tmp.c_str());
    return false;
  }
  if (::rename(tmp.c_str(), at.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace yume
