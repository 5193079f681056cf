#include "console/partloader.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "console/qtloader.h"
#include "core/sjis.h"

namespace yume {

std::unique_ptr<TPartHost> OpenQtParts() {
  using TOpen = TPartHost* (*)(int);
  const std::string path = QtModulePath();
  // The module is loaded already (its loop is open): this only finds it again.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  TOpen open = module ? reinterpret_cast<TOpen>(dlsym(module, "YumeOpenQtParts")) : nullptr;
  if (!open) {
    const char* why = dlerror();
    throw std::runtime_error(
        Utf8ToCp932("部品(Qt)を読み込めません。" + std::string(why ? why : path)));
  }
  return std::unique_ptr<TPartHost>(open(0));
}

}  // namespace yume
