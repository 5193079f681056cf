// Room left on the interpreter's stack. Scripts can nest without end (a label used as a value
// that calls itself, parentheses inside parentheses): that must end in an error, never in a
// crash.
#pragma once

namespace yume {

// Marks the outermost frame the interpreter runs in (taken at the first check otherwise).
void MarkStackTop();
// True when less than a quarter of the stack (at least 256 KiB) is left below the mark.
bool StackNearlyFull();

}  // namespace yume
