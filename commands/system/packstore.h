// The program's pack as the commands that read files see it: an entry of the pack is served
// before any file of that name on disk, extracted once into the process's private temporary
// folder.
#pragma once

#include <string>

namespace yume {

class TYumeBase;

// The path of the extracted entry when the program's pack holds `name` ("" when there is no
// pack or no such entry). Each entry gets a fresh file of its own in the private temporary
// folder (created exclusively, never through a link), reused for the rest of the run and
// deleted at the end. A failed extraction raises
// 実行ファイルに梱包されている"name"の展開に失敗しました。
std::string ExtractPackedFile(TYumeBase& y, const std::string& name);

// The file a reading command opens: the packed entry when there is one, else the file lookup
// (FindProgramFile).
std::string FindReadFile(TYumeBase& y, const std::string& name);

}  // namespace yume
