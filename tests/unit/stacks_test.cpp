#include "core/stacks.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/objlist.h"

using namespace yume;

TEST(TStack, EmptyPopsGiveEmptyText) {
  TStack s;
  EXPECT_EQ(s.Pop(), "");
  EXPECT_EQ(s.TakeFront(), "");
  s.Push("a");
  s.Push("b");
  s.Push("c");
  EXPECT_EQ(s.Peek(5), "");
  EXPECT_EQ(s.TakeFront(), "a");
  EXPECT_EQ(s.Pop(), "c");
  s.Insert(0, "z");
  EXPECT_EQ(s.Peek(0), "z");
  EXPECT_EQ(s.Count(), 2u);
}

TEST(TStack, EntriesSetAsideAreOutOfReachUntilPutBack) {
  TStack s;
  s.Push("outer1");
  s.Push("outer2");
  s.SetAside();
  EXPECT_TRUE(s.Empty());
  EXPECT_EQ(s.Pop(), "");  // never reaches below
  EXPECT_EQ(s.TakeFront(), "");
  s.Push("a");
  s.Push("b");
  s.Insert(0, "front");
  EXPECT_EQ(s.Count(), 3u);
  EXPECT_EQ(s.Peek(0), "front");
  EXPECT_EQ(s.Items().size(), 3u);
  EXPECT_EQ(s.TakeFront(), "front");
  EXPECT_EQ(s.Take(1), "b");
  EXPECT_THROW(s.Take(1), std::out_of_range);
  // Nested: a second level inside the first.
  s.SetAside();
  s.Push("inner");
  s.Clear();
  EXPECT_TRUE(s.Empty());
  s.PutBack();
  EXPECT_EQ(s.Count(), 1u);
  EXPECT_EQ(s.Peek(0), "a");
  // What the call left stays on top of the entries put back.
  s.PutBack();
  ASSERT_EQ(s.Count(), 3u);
  EXPECT_EQ(s.Peek(0), "outer1");
  EXPECT_EQ(s.Peek(2), "a");
  s.PutBack();  // nothing set aside: no change
  EXPECT_EQ(s.Count(), 3u);
  s.SetAside();
  s.Reset();
  EXPECT_TRUE(s.Empty());
  s.PutBack();
  EXPECT_TRUE(s.Empty());
}

TEST(TRunControlStack, LevelsSetFramesAside) {
  TRunControlStack r;
  TRunControl f;
  f.Kind = fkCount;
  f.Counter = 7;
  r.Push(f);
  r.PopLevel();  // no level set aside: nothing happens
  EXPECT_EQ(r.Count(), 1u);
  r.PushLevel();
  EXPECT_EQ(r.Count(), 0u);
  f.Counter = 8;
  r.Push(f);
  r.PopLevel();
  ASSERT_EQ(r.Count(), 1u);
  TRunControl out;
  ASSERT_TRUE(r.Get(0, out));
  EXPECT_EQ(out.Counter, 7);
  EXPECT_FALSE(r.Get(1, out));
  r.PushLevel();
  r.Push(f);
  r.ClearAll();
  EXPECT_EQ(r.Count(), 0u);
  EXPECT_EQ(r.LevelCount(), 0u);
  EXPECT_FALSE(r.Pop(out));
}

TEST(TObjList, FindAndBounds) {
  TObjList l;
  auto n = std::make_unique<TObjNode>();
  n->Name = "母艦";
  l.Add(std::move(n));
  EXPECT_EQ(l.IndexOf("母艦"), 0);
  EXPECT_EQ(l.IndexOf("x"), -1);
  EXPECT_TRUE(l.Find("母艦"));
  EXPECT_EQ(l.Get(1), nullptr);
  l.Put(3, std::make_unique<TObjNode>());  // ignored
  EXPECT_EQ(l.Count(), 1u);
}
