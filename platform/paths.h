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
bool SetCurrentFolder(std::string_view path);

// The system's temporary folder, ending in "/" (CP932).
std::string TempFolder();

}  // namespace yume
