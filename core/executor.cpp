// One statement step at a time: phrases are stacked unevaluated with their particles; the
// statement's end runs the command word with them.
#include "core/executor.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/assign.h"
#include "core/bind.h"
#include "core/cmdlib.h"
#include "core/control.h"
#include "core/error.h"
#include "core/expr.h"
#include "core/hash.h"
#include "core/host.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/plan.h"
#include "core/poscache.h"
#include "core/registry.h"
#include "core/runseam.h"
#include "core/scanner.h"
#include "core/sjis.h"
#include "core/term.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// Sets y.Cur to the given position of the text.
void SetPos(TYumeBase& y, std::string_view text, size_t pos) {
  y.Cur = text.data() + pos;
}

// Saves それ and puts it back afterwards.
struct SoreKeeper {
  TYumeBase& y;
  std::string value, type;
  explicit SoreKeeper(TYumeBase& yb) : y(yb) {
    if (y.VarSore) {
      value = y.VarSore->ValueText();
      type = y.VarSore->TypeText;
    }
  }
  ~SoreKeeper() {
    if (y.VarSore) {
      y.VarSore->SetValueText(std::move(value));
      y.VarSore->TypeText = std::move(type);
    }
  }
};

// A line break inside a "&" chain or a statement's rest is run as a statement step: its line
// marker is read (the statement goes on).
void LineStep(TYumeBase& y, std::string_view text, size_t& pos) {
  ReadLineMarker(y, text, pos);
}

bool IsCallable(const THashNode* w) {
  return w && (w->Kind == wkCommand || w->Kind == wkLabel || w->Kind == wkLibFunc);
}

void ExecuteAt(TYumeBase& y, std::string_view text, size_t pos);

// After a phrase has been built: what follows decides what the phrase is.
void ContinuePhrase(TYumeBase& y, std::string_view text, size_t pos, std::string phrase,
                    bool wordPhrase) {
  const size_t after = pos;
  SkipSeparators(text, pos);
  const char next = CharAt(text, pos);

  if (next == '=') {
    ++pos;
    SetPos(y, text, pos);
    AssignStatement(y, phrase, text, pos);
    return;
  }
  if (next == '&') {
    // A word (or an item of a dictionary or part) joins with its value.
    if (wordPhrase &&
        (y.Dict.FindScoped(phrase, false) || FindAligned(phrase, "の") != std::string::npos)) {
      phrase = QuoteBackquote(EvaluateText(y, phrase));
    }
    phrase += ReadConcatTail(y, text, pos, LineStep);
    y.Args.Push(std::move(phrase));
    SetPos(y, text, pos);
    return;
  }
  if (EndsWith(phrase, "の")) {
    y.Args.Push(std::move(phrase));
    SetPos(y, text, after);
    ExecuteStatement(y);
    return;
  }
  if (EndsWith(phrase, "は")) {
    phrase.resize(phrase.size() - 2);
    SetPos(y, text, pos);
    AssignStatement(y, phrase, text, pos);
    return;
  }
  if (EndsWith(phrase, "回")) {
    SetPos(y, text, after);
    phrase.resize(phrase.size() - 2);
    CountLoop(y, phrase);
    return;
  }
  if (EndsWith(phrase, "の時")) {
    SetPos(y, text, after);
    phrase.resize(phrase.size() - 4);
    CaseLine(y, phrase);
    return;
  }
  if (EndsWith(phrase, "て")) {
    THashNode* w = y.Dict.FindScoped(phrase, true);
    if (IsCallable(w)) {
      if (CharAt(text, after) == '(') {
        size_t p = after;
        FunctionCall(y, *w, text, p, false);
        if (y.Cur) SetPos(y, text, p);
      } else {
        SetPos(y, text, after);
        ExecuteWord(y, *w);
      }
      return;
    }
  }
  if (RunsStatementAtOnce(y, phrase)) {
    y.Args.Push(std::move(phrase));
    SetPos(y, text, after);
    EndOfStatement(y);
    return;
  }
  if (wordPhrase && next == '(') {
    THashNode* w = y.Dict.FindScoped(phrase, true);
    if (IsCallable(w)) {
      SetPos(y, text, pos);
      std::string value = FunctionCall(y, *w, text, pos, false);
      if (!y.Cur) return;
      SkipBlanks(text, pos);
      const char c = CharAt(text, pos);
      if (c == '\0' || c == '\r' || c == ';') {
        SetSoreTyped(y, std::move(value), y.LastType == "s" ? "s" : "e");
        SetPos(y, text, pos);
        return;
      }
      phrase = y.LastType == "s" ? QuoteBackquote(value) : value;
      phrase += ReadWord(text, pos);
      y.Args.Push(std::move(phrase));
      SetPos(y, text, pos);
      if (pos >= text.size()) ExecuteStatement(y);
      return;
    }
  }
  y.Args.Push(std::move(phrase));
  SetPos(y, text, after);
  if (after >= text.size()) ExecuteStatement(y);
}

// "#": element phrase. The name is the phrase stacked last.
void ElementPhrase(TYumeBase& y, std::string_view text, size_t pos) {
  std::string name = y.Args.Pop();
  if (!y.Dict.FindScoped(name, false)) {
    y.Dict.Add(THashNode::MakeVariable(name, false, -1, ""));
  }
  auto read_index = [&](bool giveBack) -> std::string {
    ++pos;  // "#"
    if (CharAt(text, pos) == '(') {
      std::string_view inner = ReadParenthesized(y, text, pos);
      return EvaluateText(y, inner);
    }
    std::string_view w = ReadWord(text, pos);
    if (giveBack) {
      for (std::string_view p : {"は", "と", "を"}) {
        if (EndsWith(w, p)) {
          w.remove_suffix(p.size());
          pos -= p.size();
          break;
        }
      }
    }
    return std::string(w);
  };
  std::string phrase = name + "#" + read_index(false);
  SkipBlanks(text, pos);
  if (CharAt(text, pos) == '#') phrase += "#" + read_index(true);
  if (!IsDelimiter(CharAt(text, pos))) phrase += ReadWord(text, pos);
  ContinuePhrase(y, text, pos, std::move(phrase), false);
}

void ExecuteAt(TYumeBase& y, std::string_view text, size_t pos) {
  SkipSeparators(text, pos);
  const char c = CharAt(text, pos);
  switch (c) {
    case '\0':
      SetPos(y, text, pos);
      EndOfStatement(y);
      return;
    case '\r':
    case '\n': {
      const bool continued = pos > 0 && text[pos - 1] == ',';
      const size_t breakPos = pos;
      ReadLineMarker(y, text, pos);
      if (continued) {
        SetPos(y, text, pos);
        return;
      }
      // The command runs with the position still on its own line, so that an error names the
      // line of the statement that failed; then the step goes on after the line marker.
      SetPos(y, text, breakPos);
      const char* const atBreak = y.Cur;
      try {
        EndOfStatement(y);
      } catch (...) {
        if (y.Cur == atBreak) SetPos(y, text, pos);
        throw;
      }
      if (y.Cur == atBreak) SetPos(y, text, pos);
      return;
    }
    case ';':
      SetPos(y, text, pos + 1);
      EndOfStatement(y);
      return;
    case '*':
      while (pos < text.size() && text[pos] != '\r') ++pos;
      SetPos(y, text, pos);
      return;
    case '\\': {
      ++pos;
      std::string n = ReadNumber(text, pos);
      y.Args.Push("\\" + n);
      SetPos(y, text, pos);
      return;
    }
    case '?': {
      ++pos;
      SkipSeparators(text, pos);
      if (AtStringLiteral(text, pos)) {
        std::string_view lit = ReadStringLiteral(y, text, pos);
        SetPos(y, text, pos);
        std::string v = EvaluateText(y, lit);
        y.Host->ShowMessage(v, "", TMessageKind::Info);
        return;
      }
      SetPos(y, text, pos);
      QuestionForm(y);
      return;
    }
    default:
      break;
  }

  if (AtStringLiteral(text, pos)) {
    std::string_view lit = ReadStringLiteral(y, text, pos);
    std::string phrase = QuoteBackquote(EvaluateText(y, lit));
    SkipBlanks(text, pos);
    phrase += ReadConcatTail(y, text, pos, LineStep);
    ContinuePhrase(y, text, pos, std::move(phrase), false);
    return;
  }
  if (c == '$' || c == '+' || c == '-' || IsDigitChar(c)) {
    std::string phrase = ReadNumber(text, pos);
    SkipBlanks(text, pos);
    // Numbers at the start of a phrase are combined left to right as they are read.
    while (IsOperatorChar(CharAt(text, pos))) {
      std::string expr = phrase;
      while (IsOperatorChar(CharAt(text, pos))) expr += text[pos++];
      SkipBlanks(text, pos);
      expr += ReadNumber(text, pos);
      SkipBlanks(text, pos);
      phrase = Calculate(y, expr);
    }
    const char n = CharAt(text, pos);
    if (n != '\r' && n != '\n' && n != ',' && n != ';' && n != '\xA4')
      phrase += ReadWord(text, pos);
    ContinuePhrase(y, text, pos, std::move(phrase), false);
    return;
  }
  if (c == '(') {
    std::string phrase(ReadParenthesized(y, text, pos));
    phrase = "(" + phrase + ")";
    phrase += ReadWord(text, pos);
    ContinuePhrase(y, text, pos, std::move(phrase), false);
    return;
  }
  if (c == '#') {
    ElementPhrase(y, text, pos);
    return;
  }

  std::string_view word = ReadWord(text, pos);
  if (word.empty()) {
    std::string ch(text.substr(pos, CharLen(text, pos)));
    SetPos(y, text, pos + ch.size());
    std::string msg = Subst(msg::kBadSyntax, {ch});
    if (c == '&') {
      msg += "\"&\"は、文字列との連結に使います。";
    } else if (IsOperatorChar(c)) {
      msg += Subst("\"%s\"は、計算式で使います。", {ch});
    }
    RaiseError(y, msg);
  }
  if (y.WordSoshite && word == y.WordSoshite->Name) {
    SetPos(y, text, pos);
    EndOfStatement(y);
    return;
  }
  ContinuePhrase(y, text, pos, std::string(word), true);
}

}  // namespace

bool RunsStatementAtOnce(const TYumeBase& y, std::string_view phrase) {
  if (y.WordMoshi && phrase == y.WordMoshi->Name) return true;
  // Only words starting with 繰, 反 or ル can fold to a loop command's name.
  if (phrase.size() < 4 || (phrase.compare(0, 2, "繰") != 0 && phrase.compare(0, 2, "反") != 0 &&
                            phrase.compare(0, 2, "ル") != 0))
    return false;
  thread_local std::string folded;
  FoldNameInto(phrase, folded);
  return folded == "繰返" || folded == "反復" || folded == "ループ";
}

ParticleFreeScope::ParticleFreeScope(TYumeBase& yb) : y(yb) {
  y.ParticleFree = true;
}
ParticleFreeScope::~ParticleFreeScope() {
  y.ParticleFree = false;
}

void ExecuteStatement(TYumeBase& y) {
  if (!y.Cur) return;
  if (y.Plans && RunLoopBody(y)) return;
  ExecuteOneStatement(y);
}

void ExecuteOneStatement(TYumeBase& y) {
  if (!y.Cur) return;
  if (y.Plans && RunPlannedStatement(y)) return;
  std::string_view text = y.RunText();
  ExecuteAt(y, text, static_cast<size_t>(y.Cur - text.data()));
}

void EndOfStatement(TYumeBase& y) {
  if (y.Args.Empty()) return;
  std::string name = y.Args.Pop();
  if (!name.empty() && name[0] == '\\') {
    // A temporary command word "\" with the number that follows; binding only.
    THashNode temp;
    temp.Name = "\\";
    temp.Kind = wkCommand;
    std::string_view digits = std::string_view(name).substr(1);
    temp.Tag = digits.empty() ? -1 : static_cast<int>(StrToNumber(digits));
    CallCommand(y, temp);
    return;
  }
  RunNamedWord(y, name, y.Dict.FindScoped(name, true));
}

void RaiseArgsLeft(TYumeBase& y, const THashNode& w) {
  std::string left = "引数が多いです。\"";
  for (const auto& a : y.Args.Items()) {
    left += a;
    left += "\r\n";
  }
  left += '"';
  RaiseArgumentError(y, w.Name, left);
}

namespace {

// An unknown statement word that is one of the part properties a statement may read
// ("B1の、イベント" runs the part's event) with a part named below it: the property is read and
// the statement ends. The word as written is compared with each name's folded form.
bool ReadPartPropertyStatement(TYumeBase& y, std::string_view name) {
  static const char* const kNames[] = {"イベント",       "クリックした時", "ダブルクリックした時",
                                       "マウス押した時", "マウス離した時", "キー押した時",
                                       "キー離した時",   "変更した時",     "マウス動かした時",
                                       "最小値",         "タイトル",       "最大値"};
  static const std::vector<std::string> kFolded = [] {
    std::vector<std::string> v;
    for (const char* n : kNames) v.push_back(FoldName(n));
    return v;
  }();
  if (y.Args.Empty() || !y.PartRead) return false;
  if (std::find(kFolded.begin(), kFolded.end(), name) == kFolded.end()) return false;
  std::string_view below = y.Args.Peek(y.Args.Count() - 1);
  if (!EndsWith(below, "の")) return false;
  below.remove_suffix(std::string_view("の").size());
  THashNode* part = y.Dict.FindScoped(TrimBlanks(below), true);
  if (!part || part->Kind != wkPart) return false;
  y.Args.Clear();
  y.PartRead(y, *part, name, true);
  return true;
}

}  // namespace

void RunNamedWord(TYumeBase& y, std::string_view name, THashNode* w) {
  if (w) {
    ExecuteWord(y, *w);
    if (!y.Args.Empty()) RaiseArgsLeft(y, *w);
    return;
  }
  if (ReadPartPropertyStatement(y, name)) return;
  std::string list;
  for (const auto& a : y.Args.Items()) {
    list += a;
    list += ',';
  }
  list += name;
  y.Args.Clear();
  RaiseError(y, "\"%s\"は未定義の命令です。(;o;)<綴りミスか、命令の引数に注意！",
             {TrimBlanks(list)});
}

void ExecuteWord(TYumeBase& y, THashNode& word) {
  switch (word.Kind) {
    case wkCommand:
      CallCommand(y, word);
      break;
    case wkLabel:
      CallLabel(y, word, true);
      break;
    case wkVariable:
    case wkPart:
      RaiseBadSyntax(y, word.Name, "変数を実行することは出来ません。");
    case wkLibFunc:
      RaiseNotBuilt(y, msg::kLibraryCommand);
    default:
      break;
  }
}

void CallCommand(TYumeBase& y, THashNode& word) {
  const size_t slots = BindArguments(y, word);
  CallBoundCommand(y, word, slots);
}

void CallBoundCommand(TYumeBase& y, THashNode& word, size_t slots) {
  y.LastCommand = &word;
  if (word.Name.size() == 1 && word.Name[0] == '\\') return;  // a temporary word: bound only
  try {
    CallHandler(y, word.Tag, word, slots);
  } catch (const std::exception& e) {
    RaiseCommandFailure(y, word, e);
  }
}

void RaiseCommandFailure(TYumeBase& y, const THashNode& word, const std::exception& e) {
  LogError(y, e);
  std::string head = "『" + word.Name + "』命令の実行中にエラー。";
  if (IsErrorLine(e.what())) RaiseError(y, head);
  RaiseError(y, head + "理由は、" + e.what());
}

namespace {

// Steps over the string literal or parenthesised part at pos: read for real with y (its
// errors raised and its line markers counted), merely skipped without; false (pos unchanged)
// where, without y, it is left open.
bool StepOverEnclosed(TYumeBase* y, std::string_view text, size_t& pos, bool literal) {
  if (y) {
    if (literal) {
      ReadStringLiteral(*y, text, pos);
    } else {
      ReadParenthesized(*y, text, pos);
    }
    return true;
  }
  const size_t next = literal ? SkipStringLiteral(text, pos) : SkipParenthesized(text, pos);
  if (next == std::string_view::npos) return false;
  pos = next;
  return true;
}

// Reads one argument of a call from pos: up to the next "," outside literals and parentheses;
// asWritten tells whether it is one plain word or one literal, pushed as written. Without y the
// reading has no side effects and gives up (false) at a line break or an unclosed literal or
// parenthesis; with y line markers are read and those are errors. False at the end as well.
bool NextArgument(TYumeBase* y, std::string_view inner, size_t& pos, std::string_view& arg,
                  bool& asWritten) {
  while (true) {
    SkipSeparators(inner, pos);
    while (CharAt(inner, pos) == '\r' || CharAt(inner, pos) == '\n') {
      if (!y) return false;
      ReadLineMarker(*y, inner, pos);
      SkipSeparators(inner, pos);
    }
    if (pos >= inner.size()) return false;
    const size_t start = pos;
    bool simple = true;
    int parts = 0;
    while (pos < inner.size() && inner[pos] != ',') {
      const char c = inner[pos];
      if (AtStringLiteral(inner, pos) || c == '(') {
        const bool literal = c != '(';
        if (!StepOverEnclosed(y, inner, pos, literal)) return false;
        if (literal) {
          ++parts;
        } else {
          simple = false;
        }
        continue;
      }
      if (c == '\r' || c == '\n') {
        if (!y) return false;
        ReadLineMarker(*y, inner, pos);
        continue;
      }
      if (IsDelimiter(c) && c != ' ' && c != '\t') simple = false;
      if (c != ' ' && c != '\t' && !IsDelimiter(c) && parts == 0) parts = 1;
      pos += CharLen(inner, pos);
    }
    arg = TrimBlanks(inner.substr(start, pos - start));
    if (pos < inner.size()) ++pos;  // ","
    if (arg.empty()) continue;
    asWritten = simple && parts <= 1;
    return true;
  }
}

// The whole reading without side effects; false where it would pass a line break or fail
// (the reader stops before the end).
bool SplitArguments(std::string_view inner, TArgSplit& split) {
  size_t pos = 0;
  std::string_view text;
  bool asWritten = false;
  while (NextArgument(nullptr, inner, pos, text, asWritten))
    split.Args.push_back({text, asWritten, SplitExpression(text)});
  SkipSeparators(inner, pos);
  return pos >= inner.size();
}

// An argument's value as it is pushed: as written, or evaluated (see PushedForm).
std::string ArgumentValue(TYumeBase& y, std::string_view arg, bool asWritten) {
  return asWritten ? std::string(arg) : PushedForm(y, EvaluateText(y, arg));
}

void PushArgument(TYumeBase& y, std::string_view arg, bool asWritten) {
  y.Args.Push(ArgumentValue(y, arg, asWritten));
}

}  // namespace

const TArgSplit* ArgSplitFor(TYumeBase& y, std::string_view inner) {
  static TPositionCache<const TArgSplit> splits;
  static TPositionMemo<const TArgSplit> recent;
  if (!y.Plans) return nullptr;
  return recent.FindOr(splits, y.TextsGeneration, inner.data(), inner.size(),
                       [&] { return TextReading(splits, y, inner, SplitArguments); });
}

std::string ArgumentValue(TYumeBase& y, const TArgSplit::TArg& arg) {
  if (arg.AsWritten) return std::string(arg.Text);
  if (IsPlainDigits(arg.Text)) {
    y.LastType = "e";
    return std::string(arg.Text);
  }
  long double n = 0;
  bool isNumber = false;
  std::string v = EvaluateSplit(y, arg.Text, arg.Code.get(), n, isNumber);
  if (isNumber) return FormatNumber(n);
  return PushedForm(y, std::move(v));
}

std::string PushedForm(TYumeBase& y, std::string value) {
  return y.LastType == "s" || y.LastType == "hs" ? QuoteBackquote(value) : std::move(value);
}

void PushArguments(TYumeBase& y, std::string_view inner) {
  const TPositionUse use;
  if (const TArgSplit* split = ArgSplitFor(y, inner)) {
    for (const TArgSplit::TArg& a : split->Args) y.Args.Push(ArgumentValue(y, a));
    return;
  }
  size_t pos = 0;
  std::string_view arg;
  bool asWritten = false;
  while (NextArgument(&y, inner, pos, arg, asWritten)) PushArgument(y, arg, asWritten);
}

std::string FunctionCall(TYumeBase& y, THashNode& word, std::string_view text, size_t& pos,
                         bool pushResult) {
  if (CharAt(text, pos) != '(') {
    RaiseError(y, "関数\"%s\"の呼び出しで、引数の()は、すぐ後ろに書いてください。", {word.Name});
  }
  std::string_view inner = ReadParenthesized(y, text, pos);
  std::string value = CallForValue(y, word, inner, true);
  if (pushResult) y.Args.Push(y.LastType == "s" ? QuoteBackquote(value) : value);
  return value;
}

namespace {

// A command's value (not inline: its room is not kept on the stack through label calls).
[[gnu::noinline]] std::string CommandValue(TYumeBase& y, THashNode& word, std::string_view args,
                                           bool hasArgs) {
  if (word.Kind == wkLibFunc) RaiseNotBuilt(y, msg::kLibraryCommand);
  SoreKeeper keep(y);
  {
    // The statement's phrases below are set aside while the command binds its own arguments;
    // anything it leaves stays on top of them.
    y.Args.SetAside();
    try {
      if (hasArgs && !TrimBlanks(args).empty()) PushArguments(y, args);
      ParticleFreeScope pf(y);
      CallCommand(y, word);
    } catch (...) {
      y.Args.PutBack();
      throw;
    }
    y.Args.PutBack();
  }
  std::string value = y.VarSore ? y.VarSore->ValueText() : std::string();
  std::string type = y.VarSore ? y.VarSore->TypeText : std::string();
  y.LastType = type == "e" ? "e" : (type == "hs" ? "hs" : "s");
  return value;
}

}  // namespace

std::string CallForValue(TYumeBase& y, THashNode& word, std::string_view args, bool hasArgs) {
  const bool acceptWhole = std::exchange(y.AcceptWhole, false);
  if (word.Kind == wkLabel) return LabelValue(y, word, args, hasArgs, acceptWhole);
  return CommandValue(y, word, args, hasArgs);
}

std::vector<std::string> CoordinateTexts(TYumeBase& y, std::string_view text) {
  std::string t(text);
  if (THashNode* w = y.Dict.FindScoped(t, false)) t = w->ValueText();
  if (t.size() >= 2 && t.front() == '`' && t.back() == '`') t = t.substr(1, t.size() - 2);
  std::string_view v = TrimBlanks(t);
  // A list wholly in parentheses is the list inside them.
  while (!v.empty() && v.front() == '(') {
    const size_t close = SkipParenthesized(v, 0);
    if (close == std::string_view::npos) RaiseError(y, msg::kParenUnmatched);
    if (!TrimBlanks(v.substr(close)).empty()) break;
    v = TrimBlanks(v.substr(1, close - 2));
  }
  const size_t before = y.Args.Count();
  PushArguments(y, v);
  std::vector<std::string> texts;
  texts.reserve(y.Args.Count() - before);
  for (size_t i = before; i < y.Args.Count(); ++i) texts.push_back(y.Args.Peek(i));
  while (y.Args.Count() > before) y.Args.Pop();
  return texts;
}

std::vector<int> CoordinateValues(TYumeBase& y, std::string_view text) {
  const std::vector<std::string> texts = CoordinateTexts(y, text);
  std::vector<int> values;
  values.reserve(texts.size());
  for (const std::string& t : texts) {
    values.push_back(static_cast<int>(TruncCount(StrToNumber(EvaluateText(y, t)))));
  }
  return values;
}

void ParsePoint(TYumeBase& y, std::string_view text, int& x, int& py) {
  const std::vector<std::string> texts = CoordinateTexts(y, text);
  if (texts.size() != 2) RaiseError(y, "座標の指定エラー");
  // y is read first, as the last argument always is.
  py = static_cast<int>(StrToNumber(EvaluateText(y, texts[1])));
  x = static_cast<int>(StrToNumber(EvaluateText(y, texts[0])));
}

namespace {

// ScanStatementRest; without y nothing is read for real: npos where a line would be joined or a
// literal or parenthesis is left open.
size_t ScanRest(TYumeBase* y, std::string_view text, size_t pos, const TJoinFn* onJoin) {
  size_t start = pos;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\r' || c == '\n' || c == ';') {
      std::string_view seg = TrimBlanks(text.substr(start, pos - start));
      if (c != ';' && !seg.empty() && seg.back() == '&') {
        if (!y) return std::string_view::npos;
        (*onJoin)(start, pos);
        start = pos;
        continue;
      }
      break;
    }
    if (AtStringLiteral(text, pos) || c == '(') {
      if (!StepOverEnclosed(y, text, pos, c != '(')) return std::string_view::npos;
      continue;
    }
    pos += CharLen(text, pos);
  }
  return pos;
}

}  // namespace

size_t ScanStatementRest(TYumeBase& y, std::string_view text, size_t pos, TJoinFn onJoin) {
  return ScanRest(&y, text, pos, &onJoin);
}

size_t PlainStatementRest(std::string_view text, size_t pos) {
  return ScanRest(nullptr, text, pos, nullptr);
}

std::string ReadStatementRest(TYumeBase& y, std::string_view text, size_t& pos) {
  std::string out;
  size_t start = pos;
  auto join = [&](size_t lineStart, size_t& at) {
    out += text.substr(lineStart, at - lineStart);
    ReadLineMarker(y, text, at);
    start = at;
  };
  pos = ScanStatementRest(y, text, pos, JoinFn(join));
  out += text.substr(start, pos - start);
  return out;
}

}  // namespace yume
