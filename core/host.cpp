// What a host without dialogs answers: every dialog is cancelled and nothing is shown.
#include "core/host.h"

namespace yume {

void THost::Say(const std::string&, const TDialogStyle&) {}

bool THost::AskText(const std::string&, const std::string&, const TDialogStyle&, std::string&) {
  return false;
}

int THost::AskYesNo(const std::string&, const std::string&, bool withCancel) {
  return withCancel ? 2 : 0;
}

bool THost::AskList(const std::string&, const std::vector<std::string>&, bool, const std::string&,
                    const TDialogStyle&, std::string&) {
  return false;
}

bool THost::AskButtons(const std::string&, const std::vector<std::string>&, const TDialogStyle&,
                       std::string&) {
  return false;
}

bool THost::AskMemo(const std::string&, const TDialogStyle&, std::string&) {
  return false;
}

bool THost::AskItems(const TItemList&, const TDialogStyle&, std::string&) {
  return false;
}

bool THost::PickColor(uint32_t&) {
  return false;
}

bool THost::PickFont(TDialogFont&) {
  return false;
}

bool THost::PickOpenFiles(const std::string&, const std::string&, const std::string&,
                          std::vector<std::string>&) {
  return false;
}

bool THost::PickSaveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&, std::string&) {
  return false;
}

bool THost::PickFolder(const std::string&, const std::string&, std::string&) {
  return false;
}

}  // namespace yume
