// The command line of both programs: our own "--" options, and the parameters handed to the
// runtime (the script, its options and its arguments).
#pragma once

#include <string>
#include <vector>

namespace yume {

struct TProgramOptions {
  bool Help = false;
  bool Version = false;
  bool Words = false;               // --words: list the built-in vocabulary
  std::string AnswersFile;          // --answers FILE: answers for the dialogs (system path)
  std::string EventsFile;           // --events FILE: actions on the script's parts (system path)
  bool NoPlans = false;             // --no-plans: every statement read from its text each time
  std::vector<std::string> Params;  // CP932; [0] = the runtime's own full path
};

TProgramOptions ParseProgramOptions(int argc, char** argv);

// Texts for the terminal (UTF-8).
std::string UsageText(const std::string& program);
std::string VersionText();
// The built-in vocabulary, one tab-separated line a word.
std::string WordsText();

}  // namespace yume
