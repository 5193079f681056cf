// Strings: lengths, searching, replacing, cutting, padding, character classes, bytes.
//
// The handlers take their arguments (last slot first) and leave the result in それ; the text
// algorithms themselves are in strings.cpp.
#include <string>

#include "commands/families.h"
#include "commands/text/csvdb.h"
#include "commands/text/strings.h"
#include "core/error.h"
#include "core/executor.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/number.h"
#include "core/sjis.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// No text a command builds may grow beyond this: a count from a script must not exhaust memory.
constexpr int64_t kMaxTextBytes = int64_t{1} << 30;

std::string CommandName(const TYumeBase& y) { return y.LastCommand ? y.LastCommand->Name : ""; }

[[noreturn]] void ArgumentError(TYumeBase& y, const char* detail = "") {
  RaiseError(y, Subst("\"%s\"命令の引数に誤りがあります。", {CommandName(y)}) + detail);
}

[[noreturn]] void RangeError(TYumeBase& y) { RaiseError(y, "範囲チェックエラー"); }

void SetText(TYumeBase& y, std::string v) { SetSore(y, std::move(v), "s"); }
void SetCount(TYumeBase& y, uint64_t n) { SetSore(y, std::to_string(n), "e"); }
// The value only: the command leaves それ's type code as it was.
void SetValueOnly(TYumeBase& y, std::string v) {
  if (y.VarSore) y.VarSore->SetValueText(std::move(v));
}

// An argument read as an integer text; `def` when it is none.
int64_t PopInteger(TYumeBase& y, int64_t def = 0) {
  int64_t n = def;
  return ParseIntText(PopText(y), n) ? n : def;
}

// The value of the top argument; a plain variable's value is used where it is, not copied, so
// that a large text is measured and searched without a copy. Valid until the word changes.
const std::string& PopValue(TYumeBase& y, std::string& held) {
  std::string raw = y.Args.Pop();
  if (!raw.empty() && raw.front() != '`') {
    if (THashNode* w = y.Dict.FindScoped(raw, false); w && w->Kind == wkVariable) {
      if (!w->TypeText.empty()) y.LastType = w->TypeText;
      return w->ValueText();
    }
  }
  held = EvaluateText(y, raw);
  return held;
}

// An argument evaluated as a number and truncated.
int64_t PopCount(TYumeBase& y) { return TruncCount(PopNumber(y)); }

// An argument taken as written: its value, and the variable it names (null for それ, a quoted
// literal, or anything that names no variable), which is the only place a remainder may go.
struct TWritten {
  std::string Value;
  THashNode* Word = nullptr;  // the variable to write back to
  bool Named = false;         // the argument names an existing word (それ included)
};

TWritten PopWritten(TYumeBase& y) {
  TWritten a;
  std::string raw = y.Args.Pop();
  if (!raw.empty() && raw.front() != '`') {
    if (THashNode* w = y.Dict.FindScoped(raw, false)) {
      a.Named = true;
      if (w->Kind == wkVariable && w != y.VarSore) a.Word = w;
    }
  }
  a.Value = EvaluateText(y, raw);
  return a;
}

// Finishes a cut: the taken part to それ, the rest to the named variable.
void FinishCut(TYumeBase& y, const TWritten& arg, std::string_view taken, std::string rest) {
  SetText(y, std::string(taken));
  if (arg.Word) arg.Word->SetValueText(std::move(rest));
}

// Reads a system variable of this family; empty when it is not registered.
std::string SystemText(TYumeBase& y, const char* name) {
  THashNode* w = y.Dict.FindScoped(name, false);
  return w ? w->ValueText() : std::string();
}

// ---- measuring and searching ----

// 文字数/LEN (?の) 92
void CmdLength(TYumeBase& y) {
  std::string held;
  SetCount(y, CountChars(PopValue(y, held)));
}

// バイト数/LENB (?の) 122
void CmdByteLength(TYumeBase& y) {
  std::string held;
  SetCount(y, PopValue(y, held).size());
}

// 行数 (?の) 70 -- a variable with a table form counts its rows
void CmdLineCount(TYumeBase& y) {
  std::string raw = y.Args.Pop();
  THashNode* w = raw.empty() || raw.front() == '`' ? nullptr : y.Dict.FindScoped(raw, false);
  if (w && w->Kind == wkVariable) {
    SetCount(y, w->Table() ? static_cast<uint64_t>(w->Table()->RowCount())
                           : CountLines(w->ValueText()));
    return;
  }
  SetCount(y, CountLines(EvaluateText(y, raw)));
}

// 何文字目 (?の中で,?が) 562
void CmdCharPosition(TYumeBase& y) {
  std::string what = PopText(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  SetCount(y, CharPosition(s, what));
}

// 何バイト目/POS (?の中で,?が) 47
void CmdBytePosition(TYumeBase& y) {
  std::string what = PopText(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  SetCount(y, BytePosition(s, what));
}

// 出現回数 (?で,?の) 410
void CmdOccurrences(TYumeBase& y) {
  std::string what = PopText(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  SetCount(y, CountOccurrences(s, what));
}

// 文比較 (?と,?で) 373
void CmdSameText(TYumeBase& y) {
  std::string b = PopText(y);
  std::string a = PopText(y);
  SetCount(y, a == b ? 1 : 0);
}

// ---- extracting ----

// MID/切り出す (?の中で,?から,?つ) 48, MIDB (?,?,?) 431
// A stretch of the text from a start and a count, both integer texts.
template <std::string_view (*Stretch)(std::string_view, int64_t, int64_t)>
void StretchCommand(TYumeBase& y) {
  const int64_t count = PopInteger(y);
  const int64_t start = PopInteger(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  SetText(y, std::string(Stretch(s, start, count)));
}

// LEFT 189, RIGHT 188, 右端削除 171, 左端削除 172 (?から,?文字), 段落を切り出す (?から,?番目の) 214
// A part of the text chosen by a count: a number (truncated), or an integer text.
template <std::string_view (*Part)(std::string_view, int64_t), bool kIntegerText = false>
void PartCommand(TYumeBase& y) {
  const int64_t n = kIntegerText ? PopInteger(y) : PopCount(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  SetText(y, std::string(Part(s, n)));
}

// ---- destructive cutting ----

// 切り取る (?の,?までを) 99
void CmdCut(TYumeBase& y) {
  std::string delim = PopText(y);
  TWritten arg = PopWritten(y);
  if (!arg.Named && arg.Value.empty()) ArgumentError(y);
  if (delim.empty()) {
    SetText(y, std::string());
    return;
  }
  TCut cut = CutBefore(arg.Value, delim);
  FinishCut(y, arg, cut.Taken, std::move(cut.Rest));
}

// 判別して切り取る (?の,?までを,?で) 279
void CmdCutEscaped(TYumeBase& y) {
  std::string esc = PopText(y);
  std::string delim = PopText(y);
  TWritten arg = PopWritten(y);
  if (esc.size() != 1) ArgumentError(y, "判別文字は \\などの半角１文字で指定。");
  if (!arg.Named && arg.Value.empty()) ArgumentError(y);
  if (delim.empty()) {
    SetText(y, std::string());
    return;
  }
  TCut cut = CutBeforeEscaped(arg.Value, delim, esc[0]);
  FinishCut(y, arg, cut.Taken, std::move(cut.Rest));
}

// 範囲を切り取る (?の,?から,?までの) 266
void CmdCutRange(TYumeBase& y) {
  std::string to = PopText(y);
  std::string from = PopText(y);
  TWritten arg = PopWritten(y);
  if (!arg.Named) ArgumentError(y, "１番目の引数は、変数である必要があります。");
  TCut cut;
  if (!CutRange(arg.Value, from, to, cut)) {
    SetText(y, std::string());
    return;
  }
  FinishCut(y, arg, cut.Taken, std::move(cut.Rest));
}

// 左端を切り取る 277 / 右端を切り取る 278 (?から,?文字)
// N characters off one end; the rest stays in the variable.
template <std::string_view (*Take)(std::string_view, int64_t),
          std::string_view (*Keep)(std::string_view, int64_t)>
void CutEndCommand(TYumeBase& y) {
  const int64_t n = PopCount(y);
  TWritten arg = PopWritten(y);
  if (n <= 0 || arg.Value.empty()) {
    SetText(y, std::string());
    return;
  }
  FinishCut(y, arg, Take(arg.Value, n), std::string(Keep(arg.Value, n)));
}

// ---- building and changing ----

// 置換 (?の,?を,?に) 46
void CmdReplace(TYumeBase& y) {
  std::string with = PopText(y);
  std::string what = PopText(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  SetText(y, ReplaceAll(s, what, with));
}

// 単置換 (?で,?個目の,?を,?に) 438
void CmdReplaceNth(TYumeBase& y) {
  std::string with = PopText(y);
  std::string what = PopText(y);
  const int64_t n = PopCount(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  SetText(y, ReplaceNth(s, n, what, with));
}

// リフレイン (?を,?度) 50
void CmdRepeat(TYumeBase& y) {
  const int64_t n = PopInteger(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  std::string out;
  if (n > 0 && !s.empty()) {
    if (static_cast<int64_t>(s.size()) > kMaxTextBytes / n) RangeError(y);
    out.reserve(s.size() * static_cast<size_t>(n));
    for (int64_t k = 0; k < n; ++k) out.append(s);
  }
  SetText(y, std::move(out));
}

// 区切る (?を,?で) 36
void CmdSplit(TYumeBase& y) {
  std::string delim = PopText(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  TCsvDb table;
  for (std::string_view piece : SplitPieces(s, delim)) table.AddRow(TCsvCells{piece});
  SetText(y, table.GetCsvText());
}

// 前後の空白削除/トリム (?の) 72
void CmdTrim(TYumeBase& y) { SetText(y, std::string(TrimSpaces(PopText(y)))); }

// 送り仮名削除 (?から) 327
void CmdDropOkurigana(TYumeBase& y) { SetText(y, FoldName(PopText(y))); }

// 行揃え (?を,?バイトで) 412
void CmdWrap(TYumeBase& y) {
  const int64_t width = PopCount(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  const int64_t tab = TruncCount(StrToNumber(SystemText(y, "タブ文字の個数")));
  SetText(y, WrapLines(s, width, tab, SystemText(y, "禁則処理の行頭禁止文字")));
}

// Pads on the left to a width in bytes; それ keeps its type.
void PadCommand(TYumeBase& y, char fill) {
  const int64_t width = PopCount(y);
  std::string held;
  const std::string& s = PopValue(y, held);
  if (width > kMaxTextBytes) RangeError(y);
  SetValueOnly(y, width > 0 ? PadLeft(s, static_cast<size_t>(width), fill) : s);
}

// 右寄せ (?を,?桁で) 174
void CmdAlignRight(TYumeBase& y) { PadCommand(y, ' '); }

// ゼロで埋める (?を,?桁の) 175
void CmdZeroPad(TYumeBase& y) { PadCommand(y, '0'); }

// 通貨形式に変換 (?を) 173
void CmdCurrency(TYumeBase& y) {
  std::string held;
  const std::string& s = PopValue(y, held);
  const bool decimals = FindCharAligned(s, '.') != std::string::npos;
  SetValueOnly(y, CurrencyText(StrToNumber(s), decimals));
}

// 指定形式に変換 (?を,?の) 293
void CmdFormat(TYumeBase& y) {
  std::string format = PopText(y);
  std::string value = PopText(y);
  std::string out;
  switch (FormatValue(format, value, out)) {
    case TFormatStatus::kOk:
      SetText(y, std::move(out));
      return;
    case TFormatStatus::kOutOfRange:
      RangeError(y);
    case TFormatStatus::kBadFormat:
      RaiseError(y, "\"%s\"は、文法が正しくないため、実行できません。", {CommandName(y)});
  }
}

// 確保 (?に,?バイトを) 73 -- the new bytes are zero
void CmdReserve(TYumeBase& y) {
  const int64_t n = PopCount(y);
  if (n < 0 || n > kMaxTextBytes) {
    y.Args.Pop();
    RangeError(y);
  }
  const bool existed = y.Dict.FindScoped(y.Args.Items().empty() ? "" : y.Args.Items().back(), false);
  THashNode* w = PopWord(y, true);
  if (!existed) w->TypeText = "s";
  w->SetValueText(std::string(static_cast<size_t>(n), '\0'));
}

// ---- characters and codes ----

// キーコード/ASC (?の) 75
void CmdKeyCode(TYumeBase& y) {
  std::string held;
  const std::string& s = PopValue(y, held);
  if (s.empty()) ArgumentError(y);
  SetCount(y, FirstCharCode(s));
}

// 文字/CHR (?の) 76
void CmdCharOf(TYumeBase& y) {
  int64_t code = 0;
  if (!ParseIntText(PopText(y), code) || code < 0) ArgumentError(y);
  if (code > 65535) RangeError(y);
  SetText(y, CharFromCode(static_cast<uint32_t>(code)));
}

// 大文字か 284, 数字か 285, 全角か 286, ひらがなか 287, カタカナか 288, 数列か 413 (?が)
// A test of the text: 1 or 0 in それ.
template <bool (*Test)(std::string_view)>
void TestCommand(TYumeBase& y) {
  SetCount(y, Test(PopText(y)) ? 1 : 0);
}

// ---- bytes ----

// バイナリダンプ (?を) 375
void CmdHexDump(TYumeBase& y) { SetText(y, HexDump(PopText(y))); }

// Byte offset of a position from 1 (positions up to 1 mean the first byte).
size_t OffsetOf(long double p) {
  const int64_t n = TruncCount(p);
  return n <= 1 ? 0 : static_cast<size_t>(n - 1);
}

// バイナリ取得 (?の,?を,?形式で) 415
void CmdBinaryGet(TYumeBase& y) {
  const TBinFormat f = BinFormatOf(PopText(y));
  const size_t at = OffsetOf(PopNumber(y));
  THashNode* w = PopWord(y, false);
  if (f == TBinFormat::kNone) return;
  std::string out;
  bool isText = false;
  if (!ReadBinary(w->ValueText(), at, f, out, isText)) RangeError(y);
  SetSore(y, std::move(out), isText ? "s" : "e");
}

// バイナリ設定 (?を,?の,?に,?形式で) 416 -- in place, inside the value's bytes only
void CmdBinarySet(TYumeBase& y) {
  const TBinFormat f = BinFormatOf(PopText(y));
  const size_t at = OffsetOf(PopNumber(y));
  // The variable is looked up after the value is evaluated, so that evaluation cannot remove it
  // from under us.
  std::string target = y.Args.Pop();
  std::string value = PopText(y);
  y.Args.Push(std::move(target));
  THashNode* w = PopWord(y, false);
  if (f == TBinFormat::kNone) return;
  if (WriteBinary(w->MutableValue(), at, f, value, StrToNumber(value)) != TFormatStatus::kOk) {
    RangeError(y);
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
    {"RIGHT", "?,?", 188, PartCommand<RightChars>},
    {"LEFT", "?,?", 189, PartCommand<LeftChars>},
    {"MID", "?の中で,?から,?つ", 48, StretchCommand<MidChars>},
    {"切り出す", "?の中で,?から,?つ", 48, StretchCommand<MidChars>},
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
    {"右端削除", "?から,?文字", 171, PartCommand<DropRightChars>},
    {"左端削除", "?から,?文字", 172, PartCommand<DropLeftChars>},
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
