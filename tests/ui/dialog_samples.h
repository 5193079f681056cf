// What the dialog tests fill their forms with.
#pragma once

#include <QString>
#include <ostream>
#include <string>

#include "core/dialoghost.h"
#include "core/sjis.h"

QT_BEGIN_NAMESPACE
// Widget texts in test failures as text, not as bytes.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace yume::testing {

inline std::string Sj(const char* utf8) {
  return Utf8ToCp932(utf8);
}

// A 項目記入 grid with a row of every kind and titles of its own.
inline TItemList SampleItems() {
  TItemList items;
  items.KeyTitle = Sj("名前");
  items.ValueTitle = Sj("内容");
  auto row = [](const char* key, const char* value, TItemRow::TKind kind) {
    TItemRow r;
    r.Key = Sj(key);
    r.Value = Sj(value);
    r.Kind = kind;
    return r;
  };
  TItemRow pick = row("果物", "りんご", TItemRow::PickList);
  pick.Choices = {Sj("りんご"), Sj("みかん")};
  items.Rows = {row("氏名", "山田", TItemRow::Text), row("年齢", "20", TItemRow::Number), pick,
                row("写真", "", TItemRow::File), row("色", "255", TItemRow::Color)};
  return items;
}

}  // namespace yume::testing
