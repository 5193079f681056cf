// Loads the browser part's module, yume-web.so, from the folder of the code that asks for it
// (the window program, or yume-qt.so for the console program).
#include <dlfcn.h>
#include <unistd.h>

#include <QFileInfo>
#include <QLoggingCategory>

#include "ui/browserpart.h"

namespace yume {

namespace {
void* module = nullptr;
}  // namespace

void ShutDownBrowsers() {
  using TShutDown = void (*)();
  if (!module) return;
  if (auto shut = reinterpret_cast<TShutDown>(dlsym(module, "YumeShutDownBrowsers"))) shut();
}

TBrowserView* MakeBrowserView(QString& error) {
  static TMakeBrowser make = nullptr;
  static QString loadError;
  static bool tried = false;
  if (!tried) {
    tried = true;
    // The engine's renderer refuses to start as root inside its sandbox; as root (a container,
    // a CI machine) it runs without one, as the engine's own documentation advises.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
      qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Its start-up report is for the engine's developers, not for a script's output.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    Dl_info self{};
    QString dir = QStringLiteral(".");
    if (dladdr(reinterpret_cast<void*>(&MakeBrowserView), &self) && self.dli_fname)
      dir = QFileInfo(QString::fromLocal8Bit(self.dli_fname)).absolutePath();
    const QByteArray path = (dir + QStringLiteral("/yume-web.so")).toLocal8Bit();
    module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (module) make = reinterpret_cast<TMakeBrowser>(dlsym(module, "YumeMakeBrowser"));
    if (!make) {
      const char* why = dlerror();
      loadError = QString::fromLocal8Bit(why ? why : path.constData());
    }
  }
  if (!make) {
    error = loadError;
    return nullptr;
  }
  return make(&error);
}

}  // namespace yume
