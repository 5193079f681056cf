#include "commands/system/folder_cmds.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "commands/system/guard.h"
#include "commands/system/packstore.h"
#include "core/cmdlib.h"
#include "core/messages.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/fsops.h"
#include "platform/paths.h"

namespace yume {

namespace {

std::string Trimmed(std::string_view s) {
  return std::string(TrimBlanks(s));
}

// Deleting takes a name without a folder of its own as a file of the program's folder.
std::string InProgramFolder(TYumeBase& y, const std::string& name) {
  if (name.empty() || IsAbsolutePath(name)) return name;
  return y.ProgramFolder + name;
}

// The patterns of a listing, separated by ";" (no second byte is ";", so a plain split is
// safe); empty ones name nothing.
std::vector<std::string_view> Patterns(std::string_view s) {
  std::vector<std::string_view> out;
  while (true) {
    const size_t semi = s.find(';');
    const std::string_view one = s.substr(0, semi);
    if (!one.empty()) out.push_back(one);
    if (semi == std::string_view::npos) break;
    s.remove_prefix(semi + 1);
  }
  return out;
}

// An optional sign and digits, nothing else.
bool IsIntegerText(std::string_view s) {
  size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

void ListOneFolder(TArgs& a, bool folders) {
  const std::string& arg = a.Text(0);
  if (arg.empty()) return;
  std::string out;
  for (std::string_view pattern : Patterns(arg)) {
    TGlob glob(pattern);
    for (const std::string& name : folders ? glob.Folders : glob.Files) {
      out += name;
      out += "\r\n";
    }
  }
  SetSoreText(a.State(), std::move(out));
}

void ListWholeTree(TArgs& a, bool folders) {
  const std::string arg = Trimmed(a.Text(0));
  if (arg.empty()) return;
  std::string out;
  for (std::string_view pattern : Patterns(arg))
    ListTree(ExtractFilePath(pattern), ExtractFileName(pattern), folders, out);
  SetSoreText(a.State(), std::move(out));
}

}  // namespace

// ファイルコピー (?から,?へ) 58
void CmdFileCopy(TYumeBase& y, TArgs& a) {
  const std::string to = Trimmed(a.Text(1));
  const std::string from = FindReadFile(y, Trimmed(a.Text(0)));
  if (!ShellCopy(from, to))
    throw std::runtime_error("ファイルのコピーに失敗しました。\r\nコピー元: " + from +
                             "\r\nコピー先: " + to);
}

// ファイル削除 (?を) 59
void CmdFileDelete(TYumeBase& y, TArgs& a) {
  const std::string name = InProgramFolder(y, Trimmed(a.Text(0)));
  if (!CheckFileAccess(y, name, "ファイル" + Quoted(name) + "を、削除します。")) return;
  MoveToTrash(name);
}

// ファイル完全削除 (?を) 385
void CmdFileErase(TYumeBase& y, TArgs& a) {
  const std::string name = InProgramFolder(y, FindProgramFile(y, a.Text(0)));
  if (!CheckFileAccess(y, name, "ファイル" + Quoted(name) + "を、完全に削除します。")) return;
  EraseFile(name);
}

// ファイル名変更 (?から,?へ) 60
void CmdFileRename(TYumeBase& y, TArgs& a) {
  const std::string to = a.Text(1);
  const std::string from = a.Text(0);
  if (!CheckFileAccess(y, from,
                       Subst("ファイル名\"%s\"を、\r\n\"%s\"に、改名します。", {from, to})))
    return;
  if (!RenameFile(from, to))
    RaiseError(y, std::string(msg::kFileFailed) + "ファイル名の変更", {from});
}

// ファイル移動 (?から,?へ) 61
void CmdFileMove(TYumeBase& y, TArgs& a) {
  const std::string to = Trimmed(a.Text(1));
  const std::string from = FindProgramFile(y, Trimmed(a.Text(0)));
  if (!CheckFileAccess(y, from, Quoted(from) + "を," + Quoted(to) + "へ移動しますか？")) return;
  ShellMove(from, to);
}

// ショートカット作成 (?を,?へ) 66
void CmdMakeShortcut(TYumeBase& y, TArgs& a) {
  const std::string place = Trimmed(a.Text(1));
  const std::string target = FindProgramFile(y, Trimmed(a.Text(0)));
  MakeShortcut(target, ShortcutName(target, place));
}

// フォルダ作成 (?へ) 63
void CmdMakeFolder(TYumeBase& y, TArgs& a) {
  const std::string name = Trimmed(a.Text(0));
  if (name.empty()) a.ArgumentError("引数を指定してください。");
  if (!CheckFileAccess(y, name, Quoted(name) + " にフォルダを作成します。")) return;
  MakeFolders(name);
}

// フォルダ削除 (?の) 64
void CmdRemoveFolder(TYumeBase& y, TArgs& a) {
  const std::string name = Trimmed(a.Text(0));
  if (!name.empty()) RemoveTree(name);
}

// ファイル属性変更 (?を,?に) 65
void CmdSetAttributes(TYumeBase& y, TArgs& a) {
  const std::string attrs = a.Text(1);
  const std::string& given = a.Text(0);
  if (!IsIntegerText(attrs)) return;
  const std::string name = FindProgramFile(y, given);
  if (!CheckFileAccess(y, name, Quoted(name) + "のファイル属性変更をしますか？")) return;
  WriteAttributes(name, static_cast<uint32_t>(std::strtoll(attrs.c_str(), nullptr, 10)));
}

// ファイル属性取得 (?の) 382
void CmdGetAttributes(TYumeBase& y, TArgs& a) {
  const std::string name = FindProgramFile(y, a.Text(0));
  uint32_t attrs = 0;
  if (!ReadAttributes(name, attrs) || (attrs & kAttrFolder))
    throw std::runtime_error("ファイル『" + name + "』が見つかりません。");
  SetSoreInteger(y, attrs);
}

// ファイル日時 (?の) 185
void CmdFileTime(TYumeBase& y, TArgs& a) {
  const std::string& name = a.Text(0);
  TFileInfo info;
  if (!FindFileInfo(name, info)) RaiseError(y, msg::kFileFailed, {name});
  SetSoreText(y, FormatFileTime(info.Time));
}

// ファイルサイズ (?の) 186
void CmdFileSize(TYumeBase& y, TArgs& a) {
  const std::string& name = a.Text(0);
  TFileInfo info;
  if (!FindFileInfo(name, info)) RaiseError(y, msg::kFileFailed, {name});
  SetSoreText(y, std::to_string(info.Size));
}

// ファイル列挙 (?の) 67
void CmdListFiles(TYumeBase& y, TArgs& a) {
  ListOneFolder(a, false);
}

// 全ファイル列挙 (?の) 268
void CmdListAllFiles(TYumeBase& y, TArgs& a) {
  ListWholeTree(a, false);
}

// フォルダ列挙 (?の) 168
void CmdListFolders(TYumeBase& y, TArgs& a) {
  ListOneFolder(a, true);
}

// 全フォルダ列挙 (?の) 446
void CmdListAllFolders(TYumeBase& y, TArgs& a) {
  ListWholeTree(a, true);
}

// ドライブ種類判定 (?の) 353
void CmdDriveType(TYumeBase& y, TArgs& a) {
  std::string name = Trimmed(a.Text(0));
  // A drive letter alone names its root; "/" and "." stay paths of their own.
  if (name.size() == 1 &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
    name += ":\\";
  SetSoreText(y, DriveTypeName(name));
}

// 短いファイル名取得 (?の) 383
void CmdShortName(TYumeBase& y, TArgs& a) {
  // This system keeps no second, short name for a file.
  (void)a.Text(0);
  SetSoreText(y, std::string());
}

// 長いファイル名取得 (?の) 384
void CmdLongName(TYumeBase& y, TArgs& a) {
  SetSoreText(y, LongFileName(FindProgramFile(y, a.Text(0))));
}

}  // namespace yume
