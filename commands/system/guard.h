// What every file-touching command shares: the file lookup that finds a file to read, and the
// write guard that asks before a script changes a file outside its own folder.
#pragma once

#include <string>

namespace yume {

class TYumeBase;

// The file a name means when it is to be read or must exist already: an absolute name as it
// is; else the first existing file of the current folder, the program's folder, the runtime's
// folder, the system folders and the folder of the source being run; else the name unchanged.
std::string FindProgramFile(TYumeBase& y, const std::string& name);

// May the file `name` be changed? Decides the security level on first use (option, then
// security.ini), refuses "security.ini" with a warning, lets files inside the program's folder
// pass and asks `question` (four answers) for the others at the middle level. A refusal does
// nothing else: the command then does nothing and reports nothing.
bool CheckFileAccess(TYumeBase& y, const std::string& name, const std::string& question);

// The question texts: "name" quoted, with the command's words around it.
std::string Quoted(const std::string& name);

}  // namespace yume
