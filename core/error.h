// Interpreter errors and the error log.
//
// Every failure of a script travels as an EYume carrying its complete error line
// ("[エラー] file(n行目): message"). Raising one appends its text to the error log at once,
// so the log holds every error, handled or not.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace yume {

class TYumeBase;

// The process-wide error log; cleared only when a run starts.
std::string& ErrorLog();

class EYume : public std::runtime_error {
 public:
  // Appends message + CR LF to the error log, then carries the message.
  explicit EYume(const std::string& message);
};

// Replaces each "%s" of msg in turn by the next argument. Arguments are inserted as they
// are: script text is never read as a format.
std::string Subst(std::string_view msg, std::initializer_list<std::string_view> args);

// The line number of the program position: the number of the line marker that follows the
// next line break. Stores it in y.Line; keeps the previous Line when there is none.
int CurrentLine(TYumeBase& y);

// "[エラー] name(n行目): text" with the file-name part of y.FileName and CurrentLine;
// sets the system variable エラー行 to n when it is registered.
std::string FormatError(TYumeBase& y, std::string_view text);

// Builds the error line for text (already substituted) and throws it.
[[noreturn]] void RaiseError(TYumeBase& y, std::string_view text);

// The same with "%s" placeholders filled first.
[[noreturn]] void RaiseError(TYumeBase& y, std::string_view msg,
                             std::initializer_list<std::string_view> args);

// "[注　意] name(n行目): text" appended to the log (the warning line).
std::string FormatWarning(TYumeBase& y, std::string_view text);

// Appends the warning line for text to the log; with -debug the error dialog opens at once.
void AddWarning(TYumeBase& y, std::string_view text);

// True when the text already is an error line (it contains "[エラー]").
bool IsErrorLine(std::string_view text);

}  // namespace yume
