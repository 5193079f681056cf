// Checksums and the text cipher.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include "commands/families.h"

namespace yume {

namespace {

constexpr CommandDef kCommands[] = {
    {"MD5取得", "?の", 543, nullptr},
    {"CRC16取得", "?の", 544, nullptr},
    {"CRC32取得", "?の", 545, nullptr},
    {"暗号化", "?を,?で", 567, nullptr},
    {"復号化", "?を,?で", 568, nullptr},
    {"暗号化して保存", "?を,?へ", 90, nullptr},
    {"暗号解除して読込", "?に,?を", 91, nullptr},
};

}  // namespace

const TFamily kChecksumFamily{"チェックサムと暗号", kCommands, {}};

}  // namespace yume
