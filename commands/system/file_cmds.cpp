// Files, folders, file handles, path names and the clipboard.
//
// Whole files are read and written here, with the clipboard forms, the current folder and the
// path-name commands; the file and folder operations live in folder_cmds.cpp and the file
// handles in handle_cmds.cpp. Every path reaches the system through SysPath.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "commands/families.h"
#include "commands/system/folder_cmds.h"
#include "commands/system/guard.h"
#include "commands/system/handle_cmds.h"
#include "commands/system/packstore.h"
#include "core/clipboardhost.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"
#include "platform/sysfolders.h"

namespace yume {

namespace {

constexpr std::string_view kClipboardWord = "クリップボード";

TClipboardHost& Clipboard(TYumeBase& y) {
  if (!y.Clipboard) RaiseNotBuilt(y, "クリップボード");
  return *y.Clipboard;
}

// Where the path-text commands split: after the last "\", "/" or ":" (two-byte characters
// stepped over); 0 when there is none.
size_t NameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += CharLen(path, i)) {
    const char c = path[i];
    if (c == '\\' || c == '/' || c == ':') start = i + 1;
  }
  return start;
}

// Where the extension starts (its "."), path.size() when there is none.
size_t ExtensionStart(std::string_view path) {
  size_t dot = path.size();
  for (size_t i = NameStart(path); i < path.size(); i += CharLen(path, i))
    if (path[i] == '.') dot = i;
  return dot;
}

// 読む, 開く (?に,?を) 37
void CmdRead(TYumeBase& y, TArgs& a) {
  std::string text;
  if (a.Phrase(1) == kClipboardWord) {
    text = Clipboard(y).Text();
  } else {
    const std::string name = FindReadFile(y, a.Text(1));
    if (!ReadWholeFile(name, text)) RaiseError(y, msg::kFileFailed, {name});
  }
  THashNode& w = a.WordOrNew(0);
  if (w.Kind == wkPart) RaiseNotBuilt(y, "部品\"" + w.Name + "\"への代入");
  if (w.Reserved) a.ReadOnlyError(w.Name);
  w.SetValueText(std::move(text));
  w.SetTypeText("s");
}

// 保存, 書く (?を,?へ) 38
void CmdWrite(TYumeBase& y, TArgs& a) {
  if (a.Phrase(1) == kClipboardWord) {
    Clipboard(y).SetText(a.Text(0));
    return;
  }
  const std::string name = a.Text(1);
  const std::string& text = a.TextInPlace(0);
  if (!CheckFileAccess(y, name, Quoted(name) + "へ書き込みます。")) return;
  if (!WriteWholeFile(name, text)) RaiseError(y, msg::kFileFailed, {name});
}

// 追加保存 (?を,?へ) 297
void CmdAppend(TYumeBase& y, TArgs& a) {
  if (a.Phrase(1) == kClipboardWord) {
    TClipboardHost& c = Clipboard(y);
    c.SetText(c.Text() + a.Text(0));
    return;
  }
  const std::string name = FindProgramFile(y, a.Text(1));
  const std::string& text = a.TextInPlace(0);
  if (!CheckFileAccess(y, name, "ファイル" + Quoted(name) + "へ文字列を追加します。")) return;
  if (!FileExists(name)) RaiseError(y, msg::kFileMissing, {name});
  if (!AppendToFile(name, text)) RaiseError(y, msg::kFileFailed, {name});
}

// コピー (?を) 429
void CmdCopyText(TYumeBase& y, TArgs& a) {
  Clipboard(y).SetText(a.Text(0));
}

// クリップボード取得 () 430
void CmdClipboardText(TYumeBase& y, TArgs&) {
  SetSoreText(y, Clipboard(y).Text());
}

// 作業フォルダ変更, 作業ディレクトリ変更 (?へ) 62
void CmdChangeFolder(TYumeBase& y, TArgs& a) {
  const std::string name(TrimBlanks(a.Text(0)));
  if (!SetCurrentFolder(name)) {
    RaiseError(y, "\"" + a.Name() + "\"で作業フォルダの変更に失敗。理由は、" +
                      Utf8ToCp932(std::strerror(errno)));
  }
}

// 作業フォルダ (?へ), 作業ディレクトリ () 89 -- the current folder, or a new one when given.
void CmdCurrentFolder(TYumeBase& y, TArgs& a) {
  if (a.Count() == 0 || a.Omitted()) {
    SetSoreText(y, CurrentFolder());
    return;
  }
  CmdChangeFolder(y, a);
}

// フォルダか (?が) 68
void CmdIsFolder(TYumeBase& y, TArgs& a) {
  SetSoreInteger(y, FolderExists(a.Text(0)) ? 1 : 0);
}

// ファイルか (?が) 69 -- 1 for anything that exists and is no folder.
void CmdIsFile(TYumeBase& y, TArgs& a) {
  const std::string& name = a.Text(0);
  SetSoreInteger(y, PathExists(name) && !FolderExists(name) ? 1 : 0);
}

// 存在するか (?が) 81 -- a name ending in a separator is asked for as a folder.
void CmdExists(TYumeBase& y, TArgs& a) {
  const std::string& name = a.Text(0);
  const bool folder = !name.empty() && NameStart(name) == name.size() && name.back() != ':';
  const bool found = folder ? FolderExists(name) : (PathExists(name) && !FolderExists(name));
  SetSoreInteger(y, found ? 1 : 0);
}

// パスを切り出す (?から) 170
void CmdPathPart(TYumeBase& y, TArgs& a) {
  const std::string& path = a.Text(0);
  SetSoreText(y, path.substr(0, NameStart(path)));
}

// ファイル名を切り出す (?から) 269
void CmdNamePart(TYumeBase& y, TArgs& a) {
  const std::string& path = a.Text(0);
  SetSoreText(y, path.substr(NameStart(path)));
}

// 拡張子を切り出す (?から) 176
void CmdExtensionPart(TYumeBase& y, TArgs& a) {
  const std::string& path = a.Text(0);
  SetSoreText(y, path.substr(ExtensionStart(path)));
}

// 拡張子変更 (?を,?に) 314 -- the new extension as written (it brings its own ".").
void CmdChangeExtension(TYumeBase& y, TArgs& a) {
  const std::string ext = a.Text(1);
  const std::string& path = a.Text(0);
  SetSoreText(y, path.substr(0, ExtensionStart(path)) + ext);
}

// 絶対パス展開 (?を,?で) 524
void CmdExpandPath(TYumeBase& y, TArgs& a) {
  const std::string base = a.Text(1);
  const std::string& relative = a.Text(0);
  SetSoreText(y, ExpandRelativePath(relative, base));
}

// 特殊フォルダ取得 (?の) 532
void CmdSpecialFolder(TYumeBase& y, TArgs& a) {
  const int64_t id = a.Whole(0);
  if (id < 0 || id > 65535) a.RangeError();
  SetSoreText(y, SpecialFolder(static_cast<int>(id)));
}

constexpr CommandDef kCommands[] = {
    {"コピー", "?を", 429, CmdCopyText},
    {"クリップボード取得", "", 430, CmdClipboardText},
    {"読む", "?に,?を", 37, CmdRead},
    {"開く", "?に,?を", 37, CmdRead},
    {"書く", "?を,?へ", 38, CmdWrite},
    {"保存", "?を,?へ", 38, CmdWrite},
    {"追加保存", "?を,?へ", 297, CmdAppend},
    {"ハンドルを開く", "?で,?の", 331, CmdHandleOpen},
    {"ハンドルを詳しく開く", "?に,?を,?で", 422, CmdHandleOpenMode},
    {"ハンドルを一行読む", "?に,?の", 332, CmdHandleReadLine},
    {"ハンドルへ一行書く", "?を,?の", 333, CmdHandleWriteLine},
    {"ハンドルを閉じる", "?の", 334, CmdHandleClose},
    {"ハンドル最後か", "?の", 335, CmdHandleAtEnd},
    {"ハンドルを先頭に移動", "?の", 336, CmdHandleToStart},
    {"ハンドルを最後に移動", "?の", 337, CmdHandleToEnd},
    {"ハンドルを移動", "?の,?に", 419, CmdHandleSeek},
    {"ハンドルにバイナリを書く", "?を,?に,?つ", 420, CmdHandleWriteBytes},
    {"ハンドルにバイナリを読む", "?へ,?を,?つ", 421, CmdHandleReadBytes},
    {"ファイルコピー", "?から,?へ", 58, CmdFileCopy},
    {"ファイル削除", "?を", 59, CmdFileDelete},
    {"ファイル完全削除", "?を", 385, CmdFileErase},
    {"ファイル名変更", "?から,?へ", 60, CmdFileRename},
    {"ファイル移動", "?から,?へ", 61, CmdFileMove},
    {"ショートカット作成", "?を,?へ", 66, CmdMakeShortcut},
    {"作業フォルダ変更", "?へ", 62, CmdChangeFolder},
    {"作業ディレクトリ変更", "?へ", 62, CmdChangeFolder},
    {"作業フォルダ", "?へ", 89, CmdCurrentFolder},
    {"作業ディレクトリ", "", 89, CmdCurrentFolder},
    {"フォルダ作成", "?へ", 63, CmdMakeFolder},
    {"フォルダ削除", "?の", 64, CmdRemoveFolder},
    {"ファイル属性変更", "?を,?に", 65, CmdSetAttributes},
    {"ファイル属性取得", "?の", 382, CmdGetAttributes},
    {"ファイル日時", "?の", 185, CmdFileTime},
    {"ファイルサイズ", "?の", 186, CmdFileSize},
    {"ファイル列挙", "?の", 67, CmdListFiles},
    {"全ファイル列挙", "?の", 268, CmdListAllFiles},
    {"フォルダ列挙", "?の", 168, CmdListFolders},
    {"全フォルダ列挙", "?の", 446, CmdListAllFolders},
    {"フォルダか", "?が", 68, CmdIsFolder},
    {"ファイルか", "?が", 69, CmdIsFile},
    {"存在するか", "?が", 81, CmdExists},
    {"ドライブ種類判定", "?の", 353, CmdDriveType},
    {"短いファイル名取得", "?の", 383, CmdShortName},
    {"長いファイル名取得", "?の", 384, CmdLongName},
    {"パスを切り出す", "?から", 170, CmdPathPart},
    {"拡張子を切り出す", "?から", 176, CmdExtensionPart},
    {"ファイル名を切り出す", "?から", 269, CmdNamePart},
    {"拡張子変更", "?を,?に", 314, CmdChangeExtension},
    {"絶対パス展開", "?を,?で", 524, CmdExpandPath},
    {"特殊フォルダ取得", "?の", 532, CmdSpecialFolder},
};

constexpr VariableDef kVariables[] = {
    {"属性なし", "128", "e", 11, true, true},
    {"読取専用ファイル", "1", "e", 12, true, true},
    {"隠しファイル", "2", "e", 13, true, true},
    {"アーカイブファイル", "32", "e", 14, true, true},
};

}  // namespace

const TFamily kFileFamily{"ファイルとフォルダ", kCommands, kVariables};

}  // namespace yume
