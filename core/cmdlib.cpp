#include "core/cmdlib.h"

#include "core/hash.h"
#include "core/number.h"
#include "core/yumebase.h"

namespace yume {

namespace {

void Store(TYumeBase& y, std::string&& value, std::string_view type) {
  if (!y.VarSore) return;
  y.VarSore->SetValueText(std::move(value));
  y.VarSore->SetTypeText(type);
}

}  // namespace

void SetSoreText(TYumeBase& y, std::string value) {
  Store(y, std::move(value), "s");
}

void SetSoreView(TYumeBase& y, std::string_view v) {
  if (!y.VarSore) return;
  y.VarSore->SetValueText(v);
  y.VarSore->SetTypeText("s");
}

void SetSoreNumber(TYumeBase& y, long double value) {
  Store(y, FormatNumber(value), "e");
}

void SetSoreInteger(TYumeBase& y, int64_t value) {
  Store(y, std::to_string(value), "e");
}

void SetSoreTyped(TYumeBase& y, std::string value, std::string_view type) {
  Store(y, std::move(value), type);
}

void SetSoreKeepType(TYumeBase& y, std::string value) {
  if (y.VarSore) y.VarSore->SetValueText(std::move(value));
}

const std::string& SystemText(TYumeBase& y, const char* name) {
  static const std::string kNone;
  const THashNode* w = y.Dict.FindScoped(name, false);
  return w ? w->ValueText() : kNone;
}

}  // namespace yume
