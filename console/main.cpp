// build/yume: runs a script on the console.
#include <QGuiApplication>
#include <cstdio>
#include <string>

#include "console/consolehost.h"
#include "core/app.h"
#include "gfx/progopts.h"

namespace {

// Qt's own notices (missing runtime folders and the like) are not the script's output.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtFatalMsg || type == QtCriticalMsg || qEnvironmentVariableIsSet("YUME_QT_DEBUG")) {
    std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
  }
}

}  // namespace

int main(int argc, char** argv) {
  yume::TProgramOptions opts = yume::ParseProgramOptions(argc, argv);
  if (opts.Help) {
    std::fputs(yume::UsageText("yume").c_str(), stdout);
    return 0;
  }
  if (opts.Version) {
    std::fputs(yume::VersionText().c_str(), stdout);
    return 0;
  }
  if (opts.Words) {
    std::fputs(yume::WordsText().c_str(), stdout);
    return 0;
  }
  // No window: Qt's offscreen platform still gives us pictures, fonts and the event loop.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQtMessages);
  // The application object only sees the program name: it would take options of its own
  // out of the script's arguments.
  int qargc = 1;
  char* qargv[] = {argv[0], nullptr};
  // Never destroyed: tearing down the offscreen platform loads the whole font configuration
  // when no script touched a font (tens of milliseconds spent at every exit). The process ends
  // right after; nothing of ours depends on its destructor.
  auto* qapp = new QGuiApplication(qargc, qargv);
  (void)qapp;

  yume::TConsoleHost host;
  yume::TYumeApp app(host, std::move(opts.Params));
  host.Attach(&app);
  if (!opts.AnswersFile.empty() && !host.LoadAnswers(opts.AnswersFile)) return 1;
  int status = host.Run();
  std::fflush(stdout);
  return status;
}
