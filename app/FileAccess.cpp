// Velmaro — the small file layer under the settings file.
#include "app/FileAccess.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace file_access {

namespace {

// The faults tests asked for, and how many calls of each operation were made.
std::vector<Fault> injected;
std::array<int, 6> calls{};

// True when this call is one a test wants to fail; errno is then set.
bool Injected(Operation operation, std::size_t* bytesBeforeIt = nullptr) {
  if (injected.empty()) return false;
  const int call = ++calls[static_cast<std::size_t>(operation)];
  for (Fault& fault : injected) {
    if (fault.operation != operation || fault.call != call) continue;
    if (bytesBeforeIt && fault.bytesBeforeIt > 0) {
      // A full disk takes part of a write, then refuses the next one.
      *bytesBeforeIt = fault.bytesBeforeIt;
      fault.bytesBeforeIt = 0;
      fault.call = call + 1;
      return false;
    }
    errno = fault.error;
    return true;
  }
  return false;
}

Status Failure() { return Status{false, std::strerror(errno), errno}; }

#ifdef _WIN32
int OpenFile(const std::filesystem::path& path, int flags) {
  return _wopen(path.c_str(), flags | _O_BINARY, _S_IREAD | _S_IWRITE);
}
constexpr int kReadWrite = _O_RDWR, kReadOnly = _O_RDONLY, kCreate = _O_CREAT, kExclusive = _O_EXCL;
long RawRead(int fd, std::uint8_t* data, std::size_t size, long offset) {
  if (_lseek(fd, offset, SEEK_SET) < 0) return -1;
  return _read(fd, data, static_cast<unsigned>(size));
}
long RawWrite(int fd, const std::uint8_t* data, std::size_t size, long offset) {
  if (_lseek(fd, offset, SEEK_SET) < 0) return -1;
  return _write(fd, data, static_cast<unsigned>(size));
}
int RawSync(int fd) { return _commit(fd); }
int RawClose(int fd) { return _close(fd); }
int RawTruncate(int fd, long size) { return _chsize(fd, size); }
void CopyPermissions(int, int) {}
#else
int OpenFile(const std::filesystem::path& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}
constexpr int kReadWrite = O_RDWR, kReadOnly = O_RDONLY, kCreate = O_CREAT, kExclusive = O_EXCL;
long RawRead(int fd, std::uint8_t* data, std::size_t size, long offset) {
  return ::pread(fd, data, size, offset);
}
long RawWrite(int fd, const std::uint8_t* data, std::size_t size, long offset) {
  return ::pwrite(fd, data, size, offset);
}
int RawSync(int fd) { return ::fsync(fd); }
int RawClose(int fd) { return ::close(fd); }
int RawTruncate(int fd, long size) { return ::ftruncate(fd, size); }
// The new file takes the old one's place, so it takes its permissions too.
void CopyPermissions(int from, int to) {
  struct stat old {};
  if (::fstat(from, &old) == 0) ::fchmod(to, old.st_mode & 07777);
}
#endif

int Open(const std::filesystem::path& path, int flags) {
  return Injected(Operation::open) ? -1 : OpenFile(path, flags);
}
long ReadAt(int fd, std::uint8_t* data, std::size_t size, long offset) {
  return Injected(Operation::read) ? -1 : RawRead(fd, data, size, offset);
}
long WriteAt(int fd, const std::uint8_t* data, std::size_t size, long offset) {
  std::size_t allowed = size;
  if (Injected(Operation::write, &allowed)) return -1;
  return RawWrite(fd, data, std::min(size, allowed), offset);
}
int Sync(int fd) { return Injected(Operation::sync) ? -1 : RawSync(fd); }
int CloseHandle(int fd) {
  if (Injected(Operation::close)) {
    RawClose(fd);  // a failed close still gives the handle back
    return -1;
  }
  return RawClose(fd);
}

Status ReadAll(int fd, std::span<std::uint8_t> buffer, long offset, std::size_t& count) {
  count = 0;
  while (count < buffer.size()) {
    const long got = ReadAt(fd, buffer.data() + count, buffer.size() - count,
                            offset + static_cast<long>(count));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Failure();
    if (got == 0) break;
    count += static_cast<std::size_t>(got);
  }
  return {};
}

Status WriteAll(int fd, std::span<const std::uint8_t> data, long offset) {
  std::size_t done = 0;
  while (done < data.size()) {
    const long put = WriteAt(fd, data.data() + done, data.size() - done,
                             offset + static_cast<long>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return Failure();
    if (put == 0) return Status{false, "nothing could be written", 0};
    done += static_cast<std::size_t>(put);
  }
  return {};
}

// A name beside the file that nobody holds yet, kept hidden from listings.
std::filesystem::path SiblingName(const std::filesystem::path& file, std::mt19937_64& names) {
  std::string name = file.filename().string();
  name.insert(name.begin(), '.');
  name.append(".").append(std::to_string(names() % 1000000000)).append(".new");
  return file.parent_path() / name;
}

// Copies from offset `from` to the end of one open file into another.
Status CopyTail(int source, int destination, long from) {
  std::array<std::uint8_t, 65536> chunk;
  for (long offset = from;;) {
    std::size_t got = 0;
    if (auto read = ReadAll(source, chunk, offset, got); !read.ok) return read;
    if (got == 0) return {};
    if (auto written = WriteAll(destination, std::span(chunk).first(got), offset); !written.ok)
      return written;
    offset += static_cast<long>(got);
  }
}

}  // namespace

bool IsRefusal(int error) { return error == EACCES || error == EPERM || error == EROFS; }

void InjectFaults(std::vector<Fault> faults) {
  injected = std::move(faults);
  calls = {};
}

ByteFile::~ByteFile() {
  if (handle_ >= 0) CloseHandle(handle_);
}

Status ByteFile::Open(const std::filesystem::path& path) {
  handle_ = file_access::Open(path, kReadWrite | kCreate);
  return handle_ < 0 ? Failure() : Status{};
}

Status ByteFile::OpenForReading(const std::filesystem::path& path) {
  handle_ = file_access::Open(path, kReadOnly);
  return handle_ < 0 ? Failure() : Status{};
}

Status ByteFile::ReadFromStart(std::span<std::uint8_t> buffer, std::size_t& count) {
  return ReadAll(handle_, buffer, 0, count);
}

Status ByteFile::WriteAtStart(std::span<const std::uint8_t> data) {
  if (auto written = WriteAll(handle_, data, 0); !written.ok) return written;
  return Sync(handle_) == 0 ? Status{} : Failure();
}

Status ByteFile::Close() {
  const int fd = handle_;
  handle_ = -1;
  return CloseHandle(fd) == 0 ? Status{} : Failure();
}

Status ReplaceStart(const std::filesystem::path& file, std::span<const std::uint8_t> start) {
  ByteFile old;
  if (auto opened = old.Open(file); !opened.ok) return opened;
  std::vector<std::uint8_t> oldStart(start.size());
  std::size_t oldStartSize = 0;
  if (auto read = ReadAll(old.handle_, oldStart, 0, oldStartSize); !read.ok) return read;
  oldStart.resize(oldStartSize);

  // A link is followed, so that the link stays and its target changes.
  std::error_code ignored;
  std::filesystem::path target = file;
  if (std::filesystem::is_symlink(file, ignored)) {
    std::error_code unresolved;
    if (auto resolved = std::filesystem::canonical(file, unresolved); !unresolved) target = resolved;
  }

  std::mt19937_64 names(std::random_device{}());
  std::filesystem::path newName;
  ByteFile replacement;
  Status created;
  do {
    newName = SiblingName(target, names);
    replacement.handle_ = file_access::Open(newName, kReadWrite | kCreate | kExclusive);
    created = replacement.handle_ < 0 ? Failure() : Status{};
  } while (!created.ok && created.error == EEXIST);

  if (!created.ok && IsRefusal(created.error)) {
    // The folder takes no new file, but the file itself may be written.
    if (auto written = old.WriteAtStart(start); !written.ok) {
      WriteAll(old.handle_, oldStart, 0);
      if (oldStartSize < start.size()) RawTruncate(old.handle_, static_cast<long>(oldStartSize));
      RawSync(old.handle_);
      return written;
    }
    return old.Close();
  }
  if (!created.ok) return created;

  CopyPermissions(old.handle_, replacement.handle_);
  Status done = WriteAll(replacement.handle_, start, 0);
  if (done.ok) done = CopyTail(old.handle_, replacement.handle_, static_cast<long>(start.size()));
  if (done.ok && Sync(replacement.handle_) != 0) done = Failure();
  if (auto closed = replacement.Close(); done.ok) done = closed;
  old.Close();  // only read from; the outcome changes nothing
  if (done.ok) {
    if (Injected(Operation::rename)) {
      done = Failure();
    } else {
      std::error_code renamed;
      std::filesystem::rename(newName, target, renamed);
      if (renamed) done = Status{false, renamed.message(), renamed.value()};
    }
  }
  if (!done.ok) std::filesystem::remove(newName, ignored);
  return done;
}

}  // namespace file_access
