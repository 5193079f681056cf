// Wildcard and regular-expression matching, splitting and replacing.
//
// マッチ runs the wildcard engine with captures (wildmatch.h); the regular-expression commands
// hand their expressions to the bridge (regexbridge.h) and leave the count it reports in
// マッチ数.
#include <string>
#include <vector>

#include "commands/families.h"
#include "commands/text/regexbridge.h"
#include "commands/text/wildmatch.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/hash.h"
#include "core/yumebase.h"

namespace yume {

namespace {

const char kWildError[] = "マッチでエラー。";
const char kRegexError[] = "\"%s\"で、Bregexp.dllのエラー。";

void SetMatchCount(TYumeBase& y, size_t n) {
  if (THashNode* w = y.VarMatchCount) {
    w->SetWholeValue(static_cast<int64_t>(n));
    w->SetTypeText("e");
  }
}

[[noreturn]] void RaiseRegexError(TYumeBase& y, const TArgs& a, const ERegex& e) {
  RaiseError(y, Subst(kRegexError, {a.Name()}) + e.what());
}

// マッチ (?を,?で) 374 -- the matched part and the captures in それ; the variable the text
// came from keeps what follows the match.
void CmdWildMatch(TYumeBase& y, TArgs& a) {
  const std::string& pattern = a.Text(1);
  if (pattern.empty()) {
    SetSoreText(y, std::string());
    return;
  }
  THashNode* named = a.NamedWord(0);
  THashNode* target = named && named->Kind == wkVariable && named != y.VarSore ? named : nullptr;
  const std::string text = a.TakeText(0);
  if (!named && text.empty()) a.ArgumentError();
  TWildPrefix m;
  try {
    m = TWildPattern(pattern).MatchPrefix(text);
  } catch (const EWildcard& e) {
    RaiseError(y, std::string(kWildError) + e.what());
  }
  // A match that failed reports nothing, not the captures it made on the way.
  if (!m.Matched) {
    SetSoreText(y, std::string());
    return;
  }
  SetSoreText(y, WildMatchReport(std::string_view(text).substr(0, m.End), m.Captures));
  if (target) target->SetValueText(text.substr(m.End));
}

// 正規表現マッチ (?を,?で), RE (?,?) 187 -- the match and each group, one per line.
void CmdRegexMatch(TYumeBase& y, TArgs& a) {
  const std::string& pattern = a.Text(1);
  std::string lines;
  size_t count = 0;
  try {
    count = RegexMatch(a.TextInPlace(0), pattern, lines);
  } catch (const ERegex& e) {
    SetSoreText(y, std::string());
    RaiseRegexError(y, a, e);
  }
  SetSoreText(y, std::move(lines));
  SetMatchCount(y, count);
}

// 正規表現区切る (?を,?で) 190 -- the pieces, one per line.
void CmdRegexSplit(TYumeBase& y, TArgs& a) {
  const std::string& pattern = a.Text(1);
  std::vector<std::string> pieces;
  try {
    pieces = RegexSplit(a.TextInPlace(0), pattern);
  } catch (const ERegex& e) {
    SetSoreText(y, std::string());
    RaiseRegexError(y, a, e);
  }
  std::string lines;
  for (const std::string& p : pieces) {
    lines += p;
    lines += "\r\n";
  }
  SetSoreText(y, std::move(lines));
  SetMatchCount(y, pieces.size());
}

// 正規表現置換 (?を,?で) 191 -- s/pattern/replacement/flags
void CmdRegexSubstitute(TYumeBase& y, TArgs& a) {
  const std::string& expression = a.Text(1);
  TRegexSubst r;
  try {
    r = RegexSubstitute(a.TextInPlace(0), expression);
  } catch (const ERegex& e) {
    SetSoreText(y, std::string());
    RaiseRegexError(y, a, e);
  }
  SetSoreText(y, std::move(r.Text));
  SetMatchCount(y, r.Count);
}

// 正規表現入換 (?を,?で) 192 -- tr/from/to/flags
void CmdRegexTranslate(TYumeBase& y, TArgs& a) {
  const std::string& expression = a.Text(1);
  std::string out;
  try {
    out = RegexTranslate(a.TextInPlace(0), expression);
  } catch (const ERegex& e) {
    RaiseRegexError(y, a, e);
  }
  SetSoreText(y, std::move(out));
  SetMatchCount(y, 0);
}

constexpr CommandDef kCommands[] = {
    {"マッチ", "?を,?で", 374, CmdWildMatch},
    {"正規表現マッチ", "?を,?で", 187, CmdRegexMatch},
    {"RE", "?,?", 187, CmdRegexMatch},
    {"正規表現区切る", "?を,?で", 190, CmdRegexSplit},
    {"正規表現置換", "?を,?で", 191, CmdRegexSubstitute},
    {"正規表現入換", "?を,?で", 192, CmdRegexTranslate},
};

constexpr VariableDef kVariables[] = {
    {"マッチ数", "", "e", 7, false, false},
};

}  // namespace

const TFamily kRegexFamily{"ワイルドカードと正規表現", kCommands, kVariables};

}  // namespace yume
