// The built-in vocabulary: the family tables, the handler table and its checks, the words
// RegisterAll enters, the run-start constants and the vocabulary listing.
#include "core/registry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

#include "commands/families.h"
#include "core/error.h"
#include "core/hash.h"
#include "core/partprops.h"
#include "core/sjis.h"
#include "core/yumebase.h"
#include "platform/paths.h"
#include "platform/sysfolders.h"

using namespace yume;

namespace {

std::vector<const CommandDef*> AllCommands() {
  std::vector<const CommandDef*> out;
  for (const TFamily* f : Families())
    for (const CommandDef& c : f->Commands) out.push_back(&c);
  return out;
}

std::vector<const VariableDef*> AllVariables() {
  std::vector<const VariableDef*> out;
  for (const TFamily* f : Families())
    for (const VariableDef& v : f->Variables) out.push_back(&v);
  return out;
}

struct Registered {
  TYumeBase y;
  Registered() {
    y.Params = {"/opt/yume/yume", "/home/u/prog/a.ymr", "x", "y z"};
    y.ProgramFolder = "/home/u/prog/";
    RegisterAll(y);
  }
  THashNode* Word(const std::string& name, bool fold = false) { return y.Dict.Find(name, fold); }
  std::string Value(const std::string& name) {
    THashNode* w = Word(name);
    return w ? w->ValueText() : "<none>";
  }
};

std::string ErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "<no error>";
}

}  // namespace

// ---- the tables themselves ----

TEST(RegistryTables, CountsOfNamesNumbersAndVariables) {
  auto commands = AllCommands();
  EXPECT_EQ(commands.size(), 607u);
  std::set<int> numbers;
  for (const CommandDef* c : commands) numbers.insert(c->Number);
  EXPECT_EQ(numbers.size(), 575u);
  EXPECT_EQ(*numbers.rbegin(), 589);

  auto variables = AllVariables();
  EXPECT_EQ(variables.size(), 140u);
  int constants = 0, computed = 0;
  for (const VariableDef* v : variables) {
    constants += v->Constant;
    computed += v->Value == nullptr;
  }
  EXPECT_EQ(constants, 70);
  EXPECT_EQ(computed, 32);
  EXPECT_EQ(kComputedFamily.Variables.size(), 32u);
  // Every family with fixed variables registers them, and only those.
  size_t fixed = 0;
  for (const TFamily* f : VariableFamilies()) fixed += f->Variables.size();
  EXPECT_EQ(fixed, 108u);
}

TEST(RegistryTables, NamesAreUniqueAfterFoldingAndNumbersInRange) {
  std::set<std::string> names;
  for (const CommandDef* c : AllCommands()) {
    EXPECT_TRUE(names.insert(FoldName(c->Name)).second) << c->Name;
    EXPECT_GE(c->Number, 0);
    EXPECT_LT(c->Number, kHandlerCount);
  }
  std::set<int> numbers;
  for (const VariableDef* v : AllVariables()) {
    EXPECT_TRUE(names.insert(v->Name).second) << v->Name;
    EXPECT_TRUE(numbers.insert(v->Number).second) << v->Name;
    EXPECT_GE(v->Number, 0);
    EXPECT_LE(v->Number, 255);
  }
}

TEST(RegistryTables, PatternsKeptAsWritten) {
  std::map<std::string, std::string> pattern;
  for (const CommandDef* c : AllCommands()) pattern[c->Name] = c->Pattern;
  EXPECT_EQ(pattern["ファイル合成"], "?を, ?へ");
  EXPECT_EQ(pattern["フォームの位置記録"], "へ");
  EXPECT_EQ(pattern["タイマー設定"], "?秒後に,?へ飛ぶ");
  EXPECT_EQ(pattern["LEN"], "?");
  EXPECT_EQ(pattern["文字数"], "?の");
  EXPECT_EQ(pattern["作業ディレクトリ"], "");
  EXPECT_EQ(pattern["作業フォルダ"], "?へ");
}

TEST(RegistryTables, SpecialFolderCommandRegisteredOnce) {
  int seen = 0;
  for (const CommandDef* c : AllCommands()) seen += std::string(c->Name) == "特殊フォルダ取得";
  EXPECT_EQ(seen, 1);
}

// Each entry against the vocabulary list kept with the tests (tests/data/vocabulary.tsv,
// UTF-8, tab-separated); YUME_VOCABULARY names another copy.
TEST(RegistryTables, MatchTheVocabularyList) {
  const char* env = std::getenv("YUME_VOCABULARY");
  std::string path = env ? env : YUME_VOCABULARY_FILE;
  std::ifstream in(path);
  // The list is part of the tree: a missing one is a fault, not a reason to check nothing.
  ASSERT_TRUE(in) << "cannot read the vocabulary list at " << path;

  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);
  ASSERT_EQ(line, "kind\tname\tpattern\tnumber\tinitial\treadonly\ttype") << path;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, '\t')) f.push_back(Utf8ToCp932(field));
    f.resize(7);
    rows.push_back(f);
  }

  auto commands = AllCommands();
  size_t ci = 0;
  std::map<std::string, const VariableDef*> variables;
  for (const VariableDef* v : AllVariables()) variables[v->Name] = v;
  size_t nvars = 0;
  for (const auto& r : rows) {
    if (r[0] == "command") {
      // Same names, patterns and numbers in the same order.
      ASSERT_LT(ci, commands.size());
      const CommandDef* c = commands[ci++];
      EXPECT_EQ(c->Name, r[1]);
      EXPECT_EQ(c->Pattern, r[2]) << r[1];
      EXPECT_EQ(c->Number, std::stoi(r[3])) << r[1];
      continue;
    }
    ++nvars;
    auto it = variables.find(r[1]);
    ASSERT_NE(it, variables.end()) << r[1];
    const VariableDef* v = it->second;
    EXPECT_EQ(v->Constant, r[0] == "constant") << r[1];
    EXPECT_EQ(v->ReadOnly, r[5] == "yes") << r[1];
    EXPECT_EQ(v->Type, r[6]) << r[1];
    if (!r[3].empty()) {
      EXPECT_EQ(v->Number, std::stoi(r[3])) << r[1];
    }
    std::string initial = r[4] == "\\r\\n" ? "\r\n" : r[4];
    if (v->Value) {
      EXPECT_EQ(v->Value, initial) << r[1];
    } else if (initial != "(computed at run start)") {
      // A fixed value listed among the run-start constants: compare what gets registered.
      Registered reg;
      EXPECT_EQ(reg.Value(v->Name), initial) << r[1];
    }
  }
  EXPECT_EQ(ci, commands.size());
  EXPECT_EQ(nvars, variables.size());
}

// ---- the handler table ----

TEST(HandlerTable, RealFamiliesPassTheChecks) {
  EXPECT_NO_THROW(BuildHandlerTable(Families()));
}

TEST(HandlerTable, EmptyAndSharedSlots) {
  const THandlerTable& t = Handlers();
  for (int n : {19, 20, 200, 43, 199, 201, 204, 205, 316, 447, 480}) {
    EXPECT_EQ(t[n], &EmptyHandler) << n;
    EXPECT_TRUE(HandlerBuilt(n)) << n;
  }
  EXPECT_EQ(t[202], t[37]);
  EXPECT_EQ(t[203], t[38]);
  EXPECT_FALSE(HandlerBuilt(-1));
  EXPECT_FALSE(HandlerBuilt(601));
}

TEST(HandlerTable, UnboundSlotsAreOnlyTheFreeOnesAndUnbuiltCommands) {
  const THandlerTable& t = Handlers();
  std::set<int> named, unbuiltNamed;
  for (const CommandDef* c : AllCommands()) {
    named.insert(c->Number);
    // A name leads to an empty slot only while its handler is not built.
    if (!t[c->Number]) {
      EXPECT_EQ(c->Handler, nullptr) << c->Name;
      unbuiltNamed.insert(c->Number);
    }
  }
  std::set<int> free = {177, 289, 386, 387, 388};
  for (int n = 590; n <= 600; ++n) free.insert(n);
  for (int n : free) {
    EXPECT_EQ(t[n], nullptr) << n;
    EXPECT_EQ(named.count(n), 0u) << n;
  }
  // 0-589 are all reached: by a name, or as one of the ten unnamed numbers.
  int reached = 0;
  for (int n = 0; n < 590; ++n) {
    bool unnamed = n == 43 || n == 199 || n == 201 || n == 202 || n == 203 || n == 204 ||
                   n == 205 || n == 316 || n == 447 || n == 480;
    if (named.count(n) || unnamed) ++reached;
    if (!t[n]) {
      EXPECT_TRUE(unbuiltNamed.count(n) || n == 202 || n == 203 || free.count(n)) << n;
    }
  }
  EXPECT_EQ(reached, 585);
}

namespace {

void HandlerA(TYumeBase&, TArgs&) {}
void HandlerB(TYumeBase&, TArgs&) {}

std::string BuildError(std::initializer_list<CommandDef> commands,
                       std::initializer_list<VariableDef> variables = {}) {
  std::vector<CommandDef> c(commands);
  std::vector<VariableDef> v(variables);
  TFamily family{"試験", c, v};
  const TFamily* list[] = {&family};
  return ErrorText([&] { BuildHandlerTable(list); });
}

}  // namespace

TEST(HandlerTable, FaultyFamiliesAreRefused) {
  // A good one passes, and binds the unnamed numbers.
  std::vector<CommandDef> good = {{"試す", "?を", 37, HandlerA},
                                  {"試験する", "", 19, EmptyHandler}};
  TFamily family{"試験", good, {}};
  const TFamily* list[] = {&family};
  THandlerTable t = BuildHandlerTable(list);
  EXPECT_EQ(t[37], &HandlerA);
  EXPECT_EQ(t[202], &HandlerA);
  EXPECT_EQ(t[203], nullptr);
  EXPECT_EQ(t[43], &EmptyHandler);

  EXPECT_NE(
      BuildError({{"試す", "", 1, nullptr}, {"試す", "?を", 2, nullptr}}).find("\"試\"が二度"),
      std::string::npos);
  // The same name once folded.
  EXPECT_NE(BuildError({{"繰り返す", "", 1, nullptr}, {"繰返す", "", 2, nullptr}}).find("\"繰返\""),
            std::string::npos);
  // A variable clashing with a command, and with the mothership.
  EXPECT_NE(BuildError({{"試す", "", 1, nullptr}}, {{"試", "", "", 0, false, false}}).find("二度"),
            std::string::npos);
  EXPECT_NE(BuildError({}, {{"母艦", "", "", 0, false, false}}).find("二度"), std::string::npos);
  EXPECT_NE(BuildError({{"試す", "", 601, nullptr}}).find("601"), std::string::npos);
  EXPECT_NE(BuildError({{"試す", "", -1, nullptr}}).find("-1"), std::string::npos);
  EXPECT_NE(BuildError({{"試す", "", 5, HandlerA}, {"験す", "", 5, HandlerB}}).find("命令番号5"),
            std::string::npos);
  // An unnamed number already bound to a handler of its own.
  EXPECT_NE(BuildError({{"試す", "", 43, HandlerA}}).find("命令番号43"), std::string::npos);
  EXPECT_NE(BuildError({}, {{"甲", "", "", 256, false, false}}).find("256"), std::string::npos);
  EXPECT_NE(BuildError({}, {{"甲", "", "", 7, false, false}, {"乙", "", "", 7, false, false}})
                .find("管理番号7"),
            std::string::npos);
  // The same handler under two names of one number is an alias, not a fault.
  EXPECT_EQ(BuildError({{"試す", "", 5, HandlerA}, {"験す", "", 5, HandlerA}}), "<no error>");
}

TEST(HandlerTable, CallHandlerReportsWhatIsNotThere) {
  Registered reg;
  TYumeBase& y = reg.y;
  y.FileName = "t.ymr";
  THashNode word;
  word.Name = "無い命令";
  // Numbers outside the table are range errors.
  EXPECT_THROW(CallHandler(y, 601, word, 0), std::out_of_range);
  EXPECT_THROW(CallHandler(y, -1, word, 0), std::out_of_range);
  // A slot nothing is bound to.
  EXPECT_NE(ErrorText([&] {
              CallHandler(y, 177, word, 0);
            }).find("\"無い命令\"命令は、まだ作られていません。"),
            std::string::npos);
  // The empty handler does nothing.
  EXPECT_NO_THROW(CallHandler(y, 19, *reg.Word("ならば"), 0));

  // A registered command not built yet: the message names it as written, not folded.
  const CommandDef* unbuilt = nullptr;
  for (const CommandDef* c : AllCommands()) {
    if (!HandlerBuilt(c->Number) && FoldName(c->Name) != c->Name) {
      unbuilt = c;
      break;
    }
  }
  if (!unbuilt) GTEST_SKIP() << "every command is built";
  THashNode* w = reg.Word(unbuilt->Name, true);
  ASSERT_NE(w, nullptr);
  std::string text = ErrorText([&] { CallHandler(y, w->Tag, *w, 0); });
  EXPECT_NE(text.find(std::string("\"") + unbuilt->Name + "\"命令は、まだ作られていません。"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[エラー] t.ymr"), std::string::npos) << text;
}

// ---- what RegisterAll enters ----

TEST(RegisterAll, CommandsAreFoundWithOrWithoutOkurigana) {
  Registered reg;
  for (const char* name : {"繰り返す", "繰返す", "繰返"}) {
    THashNode* w = reg.Word(name, true);
    ASSERT_NE(w, nullptr) << name;
    EXPECT_EQ(w->Tag, 56);
    EXPECT_EQ(w->Kind, wkCommand);
    EXPECT_TRUE(w->Reserved);
    EXPECT_EQ(w->Pattern, "?を,?から,?まで");
  }
  // Stored folded: the name as written is not a key of its own.
  EXPECT_EQ(reg.Word("繰り返す", false), nullptr);
  THashNode* len = reg.Word("LEN", true);
  THashNode* count = reg.Word("文字数", true);
  ASSERT_TRUE(len && count);
  EXPECT_NE(len, count);
  EXPECT_EQ(len->Tag, 92);
  EXPECT_EQ(count->Tag, 92);
  EXPECT_EQ(len->Pattern, "?");
  EXPECT_EQ(count->Pattern, "?の");
}

TEST(RegisterAll, VariablesCarryTheirKindLevelAndType) {
  Registered reg;
  for (const VariableDef* v : AllVariables()) {
    THashNode* w = reg.Word(v->Name);
    ASSERT_NE(w, nullptr) << v->Name;
    EXPECT_EQ(w->Kind, wkVariable) << v->Name;
    EXPECT_EQ(w->Tag, -1) << v->Name;
    EXPECT_EQ(w->Reserved, v->ReadOnly) << v->Name;
    EXPECT_EQ(w->TypeText, v->Type) << v->Name;
  }
  EXPECT_TRUE(reg.Word("回数")->Reserved);
  EXPECT_FALSE(reg.Word("文字色")->Reserved);
  THashNode* so = reg.Word("そ");
  EXPECT_EQ(so->ValueText(), "");
  EXPECT_EQ(so->TypeText, "");
  EXPECT_FALSE(so->Reserved);
  EXPECT_EQ(so->Tag, -1);
  EXPECT_EQ(reg.Value("改行"), "\r\n");
  EXPECT_EQ(reg.Value("文字書体"), "ＭＳ ゴシック");
  EXPECT_EQ(reg.Value("禁則処理の行頭禁止文字").substr(0, 4), "、。");
}

TEST(RegisterAll, ReferencesAndTheMothership) {
  Registered reg;
  TYumeBase& y = reg.y;
  EXPECT_EQ(y.VarSore, reg.Word("それ"));
  EXPECT_EQ(y.VarSo, reg.Word("そ"));
  EXPECT_EQ(y.VarCount, reg.Word("回数"));
  EXPECT_EQ(y.VarErrorLine, reg.Word("エラー行"));
  EXPECT_EQ(y.VarCannotClose, reg.Word("終了不可能"));
  EXPECT_EQ(y.WordSoshite, reg.Word("そして"));
  EXPECT_EQ(y.VarEventObject, reg.Word("イベントオブジェクト"));
  EXPECT_EQ(y.VarFieldNames, reg.Word("表フィールド名"));
  ASSERT_NE(y.WordChigaeba, nullptr);
  EXPECT_EQ(y.WordChigaeba->Name, "違");
  EXPECT_EQ(y.WordChigaeba->Tag, 20);
  EXPECT_EQ(y.WordDenakereba->Tag, 20);
  EXPECT_EQ(y.WordNara->Tag, 200);
  EXPECT_EQ(y.WordNaraba->Tag, 19);
  EXPECT_EQ(y.WordMoshi->Tag, 102);

  THashNode* ship = reg.Word("母艦");
  ASSERT_NE(ship, nullptr);
  EXPECT_EQ(ship->Kind, wkPart);
  EXPECT_TRUE(ship->Reserved);
  EXPECT_EQ(ship->TypeText, "メインフォーム");
  EXPECT_EQ(ship->Tag, 0);
  TObjNode* part = y.Objs.Find("母艦");
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->Kind, 7);
  EXPECT_EQ(part->Tag, 0);
}

TEST(RegisterAll, RunsAgainAtTheNextStart) {
  Registered reg;
  TYumeBase& y = reg.y;
  int words = y.Dict.Count();
  EXPECT_EQ(words, 607 + 140 + 1);
  y.Dict.Add(THashNode::MakeVariable("利用者", false, 0, "1"));
  ASSERT_NO_THROW(RegisterAll(y));
  EXPECT_EQ(y.Dict.Count(), words);
  EXPECT_EQ(y.Dict.Find("利用者", false), nullptr);
  EXPECT_EQ(y.Objs.Count(), 1u);
  EXPECT_EQ(y.Objs.IndexOf("母艦"), 0);  // the host's window is part 0 still
  EXPECT_EQ(y.VarSore, y.Dict.Find("それ", false));
}

TEST(RegisterAll, ManagementNumbersAreCheckedAtRegistration) {
  Registered reg;
  TYumeBase& y = reg.y;
  y.FileName = "t.ymr";
  std::string text = ErrorText([&] { RegisterVariable(y, {"試験変数", "", "", 2, false, false}); });
  EXPECT_NE(text.find("試験変数は既に使われている管理番号2が指定されてます。"), std::string::npos)
      << text;
  EXPECT_EQ(y.Dict.Find("試験変数", false), nullptr);
  EXPECT_THROW(RegisterVariable(y, {"試験変数", "", "", 256, false, false}), std::out_of_range);
  EXPECT_THROW(RegisterVariable(y, {"試験変数", "", "", -1, false, false}), std::out_of_range);
  THashNode* w = RegisterVariable(y, {"試験変数", "3", "e", 255, true, false});
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->Reserved);
  EXPECT_EQ(w->ValueText(), "3");
  // A reserved word's name cannot be taken again.
  EXPECT_NE(ErrorText([&] {
              RegisterVariable(y, {"回数", "", "", 254, false, false});
            }).find("予約語"),
            std::string::npos);
}

TEST(RegisterAll, RunStartConstants) {
  Registered reg;
  TYumeBase& y = reg.y;
  EXPECT_EQ(reg.Value("コマンドライン引数"), "/home/u/prog/a.ymr\r\nx\r\ny z");
  EXPECT_EQ(reg.Value("母艦のパス"), "/home/u/prog/");
  EXPECT_EQ(reg.Value("ランタイムのパス"), "/opt/yume/");
  EXPECT_EQ(reg.Value("TEMPのパス"), TempFolder());
  EXPECT_EQ(reg.Value("WINDOWSのパス"), "/usr/share/");
  EXPECT_EQ(reg.Value("SYSTEMのパス"), "/usr/bin/");
  EXPECT_EQ(reg.Value("OS").substr(0, 6), "Linux ");
  EXPECT_EQ(reg.Value("ゆめもりバージョン"), "1.84o2");
  EXPECT_EQ(reg.Value("デスクトップの幅"), "1024");
  EXPECT_EQ(reg.Value("デスクトップの高さ"), "768");
  EXPECT_EQ(reg.Word("デスクトップの幅")->TypeText, "e");
  // Classic menu grey 212,208,200 with red in the low byte.
  EXPECT_EQ(reg.Value("ウィンドウ色"), std::to_string(212 + 208 * 256 + 200 * 65536));
  EXPECT_EQ(reg.Value("ウインドウ色"), reg.Value("ウィンドウ色"));
  EXPECT_EQ(reg.Value("背景色"), reg.Value("デスクトップ色"));
  EXPECT_EQ(reg.Value("デスクトップ"), reg.Value("デスクトップのパス"));
  for (const VariableDef& v : kComputedFamily.Variables) {
    std::string name = v.Name;
    if (name.find("パス") != std::string::npos || name == "デスクトップ" ||
        name == "マイドキュメント") {
      EXPECT_EQ(reg.Value(name).back(), '/') << name;
    }
  }

  // The default start file: the list starts with the runtime itself.
  y.DefaultStart = true;
  y.DesktopWidth = 1920;
  RegisterAll(y);
  EXPECT_EQ(reg.Value("コマンドライン引数"), "/opt/yume/yume\r\n/home/u/prog/a.ymr\r\nx\r\ny z");
  EXPECT_EQ(reg.Value("デスクトップの幅"), "1920");
  // A script from a -runtime file: from the parameter after it.
  y.DefaultStart = false;
  y.RuntimeGiven = true;
  y.Params = {"/opt/yume/yume", "-runtime", "p.exe", "arg"};
  RegisterAll(y);
  EXPECT_EQ(reg.Value("コマンドライン引数"), "p.exe\r\narg");
}

// ---- the well-known folders ----

namespace {

// Points HOME and XDG_CONFIG_HOME into a folder of the test's own for its lifetime.
class FakeHome {
 public:
  FakeHome() {
    root_ = std::filesystem::temp_directory_path() /
            ("yume_home_" + std::to_string(::getpid()) + "_" + std::to_string(++count_));
    std::filesystem::create_directories(root_ / ".config");
    Save("HOME", root_.string());
    Save("XDG_CONFIG_HOME", "");
    Save("XDG_DATA_HOME", "");
  }
  ~FakeHome() {
    for (auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  std::string Home() const { return root_.string(); }
  void UserDirs(const std::string& text) {
    std::ofstream(root_ / ".config/user-dirs.dirs") << text;
  }
  void MakeDir(const std::string& rel) { std::filesystem::create_directories(root_ / rel); }

 private:
  void Save(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value.empty()) {
      unsetenv(name.c_str());
    } else {
      setenv(name.c_str(), value.c_str(), 1);
    }
  }
  std::filesystem::path root_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  static inline int count_ = 0;
};

}  // namespace

TEST(SysFolders, UserDirsFileDefaultsAndUnknownNumbers) {
  FakeHome home;
  std::string h = home.Home();
  // The file is UTF-8, as the desktop writes it (the literals here are CP932).
  home.UserDirs(
      Cp932ToUtf8("# written by the desktop\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/文書\"\n"
                  "XDG_MUSIC_DIR=\"/srv/music\"\n"));
  EXPECT_EQ(HomeFolder(), h + "/");
  EXPECT_EQ(SpecialFolder(sfDesktopFolder), h + "/Schreibtisch/");
  // Folder names come back in CP932, like every path inside.
  EXPECT_EQ(SpecialFolder(sfDocuments), h + "/文書/");
  EXPECT_EQ(SpecialFolder(sfMusic), "/srv/music/");
  // Not in the file: the usual folder when it exists, else home itself.
  EXPECT_EQ(SpecialFolder(sfPictures), h + "/");
  home.MakeDir("Pictures");
  EXPECT_EQ(SpecialFolder(sfPictures), h + "/Pictures/");
  EXPECT_EQ(SpecialFolder(sfFonts), h + "/.local/share/fonts/");
  EXPECT_EQ(SpecialFolder(sfStartup), h + "/.config/autostart/");
  EXPECT_EQ(SpecialFolder(sfSystem), SystemFolder());
  EXPECT_EQ(SpecialFolder(999), "/");
}

TEST(SysFolders, DesktopWithoutUserDirsFile) {
  FakeHome home;
  EXPECT_EQ(SpecialFolder(sfDesktopFolder), home.Home() + "/Desktop/");
  EXPECT_EQ(SpecialFolder(sfDocuments), home.Home() + "/");
}

// ---- part properties ----

TEST(PartProperties, FoundWithOrWithoutOkurigana) {
  FoldPartProperties();
  std::set<std::string> folded;
  for (const char* name : kPartPropertyNames) {
    EXPECT_TRUE(folded.insert(FoldName(name)).second) << name;
  }
  EXPECT_EQ(FindPartProperty("X"), 0);
  EXPECT_EQ(FindPartProperty("高さ"), 3);
  EXPECT_EQ(FindPartProperty("高"), 3);
  EXPECT_EQ(FindPartProperty("クリックした時"), 16);
  EXPECT_EQ(FindPartProperty("クリック時"), 16);
  EXPECT_EQ(FindPartProperty("ファイルドロップ"), 32);
  EXPECT_EQ(FindPartProperty("ファイルドロップした時"), 48);
  EXPECT_EQ(FindPartProperty("W"), 50);
  EXPECT_EQ(FindPartProperty("開いた時"), 64);
  EXPECT_EQ(FindPartProperty("無い項目"), -1);
  EXPECT_EQ(FindPartProperty(""), -1);
}

// ---- the listing ----

TEST(Vocabulary, ListsEveryNameOnce) {
  std::string text = VocabularyText();
  std::set<std::string> lines;
  std::stringstream ss(text);
  std::string line;
  while (std::getline(ss, line)) EXPECT_TRUE(lines.insert(line).second) << line;
  EXPECT_EQ(lines.size(), 607u + 140u);
  for (const CommandDef* c : AllCommands()) {
    std::string want = "command\t" + FoldName(c->Name) + "\t" + c->Pattern + "\t" +
                       std::to_string(c->Number) + "\t" +
                       (!HandlerBuilt(c->Number)     ? "no"
                        : c->Built == TBuilt::Partly ? "partly"
                                                     : "yes");
    EXPECT_EQ(lines.count(want), 1u) << c->Name;
  }
  for (const VariableDef* v : AllVariables()) {
    std::string want = std::string(v->Constant ? "constant" : "variable") + "\t" + v->Name +
                       "\t\t" + std::to_string(v->Number);
    EXPECT_EQ(lines.count(want), 1u) << v->Name;
  }
  EXPECT_EQ(lines.count("command\t違\t\t20\tyes"), 1u);
  // A command built in part says so.
  EXPECT_EQ(lines.count("command\t_P\t?\t193\tpartly"), 1u);
}
