// Words and values: local variables, value types, copying and renaming words, listing
// variables and dictionary items, assignment.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include <memory>

#include "commands/families.h"
#include "core/cmdlib.h"
#include "core/control.h"
#include "core/convhalf.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

int Depth(TYumeBase& y) {
  return y.WordLevel();
}

// The word a treatment command names (as written), made in the global table when missing.
THashNode& TreatedWord(TYumeBase& y, TArgs& a, const char* fresh) {
  const std::string& name = a.Phrase(0);
  THashNode* w = y.Dict.FindScoped(name, false);
  if (!w) {
    auto v = THashNode::MakeVariable(name, false, Depth(y), fresh);
    w = v.get();
    y.Dict.Add(std::move(v));
  }
  if (w->Reserved) RaiseError(y, "部品\"%s\"は、既に存在するので、作成できません。", {name});
  return *w;
}

// The word an argument names as written; raises when there is none.
THashNode& ExistingWord(TYumeBase& y, TArgs& a, size_t slot) {
  THashNode* w = y.Dict.FindScoped(a.Phrase(slot), false);
  if (!w) RaiseError(y, msg::kWordNotMade, {a.Phrase(slot)});
  return *w;
}

// 入れる/代入 (?を,?に) 397 -- the target takes the source's value and type, not its kind.
void CmdPut(TYumeBase& y, TArgs& a) {
  THashNode& target = a.WordOrNew(1);
  THashNode& source = a.WordOrNew(0);
  if (target.Reserved) a.ReadOnlyError(target.Name);
  target.SetValueText(source.ValueText());
  target.TypeText = source.TypeText;
}

// Turns a dictionary back into a variable holding its pairs as text.
void DictionaryToText(THashNode& w) {
  if (w.Kind != wkDictionary) return;
  w.SetValueText(w.Items ? w.Items->PairsText() : std::string());
  w.Items.reset();
}

// 数値として扱う (?を) 194
void CmdAsNumber(TYumeBase& y, TArgs& a) {
  THashNode& w = TreatedWord(y, a, "0");
  DictionaryToText(w);
  w.Kind = wkVariable;
  w.TypeText = "e";
  if (w.ValueText().empty()) w.SetValueText("0");
}

// 文字列として扱う (?を) 195
void CmdAsText(TYumeBase& y, TArgs& a) {
  THashNode& w = TreatedWord(y, a, "");
  DictionaryToText(w);
  w.Kind = wkVariable;
  w.TypeText = "s";
}

// 辞書として扱う (?を) 213
void CmdAsDictionary(TYumeBase& y, TArgs& a) {
  THashNode& w = TreatedWord(y, a, "");
  if (w.Kind == wkVariable) {
    w.Items = std::make_shared<THash>();
    w.Items->LoadFromText(w.ValueText());
  } else if (w.Kind == wkDictionary) {
    if (!w.Items) w.Items = std::make_shared<THash>();
    w.SetValueText(std::string());
  } else {
    RaiseBadSyntax(y, w.Name, "変更できません！");
  }
  w.Kind = wkDictionary;
  w.TypeText = "hs";
}

// ハッシュキー列挙/辞書項目列挙 (?の) 211, 212
void CmdListKeys(TYumeBase& y, TArgs& a) {
  const THashNode& w = ExistingWord(y, a, 0);
  std::string out;
  if (w.Kind == wkDictionary) {
    if (w.Items)
      for (THashNode* item : w.Items->Nodes()) out += item->Name + "\r\n";
  } else {
    const std::string& v = w.ValueText();
    size_t pos = 0;
    while (pos < v.size()) {
      std::string_view line = NextLine(v, pos);
      size_t eq = line.find('=');
      out.append(eq == std::string_view::npos ? std::string_view() : line.substr(0, eq));
      out += "\r\n";
    }
  }
  SetSoreText(y, std::move(out));
}

// 単語コピー (?から,?へ) 294
void CmdCopyWord(TYumeBase& y, TArgs& a) {
  const std::string& to = a.Phrase(1);
  const THashNode& from = ExistingWord(y, a, 0);
  THashNode* b = y.Dict.FindScoped(to, false);
  if (!b) {
    auto v = THashNode::MakeVariable(to, false, Depth(y), "");
    b = v.get();
    y.Dict.Add(std::move(v));
  }
  b->Assign(from);
}

// ローカル変数 (?を) 518 -- new empty variables in the innermost local scope.
void CmdLocal(TYumeBase& y, TArgs& a) {
  std::string arg = a.TakePhrase(0);
  if (a.Omitted() || arg == "それ") RaiseError(y, "変数『それ』はローカル変数として使えません。");
  if (arg.empty() || (arg[0] != '"' && arg[0] != '`')) {
    AddLocalVariable(y, std::move(arg));
    return;
  }
  std::vector<std::string> names;
  {
    const std::string v = EvaluateText(y, arg);
    size_t pos = 0;
    while (pos < v.size()) {
      std::string_view line = TrimBlanks(NextLine(v, pos));
      if (!line.empty()) names.emplace_back(line);
    }
  }
  for (auto& n : names) y.Dict.AddLocal(THashNode::MakeVariable(n, false, Depth(y) - 1, ""));
}

// その単語に特定 (?を) 141 -- そ becomes a copy of the named word.
void CmdSpecify(TYumeBase& y, TArgs& a) {
  const std::string& name = a.Text(0);
  THashNode* w = y.Dict.FindScoped(name, false);
  if (!w) w = y.Dict.FindScoped(EvaluateText(y, name), false);
  if (!w) RaiseError(y, msg::kWordNotMade, {name});
  if (y.VarSo && y.VarSo != w) y.VarSo->Assign(*w);
}

// 名義変更 (?を,?に) 51 -- renames a command and gives it a new pattern: "?を ?に 新名".
void CmdRename(TYumeBase& y, TArgs& a) {
  std::string spec = a.Phrase(1);
  const std::string& name = a.Phrase(0);
  if (spec.size() >= 2 && spec.front() == '`' && spec.back() == '`')
    spec = spec.substr(1, spec.size() - 2);
  if (!spec.empty() && spec.back() == ';') spec.pop_back();
  spec = TConvToHalf::Instance().ConvertText(spec);
  THashNode* x = y.Dict.FindScoped(name, false);
  if (!x) a.ArgumentError("変更元の命令が未定義です。");
  std::vector<std::string> items;
  std::string cur;
  for (char c : spec) {
    // Blanks and commas are never second bytes.
    if (c == ' ' || c == ',') {
      if (!cur.empty()) items.push_back(std::move(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) items.push_back(std::move(cur));
  size_t slots = 0;
  for (char c : x->Pattern) slots += (c == '?');
  if (items.size() != slots + 1) a.ArgumentError();
  auto copy = std::make_unique<THashNode>();
  copy->Assign(*x);
  copy->Name = items.back();
  items.pop_back();
  std::string pattern;
  for (size_t i = 0; i < items.size(); ++i) pattern += (i ? "," : "") + items[i];
  copy->Pattern = pattern;
  const std::string oldName = x->Name;
  y.Dict.Delete(oldName, false);
  y.Dict.Add(std::move(copy));
}

// 変数名列挙 (?以上の) 393 -- variables and dictionaries of the global table from a level up.
void CmdListVariables(TYumeBase& y, TArgs& a) {
  const int level = a.Omitted() ? 0 : static_cast<int>(a.Number(0));
  std::string out;
  for (THashNode* w : y.Dict.Nodes()) {
    if ((w->Kind == wkVariable || w->Kind == wkDictionary) && !w->Reserved && w->Tag >= level) {
      out += w->Name + "\r\n";
    }
  }
  SetSoreText(y, std::move(out));
}

constexpr CommandDef kCommands[] = {
    {"ローカル変数", "?を", cmdno::kLocal, CmdLocal},
    {"数値として扱う", "?を", 194, CmdAsNumber},
    {"文字列として扱う", "?を", 195, CmdAsText},
    {"辞書として扱う", "?を", 213, CmdAsDictionary},
    {"単語コピー", "?から,?へ", 294, CmdCopyWord},
    {"名義変更", "?を,?に", 51, CmdRename},
    {"変数名列挙", "?以上の", 393, CmdListVariables},
    {"ハッシュキー列挙", "?の", 211, CmdListKeys},
    {"辞書項目列挙", "?の", 212, CmdListKeys},
    {"入れる", "?を,?に", 397, CmdPut},
    {"代入", "?を,?に", 397, CmdPut},
    {"その単語に特定", "?を", 141, CmdSpecify},
};

// そして only joins statements; it is a word so that it cannot be taken as a variable name.
constexpr VariableDef kStatementVariables[] = {
    {"そして", "", "", 0, false, false},
};

// The general constants, and それ and そ, which hold the results of commands.
constexpr VariableDef kConstants[] = {
    {"オン", "1", "e", 88, false, true},
    {"オフ", "0", "e", 89, false, true},
    {"はい", "1", "e", 90, false, true},
    {"いいえ", "0", "e", 91, false, true},
    {"キャンセル", "2", "e", 92, false, true},
    {"改行", "\r\n", "s", 93, false, true},
    {"それ", "", "", 94, false, false},
    {"そ", "", "", 95, false, false},
    {"赤色", "#FF0000", "s", 96, false, true},
    {"青色", "#0000FF", "s", 97, false, true},
    {"黒色", "#000000", "s", 98, false, true},
    {"白色", "#FFFFFF", "s", 99, false, true},
    {"黄色", "#FFFF00", "s", 100, false, true},
    {"緑色", "#00FF00", "s", 101, false, true},
    {"紫色", "#FF00FF", "s", 102, false, true},
    {"灰色", "#CCCCCC", "s", 103, false, true},
    {"水色", "#00FFFF", "s", 104, false, true},
    {"茶色", "#993300", "s", 105, false, true},
    {"オレンジ色", "#FF3300", "s", 106, false, true},
    {"肌色", "#FFCC99", "s", 107, false, true},
};
}  // namespace

const TFamily kWordFamily{"単語と値", kCommands, {}};
const TFamily kStatementFamily{"文の言葉", {}, kStatementVariables};
const TFamily kConstantFamily{"定数", {}, kConstants};

}  // namespace yume
