// Statements read once: what the executor learns by scanning a statement or a もし chain, kept
// by its place in the working text and used again each time the program passes there. The
// reader (planread.cpp) makes these from the text; the runner (planrun.cpp) runs them.
//
// Only what the text alone decides is kept: the phrases, where a statement ends, the line marker
// after it, the split of each expression. What a name means is looked up again each time
// (cheaply, see THashYu::FindRemembered), and every value is worked out when the statement runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/expr.h"
#include "core/hash.h"
#include "core/scanner.h"
#include "core/stacks.h"

namespace yume {

class TYumeBase;

// One statement as the executor would read it, step by step, from one position to its end.
// The reader follows the executor's reading exactly and gives up (kRead) on every form whose
// reading depends on more than the text: calls written with "(", "&" chains, string literals,
// expressions at the start of a phrase, loops, conditions, blocks.
struct TStmtPlan {
  enum TKind : uint8_t { kRead, kCommand, kAssign };
  TKind Kind = kRead;
  std::vector<std::string> Phrases;  // stacked in order before the statement's end
  std::string Name;                  // the command word as written; the assignment's target
  std::string_view ValueText;        // an assignment's value, in the working text
  TExprCodePtr ValueCode;            // its split (null: read from the text)
  mutable TNameRef Ref;              // what Name meant when last looked up
  // The phrases bound to the pattern of the command Name meant last time (particles taken
  // off), when they stand in its order; BoundWord is null when they do not.
  mutable const THashNode* BoundWord = nullptr;
  mutable const THashNode* BindTried = nullptr;
  mutable std::string BoundPattern;
  mutable std::vector<std::string> Bound;
  // What each bound phrase meant as a name last time (a command asking for the word an
  // argument names looks it up through these, see TArgs::NamedWord).
  mutable std::vector<TNameRef> BoundRefs;
  bool NamePopped = false;   // the command word comes off the stack (Phrases had one)
  bool PlainAssign = false;  // kAssign: see PlainAssignment
  // kAssign to an element, "Name#(i)は、…" or "Name#(i)#(j)は、…": the insides of the
  // parentheses, worked out each time into the element's name as the executor reads it.
  std::vector<std::string_view> ElementIndexes;
  // Phrases that are a string literal with its particle: made each time the statement runs (the
  // literal worked out, in backquotes, then the particle), as the executor reads them; their
  // places in Phrases hold nothing.
  struct TLiteral {
    size_t Index = 0;
    std::string_view Text;
    std::string Particle;
    bool Constant = false;     // no insertion: the phrase is the same every time
    mutable std::string Made;  // a constant phrase, once made
    mutable bool HaveMade = false;
  };
  std::vector<TLiteral> Literals;
  const char* StepPos = nullptr;   // position while the command runs / after the value
  bool LineBreak = false;          // the statement ends at a line break (not ";" or the end)
  const char* AfterPos = nullptr;  // after the line break and its marker
  int LineAfter = kNoLineMarker;   // the line the marker names
  // The plan of the statement that ran after this one last time, with its place (position and
  // end): the same next statement is then found without a lookup.
  mutable const TStmtPlan* Next = nullptr;
  mutable const char* NextCur = nullptr;
  mutable const char* NextEnd = nullptr;

  // Where the program goes on when the statement has run and moved nothing.
  const char* Continue() const { return LineBreak ? AfterPos : StepPos; }
};

// The statement at pos of text (which ends where the text the program runs in ends).
TStmtPlan MakePlan(const TYumeBase& y, std::string_view text, size_t pos);

// A もし chain as read from the text: its conditions and blocks.
struct TIfPlan {
  struct TCond {
    std::string Expr;
    // The condition as it stands in the working text when the conversion left it unchanged:
    // evaluated from there, its reading is kept too.
    std::string_view ExprInText;
    TExprCodePtr Code;  // the split of the condition (null: read from the text)
    bool Negate = false;
    bool HasThen = false;
    TRunControl Then;
    std::string_view Text() const {
      return ExprInText.empty() ? std::string_view(Expr) : ExprInText;
    }
  };
  std::vector<TCond> Conds;
  bool HasElse = false;
  TRunControl Else;
  const char* ChainEnd = nullptr;
  bool LineRead = false;  // reading the chain passed a line marker
  int LineAfter = 0;      // the line of the last one
};

// Binds the plan's phrases to the pattern of w once (plan.Bound, particles taken off); false
// when they do not stand in its order (the binder then does its full work each time).
bool BindOnce(const TStmtPlan& plan, const THashNode& w);

// Runs the statement at y.Cur from its plan, made on the first visit. False (nothing done)
// when the statement is of a form that is always read afresh; the executor then reads it.
bool RunPlannedStatement(TYumeBase& y);
// Runs a statement from its plan (not kRead), y.Cur at its start.
void RunPlan(TYumeBase& y, const TStmtPlan& plan);

// At the start of the body of the innermost loop (y.Cur its first position): runs the body read
// once, round after round, as the run loop would, for as long as its statements need nothing
// of the run loop; false (nothing done) when the body is not read yet. The state between
// statements (the position, the line, the frames, the error log) is what running each statement
// in turn would leave.
bool RunLoopBody(TYumeBase& y);

// A value call's body run in place: the call's scope open, y.Cur at the body's start and y.End
// at the end of its text, the call's frame not pushed. The frame (and those of the blocks run in
// place) is pushed only when something could see it: a statement the run loop has to run, an
// error (pushed before it goes on).
enum class TCallRun {
  NotRun,    // the body is not read yet: nothing done
  Returned,  // its 戻る ran, or it ran to the end of its text: the scope closed, y.Cur null
  Handed,    // the frames are pushed: the nested run loop goes on from y.Cur
};
TCallRun RunCallInPlace(TYumeBase& y, const THashNode& label);

// Reads the chain at y.Cur (after もし); y.Line ends up as reading it leaves it. With split, each
// condition's expression is split too (the plan does not move: the splits view its own texts).
std::unique_ptr<TIfPlan> ReadIfPlan(TYumeBase& y, bool split = true);

}  // namespace yume
