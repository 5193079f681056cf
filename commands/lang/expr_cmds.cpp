// Evaluating an expression given as text.
#include "commands/families.h"
#include "core/cmdlib.h"
#include "core/convhalf.h"
#include "core/expr.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// 計算 (?を) 11 -- an invalid expression gives an empty result, not an error.
void CmdCalculate(TYumeBase& y, TArgs& a) {
  const std::string& text = a.Text(0);
  std::string result;
  if (!text.empty()) {
    try {
      result = Calculate(y, TConvToHalf::Instance().ConvertText(text));
    } catch (const std::exception& e) {
      LogError(y, e);
      result.clear();
    }
  }
  SetSoreTyped(y, std::move(result), "e");
}

constexpr CommandDef kCommands[] = {
    {"計算", "?を", 11, CmdCalculate},
};

}  // namespace

const TFamily kExprFamily{"式", kCommands, {}};

}  // namespace yume
