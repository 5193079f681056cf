#include "console/qtloader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "core/sjis.h"

namespace yume {

std::string QtModulePath() {
  std::string exe(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size());
  exe.resize(n > 0 ? static_cast<size_t>(n) : 0);
  const size_t slash = exe.rfind('/');
  return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/yume-qt.so";
}

std::unique_ptr<TEventLoop> OpenQtLoop() {
  using TOpen = TEventLoop* (*)(const char*);
  static TOpen open = nullptr;
  const std::string path = QtModulePath();
  if (!open) {
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
