#include "commands/text/wildmatch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "table/wildcard.h"

namespace yume {
namespace {

using Strings = std::vector<std::string>;

TWildPrefix Prefix(std::string_view pattern, std::string_view text) {
  return TWildPattern(pattern).MatchPrefix(text);
}

TEST(WildCapture, PrefixAndRest) {
  TWildPrefix m = Prefix("(*):", "名前:山田");
  ASSERT_TRUE(m.Matched);
  EXPECT_EQ(std::string("名前:山田").substr(m.End), "山田");
  EXPECT_EQ(m.Captures, Strings{"名前"});
  EXPECT_FALSE(m.WholeText);

  m = Prefix("ab", "abc");
  EXPECT_TRUE(m.Matched);
  EXPECT_EQ(m.End, 2u);
  EXPECT_FALSE(Prefix("ab", "a").Matched);
  // "?" steps past the end: the match holds, but it did not stop at the text's end.
  m = Prefix("abc?", "abc");
  EXPECT_TRUE(m.Matched);
  EXPECT_EQ(m.End, 3u);
  EXPECT_FALSE(m.WholeText);
  EXPECT_TRUE(Prefix("abc", "abc").WholeText);
  // The asterisk's shortest stretch: the rest need not be used up.
  m = Prefix("*a", "xaya");
  EXPECT_EQ(m.End, 2u);
}

TEST(WildCapture, CapturesFollowTheFinalPath) {
  EXPECT_EQ(Prefix("(*)-(*)", "ab-cd").Captures, (Strings{"ab", "cd"}));
  EXPECT_EQ(Prefix("#(##)x", "123x").Captures, Strings{"23"});
  // Trials of later stretches pass "(" too; the first capture still starts where its own
  // "(" stood.
  EXPECT_EQ(Prefix("(a*b)(c)", "axbc").Captures, (Strings{"axb", "c"}));
  // Stretches tried and given up leave nothing behind.
  EXPECT_EQ(Prefix("*(x)y", "xzxy").Captures, Strings{"x"});
  EXPECT_EQ(Prefix("*<(*)>*<(*)>", "a<1>b<2>c").Captures, (Strings{"1", "2"}));
  // A capture ending where the previous one ended is not recorded again.
  EXPECT_EQ(Prefix("(a)()", "a").Captures, Strings{"a"});
  EXPECT_EQ(Prefix("()a", "a").Captures, Strings{""});
  // A capture reaching past the end by "?" takes the text up to its end.
  EXPECT_EQ(Prefix("a(?"
                   "?)",
                   "ab")
                .Captures,
            Strings{"b"});
  // A failed match reports no captures.
  TWildPrefix m = Prefix("(a)b", "ac");
  EXPECT_FALSE(m.Matched);
  EXPECT_TRUE(m.Captures.empty());
}

// Trail bytes that look like ASCII ("表" 95 5C, "ソ" 83 5C, "ポ" 83 7C, "ム" 83 80) are never
// taken for "\", "|" or letters, and a capture never cuts a character.
TEST(WildCapture, ShiftJisCharacters) {
  EXPECT_EQ(Prefix("表(?)能", "表ソ能力").Captures, Strings{"ソ"});
  EXPECT_EQ(Prefix("(*)\\\\", "表ソ\\x").Captures, Strings{"表ソ"});
  EXPECT_FALSE(Prefix("\\\\", "表").Matched);
  EXPECT_TRUE(Prefix("[=ポ|ソ]ー", "ソー").Matched);
  EXPECT_TRUE(Prefix("[=ポ|ソ]ー", "ポー").Matched);
  EXPECT_EQ(Prefix("([+ァ-ヶ])", "ソムポa").Captures, Strings{"ソムポ"});
  EXPECT_EQ(Prefix("(*)\\", "表\\").Captures, Strings{"表"});
}

TEST(WildCapture, RepeatingBracketsStopBeforeAForeignCharacter) {
  EXPECT_FALSE(Prefix("[*0-9]x", "12ax").Matched);
  EXPECT_TRUE(Prefix("[*0-9]a", "12ax").Matched);
  EXPECT_EQ(Prefix("([+0-9])年", "2004年").Captures, Strings{"2004"});
  EXPECT_EQ(Prefix("([!*,]),", "ab,c").Captures, Strings{"ab"});
  EXPECT_FALSE(Prefix("[+0-9]", "x1").Matched);
}

TEST(WildCapture, Faults) {
  try {
    TWildPattern("[a\\x]");
    ADD_FAILURE();
  } catch (const EWildcard& e) {
    EXPECT_STREQ(e.what(),
                 "ワイルドカードの[ ]中で\\記号を使うときは、\\t,\\nしか許されていません。");
  }
  try {
    Prefix("[*0-9](*", "1");
    ADD_FAILURE();
  } catch (const EWildcard& e) {
    EXPECT_STREQ(e.what(), "ワイルドカード[*...]に続けてワイルドカードを書くことは出来ません。");
  }
}

TEST(WildCapture, Report) {
  EXPECT_EQ(WildMatchReport("名前:", {"名前"}), "名前:\r\n名前");
  EXPECT_EQ(WildMatchReport("", {"a", ""}), "a");
  EXPECT_EQ(WildMatchReport(" x ", {"", " y\t"}), "x \r\n\r\n y");
  EXPECT_EQ(WildMatchReport("", {}), "");
}

// Where the match must use up the text, this engine and the table engine's WildMatch give the
// same answer: random patterns over characters that exercise every rule, including two-byte
// characters whose second byte is "\", "|" or a letter.
TEST(WildCapture, AgreesWithTheTableEngine) {
  const Strings pieces = {"a",      "b",      "1",       "表",         "ソ",  "ポ",     "\\\\",
                          "?",      "#",      "*",       "(",          ")",   "[ab]",   "[!a]",
                          "[*a-b]", "[+0-9]", "[=a|ab]", "[=ソ|表ソ]", "\\*", "[ア-ン]"};
  const Strings text_chars = {"a", "b", "1", "2", "表", "ソ", "ポ", "\\", "*", "[", "ア"};
  std::mt19937 rng(20240611);
  int compared = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string pattern, text;
    const int np = 1 + static_cast<int>(rng() % 5);
    for (int i = 0; i < np; ++i) pattern += pieces[rng() % pieces.size()];
    const int nt = static_cast<int>(rng() % 7);
    for (int i = 0; i < nt; ++i) text += text_chars[rng() % text_chars.size()];
    bool table_threw = false, ours_threw = false;
    bool table = false, ours = false;
    try {
      table = WildMatch(text, pattern);
    } catch (const EWildcard&) {
      table_threw = true;
    }
    try {
      const TWildPrefix m = Prefix(pattern, text);
      ours = m.Matched && m.WholeText;
    } catch (const EWildcard&) {
      ours_threw = true;
    }
    ASSERT_EQ(table_threw, ours_threw) << pattern << " / " << text;
    if (!table_threw) {
      ASSERT_EQ(table, ours) << pattern << " / " << text;
      ++compared;
    }
  }
  EXPECT_GT(compared, 15000);
}

TEST(WildCapture, ManyAsterisksStayQuick) {
  const std::string text = std::string(3000, 'x');
  EXPECT_FALSE(Prefix("*x*x*x*x*y", text).Matched);
  const TWildPrefix m = Prefix("*x*x*(x*)y", text + "y");
  ASSERT_TRUE(m.Matched);
  EXPECT_EQ(m.Captures, Strings{std::string(2998, 'x')});
}

}  // namespace
}  // namespace yume
