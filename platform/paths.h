// Paths and files on Linux. Inside, a path is CP932 text and may use "\" or "/" as a
// separator; at a system call it becomes a UTF-8 path with "/" (SysPath). The system itself
// produces "/" paths.
#pragma once

#include <string>
#include <string_view>

namespace yume {

// CP932 path (either separator; a drive prefix "X:\" stands for "/") -> the system's path:
// UTF-8 with "/". The only way a script's path reaches the system.
std::string SysPath(std::string_view path);
// A name from the system -> CP932 path. Bytes that are no UTF-8, or characters CP932 lacks,
// are kept (as user-defined characters SysPath turns back into the same bytes).
std::string FromSysPath(std::string_view sysPath);
// "/…", "\…" or "X:\…".
bool IsAbsolutePath(std::string_view path);

// The folder part including its final "/" ("" when there is none); either separator counts.
std::string ExtractFilePath(std::string_view path);
// The part after the last separator.
std::string ExtractFileName(std::string_view path);
// The extension including its "." ("" when there is none).
std::string ExtractFileExt(std::string_view path);
// Replaces (or adds) the extension; ext includes its ".".
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// Makes a path absolute against the current folder (CP932 in and out, "/" separators).
std::string ExpandFileName(std::string_view path);

// Full path of the running executable (CP932).
std::string ExecutableFile();

bool FileExists(std::string_view path);
// Reads a whole file; false (with the system's reason in err) when it cannot.
bool ReadWholeFile(std::string_view path, std::string& out, std::string* err = nullptr);
// Writes data as the whole file (created or replaced), or appends it to an existing file;
// false (with the system's reason in err) when it cannot.
bool WriteWholeFile(std::string_view path, std::string_view data, std::string* err = nullptr);
bool AppendToFile(std::string_view path, std::string_view data, std::string* err = nullptr);
bool FolderExists(std::string_view path);
// Anything at all stands under the name (a file, a folder, a link that leads somewhere).
bool PathExists(std::string_view path);
// A relative path taken from a base folder: "." parts dropped, each ".." taking the base's
// last part with it (never past a root), then the rest; parts joined by "/". A path with a
// drive or from the root is given back as it is.
std::string ExpandRelativePath(std::string_view relative, std::string_view base);
bool SetCurrentFolder(std::string_view path);
// The current folder, ending in "/" (CP932).
std::string CurrentFolder();

// The system's temporary folder, ending in "/" (CP932).
std::string TempFolder();

}  // namespace yume
