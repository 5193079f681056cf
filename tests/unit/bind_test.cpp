#include "core/bind.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "core/hash.h"
#include "core/yumebase.h"

using namespace yume;

namespace {

std::unique_ptr<THashNode> Cmd(const std::string& name, const std::string& pattern) {
  auto w = std::make_unique<THashNode>();
  w->Name = name;
  w->Pattern = pattern;
  w->Kind = wkCommand;
  return w;
}

std::vector<std::string> Bind(TYumeBase& y, const std::string& pattern,
                              std::vector<std::string> phrases) {
  for (auto& p : phrases) y.Args.Push(p);
  BindArguments(y, *Cmd("命令", pattern));
  const auto items = y.Args.Items();
  return {items.begin(), items.end()};
}

std::string BindError(const std::string& pattern, std::vector<std::string> phrases) {
  TYumeBase y;
  try {
    Bind(y, pattern, std::move(phrases));
  } catch (const EYume& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(Bind, PatternParticles) {
  EXPECT_EQ(PatternParticles(""), std::vector<std::string>{});
  EXPECT_EQ(PatternParticles("?"), std::vector<std::string>{""});
  EXPECT_EQ(PatternParticles("?の,?行目を"), (std::vector<std::string>{"の", "行目を"}));
  EXPECT_EQ(PatternParticles("?を, ?へ"), (std::vector<std::string>{"を", "へ"}));
  EXPECT_EQ(PatternParticles("?,?"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(PatternParticles(" ?を ,?で "), (std::vector<std::string>{"を", "で"}));
  EXPECT_EQ(PatternParticles("?を,"), (std::vector<std::string>{"を", ""}));
  EXPECT_EQ(PatternParticles("  "), std::vector<std::string>{});
}

TEST(Bind, SlotsAreFilledByParticleWhateverTheOrder) {
  TYumeBase y;
  EXPECT_EQ(Bind(y, "?を,?に", {"Bに", "Aを"}), (std::vector<std::string>{"A", "B"}));
  TYumeBase y2;
  // Equivalent particles: "を" for "と", "へ" for "に".
  EXPECT_EQ(Bind(y2, "?と,?に", {"3を", "xへ"}), (std::vector<std::string>{"3", "x"}));
  TYumeBase y3;
  // A multi-character particle and a slot with none.
  EXPECT_EQ(Bind(y3, "?の,?行目を", {"Aの", "3行目を"}), (std::vector<std::string>{"A", "3"}));
  TYumeBase y4;
  EXPECT_EQ(Bind(y4, "?,?", {"a", "b"}), (std::vector<std::string>{"a", "b"}));
}

TEST(Bind, AMissingFirstArgumentIsTakenFromSore) {
  TYumeBase y;
  EXPECT_EQ(Bind(y, "?を,?に", {"Bに"}), (std::vector<std::string>{"それ", "B"}));
  EXPECT_TRUE(y.OmittedFilled);
  TYumeBase y2;
  y2.ParticleFree = true;
  EXPECT_EQ(Bind(y2, "?を,?に", {"B"}), (std::vector<std::string>{"それ", "B"}));
  TYumeBase y3;
  Bind(y3, "?を", {"Aを"});
  EXPECT_FALSE(y3.OmittedFilled);
}

TEST(Bind, LeftoverPhrasesStayBelowTheArguments) {
  TYumeBase y;
  EXPECT_EQ(Bind(y, "?と", {"xに", "\"a\"と"}), (std::vector<std::string>{"xに", "\"a\""}));
}

TEST(Bind, Errors) {
  EXPECT_EQ(BindError("?を,?に,?で", {"aを"}),
            "[エラー] (0行目): "
            "\"命令\"命令の引数に誤りがあります。\"?を,?に,?"
            "で\"の形式で指定してください。引数が少ないです。");
  EXPECT_EQ(BindError("?を,?で", {"aを", "bに"}),
            "[エラー] (0行目): "
            "\"命令\"命令の引数に誤りがあります。\"?を,?で\"の形式で指定してください。\"で\"");
  TYumeBase y;
  for (int i = 0; i < 5001; ++i) y.Args.Push("x");
  try {
    BindArguments(y, *Cmd("命令", "?"));
    FAIL();
  } catch (const EYume& e) {
    EXPECT_NE(std::string(e.what()).find("スタックが一杯になりました。"), std::string::npos);
  }
}
