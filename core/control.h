// Control flow: blocks, frames and what happens at the end of a block's text.
//
// A structure reads its block, pushes a frame remembering where to go on, and lets execution
// run inside the block's body, a view into the working text. When the cursor reaches the end of
// that body, the run loop calls CheckRunControl, which pops the frame and decides what comes
// next (another round of a loop, the statement after the block, the caller of a subroutine).
#pragma once

#include <string>
#include <string_view>

#include "core/stacks.h"

namespace yume {

class TYumeBase;
class THashNode;

// Reads the block at y.Cur: "(" ... ")" spanning lines, or the rest of the statement. Returns a
// frame with Body, ReturnPos, EndPos and SourceName set; y.Cur ends up after the block.
TRunControl ReadBlock(TYumeBase& y);

// Pushes the frame and moves the cursor to the start of its body.
void EnterBody(TYumeBase& y, TRunControl&& frame);
// Enters a block read before (a kept reading's): only its place is taken over, as the frame of
// the given kind ending at endPos.
void EnterBlock(TYumeBase& y, const TRunControl& block, TFrameKind kind, const char* endPos);

// Moves the cursor to p and ends an error raised by a control statement's own text.
void ContinueAt(TYumeBase& y, const char* p);

// The statement forms the executor hands over.
void CountLoop(TYumeBase& y, std::string_view countText);  // "N回"
void CaseLine(TYumeBase& y, std::string_view caseValue);   // "Xの時"
void QuestionForm(TYumeBase& y);                           // condition "?" block
void IfChain(TYumeBase& y);                                // もし

// Calls a label as a subroutine from a statement (with its arguments bound when the label has
// an argument pattern and bindArgs is set).
void CallLabel(TYumeBase& y, THashNode& label, bool bindArgs);

// Runs a label for its value in a nested run on a fresh frame level; returns それ's value and
// sets y.LastType. それ is left as it was.
std::string LabelValue(TYumeBase& y, THashNode& label, std::string_view args, bool hasArgs,
                       bool acceptWhole = false);

// Runs from y.Cur in a nested run loop until the cursor becomes null.
void RunNested(TYumeBase& y);

// The frame of a value call to a label of the same source (its scope opened by the caller).
void EnterValueCallFrame(TYumeBase& y, const THashNode& label);
// 戻る of a value call whose frame was never pushed: its scope closes, the nested run ends.
void EndValueCallInPlace(TYumeBase& y);

// 戻る, 抜ける, 続ける, 飛ぶ.
void ReturnFromCall(TYumeBase& y);
// A variable of the innermost scope (ローカル変数 of one plain name).
THashNode* AddLocalVariable(TYumeBase& y, std::string_view name);
// The n-th argument of the current call as a text in target (empty when there is none).
void GetFuncArg(TYumeBase& y, THashNode& target, long double n);
// The same by the argument's place: 1 for the first, 0 (or past the last) for none.
void GetFuncArgAt(TYumeBase& y, THashNode& target, size_t slot);
void BreakLoop(TYumeBase& y);
void ContinueLoop(TYumeBase& y);
void JumpToLabel(TYumeBase& y, const std::string& label);

// ここから / ここまで.
void BeginLocalBlock(TYumeBase& y);
void EndLocalBlock(TYumeBase& y);

// A condition as written with が/以上/以下/と等しい/かつ/または, turned into an expression:
// "Aが 3以上 かつ Bが 2" becomes "A>=3 && B=2".
std::string ConvertCondition(std::string_view cond);

// The truth of a もし condition as EvaluateOrNumber gave it (a number, or a text whose type is in
// y.LastType).
bool ConditionOutcome(TYumeBase& y, const std::string& value, bool hasNumber, long double number);
// The same for a number a calculation made.
bool NumberConditionTrue(TYumeBase& y, long double number);
// The same for a whole number below 10^15.
bool WholeConditionTrue(TYumeBase& y, int64_t number);
// The truth of an evaluated condition: text is true when not empty (with textIsTruth), any
// other value when its integer part is not 0. The integer part must fit 32 bits.
bool ConditionTrue(TYumeBase& y, const std::string& value, bool textIsTruth);

// A label name taken as written: a quoted name is evaluated and converted to half-width.
std::string LabelNameAsWritten(TYumeBase& y, const std::string& raw);

}  // namespace yume
