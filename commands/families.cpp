#include "commands/families.h"

namespace yume {

namespace {

const TFamily* const kFamilies[] = {
    &kFlowFamily,     &kDialogFamily, &kWordFamily,      &kErrorFamily,    &kDllFamily,
    &kStringFamily,   &kConvFamily,   &kMailFamily,      &kXmlFamily,      &kRegexFamily,
    &kChecksumFamily, &kFileFamily,   &kPackFamily,      &kDateFamily,     &kProcessFamily,
    &kMathFamily,     &kExprFamily,   &kTableFamily,     &kDrawFamily,     &kFilterFamily,
    &kPrintFamily,    &kPartFamily,   &kTrayFamily,      &kSoundFamily,    &kOfficeFamily,
    &kAgentFamily,    &kDbFamily,     &kArchiveFamily,   &kHttpFamily,     &kNetInfoFamily,
    &kIniFamily,      &kDdeFamily,    &kStatementFamily, &kConstantFamily, &kComputedFamily,
};

// The variables are entered in the order of their own list, which differs from the order of
// the commands; it decides the order in which variables are listed.
const TFamily* const kVariableFamilies[] = {
    &kStatementFamily, &kErrorFamily, &kFlowFamily, &kStringFamily, &kRegexFamily, &kDialogFamily,
    &kFileFamily,      &kTableFamily, &kDrawFamily, &kPartFamily,   &kSoundFamily, &kDbFamily,
    &kArchiveFamily,   &kMailFamily,  &kHttpFamily, &kIniFamily,    &kDdeFamily,   &kConstantFamily,
};

}  // namespace

std::span<const TFamily* const> Families() {
  return kFamilies;
}

std::span<const TFamily* const> VariableFamilies() {
  return kVariableFamilies;
}

}  // namespace yume
