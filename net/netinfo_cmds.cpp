// Network information: computers, domains, shares, names and addresses.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"ネットワークコンピューター列挙", "?の", 354, nullptr},
    {"ネットワークコンピューター列挙ドメイン付き", "?の", 370, nullptr},
    {"ネットワークドメイン列挙", "", 372, nullptr},
    {"共有フォルダ列挙", "?の", 355, nullptr},
    {"ユーザー名取得", "", 366, nullptr},
    {"コンピューター名取得", "", 367, nullptr},
    {"IPアドレス取得", "?の", 368, nullptr},
};

}  // namespace

const TFamily kNetInfoFamily{"ネットワーク情報", kCommands, {}};

}  // namespace yume
