// A file read line by line through a read-ahead buffer and written line by line or by bytes:
// what a script's file handle holds. Knows nothing of the interpreter; paths are system paths.
//
// Two positions are kept. The file's own position is where the next read or write of bytes
// goes; line reading leaves it at the end of its last read-ahead. The logical position is where
// the next unread line starts, or where the next line is to be written; 0 also stands for "not
// known yet". A move brings both together again.
//
// Positions are 64-bit here, so files of 2 GiB or more are read and written correctly; scripts
// never see a position, only whether the end is reached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace yume {

class TTextFileStream {
 public:
  static constexpr size_t kBufferSize = 4096;

  // Open modes: access 0 read, 1 write, 2 read and write, plus a sharing choice: 16 exclusive,
  // 32 others may not write, 48 others may not read, 64 anything goes (0: no choice made).
  // kCreate creates the file, or empties it, for reading and writing.
  static constexpr int kRead = 0, kWrite = 1, kReadWrite = 2;
  static constexpr int kShareExclusive = 16, kShareDenyWrite = 32, kShareDenyRead = 48,
                       kShareDenyNone = 64;
  static constexpr int kCreate = 65535;

  TTextFileStream() = default;
  ~TTextFileStream();
  TTextFileStream(const TTextFileStream&) = delete;
  TTextFileStream& operator=(const TTextFileStream&) = delete;

  // Opens sysPath with a mode number (createMissing: a missing file is made, empty). The
  // sharing choices become advisory locks (flock) taken without waiting: exclusive and
  // deny-read take the exclusive lock, deny-write the shared one; so two handles that both ask
  // for exclusive use of one file cannot both be open, while a handle that made no choice is
  // never kept out. False, with the system's error number in `error`, when the mode is none of
  // these or the file cannot be opened or locked.
  bool Open(const std::string& sysPath, int mode, int* error = nullptr, bool createMissing = false);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // The next line without its line break (LF, CR or CR LF; a NUL byte ends a line too and is
  // passed over). A Shift_JIS lead byte keeps the byte after it, so a trail byte equal to a
  // line-break code never ends a line. At the end of the file, an empty text.
  std::string ReadLine();
  // Whether the logical position (the file's own one while it is 0) has reached the size.
  bool AtEnd();

  // Moves to an offset from the start or from the end; the logical position follows and the
  // read-ahead is dropped. False (nothing moved) when the system refuses the offset.
  bool SeekFromStart(int64_t offset);
  bool SeekFromEnd(int64_t offset);

  // Writes text and CR LF at the logical position, which moves past them; the rest of the file
  // stays as it is.
  bool WriteLine(std::string_view text, int* error = nullptr);
  // Writes exactly count bytes at the file's own position: value, cut or padded with NUL.
  bool WriteBytes(std::string_view value, int64_t count, int* error = nullptr);
  // Up to count bytes from the file's own position (fewer at the end).
  bool ReadBytes(int64_t count, std::string& out, int* error = nullptr);

  int64_t LogicalPosition() const { return logical_; }
  int64_t FilePosition() const { return filePos_; }
  // The size as the system reports it now; -1 when it cannot.
  int64_t Size() const;

 private:
  bool Refill();
  void DropBuffer() { cur_ = end_ = 0; }
  bool Seek(int64_t offset, int whence);
  bool WriteAll(const char* p, size_t n, int* error);

  int fd_ = -1;
  char buf_[kBufferSize];
  size_t cur_ = 0;  // next unread byte of buf_
  size_t end_ = 0;  // end of the valid bytes of buf_; cur_ == end_: nothing buffered
  int64_t logical_ = 0;
  int64_t filePos_ = 0;    // the file's own position, kept as it moves
  int64_t afterFill_ = 0;  // the file's position just after the last read-ahead
};

}  // namespace yume
