// The index of where a Shift_JIS text's characters start, against walking the text, and the
// value that keeps one beside it.
#include "core/charindex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/hash.h"
#include "core/sjis.h"

using namespace yume;

namespace {

// Where character n starts, walking from the start.
size_t Walked(std::string_view s, size_t n) {
  size_t i = 0;
  for (; n > 0 && i < s.size(); --n) i += CharLen(s, i);
  return i;
}

// A text of single-byte characters, two-byte characters (some with a second byte that is a
// lead byte or 0x5C) and, now and then, a lone lead byte at the very end.
std::string RandomText(std::mt19937& rng, size_t chars, bool wide) {
  std::string s;
  std::uniform_int_distribution<int> pick(0, 9);
  for (size_t k = 0; k < chars; ++k) {
    const int p = wide ? pick(rng) : 0;
    if (p < 5) {
      s += static_cast<char>('a' + k % 26);
    } else if (p < 7) {
      s += "\x95\x5C";  // a character whose second byte is a backslash
    } else if (p < 9) {
      s += "\x82\xA0";
    } else {
      s += "\x88\x88";  // the second byte is a lead byte too
    }
  }
  if (wide && chars % 3 == 0) s += '\x82';
  return s;
}

TEST(CharIndex, FindsWhatWalkingFinds) {
  std::mt19937 rng(7);
  for (size_t chars : {0u, 1u, 63u, 64u, 65u, 200u, 1000u, 4099u}) {
    for (bool wide : {false, true}) {
      const std::string s = RandomText(rng, chars, wide);
      const TCharIndex ix(s);
      ASSERT_EQ(ix.Count(), CountChars(s)) << chars << wide;
      for (size_t n = 0; n <= ix.Count() + 2; ++n) {
        const size_t at = Walked(s, n);
        ASSERT_EQ(ix.Offset(s, n), at) << "n=" << n << " chars=" << chars << " wide=" << wide;
        if (n <= ix.Count()) {
          ASSERT_EQ(ix.CharsBefore(s, at), n) << "n=" << n;
        }
      }
    }
  }
}

TEST(CharIndex, IsDroppedWhenTheValueChanges) {
  THashNode w;
  w.SetValueText(std::string(300, 'a'));
  EXPECT_EQ(w.CharIndex().Count(), 300u);
  w.MutableValue() += "\x82\xA0";
  EXPECT_EQ(w.CharIndex().Count(), 301u);
  w.SetValueText(std::string("\x82\xA0\x82\xA2"));
  EXPECT_EQ(w.CharIndex().Count(), 2u);
  w.SetNumberValue(12345);
  EXPECT_EQ(w.CharIndex().Count(), 5u);
  w.SetCell(1, 0, "xyz");  // the value becomes a table: ",xyz" and its line end
  EXPECT_EQ(w.CharIndex().Count(), CountChars(w.ValueText()));
}

TEST(ValuePin, KeepsTheValueFromBeforeTheFirstWrite) {
  THashNode w;
  w.SetValueText("before");
  TValuePin pin;
  w.Pin(&pin);
  EXPECT_EQ(w.ValueText(), "before");  // reading is no write
  EXPECT_FALSE(pin.Saved);
  w.SetValueText("after");
  EXPECT_TRUE(pin.Saved);
  EXPECT_EQ(pin.Old, "before");
  EXPECT_FALSE(w.Pinned());  // served once
  w.SetValueText("again");
  EXPECT_EQ(pin.Old, "before");

  TValuePin numberPin;
  w.SetNumberValue(42);
  w.Pin(&numberPin);
  w.MutableValue() += "!";
  EXPECT_EQ(numberPin.Old, "42");

  TValuePin endPin;
  {
    THashNode gone;
    gone.SetValueText("last words");
    gone.Pin(&endPin);
  }
  EXPECT_TRUE(endPin.Saved);
  EXPECT_EQ(endPin.Old, "last words");
}

}  // namespace
