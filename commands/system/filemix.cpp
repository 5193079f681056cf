#include "commands/system/filemix.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <type_traits>

#include "commands/text/cipher.h"
#include "commands/text/jconv.h"
#include "core/error.h"
#include "core/messages.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"

namespace yume {

namespace {

constexpr char kMagic[4] = {'f', 'M', 'i', 'x'};
constexpr uint64_t kMax32 = 0xFFFFFFFFull;

void PutLe(unsigned char* p, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint64_t GetLe(const unsigned char* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Reads or writes all of size bytes at the offset (pread/pwrite may do part of it at a time).
template <typename TBuf, typename TIo>
bool WholeAt(int fd, TBuf* data, size_t size, uint64_t at, TIo io) {
  auto* p = reinterpret_cast<std::conditional_t<std::is_const_v<TBuf>, const char, char>*>(data);
  while (size > 0) {
    const ssize_t n = io(fd, p, size, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
    at += static_cast<uint64_t>(n);
  }
  return true;
}

bool WriteAt(int fd, const void* data, size_t size, uint64_t at) {
  return WholeAt(fd, data, size, at, ::pwrite);
}

bool ReadAt(int fd, void* data, size_t size, uint64_t at) {
  return WholeAt(fd, data, size, at, ::pread);
}

class TFd {
 public:
  explicit TFd(int fd = -1) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  // Closes now; false when the close reports a failed write.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

mode_t Umask() {
  const mode_t m = ::umask(0);
  ::umask(m);
  return m;
}

// The flag of an entry line: its integer value, 0 when it is no integer; -1 when it is one
// outside 0-255.
int ParseFlag(std::string_view text) {
  text = TrimBlanks(text);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    if (value <= 255) value = value * 10 + (text[i] - '0');
  }
  if (negative && value != 0) return -1;
  return value > 255 ? -1 : static_cast<int>(value);
}

struct TLine {
  std::string Path;
  std::string Name;
  int Flag = 0;
  const std::string* Held = nullptr;  // the bytes, when they come from no file
};

// An input that can be read: an existing regular file we may open.
bool Readable(const std::string& path) {
  const std::string sys = SysPath(path);
  TFd fd(::open(sys.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  return fd.Get() >= 0 && ::fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder a new file beside `sysPath` is made in.
std::string FolderOf(const std::string& sysPath) {
  const size_t slash = sysPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : sysPath.substr(0, slash);
}

// Writes a file through a temporary name beside it, renamed over the target only when `fill`
// succeeded: a failure leaves neither a partial file nor a damaged old one.
template <typename TFill>
TMixFault WriteReplacing(const std::string& fileName, mode_t mode, std::string& file, TFill fill) {
  const std::string sys = SysPath(fileName);
  std::string temp = FolderOf(sys) + "/.yume-part-XXXXXX";
  const int raw = ::mkostemp(temp.data(), O_CLOEXEC);
  if (raw < 0) {
    file = fileName;
    return TMixFault::Write;
  }
  TFd fd(raw);
  TMixFault fault = fill(fd.Get());
  if (fault == TMixFault::None && ::fchmod(fd.Get(), mode & ~Umask()) != 0)
    fault = TMixFault::Write;
  if (!fd.Close() && fault == TMixFault::None) fault = TMixFault::Write;
  if (fault == TMixFault::None && ::rename(temp.c_str(), sys.c_str()) != 0)
    fault = TMixFault::Write;
  if (fault != TMixFault::None) {
    ::unlink(temp.c_str());
    if (fault == TMixFault::Write) file = fileName;
  }
  return fault;
}

}  // namespace

std::string MixStoredName(std::string_view name) {
  std::string upper = ToUpperCase(name);
  size_t cut = 0;
  while (cut < upper.size()) {
    const size_t len = CharLen(upper, cut);
    if (cut + len > kMixNameMax) break;
    cut += len;
  }
  upper.resize(cut);
  return upper;
}

void TFileMixWriter::Add(std::string_view path, std::string_view name, int flag) {
  std::string line(path);
  line += '=';
  line += name;
  line += '=';
  line += std::to_string(flag);
  Lines.push_back(std::move(line));
}

void TFileMixWriter::AddBytes(std::string_view name, std::string bytes, int flag) {
  Held.push_back({std::string(name), std::move(bytes), flag});
}

TMixFault TFileMixWriter::WriteTo(int fd, uint64_t base, std::string& file) const {
  if (Lines.size() + Held.size() > kMixMaxEntries) return TMixFault::Range;
  std::vector<TLine> lines;
  lines.reserve(Lines.size());
  for (const std::string& text : Lines) {
    TLine line;
    std::string_view rest(text);
    size_t eq = rest.find('=');
    line.Path = std::string(rest.substr(0, eq));
    rest = eq == std::string_view::npos ? std::string_view() : rest.substr(eq + 1);
    eq = rest.find('=');
    line.Name = std::string(rest.substr(0, eq));
    line.Flag = ParseFlag(eq == std::string_view::npos ? std::string_view() : rest.substr(eq + 1));
    if (line.Flag < 0) return TMixFault::Range;
    lines.push_back(std::move(line));
  }
  for (const TBytesEntry& held : Held) {
    if (held.Flag < 0 || held.Flag > 255) return TMixFault::Range;
    lines.push_back({{}, held.Name, held.Flag, &held.Bytes});
  }
  // Every input is checked before anything is written, so a missing one costs nothing.
  for (const TLine& line : lines) {
    if (!line.Held && !Readable(line.Path)) {
      file = line.Path;
      return TMixFault::InputMissing;
    }
  }

  const uint64_t tableEnd = kMixHeaderSize + kMixRecordSize * lines.size();
  std::string head(tableEnd, '\0');
  std::memcpy(head.data(), kMagic, 4);
  head[4] = 1;
  PutLe(reinterpret_cast<unsigned char*>(head.data()) + 5, lines.size(), 2);
  uint64_t offset = tableEnd;  // from the archive's start
  for (size_t i = 0; i < lines.size(); ++i) {
    const TLine& line = lines[i];
    std::string data;
    if (line.Held) {
      data = *line.Held;
    } else if (!ReadWholeFile(line.Path, data)) {
      file = line.Path;
      return TMixFault::InputMissing;
    }
    if (data.size() > kMax32 || offset > kMax32) return TMixFault::Range;
    if (line.Flag == kMixEnciphered) {
      TCipher cipher;
      cipher.Load(std::move(data));
      cipher.ApplyKey(kCipherPackKey);
      data = cipher.TakeBytes();
    }
    unsigned char* record =
        reinterpret_cast<unsigned char*>(head.data()) + kMixHeaderSize + kMixRecordSize * i;
    const std::string name = MixStoredName(line.Name);
    std::memcpy(record, name.data(), name.size());
    PutLe(record + kMixNameField, offset, 4);
    PutLe(record + kMixNameField + 4, data.size(), 4);
    record[kMixNameField + 8] = static_cast<unsigned char>(line.Flag);
    if (!WriteAt(fd, data.data(), data.size(), base + offset)) return TMixFault::Write;
    offset += data.size();
  }
  if (offset > kMax32) return TMixFault::Range;
  PutLe(reinterpret_cast<unsigned char*>(head.data()) + 7, offset, 4);
  if (!WriteAt(fd, head.data(), head.size(), base)) return TMixFault::Write;
  return TMixFault::None;
}

TMixFault TFileMixWriter::SaveToFile(const std::string& fileName, std::string& file) const {
  return WriteReplacing(fileName, 0666, file, [&](int fd) {
    const TMixFault fault = WriteTo(fd, 0, file);
    if (fault == TMixFault::Write) file = fileName;
    return fault;
  });
}

TMixFault BuildExecutable(const std::string& output, const std::string& runtime,
                          const TFileMixWriter& pack, std::string& file) {
  uint64_t imageEnd = 0;
  if (!Readable(runtime) || !ExecutableImageEnd(runtime, imageEnd)) {
    file = runtime;
    return TMixFault::InputMissing;
  }
  return WriteReplacing(output, 0755, file, [&](int out) {
    const std::string sys = SysPath(runtime);
    TFd in(::open(sys.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
      file = runtime;
      return TMixFault::InputMissing;
    }
    // Only the image: a runtime that carries an archive of its own leaves it behind.
    std::string buffer(1 << 20, '\0');
    for (uint64_t done = 0; done < imageEnd;) {
      const size_t chunk = static_cast<size_t>(std::min<uint64_t>(buffer.size(), imageEnd - done));
      if (!ReadAt(in.Get(), buffer.data(), chunk, done)) {
        file = runtime;
        return TMixFault::InputMissing;
      }
      if (!WriteAt(out, buffer.data(), chunk, done)) {
        file = output;
        return TMixFault::Write;
      }
      done += chunk;
    }
    const TMixFault fault = pack.WriteTo(out, imageEnd, file);
    if (fault == TMixFault::Write) file = output;
    return fault;
  });
}

// ---- reading ----

namespace {

const char kWrongFormat[] = "\"%s\"は、TFileMixHeaderでは形式が違うため読めません。";

std::string Broken(const std::string& fileName, std::string_view why) {
  return "\"" + fileName + "\"は、合成ファイルが壊れているため読めません。" + std::string(why);
}

// The key an entry is found by: the stored form with "/" taken for "\" ("/" is never the
// second byte of a two-byte character).
std::string LookupKey(std::string_view name) {
  std::string key = MixStoredName(name);
  for (char& c : key)
    if (c == '/') c = '\\';
  return key;
}

}  // namespace

TFileMixReader::~TFileMixReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool TFileMixReader::Open(const std::string& fileName, std::string& err, uint64_t base) {
  fileName_ = fileName;
  entries_.clear();
  index_.clear();
  if (fd_ >= 0) ::close(fd_);
  base_ = base;
  const std::string sys = SysPath(fileName);
  fd_ = ::open(sys.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    err = Subst(msg::kFileFailed, {fileName});
    return false;
  }
  const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
  const uint64_t length = base < fileSize ? fileSize - base : 0;
  unsigned char head[kMixHeaderSize] = {};
  const size_t headBytes = static_cast<size_t>(std::min<uint64_t>(length, kMixHeaderSize));
  if (!ReadAt(fd_, head, headBytes, base)) {
    err = Subst(msg::kFileFailed, {fileName});
    return false;
  }
  if (headBytes < 4 || std::memcmp(head, kMagic, 4) != 0) {
    err = Subst(kWrongFormat, {fileName});
    return false;
  }
  if (headBytes < kMixHeaderSize) {
    err = Broken(fileName, "(見出しが途中で切れています)");
    return false;
  }
  const uint64_t count = GetLe(head + 5, 2);
  const uint64_t tableEnd = kMixHeaderSize + kMixRecordSize * count;
  if (tableEnd > length) {
    err = Broken(fileName, "(目録が途中で切れています)");
    return false;
  }
  std::string table(tableEnd - kMixHeaderSize, '\0');
  if (!ReadAt(fd_, table.data(), table.size(), base + kMixHeaderSize)) {
    err = Subst(msg::kFileFailed, {fileName});
    return false;
  }
  entries_.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* r =
        reinterpret_cast<const unsigned char*>(table.data()) + kMixRecordSize * i;
    TEntry e;
    // A name that fills its field without a zero ends with the field.
    const void* zero = std::memchr(r, 0, kMixNameField);
    const size_t nameLen =
        zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - r) : kMixNameField;
    e.Name.assign(reinterpret_cast<const char*>(r), nameLen);
    e.Offset = static_cast<uint32_t>(GetLe(r + kMixNameField, 4));
    e.Size = static_cast<uint32_t>(GetLe(r + kMixNameField + 4, 4));
    e.Flag = r[kMixNameField + 8];
    if (uint64_t{e.Offset} + e.Size > length) {
      err = Broken(fileName, "(項目\"" + e.Name + "\"がファイルの終わりを越えています)");
      entries_.clear();
      index_.clear();
      return false;
    }
    index_[LookupKey(e.Name)] = entries_.size();
    entries_.push_back(std::move(e));
  }
  return true;
}

const TFileMixReader::TEntry* TFileMixReader::Find(std::string_view name) const {
  auto it = index_.find(LookupKey(name));
  return it == index_.end() ? nullptr : &entries_[it->second];
}

bool TFileMixReader::Read(const TEntry& entry, std::string& bytes) const {
  bytes.assign(entry.Size, '\0');
  if (!ReadAt(fd_, bytes.data(), bytes.size(), base_ + entry.Offset)) return false;
  if (entry.Flag == kMixEnciphered) {
    TCipher cipher;
    cipher.Load(std::move(bytes));
    cipher.ApplyKey(kCipherPackKey);
    bytes = cipher.TakeBytes();
  }
  return true;
}

bool TFileMixReader::GetStream(std::string_view name, std::string& bytes) const {
  const TEntry* e = Find(name);
  return e && Read(*e, bytes);
}

// ---- executable images ----

namespace {

template <typename Ehdr, typename Phdr, typename Shdr>
bool ElfEnd(int fd, uint64_t fileSize, uint64_t& end) {
  Ehdr eh{};
  if (fileSize < sizeof(Ehdr) || !ReadAt(fd, &eh, sizeof eh, 0)) return false;
  end = std::max<uint64_t>(sizeof(Ehdr), eh.e_ehsize);
  auto reach = [&](uint64_t offset, uint64_t size) {
    if (offset > fileSize || size > fileSize - offset) return false;
    end = std::max(end, offset + size);
    return true;
  };
  if (eh.e_phnum > 0) {
    if (eh.e_phentsize < sizeof(Phdr) || !reach(eh.e_phoff, uint64_t{eh.e_phnum} * eh.e_phentsize))
      return false;
    for (unsigned i = 0; i < eh.e_phnum; ++i) {
      Phdr ph{};
      if (!ReadAt(fd, &ph, sizeof ph, eh.e_phoff + uint64_t{i} * eh.e_phentsize)) return false;
      if (!reach(ph.p_offset, ph.p_filesz)) return false;
    }
  }
  if (eh.e_shoff != 0) {
    if (eh.e_shentsize < sizeof(Shdr)) return false;
    Shdr first{};
    if (!reach(eh.e_shoff, sizeof(Shdr)) || !ReadAt(fd, &first, sizeof first, eh.e_shoff))
      return false;
    // With 0 in the header, the real count of sections is in the first section's size.
    const uint64_t count = eh.e_shnum != 0 ? eh.e_shnum : first.sh_size;
    if (count > fileSize / eh.e_shentsize || !reach(eh.e_shoff, count * eh.e_shentsize))
      return false;
    for (uint64_t i = 0; i < count; ++i) {
      Shdr sh{};
      if (!ReadAt(fd, &sh, sizeof sh, eh.e_shoff + i * eh.e_shentsize)) return false;
      if (sh.sh_type != SHT_NOBITS && !reach(sh.sh_offset, sh.sh_size)) return false;
    }
  }
  return true;
}

}  // namespace

bool ExecutableImageEnd(const std::string& exe, uint64_t& end) {
  const std::string sys = SysPath(exe);
  TFd fd(::open(sys.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  unsigned char ident[EI_NIDENT] = {};
  if (!ReadAt(fd.Get(), ident, sizeof ident, 0)) return false;
  if (std::memcmp(ident, ELFMAG, SELFMAG) != 0) return false;
  const unsigned char native =
      __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
  if (ident[EI_DATA] != native) return false;
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  if (ident[EI_CLASS] == ELFCLASS64)
    return ElfEnd<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>(fd.Get(), size, end);
  if (ident[EI_CLASS] == ELFCLASS32)
    return ElfEnd<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>(fd.Get(), size, end);
  return false;
}

bool FindAppendedArchive(const std::string& exe, uint64_t& base) {
  uint64_t end = 0;
  if (!ExecutableImageEnd(exe, end)) return false;
  struct stat st {};
  const std::string sys = SysPath(exe);
  if (::stat(sys.c_str(), &st) != 0 || static_cast<uint64_t>(st.st_size) <= end) return false;
  base = end;
  return true;
}

}  // namespace yume
