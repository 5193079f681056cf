// What every command handler works with: the argument view (core/args.h), the standard errors
// (through the view, naming the command), setting それ with its type, and the system's own
// variables. A handler is
//
//   // 置換 (?の,?を,?に) 46
//   void CmdReplace(TYumeBase& y, TArgs& a) {
//     const std::string& with = a.Text(2);
//     const std::string& what = a.Text(1);
//     SetSoreText(y, ReplaceAll(a.TextInPlace(0), what, with));
//   }
//
// with its line { "置換", "?の,?を,?に", 46, CmdReplace } in its family's table; the work itself
// is an engine function that knows nothing of the interpreter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/args.h"
#include "core/error.h"
#include "core/value.h"

namespace yume {

class TYumeBase;

// ---- results: それ with its type ----
void SetSoreText(TYumeBase& y, std::string value);  // "s"
// それ = v copied into its own storage (no new block when it has room): "s".
void SetSoreView(TYumeBase& y, std::string_view v);
void SetSoreNumber(TYumeBase& y, long double value);  // written with 15 digits, "e"
void SetSoreInteger(TYumeBase& y, int64_t value);     // "e"
// Any value with the type code given (a word's own type text included).
void SetSoreTyped(TYumeBase& y, std::string value, std::string_view type);
// The value only: それ keeps the type code it had.
void SetSoreKeepType(TYumeBase& y, std::string value);

// ---- the system's own variables ----
// The value of a system variable (found by name in every scope, as scripts find it); empty
// when it is not registered.
const std::string& SystemText(TYumeBase& y, const char* name);

}  // namespace yume
