// The file handle commands: a file opened as a word, read and written by line or by byte.
// (Their command table is the file family's, in commands/system/file_cmds.cpp.)
#pragma once

#include "core/args.h"

namespace yume {

void CmdHandleOpen(TYumeBase& y, TArgs& a);
void CmdHandleOpenMode(TYumeBase& y, TArgs& a);
void CmdHandleReadLine(TYumeBase& y, TArgs& a);
void CmdHandleWriteLine(TYumeBase& y, TArgs& a);
void CmdHandleClose(TYumeBase& y, TArgs& a);
void CmdHandleAtEnd(TYumeBase& y, TArgs& a);
void CmdHandleToStart(TYumeBase& y, TArgs& a);
void CmdHandleToEnd(TYumeBase& y, TArgs& a);
void CmdHandleSeek(TYumeBase& y, TArgs& a);
void CmdHandleWriteBytes(TYumeBase& y, TArgs& a);
void CmdHandleReadBytes(TYumeBase& y, TArgs& a);

}  // namespace yume
