#include "commands/system/folder_cmds.h"

#include "core/error.h"

namespace yume {

void CmdFileCopy(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイルコピー");
}

void CmdFileDelete(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル削除");
}

void CmdFileErase(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル完全削除");
}

void CmdFileRename(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル名変更");
}

void CmdFileMove(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル移動");
}

void CmdMakeShortcut(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ショートカット作成");
}

void CmdMakeFolder(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "フォルダ作成");
}

void CmdRemoveFolder(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "フォルダ削除");
}

void CmdSetAttributes(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル属性変更");
}

void CmdGetAttributes(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル属性取得");
}

void CmdFileTime(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル日時");
}

void CmdFileSize(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイルサイズ");
}

void CmdListFiles(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ファイル列挙");
}

void CmdListAllFiles(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "全ファイル列挙");
}

void CmdListFolders(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "フォルダ列挙");
}

void CmdListAllFolders(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "全フォルダ列挙");
}

void CmdDriveType(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ドライブ種類判定");
}

void CmdShortName(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "短いファイル名取得");
}

void CmdLongName(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "長いファイル名取得");
}

}  // namespace yume
