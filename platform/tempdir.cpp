#include "platform/tempdir.h"

#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace yume {

namespace {

std::mutex gMutex;
std::string gFolder;  // made once; empty until then
pid_t gOwner = 0;     // the process that made it, the only one that removes it
std::atomic<unsigned> gCounter{0};

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  ::remove(path);
  return 0;
}

void RemoveFolder() {
  std::lock_guard<std::mutex> lock(gMutex);
  if (gFolder.empty() || ::getpid() != gOwner) return;
  ::nftw(gFolder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  gFolder.clear();
}

}  // namespace

std::string PrivateTempFolder() {
  std::lock_guard<std::mutex> lock(gMutex);
  if (!gFolder.empty()) return gFolder;
  const char* env = std::getenv("TMPDIR");
  std::string base = (env && *env) ? env : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string templ = base + "/yume-XXXXXX";
  if (!::mkdtemp(templ.data())) return {};  // mkdtemp makes it with mode 0700
  static bool registered = false;
  if (!registered) {
    std::atexit(RemoveFolder);
    registered = true;
  }
  gFolder = templ;
  gOwner = ::getpid();
  return gFolder;
}

std::string NewTempFile(std::string_view suffix, int* fd) {
  if (fd) *fd = -1;
  const std::string folder = PrivateTempFolder();
  if (folder.empty()) return {};
  // The folder is ours alone, so a counter gives free names; O_EXCL still guards against a
  // name left behind by an earlier file.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const unsigned n = gCounter.fetch_add(1);
    std::string path = folder + "/t" + std::to_string(::getpid()) + "-" + std::to_string(n);
    path += suffix;
    const int f = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (f < 0) {
      if (errno == EEXIST) continue;
      return {};
    }
    if (fd)
      *fd = f;
    else
      ::close(f);
    return path;
  }
  return {};
}

}  // namespace yume
