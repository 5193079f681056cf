// Preparing what dialogs show and reading typed answers.
#include "commands/ui/dialogtext.h"

#include <gtest/gtest.h>

#include "core/answers.h"

using namespace yume;

TEST(DialogText, CutMessageNeverSplitsACharacter) {
  EXPECT_EQ(CutMessage("abc"), "abc");
  const std::string plain(5000, 'x');
  EXPECT_EQ(CutMessage(plain), std::string(4095, 'x') + "...");
  // 4094 bytes, then a two-byte character that would end at byte 4096: it is left out.
  const std::string wide = std::string(4094, 'x') + "表表";
  EXPECT_EQ(CutMessage(wide), std::string(4094, 'x') + "...");
}

TEST(DialogText, TabsAndLineBreaks) {
  EXPECT_EQ(ExpandTabs("a\tb", 8), "a       b");
  EXPECT_EQ(ExpandTabs("表\tx", 4), "表  x");  // a two-byte character takes two columns
  EXPECT_EQ(ExpandTabs("1\r\n2\n\r3\r\r4\n\n5", 8), "1\r\n2\r\n3\r\n4\r\n5");
  EXPECT_EQ(ExpandTabs("\t", 0), std::string(8, ' '));
}

TEST(DialogText, ChoicesStepOverSecondBytes) {
  // ポ is 83 7C: its second byte is "|", which must not split it.
  const std::vector<std::string> items = ListChoices("ポン酢｜みかん|りんご");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], "ポン酢");
  EXPECT_EQ(items[2], "りんご");
  EXPECT_TRUE(ListChoices("").empty());
  std::string many;
  for (int i = 0; i < 60; ++i) many += "b" + std::to_string(i) + "\r\n";
  EXPECT_EQ(ButtonChoices("  " + many).size(), 50u);
}

TEST(DialogText, FiltersAndDefaultExtension) {
  EXPECT_EQ(FileFilter("txt"), "txt 形式(*.txt)|*.txt|全て(*.*)|*.*");
  EXPECT_EQ(FileFilter(".csv"), "csv 形式(*.csv)|*.csv|全て(*.*)|*.*");
  EXPECT_EQ(FileFilter("画像|*.png"), "画像|*.png");
  EXPECT_EQ(DefaultExtension(FileFilter("txt")), "txt");
  EXPECT_EQ(DefaultExtension("all"), "");
}

TEST(DialogText, ItemListKindsAndTitles) {
  const TItemList l =
      ParseItemList(";名前=内容\r\n色=?(赤|青)青\r\n数=?e5\r\n絵=?f(*.png)a.png\r\n素=そのまま\r\n");
  EXPECT_EQ(l.KeyTitle, "名前");
  EXPECT_EQ(l.ValueTitle, "内容");
  ASSERT_EQ(l.Rows.size(), 4u);
  EXPECT_EQ(l.Rows[0].Kind, TItemRow::PickList);
  EXPECT_EQ(l.Rows[0].Choices, (std::vector<std::string>{"赤", "青"}));
  EXPECT_EQ(l.Rows[0].Value, "青");
  EXPECT_EQ(l.Rows[1].Kind, TItemRow::Number);
  EXPECT_EQ(l.Rows[1].Value, "5");
  EXPECT_EQ(l.Rows[2].Kind, TItemRow::File);
  EXPECT_EQ(l.Rows[2].Filter, "*.png");
  EXPECT_EQ(l.Rows[2].Value, "a.png");
  EXPECT_EQ(l.Rows[3].Kind, TItemRow::Plain);
  EXPECT_EQ(ParseItemList("a=1").KeyTitle, "項目");
}

TEST(DialogText, FontSpecificationBothWays) {
  TDialogFont f;
  f.Name = "ゴシック";
  f.Size = 12;
  EXPECT_EQ(FontSpecText(f), "ゴシック||12");
  f.Bold = f.Italic = true;
  EXPECT_EQ(FontSpecText(f), "ゴシック|太字斜体|12");
  const TDialogFont d = DrawingFont("明朝｜ボールド下線｜", "14", "255");
  EXPECT_EQ(d.Name, "明朝");
  EXPECT_TRUE(d.Bold);
  EXPECT_FALSE(d.Italic);
  EXPECT_TRUE(d.Underline);
  EXPECT_EQ(d.Size, 14);  // no size in 文字書体: 文字サイズ
  EXPECT_EQ(d.Color, 255u);
  EXPECT_EQ(DrawingFont("", "x", "0").Size, 12);
}

TEST(Answers, YesNoAndChoices) {
  EXPECT_EQ(YesNoAnswer("はい", false), 1);
  EXPECT_EQ(YesNoAnswer(" N ", false), 0);
  // セ (83 5A) ends in the byte of "Z": lower-casing must not touch it.
  EXPECT_EQ(YesNoAnswer("キャンセル", true), 2);
  EXPECT_FALSE(YesNoAnswer("キャンセル", false).has_value());
  EXPECT_FALSE(YesNoAnswer("maybe", true).has_value());
  const std::vector<std::string> items{"りんご", "みかん"};
  EXPECT_EQ(ChoiceAnswer("2", items, false), "みかん");
  EXPECT_EQ(ChoiceAnswer("りんご", items, false), "りんご");
  EXPECT_FALSE(ChoiceAnswer("3", items, false).has_value());
  EXPECT_EQ(ChoiceAnswer("3", items, true), "3");
}

TEST(Answers, MultiLineColourFontFiles) {
  // 表 ends in the byte of "\": it is no escape.
  EXPECT_EQ(MultiLineAnswer("a\\nb表n\\\\"), "a\r\nb表n\\");
  EXPECT_EQ(ColorAnswer("#FF0000"), 255u);
  EXPECT_EQ(ColorAnswer("$FF00"), 0xFF00u);
  EXPECT_FALSE(ColorAnswer("red").has_value());
  const auto f = FontAnswer("明朝|斜体|20");
  ASSERT_TRUE(f.has_value());
  EXPECT_TRUE(f->Italic);
  EXPECT_EQ(f->Size, 20);
  EXPECT_FALSE(FontAnswer("").has_value());
  EXPECT_EQ(FilesAnswer(" a | b |"), (std::vector<std::string>{"a", "b"}));
  TItemList l;
  l.Rows.push_back({"a", "1"});
  l.Rows.push_back({"b", "2"});
  EXPECT_EQ(ItemsAnswer("b=3\\nc=4", l), "a=1\r\nb=3\r\n");
}
