// Checksums and the text cipher.
//
// The digests and both ciphers are engines of their own (digest.h, cipher.h); the handlers
// here add the file, the write guard and the errors.
#include <string>

#include "commands/families.h"
#include "commands/system/guard.h"
#include "commands/text/cipher.h"
#include "commands/text/digest.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

const char kEncipherFailed[] = "\"%s\"で、暗号化に失敗";

[[noreturn]] void RaiseCryptError(TYumeBase& y, const TArgs& a) {
  RaiseError(y, "『" + a.Name() + "』でエラー。");
}

// MD5取得 (?の) 543
void CmdMd5(TYumeBase& y, TArgs& a) {
  SetSoreText(y, Md5Hex(a.TextInPlace(0)));
}

// CRC16取得 (?の) 544
void CmdCrc16(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, Crc16Arc(a.TextInPlace(0)));
}

// CRC32取得 (?の) 545
void CmdCrc32(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, Crc32(a.TextInPlace(0)));
}

// 暗号化 (?を,?で) 567 -- an empty password keys the cipher like any other, so what is
// written here can be read back anywhere with the same password.
void CmdEncrypt(TYumeBase& y, TArgs& a) {
  const std::string password = a.Text(1);
  SetSoreText(y, PasswordEncrypt(a.TextInPlace(0), password));
}

// 復号化 (?を,?で) 568
void CmdDecrypt(TYumeBase& y, TArgs& a) {
  const std::string password = a.Text(1);
  std::string out;
  if (!PasswordDecrypt(a.TextInPlace(0), password, out)) RaiseCryptError(y, a);
  SetSoreText(y, std::move(out));
}

// 暗号化して保存 (?を,?へ) 90
void CmdSaveEnciphered(TYumeBase& y, TArgs& a) {
  const std::string name = a.Text(1);
  const std::string& text = a.TextInPlace(0);
  if (!CheckFileAccess(y, name, Quoted(name) + "へ保存しますか？")) return;
  std::string data;
  if (!EncipherTextFile(text, data)) RaiseError(y, kEncipherFailed, {a.Name()});
  if (!WriteWholeFile(name, data)) RaiseError(y, msg::kFileFailed, {name});
}

// 暗号解除して読込 (?に,?を) 91 -- a file shorter than its length field says is refused as
// unreadable, never read past its end.
void CmdLoadEnciphered(TYumeBase& y, TArgs& a) {
  const std::string name = FindProgramFile(y, a.Text(1));
  std::string data, text;
  if (!ReadWholeFile(name, data) || !DecipherTextFile(std::move(data), text))
    RaiseError(y, msg::kFileFailed, {name});
  THashNode& w = a.WordOrNew(0);
  if (w.Kind == wkPart) RaiseNotBuilt(y, "部品\"" + w.Name + "\"への代入");
  if (w.Reserved) a.ReadOnlyError(w.Name);
  w.SetValueText(std::move(text));
  w.SetTypeText("s");
}

constexpr CommandDef kCommands[] = {
    {"MD5取得", "?の", 543, CmdMd5},
    {"CRC16取得", "?の", 544, CmdCrc16},
    {"CRC32取得", "?の", 545, CmdCrc32},
    {"暗号化", "?を,?で", 567, CmdEncrypt},
    {"復号化", "?を,?で", 568, CmdDecrypt},
    {"暗号化して保存", "?を,?へ", 90, CmdSaveEnciphered},
    {"暗号解除して読込", "?に,?を", 91, CmdLoadEnciphered},
};

}  // namespace

const TFamily kChecksumFamily{"チェックサムと暗号", kCommands, {}};

}  // namespace yume
