// Ending frames at the end of a text. Calls and events return to where they came from;
// any other frame continues after its block.
#include "core/runseam.h"
#include "core/yumebase.h"

namespace yume {

void CheckRunControl(TYumeBase& y) {
  TRunControl frame;
  if (!y.Runs.Pop(frame)) return;
  if (frame.Kind == fkCall || frame.Kind == fkEvent) {
    y.Cur = frame.ReturnPos;
    y.FileName = frame.SourceName;
  } else {
    y.Cur = frame.EndPos;
  }
}

}  // namespace yume
