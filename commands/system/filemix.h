// Packed files: archives of the program's own format (magic "fMix") holding a script and its
// data files, alone in a file or appended behind an executable image. Nothing here knows the
// interpreter; paths are CP932 (either separator), messages CP932.
//
// Layout (little-endian): "fMix", version 1 (1 byte), entry count (2), total size (4), then one
// 265-byte record per entry (the upper-cased name, zero-padded to 256 bytes; the data's offset
// from the archive's start (4); its size (4); a flag (1): 1 = enciphered with the pack key),
// then every entry's bytes in table order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace yume {

constexpr size_t kMixHeaderSize = 11;
constexpr size_t kMixRecordSize = 265;
constexpr size_t kMixNameField = 256;
constexpr size_t kMixNameMax = 255;
constexpr size_t kMixMaxEntries = 65535;
constexpr int kMixEnciphered = 1;

// The name an entry is stored under: upper-cased (full-width letters too) and cut to 255 bytes,
// never inside a two-byte character.
std::string MixStoredName(std::string_view name);

// Why writing an archive failed.
enum class TMixFault {
  None,
  Range,         // more than 65535 entries, a flag outside 0-255, an entry or archive over 4 GB
  InputMissing,  // an input file that does not exist or cannot be read (its name in `file`)
  Write,         // the output cannot be written (its name in `file`)
};

// The entry lines of an archive to write: "path=name=flag".
class TFileMixWriter {
 public:
  std::vector<std::string> Lines;
  // Entries whose bytes are at hand rather than in a file, stored after those of Lines.
  struct TBytesEntry {
    std::string Name;
    std::string Bytes;
    int Flag = 0;
  };
  std::vector<TBytesEntry> Held;

  void Add(std::string_view path, std::string_view name, int flag);
  void AddBytes(std::string_view name, std::string bytes, int flag);

  // Writes the archive as the file `fileName`, replacing it only once everything is written: on
  // failure no partial archive is left and an existing file keeps its content. The name of the
  // file at fault goes to `file`.
  TMixFault SaveToFile(const std::string& fileName, std::string& file) const;

  // Writes the archive to the open descriptor at `base` (offsets in the records count from
  // there). Every input is checked before the first byte is written.
  TMixFault WriteTo(int fd, uint64_t base, std::string& file) const;
};

// A standalone program: the executable image of `runtime` (without anything appended to it)
// followed by the archive, written as `output` with mode 0755 less the umask. As SaveToFile,
// nothing is left behind on failure.
TMixFault BuildExecutable(const std::string& output, const std::string& runtime,
                          const TFileMixWriter& pack, std::string& file);

// Reads an archive: its table on opening, an entry's bytes on demand.
class TFileMixReader {
 public:
  struct TEntry {
    std::string Name;  // as stored (upper case)
    uint32_t Offset = 0;
    uint32_t Size = 0;
    uint8_t Flag = 0;
  };

  TFileMixReader() = default;
  ~TFileMixReader();
  TFileMixReader(const TFileMixReader&) = delete;
  TFileMixReader& operator=(const TFileMixReader&) = delete;

  // Opens fileName and reads the table of the archive starting at `base` and running to the
  // file's end. Every count, offset and size is checked against that length. False with the
  // reason in err.
  bool Open(const std::string& fileName, std::string& err, uint64_t base = 0);

  const std::string& FileName() const { return fileName_; }
  // The records in table order (a name stored twice appears twice).
  const std::vector<TEntry>& Entries() const { return entries_; }
  // Looked up as stored (upper case; "/" and "\" alike); the later of two equal names wins.
  const TEntry* Find(std::string_view name) const;
  // The entry's bytes, deciphered when flagged; false when there is no such entry or it cannot
  // be read.
  bool GetStream(std::string_view name, std::string& bytes) const;
  bool Read(const TEntry& entry, std::string& bytes) const;

 private:
  std::string fileName_;
  int fd_ = -1;
  uint64_t base_ = 0;
  std::vector<TEntry> entries_;
  std::unordered_map<std::string, size_t> index_;
};

// Where the executable image of the file ends (ELF: the furthest of its headers, segments,
// sections and section table). False when the file is no ELF image of this machine's byte order
// or its headers point past its end.
bool ExecutableImageEnd(const std::string& exe, uint64_t& end);

// An archive appended to an executable: true with its start in `base` when bytes follow the
// image; false when the file is no image or nothing follows it.
bool FindAppendedArchive(const std::string& exe, uint64_t& base);

}  // namespace yume
