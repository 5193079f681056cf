#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/number.h"
#include "core/sjis.h"
#include "table/csvdb.h"
#include "table/tableops.h"
#include "table/wildcard.h"

namespace yume {
namespace {

using Lines = std::vector<std::string>;

TCsvDb Read(std::string_view text) {
  TCsvDb db;
  db.SetCsvText(text);
  return db;
}

Lines Strings(const std::vector<std::string_view>& views) {
  return Lines(views.begin(), views.end());
}

Lines SortedCollated(Lines in) {
  std::vector<std::string_view> views(in.begin(), in.end());
  SortLinesCollated(views);
  return Strings(views);
}

Lines SortedByNumber(Lines in) {
  std::vector<std::string_view> views(in.begin(), in.end());
  SortLinesByNumber(views);
  return Strings(views);
}

// ---- arrays ----

TEST(TableLines, SplitAtEveryKindOfBreak) {
  EXPECT_EQ(Strings(SplitLines("")), Lines{});
  EXPECT_EQ(Strings(SplitLines("a")), Lines{"a"});
  EXPECT_EQ(Strings(SplitLines("a\r\n")), Lines{"a"});
  EXPECT_EQ(Strings(SplitLines("a\r\nb\rc\nd")), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(Strings(SplitLines("\r\n\r\n")), (Lines{"", ""}));
  EXPECT_EQ(Strings(SplitLines("a\n\rb")), (Lines{"a", "", "b"}));  // LF CR is two breaks
  EXPECT_EQ(JoinLines(SplitLines("a\rb\n")), "a\r\nb\r\n");
  EXPECT_EQ(JoinLines({}), "");
}

TEST(TableLines, SplitMatchesAPlainScanAcrossBlockEdges) {
  // Breaks of every kind at every offset, CR LF pairs cut by the 16-byte steps included.
  std::mt19937 rng(5);
  const char alphabet[] = {'a', '\r', '\n', '\x95', '\\'};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const size_t length = rng() % 70;
    for (size_t k = 0; k < length; ++k) text += alphabet[rng() % 5];
    Lines expected;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\r' && text[i] != '\n') continue;
      expected.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (start < text.size()) expected.push_back(text.substr(start));
    EXPECT_EQ(Strings(SplitLines(text)), expected) << round;
  }
}

TEST(TableLines, CollatedOrderIgnoresCaseAndKeepsTies) {
  EXPECT_EQ(SortedCollated({"b", "B", "a", "C", "A"}), (Lines{"a", "A", "b", "B", "C"}));
  EXPECT_EQ(SortedCollated({"Apple", "apple", "APPLE", "apples"}),
            (Lines{"Apple", "apple", "APPLE", "apples"}));
  // Full-width letters fold too, and sort after ASCII.
  EXPECT_EQ(SortedCollated({"ｂ", "Ａ", "b", "ａ"}), (Lines{"b", "Ａ", "ａ", "ｂ"}));
  // Hiragana, katakana, kanji, then half-width katakana (by their UTF-16 codes).
  EXPECT_EQ(SortedCollated({"ｱ", "漢", "ア", "あ", "1"}), (Lines{"1", "あ", "ア", "漢", "ｱ"}));
  // Keys that agree on their first sixteen bytes are compared on.
  EXPECT_EQ(SortedCollated({"abcdefghijklmnopZ", "ABCDEFGHIJKLMNOPy", "abcdefghijklmnop"}),
            (Lines{"abcdefghijklmnop", "ABCDEFGHIJKLMNOPy", "abcdefghijklmnopZ"}));
  EXPECT_EQ(SortedCollated({}), Lines{});
  EXPECT_EQ(SortedCollated({""}), Lines{""});
}

TEST(TableLines, CollatedOrderOfManyLinesMatchesAStableSort) {
  // Enough lines for the radix passes, with many equal keys in different cases.
  std::mt19937 rng(9);
  const std::vector<std::string> pieces = {"a", "B", "b", "z", "あ", "表", "ソ", "0", " ", "Ｚ"};
  Lines lines;
  for (int k = 0; k < 5000; ++k) {
    std::string line;
    const size_t n = rng() % 12;
    for (size_t i = 0; i < n; ++i) line += pieces[rng() % pieces.size()];
    lines.push_back(line);
  }
  // Runs that agree on more than sixteen bytes, ties among them.
  for (int k = 0; k < 300; ++k)
    lines.push_back("ABCDEFGHIJKLMNOPQRST" + pieces[rng() % pieces.size()] + (k % 3 ? "x" : ""));
  std::shuffle(lines.begin(), lines.end(), rng);
  // The reference: fold, compare as UTF-8 (the order of the UTF-16 units), stable.
  auto key = [](const std::string& s) {
    std::string k;
    for (size_t i = 0; i < s.size(); ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (c >= 0x80) {
        std::string ch = s.substr(i, 2);
        if (ch == "Ｚ") ch = "ｚ";
        k += Cp932ToUtf8(ch);
        ++i;
      } else {
        k += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      }
    }
    return k;
  };
  Lines expected = lines;
  std::stable_sort(expected.begin(), expected.end(),
                   [&](const std::string& a, const std::string& b) { return key(a) < key(b); });
  EXPECT_EQ(SortedCollated(lines), expected);
}

TEST(TableLines, NumberOrderComparesTheNumbers) {
  // Differences below 1 still order; numbers far apart do not overflow anything.
  EXPECT_EQ(SortedByNumber({"1.9", "1.2", "1.5"}), (Lines{"1.2", "1.5", "1.9"}));
  EXPECT_EQ(SortedByNumber({"1.5e300", "-1.5e300", "3000000000", "-3000000000", "0"}),
            (Lines{"-1.5e300", "-3000000000", "0", "3000000000", "1.5e300"}));
  // Equal numbers keep their order; what is no number reads as 0.
  EXPECT_EQ(SortedByNumber({"01", "x", "1", "0", "1.0", "-0"}),
            (Lines{"x", "0", "-0", "01", "1", "1.0"}));
  EXPECT_EQ(SortedByNumber({"１０", "9", "-2.5"}), (Lines{"-2.5", "9", "１０"}));
}

TEST(TableLines, PickupKeepsWholeLines) {
  const std::string text = "name\r\nアイス\r\nAB\r\nゼロ\r\nxAx";
  // "A" (41) is the second byte of ア but is only found where a character starts.
  EXPECT_EQ(PickupLines(text, "A", false), "AB\r\nxAx\r\n");
  EXPECT_EQ(PickupLines(text, "?A?", false), "xAx\r\n");
  EXPECT_EQ(PickupLines(text, "*e", false), "name\r\n");
  EXPECT_EQ(PickupLines(text, "*e", true), "");
  // ゼ ends in "[", which must not make the key a pattern.
  EXPECT_FALSE(IsWildKey("ゼ"));
  EXPECT_TRUE(IsWildKey("a[b]"));
  EXPECT_EQ(PickupLines(text, "ゼ", false), "ゼロ\r\n");
  EXPECT_EQ(PickupLines(text, "", false), "");
}

// ---- picking rows ----

TEST(TablePickup, FieldNamesContainsExactAndPatterns) {
  const TCsvDb db = Read("名前,値\r\n山田太郎,1\r\n田中,2\r\n山田,3\r\nアイ\r\n");
  auto text = [&](std::string_view key, int col, bool exact, bool names) {
    return RowsCsvText(db, PickupRows(db, col, key, exact, names));
  };
  EXPECT_EQ(text("山田", 0, false, true), "名前,値\r\n山田太郎,1\r\n山田,3\r\n");
  EXPECT_EQ(text("山田", 0, true, true), "名前,値\r\n山田,3\r\n");
  EXPECT_EQ(text("山田*", 0, true, false), "山田太郎,1\r\n山田,3\r\n");
  // Without field names row 0 is data; a short row reads its missing cell as empty.
  EXPECT_EQ(text("値", 1, false, false), "名前,値\r\n");
  EXPECT_EQ(text("*", 1, true, false), "名前,値\r\n山田太郎,1\r\n田中,2\r\n山田,3\r\nアイ\r\n");
  EXPECT_EQ(text("A", 0, false, false), "");
  EXPECT_EQ(text("x", 0, false, true), "名前,値\r\n");
  EXPECT_THROW(PickupRows(db, 0, "[\\x]", false, false), EWildcard);

  const TCsvDb copy = RowsTable(db, PickupRows(db, 0, "田", false, true));
  EXPECT_EQ(copy.GetCsvText(), "名前,値\r\n山田太郎,1\r\n田中,2\r\n山田,3\r\n");
}

// ---- the condition language ----

std::string Select(const TCsvDb& db, std::string_view condition) {
  return RowsCsvText(db, SelectRows(db, PrepareCondition(condition)));
}

std::string SelectError(const TCsvDb& db, std::string_view condition) {
  try {
    Select(db, condition);
  } catch (const ESelect& e) {
    return e.what();
  }
  return "no error";
}

const char kGoods[] =
    "名前,価格,在庫,日付\r\n"
    "りんご,120,5,2004/05/01\r\n"
    "みかん,80,0,2004/04/01\r\n"
    "メロン,1000,2,2004/06/15\r\n"
    "Banana,100,0,not a date\r\n";

TEST(TableSelect, AndOrWithoutPrecedence) {
  const TCsvDb db = Read(kGoods);
  EXPECT_EQ(Select(db, "価格>=100 AND 在庫>0"),
            "名前,価格,在庫,日付\r\nりんご,120,5,2004/05/01\r\nメロン,1000,2,2004/06/15\r\n");
  // Terms one after another, or "," between them, are alternatives.
  const std::string either =
      "名前,価格,在庫,日付\r\nりんご,120,5,2004/05/01\r\nメロン,1000,2,2004/06/15\r\n"
      "Banana,100,0,not a date\r\n";
  EXPECT_EQ(Select(db, "価格>=100,在庫>0"), either);
  EXPECT_EQ(Select(db, "価格>=100 在庫>0"), either);
  // AND takes everything to its right: A AND B OR C is A AND (B OR C).
  EXPECT_EQ(Select(db, "在庫=0 AND 価格<90 OR 価格>900"),
            "名前,価格,在庫,日付\r\nみかん,80,0,2004/04/01\r\n");
  EXPECT_EQ(Select(db, "(在庫=0 AND 価格<90) OR 価格>900"),
            "名前,価格,在庫,日付\r\nみかん,80,0,2004/04/01\r\nメロン,1000,2,2004/06/15\r\n");
  // Written in Japanese, and lower case.
  EXPECT_EQ(Select(db, "在庫=0 かつ 価格<90"), "名前,価格,在庫,日付\r\nみかん,80,0,2004/04/01\r\n");
  EXPECT_EQ(Select(db, "価格<90 または 価格>900"), Select(db, "価格<90 or 価格>900"));
  EXPECT_EQ(Select(db, "価格>5000"), "名前,価格,在庫,日付\r\n");
  EXPECT_EQ(Select(db, "  "), "");
}

TEST(TableSelect, OperatorsAndValues) {
  const TCsvDb db = Read(kGoods);
  auto names = [&](std::string_view condition) {
    std::string out;
    for (int r : SelectRows(db, PrepareCondition(condition)))
      out += std::string(db.GetCell(0, r)) + ";";
    return out;
  };
  EXPECT_EQ(names("価格=120"), "名前;りんご;");
  EXPECT_EQ(names("価格==120"), names("価格=120"));
  EXPECT_EQ(names("価格<>120"), "名前;みかん;メロン;Banana;");
  EXPECT_EQ(names("価格><120"), names("価格<>120"));
  EXPECT_EQ(names("価格=>120"), "名前;りんご;メロン;");
  EXPECT_EQ(names("価格=<100"), "名前;みかん;Banana;");
  EXPECT_EQ(names("価格 >= \t 1000"), "名前;メロン;");
  // Text: a mask match without case for "=", bytes for the orderings.
  EXPECT_EQ(names("名前=\"ban*\""), "名前;Banana;");
  EXPECT_EQ(names("名前=`B?nana`"), "名前;Banana;");
  EXPECT_EQ(names("名前<>\"*ん*\""), "名前;メロン;Banana;");
  EXPECT_EQ(names("名前<\"C\""), "名前;Banana;");
  EXPECT_EQ(names("名前=「りんご」"), "名前;りんご;");
  // Dates: a cell that is no date is never selected; a value that is no date selects nothing.
  EXPECT_EQ(names("日付>=#2004/05/01"), "名前;りんご;メロン;");
  EXPECT_EQ(names("日付<#2004/5/1#"), "名前;みかん;");
  EXPECT_EQ(names("日付=#someday"), "名前;");
}

TEST(TableSelect, HalfWidthOnlyForComparing) {
  // The condition and the cells are compared in half-width form; the rows come back as they
  // were, and a full-width comma inside a cell stays inside it.
  const TCsvDb db = Read("ＩＤ,名前\r\n１,Ａ，Ｂ\r\n2,C\r\n");
  EXPECT_EQ(Select(db, "ＩＤ＝１"), "ＩＤ,名前\r\n１,Ａ，Ｂ\r\n");
  EXPECT_EQ(Select(db, "ID<2"), "ＩＤ,名前\r\n１,Ａ，Ｂ\r\n");
  EXPECT_EQ(Select(db, "名前=\"*Ｂ\""), "ＩＤ,名前\r\n１,Ａ，Ｂ\r\n");
}

TEST(TableSelect, Errors) {
  const TCsvDb db = Read(kGoods);
  EXPECT_EQ(SelectError(db, "重さ>1"), "フィールド名\"重さ\"が見つかりません。");
  EXPECT_EQ(SelectError(db, "価格"), "演算子の指定エラー。");
  EXPECT_EQ(SelectError(db, "価格=>>1"), "演算子の指定エラー。");
  EXPECT_EQ(SelectError(db, "(価格>1"), "\")\"が対応していません。");
  // "," in a condition is a blank, and a value ends at a blank: what follows is a new term.
  EXPECT_EQ(SelectError(db, "名前=\"a,b\""), "フィールド名\"b\"\"が見つかりません。");
  // Parentheses inside quotes do not count; a backslash in "..." takes the next character,
  // but the second byte of 表 is no backslash.
  EXPECT_EQ(SelectError(db, "(名前=\"(\" OR 名前=\"\\\")\")"), "no error");
  EXPECT_EQ(SelectError(db, "(名前=\"表\")"), "no error");
  EXPECT_EQ(SelectError(db, "(名前='(')"), "no error");
}

TEST(TableSelect, MaskMatch) {
  EXPECT_TRUE(MaskMatch("Banana", "BAN*"));
  EXPECT_TRUE(MaskMatch("abc", "a?c"));
  EXPECT_TRUE(MaskMatch("ab", "ab?"));  // "?" may stand for nothing at the end
  EXPECT_FALSE(MaskMatch("ab", "ab?c"));
  EXPECT_FALSE(MaskMatch("abc", "ab"));
  EXPECT_TRUE(MaskMatch("", "*"));
  EXPECT_TRUE(MaskMatch("山田太郎", "山田*"));
  EXPECT_TRUE(MaskMatch("山田", "?田"));
  EXPECT_FALSE(MaskMatch("ソ", "?\\"));  // ソ is one character
  EXPECT_TRUE(MaskMatch("a*b", "a*b"));
  // Many stars against a long text that does not match finish at once.
  const std::string text(3000, 'a');
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  EXPECT_FALSE(MaskMatch(text, "*a*a*a*a*a*a*a*a*b"));
  clock_gettime(CLOCK_MONOTONIC, &end);
  EXPECT_LT(end.tv_sec - start.tv_sec, 2);
}

// ---- joining ----

TEST(TableJoin, FieldNamesOnAndOff) {
  TCsvDb a = Read("id,name\r\n1,apple\r\n2,pear\r\n3,fig\r\n");
  const TCsvDb b = Read("key,price,stock\r\n2,80,5\r\n1,120,0\r\n1,999,9\r\n");
  JoinByKey(a, 0, b, 0, true);
  EXPECT_EQ(a.GetCsvText(), "id,name,price,stock\r\n1,apple,120,0\r\n2,pear,80,5\r\n3,fig\r\n");

  // Without field names row 0 is data on both sides and joins like any other.
  TCsvDb plain = Read("1,apple\r\n2,pear\r\n");
  const TCsvDb prices = Read("1,120\r\n2,80\r\n");
  JoinByKey(plain, 0, prices, 0, false);
  EXPECT_EQ(plain.GetCsvText(), "1,apple,120\r\n2,pear,80\r\n");

  // With field names a key found only in b's row 0 joins nothing.
  TCsvDb named = Read("k,v\r\nkey,x\r\n");
  JoinByKey(named, 0, Read("key,w\r\nother,y\r\n"), 0, true);
  EXPECT_EQ(named.GetCsvText(), "k,v,w\r\nkey,x\r\n");
}

TEST(TableJoin, KeysAnywhereAndRaggedRows) {
  // The key in another column, a short row of a padded up to a's width first.
  TCsvDb a = Read("x,1,long\r\ny\r\nz,3\r\n");
  JoinByKey(a, 0, Read("10,x\r\n30,z,more\r\n"), 1, false);
  EXPECT_EQ(a.GetCsvText(), "x,1,long,10\r\ny\r\nz,3,,30,more\r\n");
  // A negative column of b: a key equal to any cell.
  TCsvDb any = Read("b\r\nq\r\n");
  JoinByKey(any, 0, Read("a,b,c\r\n"), -1, false);
  EXPECT_EQ(any.GetCsvText(), "b,a,b,c\r\nq\r\n");
}

// ---- columns ----

TEST(TableColumns, Statistics) {
  const TCsvDb db = Read("n,v\r\na,3\r\nb,\r\nc,-2.5\r\nd,１０\r\n");
  EXPECT_EQ(ColumnSum(db, 1, true), 10.5);
  EXPECT_EQ(ColumnMax(db, 1, true), 10);
  EXPECT_EQ(ColumnMin(db, 1, true), -2.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(ColumnAverage(db, 1, true)), 10.5 / 4);
  // Without field names "v" is a value (0).
  EXPECT_DOUBLE_EQ(static_cast<double>(ColumnAverage(db, 1, false)), 10.5 / 5);
  // The minimum starts from the first data row, an empty cell counting 0 there only.
  const TCsvDb gap = Read("h\r\n\r\n5\r\n\r\n7\r\n");
  EXPECT_EQ(ColumnMin(gap, 0, true), 0);
  EXPECT_EQ(ColumnMin(Read("h\r\n5\r\n\r\n7\r\n"), 0, true), 5);
  EXPECT_EQ(ColumnMax(Read("h\r\n-5\r\n-7\r\n"), 0, true), -5);
  // No data rows.
  EXPECT_EQ(ColumnAverage(Read("h\r\n"), 0, true), 0);
  EXPECT_EQ(ColumnAverage(TCsvDb(), 0, false), 0);
  EXPECT_EQ(ColumnSum(TCsvDb(), 0, false), 0);
  EXPECT_EQ(ColumnMax(TCsvDb(), 0, true), 0);
}

TEST(TableColumns, ReplaceInColumn) {
  TCsvDb db = Read("表示,a\r\naa\r\n表\\,x\r\n");
  // "\" is only found where a character starts; replaced text is not searched again; the
  // short row gets the column.
  ReplaceInColumn(db, 1, "a", "aa");
  ReplaceInColumn(db, 0, "\\", "/");
  EXPECT_EQ(db.GetCsvText(), "表示,aa\r\naa,\r\n表/,x\r\n");
  TCsvDb same = Read("a,b\r\nc\r\n");
  ReplaceInColumn(same, 1, "", "z");
  ReplaceInColumn(same, -1, "a", "z");
  EXPECT_EQ(same.GetCsvText(), "a,b\r\nc\r\n");
}

TEST(TableColumns, ColumnLines) {
  EXPECT_EQ(ColumnLines(Read("a,1\r\nb\r\n\"c,d\",2"), 1), "1\r\n\r\n2\r\n");
  EXPECT_EQ(ColumnLines(TCsvDb(), 0), "");
}

TEST(TableSearch, SharedTableAndLooseSearch) {
  auto table = std::make_shared<TCsvDb>(Read("name\r\nアイ\r\nAB\r\n"));
  TFindCsv find;
  // "A" is no character of アイ (its second byte is 41).
  EXPECT_EQ(find.Start(table, 0, "A", false, true), 2);
  EXPECT_EQ(find.Next(), -1);
  EXPECT_EQ(find.Table.get(), table.get());
  EXPECT_EQ(find.Start(table, -1, "ア*", false, false), 1);
}

}  // namespace
}  // namespace yume
