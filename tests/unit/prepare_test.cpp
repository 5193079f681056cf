#include "core/prepare.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "core/yumebase.h"

using namespace yume;

namespace {

std::string Prep(std::string text) {
  TYumeBase y;
  PrepareSource(y, text);
  return text;
}

// The error line raised for text, and the line the error names.
std::string PrepError(std::string text, int* line = nullptr) {
  TYumeBase y;
  y.FileName = "dir/a.ymr";
  try {
    PrepareSource(y, text);
  } catch (const EYume& e) {
    if (line) *line = y.Line;
    return e.what();
  }
  return "";
}

}  // namespace

TEST(Prepare, FullWidthOutsideStringsBecomesAscii) {
  EXPECT_EQ(Prep("Ａは、１。\r\n"), "Aは,1;\r\n1:");
  // Inside a string only the brackets change.
  EXPECT_EQ(Prep("「１Ａ、」\r\n"), "\"１Ａ、\"\r\n1:");
  EXPECT_EQ(Prep("『１』"), "`１`");
  // A closing mark of another kind closes the string; "」" alone opens one.
  EXPECT_EQ(Prep("「ab”"), "\"ab\"");
  EXPECT_EQ(Prep("」x」"), "\"x\"");
  EXPECT_EQ(Prep("a≠b"), "a<>b");
}

TEST(Prepare, LineMarkersFollowEveryLineBreakOutsideStrings) {
  EXPECT_EQ(Prep("a\r\nb\r\nc\r\n"), "a\r\n1:b\r\n2:c\r\n3:");
  // A line break inside a string gets no marker, but the count goes on.
  EXPECT_EQ(Prep("\"a\r\nb\"\r\nc\r\n"), "\"a\r\nb\"\r\n2:c\r\n3:");
  // A last line without a break has no marker.
  EXPECT_EQ(Prep("a\r\nb"), "a\r\n1:b");
}

TEST(Prepare, CommentsOfEveryKindDisappear) {
  EXPECT_EQ(Prep("a'comment\r\nb"), "a\r\n1:b");
  EXPECT_EQ(Prep("a※comment\r\nb"), "a\r\n1:b");
  EXPECT_EQ(Prep("a’comment\r\nb"), "a\r\n1:b");
  EXPECT_EQ(Prep("a//comment\r\nb"), "a\r\n1:b");
  EXPECT_EQ(Prep("a/*x\r\ny*/b"), "a\r\n1:b");
  EXPECT_EQ(Prep("a{x\r\ny}b"), "a\r\n1:b");
  // "*/" outside a block comment is dropped too; "/" alone stays.
  EXPECT_EQ(Prep("1*/2/3"), "12/3");
  // Inside strings none of them is a comment.
  EXPECT_EQ(Prep("\"{a}'//\""), "\"{a}'//\"");
  // A quote inside a brace comment opens no string.
  EXPECT_EQ(Prep("{「}x"), "x");
  // Backslashes in comments vanish; in strings they escape the next character.
  EXPECT_EQ(Prep("\"a\\\"b\"c"), "\"a\\\"b\"c");
  EXPECT_EQ(Prep("\"a￥\"b\""), "\"a\\\"b\"");
}

TEST(Prepare, HereDocumentsAndBackquotes) {
  EXPECT_EQ(Prep("@@#abc#x"), "@@#abc#x");
  // Inside a here-document full-width text and comment marks stay.
  EXPECT_EQ(Prep("@@#Ａ'{#Ａ"), "@@#Ａ'{#A");
  // "@@" inside a string is text.
  EXPECT_EQ(Prep("\"@@#\""), "\"@@#\"");
  // A doubled backquote stays a pair and never opens a string.
  EXPECT_EQ(Prep("``Ａ"), "``A");
  EXPECT_EQ(Prep("`a``b`"), "`a``b`");
}

TEST(Prepare, AnUnclosedConstructNamesItsLine) {
  int line = 0;
  std::string e = PrepError("a\r\nb\r\n「open text\r\nmore\r\n", &line);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(e, "[エラー] a.ymr(3行目): 「」または\"\"が対応していません。『open text\r\nmore\r\n』の近く");

  e = PrepError("x\r\n『twenty bytes or more follow here", &line);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(e, "[エラー] a.ymr(2行目): 『』または''''が対応していません。『twenty bytes or more』の近く");

  e = PrepError("{ never closed", &line);
  EXPECT_EQ(line, 1);
  EXPECT_NE(e.find("{ }が対応していません。『 never closed』の近く"), std::string::npos);

  e = PrepError("\r\n\r\n@@%abc", &line);
  EXPECT_EQ(line, 3);
  EXPECT_NE(e.find("@@%...%が対応していません。『%abc』の近く"), std::string::npos);

  // The context never ends inside a two-byte character.
  e = PrepError("「ああああああああああああ");
  EXPECT_NE(e.find("『ああああああああああ』"), std::string::npos);
  // A brace comment is checked before a string.
  e = PrepError("{「");
  EXPECT_NE(e.find("{ }"), std::string::npos);
}

TEST(Prepare, ErrorsDoNotReadScriptTextAsAFormat) {
  std::string e = PrepError("「%s%d%n");
  EXPECT_NE(e.find("『%s%d%n』"), std::string::npos);
}

TEST(CollectLabels, LabelsAtLineStartsOnly) {
  TYumeBase y;
  y.Source = "*始め\r\n  *字下げ(A,B)\r\nA=1*2\r\n\"*文字列\"\r\n";
  PrepareSource(y, y.Source);
  CollectLabels(y, y.Source, "main.ymr");
  THashNode* w = y.Dict.Find("始め", false);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->Kind, wkLabel);
  EXPECT_TRUE(w->Reserved);
  EXPECT_EQ(w->TypeText, "main.ymr");
  // The body starts after the line's marker.
  EXPECT_EQ(std::string(w->RefPos, 4), "  *\x8e");
  THashNode* f = y.Dict.Find("字下げ", false);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Pattern, "A,B");
  EXPECT_EQ(y.Dict.Find("2", false), nullptr);
  EXPECT_EQ(y.Dict.Find("文字列\"", false), nullptr);
  EXPECT_EQ(y.Dict.Count(), 2);
}

TEST(CollectLabels, ADuplicateNameIsRefusedAtItsLine) {
  TYumeBase y;
  y.FileName = "b.ymr";
  y.Source = "*同じ\r\nx\r\n*同じ\r\n";
  PrepareSource(y, y.Source);
  try {
    CollectLabels(y, y.Source, "b.ymr");
    FAIL() << "no error";
  } catch (const EYume& e) {
    EXPECT_STREQ(e.what(),
                 "[エラー] b.ymr(3行目): ラベル\"同じ\"の定義に失敗しました。既に単語として使われています。");
  }
}
