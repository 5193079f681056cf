#include "commands/system/filestream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/sjis.h"

namespace yume {

namespace {

void SetError(int* error, int value) {
  if (error) *error = value;
}

}  // namespace

TTextFileStream::~TTextFileStream() {
  Close();
}

bool TTextFileStream::Open(const std::string& sysPath, int mode, int* error, bool createMissing) {
  Close();
  int flags = 0;
  int lock = 0;
  if (mode == kCreate) {
    flags = O_RDWR | O_CREAT | O_TRUNC;
  } else {
    const int access = mode & 0x0F;
    const int share = mode & ~0x0F;
    switch (access) {
      case kRead:
        flags = O_RDONLY;
        break;
      case kWrite:
        flags = O_WRONLY;
        break;
      case kReadWrite:
        flags = O_RDWR;
        break;
      default:
        SetError(error, EINVAL);
        return false;
    }
    switch (share) {
      case 0:
      case kShareDenyNone:
        break;
      case kShareExclusive:
      case kShareDenyRead:
        lock = LOCK_EX;
        break;
      case kShareDenyWrite:
        lock = LOCK_SH;
        break;
      default:
        SetError(error, EINVAL);
        return false;
    }
    if (createMissing) flags |= O_CREAT;
  }
  const int fd = ::open(sysPath.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetError(error, errno);
    return false;
  }
  // A folder opens for reading on this system; as a file it is of no use.
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    SetError(error, EISDIR);
    return false;
  }
  if (lock && flock(fd, lock | LOCK_NB) != 0) {
    SetError(error, errno);
    ::close(fd);
    return false;
  }
  fd_ = fd;
  logical_ = filePos_ = afterFill_ = 0;
  DropBuffer();
  return true;
}

void TTextFileStream::Close() {
  if (fd_ >= 0) ::close(fd_);  // closing also lets go of the lock
  fd_ = -1;
  DropBuffer();
}

int64_t TTextFileStream::Size() const {
  struct stat st;
  if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
  return st.st_size;
}

bool TTextFileStream::Refill() {
  DropBuffer();
  if (fd_ < 0) return false;
  ssize_t n;
  do {
    n = ::read(fd_, buf_, kBufferSize);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return false;
  filePos_ += n;
  afterFill_ = filePos_;
  end_ = static_cast<size_t>(n);
  return true;
}

std::string TTextFileStream::ReadLine() {
  std::string line;
  bool exhausted = false;
  for (;;) {
    if (cur_ == end_ && !Refill()) {
      exhausted = true;
      break;
    }
    // The ordinary bytes up to the next line break or NUL go in as one piece; a lead byte takes
    // its trail byte along while both are in the buffer.
    size_t i = cur_;
    while (i < end_) {
      const unsigned char c = static_cast<unsigned char>(buf_[i]);
      if (IsLead(c)) {
        if (i + 1 == end_) break;
        i += 2;
      } else if (c == '\n' || c == '\r' || c == 0) {
        break;
      } else {
        ++i;
      }
    }
    line.append(buf_ + cur_, i - cur_);
    cur_ = i;
    if (cur_ == end_) continue;
    const unsigned char c = static_cast<unsigned char>(buf_[cur_]);
    if (IsLead(c)) {
      // The lead byte is the last in the buffer: its trail byte comes with the next fill, or
      // the file ends after the lead byte alone.
      line += buf_[cur_++];
      if (!Refill()) {
        exhausted = true;
        break;
      }
      line += buf_[cur_++];
      continue;
    }
    ++cur_;
    if (c == '\r') {
      if (cur_ == end_ && !Refill()) {
        exhausted = true;
        break;
      }
      if (buf_[cur_] == '\n') ++cur_;
    }
    break;
  }
  if (exhausted) {
    const int64_t size = Size();
    logical_ = size >= 0 ? size : filePos_;
  } else {
    logical_ = afterFill_ - static_cast<int64_t>(end_ - cur_);
  }
  return line;
}

bool TTextFileStream::AtEnd() {
  const int64_t size = Size();
  if (size < 0) return true;
  if (logical_ != 0) return logical_ >= size;
  return filePos_ == size;
}

bool TTextFileStream::Seek(int64_t offset, int whence) {
  DropBuffer();
  if (fd_ < 0) return false;
  const off_t at = lseek(fd_, static_cast<off_t>(offset), whence);
  if (at < 0) return false;
  filePos_ = logical_ = at;
  return true;
}

bool TTextFileStream::SeekFromStart(int64_t offset) {
  return Seek(offset, SEEK_SET);
}

bool TTextFileStream::SeekFromEnd(int64_t offset) {
  return Seek(offset, SEEK_END);
}

bool TTextFileStream::WriteAll(const char* p, size_t n, int* error) {
  while (n > 0) {
    const ssize_t w = ::write(fd_, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      SetError(error, errno);
      return false;
    }
    filePos_ += w;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool TTextFileStream::WriteLine(std::string_view text, int* error) {
  if (!Seek(logical_, SEEK_SET)) {
    SetError(error, fd_ < 0 ? EBADF : errno);
    return false;
  }
  std::string out;
  out.reserve(text.size() + 2);
  out.append(text);
  out += "\r\n";
  const bool ok = WriteAll(out.data(), out.size(), error);
  // What did reach the file counts, even when the write stopped half-way.
  logical_ = filePos_;
  return ok;
}

bool TTextFileStream::WriteBytes(std::string_view value, int64_t count, int* error) {
  if (fd_ < 0) {
    SetError(error, EBADF);
    return false;
  }
  if (count <= 0) return true;
  const size_t n = static_cast<size_t>(std::min<int64_t>(count, value.size()));
  if (!WriteAll(value.data(), n, error)) return false;
  static const char kZeros[kBufferSize] = {};
  for (int64_t pad = count - static_cast<int64_t>(n); pad > 0;) {
    const size_t k = static_cast<size_t>(std::min<int64_t>(pad, kBufferSize));
    if (!WriteAll(kZeros, k, error)) return false;
    pad -= static_cast<int64_t>(k);
  }
  return true;
}

bool TTextFileStream::ReadBytes(int64_t count, std::string& out, int* error) {
  out.clear();
  if (fd_ < 0) {
    SetError(error, EBADF);
    return false;
  }
  if (count <= 0) return true;
  // Room for what the file still holds, not for a count far beyond it.
  const int64_t left = std::max<int64_t>(0, Size() - filePos_);
  out.resize(static_cast<size_t>(std::min(count, left)));
  size_t got = 0;
  while (static_cast<int64_t>(got) < count) {
    if (got == out.size()) {
      // The file grew meanwhile, or its size was unknown: read on in steps.
      out.resize(got + static_cast<size_t>(std::min<int64_t>(count - got, kBufferSize)));
    }
    const ssize_t r = ::read(fd_, out.data() + got, out.size() - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      SetError(error, errno);
      out.resize(got);
      return false;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
    filePos_ += r;
  }
  out.resize(got);
  return true;
}

}  // namespace yume
