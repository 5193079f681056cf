// Answer lines (--answers) as each dialog reads them: keywords, numbers, colours, fonts, and
// CP932 text whose second bytes look like "|" or "\".
#include <gtest/gtest.h>

#include "core/sjis.h"
#include "ui/dialoganswers.h"

using namespace yume;

namespace {

std::string Sj(const char* utf8) {
  return Utf8ToCp932(utf8);
}

// "−" (81 7C) and "表" (95 5C): a bar and a backslash as second bytes.
const std::string kBarTrail = "\x81\x7c";
const std::string kBackslashTrail = "\x95\x5c";

}  // namespace

TEST(DialogAnswers, YesNoKeywords) {
  for (const char* yes : {"はい", "y", "1"}) EXPECT_EQ(YesNoAnswer(Sj(yes), true), 1) << yes;
  for (const char* no : {"いいえ", "n", "0", "", "whatever"})
    EXPECT_EQ(YesNoAnswer(Sj(no), true), 0) << no;
  for (const char* cancel : {"キャンセル", "c", "2"}) {
    EXPECT_EQ(YesNoAnswer(Sj(cancel), true), 2) << cancel;
    EXPECT_EQ(YesNoAnswer(Sj(cancel), false), 0) << cancel;  // two buttons: taken as No
  }
}

TEST(DialogAnswers, ListPicksByNumberOrText) {
  const std::vector<std::string> items = {"a", "b", Sj("ソ")};
  EXPECT_EQ(ListAnswerIndex("2", items), 1);
  EXPECT_EQ(ListAnswerIndex(Sj("ソ"), items), 2);
  EXPECT_EQ(ListAnswerIndex("4", items), -1);  // out of range: not a number of an item
  EXPECT_EQ(ListAnswerIndex("0", items), -1);
  EXPECT_EQ(ListAnswer("3", items, false), Sj("ソ"));
  EXPECT_EQ(ListAnswer("zzz", items, true), "zzz");
  EXPECT_EQ(ListAnswer("zzz", items, false), "a");
  EXPECT_EQ(ListAnswer("", items, true), "a");  // nothing typed: OK takes the first item
  EXPECT_EQ(ListAnswer("x", {}, false), "x");
}

TEST(DialogAnswers, ButtonsByCaptionThenNumber) {
  const std::vector<std::string> captions = {"2", "yes", "no"};
  EXPECT_EQ(ButtonAnswerIndex("2", captions), 0);  // a caption wins over a number
  EXPECT_EQ(ButtonAnswerIndex("3", captions), 2);
  EXPECT_EQ(ButtonAnswerIndex("no", captions), 2);
  EXPECT_EQ(ButtonAnswerIndex("maybe", captions), 0);
  EXPECT_EQ(ButtonAnswerIndex("1", {}), -1);
}

TEST(DialogAnswers, MultiLineKeepsSecondBytes) {
  EXPECT_EQ(MultiLineAnswer("a\\nb\\n"), "a\r\nb\r\n");
  // "表n" holds 5C 6E across a character boundary: no line break there.
  EXPECT_EQ(MultiLineAnswer(kBackslashTrail + "n\\nx"), kBackslashTrail + "n\r\nx");
  EXPECT_EQ(MultiLineAnswer("plain"), "plain");
}

TEST(DialogAnswers, ItemRowsTakeGivenKeysOnly) {
  TItemList items;
  for (const auto& [k, v] :
       {std::pair{std::string("name"), "old"}, {"age", "3"}, {Sj("表"), "x"}}) {
    TItemRow row;
    row.Key = k;
    row.Value = v;
    items.Rows.push_back(row);
  }
  ApplyItemAnswer("age=42\\n" + kBackslashTrail + "=y=z\\nnope=1\\nnoequals", items);
  EXPECT_EQ(items.Rows[0].Value, "old");
  EXPECT_EQ(items.Rows[1].Value, "42");
  EXPECT_EQ(items.Rows[2].Value, "y=z");  // split at the first "=" only
  EXPECT_EQ(JoinItemRows(items), "name=old\r\nage=42\r\n" + kBackslashTrail + "=y=z\r\n");
}

TEST(DialogAnswers, ColoursKeepRedLow) {
  uint32_t c = 0;
  ASSERT_TRUE(ColorAnswer("#FF8000", c));
  EXPECT_EQ(c, 0x0080FFu);
  ASSERT_TRUE(ColorAnswer("$123456", c));
  EXPECT_EQ(c, 0x123456u);
  ASSERT_TRUE(ColorAnswer("255", c));
  EXPECT_EQ(c, 255u);
  for (const char* bad : {"", "#12345", "#GGGGGG", "$", "12x", "-1", "99999999999"})
    EXPECT_FALSE(ColorAnswer(bad, c)) << bad;
}

TEST(DialogAnswers, FontsInTheScriptsNotation) {
  TDialogFont f;
  f.Color = 0x112233;
  ASSERT_TRUE(FontAnswer(Sj("ＭＳ ゴシック|太字下線|14"), f));
  EXPECT_EQ(f.Name, Sj("ＭＳ ゴシック"));
  EXPECT_TRUE(f.Bold);
  EXPECT_FALSE(f.Italic);
  EXPECT_TRUE(f.Underline);
  EXPECT_EQ(f.Size, 14);
  EXPECT_EQ(f.Color, 0x112233u);

  ASSERT_TRUE(FontAnswer("Sans||10", f));  // no styles: two bars
  EXPECT_FALSE(f.Bold || f.Italic || f.Underline);
  EXPECT_EQ(f.Size, 10);
  ASSERT_TRUE(FontAnswer(Sj("Serif|斜体"), f));
  EXPECT_TRUE(f.Italic);
  EXPECT_EQ(f.Size, 10);  // no size given: kept

  ASSERT_TRUE(FontAnswer(kBarTrail + "|12", f));  // the bar inside the name is a second byte
  EXPECT_EQ(f.Name, kBarTrail);
  EXPECT_FALSE(FontAnswer("|12", f));
  EXPECT_FALSE(FontAnswer("Sans|0", f));
}

TEST(DialogAnswers, BarsAndFilters) {
  EXPECT_EQ(SplitBars("a|" + kBarTrail + "||b|"), (std::vector<std::string>{"a", kBarTrail, "b"}));
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(ParseFileFilter("Text|*.txt;*.log|All|*.*"),
            (std::vector<P>{{"Text", "*.txt;*.log"}, {"All", "*.*"}}));
  EXPECT_EQ(ParseFileFilter("Lonely"), (std::vector<P>{{"Lonely", "*"}}));
  EXPECT_TRUE(ParseFileFilter("").empty());
}
