#include "core/registry.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "core/args.h"
#include "core/error.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/partprops.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// Numbers without a name of their own that still lead somewhere: the conditional words'
// empty handler, and 読む/書く under a second number.
constexpr int kUnnamedEmpty[] = {43, 199, 201, 204, 205, 316, 447, 480};
constexpr struct {
  int Number;
  int SameAs;
} kUnnamedAliases[] = {{202, 37}, {203, 38}};

[[noreturn]] void TableFault(const std::string& text) {
  throw EYume("命令表の誤り: " + text);
}

std::string Num(int n) {
  return std::to_string(n);
}

// Names (commands folded), handler numbers and management numbers of the families.
void CheckFamilies(std::span<const TFamily* const> families) {
  std::unordered_map<std::string, const char*> names;  // name -> family holding it
  std::unordered_map<int, const VariableDef*> numbers;
  auto enter = [&](std::string name, const char* family) {
    auto [it, fresh] = names.emplace(name, family);
    if (!fresh) {
      TableFault(Subst("\"%s\"が二度登録されています(%s、%s)。", {name, it->second, family}));
    }
  };
  enter("母艦", "母艦");
  for (const TFamily* f : families) {
    for (const CommandDef& c : f->Commands) {
      if (c.Number < 0 || c.Number >= kHandlerCount) {
        TableFault(Subst("\"%s\"の命令番号%sは0から600の間にありません(%s)。",
                         {c.Name, Num(c.Number), f->Name}));
      }
      enter(FoldName(c.Name), f->Name);
    }
    for (const VariableDef& v : f->Variables) {
      if (v.Number < 0 || v.Number > 255) {
        TableFault(Subst("\"%s\"の管理番号%sは0から255の間にありません(%s)。",
                         {v.Name, Num(v.Number), f->Name}));
      }
      auto [it, fresh] = numbers.emplace(v.Number, &v);
      if (!fresh) {
        TableFault(Subst("\"%s\"と\"%s\"の管理番号%sが重なっています。",
                         {it->second->Name, v.Name, Num(v.Number)}));
      }
      enter(v.Name, f->Name);
    }
  }
}

void Bind(THandlerTable& table, int number, THandler handler, const char* name) {
  if (!handler) return;
  if (table[number] && table[number] != handler) {
    TableFault(
        Subst("命令番号%sに二つの処理が割り当てられています(\"%s\")。", {Num(number), name}));
  }
  table[number] = handler;
}

// The name of a command word as its table writes it (the word itself holds it folded).
std::string TableName(int number, const std::string& folded) {
  for (const TFamily* f : Families()) {
    for (const CommandDef& c : f->Commands) {
      if (c.Number == number && FoldName(c.Name) == folded) return c.Name;
    }
  }
  return folded;
}

void RegisterMainPart(TYumeBase& y) {
  auto node = std::make_unique<TObjNode>();
  node->Name = "母艦";
  node->Kind = 7;
  node->Tag = 0;
  // A run after the first keeps the host's window: the old record must not release it.
  if (int at = y.Objs.IndexOf("母艦"); at >= 0) {
    y.Objs.Get(at)->Widgets = nullptr;
    y.Objs.Put(at, std::move(node));
  } else {
    y.Objs.Add(std::move(node));
  }
  auto word = std::make_unique<THashNode>();
  word->Name = "母艦";
  word->Kind = wkPart;
  word->Reserved = true;
  word->TypeText = "メインフォーム";
  word->Tag = 0;
  y.Dict.Add(std::move(word));
}

// The words the interpreter reaches directly instead of looking them up.
struct TWordRef {
  const char* Name;
  THashNode* TYumeBase::*Ref;
  bool Command;
};
const TWordRef kWordRefs[] = {
    {"それ", &TYumeBase::VarSore, false},
    {"そ", &TYumeBase::VarSo, false},
    {"回数", &TYumeBase::VarCount, false},
    {"エラーメッセージ", &TYumeBase::VarErrorMessage, false},
    {"エラー行", &TYumeBase::VarErrorLine, false},
    {"終了不可能", &TYumeBase::VarCannotClose, false},
    {"そして", &TYumeBase::WordSoshite, false},
    {"イベントオブジェクト", &TYumeBase::VarEventObject, false},
    {"イベントの値", &TYumeBase::VarEventValue, false},
    {"マウスX", &TYumeBase::VarMouseX, false},
    {"マウスY", &TYumeBase::VarMouseY, false},
    {"押されたキー", &TYumeBase::VarKey, false},
    {"押された特殊キー", &TYumeBase::VarSpecialKey, false},
    {"マッチ数", &TYumeBase::VarMatchCount, false},
    {"表フィールド名", &TYumeBase::VarFieldNames, false},
    {"もし", &TYumeBase::WordMoshi, true},
    {"ならば", &TYumeBase::WordNaraba, true},
    {"なら", &TYumeBase::WordNara, true},
    {"違えば", &TYumeBase::WordChigaeba, true},
    {"でなければ", &TYumeBase::WordDenakereba, true},
};

void SetWordRefs(TYumeBase& y) {
  for (const TWordRef& r : kWordRefs) {
    THashNode* w = r.Command ? y.Dict.Find(FoldName(r.Name), false) : y.Dict.Find(r.Name, false);
    if (!w) TableFault(Subst("\"%s\"が登録されていません。", {r.Name}));
    y.*r.Ref = w;
  }
}

}  // namespace

void EmptyHandler(TYumeBase&, TArgs&) {}

THandlerTable BuildHandlerTable(std::span<const TFamily* const> families) {
  CheckFamilies(families);
  THandlerTable table{};
  for (const TFamily* f : families) {
    for (const CommandDef& c : f->Commands) Bind(table, c.Number, c.Handler, c.Name);
  }
  for (int n : kUnnamedEmpty) Bind(table, n, EmptyHandler, "");
  for (const auto& a : kUnnamedAliases) Bind(table, a.Number, table[a.SameAs], "");
  return table;
}

const THandlerTable& Handlers() {
  static const THandlerTable table = BuildHandlerTable(Families());
  return table;
}

bool HandlerBuilt(int n) {
  return n >= 0 && n < kHandlerCount && Handlers()[n] != nullptr;
}

void CallHandler(TYumeBase& y, int number, const THashNode& word, size_t slots) {
  if (number < 0 || number >= kHandlerCount) {
    throw std::out_of_range(Subst("\"%s\"の命令番号%sは範囲外です。", {word.Name, Num(number)}));
  }
  THandler h = Handlers()[number];
  if (!h) RaiseError(y, msg::kCommandNotBuilt, {TableName(number, word.Name)});
  TArgs args(y, word, slots);
  h(y, args);
  args.Done();
}

THashNode* RegisterCommand(TYumeBase& y, const CommandDef& def) {
  auto w = std::make_unique<THashNode>();
  w->Name = FoldName(def.Name);
  w->Kind = wkCommand;
  w->Reserved = true;
  w->Pattern = def.Pattern;
  w->Tag = def.Number;
  THashNode* raw = w.get();
  y.Dict.Add(std::move(w));
  return raw;
}

THashNode* RegisterVariable(TYumeBase& y, const VariableDef& def) {
  if (def.Number < 0 || def.Number > 255) {
    throw std::out_of_range(Subst("\"%s\"の管理番号%sは範囲外です。", {def.Name, Num(def.Number)}));
  }
  if (y.UsedVarNumbers[def.Number]) {
    RaiseError(y, std::string(def.Name) + "は既に使われている管理番号" + Num(def.Number) +
                      "が指定されてます。");
  }
  auto w = THashNode::MakeVariable(def.Name, def.ReadOnly, -1, def.Value ? def.Value : "");
  w->TypeText = def.Type;
  THashNode* raw = w.get();
  y.Dict.Add(std::move(w));
  y.UsedVarNumbers[def.Number] = true;
  return raw;
}

void RegisterAll(TYumeBase& y) {
  // The global table starts empty (the run start has cleared it; clearing again makes a
  // second registration in a row harmless).
  y.ClearWordRefs();
  y.Dict.Clear();
  y.UsedVarNumbers.fill(false);
  Handlers();
  for (const TFamily* f : Families()) {
    for (const CommandDef& c : f->Commands) RegisterCommand(y, c);
  }
  for (const TFamily* f : VariableFamilies()) {
    for (const VariableDef& v : f->Variables) RegisterVariable(y, v);
  }
  RegisterComputedConstants(y);
  // 特殊フォルダ取得 is entered once, with the file commands: entering it again here would
  // meet its own reserved word.
  RegisterMainPart(y);
  SetWordRefs(y);
  y.VarSo->Tag = -1;
  FoldPartProperties();
}

std::string VocabularyText() {
  std::string out;
  const THandlerTable& table = Handlers();
  for (const TFamily* f : Families()) {
    for (const CommandDef& c : f->Commands) {
      out += "command\t" + FoldName(c.Name) + "\t" + c.Pattern + "\t" + Num(c.Number) + "\t" +
             (!table[c.Number]            ? "no"
              : c.Built == TBuilt::Partly ? "partly"
                                          : "yes") +
             "\n";
    }
  }
  auto variables = [&](const TFamily* f) {
    for (const VariableDef& v : f->Variables) {
      out += std::string(v.Constant ? "constant\t" : "variable\t") + v.Name + "\t\t" +
             Num(v.Number) + "\n";
    }
  };
  for (const TFamily* f : VariableFamilies()) variables(f);
  variables(&kComputedFamily);
  return out;
}

}  // namespace yume
