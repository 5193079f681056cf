// The program's own temporary files.
//
// Everything temporary goes into one private folder (mode 0700, made with mkdtemp under
// $TMPDIR or /tmp when first needed), so other users can neither read the files nor plant
// links where they will be written. The folder and its content are removed when the process
// that made it exits normally (a child that forks and exits leaves it alone).
#pragma once

#include <string>
#include <string_view>

namespace yume {

// The private folder as a system path (UTF-8, "/" separators, no final "/"); "" when it
// cannot be made.
std::string PrivateTempFolder();

// A new empty file in the private folder whose name ends with `suffix`, created exclusively
// (never an existing file or a link). Its system path; the open descriptor (read and write,
// close-on-exec) in *fd when fd is given, else it is closed. "" (and *fd = -1) on failure.
std::string NewTempFile(std::string_view suffix, int* fd = nullptr);

}  // namespace yume
