// Velmaro — the small file layer under the settings file.
#include "app/FileAccess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace file_access {

namespace {

Status Failure() { return Status{false, std::strerror(errno)}; }

#ifdef _WIN32
int OpenOrCreate(const std::filesystem::path& path) {
  return _wopen(path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long ReadAt(int fd, std::uint8_t* data, std::size_t size, long offset) {
  if (_lseek(fd, offset, SEEK_SET) < 0) return -1;
  return _read(fd, data, static_cast<unsigned>(size));
}
long WriteAt(int fd, const std::uint8_t* data, std::size_t size, long offset) {
  if (_lseek(fd, offset, SEEK_SET) < 0) return -1;
  return _write(fd, data, static_cast<unsigned>(size));
}
int Flush(int fd) { return _commit(fd); }
int CloseHandle(int fd) { return _close(fd); }
#else
int OpenOrCreate(const std::filesystem::path& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}
long ReadAt(int fd, std::uint8_t* data, std::size_t size, long offset) {
  return ::pread(fd, data, size, offset);
}
long WriteAt(int fd, const std::uint8_t* data, std::size_t size, long offset) {
  return ::pwrite(fd, data, size, offset);
}
int Flush(int fd) { return ::fsync(fd); }
int CloseHandle(int fd) { return ::close(fd); }
#endif

}  // namespace

ByteFile::~ByteFile() {
  if (handle_ >= 0) CloseHandle(handle_);
}

Status ByteFile::Open(const std::filesystem::path& path) {
  handle_ = OpenOrCreate(path);
  return handle_ < 0 ? Failure() : Status{};
}

Status ByteFile::ReadFromStart(std::span<std::uint8_t> buffer, std::size_t& count) {
  count = 0;
  while (count < buffer.size()) {
    const long got = ReadAt(handle_, buffer.data() + count, buffer.size() - count,
                            static_cast<long>(count));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Failure();
    if (got == 0) break;
    count += static_cast<std::size_t>(got);
  }
  return {};
}

Status ByteFile::WriteAtStart(std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const long put = WriteAt(handle_, data.data() + done, data.size() - done,
                             static_cast<long>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return put < 0 ? Failure() : Status{false, "nothing could be written"};
    done += static_cast<std::size_t>(put);
  }
  return Flush(handle_) == 0 ? Status{} : Failure();
}

Status ByteFile::Close() {
  const int fd = handle_;
  handle_ = -1;
  return CloseHandle(fd) == 0 ? Status{} : Failure();
}

}  // namespace file_access
