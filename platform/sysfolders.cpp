#include "platform/sysfolders.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "platform/paths.h"

namespace yume {

namespace {

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

// The home folder as a system (UTF-8) path, without a trailing "/".
std::string SysHome() {
  const char* h = std::getenv("HOME");
  std::string home = (h && *h) ? h : "";
  if (home.empty()) {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
  }
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home.empty() ? "/" : home;
}

// An XDG base folder: the variable when it holds an absolute path, else home + fallback.
std::string XdgBase(const char* var, const char* fallback) {
  const char* v = std::getenv(var);
  if (v && v[0] == '/') return v;
  return SysHome() + "/" + fallback;
}

// A user folder from user-dirs.dirs (key such as "XDG_DOCUMENTS_DIR"); "" when not set there.
std::string UserDirEntry(std::string_view key) {
  std::ifstream in(XdgBase("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos || line[b] == '#') continue;
    std::string_view l(line);
    l.remove_prefix(b);
    if (l.substr(0, key.size()) != key || l.substr(key.size(), 1) != "=") continue;
    std::string_view v = l.substr(key.size() + 1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r'))
      v.remove_suffix(1);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.substr(0, 5) == "$HOME") return SysHome() + std::string(v.substr(5));
    if (!v.empty() && v.front() == '/') return std::string(v);
    return {};
  }
  return {};
}

// A user folder: user-dirs.dirs, else home/name when that folder exists, else home itself
// (so that a script saving "into its documents" still finds a folder).
std::string UserDir(std::string_view key, const char* name) {
  std::string dir = UserDirEntry(key);
  if (!dir.empty()) return dir;
  std::string guess = SysHome() + "/" + name;
  std::error_code ec;
  return std::filesystem::is_directory(guess, ec) ? guess : SysHome();
}

// The desktop is the exception: its default is home/Desktop whether or not it exists.
std::string DesktopDir() {
  std::string dir = UserDirEntry("XDG_DESKTOP_DIR");
  return dir.empty() ? SysHome() + "/Desktop" : dir;
}

}  // namespace

std::string HomeFolder() {
  return WithSlash(FromSysPath(SysHome()));
}

std::string WindowsFolder() {
  return "/usr/share/";
}

std::string SystemFolder() {
  return "/usr/bin/";
}

std::string SpecialFolder(int id) {
  std::string dir;
  switch (id) {
    case sfDesktop:
    case sfDesktopFolder:
      dir = DesktopDir();
      break;
    case sfDocuments:
      dir = UserDir("XDG_DOCUMENTS_DIR", "Documents");
      break;
    case sfMusic:
      dir = UserDir("XDG_MUSIC_DIR", "Music");
      break;
    case sfPictures:
      dir = UserDir("XDG_PICTURES_DIR", "Pictures");
      break;
    case sfVideos:
      dir = UserDir("XDG_VIDEOS_DIR", "Videos");
      break;
    case sfTemplates:
      dir = UserDir("XDG_TEMPLATES_DIR", "Templates");
      break;
    case sfPrograms:
    case sfStartMenu:
      // Menu entries of the user's programs.
      dir = XdgBase("XDG_DATA_HOME", ".local/share") + "/applications";
      break;
    case sfStartup:
      dir = XdgBase("XDG_CONFIG_HOME", ".config") + "/autostart";
      break;
    case sfRecent:
      // Desktops that keep recent documents as files keep them here.
      dir = XdgBase("XDG_DATA_HOME", ".local/share") + "/RecentDocuments";
      break;
    case sfSendTo:
      // The file manager's own scripts folder: its entries get the selected files.
      dir = XdgBase("XDG_DATA_HOME", ".local/share") + "/nautilus/scripts";
      break;
    case sfFavorites:
      dir = XdgBase("XDG_DATA_HOME", ".local/share") + "/favorites";
      break;
    case sfFonts:
      dir = XdgBase("XDG_DATA_HOME", ".local/share") + "/fonts";
      break;
    case sfAppData:
      dir = XdgBase("XDG_CONFIG_HOME", ".config");
      break;
    case sfLocalAppData:
      dir = XdgBase("XDG_DATA_HOME", ".local/share");
      break;
    case sfCache:
      dir = XdgBase("XDG_CACHE_HOME", ".cache");
      break;
    case sfWindows:
      return WindowsFolder();
    case sfSystem:
      return SystemFolder();
    case sfProgramFiles:
      dir = "/opt";
      break;
    case sfProfile:
      dir = SysHome();
      break;
    default:
      return "/";
  }
  return WithSlash(FromSysPath(dir));
}

std::string OsName() {
  utsname u{};
  if (uname(&u) != 0) return "Linux";
  return FromSysPath(std::string(u.sysname) + " " + u.release);
}

}  // namespace yume
