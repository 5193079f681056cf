// The well-known folders and the system's name, as Linux has them.
//
// Scripts name folders by the shell's special-folder numbers (5 documents, 16 desktop, ...).
// Here they map to the XDG user folders (~/.config/user-dirs.dirs) and the usual places under
// the home folder. Every folder is CP932 with "/" separators and ends in "/".
#pragma once

#include <string>

namespace yume {

// $HOME (or the password entry's home), ending in "/".
std::string HomeFolder();

// The folder of a special-folder number; "/" when the number names no folder here.
std::string SpecialFolder(int id);

// The stand-ins for the system folders that scripts build paths from (and that the file
// lookup searches): the shared data of the installed system, "/usr/share/", and the folder of
// its programs, "/usr/bin/".
std::string WindowsFolder();
std::string SystemFolder();

// The system's name and release, e.g. "Linux 6.8.0-45-generic".
std::string OsName();

// The special-folder numbers the system variables use.
enum TSpecialFolder {
  sfDesktop = 0,
  sfPrograms = 2,
  sfDocuments = 5,
  sfFavorites = 6,
  sfStartup = 7,
  sfRecent = 8,
  sfSendTo = 9,
  sfStartMenu = 11,
  sfMusic = 13,
  sfVideos = 14,
  sfDesktopFolder = 16,
  sfFonts = 20,
  sfTemplates = 21,
  sfAppData = 26,
  sfLocalAppData = 28,
  sfCache = 32,
  sfWindows = 36,
  sfSystem = 37,
  sfProgramFiles = 38,
  sfPictures = 39,
  sfProfile = 40,
};

}  // namespace yume
