// The packed-file store a run starts with: the archive behind the program's own executable
// image, or one named by -runtime or -resource. The run cycle opens it and reads the start
// script from it; the packed-file family (commands/system/packstore.cpp) defines what is
// declared here, as the families define Families(), and serves the other entries to the
// commands that read files.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace yume {

// The entry holding the script a packed program runs.
inline constexpr char kPackStartScript[] = "yumemori.ymr";
// The entry in which a console program built by a script records the folder of the runtime
// that built it (where yume-qt.so is found when it is not beside the program).
inline constexpr char kPackRuntimeFolder[] = "yumemori.runtime";

class TPackStore {
 public:
  virtual ~TPackStore() = default;
  // The entry's bytes (deciphered when stored enciphered); false when there is no such entry.
  // Throws std::runtime_error (a CP932 reason) when the entry is there but cannot be read.
  virtual bool ReadEntry(std::string_view name, std::string& bytes) = 0;
};

// The archive appended behind the executable image of exe (CP932 path): null when nothing
// follows the image (or exe is no executable image); throws std::runtime_error (a CP932
// reason) when what follows is no readable archive.
std::unique_ptr<TPackStore> OpenAppendedPack(const std::string& exe);
// An archive file; throws std::runtime_error (a CP932 reason) when it cannot be read.
std::unique_ptr<TPackStore> OpenPackFile(const std::string& file);

}  // namespace yume
