// Answer lines (--answers) for the list and the pickers, read the same way by both programs.
#include <gtest/gtest.h>

#include "core/answers.h"
#include "platform/paths.h"
#include "tests/ui/dialog_samples.h"
#include "ui/dialoganswers.h"

using namespace yume;
using yume::testing::Sj;

TEST(DialogAnswers, ListTakesNumbersItemsOrTypedText) {
  const std::vector<std::string> items = {"a", "b", Sj("ソ")};
  EXPECT_EQ(ListAnswer("2", items, false), "b");
  EXPECT_EQ(ListAnswer(Sj("ソ"), items, false), Sj("ソ"));
  EXPECT_EQ(ListAnswer("", items, false), "a");  // nothing typed: OK takes the first item
  EXPECT_EQ(ListAnswer("", items, true), "a");
  EXPECT_EQ(ListAnswer("zzz", items, true), "zzz");
  EXPECT_EQ(ListAnswer("4", items, true), "4");  // out of range: typed text
  EXPECT_EQ(ListAnswer("zzz", items, false), std::nullopt);
  EXPECT_EQ(ListAnswer("x", {}, false), "x");  // an empty list takes anything
}

TEST(DialogAnswers, PathsAreMadeAbsolute) {
  const std::string here = ExpandFileName("x");
  const std::string folder = here.substr(0, here.size() - 1);  // ends in "/"
  EXPECT_EQ(OpenFilesAnswer("/tmp/a.txt| b.txt |", ""),
            (std::vector<std::string>{"/tmp/a.txt", folder + "b.txt"}));
  EXPECT_EQ(OpenFilesAnswer("", Sj("初期.txt")),
            (std::vector<std::string>{folder + Sj("初期.txt")}));
  EXPECT_TRUE(OpenFilesAnswer(" | ", "").empty());

  EXPECT_EQ(SaveFileAnswer("/tmp/new", "", "txt"), "/tmp/new.txt");
  EXPECT_EQ(SaveFileAnswer("/tmp/new.csv", "", "txt"), "/tmp/new.csv");
  EXPECT_EQ(SaveFileAnswer("", "memo", ""), folder + "memo");
  EXPECT_EQ(SaveFileAnswer("  ", "", "txt"), std::nullopt);

  EXPECT_EQ(FolderAnswer("/tmp/dir", "/start"), "/tmp/dir");
  EXPECT_EQ(FolderAnswer(" ", "/start"), "/start");
}

TEST(DialogAnswers, ItemValuesRowByRow) {
  const std::vector<std::string> keys = {"a", Sj("表"), "c"};
  EXPECT_EQ(ItemValues("a=1\r\n" + Sj("表") + "=x=y\r\nc=\r\n", keys),
            (std::vector<std::string>{"1", "x=y", ""}));
  EXPECT_EQ(ItemValues("a=1\r\n", keys), (std::vector<std::string>{"1", "", ""}));
}

TEST(DialogAnswers, FileFilters) {
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(ParseFileFilter("Text|*.txt;*.log|All|*.*"),
            (std::vector<P>{{"Text", "*.txt;*.log"}, {"All", "*.*"}}));
  // "−" is 81 7C: its second byte is no bar.
  EXPECT_EQ(ParseFileFilter("\x81\x7c|*.a"), (std::vector<P>{{"\x81\x7c", "*.a"}}));
  EXPECT_EQ(ParseFileFilter("Lonely"), (std::vector<P>{{"Lonely", "*"}}));
  EXPECT_TRUE(ParseFileFilter("").empty());
}
