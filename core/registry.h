// The built-in vocabulary: command words with their patterns and handler numbers, system
// variables and constants. Entered into the dictionary at every run start.
//
// Each command family (commands/<area>/<family>_cmds.cpp) exports one TFamily: its handlers and
// the table tying its names, patterns and numbers to them. The registry walks the families,
// checks them once (duplicate names, numbers outside 0-600, one number bound to two handlers)
// and builds the handler table from them.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace yume {

class THashNode;
class TYumeBase;
class TArgs;

// A command handler: takes its arguments through the view (core/args.h) and leaves its result
// in それ (core/cmdlib.h).
using THandler = void (*)(TYumeBase&, TArgs&);

// How much of a command is built, as --words reports it.
enum class TBuilt : uint8_t { Whole, Partly };

// One command name. Aliases are separate entries with the same number and handler.
// Handler null: the command is registered but not built yet (calling it raises an error
// naming it). A command built only in part (some of its uses report that they are not built)
// says so.
struct CommandDef {
  const char* Name;     // as written (entered folded)
  const char* Pattern;  // "?を,?に"; "" for none
  int Number;           // 0-600
  THandler Handler;
  TBuilt Built = TBuilt::Whole;
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

// Commands whose work a body read once does itself (see core/blockrun.cpp), by number; the
// tables that register them use the same names.
namespace cmdno {
inline constexpr int kReturn = 3;
inline constexpr int kLocal = 518;
inline constexpr int kGetArg = 519;
}  // namespace cmdno
using THandlerTable = std::array<THandler, kHandlerCount>;

// The command library: every family, in registration order of its commands. Defined where
// the library lists its families (commands/families.cpp), so the interpreter includes none.
std::span<const TFamily* const> Families();
// The families with fixed variables, in registration order of those variables (the
// computed constants follow them).
std::span<const TFamily* const> VariableFamilies();
// The constants whose values are taken at run start; their table carries no values.
extern const TFamily kComputedFamily;
// Enters the computed constants with their values for this run.
void RegisterComputedConstants(TYumeBase& y);

// The handler that does nothing: the words of a condition that only mark its shape (ならば,
// なら, 違えば, でなければ) and a few numbers without names.
void EmptyHandler(TYumeBase& y, TArgs& a);

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

// Calls the handler of a command word with the arguments bound on the stack: raises an error
// naming the command when its handler is not built yet (or the number has none), and a range
// error for a number outside 0-600.
void CallHandler(TYumeBase& y, int number, const THashNode& word, size_t slots);

// Registers one command: folds the name, enters a reserved command word.
THashNode* RegisterCommand(TYumeBase& y, const CommandDef& def);
// Registers one variable (reserved when read-only); level -1. Raises when its management
// number is outside 0-255 or already used since RegisterAll began.
THashNode* RegisterVariable(TYumeBase& y, const VariableDef& def);

// Enters every built-in word into the (cleared) global table and sets the references the
// interpreter keeps to some of them.
void RegisterAll(TYumeBase& y);

// The vocabulary as tab-separated lines, CP932: "command", name as entered (folded), pattern,
// handler number, "yes"/"partly"/"no" (handler built, built in part, not built); "variable" or
// "constant", name, "", management number.
std::string VocabularyText();

}  // namespace yume
