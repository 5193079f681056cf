#include "console/qtloader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "core/pack.h"
#include "core/sjis.h"
#include "platform/paths.h"

namespace yume {

namespace {

constexpr char kModuleName[] = "yume-qt.so";

std::string SelfFolder() {
  std::string exe(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size());
  exe.resize(n > 0 ? static_cast<size_t>(n) : 0);
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}

// The folder a packed program's builder recorded in its pack (a system path), "" when none.
std::string RecordedRuntimeFolder() {
  try {
    std::unique_ptr<TPackStore> pack = OpenAppendedPack(ExecutableFile());
    std::string folder;
    if (pack && pack->ReadEntry(kPackRuntimeFolder, folder) && !folder.empty()) {
      std::string sys = SysPath(folder);
      while (sys.size() > 1 && sys.back() == '/') sys.pop_back();
      return sys;
    }
  } catch (const std::exception&) {
    // A pack that cannot be read records nothing; the program itself reports it.
  }
  return {};
}

}  // namespace

std::vector<std::string> QtModuleCandidates() {
  std::vector<std::string> out{SelfFolder() + "/" + kModuleName};
  const std::string recorded = RecordedRuntimeFolder();
  if (!recorded.empty()) out.push_back(recorded + "/" + kModuleName);
  return out;
}

std::string QtModulePath() {
  const std::vector<std::string> candidates = QtModuleCandidates();
  for (const std::string& c : candidates)
    if (access(c.c_str(), R_OK) == 0) return c;
  return candidates.front();
}

std::unique_ptr<TEventLoop> OpenQtLoop() {
  using TOpen = TEventLoop* (*)(const char*);
  static TOpen open = nullptr;
  static std::string path;
  if (!open) {
    path = QtModulePath();
    // Never unloaded: Qt stays for the rest of the run.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module) open = reinterpret_cast<TOpen>(dlsym(module, "YumeOpenQtLoop"));
    if (!open) {
      const char* why = dlerror();
      throw std::runtime_error(
          Utf8ToCp932("イベントループ(Qt)を読み込めません。" + std::string(why ? why : path)));
    }
  }
  return std::unique_ptr<TEventLoop>(open(path.c_str()));
}

}  // namespace yume
