// The built-in vocabulary: command words with their patterns and handler numbers, system
// variables and constants. Entered into the dictionary at every run start.
//
// Each command family (commands/<area>/<family>_cmds.cpp) exports one TFamily: its handlers and
// the table tying its names, patterns and numbers to them. The registry walks the families,
// checks them once (duplicate names, numbers outside 0-600, one number bound to two handlers)
// and builds the handler table from them.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

namespace yume {

class THashNode;
class TYumeBase;

// A command handler: pops its arguments (last slot first) and leaves its result in それ.
using THandler = void (*)(TYumeBase&);

// One command name. Aliases are separate entries with the same number and handler.
// Handler null: the command is registered but not built yet (calling it raises an error
// naming it).
struct CommandDef {
  const char* Name;     // as written (entered folded)
  const char* Pattern;  // "?を,?に"; "" for none
  int Number;           // 0-600
  THandler Handler;
};

// One system variable or constant with a fixed initial value.
struct VariableDef {
  const char* Name;
  const char* Value;  // null: computed at run start
  const char* Type;   // "s", "e" or "" (untyped)
  int Number;         // management number 0-255, unique
  bool ReadOnly;
  bool Constant;  // listed as a constant rather than a variable (the word is the same)
};

struct TFamily {
  const char* Name;
  std::span<const CommandDef> Commands;
  std::span<const VariableDef> Variables;
};

constexpr int kHandlerCount = 601;
using THandlerTable = std::array<THandler, kHandlerCount>;

// All families, in registration order of their commands.
std::span<const TFamily* const> Families();
// The families with fixed variables, in registration order of those variables (the
// computed constants follow them).
std::span<const TFamily* const> VariableFamilies();

// The handler that does nothing: the words of a condition that only mark its shape (ならば,
// なら, 違えば, でなければ) and a few numbers without names.
void EmptyHandler(TYumeBase& y);

// Builds the handler table from the given families and checks them: a name registered
// twice (commands compared folded), a handler number outside 0-600, one number bound to two
// different handlers, a management number outside 0-255 or used twice. Raises EYume on a
// fault. Also binds the numbers without names.
THandlerTable BuildHandlerTable(std::span<const TFamily* const> families);

// The handler table by number, built once from the families; also checks them (and raises
// on a fault, which would stop every run).
const THandlerTable& Handlers();

// True when handler number n carries a built handler.
bool HandlerBuilt(int n);

// Calls the handler of a command word: raises an error naming the command when its handler
// is not built yet (or the number has none), and a range error for a number outside 0-600.
void CallHandler(TYumeBase& y, int number, const THashNode& word);

// Registers one command: folds the name, enters a reserved command word.
THashNode* RegisterCommand(TYumeBase& y, const CommandDef& def);
// Registers one variable (reserved when read-only); level -1. Raises when its management
// number is outside 0-255 or already used since RegisterAll began.
THashNode* RegisterVariable(TYumeBase& y, const VariableDef& def);

// Enters every built-in word into the (cleared) global table and sets the references the
// interpreter keeps to some of them.
void RegisterAll(TYumeBase& y);

// The vocabulary as tab-separated lines, CP932: "command", name as entered (folded), pattern,
// handler number, "yes"/"no" (handler built); "variable" or "constant", name, "", management
// number.
std::string VocabularyText();

}  // namespace yume
