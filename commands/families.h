// The command families. Each family file holds the table of its commands (names, patterns,
// handler numbers, handlers) and of its system variables; the registry walks them in the
// order of Families().
//
// A family's handlers live in its own file, above its table, each under a line naming what
// it serves, e.g. "// <name> (?の,?を,?に) 46". A table entry whose handler is not built yet
// carries nullptr: the name is registered, and calling it raises an error naming it.
#pragma once

#include <span>

#include "core/registry.h"

namespace yume {

// Commands (and the system variables of the same family), in registration order.
extern const TFamily kFlowFamily;
extern const TFamily kDialogFamily;
extern const TFamily kWordFamily;
extern const TFamily kErrorFamily;
extern const TFamily kDllFamily;
extern const TFamily kStringFamily;
extern const TFamily kConvFamily;
extern const TFamily kMailFamily;
extern const TFamily kXmlFamily;
extern const TFamily kRegexFamily;
extern const TFamily kChecksumFamily;
extern const TFamily kFileFamily;
extern const TFamily kPackFamily;
extern const TFamily kDateFamily;
extern const TFamily kProcessFamily;
extern const TFamily kMathFamily;
extern const TFamily kExprFamily;
extern const TFamily kTableFamily;
extern const TFamily kDrawFamily;
extern const TFamily kFilterFamily;
extern const TFamily kPrintFamily;
extern const TFamily kPartFamily;
extern const TFamily kTrayFamily;
extern const TFamily kSoundFamily;
extern const TFamily kOfficeFamily;
extern const TFamily kAgentFamily;
extern const TFamily kDbFamily;
extern const TFamily kArchiveFamily;
extern const TFamily kHttpFamily;
extern const TFamily kNetInfoFamily;
extern const TFamily kIniFamily;
extern const TFamily kDdeFamily;

// Variables only: the statement word そして, and the general constants (オン, 改行, colours)
// with それ and そ.
extern const TFamily kStatementFamily;
extern const TFamily kConstantFamily;

}  // namespace yume
