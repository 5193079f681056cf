// The file and folder operations: copy, move, rename, delete, folders, attributes, listings and
// the names the system keeps for a file.
// (Their command table is the file family's, in commands/system/file_cmds.cpp.)
#pragma once

#include "core/args.h"

namespace yume {

void CmdFileCopy(TYumeBase& y, TArgs& a);
void CmdFileDelete(TYumeBase& y, TArgs& a);
void CmdFileErase(TYumeBase& y, TArgs& a);
void CmdFileRename(TYumeBase& y, TArgs& a);
void CmdFileMove(TYumeBase& y, TArgs& a);
void CmdMakeShortcut(TYumeBase& y, TArgs& a);
void CmdMakeFolder(TYumeBase& y, TArgs& a);
void CmdRemoveFolder(TYumeBase& y, TArgs& a);
void CmdSetAttributes(TYumeBase& y, TArgs& a);
void CmdGetAttributes(TYumeBase& y, TArgs& a);
void CmdFileTime(TYumeBase& y, TArgs& a);
void CmdFileSize(TYumeBase& y, TArgs& a);
void CmdListFiles(TYumeBase& y, TArgs& a);
void CmdListAllFiles(TYumeBase& y, TArgs& a);
void CmdListFolders(TYumeBase& y, TArgs& a);
void CmdListAllFolders(TYumeBase& y, TArgs& a);
void CmdDriveType(TYumeBase& y, TArgs& a);
void CmdShortName(TYumeBase& y, TArgs& a);
void CmdLongName(TYumeBase& y, TArgs& a);

}  // namespace yume
