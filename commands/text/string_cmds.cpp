// Strings: lengths, searching, replacing, cutting, padding, character classes, bytes.
//
// The handlers take their arguments through the view and leave the result in それ; the text
// algorithms themselves are in strings.cpp.
#include <string>

#include "commands/families.h"
#include "commands/text/strings.h"
#include "core/cmdlib.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/sjis.h"
#include "core/yumebase.h"
#include "table/csvdb.h"

namespace yume {

namespace {

// No text a command builds may grow beyond this: a count from a script must not exhaust memory.
constexpr int64_t kMaxTextBytes = int64_t{1} << 30;

// An argument taken as written: its value, and the variable it names (null for それ, a quoted
// literal, or anything that names no variable), which is the only place a remainder may go.
struct TWritten {
  std::string Value;
  THashNode* Word = nullptr;  // the variable to write back to
  bool Named = false;         // the argument names an existing word (それ included)
};

TWritten Written(TYumeBase& y, TArgs& a, size_t slot) {
  TWritten w;
  if (THashNode* named = a.NamedWord(slot)) {
    w.Named = true;
    if (named->Kind == wkVariable && named != y.VarSore) w.Word = named;
  }
  w.Value = a.TakeText(slot);
  return w;
}

// Finishes a cut: the taken part to それ, the rest to the named variable.
void FinishCut(TYumeBase& y, const TWritten& arg, std::string_view taken, std::string rest) {
  SetSoreText(y, std::string(taken));
  if (arg.Word) arg.Word->SetValueText(std::move(rest));
}

// A text argument where it stands (as TextInPlace), with the index of its characters when it is
// a variable's long value: the index stays beside the value until it changes, so a walk through
// a text by character positions costs the same at every step.
struct TCharsArg {
  std::string_view Text;
  const TCharIndex* Index = nullptr;
};

TCharsArg CharsArg(TArgs& a, size_t i) {
  constexpr size_t kIndexFrom = 256;  // shorter texts are walked faster than indexed
  if (THashNode* w = a.NamedWord(i); w && w->Kind == wkVariable) {
    const std::string& s = w->ValueText();
    return {s, s.size() >= kIndexFrom ? &w->CharIndex() : nullptr};
  }
  return {a.Text(i), nullptr};
}

// ---- measuring and searching ----

// 文字数/LEN (?の) 92
void CmdLength(TYumeBase& y, TArgs& a) {
  const TCharsArg t = CharsArg(a, 0);
  SetSoreInteger(y, static_cast<int64_t>(t.Index ? t.Index->Count() : CountChars(t.Text)));
}

// バイト数/LENB (?の) 122
void CmdByteLength(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, static_cast<int64_t>(a.TextInPlace(0).size()));
}

// 行数 (?の) 70 -- a variable with a table form counts its rows
void CmdLineCount(TYumeBase& y, TArgs& a) {
  THashNode* w = a.NamedWord(0);
  if (w && w->Kind == wkVariable) {
    SetSoreInteger(y, w->Table() ? static_cast<int64_t>(w->Table()->RowCount())
                                 : static_cast<int64_t>(CountLines(w->ValueText())));
    return;
  }
  SetSoreInteger(y, static_cast<int64_t>(CountLines(a.Text(0))));
}

// 何文字目 (?の中で,?が) 562
void CmdCharPosition(TYumeBase& y, TArgs& a) {
  const std::string& what = a.Text(1);
  const TCharsArg t = CharsArg(a, 0);
  SetSoreInteger(y, static_cast<int64_t>(CharPosition(t.Text, what, t.Index)));
}

// 何バイト目/POS (?の中で,?が) 47
void CmdBytePosition(TYumeBase& y, TArgs& a) {
  const std::string& what = a.Text(1);
  SetSoreInteger(y, static_cast<int64_t>(BytePosition(a.TextInPlace(0), what)));
}

// 出現回数 (?で,?の) 410
void CmdOccurrences(TYumeBase& y, TArgs& a) {
  const std::string& what = a.Text(1);
  SetSoreInteger(y, static_cast<int64_t>(CountOccurrences(a.TextInPlace(0), what)));
}

// 文比較 (?と,?で) 373
void CmdSameText(TYumeBase& y, TArgs& a) {
  const std::string& b = a.Text(1);
  SetSoreInteger(y, a.Text(0) == b ? 1 : 0);
}

// ---- extracting ----

// MIDB (?,?,?) 431
// A stretch of the text from a start and a count, both integer texts.
template <std::string_view (*Stretch)(std::string_view, int64_t, int64_t)>
void StretchCommand(TYumeBase& y, TArgs& a) {
  const int64_t count = a.IntegerText(2);
  const int64_t start = a.IntegerText(1);
  SetSoreText(y, std::string(Stretch(a.TextInPlace(0), start, count)));
}

// MID/切り出す (?の中で,?から,?つ) 48
void CmdMid(TYumeBase& y, TArgs& a) {
  const int64_t count = a.IntegerText(2);
  const int64_t start = a.IntegerText(1);
  const TCharsArg t = CharsArg(a, 0);
  SetSoreText(y, std::string(MidChars(t.Text, start, count, t.Index)));
}

// LEFT, RIGHT, 右端削除, 左端削除 (below): a part by a count of characters.
template <std::string_view (*Part)(std::string_view, int64_t, const TCharIndex*)>
void CharsCommand(TYumeBase& y, TArgs& a) {
  const int64_t n = a.Whole(1);
  const TCharsArg t = CharsArg(a, 0);
  SetSoreText(y, std::string(Part(t.Text, n, t.Index)));
}

// LEFT 189, RIGHT 188, 右端削除 171, 左端削除 172 (?から,?文字), 段落を切り出す (?から,?番目の) 214
// A part of the text chosen by a count: a number (truncated), or an integer text.
template <std::string_view (*Part)(std::string_view, int64_t), bool kIntegerText = false>
void PartCommand(TYumeBase& y, TArgs& a) {
  const int64_t n = kIntegerText ? a.IntegerText(1) : a.Whole(1);
  SetSoreText(y, std::string(Part(a.TextInPlace(0), n)));
}

// ---- destructive cutting ----

// 切り取る (?の,?までを) 99
void CmdCut(TYumeBase& y, TArgs& a) {
  const std::string delim = a.TakeText(1);
  TWritten arg = Written(y, a, 0);
  if (!arg.Named && arg.Value.empty()) a.ArgumentError();
  if (delim.empty()) {
    SetSoreText(y, std::string());
    return;
  }
  TCut cut = CutBefore(arg.Value, delim);
  FinishCut(y, arg, cut.Taken, std::move(cut.Rest));
}

// 判別して切り取る (?の,?までを,?で) 279
void CmdCutEscaped(TYumeBase& y, TArgs& a) {
  const std::string esc = a.TakeText(2);
  const std::string delim = a.TakeText(1);
  TWritten arg = Written(y, a, 0);
  if (esc.size() != 1) a.ArgumentError("判別文字は \\などの半角１文字で指定。");
  if (!arg.Named && arg.Value.empty()) a.ArgumentError();
  if (delim.empty()) {
    SetSoreText(y, std::string());
    return;
  }
  TCut cut = CutBeforeEscaped(arg.Value, delim, esc[0]);
  FinishCut(y, arg, cut.Taken, std::move(cut.Rest));
}

// 範囲を切り取る (?の,?から,?までの) 266
void CmdCutRange(TYumeBase& y, TArgs& a) {
  const std::string to = a.TakeText(2);
  const std::string from = a.TakeText(1);
  TWritten arg = Written(y, a, 0);
  if (!arg.Named) a.ArgumentError("１番目の引数は、変数である必要があります。");
  TCut cut;
  if (!CutRange(arg.Value, from, to, cut)) {
    SetSoreText(y, std::string());
    return;
  }
  FinishCut(y, arg, cut.Taken, std::move(cut.Rest));
}

// 左端を切り取る 277 / 右端を切り取る 278 (?から,?文字)
// N characters off one end; the rest stays in the variable.
template <std::string_view (*Take)(std::string_view, int64_t),
          std::string_view (*Keep)(std::string_view, int64_t)>
void CutEndCommand(TYumeBase& y, TArgs& a) {
  const int64_t n = a.Whole(1);
  TWritten arg = Written(y, a, 0);
  if (n <= 0 || arg.Value.empty()) {
    SetSoreText(y, std::string());
    return;
  }
  FinishCut(y, arg, Take(arg.Value, n), std::string(Keep(arg.Value, n)));
}

// ---- building and changing ----

// 置換 (?の,?を,?に) 46
void CmdReplace(TYumeBase& y, TArgs& a) {
  const std::string& with = a.Text(2);
  const std::string& what = a.Text(1);
  SetSoreText(y, ReplaceAll(a.TextInPlace(0), what, with));
}

// 単置換 (?で,?個目の,?を,?に) 438
void CmdReplaceNth(TYumeBase& y, TArgs& a) {
  const std::string& with = a.Text(3);
  const std::string& what = a.Text(2);
  const int64_t n = a.Whole(1);
  SetSoreText(y, ReplaceNth(a.TextInPlace(0), n, what, with));
}

// リフレイン (?を,?度) 50
void CmdRepeat(TYumeBase& y, TArgs& a) {
  const int64_t n = a.IntegerText(1);
  const std::string& s = a.TextInPlace(0);
  std::string out;
  if (n > 0 && !s.empty()) {
    if (static_cast<int64_t>(s.size()) > kMaxTextBytes / n) a.RangeError();
    out.reserve(s.size() * static_cast<size_t>(n));
    for (int64_t k = 0; k < n; ++k) out.append(s);
  }
  SetSoreText(y, std::move(out));
}

// 区切る (?を,?で) 36
void CmdSplit(TYumeBase& y, TArgs& a) {
  const std::string& delim = a.Text(1);
  TCsvDb table;
  for (std::string_view piece : SplitPieces(a.TextInPlace(0), delim))
    table.AddRow(TCsvCells{piece});
  SetSoreText(y, table.GetCsvText());
}

// 前後の空白削除/トリム (?の) 72
void CmdTrim(TYumeBase& y, TArgs& a) {
  SetSoreText(y, std::string(TrimSpaces(a.Text(0))));
}

// 送り仮名削除 (?から) 327
void CmdDropOkurigana(TYumeBase& y, TArgs& a) {
  SetSoreText(y, FoldName(a.Text(0)));
}

// 行揃え (?を,?バイトで) 412
void CmdWrap(TYumeBase& y, TArgs& a) {
  const int64_t width = a.Whole(1);
  const std::string& s = a.TextInPlace(0);
  const int64_t tab = TruncCount(StrToNumber(SystemText(y, "タブ文字の個数")));
  SetSoreText(y, WrapLines(s, width, tab, SystemText(y, "禁則処理の行頭禁止文字")));
}

// Pads on the left to a width in bytes; それ keeps its type.
void PadCommand(TYumeBase& y, TArgs& a, char fill) {
  const int64_t width = a.Whole(1);
  const std::string& s = a.TextInPlace(0);
  if (width > kMaxTextBytes) a.RangeError();
  SetSoreKeepType(y, width > 0 ? PadLeft(s, static_cast<size_t>(width), fill) : s);
}

// 右寄せ (?を,?桁で) 174
void CmdAlignRight(TYumeBase& y, TArgs& a) {
  PadCommand(y, a, ' ');
}

// ゼロで埋める (?を,?桁の) 175
void CmdZeroPad(TYumeBase& y, TArgs& a) {
  PadCommand(y, a, '0');
}

// 通貨形式に変換 (?を) 173
void CmdCurrency(TYumeBase& y, TArgs& a) {
  const std::string& s = a.TextInPlace(0);
  const bool decimals = FindCharAligned(s, '.') != std::string::npos;
  SetSoreKeepType(y, CurrencyText(StrToNumber(s), decimals));
}

// 指定形式に変換 (?を,?の) 293
void CmdFormat(TYumeBase& y, TArgs& a) {
  const std::string& format = a.Text(1);
  const std::string& value = a.Text(0);
  std::string out;
  switch (FormatValue(format, value, out)) {
    case TFormatStatus::kOk:
      SetSoreText(y, std::move(out));
      return;
    case TFormatStatus::kOutOfRange:
      a.RangeError();
    case TFormatStatus::kBadFormat:
      RaiseBadSyntax(y, a.Name());
  }
}

// 確保 (?に,?バイトを) 73 -- the new bytes are zero
void CmdReserve(TYumeBase& y, TArgs& a) {
  const int64_t n = a.Whole(1);
  if (n < 0 || n > kMaxTextBytes) {
    a.Phrase(0);  // the target is used up all the same
    a.RangeError();
  }
  const bool existed = a.NamedWord(0) != nullptr;
  THashNode& w = a.WordOrNew(0);
  if (!existed) w.TypeText = "s";
  w.SetValueText(std::string(static_cast<size_t>(n), '\0'));
}

// ---- characters and codes ----

// キーコード/ASC (?の) 75
void CmdKeyCode(TYumeBase& y, TArgs& a) {
  const std::string& s = a.TextInPlace(0);
  if (s.empty()) a.ArgumentError();
  SetSoreInteger(y, static_cast<int64_t>(FirstCharCode(s)));
}

// 文字/CHR (?の) 76
void CmdCharOf(TYumeBase& y, TArgs& a) {
  int64_t code = 0;
  if (!ParseIntText(a.Text(0), code) || code < 0) a.ArgumentError();
  if (code > 65535) a.RangeError();
  SetSoreText(y, CharFromCode(static_cast<uint32_t>(code)));
}

// 大文字か 284, 数字か 285, 全角か 286, ひらがなか 287, カタカナか 288, 数列か 413 (?が)
// A test of the text: 1 or 0 in それ.
template <bool (*Test)(std::string_view)>
void TestCommand(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, Test(a.Text(0)) ? 1 : 0);
}

// ---- bytes ----

// バイナリダンプ (?を) 375
void CmdHexDump(TYumeBase& y, TArgs& a) {
  SetSoreText(y, HexDump(a.Text(0)));
}

// Byte offset of a position from 1 (positions up to 1 mean the first byte).
size_t OffsetOf(long double p) {
  const int64_t n = TruncCount(p);
  return n <= 1 ? 0 : static_cast<size_t>(n - 1);
}

// バイナリ取得 (?の,?を,?形式で) 415
void CmdBinaryGet(TYumeBase& y, TArgs& a) {
  const TBinFormat f = BinFormatOf(a.Text(2));
  const size_t at = OffsetOf(a.Number(1));
  THashNode& w = a.Word(0);
  if (f == TBinFormat::kNone) return;
  std::string out;
  bool isText = false;
  if (!ReadBinary(w.ValueText(), at, f, out, isText)) a.RangeError();
  SetSoreTyped(y, std::move(out), isText ? "s" : "e");
}

// バイナリ設定 (?を,?の,?に,?形式で) 416 -- in place, inside the value's bytes only
void CmdBinarySet(TYumeBase& y, TArgs& a) {
  const TBinFormat f = BinFormatOf(a.Text(3));
  const size_t at = OffsetOf(a.Number(2));
  // The variable is looked up after the value is evaluated, so that evaluation cannot remove it
  // from under us.
  a.Phrase(1);
  const TValue& value = a.Value(0);
  THashNode& w = a.Word(1);
  if (f == TBinFormat::kNone) return;
  if (WriteBinary(w.MutableValue(), at, f, value.Text(), value.Number()) != TFormatStatus::kOk) {
    a.RangeError();
  }
}

constexpr CommandDef kCommands[] = {
    {"バイナリダンプ", "?を", 375, CmdHexDump},
    {"文字数", "?の", 92, CmdLength},
    {"バイト数", "?の", 122, CmdByteLength},
    {"行数", "?の", 70, CmdLineCount},
    {"置換", "?の,?を,?に", 46, CmdReplace},
    {"単置換", "?で,?個目の,?を,?に", 438, CmdReplaceNth},
    {"何文字目", "?の中で,?が", 562, CmdCharPosition},
    {"何バイト目", "?の中で,?が", 47, CmdBytePosition},
    {"リフレイン", "?を,?度", 50, CmdRepeat},
    {"確保", "?に,?バイトを", 73, CmdReserve},
    {"LEN", "?", 92, CmdLength},
    {"LENB", "?", 122, CmdByteLength},
    {"RIGHT", "?,?", 188, CharsCommand<RightChars>},
    {"LEFT", "?,?", 189, CharsCommand<LeftChars>},
    {"MID", "?の中で,?から,?つ", 48, CmdMid},
    {"切り出す", "?の中で,?から,?つ", 48, CmdMid},
    {"MIDB", "?,?,?", 431, StretchCommand<MidBytes>},
    {"POS", "?,?", 47, CmdBytePosition},
    {"文比較", "?と,?で", 373, CmdSameText},
    {"出現回数", "?で,?の", 410, CmdOccurrences},
    {"区切る", "?を,?で", 36, CmdSplit},
    {"段落を切り出す", "?から,?番目の", 214, PartCommand<Paragraph, true>},
    {"行揃え", "?を,?バイトで", 412, CmdWrap},
    {"左端を切り取る", "?から,?文字", 277, CutEndCommand<LeftChars, DropLeftChars>},
    {"右端を切り取る", "?から,?文字", 278, CutEndCommand<RightChars, DropRightChars>},
    {"切り取る", "?の,?までを", 99, CmdCut},
    {"範囲を切り取る", "?の,?から,?までの", 266, CmdCutRange},
    {"判別して切り取る", "?の,?までを,?で", 279, CmdCutEscaped},
    {"前後の空白削除", "?の", 72, CmdTrim},
    {"トリム", "?を", 72, CmdTrim},
    {"右端削除", "?から,?文字", 171, CharsCommand<DropRightChars>},
    {"左端削除", "?から,?文字", 172, CharsCommand<DropLeftChars>},
    {"送り仮名削除", "?から", 327, CmdDropOkurigana},
    {"通貨形式に変換", "?を", 173, CmdCurrency},
    {"指定形式に変換", "?を,?の", 293, CmdFormat},
    {"右寄せ", "?を,?桁で", 174, CmdAlignRight},
    {"ゼロで埋める", "?を,?桁の", 175, CmdZeroPad},
    {"大文字か", "?が", 284, TestCommand<StartsUpper>},
    {"数字か", "?が", 285, TestCommand<StartsDigit>},
    {"数列か", "?が", 413, TestCommand<IsNumberSequence>},
    {"全角か", "?が", 286, TestCommand<StartsWide>},
    {"ひらがなか", "?が", 287, TestCommand<StartsHiragana>},
    {"カタカナか", "?が", 288, TestCommand<StartsKatakana>},
    {"文字", "?の", 76, CmdCharOf},
    {"キーコード", "?の", 75, CmdKeyCode},
    {"CHR", "?", 76, CmdCharOf},
    {"ASC", "?", 75, CmdKeyCode},
    {"バイナリ取得", "?の,?を,?形式で", 415, CmdBinaryGet},
    {"バイナリ設定", "?を,?の,?に,?形式で", 416, CmdBinarySet},
};

constexpr VariableDef kVariables[] = {
    {"タブ文字の個数", "8", "e", 5, false, false},
    {"禁則処理の行頭禁止文字", "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ", "s", 6,
     false, false},
};

}  // namespace

const TFamily kStringFamily{"文字列", kCommands, kVariables};

}  // namespace yume
