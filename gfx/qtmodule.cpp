// yume-qt.so: Qt's event loop for the console program, loaded when a script first needs it.
// Qt runs on its offscreen platform: pictures, fonts and timers without a display.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "gfx/qtloop.h"

namespace {

// Qt's own notices (missing runtime folders and the like) are not the script's output.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtFatalMsg || type == QtCriticalMsg || qEnvironmentVariableIsSet("YUME_QT_DEBUG")) {
    std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
  }
}

}  // namespace

// Makes the application object (unless the program has one already) and a loop on it. The
// caller owns the loop.
extern "C" __attribute__((visibility("default"))) yume::TEventLoop* YumeOpenQtLoop(
    const char* programPath) {
  if (!QCoreApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    // The application object only sees the program name. It is never destroyed: tearing down
    // the offscreen platform loads the whole font configuration when no script touched a font,
    // and the process ends right after anyway.
    static int argc = 1;
    static char* argv[] = {strdup(programPath), nullptr};
    // A widgets application: GUI parts run on it too (ui/partmodule.cpp).
    new QApplication(argc, argv);  // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
    QApplication::setQuitOnLastWindowClosed(false);
  }
  return new yume::TQtEventLoop();  // owned by the caller from here on
}
