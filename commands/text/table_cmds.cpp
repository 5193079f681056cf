// Arrays (one item a line) and comma-separated tables.
//
// Every command takes its table or array as a value and leaves a new text in それ; the
// argument's variable is never changed. The work is in the table engine (table/csvdb.h,
// table/tableops.h); here the arguments are read and the results stored.
//
// Tables a command only reads are not read from text again and again: the text read last is
// kept with its table, so a loop of searches or sums over the same table reads it once.
// 表完全一致ピックアップ alone takes a variable's own table form (after element access) as it
// stands.
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "commands/families.h"
#include "commands/text/mathfn.h"
#include "core/cmdlib.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/yumebase.h"
#include "table/csvdb.h"
#include "table/tableops.h"

namespace yume {

namespace {

// ---- what the family keeps for a state ----

struct TTableState : TFamilyState {
  TFindCsv Find;  // 表検索 and the steps after it
  // The text read last and its table.
  std::string CachedText;
  std::shared_ptr<const TCsvDb> Cached;
};

TTableState& StateOf(TYumeBase& y) {
  if (!y.TableState) y.TableState = std::make_unique<TTableState>();
  return static_cast<TTableState&>(*y.TableState);
}

// ---- arguments ----

bool FieldNamesOn(TYumeBase& y) {
  return y.VarFieldNames && y.VarFieldNames->ValueText() == "1";
}

// A column written as an integer text ("$" hexadecimal too); -1 for anything else.
int PlainColumn(TArgs& a, size_t i) {
  int32_t n;
  return mathfn::ReadIntText(a.Text(i), n) ? n : -1;
}

// The integer part of the lenient number reading (unreadable text is 0).
int LenientIndex(TArgs& a, size_t i) {
  const int64_t n = a.Whole(i);
  return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

// The table read from `text`, from the kept one when the text is the same.
std::shared_ptr<const TCsvDb> TableOfText(TYumeBase& y, std::string_view text) {
  TTableState& s = StateOf(y);
  if (s.Cached && s.CachedText.size() == text.size() &&
      std::memcmp(s.CachedText.data(), text.data(), text.size()) == 0)
    return s.Cached;
  auto table = std::make_shared<TCsvDb>();
  table->SetCsvText(text);
  s.CachedText.assign(text);
  s.Cached = table;
  return table;
}

// The table a command only reads, from slot i: read from its text, or with `named`, a
// variable's own table form when it has one. Asked for last: a table form holds until
// something changes the variable.
struct TReadTable {
  const TCsvDb* Table = nullptr;
  std::shared_ptr<const TCsvDb> Kept;
  const TCsvDb& operator*() const { return *Table; }
  const TCsvDb* operator->() const { return Table; }
};

TReadTable ReadTable(TYumeBase& y, TArgs& a, size_t i, bool named = false) {
  TReadTable t;
  if (const THashNode* w = named ? a.NamedWord(i) : nullptr;
      w && w->Kind == wkVariable && w->Table()) {
    t.Table = w->Table();
    return t;
  }
  t.Kept = TableOfText(y, a.TextInPlace(i));
  t.Table = t.Kept.get();
  return t;
}

// A table of the command's own, to change.
TCsvDb OwnTable(TArgs& a, size_t i) {
  TCsvDb table;
  table.SetCsvText(a.TextInPlace(i));
  return table;
}

// ---- arrays ----

// 要素数, 表行数 (?の) 317, 350 -- the field-name row is no element; an empty table has none.
void CmdRowCount(TYumeBase& y, TArgs& a) {
  const bool names = FieldNamesOn(y);
  const int rows = ReadTable(y, a, 0)->RowCount();
  SetSoreInteger(y, std::max(0, rows - (names ? 1 : 0)));
}

// 表列数 (?の) 351
void CmdColCount(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, ReadTable(y, a, 0)->ColCount());
}

// ソート (?を) 77
void CmdSortLines(TYumeBase& y, TArgs& a) {
  std::vector<std::string_view> lines = SplitLines(a.TextInPlace(0));
  SortLinesCollated(lines);
  SetSoreText(y, JoinLines(lines));
}

// 数値ソート (?を) 78
void CmdSortLinesByNumber(TYumeBase& y, TArgs& a) {
  std::vector<std::string_view> lines = SplitLines(a.TextInPlace(0));
  SortLinesByNumber(lines);
  SetSoreText(y, JoinLines(lines));
}

// 逆にする (?を) 79 -- through the table reader, field names or not.
void CmdReverseLines(TYumeBase& y, TArgs& a) {
  TCsvDb table = OwnTable(a, 0);
  table.Reverse();
  SetSoreText(y, table.GetCsvText());
}

// 配列シャッフル (?を) 330 -- n + 1 exchanges of two lines drawn from all n.
void CmdShuffle(TYumeBase& y, TArgs& a) {
  std::vector<std::string_view> lines = SplitLines(a.TextInPlace(0));
  const auto n = static_cast<int32_t>(std::min<size_t>(lines.size(), INT32_MAX));
  if (n > 0) {
    for (int32_t k = 0; k <= n; ++k) {
      const int32_t i = mathfn::DrawBelow(y.RandSeed, n);
      const int32_t j = mathfn::DrawBelow(y.RandSeed, n);
      std::swap(lines[static_cast<size_t>(i)], lines[static_cast<size_t>(j)]);
    }
  }
  SetSoreKeepType(y, JoinLines(lines));
}

// 行挿入 (?の,?行目へ,?を) 105 -- beyond the end, empty lines fill the gap.
void CmdInsertLine(TYumeBase& y, TArgs& a) {
  const std::string& value = a.Text(2);
  const int64_t index = a.Whole(1);
  const std::string& text = a.TextInPlace(0);
  if (index < 0) return;
  std::vector<std::string_view> lines = SplitLines(text);
  const auto at = static_cast<size_t>(index);
  if (at < lines.size()) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), value);
  } else {
    if (at - lines.size() > (size_t{1} << 24)) a.RangeError();
    lines.resize(at);
    lines.emplace_back(value);
  }
  SetSoreKeepType(y, JoinLines(lines));
}

// 行削除 (?の,?行目を) 106 -- an index outside the lines leaves それ as it was.
void CmdDeleteLine(TYumeBase& y, TArgs& a) {
  const int64_t index = a.Whole(1);
  const std::string& text = a.TextInPlace(0);
  if (index < 0) return;
  std::vector<std::string_view> lines = SplitLines(text);
  if (static_cast<size_t>(index) >= lines.size()) return;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
  SetSoreKeepType(y, JoinLines(lines));
}

// ---- picking rows ----

// 表ピックアップ (?の,?列目から,?を) 82 -- a negative column looks at whole lines.
void CmdPickup(TYumeBase& y, TArgs& a) {
  const std::string& key = a.Text(2);
  const int col = PlainColumn(a, 1);
  const bool names = FieldNamesOn(y);
  if (col < 0) {
    SetSoreText(y, PickupLines(a.TextInPlace(0), key, names));
    return;
  }
  if (key.empty()) {
    a.TextInPlace(0);  // evaluated all the same
    if (y.VarSore) y.VarSore->SetTypeText("s");
    return;
  }
  const TReadTable table = ReadTable(y, a, 0);
  SetSoreText(y, RowsCsvText(*table, PickupRows(*table, col, key, false, names)));
}

// Bytes 0-32 off both ends.
std::string_view TrimBlank(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}

// 表完全一致ピックアップ (?の,?列目から,?を) 500 -- それ receives a table value.
void CmdPickupExact(TYumeBase& y, TArgs& a) {
  const std::string key(TrimBlank(a.Text(2)));
  const int col = LenientIndex(a, 1);
  if (col < 0) {
    a.TextInPlace(0);  // every argument is used up before the error, as ever
    a.ArgumentError("列の指定は、0以上を指定する必要があります。");
  }
  const bool names = FieldNamesOn(y);
  TCsvDb result;
  {
    const TReadTable table = ReadTable(y, a, 0, true);
    result = RowsTable(*table, PickupRows(*table, col, key, true, names));
  }
  if (!y.VarSore) return;
  y.VarSore->SetValueText(std::string());  // no number kept from before
  y.VarSore->ReplaceTable(result);
  y.VarSore->SetTypeText("s");
}

// 表条件抽出 (?を,?で) 310
void CmdSelect(TYumeBase& y, TArgs& a) {
  const std::string condition = PrepareCondition(a.Text(1));
  const TReadTable table = ReadTable(y, a, 0);
  std::string result;
  try {
    result = RowsCsvText(*table, SelectRows(*table, condition));
  } catch (const ESelect& e) {
    SetSoreText(y, std::string());
    RaiseError(y, std::string("CSVデータベースの解析エラー。") + e.what());
  }
  SetSoreText(y, std::move(result));
}

// 表キー合成 (?の,?列目と,?の,?列目で) 311 -- reports nothing: a failure leaves それ empty.
void CmdJoin(TYumeBase& y, TArgs& a) {
  const int col_b = LenientIndex(a, 3);
  // The other table is kept apart from its variable: evaluating the first table's argument
  // may change that variable.
  const std::shared_ptr<const TCsvDb> other = TableOfText(y, a.TextInPlace(2));
  const int col_a = LenientIndex(a, 1);
  const bool names = FieldNamesOn(y);
  const std::string& text = a.TextInPlace(0);
  // Only the join itself is guarded: errors of the arguments are reported as anywhere else.
  std::string result;
  try {
    TCsvDb table;
    table.SetCsvText(text);
    JoinByKey(table, col_a, *other, col_b, names);
    result = table.GetCsvText();
  } catch (const std::exception&) {
    result.clear();
  }
  SetSoreText(y, std::move(result));
}

// ---- the incremental search ----

void StartSearch(TYumeBase& y, TArgs& a, bool exact) {
  const std::string key = a.Text(2);
  const int col = PlainColumn(a, 1);
  const bool names = FieldNamesOn(y);
  const std::shared_ptr<const TCsvDb> table = TableOfText(y, a.TextInPlace(0));
  SetSoreInteger(y, StateOf(y).Find.Start(table, col, key, exact, names));
}

// 表検索 (?の,?列目から,?を) 83
void CmdFind(TYumeBase& y, TArgs& a) {
  StartSearch(y, a, true);
}

// 表曖昧検索 (?の,?列目から,?を) 86 -- a wildcard pattern or a text the cell contains.
void CmdFindLoose(TYumeBase& y, TArgs& a) {
  StartSearch(y, a, false);
}

// 表検索次の値 () 84
void CmdFindNext(TYumeBase& y, TArgs&) {
  SetSoreInteger(y, -1);  // stays when a faulty pattern fails the step
  SetSoreInteger(y, StateOf(y).Find.Next());
}

// 表検索クリア () 85
void CmdFindClear(TYumeBase& y, TArgs&) {
  StateOf(y).Find.Clear();
}

// ---- column statistics ----

// A column that must be given: negative is an argument error, raised once every argument is
// used up (as ever).
int GivenColumn(TArgs& a) {
  const int col = PlainColumn(a, 1);
  if (col < 0) {
    a.TextInPlace(0);
    a.ArgumentError();
  }
  return col;
}

template <class Fn>
void ColumnStat(TYumeBase& y, TArgs& a, Fn fn) {
  const int col = GivenColumn(a);
  const bool names = FieldNamesOn(y);
  const TReadTable table = ReadTable(y, a, 0);
  SetSoreNumber(y, fn(*table, col, names));
}

// 表最大値 (?の,?列目の) 93
void CmdColumnMax(TYumeBase& y, TArgs& a) {
  ColumnStat(y, a, ColumnMax);
}

// 表最小値 (?の,?列目の) 94
void CmdColumnMin(TYumeBase& y, TArgs& a) {
  ColumnStat(y, a, ColumnMin);
}

// 表合計 (?の,?列目の) 98
void CmdColumnSum(TYumeBase& y, TArgs& a) {
  ColumnStat(y, a, ColumnSum);
}

// 表平均値 (?の,?列目の) 95 -- no data rows give 0.
void CmdColumnAverage(TYumeBase& y, TArgs& a) {
  ColumnStat(y, a, ColumnAverage);
}

// ---- sorting and reshaping ----

template <void (TCsvDb::*Sort)(int)>
void SortTable(TYumeBase& y, TArgs& a) {
  const int col = GivenColumn(a);
  TCsvDb table = OwnTable(a, 0);
  table.UseFieldNames = FieldNamesOn(y);
  (table.*Sort)(col);
  SetSoreText(y, table.GetCsvText());
}

// 表ソート (?の,?列目を) 96
void CmdSortTable(TYumeBase& y, TArgs& a) {
  SortTable<&TCsvDb::SortByText>(y, a);
}

// 表数値ソート (?の,?列目を) 97
void CmdSortTableByNumber(TYumeBase& y, TArgs& a) {
  SortTable<&TCsvDb::SortByNumber>(y, a);
}

// 表日付ソート (?の,?列目を) 298
void CmdSortTableByDate(TYumeBase& y, TArgs& a) {
  SortTable<&TCsvDb::SortByDate>(y, a);
}

// 表辞書順ソート (?の,?列目を) 522
void CmdSortTableByDictionary(TYumeBase& y, TArgs& a) {
  SortTable<&TCsvDb::SortByDictionary>(y, a);
}

// 表反転 (?の) 514 -- the field-name row stays on top.
void CmdReverseTable(TYumeBase& y, TArgs& a) {
  TCsvDb table = OwnTable(a, 0);
  table.UseFieldNames = FieldNamesOn(y);
  table.Reverse();
  SetSoreText(y, table.GetCsvText());
}

// 表行列交換 (?の) 349
void CmdTranspose(TYumeBase& y, TArgs& a) {
  TCsvDb table = OwnTable(a, 0);
  table.Transpose();
  SetSoreText(y, table.GetCsvText());
}

// ---- columns ----

// 表列挿入 (?の,?列目へ) 107 -- a negative column leaves それ as it was.
void CmdInsertCol(TYumeBase& y, TArgs& a) {
  const int col = LenientIndex(a, 1);
  if (col < 0) return (void)a.TextInPlace(0);
  TCsvDb table = OwnTable(a, 0);
  table.InsertCol(col);
  SetSoreKeepType(y, table.GetCsvText());
}

// 表列削除 (?の,?列目を) 108 -- rows too short keep what they have.
void CmdDeleteCol(TYumeBase& y, TArgs& a) {
  const int col = LenientIndex(a, 1);
  if (col < 0) return (void)a.TextInPlace(0);
  TCsvDb table = OwnTable(a, 0);
  table.DeleteCol(col);
  SetSoreKeepType(y, table.GetCsvText());
}

// 表列コピー (?の,?列目を) 237 -- the column as an array, the field name included.
void CmdCopyCol(TYumeBase& y, TArgs& a) {
  const int col = LenientIndex(a, 1);
  if (col < 0) return (void)a.TextInPlace(0);
  SetSoreKeepType(y, ColumnLines(*ReadTable(y, a, 0), col));
}

// 表列貼付け (?の,?列目に,?を) 238 -- the lines become a new column at col.
void CmdPasteCol(TYumeBase& y, TArgs& a) {
  const std::string& source = a.Text(2);
  const int col = LenientIndex(a, 1);
  if (col < 0) return (void)a.TextInPlace(0);
  const std::vector<std::string_view> views = SplitLines(source);
  const std::vector<std::string> lines(views.begin(), views.end());
  TCsvDb table = OwnTable(a, 0);
  table.InsertCol(col, lines);
  SetSoreKeepType(y, table.GetCsvText());
}

// 表重複項目削除 (?の,?列目をキーに) 196 -- -1 compares whole rows; the field-name row counts
// as a row like any other.
void CmdRemoveDuplicates(TYumeBase& y, TArgs& a) {
  const int col = LenientIndex(a, 1);
  if (col < -1) return (void)a.TextInPlace(0);
  TCsvDb table = OwnTable(a, 0);
  table.RemoveDuplicates(col);
  SetSoreKeepType(y, table.GetCsvText());
}

// 表列指定置換 (?の,?列目にある,?を,?に) 391
void CmdReplaceInCol(TYumeBase& y, TArgs& a) {
  const std::string with = a.Text(3);
  const std::string& what = a.Text(2);
  const int col = LenientIndex(a, 1);
  TCsvDb table = OwnTable(a, 0);
  ReplaceInColumn(table, col, what, with);
  SetSoreText(y, table.GetCsvText());
}

// 表列移動 (?の,?列目と,?列目を) 392 -- a row lacking either column fails (List index).
void CmdMoveCol(TYumeBase& y, TArgs& a) {
  const int to = LenientIndex(a, 2);
  const int from = LenientIndex(a, 1);
  TCsvDb table = OwnTable(a, 0);
  table.MoveCol(from, to);
  SetSoreText(y, table.GetCsvText());
}

// ---- conversion ----

// タブ区切りに変換 (?を) 501
void CmdToTabs(TYumeBase& y, TArgs& a) {
  SetSoreText(y, ReadTable(y, a, 0)->GetTsvText());
}

// カンマ区切りに変換 (?を) 502
void CmdToCommas(TYumeBase& y, TArgs& a) {
  TCsvDb table;
  table.SetTsvText(a.TextInPlace(0));
  SetSoreText(y, table.GetCsvText());
}

constexpr CommandDef kCommands[] = {
    {"要素数", "?の", 317, CmdRowCount},
    {"ソート", "?を", 77, CmdSortLines},
    {"数値ソート", "?を", 78, CmdSortLinesByNumber},
    {"逆にする", "?を", 79, CmdReverseLines},
    {"配列シャッフル", "?を", 330, CmdShuffle},
    {"行挿入", "?の,?行目へ,?を", 105, CmdInsertLine},
    {"行削除", "?の,?行目を", 106, CmdDeleteLine},
    {"表条件抽出", "?を,?で", 310, CmdSelect},
    {"表ピックアップ", "?の,?列目から,?を", 82, CmdPickup},
    {"表完全一致ピックアップ", "?の,?列目から,?を", 500, CmdPickupExact},
    {"表検索", "?の,?列目から,?を", 83, CmdFind},
    {"表曖昧検索", "?の,?列目から,?を", 86, CmdFindLoose},
    {"表検索次の値", "", 84, CmdFindNext},
    {"表検索クリア", "", 85, CmdFindClear},
    {"表最大値", "?の,?列目の", 93, CmdColumnMax},
    {"表最小値", "?の,?列目の", 94, CmdColumnMin},
    {"表平均値", "?の,?列目の", 95, CmdColumnAverage},
    {"表合計", "?の,?列目の", 98, CmdColumnSum},
    {"表ソート", "?の,?列目を", 96, CmdSortTable},
    {"表数値ソート", "?の,?列目を", 97, CmdSortTableByNumber},
    {"表日付ソート", "?の,?列目を", 298, CmdSortTableByDate},
    {"表辞書順ソート", "?の,?列目を", 522, CmdSortTableByDictionary},
    {"表反転", "?の", 514, CmdReverseTable},
    {"表列挿入", "?の,?列目へ", 107, CmdInsertCol},
    {"表列削除", "?の,?列目を", 108, CmdDeleteCol},
    {"表重複項目削除", "?の,?列目をキーに", 196, CmdRemoveDuplicates},
    {"表列コピー", "?の,?列目を", 237, CmdCopyCol},
    {"表列貼付け", "?の,?列目に,?を", 238, CmdPasteCol},
    {"表キー合成", "?の,?列目と,?の,?列目で", 311, CmdJoin},
    {"表行列交換", "?の", 349, CmdTranspose},
    {"表列指定置換", "?の,?列目にある,?を,?に", 391, CmdReplaceInCol},
    {"表列移動", "?の,?列目と,?列目を", 392, CmdMoveCol},
    {"表行数", "?の", 350, CmdRowCount},
    {"表列数", "?の", 351, CmdColCount},
    {"タブ区切りに変換", "?を", 501, CmdToTabs},
    {"カンマ区切りに変換", "?を", 502, CmdToCommas},
};

constexpr VariableDef kVariables[] = {
    {"表フィールド名", "0", "e", 15, false, false},
};

}  // namespace

const TFamily kTableFamily{"配列と表", kCommands, kVariables};

}  // namespace yume
