// Statements read once: what the executor learns by scanning a statement is kept by its position
// in the working text and used again the next time the program passes there.
#pragma once

namespace yume {

class TYumeBase;

// Runs the statement at y.Cur from its plan, made on the first visit. False (nothing done)
// when the statement is of a form that is always read afresh; the executor then reads it.
//
// Only what the text alone decides is kept: the phrases, where the statement ends, the line
// marker after it. What a name means is looked up again (cheaply, see THashYu::FindRemembered),
// and every value is evaluated when the statement runs. Plans are forgotten whenever a working
// text goes away.
bool RunPlannedStatement(TYumeBase& y);

}  // namespace yume
