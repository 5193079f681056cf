#include "commands/system/handle_cmds.h"

#include "core/error.h"

namespace yume {

void CmdHandleOpen(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルを開く");
}

void CmdHandleOpenMode(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルを詳しく開く");
}

void CmdHandleReadLine(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルを一行読む");
}

void CmdHandleWriteLine(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルへ一行書く");
}

void CmdHandleClose(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルを閉じる");
}

void CmdHandleAtEnd(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドル最後か");
}

void CmdHandleToStart(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルを先頭に移動");
}

void CmdHandleToEnd(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルを最後に移動");
}

void CmdHandleSeek(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルを移動");
}

void CmdHandleWriteBytes(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルにバイナリを書く");
}

void CmdHandleReadBytes(TYumeBase& y, TArgs& a) {
  (void)a;
  RaiseNotBuilt(y, "ハンドルにバイナリを読む");
}

}  // namespace yume
