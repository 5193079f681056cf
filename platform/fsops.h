// Files and folders on Linux for the file commands: copying and moving as the shell does,
// the trash, deleting, folders, listings (one folder or a whole tree), attributes, times and
// sizes, the names of a file, drive types and links.
//
// Paths in and out are CP932 text with "\" or "/" as separators; they reach the system only
// through SysPath (platform/paths.h), and names read from the system come back through
// FromSysPath, so a name on disk that is no valid UTF-8 is listed and can be named again.
// Paths the functions make themselves use "/".
//
// Wildcards: "*" is any run of characters, "?" one character (a two-byte character counts
// once), ASCII letters match without regard to case, as the directory search of the system
// the scripts come from did; "*.*" and a final ".*" also match names without a dot. A name
// beginning with "." is matched only by a pattern that begins with "." itself, and folders
// whose names begin with "." are never listed, entered or deleted by the tree operations.
// Listings come sorted by the bytes of the names with ASCII letters upper-cased, so every
// machine gives the same order.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

// ---- wildcards and order ----

// True when the text holds "*" or "?" (never a second byte).
bool HasWildcard(std::string_view text);
// Whole-name match of a CP932 name against a pattern, as described above.
bool MatchFileMask(std::string_view name, std::string_view mask);
// The order of listings: the names compared with ASCII letters upper-cased, then as they are.
bool FileNameLess(std::string_view a, std::string_view b);

// ---- listings ----

// The entries of one folder that match a pattern ("folder/mask"; a pattern ending in a
// separator, or naming no mask at all, means "*"). Folders (a link to a folder counts as one)
// go to Folders unless their names begin with "."; everything else goes to Files. Both lists
// hold bare names, sorted.
class TGlob {
 public:
  explicit TGlob(std::string_view pattern);
  // The pattern's folder part up to and including its last separator, with "/" separators;
  // "" when the pattern names no folder.
  const std::string& Folder() const { return folder_; }
  std::vector<std::string> Files;
  std::vector<std::string> Folders;

 private:
  std::string folder_;
};

// Appends, for the folder and every folder below it (depth first, each folder's own matches
// before those of its subfolders, links to folders listed but not entered), the path of each
// file (or, with folders set, each folder, ending in "/") whose name matches mask, followed by
// CR LF. folder ends in a separator or is "" for the current folder; the paths start with it
// (separators as "/").
void ListTree(std::string_view folder, std::string_view mask, bool folders, std::string& out);

// ---- copying, moving, deleting ----

// Copies as the shell does: the source is a file, a folder (with its content) or a pattern
// whose last part has wildcards (every match). The destination receives them inside it when
// it is an existing folder, ends with a separator or the source is a pattern; otherwise the
// single source is copied to that name. Missing folders are made, existing files replaced,
// times and permissions kept, links inside folders copied as links. False when anything could
// not be copied, nothing matched, or a file would be copied onto itself or a folder into itself.
bool ShellCopy(std::string_view from, std::string_view to);
// Moves the same way (a rename where it can be one, else copy and delete). False on failure.
bool ShellMove(std::string_view from, std::string_view to);
// Renames a file or folder; fails (false) when the new name exists already.
bool RenameFile(std::string_view from, std::string_view to);
// Moves a file, a folder or every match of a pattern into the user's trash, as the
// freedesktop.org trash specification lays out: $XDG_DATA_HOME/Trash (or
// ~/.local/share/Trash) for the home file system, with files/NAME and info/NAME.trashinfo
// (Path, URL-encoded; DeletionDate, local time); NAME is made unique (stem.2.ext, ...). A file
// of another file system goes to that file system's .Trash-UID folder, or is copied into the
// home trash when there is none. False when anything could not be moved.
bool MoveToTrash(std::string_view path);
// The home trash folder as a system path (made on first use).
std::string HomeTrashFolder();
// Deletes a file or a link for good (never a folder).
bool EraseFile(std::string_view path);
// Makes a folder and every missing parent. True when it exists afterwards.
bool MakeFolders(std::string_view path);
// Deletes a folder (named with or without a final separator) with all it holds, subfolders
// first, then files, then the folder. When the last part of the path has wildcards, every
// matching file and folder of that folder is deleted instead. Folders whose names begin with
// "." are never entered or deleted, so a folder holding one stays; links are removed, never
// followed. Failures are passed over.
void RemoveTree(std::string_view path);

// ---- attributes, times, sizes ----

// The attribute bits scripts see, mapped from the file's mode: read-only when no write
// permission bit is set; hidden when the name begins with "."; folder; archive for every
// regular file; "normal" (128) when no other bit applies.
enum : uint32_t {
  kAttrReadOnly = 1,
  kAttrHidden = 2,
  kAttrFolder = 16,
  kAttrArchive = 32,
  kAttrNormal = 128,
};
// False when the path does not exist (links followed).
bool ReadAttributes(std::string_view path, uint32_t& attrs);
// Only the read-only bit has an effect: set, it clears every write permission bit; clear, it
// gives back the write bits the umask allows (when none was set). Hidden is the name itself
// and is not changed here.
bool WriteAttributes(std::string_view path, uint32_t attrs);

struct TFileInfo {
  int64_t Size = 0;      // 0 for folders
  std::time_t Time = 0;  // last write
  bool Folder = false;
};
// The entry a name means, or the first (in listing order, files and folders alike) that a
// pattern matches. False when there is none.
bool FindFileInfo(std::string_view nameOrPattern, TFileInfo& info);
// "yyyy/mm/dd hh:nn:ss" in local time.
std::string FormatFileTime(std::time_t t);

// ---- names and places ----

// The full path of a name with each part as the disk spells it (found without regard to
// ASCII case when the name as written does not exist); parts that are not found stay as
// written. "/" separators.
std::string LongFileName(std::string_view path);
// The kind of storage a path lies on: 固定, リモート, リムーバブルディスク, CD-ROM, RAMディスク,
// 存在しない or 判別不能 (found from the mount table).
std::string DriveTypeName(std::string_view path);
// The name of the link ショートカット作成 makes for target at place: a place ending in a
// separator gets the target's file name; the extension becomes ".lnk" unless the name ends in
// ".lnk" already.
std::string ShortcutName(std::string_view target, std::string_view place);
// Makes (or replaces) a symbolic link named link that points at target's absolute path.
bool MakeShortcut(std::string_view target, std::string_view link);

}  // namespace yume
