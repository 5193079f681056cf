// build/yume: runs a script on the console.
#include <clocale>
#include <cstdio>
#include <string>

#include "console/consolehost.h"
#include "core/app.h"
#include "gfx/progopts.h"

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
  // No window. Qt (its offscreen platform: the event loop, pictures, fonts) is loaded only
  // when the script first needs it; the locale is the environment's from the start, as Qt
  // would set it, so that nothing changes when it arrives.
  std::setlocale(LC_ALL, "");
  yume::TConsoleHost host;
  yume::TYumeApp app(host, std::move(opts.Params));
  host.Attach(&app);
  app.Base().Plans = !opts.NoPlans;
  if (!opts.AnswersFile.empty() && !host.LoadAnswers(opts.AnswersFile)) return 1;
  if (!opts.EventsFile.empty() && !host.LoadEvents(opts.EventsFile)) return 1;
  int status = host.Run();
  std::fflush(stdout);
  return status;
}
