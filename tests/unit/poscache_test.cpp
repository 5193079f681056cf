#include "core/poscache.h"

#include <gtest/gtest.h>

#include <string>

using namespace yume;

namespace {
struct TEntry {
  std::string Text;
};
std::unique_ptr<const TEntry> Make(const std::string& text, int& made) {
  ++made;
  return std::make_unique<const TEntry>(TEntry{text});
}
// Asks twice: the first ask only notes the place.
template <class Fn>
const TEntry* Ask(TPositionCache<const TEntry>& cache, uint64_t gen, const void* a, uintptr_t b,
                  Fn&& make) {
  if (const TEntry* e = cache.Get(gen, a, b, make)) return e;
  return cache.Get(gen, a, b, make);
}
}  // namespace

TEST(PositionCache, NothingMadeForAPlaceAskedForOnce) {
  TPositionCache<const TEntry> cache;
  const char text[] = "abc";
  int made = 0;
  EXPECT_EQ(cache.Get(1, text, 0, [&] { return Make("a", made); }), nullptr);
  EXPECT_EQ(made, 0);
  EXPECT_EQ(cache.Get(1, text, 0, [&] { return Make("a", made); })->Text, "a");
  EXPECT_EQ(made, 1);
}

TEST(PositionCache, MadeOncePerPlaceAndGeneration) {
  TPositionCache<const TEntry> cache;
  const char text[] = "abcdef";
  int made = 0;
  const TEntry* a = Ask(cache, 1, text, 0, [&] { return Make("a", made); });
  EXPECT_EQ(cache.Get(1, text, 0, [&] { return Make("again", made); }), a);
  EXPECT_EQ(a->Text, "a");
  // Another place, or the same place with another second key, is another entry.
  const TEntry* b = Ask(cache, 1, text + 1, 0, [&] { return Make("b", made); });
  const TEntry* c = Ask(cache, 1, text, 7, [&] { return Make("c", made); });
  EXPECT_EQ(b->Text, "b");
  EXPECT_EQ(c->Text, "c");
  EXPECT_EQ(made, 3);
  // Nothing made is remembered as nothing.
  EXPECT_EQ(Ask(cache, 1, text + 2, 0, [&] { return std::unique_ptr<const TEntry>(); }), nullptr);
  EXPECT_EQ(cache.Get(1, text + 2, 0, [&] { return Make("never", made); }), nullptr);
  EXPECT_EQ(made, 3);
  // A new generation forgets everything.
  EXPECT_EQ(Ask(cache, 2, text, 0, [&] { return Make("a2", made); })->Text, "a2");
  EXPECT_EQ(made, 4);
}

TEST(PositionCache, GrowsAndKeepsEveryEntry) {
  TPositionCache<const TEntry> cache;
  static char text[5000];
  int made = 0;
  for (int i = 0; i < 5000; ++i)
    Ask(cache, 1, text + i, 0, [&] { return Make(std::to_string(i), made); });
  for (int i = 0; i < 5000; i += 7)
    EXPECT_EQ(cache.Get(1, text + i, 0, [&] { return Make("x", made); })->Text, std::to_string(i));
  EXPECT_EQ(made, 5000);
}

TEST(PositionCache, EntriesInUseOutliveForgetting) {
  TPositionCache<const TEntry> cache;
  const char text[] = "x";
  int made = 0;
  const TEntry* held = nullptr;
  {
    const TPositionUse use;
    held = Ask(cache, 1, text, 0, [&] { return Make("held", made); });
    // Forgotten while in use: the entry stays readable until the use ends.
    Ask(cache, 2, text, 0, [&] { return Make("new", made); });
    EXPECT_EQ(held->Text, "held");
    EXPECT_FALSE(TPositionUse::Idle());
  }
  EXPECT_TRUE(TPositionUse::Idle());
  EXPECT_EQ(cache.Get(2, text, 0, [&] { return Make("never", made); })->Text, "new");
  EXPECT_EQ(made, 2);
}

// The memo in front of a cache answers only for the same place, second key and generation, and
// only while the cache has forgotten nothing since.
TEST(PositionMemo, HoldsOnlyWhileTheCacheKeepsItsEntry) {
  TPositionCache<const TEntry> cache;
  TPositionMemo<const TEntry> memo;
  const char text[] = "abcdef";
  int made = 0;
  const TEntry* a = Ask(cache, 1, text, 3, [&] { return Make("a", made); });
  memo.Remember(cache, 1, text, 3, a);
  EXPECT_EQ(memo.Find(cache, 1, text, 3), a);
  EXPECT_EQ(memo.Find(cache, 1, text, 4), nullptr);
  EXPECT_EQ(memo.Find(cache, 1, text + 1, 3), nullptr);
  // A new generation: not answered, even before the cache has seen it.
  EXPECT_EQ(memo.Find(cache, 2, text, 3), nullptr);
  // The cache forgets (a new generation asked for): the old entry is not answered any more.
  Ask(cache, 2, text + 1, 0, [&] { return Make("b", made); });
  EXPECT_EQ(memo.Find(cache, 1, text, 3), nullptr);
}
