#include "core/yumebase.h"

#include <time.h>

#include <filesystem>
#include <iterator>
#include <system_error>

#include "core/executor.h"
#include "core/number.h"
#include "core/pack.h"

namespace yume {

namespace {
uint64_t NextTextsGeneration() {
  static uint64_t counter = 0;
  return ++counter;
}
}  // namespace

const char* const TYumeBase::kUndefinedCase = "\\~未定義";

TYumeBase::TYumeBase()
    : TextsGeneration(NextTextsGeneration()),
      CaseSubject(kUndefinedCase),
      CallForValue(yume::CallForValue) {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  RandSeed = static_cast<uint32_t>(ts.tv_sec * 1000003u ^ ts.tv_nsec);
}

TYumeBase::~TYumeBase() {
  // Only files we made ourselves are deleted: extracted data and our copy of a pack.
  std::error_code ec;
  for (const auto& f : ExtractedFiles) std::filesystem::remove(f, ec);
  if (!PackCopy.empty()) std::filesystem::remove(PackCopy, ec);
}

void TYumeBase::ClearWordRefs() {
  VarSore = VarSo = VarCount = VarErrorMessage = VarErrorLine = VarCannotClose = nullptr;
  WordSoshite = WordMoshi = WordNaraba = WordNara = WordChigaeba = WordDenakereba = nullptr;
  VarEventObject = VarEventValue = VarMouseX = VarMouseY = VarKey = VarSpecialKey = nullptr;
  VarMatchCount = VarFieldNames = nullptr;
  ExitLabel = ErrorLabel = LastCommand = nullptr;
}

void TYumeBase::AddText(std::string_view text) {
  Texts.push_back(text);
}

void TYumeBase::RemoveText(std::string_view text) {
  for (auto it = Texts.rbegin(); it != Texts.rend(); ++it) {
    if (it->data() == text.data() && it->size() == text.size()) {
      Texts.erase(std::next(it).base());
      break;
    }
  }
  LastText = {};
  TextsGeneration = NextTextsGeneration();
}

const char* TYumeBase::ContextEnd() {
  if (!Cur) return nullptr;
  for (size_t i = Runs.Count(); i-- > 0;) {
    const TRunControl& f = Runs.At(i);
    if (f.Kind == fkCall || f.Kind == fkEvent) break;
    if (f.Kind == fkLocal) continue;
    // Blocks run in their body; a position outside it (reached by a jump) runs in its text.
    if (Cur >= f.Body.data() && Cur <= f.Body.data() + f.Body.size())
      return f.Body.data() + f.Body.size();
    break;
  }
  std::string_view t = TextOf(Cur);
  return t.data() + t.size();
}

void TYumeBase::SetCur(const char* p) {
  Cur = p;
  End = ContextEnd();
}

std::string_view TYumeBase::RunText() {
  std::string_view t = TextOf(Cur);
  if (End && End >= t.data() && End < t.data() + t.size()) t = t.substr(0, End - t.data());
  return t;
}

std::string_view TYumeBase::TextOf(const char* p) {
  auto holds = [p](std::string_view t) { return p >= t.data() && p <= t.data() + t.size(); };
  if (!LastText.empty() && holds(LastText)) return LastText;
  for (auto it = Texts.rbegin(); it != Texts.rend(); ++it) {
    if (holds(*it)) {
      LastText = *it;
      return *it;
    }
  }
  return std::string_view(p);
}

bool TYumeBase::InRegisteredText(const char* p) const {
  for (std::string_view t : Texts)
    if (p >= t.data() && p <= t.data() + t.size()) return true;
  return false;
}

void TFuncArg::Write() const {
  text_ = FormatNumber(static_cast<long double>(whole_));
  written_ = true;
}

void TYumeBase::ResetForRun() {
  ClearWordRefs();
  Dict.ClearScopes();
  Dict.Clear();
  Args.Reset();
  Runs.ClearAll();
  CondResult = -1;
  CaseSubject = kUndefinedCase;
  ParticleFree = OmittedFilled = false;
  ErrorsShown = true;
  ErrorReturn = ErrorLabelEntry = nullptr;
  FuncArgs.clear();
  HasFuncArgs = false;
  DialogRect = {};
  Included.clear();
  End = nullptr;
  Texts.clear();
  LastText = {};
  TextsGeneration = NextTextsGeneration();
}

}  // namespace yume
