#include "core/yumebase.h"

#include <time.h>

#include <filesystem>
#include <system_error>

namespace yume {

const char* const TYumeBase::kUndefinedCase = "\\~未定義";

TYumeBase::TYumeBase() : CaseSubject(kUndefinedCase) {
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

void TYumeBase::AddText(std::string_view text) { Texts.push_back(text); }

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

void TYumeBase::ResetForRun() {
  ClearWordRefs();
  Dict.ClearScopes();
  Dict.Clear();
  Args.Clear();
  Runs.ClearAll();
  CondResult = -1;
  CaseSubject = kUndefinedCase;
  ParticleFree = OmittedFilled = false;
  ErrorsShown = true;
  ErrorReturn = ErrorLabelEntry = nullptr;
  FuncArgs.clear();
  Texts.clear();
  LastText = {};
}

}  // namespace yume
