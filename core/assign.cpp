#include "core/assign.h"

#include <memory>

#include "core/error.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/scanner.h"
#include "core/sjis.h"
#include "core/term.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

bool IsWholeNumber(std::string_view t);

// A value just worked out: a text (its type in y.LastType), or a number a calculation made and
// nobody has written out yet.
struct TWorked {
  std::string Text;
  long double Number = 0;
  bool IsNumber = false;
  std::string& AsText() {
    if (IsNumber) {
      Text = FormatNumber(Number);
      IsNumber = false;
    }
    return Text;
  }
};

TWorked Evaluate(TYumeBase& y, std::string_view valueText, const TExprCode* code) {
  TWorked v;
  v.Text = EvaluateSplit(y, valueText, code, v.Number, v.IsNumber);
  return v;
}

// Evaluate, where a number kept by a variable of another type stays a number too.
TWorked EvaluateKept(TYumeBase& y, std::string_view valueText, const TExprCode* code) {
  TWorked v;
  v.Text = EvaluateSplitKept(y, valueText, code, v.Number, v.IsNumber);
  return v;
}

void StoreNamed(TYumeBase& y, const std::string& target, TWorked&& value, TNameRef* ref);

[[noreturn]] void SyntaxRefused(TYumeBase& y, const std::string& name, bool digit) {
  std::string msg = Subst(msg::kBadSyntax, {name + "への代入文"});
  msg += "『(変数名)は,(値)。』の書式で書いてください。";
  if (digit) msg += "また、数字からはじまる変数名は定義できません。";
  RaiseError(y, msg);
}

// Makes w a dictionary holding the items of an "hs" value, or a plain variable.
void StoreValue(THashNode& w, std::string&& value, std::string_view type) {
  if (type == "hs") {
    w.Items = std::make_shared<THash>();
    w.Items->LoadFromText(value);
    w.Kind = wkDictionary;
    w.SetValueText(std::string());
    return;
  }
  if (w.Kind == wkDictionary) {
    w.Items.reset();
    w.Kind = wkVariable;
    w.SetValueText(std::move(value));
    return;
  }
  w.SetValueText(std::move(value));
  w.SetTypeText(type);
}

// "name#i" or "name#i#j": the name and the index texts; false when there is no "#".
bool SplitElement(std::string_view phrase, std::string_view& name, std::string_view& i,
                  std::string_view& j, bool& hasJ) {
  size_t h = FindCharAligned(phrase, '#');
  if (h == std::string_view::npos || h == 0) return false;
  name = phrase.substr(0, h);
  std::string_view rest = phrase.substr(h + 1);
  size_t h2 = FindCharAligned(rest, '#');
  hasJ = h2 != std::string_view::npos;
  i = hasJ ? rest.substr(0, h2) : rest;
  j = hasJ ? rest.substr(h2 + 1) : std::string_view();
  return true;
}

void ItemAssignment(TYumeBase& y, const std::string& key, std::string_view valueText) {
  std::string arg = y.Args.Pop();
  if (arg.size() < 2 || arg.compare(arg.size() - 2, 2, "の") != 0) {
    RaiseError(y, "部品への不正な代入(%s,%s)。『部品の、項目名は、値』の形式で指定してください。",
               {arg, key});
  }
  std::string xname = arg.substr(0, arg.size() - 2);
  const int depth = y.WordLevel();
  THashNode* x = y.Dict.FindScoped(xname, false);
  if (!x) {
    std::string evaluated = EvaluateText(y, xname);
    x = y.Dict.FindScoped(evaluated, false);
  }
  if (!x) {
    auto d = THashNode::MakeVariable(xname, false, depth, "ハッシュ");
    d->Kind = wkDictionary;
    d->TypeText = "ハッシュ";
    d->Items = std::make_shared<THash>();
    x = d.get();
    y.Dict.Add(std::move(d));
  }
  if (x->Kind == wkVariable) {
    if (THashNode* other = y.Dict.FindScoped(x->ValueText(), false); other && other != x) x = other;
  }
  switch (x->Kind) {
    case wkVariable: {
      if (x->Reserved) RaiseReadOnly(y, x->Name);
      std::string k = EvaluateText(y, key);
      std::string v = EvaluateText(y, valueText);
      x->SetValueText(SetNameValueLine(x->ValueText(), k, v));
      return;
    }
    case wkDictionary: {
      if (!x->Items) x->Items = std::make_shared<THash>();
      std::string k = EvaluateText(y, key);
      std::string v = EvaluateText(y, valueText);
      std::string type = y.LastType;
      if (THashNode* item = x->Items->Find(k, false)) {
        item->SetValueText(std::move(v));
        item->TypeText = type;
      } else {
        auto w = THashNode::MakeVariable(k, false, depth, std::move(v));
        w->TypeText = type;
        x->Items->Add(std::move(w));
      }
      return;
    }
    case wkPart:
      if (!y.PartWrite) RaiseNotBuilt(y, "部品\"" + x->Name + "\"のプロパティへの代入");
      y.PartWrite(y, *x, key, valueText);
      return;
    default:
      RaiseError(y, "\"%s\"には代入できません！", {xname});
  }
}

bool IsWholeNumber(std::string_view t) {
  size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (i >= t.size()) return false;
  for (; i < t.size(); ++i)
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}

}  // namespace

std::string SetNameValueLine(std::string_view lines, std::string_view key, std::string_view value) {
  std::string out;
  bool done = false;
  size_t pos = 0;
  while (pos < lines.size()) {
    std::string_view line = NextLine(lines, pos);
    size_t eq = line.find('=');  // "=" is never a second byte
    std::string_view name = eq == std::string_view::npos ? line : line.substr(0, eq);
    if (!done && SameTextIgnoreCase(name, key)) {
      done = true;
      if (value.empty()) continue;
      out.append(name);
      out += '=';
      out.append(value);
      out += "\r\n";
      continue;
    }
    out.append(line);
    out += "\r\n";
  }
  if (!done && !value.empty()) {
    out.append(key);
    out += '=';
    out.append(value);
    out += "\r\n";
  }
  return out;
}

// The tail of "X & ..." when it is "&" joined terms that run nothing: literals without
// embedded expressions, numbers and plain variables. Evaluating such a tail cannot change X,
// so appending it to X in place gives what evaluating the whole would.
bool IsInertConcatTail(TYumeBase& y, std::string_view t, size_t pos) {
  static constexpr std::string_view kWideBrace = "｛";
  bool expectTerm = true;
  while (pos < t.size()) {
    SkipSeparators(t, pos);
    if (pos >= t.size()) break;
    if (!expectTerm) {
      if (t[pos] != '&' || CharAt(t, pos + 1) == '&') return false;
      ++pos;
      expectTerm = true;
      continue;
    }
    if (AtStringLiteral(t, pos)) {
      const size_t next = SkipStringLiteral(t, pos);
      if (next == std::string_view::npos) return false;
      const std::string_view lit = t.substr(pos, next - pos);
      if (lit[0] == '"' && (FindCharAligned(lit, '{') != std::string_view::npos ||
                            FindAligned(lit, kWideBrace) != std::string_view::npos))
        return false;
      pos = next;
    } else {
      const size_t start = pos;
      const std::string_view word = ReadWord(t, pos);
      if (word.empty() || pos == start) return false;
      bool digits = true;
      for (char c : word) digits = digits && IsDigitChar(c);
      if (!digits) {
        const THashNode* w = y.Dict.FindScoped(word, false);
        if (!w || w->Kind != wkVariable) return false;
      }
    }
    expectTerm = false;
  }
  return !expectTerm;
}

// "X は、X & ..." on a plain variable appends to its value in place, so that building a text
// piece by piece stays linear. The outcome is the same as evaluating the whole and storing it.
bool AppendInPlace(TYumeBase& y, const std::string& name, std::string_view valueText) {
  if (name.empty() || valueText.compare(0, name.size(), name) != 0) return false;
  if (IsDelimiter(name[0]) || IsDigitChar(name[0]) || name[0] == '@') return false;
  if (FindCharAligned(name, '#') != std::string::npos) return false;
  size_t p = name.size();
  SkipSeparators(valueText, p);
  if (CharAt(valueText, p) != '&' || CharAt(valueText, p + 1) == '&') return false;
  if (!IsInertConcatTail(y, valueText, p + 1)) return false;
  THashNode* w = y.Dict.FindScoped(name, false);
  if (!w || w->Kind != wkVariable || w->Reserved || w->TypeText == "hs") return false;
  std::string tail = EvaluateText(y, valueText.substr(p + 1));
  w->MutableValue() += tail;
  w->TypeText = "s";
  y.LastType = "s";
  return true;
}

bool IsAppendStatement(std::string_view name, const TExprCode* code) {
  if (name.empty() || IsDelimiter(name[0]) || IsDigitChar(name[0]) || name[0] == '@') return false;
  if (FindCharAligned(name, '#') != std::string::npos) return false;
  return IsAppendTo(code, name);
}

namespace {

// The type of a value holding a dictionary's items.
bool IsItemsType(const std::string& type) {
  return type.size() == 2 && type[0] == 'h' && type[1] == 's';
}

}  // namespace

bool AppendToVariable(TYumeBase& y, const std::string& name, TNameRef* ref,
                      std::string_view valueText, const TExprCode& code) {
  const auto find = [&] {
    return ref ? y.Dict.FindRemembered(name, *ref) : y.Dict.FindScoped(name, false);
  };
  THashNode* w = find();
  // The word the whole would read first must be the one it stores to.
  if (!w || w->Kind != wkVariable || w->Reserved || IsItemsType(w->TypeText) || w->Pinned() ||
      AppendHead(y, code) != w)
    return false;
  TValuePin pin;
  w->Pin(&pin);
  std::string value;
  bool whole = false;
  try {
    whole = EvaluateAppended(y, valueText, code, value,
                             [&] { return pin.Saved ? pin.Old : w->ValueText(); });
  } catch (...) {
    if (!pin.Saved) w->Pin(nullptr);
    throw;
  }
  if (!pin.Saved) w->Pin(nullptr);
  if (!whole && !pin.Saved && find() == w && w->Kind == wkVariable && !w->Reserved &&
      !IsItemsType(w->TypeText)) {
    w->MutableValue() += value;
    w->SetTypeText("s");
    y.LastType = "s";
    return true;
  }
  // X was written (or its name came to mean another word) while the terms were worked out: the
  // whole value, from X's value before, stored as AssignValue stores it.
  TWorked worked;
  if (whole) {
    worked.Text = std::move(value);
  } else {
    worked.Text = pin.Saved ? std::move(pin.Old) : w->ValueText();
    worked.Text += value;
    y.LastType = "s";
  }
  StoreNamed(y, name, std::move(worked), ref);
  return true;
}

void AssignStatement(TYumeBase& y, const std::string& name, std::string_view text, size_t& pos) {
  SkipSeparators(text, pos);
  // The value is read first, so that a refused assignment skips its whole statement.
  std::string valueText = ReadStatementRest(y, text, pos);
  y.Cur = text.data() + pos;
  AssignValue(y, name, valueText);
}

void AssignValue(TYumeBase& y, const std::string& name, std::string_view valueText, TNameRef* ref,
                 const TExprCode* code) {
  if (!y.Args.Empty()) {
    ItemAssignment(y, name, valueText);
    return;
  }
  if (!name.empty() && (name[0] == '"' || name[0] == '`' || name[0] == '@')) {
    SyntaxRefused(y, name, false);
  }
  if (!name.empty() && name[0] >= '0' && name[0] <= '9') SyntaxRefused(y, name, true);
  if (y.Plans && IsAppendStatement(name, code)) {
    if (AppendToVariable(y, name, ref, valueText, *code)) return;
  } else if (AppendInPlace(y, name, TrimBlanks(valueText))) {
    return;
  }

  TWorked worked = Evaluate(y, valueText, code);

  std::string_view base, ix, jx;
  bool hasJ = false;
  if (SplitElement(name, base, ix, jx, hasJ)) {
    const std::string iText = EvaluateText(y, ix);
    if (IsWholeNumber(iText)) {
      std::string value = std::move(worked.AsText());
      const int i = IndexValue(iText);
      int j = -1;
      if (hasJ) {
        const std::string jText = EvaluateText(y, jx);
        // A second index that is no whole number counts as absent.
        if (IsWholeNumber(jText))
          j = IndexValue(jText);
        else
          hasJ = false;
      }
      THashNode* w = y.Dict.FindScoped(base, false);
      if (!w) {
        y.Dict.Add(THashNode::MakeVariable(std::string(base), false, -1, ""));
        w = y.Dict.FindScoped(base, false);
      }
      if (w->Reserved) RaiseReadOnly(y, w->Name);
      if (i < 0 || (hasJ && j < 0)) return;  // a negative index does nothing
      if (hasJ) {
        w->SetCell(i, j, std::move(value));
      } else {
        w->SetRow(i, value);
      }
      return;
    }
    // The first index is no whole number: the whole phrase names a variable.
  }
  StoreNamed(y, name, std::move(worked), ref);
}

bool PlainAssignment(std::string_view name, std::string_view valueText) {
  if (name.empty() || name[0] == '"' || name[0] == '`' || name[0] == '@' || IsDigitChar(name[0]))
    return false;
  if (FindCharAligned(name, '#') != std::string_view::npos) return false;
  // Only "name & ..." may be appended in place (see AppendInPlace).
  const std::string_view v = TrimBlanks(valueText);
  if (v.substr(0, name.size()) != name) return true;
  size_t p = name.size();
  SkipSeparators(v, p);
  return CharAt(v, p) != '&' || CharAt(v, p + 1) == '&';
}

void StoreNumber(TYumeBase& y, const std::string& name, long double number, TNameRef& ref) {
  TWorked worked;
  worked.Number = number;
  worked.IsNumber = true;
  y.LastType = "e";
  StoreNamed(y, name, std::move(worked), &ref);
}

void AssignPlain(TYumeBase& y, const std::string& name, std::string_view valueText, TNameRef& ref,
                 const TExprCode* code) {
  if (!y.Args.Empty()) {
    ItemAssignment(y, name, valueText);
    return;
  }
  // "A は、B" with B a plain variable holding text: copied into A's own storage (no new block
  // per statement), with the type reading B gives and storing it keeps.
  if (const THashNode* src = SoleTextVariable(y, code)) {
    THashNode* w = y.Dict.FindRemembered(name, ref);
    if (w && w != src && w->Kind == wkVariable && !w->Reserved) {
      const std::string& text = src->ValueText();
      if (!src->TypeText.empty())
        y.LastType = src->TypeText;
      else
        y.LastType = !text.empty() && (text[0] == '$' || IsDigitChar(text[0])) ? "e" : "s";
      const std::string_view type = y.LastType.View();
      if (type != "hs") {
        w->SetValueText(std::string_view(text));
        w->SetTypeText(type);
        return;
      }
    }
  }
  StoreNamed(y, name, EvaluateKept(y, valueText, code), &ref);
}

namespace {

// The value (just worked out, its type in y.LastType) stored under the whole name.
void StoreNamed(TYumeBase& y, const std::string& target, TWorked&& worked, TNameRef* ref) {
  const std::string_view type = y.LastType.empty() ? std::string_view("s") : y.LastType.View();
  THashNode* w = ref ? y.Dict.FindRemembered(target, *ref) : y.Dict.FindScoped(target, false);
  if (!w) {
    auto v = THashNode::MakeVariable(target, false, y.WordLevel(), "");
    w = v.get();
    y.Dict.Add(std::move(v));
  }
  switch (w->Kind) {
    case wkCommand:
      if (FoldName(w->Name) == FoldName("作業フォルダ")) {
        y.Args.Push(QuoteBackquote(worked.AsText()));
        ParticleFreeScope pf(y);
        CallCommand(y, *w);
        return;
      }
      RaiseError(y, "\"%s\"は\"%s\"で予約語なので代入できません。", {w->Name, "システム命令"});
    case wkVariable:
      if (w->Reserved) RaiseReadOnly(y, w->Name);
      if (worked.IsNumber && type != "hs") {
        // What storing its text with its type would do, without writing it out.
        w->SetNumberValue(worked.Number);
        w->SetTypeText(type);
        return;
      }
      StoreValue(*w, std::move(worked.Text), type);
      return;
    case wkDictionary:
      StoreValue(*w, std::move(worked.AsText()), type);
      return;
    case wkPart:
      if (!y.PartWrite) RaiseNotBuilt(y, "部品\"" + w->Name + "\"への代入");
      y.PartWrite(y, *w, {}, worked.AsText());
      return;
    default:
      RaiseBadSyntax(y, w->Name, "代入出来ません。");
  }
}

}  // namespace

}  // namespace yume
