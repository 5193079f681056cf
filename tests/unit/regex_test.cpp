#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "commands/text/regexbridge.h"

namespace yume {
namespace {

using Strings = std::vector<std::string>;

// The lines RegexMatch reports (without their CR LF), or nothing for no match.
Strings Match(std::string_view text, std::string_view pattern) {
  std::string out;
  const size_t n = RegexMatch(text, pattern, out);
  Strings lines;
  size_t at = 0;
  for (size_t i = 0; i < n; ++i) {
    const size_t end = out.find("\r\n", at);
    lines.push_back(out.substr(at, end - at));
    at = end + 2;
  }
  EXPECT_EQ(at, out.size());
  return lines;
}

TEST(RegexWrapper, OnlyTheWholeFormIsWrapped) {
  std::string body, flags;
  EXPECT_TRUE(SplitWrappedPattern("m/a+/i", body, flags));
  EXPECT_EQ(body, "a+");
  EXPECT_EQ(flags, "i");
  EXPECT_TRUE(SplitWrappedPattern("m#a/b#", body, flags));
  EXPECT_EQ(body, "a/b");
  EXPECT_TRUE(SplitWrappedPattern("m/a\\/b/gk", body, flags));
  EXPECT_EQ(body, "a\\/b");
  EXPECT_EQ(flags, "gk");
  // The second byte of 表 is "\": it does not escape the closing delimiter.
  EXPECT_TRUE(SplitWrappedPattern("m/表/", body, flags));
  EXPECT_EQ(body, "表");
  // Plain expressions that merely start with "m".
  for (const char* plain : {"main", "m+", "m.*.", "m/a/b/", "m/a", "m/a/q", "m", "m//x/"})
    EXPECT_FALSE(SplitWrappedPattern(plain, body, flags)) << plain;
}

TEST(RegexMatch, GroupsAndCounts) {
  EXPECT_EQ(Match("abc123", "[0-9]+"), Strings{"123"});
  EXPECT_EQ(Match("abc123", "([0-9])([0-9])"), (Strings{"12", "1", "2"}));
  EXPECT_EQ(Match("abc", "x"), Strings{});
  // A group that took no part is an empty line.
  EXPECT_EQ(Match("b", "(a)|(b)"), (Strings{"b", "", "b"}));
  // Named groups keep the numbers of the groups around them.
  EXPECT_EQ(Match("ab", "(?<x>a)(b)"), (Strings{"ab", "a", "b"}));
  EXPECT_EQ(Match("", "^$"), Strings{""});
  std::string out = "kept";
  EXPECT_EQ(RegexMatch("abc", "z", out), 0u);
  EXPECT_EQ(out, "kept");
}

// The literals every match holds are looked for before the expression runs: wherever they
// stand in a line (the sixteen-byte blocks, their tail, the last place), a line holding them is
// searched and one lacking any is not; the order they are tried in changes as lines go by.
TEST(RegexMatch, RequiredLiteralsAnywhereInALine) {
  const std::string pattern = R"((\d+) GET (\S+) 404)";
  std::string out;
  for (size_t pad = 0; pad < 48; ++pad) {
    const std::string line = std::string(pad, 'x') + " 12 GET /a 404";
    out.clear();
    EXPECT_EQ(RegexMatch(line, pattern, out), 3u) << pad;
    EXPECT_EQ(out, "12 GET /a 404\r\n12\r\n/a\r\n") << pad;
    out.clear();
    EXPECT_EQ(RegexMatch(line.substr(0, line.size() - 1), pattern, out), 0u) << pad;
    EXPECT_EQ(RegexMatch(std::string(pad, 'y') + " 12 GOT /a 404", pattern, out), 0u) << pad;
  }
}

TEST(RegexMatch, PlainPatternsThatLookWrapped) {
  EXPECT_EQ(Match("the main road", "main"), Strings{"main"});
  EXPECT_EQ(Match("hmmm", "m+"), Strings{"mmm"});
  EXPECT_EQ(Match("see a/b/c", "a/b"), Strings{"a/b"});
  EXPECT_EQ(Match("xm/a/b/y", "m/a/b/"), Strings{"m/a/b/"});
  EXPECT_EQ(Match("ABC", "m/b/i"), Strings{"B"});
  EXPECT_EQ(Match("x/y", "m#(\\w)/#"), (Strings{"x/", "x"}));
}

TEST(RegexMatch, Flags) {
  const std::string lines = "one\ntwo\nthree";
  EXPECT_EQ(Match(lines, "^two$"), Strings{});
  EXPECT_EQ(Match(lines, "m/^two$/m"), Strings{"two"});
  EXPECT_EQ(Match("a\nb", "a.b"), Strings{});
  EXPECT_EQ(Match("a\nb", "m/a.b/s"), Strings{"a\nb"});
  EXPECT_EQ(Match("ab", "m/a b # comment/x"), Strings{"ab"});
  EXPECT_EQ(Match("xAbC", "m/abc/ik"), Strings{"AbC"});
}

// Shift_JIS characters are whole characters to the expression: trail bytes that look like
// "\", "|", "[" or letters never match as such, and ranges run in code order.
TEST(RegexMatch, ShiftJisText) {
  EXPECT_EQ(Match("表示", "\\\\"), Strings{});
  EXPECT_EQ(Match("表\\", "\\\\"), Strings{"\\"});
  EXPECT_EQ(Match("ポ", "\\|"), Strings{});
  EXPECT_EQ(Match("ギノ", "M|m"), Strings{});  // ギ is 83 4D, ノ 83 6D
  EXPECT_EQ(Match("ギノ", "m/m/i"), Strings{});
  EXPECT_EQ(Match("ギノ", "[A-Za-z]"), Strings{});
  EXPECT_EQ(Match("表ソ能x", "^(.)(.)"), (Strings{"表ソ", "表", "ソ"}));
  EXPECT_EQ(Match("xソムポy", "[ァ-ヶ]+"), Strings{"ソムポ"});
  EXPECT_EQ(Match("a表b", "[表]"), Strings{"表"});
  EXPECT_EQ(Match("abひらがなcd", "[ぁ-ん]{2}"), Strings{"ひら"});
  EXPECT_EQ(Match("価格：１２３円", "：(.+)円"), (Strings{"：１２３円", "１２３"}));
}

TEST(RegexSplit, AsPerlSplitsWithALimit) {
  // Each expected list is what Perl's split(/P/, T, 1000) gives.
  EXPECT_EQ(RegexSplit("a,b,,", ","), (Strings{"a", "b", "", ""}));
  EXPECT_EQ(RegexSplit(",a", ","), (Strings{"", "a"}));
  EXPECT_EQ(RegexSplit("abc", ""), (Strings{"a", "b", "c", ""}));
  EXPECT_EQ(RegexSplit("axb", "x*"), (Strings{"a", "b", ""}));
  EXPECT_EQ(RegexSplit("a,b", "(,)"), (Strings{"a", ",", "b"}));
  EXPECT_EQ(RegexSplit("xbyaz", "(a)|b"), (Strings{"x", "", "y", "a", "z"}));
  EXPECT_EQ(RegexSplit(" a b ", "\\s*"), (Strings{"", "a", "b", ""}));
  EXPECT_EQ(RegexSplit("", ","), Strings{});
  EXPECT_EQ(RegexSplit("a,b,c", ",", 2), (Strings{"a", "b,c"}));
  // Two-byte characters are never split, whatever their second byte.
  EXPECT_EQ(RegexSplit("表ソ", ""), (Strings{"表", "ソ", ""}));
  EXPECT_EQ(RegexSplit("表\\ソ\\能", "\\\\"), (Strings{"表", "ソ", "能"}));
  EXPECT_EQ(RegexSplit("東京、大阪、京都", "m/、/"), (Strings{"東京", "大阪", "京都"}));
  const std::string many(3000, ',');
  EXPECT_EQ(RegexSplit(many, ",").size(), 1000u);
}

TEST(RegexSubstitute, Replacements) {
  TRegexSubst r = RegexSubstitute("2024-06-11", "s/(\\d+)-(\\d+)-(\\d+)/$3.\\2.${1}/");
  EXPECT_EQ(r.Text, "11.06.2024");
  EXPECT_EQ(r.Count, 4u);
  EXPECT_EQ(RegexSubstitute("aaa", "s/a/b/").Text, "baa");
  EXPECT_EQ(RegexSubstitute("aaa", "s/a/b/g").Text, "bbb");
  EXPECT_EQ(RegexSubstitute("abc", "s/b/[$&]/").Text, "a[b]c");
  EXPECT_EQ(RegexSubstitute("a b", "s/ /\\n\\t/").Text, "a\n\tb");
  EXPECT_EQ(RegexSubstitute("a", "s/a/\\$1 \\\\ $x/").Text, "$1 \\ $x");
  EXPECT_EQ(RegexSubstitute("a/b", "s#/#\\##").Text, "a#b");
  EXPECT_EQ(RegexSubstitute("a/b", "s/\\//|/").Text, "a|b");
  EXPECT_EQ(RegexSubstitute("ABC", "s/b/x/ig").Text, "AxC");
  // Nothing replaced: the text as it was, and the count 0.
  r = RegexSubstitute("abc", "s/(x)/y/g");
  EXPECT_EQ(r.Text, "abc");
  EXPECT_EQ(r.Count, 0u);
  EXPECT_EQ(RegexSubstitute("", "s/a/b/").Text, "");
}

TEST(RegexSubstitute, EmptyMatchesAsPerl) {
  // Each expected text is what Perl's s///g gives.
  EXPECT_EQ(RegexSubstitute("xab", "s/x*/-/g").Text, "--a-b-");
  EXPECT_EQ(RegexSubstitute("xab", "s/a|/-/g").Text, "-x--b-");
  EXPECT_EQ(RegexSubstitute("xab", "s/b*/-/g").Text, "-x-a--");
  EXPECT_EQ(RegexSubstitute("表ソ", "s//-/g").Text, "-表-ソ-");
  EXPECT_EQ(RegexSubstitute("a\nb", "s/$/!/mg").Text, "a!\nb!");
}

TEST(RegexSubstitute, ShiftJisInEveryPart) {
  // 表 and ソ end in "\": in the pattern, in the replacement and in the text alike they are
  // characters, never escapes.
  EXPECT_EQ(RegexSubstitute("表ソ能", "s/ソ/表/g").Text, "表表能");
  EXPECT_EQ(RegexSubstitute("a\\b表", "s/\\\\/ソ/g").Text, "aソb表");
  EXPECT_EQ(RegexSubstitute("表ソ", "s/(.)(.)/$2$1/").Text, "ソ表");
  EXPECT_EQ(RegexSubstitute("東京都", "s/京/ポ|/").Text, "東ポ|都");
}

TEST(RegexTranslate, Lists) {
  EXPECT_EQ(RegexTranslate("Hello", "tr/a-z/A-Z/"), "HELLO");
  EXPECT_EQ(RegexTranslate("abc", "tr/abc/x/"), "xxx");
  EXPECT_EQ(RegexTranslate("abcabc", "tr/ab//d"), "cc");
  EXPECT_EQ(RegexTranslate("aabbcc", "tr/a-z//s"), "abc");
  EXPECT_EQ(RegexTranslate("a1b22", "tr/0-9/_/c"), "_1_22");
  EXPECT_EQ(RegexTranslate("abc", "tr/a-c//"), "abc");
  EXPECT_EQ(RegexTranslate("a-b", "tr/\\-/+/"), "a+b");
  EXPECT_EQ(RegexTranslate("a-b", "y/ab-/xy_/"), "x_y");
  EXPECT_EQ(RegexTranslate("", "tr/a/b/"), "");
}

TEST(RegexTranslate, ShiftJisRangesAndTrailBytes) {
  // ァ-ン skips 837F, which is no character: む (82DE) still becomes ム (8380).
  EXPECT_EQ(RegexTranslate("ひらがなむ", "tr/ぁ-ん/ァ-ン/"), "ヒラガナム");
  EXPECT_EQ(RegexTranslate("カタカナ", "tr/ァ-ン/ぁ-ん/"), "かたかな");
  // Only a real "\" turns into "/": the second bytes of 表 and ソ stay.
  EXPECT_EQ(RegexTranslate("表\\ソ", "tr/\\\\/\\//"), "表/ソ");
  EXPECT_EQ(RegexTranslate("ＡＢｃ", "tr/Ａ-Ｚ/a-z/"), "abｃ");
  EXPECT_EQ(RegexTranslate("表表ソ", "tr/表/ソ/s"), "ソソ");
}

TEST(RegexErrors, Messages) {
  std::string out;
  try {
    RegexMatch("x", "(a", out);
    ADD_FAILURE();
  } catch (const ERegex& e) {
    EXPECT_STREQ(e.what(), "end pattern with unmatched parenthesis");
  }
  EXPECT_THROW(RegexMatch("x", "m/[b-a]/", out), ERegex);
  EXPECT_THROW(RegexSubstitute("a", "a/b"), ERegex);
  EXPECT_THROW(RegexSubstitute("a", "s/a/b"), ERegex);
  EXPECT_THROW(RegexSubstitute("a", "s/a/b/e"), ERegex);
  EXPECT_THROW(RegexTranslate("a", "tr/a/b"), ERegex);
  EXPECT_THROW(RegexTranslate("a", "tr/z-a/b/"), ERegex);
  EXPECT_THROW(RegexTranslate("a", "s/a/b/"), ERegex);
  // A pattern that fails to compile is tried again next time, not kept half-made.
  EXPECT_THROW(RegexMatch("x", "(a", out), ERegex);
}

TEST(RegexRequiredText, PlainRunsOfTheTopLevel) {
  EXPECT_EQ(RequiredLiterals("(\\d{4})-(\\d\\d)-\\d\\d \\S+ GET (\\S+) 404 (\\d+)", ""),
            (Strings{" GET ", " 404 ", "-"}));
  EXPECT_EQ(RequiredLiterals("abc", ""), Strings{"abc"});
  // A repeated character may be absent or doubled: the run ends before it.
  EXPECT_EQ(RequiredLiterals("abc*de", ""), (Strings{"ab", "de"}));
  EXPECT_EQ(RequiredLiterals("ab+c", ""), (Strings{"a", "c"}));
  EXPECT_EQ(RequiredLiterals("ab{2}c", ""), (Strings{"a", "c"}));
  EXPECT_EQ(RequiredLiterals("ab{,x}", ""), Strings{"ab{,x}"});
  EXPECT_EQ(RequiredLiterals("表ソ?能", ""), (Strings{"表", "能"}));
  // Second bytes "[", "]", "{", "|" (ー 815B, ゾ 835D, ボ 837B, ポ 837C) are no marks.
  EXPECT_EQ(RequiredLiterals("ゾー+ボ{ポ", ""), (Strings{"ボ{ポ", "ゾ"}));
  EXPECT_EQ(RequiredLiterals("[ーゾ]x", ""), Strings{"x"});
  EXPECT_EQ(RequiredLiterals("a\\.b\\d+c", ""), (Strings{"a.b", "c"}));
  // Escapes with arguments take them: no "41", "835C" or "12" out of them.
  EXPECT_EQ(RequiredLiterals("\\x41x\\x{835C}y\\12z", ""), (Strings{"x", "y", "z"}));
  EXPECT_EQ(RequiredLiterals("a[xy]b(c|d)ef.g", ""), (Strings{"ef", "a", "b"}));  // three at most
  EXPECT_EQ(RequiredLiterals("[]a]b", ""), Strings{"b"});
  // Nothing that can be relied on.
  for (const char* none : {"a|b", "(?i)abc", "\\Qab\\E", "a\\", "(ab", "[ab", "ab)"})
    EXPECT_EQ(RequiredLiterals(none, ""), Strings{}) << none;
  EXPECT_EQ(RequiredLiterals("abc", "i"), Strings{});
  EXPECT_EQ(RequiredLiterals("a b", "x"), Strings{});
}

// The texts are only a shortcut: random expressions over random texts find the same match with
// and without it ("|(?!)" adds an alternative that never matches, which turns it off).
TEST(RegexRequiredText, SameMatchesAsWithout) {
  const Strings pieces = {"a",    "b",       "表",  "ソ",     "\\\\", "\\.",  ".",     "a*",
                          "b+",   "ソ?",     "{2}", "{",      "[ab]", "[^a]", "(a)",   "(?:ab)",
                          "\\d",  "\\x41",   "-",   "\\s",    "^",    "$",    "(?=b)", "a{1,2}",
                          "\\w+", "(?<n>b)", "ー",  "[ゾー]", "ボ{",  "ポ|ー"};
  const Strings chars = {"a", "b", "A", "1", "-", " ", ".", "表", "ソ", "\\", "{", "2", "ー", "ゾ"};
  std::mt19937 rng(7);
  int matched = 0;
  for (int round = 0; round < 5000; ++round) {
    std::string pattern, text;
    for (int i = 0, n = 1 + static_cast<int>(rng() % 5); i < n; ++i)
      pattern += pieces[rng() % pieces.size()];
    for (int i = 0, n = static_cast<int>(rng() % 9); i < n; ++i)
      text += chars[rng() % chars.size()];
    std::string with, without;
    try {
      RegexMatch(text, pattern, with);
    } catch (const ERegex&) {
      continue;
    }
    RegexMatch(text, pattern + "|(?!)", without);
    ASSERT_EQ(with, without) << pattern << " / " << text;
    matched += !with.empty();
  }
  EXPECT_GT(matched, 500);
}

// More patterns than the cache keeps, used over and over: each call gets its own pattern.
TEST(RegexCache, ManyPatternsInTurn) {
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 50; ++i) {
      const std::string n = std::to_string(i);
      EXPECT_EQ(Match("x" + n + "y", "x(" + n + ")y"), (Strings{"x" + n + "y", n}));
      EXPECT_EQ(RegexSubstitute(n, "s/" + n + "/<$&>/").Text, "<" + n + ">");
    }
  }
  // The same text as a match and as a substitution are different expressions.
  EXPECT_EQ(Match("s/a/b/", "s/a/b/"), Strings{"s/a/b/"});
  EXPECT_EQ(RegexSubstitute("a", "s/a/b/").Text, "b");
}

}  // namespace
}  // namespace yume
