// The two steps the run loop delegates: executing one statement step, and ending the
// innermost run-control frame at the end of a text. Kept behind function pointers so that
// the run loop can be exercised with steps of a test's own.
#pragma once

namespace yume {

class TYumeBase;

using TStepFn = void (*)(TYumeBase&);

// One statement step at y.Cur; advances y.Cur. At the start of a loop's body read once, the
// step is the body's statements, round after round, for as long as nothing needs the run loop.
void ExecuteStatement(TYumeBase& y);
// One statement step, never more.
void ExecuteOneStatement(TYumeBase& y);

// Ends the innermost frame of the run-control stack at the end of a text.
void CheckRunControl(TYumeBase& y);

}  // namespace yume
