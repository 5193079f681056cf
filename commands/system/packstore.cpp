#include "commands/system/packstore.h"

#include <unistd.h>

#include <stdexcept>
#include <unordered_map>

#include "commands/system/filemix.h"
#include "commands/system/guard.h"
#include "core/error.h"
#include "core/messages.h"
#include "core/pack.h"
#include "core/sjis.h"
#include "core/yumebase.h"
#include "platform/paths.h"
#include "platform/tempdir.h"

namespace yume {

namespace {

const char kExtractFailed[] = "実行ファイルに梱包されている\"%s\"の展開に失敗しました。";

class TMixPack : public TPackStore {
 public:
  TFileMixReader Reader;
  // Entries extracted so far, by record: their paths (CP932).
  std::unordered_map<const TFileMixReader::TEntry*, std::string> Extracted;

  bool ReadEntry(std::string_view name, std::string& bytes) override {
    const TFileMixReader::TEntry* e = Reader.Find(name);
    if (!e) return false;
    if (!Reader.Read(*e, bytes))
      throw std::runtime_error(Subst(msg::kFileFailed, {Reader.FileName()}));
    return true;
  }
};

std::unique_ptr<TPackStore> OpenMix(const std::string& file, uint64_t base) {
  auto pack = std::make_unique<TMixPack>();
  std::string err;
  if (!pack->Reader.Open(file, err, base)) throw std::runtime_error(err);
  return pack;
}

// What an extracted file's name ends with: the entry's own last part (after any "\", "/" or
// ":"), so that its extension still tells what it holds; a long one keeps only the extension.
std::string TempSuffix(const std::string& entryName) {
  size_t start = 0;
  for (size_t i = 0; i < entryName.size(); i += CharLen(entryName, i)) {
    const char c = entryName[i];
    if (c == '\\' || c == '/' || c == ':') start = i + 1;
  }
  std::string bare = SysPath(entryName.substr(start));
  if (bare.size() > 100) {
    const size_t dot = bare.rfind('.');
    bare = dot != std::string::npos && bare.size() - dot <= 16 ? bare.substr(dot) : "";
  }
  return "-" + bare;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::unique_ptr<TPackStore> OpenAppendedPack(const std::string& exe) {
  uint64_t base = 0;
  if (!FindAppendedArchive(exe, base)) return nullptr;
  return OpenMix(exe, base);
}

std::unique_ptr<TPackStore> OpenPackFile(const std::string& file) {
  return OpenMix(file, 0);
}

std::string ExtractPackedFile(TYumeBase& y, const std::string& name) {
  auto* pack = dynamic_cast<TMixPack*>(y.Pack.get());
  if (!pack || name.empty()) return {};
  const TFileMixReader::TEntry* entry = pack->Reader.Find(name);
  if (!entry) return {};
  if (auto it = pack->Extracted.find(entry); it != pack->Extracted.end()) {
    if (FileExists(it->second)) return it->second;
    pack->Extracted.erase(it);
  }
  std::string bytes;
  int fd = -1;
  std::string sys;
  bool ok = pack->Reader.Read(*entry, bytes);
  if (ok) {
    // A new file of our own: nothing planted in the folder can stand in for the entry, and no
    // entry name (with "/", ".." or ":") can lead outside it.
    sys = NewTempFile(TempSuffix(entry->Name), &fd);
    ok = !sys.empty() && WriteAll(fd, bytes);
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (!ok && !sys.empty()) ::unlink(sys.c_str());
  }
  if (!ok) RaiseError(y, kExtractFailed, {name});
  y.ExtractedFiles.push_back(sys);
  std::string path = FromSysPath(sys);
  pack->Extracted[entry] = path;
  return path;
}

std::string FindReadFile(TYumeBase& y, const std::string& name) {
  std::string packed = ExtractPackedFile(y, name);
  return packed.empty() ? FindProgramFile(y, name) : packed;
}

}  // namespace yume
