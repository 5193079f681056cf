// The table form a word keeps of its value.
#include <gtest/gtest.h>

#include "core/hash.h"
#include "table/csvdb.h"

namespace yume {
namespace {

std::unique_ptr<THashNode> Var(const std::string& value) {
  return THashNode::MakeVariable("v", false, 0, value);
}

TEST(HashNodeTable, FirstElementAccessMakesTheTableTheValue) {
  auto w = Var("x, y\r\n\"z\"");
  EXPECT_EQ(w->Table(), nullptr);
  EXPECT_EQ(w->ValueText(), "x, y\r\n\"z\"");
  EXPECT_EQ(w->GetCell(1, 0), "y");
  ASSERT_NE(w->Table(), nullptr);
  // From now on the value reads as the table written back.
  EXPECT_EQ(w->ValueText(), "x,y\r\nz\r\n");
  EXPECT_EQ(w->GetCell(5, 5), "");
  EXPECT_EQ(w->GetRow(1), "z");
  EXPECT_EQ(w->GetRow(7), "");
}

TEST(HashNodeTable, ElementWritesGrowTheTable) {
  auto w = Var("");
  w->SetCell(0, 1, "x");
  EXPECT_EQ(w->ValueText(), "\r\nx\r\n");
  w->SetCell(2, 1, "a,b");
  EXPECT_EQ(w->ValueText(), "\r\nx,,\"a,b\"\r\n");
  w->SetRow(0, "p,q");
  w->SetRow(3, "r");
  EXPECT_EQ(w->ValueText(), "p,q\r\nx,,\"a,b\"\r\n\r\nr\r\n");
  EXPECT_EQ(w->GetCell(1, 0), "q");
  w->SetCell(-1, 0, "ignored");
  EXPECT_EQ(w->GetRow(0), "p,q");
}

TEST(HashNodeTable, LinesOfAnArray) {
  auto w = Var("one\r\ntwo\r\nthree");
  EXPECT_EQ(w->GetRow(1), "two");
  EXPECT_EQ(w->GetRow(5), "");
}

TEST(HashNodeTable, ReplacingTheTextDropsTheTable) {
  auto w = Var("1,2");
  EXPECT_EQ(w->GetCell(0, 0), "1");
  w->SetValueText("3,4");
  EXPECT_EQ(w->Table(), nullptr);
  EXPECT_EQ(w->ValueText(), "3,4");
  EXPECT_EQ(w->GetCell(1, 0), "4");

  // Appending in place starts from the rendered text and leaves plain text.
  w->SetCell(0, 1, "5");
  w->MutableValue() += "tail";
  EXPECT_EQ(w->Table(), nullptr);
  EXPECT_EQ(w->ValueText(), "3,4\r\n5\r\ntail");
}

TEST(HashNodeTable, CopiesNeverShareTheTable) {
  auto a = Var("1,2");
  a->SetCell(2, 0, "3");
  a->TypeText = "s";
  auto b = Var("old");
  b->GetCell(0, 0);
  b->Assign(*a);
  EXPECT_EQ(b->Table(), nullptr);
  EXPECT_EQ(b->ValueText(), "1,2,3\r\n");
  a->SetCell(0, 0, "changed");
  EXPECT_EQ(b->GetCell(0, 0), "1");
  b->SetCell(1, 0, "mine");
  EXPECT_EQ(a->GetCell(1, 0), "2");
}

TEST(HashNodeTable, ReplaceTableCopiesDeeply) {
  TCsvDb source;
  source.SetCsvText("a,b\r\nc");
  auto w = Var("ignored");
  w->ReplaceTable(source);
  source.SetCell(0, 0, "changed");
  EXPECT_EQ(w->ValueText(), "a,b\r\nc\r\n");
  EXPECT_EQ(w->GetCell(0, 1), "c");
}

TEST(HashNodeTable, TypeAndDictionaryText) {
  auto w = Var("12");
  w->InferType();
  EXPECT_EQ(w->TypeText, "e");
  w->GetCell(0, 0);
  w->InferType();
  EXPECT_EQ(w->TypeText, "s");  // a table form is text

  THash h;
  auto t = THashNode::MakeVariable("t", false, 0, "");
  THashNode* word = t.get();
  h.Add(std::move(t));
  word->SetCell(1, 0, "x");
  EXPECT_EQ(h.ValueText("t", false), ",x\r\n");
  EXPECT_EQ(h.PairsText(), "t=,x");
}

}  // namespace
}  // namespace yume
