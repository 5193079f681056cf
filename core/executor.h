// The statement executor: reads the working text at the program position, stacks each phrase
// with its particle, and at the end of a statement runs the command word with the phrases
// bound to its pattern.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "core/expr.h"

namespace yume {

class TYumeBase;
class THashNode;

// Keeps ParticleFree set for a call and clears it however the call ends.
struct ParticleFreeScope {
  TYumeBase& y;
  explicit ParticleFreeScope(TYumeBase& yb);
  ~ParticleFreeScope();
};

// Runs the command word on top of the argument stack (nothing when the stack is empty).
void EndOfStatement(TYumeBase& y);
// True for a phrase that ends its statement where it stands: もし and the loop words.
bool RunsStatementAtOnce(const TYumeBase& y, std::string_view phrase);
// The same once the command word is off the stack: name as written and the word it names
// (null: undefined).
void RunNamedWord(TYumeBase& y, std::string_view name, THashNode* w);
// After a command word has run with phrases left on the stack: the error for them.
[[noreturn]] void RaiseArgsLeft(TYumeBase& y, const THashNode& w);

// Runs a found word by its kind.
void ExecuteWord(TYumeBase& y, THashNode& word);

// Binds the stacked phrases to the command's pattern and calls its handler; a failure is
// reported as "『name』命令の実行中にエラー。" (with the reason when it is no error line).
void CallCommand(TYumeBase& y, THashNode& word);
// The same with the arguments bound already: the top `slots` entries of the stack.
void CallBoundCommand(TYumeBase& y, THashNode& word, size_t slots);
// A command's handler failed with e: raised again as the command's error line.
[[noreturn]] void RaiseCommandFailure(TYumeBase& y, const THashNode& word, const std::exception& e);

// The call form name(arguments): text[pos] must be "(". Returns the value; with pushResult the
// value is also pushed as a phrase.
std::string FunctionCall(TYumeBase& y, THashNode& word, std::string_view text, size_t& pos,
                         bool pushResult);

// Pushes the comma-separated arguments of a parenthesised call.
void PushArguments(TYumeBase& y, std::string_view inner);
// The form in which an argument's value (just evaluated, its type in y.LastType) is pushed:
// texts in backquotes, so that evaluating them again gives them back.
std::string PushedForm(TYumeBase& y, std::string value);
// The arguments of a call as PushArguments finds them, each with whether it is pushed as written
// and its split (null where it is read afresh).
struct TArgSplit {
  struct TArg {
    std::string_view Text;
    bool AsWritten;
    TExprCodePtr Code;
  };
  std::vector<TArg> Args;
};
// The split of inner, kept by its place in a working text; null where inner is no working text's
// or cannot be read without side effects (a line break, an unclosed literal).
const TArgSplit* ArgSplitFor(TYumeBase& y, std::string_view inner);
// An argument's value as PushArguments pushes it (see PushedForm).
std::string ArgumentValue(TYumeBase& y, const TArgSplit::TArg& arg);

// The entries of a coordinate list "(a,b,...)" (or of a word holding one), as written, in order:
// one pair of backquotes is removed and a list wholly in parentheses is the list inside them.
std::vector<std::string> CoordinateTexts(TYumeBase& y, std::string_view text);

// The same entries evaluated, in order, each truncated to an integer.
std::vector<int> CoordinateValues(TYumeBase& y, std::string_view text);

// A coordinate pair "(x,y)" or a word holding one; both truncated to integers.
void ParsePoint(TYumeBase& y, std::string_view text, int& x, int& py);

// A command, label or library function used as a value (see core/term.h).
std::string CallForValue(TYumeBase& y, THashNode& word, std::string_view args, bool hasArgs);

// The rest of a statement from pos: up to a line break or ";" (literals and parentheses taken
// whole; "&" at a line end joins the next line).
std::string ReadStatementRest(TYumeBase& y, std::string_view text, size_t& pos);

// The end of the statement rest from pos; at each line break that an "&" joins, onJoin gets
// the start of the line just ended and moves pos past the break.
// (A plain function and its context: this runs for every assignment, so nothing is allocated.)
struct TJoinFn {
  void (*Fn)(void* ctx, size_t lineStart, size_t& pos);
  void* Ctx;
  void operator()(size_t lineStart, size_t& pos) const { Fn(Ctx, lineStart, pos); }
};
template <class F>
TJoinFn JoinFn(F& f) {
  return {[](void* c, size_t lineStart, size_t& pos) { (*static_cast<F*>(c))(lineStart, pos); },
          &f};
}
size_t ScanStatementRest(TYumeBase& y, std::string_view text, size_t pos, TJoinFn onJoin);
// The same without reading anything for real: npos where that reading would join a line or fail.
size_t PlainStatementRest(std::string_view text, size_t pos);

}  // namespace yume
