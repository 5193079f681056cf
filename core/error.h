// Interpreter errors and the error log.
//
// Every failure of a script travels as an EYume carrying its complete error line
// ("[エラー] file(n行目): message"). Raising one appends its text to the state's error log
// (TYumeBase::ErrorLog) at once, so the log holds every error, handled or not.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace yume {

class TYumeBase;

class EYume : public std::runtime_error {
 public:
  // An error raised without the interpreter at hand (the dictionary, the registry): its line
  // goes to the log where it is caught (LogError).
  explicit EYume(const std::string& message) : std::runtime_error(message) {}
  // One already in the log (RaiseError puts it there before throwing).
  EYume(const std::string& message, bool logged) : std::runtime_error(message), logged_(logged) {}
  bool Logged() const { return logged_; }

 private:
  friend void LogError(TYumeBase& y, const std::exception& e);
  mutable bool logged_ = false;
};

// For an EYume not in the log yet: appends its text + CR LF to y.ErrorLog. Every catcher of
// errors calls it, so the log holds every error, handled or not, in the order raised. Other
// exceptions are left to the catcher.
void LogError(TYumeBase& y, const std::exception& e);

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

// The standard errors, each message written once (core/messages.h):
// "<command>" 命令の引数に誤りがあります。 followed by a detail;
[[noreturn]] void RaiseArgumentError(TYumeBase& y, std::string_view command,
                                     std::string_view detail = {});
// 範囲チェックエラー;
[[noreturn]] void RaiseRangeError(TYumeBase& y);
// "<name>" は、読取専用です。;
[[noreturn]] void RaiseReadOnly(TYumeBase& y, std::string_view name);
// "<what>" は、まだ作られていません。 (a part of the system not built yet);
[[noreturn]] void RaiseNotBuilt(TYumeBase& y, std::string_view what);
// "<what>" は、文法が正しくないため、実行できません。 followed by a detail.
[[noreturn]] void RaiseBadSyntax(TYumeBase& y, std::string_view what, std::string_view detail = {});

// "[注　意] name(n行目): text" appended to the log (the warning line).
std::string FormatWarning(TYumeBase& y, std::string_view text);

// Appends the warning line for text to the log; with -debug the error dialog opens at once.
void AddWarning(TYumeBase& y, std::string_view text);

// True when the text already is an error line (it contains "[エラー]").
bool IsErrorLine(std::string_view text);

}  // namespace yume
