// Velmaro — the small file layer under the settings file: the only code that
// speaks to the operating system's files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace file_access {

// The outcome of one file operation; reason is the system's own words.
struct Status {
  bool ok = true;
  std::string reason;
  int error = 0;  // the system's error number
};

class ByteFile {
 public:
  ByteFile() = default;
  ByteFile(const ByteFile&) = delete;
  ByteFile& operator=(const ByteFile&) = delete;
  ~ByteFile();  // closes a file still open, ignoring the outcome

  // Opens for reading and writing; a missing file is created empty and an
  // existing one is never truncated.
  Status Open(const std::filesystem::path& path);

  // Opens an existing file for reading only.
  Status OpenForReading(const std::filesystem::path& path);

  // Reads up to buffer.size() bytes from offset 0; the end of the file is no
  // error. `count` receives the number of bytes read.
  Status ReadFromStart(std::span<std::uint8_t> buffer, std::size_t& count);

  // Writes all of data at offset 0 and asks the system to put it on disk.
  // Bytes after data are left as they were.
  Status WriteAtStart(std::span<const std::uint8_t> data);

  Status Close();

 private:
  friend Status ReplaceStart(const std::filesystem::path&, std::span<const std::uint8_t>);
  int handle_ = -1;
};

// Replaces the first start.size() bytes of a file, creating it if missing and
// leaving every later byte as it is. The new contents go to a new file beside
// it, which then takes its name: whoever reads the file, even another copy of
// the program, finds the old contents or the new, whole, never a mix. Where the
// folder takes no new file, the file is written in place and, should that
// fail, given its old bytes back.
Status ReplaceStart(const std::filesystem::path& file, std::span<const std::uint8_t> start);

// An error that means "not allowed here", as opposed to "went wrong".
bool IsRefusal(int error);

// For tests: make chosen system calls fail as a full disk, a refusal or a
// failing device would make them fail.
enum class Operation { open, read, write, sync, close, rename };
struct Fault {
  Operation operation;
  int error;                      // the errno the failing call reports
  int call = 1;                   // which call of that operation fails, from 1
  std::size_t bytesBeforeIt = 0;  // writes only: bytes that still get through
};
// Calls are counted from here on; an empty list puts the real calls back.
void InjectFaults(std::vector<Fault> faults);

}  // namespace file_access
