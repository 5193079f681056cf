// build/yumemori: runs a script with its window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <string>

#include "core/app.h"
#include "gfx/progopts.h"
#include "ui/windowhost.h"

int main(int argc, char** argv) {
  yume::TProgramOptions opts = yume::ParseProgramOptions(argc, argv);
  if (opts.Help) {
    std::fputs(yume::UsageText("yumemori").c_str(), stdout);
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
  // The application object only sees the program name: it would take options of its own
  // out of the script's arguments.
  // The browser part's engine draws with the application's shared GL contexts where there
  // is a GPU; they must be asked for before the application exists.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  int qargc = 1;
  char* qargv[] = {argv[0], nullptr};
  QApplication qapp(qargc, qargv);
  QApplication::setApplicationName(QStringLiteral("ゆめもり"));
  // Qt's own dialogs (the pickers) speak Japanese, as the rest of the program does.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }
  // The program ends when the run cycle says so, not when its last window hides.
  QApplication::setQuitOnLastWindowClosed(false);

  yume::TWindowHost host;
  yume::TYumeApp app(host, std::move(opts.Params));
  host.Attach(&app);
  app.Base().Plans = !opts.NoPlans;
  if (!opts.AnswersFile.empty() && !host.LoadAnswers(opts.AnswersFile)) return 1;
  if (!opts.EventsFile.empty() && !host.LoadEvents(opts.EventsFile)) return 1;
  return host.Run();
}
