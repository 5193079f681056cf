#include "core/hash.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "core/error.h"

using namespace yume;

namespace {
std::unique_ptr<THashNode> Var(const std::string& name, const std::string& value = "",
                               bool reserved = false) {
  return THashNode::MakeVariable(name, reserved, 0, value);
}
std::unique_ptr<THashNode> Command(const std::string& name) {
  auto w = std::make_unique<THashNode>();
  w->Name = FoldName(name);
  w->Kind = wkCommand;
  w->Reserved = true;
  return w;
}
}  // namespace

TEST(Fold, DropsOkuriganaAfterKanji) {
  EXPECT_EQ(FoldName("繰り返す"), "繰返");
  EXPECT_EQ(FoldName("数値として扱う"), "数値扱");
  EXPECT_EQ(FoldName("取り込む"), "取込");
  EXPECT_EQ(FoldName("おわり"), "おわり");
  EXPECT_EQ(FoldName("ループ"), "ループ");
  EXPECT_EQ(FoldName("ABCあい"), "ABCあい");  // single bytes do not set the flag
  EXPECT_EQ(FoldName("表ぁ"), "表ぁ");        // small ぁ (829F) is no hiragana here
  EXPECT_EQ(FoldName(""), "");
}

TEST(Hash, ReplacingKeepsTheCountAndThePlace) {
  THash h;
  EXPECT_EQ(h.Add(Var("x", "1")), 1);
  EXPECT_EQ(h.Add(Var("y", "2")), 2);
  EXPECT_EQ(h.Add(Var("x", "3")), 2);
  ASSERT_TRUE(h.Find("x", false));
  EXPECT_EQ(h.Find("x", false)->ValueText(), "3");
  EXPECT_EQ(h.Add(nullptr), -1);
}

TEST(Hash, ReservedWordsCannotBeReplaced) {
  THash h;
  h.Add(Command("表示"));
  try {
    h.Add(Var("表示", "x"));
    FAIL() << "no error";
  } catch (const EYume& e) {
    EXPECT_STREQ(e.what(), "\"表示\"は予約語なので、登録できません。");
  }
  EXPECT_EQ(h.Count(), 1);
  EXPECT_EQ(h.Find("表示", false)->Kind, wkCommand);
}

TEST(Hash, FoldedLookup) {
  THash h;
  h.Add(Command("繰り返す"));
  EXPECT_TRUE(h.Find("繰り返す", true));
  EXPECT_TRUE(h.Find("繰返す", true));
  EXPECT_TRUE(h.Find("繰返", true));
  EXPECT_FALSE(h.Find("繰り返す", false));
  EXPECT_FALSE(h.Find("", true));
  // Folded first, then as written.
  h.Add(Var("読みかた"));
  EXPECT_EQ(h.Find("読みかた", true), h.Find("読みかた", false));
}

TEST(Hash, NodesFollowBucketsThenInsertionOrder) {
  THash h;
  // "b" (98) and "a\x01" (97+1) share bucket 98; "a" (97) comes first.
  h.Add(Var("b"));
  h.Add(Var("a\x01"));
  h.Add(Var("a"));
  auto nodes = h.Nodes();
  ASSERT_EQ(nodes.size(), 3u);
  EXPECT_EQ(nodes[0]->Name, "a");
  EXPECT_EQ(nodes[1]->Name, "b");
  EXPECT_EQ(nodes[2]->Name, "a\x01");
  EXPECT_NE(h.Find("b", false), h.Find("a\x01", false));
  EXPECT_EQ(THash::Bucket("\xFF\x01"), 0u);
}

TEST(Hash, KeysAndPairsText) {
  THash h;
  EXPECT_EQ(h.KeysText(), "");
  h.Add(Var("one", "1"));
  EXPECT_EQ(h.KeysText(), "one");
  h.Add(Var("two", "2"));
  EXPECT_EQ(h.KeysText(), "one\r\ntwo");
  EXPECT_EQ(h.PairsText(), "one=1\r\ntwo=2");
}

TEST(Hash, LoadFromTextJoinsContinuationLines) {
  THash h;
  h.LoadFromText("a=1\r\nb=2\r\n3\r\nc=x=y");
  EXPECT_EQ(h.Count(), 3);
  EXPECT_EQ(h.ValueText("a", false), "1");
  EXPECT_EQ(h.ValueText("b", false), "2\r\n3");
  EXPECT_EQ(h.ValueText("c", false), "x=y");
  EXPECT_EQ(h.Find("a", false)->Tag, 0);
  // A repeated key replaces the earlier one.
  h.LoadFromText("a=9");
  EXPECT_EQ(h.ValueText("a", false), "9");
}

TEST(Hash, DeleteFoldedThenAsWritten) {
  THash h;
  h.Add(Var("繰返", "folded"));
  h.Add(Var("繰り返す", "written"));
  EXPECT_EQ(h.Delete("繰り返す", true), 0);
  EXPECT_EQ(h.Delete("繰り返す", true), -1);
  h.Add(Var("x"));
  EXPECT_EQ(h.Delete("x", false), 0);
  EXPECT_FALSE(h.Find("x", false));
}

TEST(Hash, GenerationChangesWithTheWords) {
  THash h;
  uint64_t g = DictGeneration();
  h.Add(Var("g"));
  EXPECT_NE(DictGeneration(), g);
  g = DictGeneration();
  EXPECT_FALSE(h.Find("g", false) == nullptr);
  EXPECT_EQ(DictGeneration(), g);
  h.Delete("g", false);
  EXPECT_NE(DictGeneration(), g);
}

TEST(HashNode, AssignInferTypeAndSharedItems) {
  auto a = Var("a", "12");
  a->InferType();
  EXPECT_EQ(a->TypeText, "e");
  a->SetValueText("$1F");
  a->InferType();
  EXPECT_EQ(a->TypeText, "e");
  a->SetValueText("x1");
  a->InferType();
  EXPECT_EQ(a->TypeText, "s");
  a->SetValueText("");
  a->InferType();
  EXPECT_EQ(a->TypeText, "");

  auto d = Var("d", "v");
  d->Kind = wkDictionary;
  d->Items = std::make_shared<THash>();
  d->Items->Add(Var("k", "1"));
  auto copy = Var("copy");
  copy->Assign(*d);
  EXPECT_EQ(copy->Name, "copy");
  EXPECT_EQ(copy->ValueText(), "v");
  EXPECT_EQ(copy->Kind, wkDictionary);
  EXPECT_EQ(copy->Items, d->Items);
  d.reset();
  EXPECT_EQ(copy->Items->ValueText("k", false), "1");
}

TEST(HashYu, ScopesHideAndRelease) {
  THashYu h;
  h.Add(Var("v", "global"));
  h.AddLocal(Var("w", "no scope"));
  EXPECT_TRUE(h.Find("w", false));  // no scope open: global
  h.PushScope();
  h.AddLocal(Var("v", "local"));
  EXPECT_EQ(h.FindScoped("v", false)->ValueText(), "local");
  h.PushScope();
  EXPECT_EQ(h.FindScoped("v", false)->ValueText(), "local");
  h.PopScope();
  h.PopScope();
  EXPECT_EQ(h.FindScoped("v", false)->ValueText(), "global");
  h.PopScope();  // nothing to pop
  EXPECT_EQ(h.ScopeCount(), 0u);
}

TEST(HashYu, ReusedScopesStartEmptyAndFoldOncePerLookup) {
  THashYu h;
  h.Add(Command("繰り返す"));
  h.Add(Var("g", "global"));
  for (int round = 0; round < 3; ++round) {
    h.PushScope();
    // A closed scope's words never come back when its table is reused.
    EXPECT_EQ(h.FindScoped("x", false), nullptr);
    EXPECT_EQ(h.FindScoped("g", false)->ValueText(), "global");
    for (int i = 0; i < 20; ++i) h.AddLocal(Var("x" + std::to_string(i), "v"));
    h.AddLocal(Var("x", std::to_string(round)));
    h.PushScope();
    EXPECT_EQ(h.FindScoped("x", false)->ValueText(), std::to_string(round));
    // Folded lookups go through every scope down to the global table.
    ASSERT_NE(h.FindScoped("繰り返す", true), nullptr);
    EXPECT_EQ(h.FindScoped("繰り返す", true)->Kind, wkCommand);
    h.PopScope();
    h.PopScope();
  }
  EXPECT_EQ(h.FindScoped("x", false), nullptr);
}

// A closed scope's nodes stay parked at their places: the next scope at that depth making a
// local of the same name at the same place gets the node back, empty; another name there, or a
// name already in the scope, is a word of its own. Nothing parked is ever found.
TEST(HashYu, ParkedLocalsComeBackEmptyAndOnlyAtTheirPlace) {
  THashYu h;
  h.Add(Var("a", "global a"));
  h.PushScope();
  h.AddLocalVariable("a", 1);
  h.AddLocalVariable("b", 1);
  THashNode* a = h.FindScoped("a", false);
  a->SetValueText("first call");
  a->TypeText = "s";
  h.FindScoped("b", false)->Items = std::make_shared<THash>();
  h.PopScope();
  EXPECT_EQ(h.FindScoped("a", false)->ValueText(), "global a");
  EXPECT_EQ(h.FindScoped("b", false), nullptr);

  h.PushScope();
  h.AddLocalVariable("a", 2);
  THashNode* again = h.FindScoped("a", false);
  EXPECT_EQ(again, a);  // the same node, made a fresh variable
  EXPECT_EQ(again->ValueText(), "");
  EXPECT_EQ(again->TypeText, "");
  EXPECT_EQ(again->Tag, 2);
  // Another name where "b" was parked: a word of its own, and "b" stays out of reach.
  h.AddLocalVariable("x", 2);
  EXPECT_EQ(h.FindScoped("x", false)->Items, nullptr);
  EXPECT_EQ(h.FindScoped("b", false), nullptr);
  // A name the scope has already: replaced in place, still one word.
  h.FindScoped("a", false)->SetValueText("set");
  h.AddLocalVariable("a", 2);
  EXPECT_EQ(h.FindScoped("a", false)->ValueText(), "");
  h.PopScope();
  EXPECT_EQ(h.FindScoped("x", false), nullptr);
  EXPECT_EQ(h.FindScoped("a", false)->ValueText(), "global a");

  // Scopes opened one inside another each keep their own parked nodes.
  h.PushScope();
  h.AddLocalVariable("a", 1);
  h.FindScoped("a", false)->SetValueText("outer");
  h.PushScope();
  h.AddLocalVariable("a", 2);
  EXPECT_EQ(h.FindScoped("a", false)->ValueText(), "");
  h.PopScope();
  EXPECT_EQ(h.FindScoped("a", false)->ValueText(), "outer");
  h.PopScope();
}

TEST(HashYu, LocalFoldedNameHidesGlobal) {
  THashYu h;
  h.Add(Var("書く", "global"));
  h.PushScope();
  h.AddLocal(Var("書", "local folded"));
  EXPECT_EQ(h.FindScoped("書く", true)->ValueText(), "local folded");
  EXPECT_EQ(h.FindScoped("書く", false)->ValueText(), "global");
  h.PopScope();
}

TEST(HashYu, RememberedLookupFollowsEveryChange) {
  THashYu h;
  auto command = Command("書き出す");
  command->Reserved = false;  // so that a variable may replace it below
  h.Add(std::move(command));
  TNameRef ref;
  ref.Prepare("書き出す");
  THashNode* first = h.FindRemembered("書き出す", ref);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(h.FindRemembered("書き出す", ref), first);
  // A local word under the folded name hides the command while its scope is open.
  h.PushScope();
  h.AddLocal(Var("書出", "local"));
  EXPECT_EQ(h.FindRemembered("書き出す", ref)->ValueText(), "local");
  h.PopScope();
  EXPECT_EQ(h.FindRemembered("書き出す", ref), first);
  // Replaced, deleted and entered again: each change is seen.
  h.Add(Var("書出", "global variable"));
  EXPECT_EQ(h.FindRemembered("書き出す", ref)->ValueText(), "global variable");
  h.Delete("書出", false);
  EXPECT_EQ(h.FindRemembered("書き出す", ref), nullptr);
  h.Add(Var("書き出す", "as written"));
  EXPECT_EQ(h.FindRemembered("書き出す", ref)->ValueText(), "as written");
  h.Empty();
  EXPECT_EQ(h.FindRemembered("書き出す", ref), nullptr);
}

// The name index against a plain map: random names entered and deleted in turn, every lookup
// checked, with the table growing and entries moving up after deletions.
TEST(NameIndex, AgreesWithAMapThroughInsertsAndDeletes) {
  std::vector<std::unique_ptr<THashNode>> nodes;
  std::map<std::string, THashNode*> model;
  TNameIndex index;
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string name = "k" + std::to_string(next() % 3000);
    if (next() % 3 != 0) {
      if (model.count(name)) continue;
      auto w = std::make_unique<THashNode>();
      w->Name = name;
      index.Insert(w.get());
      model[name] = w.get();
      nodes.push_back(std::move(w));
    } else if (model.count(name)) {
      index.Erase(name);
      model.erase(name);
    }
    if (round % 500 == 0) {
      for (int k = 0; k < 3000; ++k) {
        const std::string probe = "k" + std::to_string(k);
        auto it = model.find(probe);
        ASSERT_EQ(index.Find(probe), it == model.end() ? nullptr : it->second) << probe;
      }
      ASSERT_EQ(index.Size(), model.size());
    }
  }
  size_t seen = 0;
  index.ForEach([&](const THashNode* w) {
    ++seen;
    EXPECT_EQ(model.at(w->Name), w);
  });
  EXPECT_EQ(seen, model.size());
  index.Clear();
  EXPECT_EQ(index.Find(model.begin()->first), nullptr);
}

// Names are compared by overlapping word loads: every length up to past the in-place limit, a
// difference at every place (the last byte of a two-byte character among them), and views that
// stop inside a longer text.
TEST(SameName, EveryLengthAndEveryPlaceOfADifference) {
  const std::string text =
      "\x95\x5c\x83\x5c"
      "abcdefghijklmnopqrstuvwxyz";
  for (size_t n = 0; n <= 20; ++n) {
    const std::string a = text.substr(0, n);
    EXPECT_TRUE(SameName(a, std::string_view(text).substr(0, n))) << n;
    EXPECT_FALSE(SameName(a, std::string_view(text).substr(0, n + 1))) << n;
    for (size_t i = 0; i < n; ++i) {
      std::string b = a;
      b[i] = static_cast<char>(b[i] ^ 0x01);
      EXPECT_FALSE(SameName(a, b)) << n << " at " << i;
    }
  }
}
