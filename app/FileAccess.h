// Velmaro — the small file layer under the settings file: the only code that
// speaks to the operating system's files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace file_access {

// The outcome of one file operation; reason is the system's own words.
struct Status {
  bool ok = true;
  std::string reason;
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

  // Reads up to buffer.size() bytes from offset 0; the end of the file is no
  // error. `count` receives the number of bytes read.
  Status ReadFromStart(std::span<std::uint8_t> buffer, std::size_t& count);

  // Writes all of data at offset 0 and asks the system to put it on disk.
  // Bytes after data are left as they were.
  Status WriteAtStart(std::span<const std::uint8_t> data);

  Status Close();

 private:
  int handle_ = -1;
};

}  // namespace file_access
