#include "table/csvdb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/number.h"
#include "core/sjis.h"
#include "table/wildcard.h"

namespace yume {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TCsvDb Read(std::string_view text) {
  TCsvDb db;
  db.SetCsvText(text);
  return db;
}

// Every row's cells; an absent row reads as {"<absent>"}.
Rows Cells(const TCsvDb& db) {
  Rows out;
  for (int r = 0; r < db.RowCount(); ++r) {
    const TCsvCells* row = db.Row(r);
    out.push_back(row ? row->ToVector() : std::vector<std::string>{"<absent>"});
  }
  return out;
}

// The first cell of every row, for following rows through sorts.
std::vector<std::string> Column0(const TCsvDb& db) {
  std::vector<std::string> out;
  for (int r = 0; r < db.RowCount(); ++r) out.emplace_back(db.GetCell(0, r));
  return out;
}

TEST(CsvRead, FieldsAndSeparators) {
  EXPECT_EQ(Cells(Read("a,b,")), (Rows{{"a", "b"}}));
  EXPECT_EQ(Cells(Read("a,,b")), (Rows{{"a", "", "b"}}));
  EXPECT_EQ(Cells(Read("a, b")), (Rows{{"a", "b"}}));
  EXPECT_EQ(Cells(Read("   ")), (Rows{{""}}));
  EXPECT_EQ(Cells(Read(",")), (Rows{{""}}));
  EXPECT_EQ(Cells(Read("a,\r\n,b")), (Rows{{"a"}, {"", "b"}}));
  // Only the comma separates: tabs and semicolons are cell text (tabs at the ends are trimmed).
  EXPECT_EQ(Cells(Read("a;b\tc,\td\t")), (Rows{{"a;b\tc", "d"}}));
  // A comma followed by blanks before the break does start a cell.
  EXPECT_EQ(Cells(Read("a,  \r\n")), (Rows{{"a", ""}}));
}

TEST(CsvRead, LineBreaks) {
  EXPECT_EQ(Cells(Read("a\r\nb\rc\nd")), (Rows{{"a"}, {"b"}, {"c"}, {"d"}}));
  EXPECT_EQ(Cells(Read("a\r\n\r\nb\r\n")), (Rows{{"a"}, {""}, {"b"}}));
  EXPECT_EQ(Cells(Read("a\n\rb")), (Rows{{"a"}, {""}, {"b"}}));  // LF then a lone CR
  EXPECT_EQ(Read("").RowCount(), 0);
  EXPECT_EQ(Cells(Read("\r\n")), (Rows{{""}}));
}

TEST(CsvRead, Quotes) {
  EXPECT_EQ(Cells(Read("\"x\"  ,y")), (Rows{{"x", "y"}}));
  EXPECT_EQ(Cells(Read("\"a,b\r\nc\",d")), (Rows{{"a,b\r\nc", "d"}}));
  EXPECT_EQ(Cells(Read("\"  x  \",\"\r\ny\r\n\"")), (Rows{{"x", "y"}}));
  EXPECT_EQ(Cells(Read("\"say \"\"hi\"\"\"")), (Rows{{"say \"hi\""}}));
  // Doubled quotes fold in unquoted fields too; a lone quote inside stays.
  EXPECT_EQ(Cells(Read("a\"\"b,c\"d")), (Rows{{"a\"b", "c\"d"}}));
  // A quote not followed by a delimiter is text, so the quoted field goes on past commas.
  EXPECT_EQ(Cells(Read("\"ab\"c,d\",e")), (Rows{{"ab\"c,d", "e"}}));
  // A quote followed by spaces and a comma ends even an unquoted field.
  EXPECT_EQ(Cells(Read("x\" ,y")), (Rows{{"x", "y"}}));
  // An unterminated quoted field runs to the end of the text, breaks included.
  EXPECT_EQ(Cells(Read("\"a\r\nb")), (Rows{{"a\r\nb"}}));
  EXPECT_EQ(Cells(Read("\"\"")), (Rows{{""}}));
  EXPECT_EQ(Cells(Read("\"\"\"\"")), (Rows{{"\""}}));
  // Several folded quotes in one row do not disturb each other's cells.
  EXPECT_EQ(Cells(Read("\"a\"\"b\",\"c\"\"d\"\"e\",f")), (Rows{{"a\"b", "c\"d\"e", "f"}}));
}

TEST(CsvRead, TwoByteCharacters) {
  // "表" and "ソ" end in 0x5C, "ー" in 0x5B; none of that is special.
  EXPECT_EQ(Cells(Read("表,ソ\r\nー")), (Rows{{"表", "ソ"}, {"ー"}}));
  // The byte after a lead byte is taken with it, even a comma, quote or break.
  EXPECT_EQ(Cells(Read("\x81,b,c")), (Rows{{"\x81,b", "c"}}));
  EXPECT_EQ(Cells(Read("\"\x81\",x\"")), (Rows{{"\x81\",x"}}));
  EXPECT_EQ(Cells(Read("a\x81\nb\r\nc")), (Rows{{"a\x81\nb"}, {"c"}}));
  // A lead byte at the very end is a character of its own.
  EXPECT_EQ(Cells(Read("a,\x81")), (Rows{{"a", "\x81"}}));
}

TEST(CsvRead, ZeroBytesAreCellText) {
  const std::string text("a\0b,c\r\nd", 8);
  EXPECT_EQ(Cells(Read(text)), (Rows{{std::string("a\0b", 3), "c"}, {"d"}}));
}

// The reading steps written out one character at a time: the reader, which skips ahead many
// bytes at once, must cut every text the same way.
Rows ReadCharByChar(std::string_view t) {
  auto trim = [](std::string c) {
    while (!c.empty() && static_cast<unsigned char>(c.back()) <= 0x20) c.pop_back();
    size_t b = 0;
    while (b < c.size() && static_cast<unsigned char>(c[b]) <= 0x20) ++b;
    return c.substr(b);
  };
  Rows rows;
  const size_t n = t.size();
  size_t i = 0;
  while (i < n) {
    std::vector<std::string> row;
    do {
      while (i < n && t[i] == ' ') ++i;
      const bool quoted = i < n && t[i] == '"';
      if (quoted) ++i;
      std::string cell;
      while (i < n) {
        const char c = t[i];
        if (IsLead(c)) {
          cell += t.substr(i, 2);
          i += 2;
        } else if (c == '\r' || c == '\n' || c == ',') {
          if (!quoted) {
            if (c == ',') ++i;
            break;
          }
          cell += c;
          ++i;
        } else if (c == '"' && i + 1 < n && t[i + 1] == '"') {
          cell += '"';
          i += 2;
        } else if (c == '"') {
          size_t j = i + 1;
          while (j < n && t[j] == ' ') ++j;
          if (j == n || t[j] == '\r' || t[j] == '\n' || t[j] == ',') {
            i = j < n && t[j] == ',' ? j + 1 : j;
            break;
          }
          cell += c;
          ++i;
        } else {
          cell += c;
          ++i;
        }
      }
      i = std::min(i, n);
      row.push_back(trim(cell));
    } while (i < n && t[i] != '\r' && t[i] != '\n');
    rows.push_back(row);
    if (i < n && t[i] == '\r') ++i;
    if (i < n && t[i] == '\n') ++i;
  }
  return rows;
}

TEST(CsvRead, RandomTextsCutAsCharacterByCharacter) {
  const std::vector<std::string> pieces = {"a",
                                           "bcdefghijklmnopq",
                                           " ",
                                           ",",
                                           "\"",
                                           "\"\"",
                                           "\r",
                                           "\n",
                                           "\r\n",
                                           "\x81",
                                           "\x88\x9F",
                                           "表",
                                           "ソ",
                                           "\x81,",
                                           "\xE0\"",
                                           "\x9F\x9F",
                                           "\x9F\x9F\x9F",
                                           "\t",
                                           std::string(1, '\0')};
  std::mt19937 rng(21);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int k = static_cast<int>(rng() % 24); k > 0; --k) text += pieces[rng() % pieces.size()];
    ASSERT_EQ(Cells(Read(text)), ReadCharByChar(text)) << ::testing::PrintToString(text);
  }
}

TEST(CsvWrite, Quoting) {
  TCsvDb db;
  db.SetCell(0, 0, "ID");
  db.SetCell(1, 0, "ID");
  db.SetCell(0, 1, "a,b");
  db.SetCell(1, 1, "say \"hi\"");
  db.SetCell(2, 1, "x\ry");
  db.SetCell(3, 1, " padded ");
  db.SetCell(4, 1, "IDs");
  db.SetCell(0, 3, "表");
  EXPECT_EQ(db.GetCsvText(),
            "\"ID\",ID\r\n"
            "\"a,b\",\"say \"\"hi\"\"\",\"x\ry\", padded ,IDs\r\n"
            "\r\n"
            "表\r\n");
  EXPECT_EQ(db.GetRowText(0), "\"ID\",ID");
  EXPECT_EQ(db.GetRowText(2), "");
  EXPECT_EQ(db.GetRowText(9), "");
  EXPECT_EQ(TCsvDb().GetCsvText(), "");
}

TEST(CsvWrite, ReadReverseWrite) {
  TCsvDb db = Read("1,2\r\n\"x\"");
  db.Reverse();
  EXPECT_EQ(db.GetCsvText(), "x\r\n1,2\r\n");
}

TEST(CsvWrite, QuotedBreaksAndSpacesRoundTrip) {
  TCsvDb db = Read("\"a\r\nb\", \" c \"\r\n");
  EXPECT_EQ(db.GetCsvText(), "\"a\r\nb\",c\r\n");
  EXPECT_EQ(Cells(Read(db.GetCsvText())), (Rows{{"a\r\nb", "c"}}));
}

// Any table of trimmed, valid cells survives writing and reading back.
TEST(CsvWrite, RandomTablesRoundTrip) {
  const std::vector<std::string> pieces = {"a",  "Z",  "0",  " ",  ",", "\"", "\r", "\n",  "\r\n",
                                           "\t", "表", "ソ", "ー", "|", "\\", "ID", "\"\""};
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    TCsvDb db;
    const int rows = 1 + static_cast<int>(rng() % 6);
    for (int r = 0; r < rows; ++r) {
      const int cols = 1 + static_cast<int>(rng() % 5);
      for (int c = 0; c < cols; ++c) {
        std::string cell;
        for (int k = static_cast<int>(rng() % 5); k > 0; --k) cell += pieces[rng() % pieces.size()];
        // The format trims cells, so only trimmed cells can come back unchanged.
        while (!cell.empty() && static_cast<unsigned char>(cell.front()) <= 0x20) cell.erase(0, 1);
        while (!cell.empty() && static_cast<unsigned char>(cell.back()) <= 0x20) cell.pop_back();
        db.SetCell(c, r, cell);
      }
    }
    // A last empty cell does not come back: "a," reads as one cell, "a,," as two.
    Rows expected = Cells(db);
    for (auto& row : expected)
      if (row.size() > 1 && row.back().empty()) row.pop_back();
    const std::string text = db.GetCsvText();
    ASSERT_EQ(Cells(Read(text)), expected) << text;
  }
}

// A row keeps its cells in one block; every edit must keep the other cells intact.
TEST(CsvRow, EditsKeepNeighbours) {
  TCsvCells row{"alpha", "", "表ソ"};
  EXPECT_EQ(row.size(), 3u);
  EXPECT_EQ(row.TextSize(), 9u);
  row.Set(1, "middle");
  row.Set(0, "a");
  EXPECT_EQ(row.ToVector(), (std::vector<std::string>{"a", "middle", "表ソ"}));
  row.Insert(1, "ins");
  row.Insert(0, "");
  EXPECT_EQ(row.ToVector(), (std::vector<std::string>{"", "a", "ins", "middle", "表ソ"}));
  row.Erase(3);
  row.Erase(0);
  EXPECT_EQ(row.ToVector(), (std::vector<std::string>{"a", "ins", "表ソ"}));
  row.Set(5, "far");  // pads
  row.Insert(7, "past");
  EXPECT_EQ(row.ToVector(),
            (std::vector<std::string>{"a", "ins", "表ソ", "", "", "far", "", "past"}));
  row.Resize(2);
  EXPECT_EQ(row.ToVector(), (std::vector<std::string>{"a", "ins"}));
  row.Resize(3);
  EXPECT_EQ(row.ToVector(), (std::vector<std::string>{"a", "ins", ""}));
  EXPECT_EQ(row.Get(-1), "");
  EXPECT_EQ(row.Get(3), "");
}

TEST(CsvRow, TextFromTheSameRow) {
  // The text may point into the row's own block, which an edit can move or reallocate.
  TCsvCells row{"one", "two"};
  for (int i = 0; i < 6; ++i) row.Append(row[1]);
  row.Set(0, row[7]);
  row.Insert(1, row[0]);
  row.Set(2, row[2].substr(1));
  EXPECT_EQ(row.ToVector(), (std::vector<std::string>{"two", "two", "wo", "two", "two", "two",
                                                      "two", "two", "two"}));
}

TEST(CsvRow, GrowsCellByCell) {
  TCsvCells row;
  std::vector<std::string> expected;
  for (int i = 0; i < 3000; ++i) {
    expected.push_back(std::string(static_cast<size_t>(i % 17), static_cast<char>('a' + i % 26)));
    row.Append(expected.back());
  }
  EXPECT_EQ(row.ToVector(), expected);
  TCsvCells copy = row;
  row.Set(0, "changed");
  EXPECT_EQ(copy.ToVector(), expected);
  TCsvCells moved = std::move(copy);
  EXPECT_EQ(moved.size(), 3000u);
  copy = moved;
  EXPECT_EQ(copy.ToVector(), expected);
  copy = TCsvCells();
  EXPECT_EQ(copy.size(), 0u);
}

TEST(CsvCells, ReadOutsideIsEmpty) {
  TCsvDb db = Read("a,b\r\nc");
  EXPECT_EQ(db.GetCell(1, 0), "b");
  EXPECT_EQ(db.GetCell(1, 1), "");
  EXPECT_EQ(db.GetCell(0, 2), "");
  EXPECT_EQ(db.GetCell(-1, 0), "");
  EXPECT_EQ(db.GetCell(0, -1), "");
  EXPECT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.ColCount(), 2);
  EXPECT_EQ(TCsvDb().ColCount(), 0);
}

TEST(CsvCells, SetCellGrows) {
  TCsvDb db;
  db.SetCell(2, 3, "x");
  EXPECT_EQ(db.RowCount(), 4);
  EXPECT_EQ(db.Row(0), nullptr);  // rows before it are absent
  EXPECT_EQ(db.Row(2), nullptr);
  ASSERT_NE(db.Row(3), nullptr);
  EXPECT_EQ(db.Row(3)->ToVector(), (std::vector<std::string>{"", "", "x"}));
  EXPECT_EQ(db.GetCsvText(), "\r\n\r\n\r\n,,x\r\n");
  db.SetCell(0, 1, "y");  // fills an absent row
  EXPECT_EQ(db.GetCsvText(), "\r\ny\r\n\r\n,,x\r\n");
  db.SetCell(2, 3, "z");  // overwrites without growing
  EXPECT_EQ(db.Row(3)->Count(), 3);
  EXPECT_EQ(db.GetCell(2, 3), "z");
}

TEST(CsvCells, BadIndicesChangeNothing) {
  TCsvDb db = Read("a");
  db.SetCell(-1, 0, "x");
  db.SetCell(0, -1, "x");
  EXPECT_THROW(db.SetCell(0, 2147483647, "x"), std::length_error);
  EXPECT_THROW(db.SetCell(2147483647, 0, "x"), std::length_error);
  EXPECT_THROW(db.SetRowText(2147483647, "x"), std::length_error);
  EXPECT_EQ(db.GetCsvText(), "a\r\n");
}

TEST(CsvCells, SetRowText) {
  TCsvDb db = Read("a\r\nb\r\nc");
  db.SetRowText(1, "x, \"y,z\"");
  EXPECT_EQ(Cells(db), (Rows{{"a"}, {"x", "y,z"}, {"c"}}));
  db.SetRowText(4, "e");
  EXPECT_EQ(db.GetCsvText(), "a\r\nx,\"y,z\"\r\nc\r\n\r\ne\r\n");
  db.SetRowText(0, "");
  EXPECT_EQ(db.GetRowText(0), "");
  EXPECT_NE(db.Row(0), nullptr);
  // A text of several lines takes the row's place with all of them.
  db.SetRowText(1, "p\r\nq");
  EXPECT_EQ(db.GetCsvText(), "\r\np\r\nq\r\nc\r\n\r\ne\r\n");
  db.SetRowText(-1, "ignored");
  EXPECT_EQ(db.RowCount(), 6);
}

TEST(CsvCells, AssignIsDeep) {
  TCsvDb a = Read("1,2\r\n\r\n3");
  TCsvDb b;
  b.Assign(a);
  a.SetCell(0, 0, "changed");
  EXPECT_EQ(b.GetCsvText(), "1,2\r\n\r\n3\r\n");
  b.Assign(b);
  EXPECT_EQ(b.RowCount(), 3);
}

// Random edits on a table and on a plain model of it (rows of strings, absent rows marked)
// must leave the same cells: the rows' packed blocks hide a lot of bookkeeping.
TEST(CsvCells, RandomEditsMatchAPlainModel) {
  using ModelRow = std::optional<std::vector<std::string>>;
  std::mt19937 rng(31);
  const std::vector<std::string> texts = {"", "a", "表ソ", "longer cell text", " x ", "\"q\""};
  auto pick = [&] { return texts[rng() % texts.size()]; };
  for (int round = 0; round < 40; ++round) {
    TCsvDb db = Read("a,b,c\r\n\r\nd\r\n");
    std::vector<ModelRow> model = {std::vector<std::string>{"a", "b", "c"},
                                   std::vector<std::string>{""}, std::vector<std::string>{"d"}};
    for (int step = 0; step < 60; ++step) {
      const int col = static_cast<int>(rng() % 5), row = static_cast<int>(rng() % 7);
      switch (rng() % 6) {
        case 0: {
          const std::string text = pick();
          db.SetCell(col, row, text);
          if (model.size() <= static_cast<size_t>(row)) model.resize(row + 1);
          if (!model[row]) model[row].emplace();
          if (model[row]->size() <= static_cast<size_t>(col)) model[row]->resize(col + 1);
          (*model[row])[col] = text;
          break;
        }
        case 1: {
          const std::vector<std::string> source = {pick(), pick()};
          db.InsertCol(col, source);
          for (size_t r = 0; r < model.size(); ++r) {
            if (!model[r]) continue;
            if (model[r]->size() < static_cast<size_t>(col)) model[r]->resize(col);
            model[r]->insert(model[r]->begin() + col, r < source.size() ? source[r] : "");
          }
          break;
        }
        case 2:
          db.DeleteCol(col);
          for (auto& r : model)
            if (r && r->size() > static_cast<size_t>(col)) r->erase(r->begin() + col);
          break;
        case 3: {
          const int to = static_cast<int>(rng() % 5);
          bool fits = true;
          for (auto& r : model)
            if (r && (static_cast<int>(r->size()) <= std::max(col, to))) fits = false;
          if (!fits || col == to) break;
          db.MoveCol(col, to);
          for (auto& r : model) {
            if (!r) continue;
            const std::string moving = (*r)[col];
            r->erase(r->begin() + col);
            r->insert(r->begin() + to, moving);
          }
          break;
        }
        case 4:
          db.Reverse();
          std::reverse(model.begin(), model.end());
          break;
        default: {
          TCsvDb copy;
          copy.Assign(db);
          db = std::move(copy);
          break;
        }
      }
      Rows expected;
      for (const auto& r : model) expected.push_back(r ? *r : std::vector<std::string>{"<absent>"});
      ASSERT_EQ(Cells(db), expected) << "round " << round << " step " << step;
    }
  }
}

TEST(CsvTsv, Read) {
  TCsvDb db;
  db.SetTsvText("a\tb\r\n\r\n\tc\t\r\n\"q\"\t x \r\nl\nf");
  EXPECT_EQ(Cells(db), (Rows{{"a", "b"}, {"<absent>"}, {"", "c"}, {"\"q\"", " x "}, {"l\nf"}}));
  db.SetTsvText("a\r\n\r\n\r\n");  // trailing empty lines make no rows
  EXPECT_EQ(db.RowCount(), 1);
  db.SetTsvText("a\t\t\r\n");  // only the last TAB starts no cell
  EXPECT_EQ(Cells(db), (Rows{{"a", ""}}));
  db.SetTsvText("表\tソ\x81\tx");  // a TAB after a lead byte belongs to it
  EXPECT_EQ(Cells(db), (Rows{{"表", "ソ\x81\tx"}}));
}

TEST(CsvTsv, WritePadsRows) {
  TCsvDb db = Read("a,b,c\r\n\r\nd\r\n\"x,y\"");
  EXPECT_EQ(db.GetTsvText(), "a\tb\tc\r\n\t\t\r\nd\t\t\r\nx,y\t\t\r\n");
  db.Clear();
  db.SetCell(0, 1, "z");
  EXPECT_EQ(db.GetTsvText(), "\r\nz\r\n");
}

TEST(CsvColumns, InsertCol) {
  TCsvDb db = Read("a,b\r\nc");
  db.SetCell(0, 3, "d");
  db.SetCell(2, 3, "f");
  db.SetCell(1, 3, "e");  // row 2 stays absent
  const std::vector<std::string> source = {"s0", "s1", "s2"};
  db.InsertCol(2, source);
  EXPECT_EQ(Cells(db),
            (Rows{{"a", "b", "s0"}, {"c", "", "s1"}, {"<absent>"}, {"d", "e", "", "f"}}));
  db.InsertCol(0);
  EXPECT_EQ(db.GetCsvText(), ",a,b,s0\r\n,c,,s1\r\n\r\n,d,e,,f\r\n");
  db.InsertCol(-1);
  EXPECT_EQ(db.ColCount(), 5);
}

TEST(CsvColumns, DeleteCol) {
  TCsvDb db = Read("a,b,c\r\nd\r\n\r\ne,f");
  db.DeleteCol(1);
  EXPECT_EQ(db.GetCsvText(), "a,c\r\nd\r\n\r\ne\r\n");
  db.DeleteCol(5);
  db.DeleteCol(-1);
  EXPECT_EQ(db.GetCsvText(), "a,c\r\nd\r\n\r\ne\r\n");
}

TEST(CsvColumns, MoveCol) {
  TCsvDb db = Read("a,b,c,d\r\ne,f,g,h");
  db.MoveCol(0, 2);
  EXPECT_EQ(db.GetCsvText(), "b,c,a,d\r\nf,g,e,h\r\n");
  db.MoveCol(3, 1);
  EXPECT_EQ(db.GetCsvText(), "b,d,c,a\r\nf,h,g,e\r\n");
  // A row without either column refuses the move, and no row is changed.
  TCsvDb ragged = Read("a,b,c\r\nd,e");
  EXPECT_THROW(ragged.MoveCol(0, 2), std::out_of_range);
  EXPECT_THROW(ragged.MoveCol(-1, 0), std::out_of_range);
  EXPECT_THROW(ragged.MoveCol(2, 2), std::out_of_range);
  EXPECT_EQ(ragged.GetCsvText(), "a,b,c\r\nd,e\r\n");
  ragged.MoveCol(1, 1);
  EXPECT_EQ(ragged.GetCsvText(), "a,b,c\r\nd,e\r\n");
  ragged.MoveCol(1, 0);
  EXPECT_EQ(ragged.GetCsvText(), "b,a,c\r\ne,d\r\n");
}

TEST(CsvReshape, ReverseKeepsFieldNames) {
  TCsvDb db = Read("name\r\n1\r\n2\r\n3");
  db.UseFieldNames = true;
  db.Reverse();
  EXPECT_EQ(Column0(db), (std::vector<std::string>{"name", "3", "2", "1"}));
  db.UseFieldNames = false;
  db.Reverse();
  EXPECT_EQ(Column0(db), (std::vector<std::string>{"1", "2", "3", "name"}));
}

TEST(CsvReshape, Transpose) {
  TCsvDb db = Read("a,b,c\r\nd\r\n\r\ne,f");
  db.Transpose();
  // Inner rows keep their full width; the first and last lose blank trailing cells.
  EXPECT_EQ(db.GetCsvText(), "a,d,,e\r\nb,,,f\r\nc\r\n");
  TCsvDb blank = Read(" , \r\n\r\n");
  blank.Transpose();
  EXPECT_EQ(blank.RowCount(), 0);
}

TEST(CsvReshape, TrimEmptyRows) {
  TCsvDb db = Read("\r\n , \r\na, ,b,\t\r\n\r\n,\r\nc,,\r\n\r\n");
  db.SetCell(0, 8, " ");
  db.TrimEmptyRows();
  // Inner blank rows stay; only the first and last kept rows lose trailing blank cells.
  EXPECT_EQ(Cells(db), (Rows{{"a", "", "b"}, {""}, {""}, {"c"}}));
  TCsvDb empty = Read("\r\n\r\n");
  empty.TrimEmptyRows();
  EXPECT_EQ(empty.RowCount(), 0);
}

TEST(CsvReshape, RemoveDuplicates) {
  TCsvDb db = Read("k,1\r\na,2\r\nb,3\r\na,4\r\n\r\nb,5\r\n\r\nk,6");
  db.RemoveDuplicates(0);
  EXPECT_EQ(db.GetCsvText(), "k,1\r\na,2\r\nb,3\r\n\r\n");

  TCsvDb lines = Read("x,1\r\nx,1\r\n\"x,1\"\r\nx,1\r\ny");
  lines.RemoveDuplicates(-1);
  EXPECT_EQ(lines.GetCsvText(), "x,1\r\n\"x,1\"\r\ny\r\n");

  // With field names row 0 is not a key: a data row equal to it stays.
  TCsvDb named = Read("h\r\nh\r\nh\r\ni");
  named.UseFieldNames = true;
  named.RemoveDuplicates(0);
  EXPECT_EQ(named.GetCsvText(), "h\r\nh\r\ni\r\n");

  // Keys past a row's end are empty and count as equal.
  TCsvDb shortrows = Read("a\r\nb\r\nc,1");
  shortrows.RemoveDuplicates(1);
  EXPECT_EQ(shortrows.GetCsvText(), "a\r\nc,1\r\n");
}

TEST(CsvSearch, FieldIndexAndExact) {
  TCsvDb db = Read("id,name,price\r\n1,apple,100\r\n2,Apple,200\r\n3,apple,300\r\n\r\n");
  EXPECT_EQ(db.FieldIndex("name"), 1);
  EXPECT_EQ(db.FieldIndex("Name"), -1);
  EXPECT_EQ(TCsvDb().FieldIndex("x"), -1);
  EXPECT_EQ(db.FindExact("apple", 1, 0), 1);
  EXPECT_EQ(db.FindExact("apple", 1, 2), 3);
  EXPECT_EQ(db.FindExact("apple", 1, 4), -1);
  EXPECT_EQ(db.FindExact("200", -1, 0), 2);  // any cell
  EXPECT_EQ(db.FindExact("", 2, 0), 4);      // a blank line has an empty cell
  EXPECT_EQ(db.FindExact("app", 1, 0), -1);
  EXPECT_EQ(db.FindExact("apple", 1, -5), 1);
}

TEST(CsvSearch, ContainsWildAndRowText) {
  TCsvDb db = Read("表示,x\r\nソフト,\"a,b\"\r\n山田太郎,y\r\nabc,z");
  // "\" is the second byte of 表 and ソ but never matches there.
  EXPECT_EQ(db.FindContains("\\", 0, 0), -1);
  EXPECT_EQ(db.FindContains("示", 0, 0), 0);
  EXPECT_EQ(db.FindContains("a,b", -1, 0), 1);  // the row line, quotes included
  EXPECT_EQ(db.FindContains("\"a,b\"", -1, 0), 1);
  EXPECT_EQ(db.FindContains("b", 0, 2), 3);
  EXPECT_EQ(db.FindWild("山田*", 0, 0), 2);
  EXPECT_EQ(db.FindWild("a?c", 0, 0), 3);
  EXPECT_EQ(db.FindWild("ab", 0, 0), -1);  // whole-cell match
  EXPECT_EQ(db.FindWild("*,y", -1, 0), 2);
  EXPECT_THROW(db.FindWild("[\\x]", 0, 0), EWildcard);
  EXPECT_EQ(db.FindRowText("ソフト,\"a,b\"", 0), 1);
  EXPECT_EQ(db.FindRowText("abc,z", 0), 3);
  EXPECT_EQ(db.FindRowText("abc", 0), -1);
}

TEST(CsvFindState, WalksMatchesThenStaysExhausted) {
  TFindCsv find;
  const std::string table = "name,n\r\nab,1\r\nx,2\r\nab,3\r\nabc,4";
  EXPECT_EQ(find.Start(table, 0, "ab", true, false), 1);
  EXPECT_EQ(find.NextRow, 2);
  EXPECT_EQ(find.Next(), 3);
  EXPECT_EQ(find.Next(), -1);
  EXPECT_EQ(find.NextRow, 5);
  EXPECT_EQ(find.Next(), -1);

  // Substring search over the row line, from row 1 with field names.
  EXPECT_EQ(find.Start(table, -1, "n", false, true), -1);
  EXPECT_EQ(find.Start(table, -1, "a", false, true), 1);
  EXPECT_EQ(find.Next(), 3);
  EXPECT_EQ(find.Next(), 4);
  // A key with "*" or "?" is a wildcard pattern.
  EXPECT_EQ(find.Start(table, 0, "a?", false, false), 1);
  EXPECT_EQ(find.Next(), 3);
  EXPECT_EQ(find.Next(), -1);

  find.Clear();
  EXPECT_EQ(find.Column, -1);
  EXPECT_EQ(find.Key, "");
  EXPECT_EQ(find.Table->RowCount(), 0);
  EXPECT_EQ(find.Next(), -1);
  EXPECT_EQ(find.NextRow, 0);
}

TEST(CsvSort, ByTextUsesUnsignedBytes) {
  TCsvDb db = Read("b\r\n\xE0\x40\r\na\r\nab\r\n\r\nB\r\n表");
  db.SortByText(0);
  // The empty row sorts first; 0x82 (表) and 0xE0 come after ASCII.
  EXPECT_EQ(Column0(db), (std::vector<std::string>{"", "B", "a", "ab", "b", "表", "\xE0\x40"}));
}

TEST(CsvSort, ByTextComparesPastLongCommonPrefixes) {
  // Keys around 16 bytes that differ only late, some with zero bytes (which sort after the
  // shorter text), against the standard byte order.
  std::mt19937 rng(11);
  std::vector<std::string> keys;
  for (int i = 0; i < 300; ++i) {
    std::string k(12 + rng() % 6, 'p');
    k += static_cast<char>('a' + rng() % 3);
    if (rng() % 3 == 0) k += std::string(rng() % 6, '\0');
    if (rng() % 3 == 0) k += std::string(rng() % 4, static_cast<char>(0xE0 + rng() % 3));
    keys.push_back(k);
  }
  TCsvDb db;
  for (size_t i = 0; i < keys.size(); ++i) db.SetCell(0, static_cast<int>(i), keys[i]);
  db.SortByText(0);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(Column0(db), keys);
}

TEST(CsvSort, ByDictionaryComparesPastLongCommonPrefixes) {
  std::mt19937 rng(5);
  std::vector<std::string> keys;
  for (int i = 0; i < 300; ++i) {
    std::string k(5 + rng() % 6, rng() % 2 ? 'Q' : 'q');
    k += static_cast<char>("aBc"[rng() % 3]);
    if (rng() % 3 == 0) k += std::string(rng() % 4, 'z');
    keys.push_back(k);
  }
  TCsvDb db;
  for (size_t i = 0; i < keys.size(); ++i) db.SetCell(0, static_cast<int>(i), keys[i]);
  db.SortByDictionary(0);
  auto fold = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
  };
  std::vector<std::string> expected;
  for (const std::string& k : keys) expected.push_back(fold(k));
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> got;
  for (const std::string& k : Column0(db)) got.push_back(fold(k));
  EXPECT_EQ(got, expected);
}

TEST(CsvSort, ByNumber) {
  TCsvDb db = Read("10\r\n9\r\n-1\r\n\r\n\"1,000\"\r\n２\r\nabc\r\n1.5e1\r\n$10");
  db.SortByNumber(0);
  // Empty and non-numbers read as 0; "1.5e1" is 15; "$10" is 16; "1,000" is 1000.
  EXPECT_EQ(Column0(db),
            (std::vector<std::string>{"-1", "", "abc", "２", "9", "10", "1.5e1", "$10", "1,000"}));
}

TEST(CsvSort, ByNumberAcrossSignsAndMagnitudes) {
  const std::vector<std::string> pieces = {
      "-1.0e4000", "-1.0e9999", "1.0e9999", "-3",
      "-2.5",      "-0.001",    "0",        "",
      "x",         "1.0e-4000", "1.0e-300", "0.25",
      "1",         "$FF",       "1.5e2",    "999999999999999999999"};
  std::mt19937 rng(9);
  TCsvDb db;
  for (int i = 0; i < 200; ++i) db.SetCell(0, i, pieces[rng() % pieces.size()]);
  db.SortByNumber(0);
  ASSERT_EQ(db.RowCount(), 200);
  for (int i = 1; i < 200; ++i)
    ASSERT_LE(StrToNumber(db.GetCell(0, i - 1)), StrToNumber(db.GetCell(0, i))) << i;
}

TEST(CsvSort, ByDate) {
  TCsvDb db = Read("2004/02/04\r\n2004/2/3 12:00\r\nsoon\r\n10:00:00\r\n1899/12/29\r\n2004/02/03");
  db.SortByDate(0);
  EXPECT_EQ(Column0(db), (std::vector<std::string>{"1899/12/29", "soon", "10:00:00", "2004/02/03",
                                                   "2004/2/3 12:00", "2004/02/04"}));
}

TEST(CsvSort, ByDictionary) {
  // ASCII case is folded; "ー" (U+30FC) sorts after "あ" (U+3042) although its bytes are smaller;
  // "ア" (83 41) keeps its second byte and stays before "ヂ" (83 61).
  TCsvDb db = Read("b\r\nー\r\nA\r\nあ\r\nヂ\r\nア\r\n\r\nC");
  db.SortByDictionary(0);
  EXPECT_EQ(Column0(db), (std::vector<std::string>{"", "A", "b", "C", "あ", "ア", "ヂ", "ー"}));
}

TEST(CsvSort, SelectionPhaseTies) {
  // Rows (key, id): (2,x) (2,y) (1,z). The first smallest goes first in text order, the last
  // smallest in dictionary order, so equal keys come out differently.
  TCsvDb text = Read("x,2\r\ny,2\r\nz,1");
  text.SortByText(1);
  EXPECT_EQ(Column0(text), (std::vector<std::string>{"z", "y", "x"}));
  TCsvDb dict = Read("x,2\r\ny,2\r\nz,1");
  dict.SortByDictionary(1);
  EXPECT_EQ(Column0(dict), (std::vector<std::string>{"z", "x", "y"}));
}

TEST(CsvSort, MergePhaseTies) {
  // 45 rows keyed 0, 1, 2, 0, 1, 2, ...; the expected orders follow the merge and selection
  // steps by hand (split at b/2 + e/2, ties kept left in text order and right in dictionary).
  TCsvDb text, number, dict;
  for (int i = 0; i < 45; ++i) {
    const std::string key = std::to_string((i * 7) % 3);
    for (TCsvDb* db : {&text, &number, &dict}) {
      db->SetCell(0, i, std::to_string(i));
      db->SetCell(1, i, key);
    }
  }
  text.SortByText(1);
  number.SortByNumber(1);
  dict.SortByDictionary(1);
  auto ids = [](std::initializer_list<int> list) {
    std::vector<std::string> out;
    for (int i : list) out.push_back(std::to_string(i));
    return out;
  };
  const auto left = ids({0, 3, 6, 9,  12, 15, 18, 21, 24, 27, 30, 33, 36, 39, 42,
                         4, 7, 1, 10, 16, 19, 13, 22, 28, 25, 31, 37, 40, 34, 43,
                         8, 2, 5, 11, 20, 14, 17, 23, 29, 32, 26, 41, 35, 38, 44});
  const auto right = ids({42, 39, 36, 33, 30, 24, 27, 21, 12, 18, 15, 9,  0, 6, 3,
                          43, 37, 34, 40, 31, 25, 28, 22, 16, 13, 19, 10, 4, 1, 7,
                          44, 41, 35, 38, 23, 29, 26, 32, 17, 20, 14, 11, 8, 2, 5});
  EXPECT_EQ(Column0(text), left);
  EXPECT_EQ(Column0(number), left);
  EXPECT_EQ(Column0(dict), right);
}

// The sort's steps as written (merge aside, copy back), on (key, id) pairs; the table sort must
// leave rows with equal keys in the same order for every size.
void ModelSort(std::vector<std::pair<int, int>>& a, bool ties_right) {
  auto less = [](const auto& x, const auto& y) { return x.first < y.first; };
  std::function<void(size_t, size_t)> sort = [&](size_t b, size_t e) {
    if (e - b >= 20) {
      const size_t m = b / 2 + e / 2;
      sort(b, m);
      sort(m + 1, e);
      std::vector<std::pair<int, int>> merged;
      size_t i = b, j = m + 1;
      while (i <= m && j <= e) {
        const bool left = ties_right ? less(a[i], a[j]) : !less(a[j], a[i]);
        merged.push_back(left ? a[i++] : a[j++]);
      }
      merged.insert(merged.end(), a.begin() + i, a.begin() + m + 1);
      merged.insert(merged.end(), a.begin() + j, a.begin() + e + 1);
      std::copy(merged.begin(), merged.end(), a.begin() + b);
      return;
    }
    for (size_t p = b; p < e; ++p) {
      size_t best = p;
      for (size_t q = p + 1; q <= e; ++q)
        if (ties_right ? !less(a[best], a[q]) : less(a[q], a[best])) best = q;
      std::swap(a[p], a[best]);
    }
  };
  if (a.size() > 1) sort(0, a.size() - 1);
}

TEST(CsvSort, TieOrderOfEverySize) {
  std::mt19937 rng(17);
  for (int n : {2, 20, 21, 22, 41, 63, 64, 65, 100, 257, 600}) {
    std::vector<std::pair<int, int>> pairs;
    TCsvDb text, dict;
    for (int i = 0; i < n; ++i) {
      const int key = static_cast<int>(rng() % 4);
      pairs.emplace_back(key, i);
      for (TCsvDb* db : {&text, &dict}) {
        db->SetCell(0, i, std::to_string(i));
        db->SetCell(1, i, std::string(1, static_cast<char>('a' + key)));
      }
    }
    text.SortByText(1);
    dict.SortByDictionary(1);
    for (bool ties_right : {false, true}) {
      std::vector<std::pair<int, int>> model = pairs;
      ModelSort(model, ties_right);
      std::vector<std::string> ids;
      for (const auto& [key, id] : model) ids.push_back(std::to_string(id));
      EXPECT_EQ(Column0(ties_right ? dict : text), ids) << n;
    }
  }
}

TEST(CsvSort, FieldNamesAndBlankEnds) {
  TCsvDb db = Read("\r\nname,n\r\nb,2\r\n\r\na,1\r\n , \r\n");
  db.UseFieldNames = true;
  db.SortByText(0);
  // Blank rows at both ends go first; the name row stays on top; the inner blank row sorts.
  EXPECT_EQ(Cells(db), (Rows{{"name", "n"}, {""}, {"a", "1"}, {"b", "2"}}));
  TCsvDb one = Read("only");
  one.SortByNumber(0);
  EXPECT_EQ(one.GetCsvText(), "only\r\n");
}

TEST(CsvSort, LargeTablesComeOutOrdered) {
  std::mt19937 rng(3);
  TCsvDb db;
  const int n = 5000;
  for (int i = 0; i < n; ++i) {
    db.SetCell(0, i, std::to_string(static_cast<int>(rng() % 2000) - 1000));
    db.SetCell(1, i, std::to_string(i));
  }
  db.SortByNumber(0);
  ASSERT_EQ(db.RowCount(), n);
  std::vector<bool> seen(n);
  auto number = [&db](int col, int row) { return std::stoi(std::string(db.GetCell(col, row))); };
  for (int i = 0; i < n; ++i) {
    if (i > 0) {
      ASSERT_LE(number(0, i - 1), number(0, i));
    }
    seen[number(1, i)] = true;
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), n);  // a permutation: no row lost
}

}  // namespace
}  // namespace yume
