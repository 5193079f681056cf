#include "table/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace yume {
namespace {

TEST(WildMatch, SingleCharacterWildcards) {
  EXPECT_TRUE(WildMatch("山田太郎", "山田*"));
  EXPECT_TRUE(WildMatch("abc", "a?c"));
  EXPECT_FALSE(WildMatch("ab", "ab?"));
  EXPECT_TRUE(WildMatch("12x", "##x"));
  EXPECT_FALSE(WildMatch("1yx", "##x"));
  EXPECT_TRUE(WildMatch("ソ", "?"));  // a two-byte character is one element
  EXPECT_FALSE(WildMatch("ソ", "??"));
  EXPECT_TRUE(WildMatch("", ""));
  EXPECT_FALSE(WildMatch("a", ""));
  // "?" steps past the end of the text, and a final "*" moves back to the end.
  EXPECT_TRUE(WildMatch("ab", "ab?*"));
}

TEST(WildMatch, AsteriskTakesTheShortestStretch) {
  EXPECT_FALSE(WildMatch("aba", "*a"));
  EXPECT_TRUE(WildMatch("aba", "*b*"));
  EXPECT_FALSE(WildMatch("abcbc", "*bc"));
  EXPECT_TRUE(WildMatch("abc", "*"));
  EXPECT_TRUE(WildMatch("", "*"));
  EXPECT_TRUE(WildMatch("abc", "a*c"));
  EXPECT_TRUE(WildMatch("axxbyyc", "a*b*c"));
  EXPECT_FALSE(WildMatch("axxbyyd", "a*b*c"));
  // Capture marks take no text.
  EXPECT_TRUE(WildMatch("abc", "(*)"));
  EXPECT_TRUE(WildMatch("abc", "a(*)c"));
  EXPECT_TRUE(WildMatch("abc", "(a)bc"));
}

// The results on long texts, where every split of the stars gets tried; how long that takes is
// measured by bench/wildcard_bench.cpp.
TEST(WildMatch, ManyAsterisksOnLongTexts) {
  const std::string text(5000, 'x');
  EXPECT_FALSE(WildMatch(text, "*x*x*x*x*x*y"));
  EXPECT_TRUE(WildMatch(text + "y", "*x*x*x*x*x*y"));
  EXPECT_FALSE(WildMatch("y" + text, "*x*x*x*x*x*y"));
  EXPECT_TRUE(WildMatch(text + "abc", "*x*a*b*c"));
  EXPECT_FALSE(WildMatch(text + "acb", "*x*a*b*c"));
  EXPECT_TRUE(WildMatch(text, "*x*x*x*x*x*"));
  EXPECT_FALSE(WildMatch(std::string(4, 'x'), "*x*x*x*x*x*"));
  // The text's last character is the only place for the final "y" (and the stars in front of it
  // stretch across everything else).
  EXPECT_TRUE(WildMatch(text + "y" + text + "y", "*y*y"));
  EXPECT_FALSE(WildMatch(text + "y" + text, "*y*y"));
}

TEST(WildMatch, Brackets) {
  EXPECT_TRUE(WildMatch("ABC", "[A-C]*"));
  EXPECT_FALSE(WildMatch("ABC", "[!A-C]*"));
  EXPECT_TRUE(WildMatch("DBC", "[!A-C]*"));
  EXPECT_TRUE(WildMatch("5", "[9-0]"));  // a range is stored low to high
  EXPECT_TRUE(WildMatch("b", "[xyab]"));
  EXPECT_TRUE(WildMatch("-", "[a-]"));
  EXPECT_TRUE(WildMatch("う", "[あ-お]"));
  EXPECT_FALSE(WildMatch("ア", "[あ-お]"));
  EXPECT_TRUE(WildMatch("\t", "[\\t]"));
  EXPECT_TRUE(WildMatch("\x0B", "[\\n]"));  // "\n" stands for the codes 10 to 13
  EXPECT_FALSE(WildMatch("", "[a]"));
}

TEST(WildMatch, RepeatingBrackets) {
  EXPECT_TRUE(WildMatch("2004年", "[+0-9]年"));
  EXPECT_FALSE(WildMatch("x", "[+0-9]x"));
  EXPECT_TRUE(WildMatch("", "[*0-9]"));
  EXPECT_TRUE(WildMatch("123", "[*0-9]"));
  EXPECT_TRUE(WildMatch("12ab", "[*0-9]ab"));
  // A character outside the set ends the run and is left for the rest of the pattern.
  EXPECT_FALSE(WildMatch("a", "[*0-9]"));
  EXPECT_FALSE(WildMatch("12a", "[+0-9]"));
  EXPECT_FALSE(WildMatch("12ab", "[*0-9]b"));
  // The run stops at the character that follows the bracket even when it is in the set.
  EXPECT_TRUE(WildMatch("1203", "[+0-9]0[*0-9]"));
  EXPECT_TRUE(WildMatch("12x", "[+0-9](x"));
}

TEST(WildMatch, WordLists) {
  EXPECT_FALSE(WildMatch("banana", "[=ban|banana]"));
  EXPECT_TRUE(WildMatch("banana", "[=banana|ban]"));
  EXPECT_TRUE(WildMatch("ban", "[=banana|ban]"));
  EXPECT_TRUE(WildMatch("東京都", "[=大阪|東京]都"));
  EXPECT_FALSE(WildMatch("京都", "[=大阪|東京]都"));
  EXPECT_TRUE(WildMatch("ab", "[!=ab]"));  // negation means nothing for word lists
  EXPECT_TRUE(WildMatch("x", "[=|y]x"));   // the empty word is tried first and matches
}

TEST(WildMatch, EscapesAndLiteralText) {
  EXPECT_TRUE(WildMatch("a\\b", "a\\\\b"));  // a backslash in the text needs a doubled one
  EXPECT_FALSE(WildMatch("a\\b", "a\\b"));
  EXPECT_TRUE(WildMatch("a*c", "a\\*c"));
  EXPECT_FALSE(WildMatch("abc", "a\\*c"));
  EXPECT_TRUE(WildMatch("1#", "1\\#"));
  EXPECT_TRUE(WildMatch("x\r\ny", "x\\ny"));
  EXPECT_TRUE(WildMatch("x\ty", "x\\ty"));
  EXPECT_TRUE(WildMatch("表", "\\表"));
  // The text's own "[", "(" and "\" are plain characters, one element each.
  EXPECT_TRUE(WildMatch("[x]", "\\[x\\]"));
  EXPECT_TRUE(WildMatch("[x]", "???"));
  EXPECT_TRUE(WildMatch("[a\\b]", "[[]a\\\\b]"));
  EXPECT_TRUE(WildMatch("(a)", "\\(a\\)"));
}

TEST(WildMatch, PatternFaults) {
  EXPECT_THROW(WildMatch("x", "[\\x]"), EWildcard);
  EXPECT_THROW(WildMatch("x", "[a\\"), EWildcard);
  EXPECT_THROW(WildMatch("1", "[*0-9]*"), EWildcard);
  EXPECT_THROW(WildMatch("1", "[+0-9](?"), EWildcard);
  // The follower is checked only when the bracket is reached.
  EXPECT_FALSE(WildMatch("x", "a[*0-9]*"));
  try {
    WildMatch("x", "[\\x]");
  } catch (const EWildcard& e) {
    EXPECT_EQ(std::string(e.what()),
              "ワイルドカードの[ ]中で\\記号を使うときは、\\t,\\nしか許されていません。");
  }
}

}  // namespace
}  // namespace yume
