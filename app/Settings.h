// Velmaro — the settings file "SET": the record Conf, 14 bytes on disk.
// Bytes after the 14th belong to nobody and stay as they are.
#pragma once

#include <filesystem>
#include <string>

#include "sim/SetRec.h"

// A relative name: the file lies in the working directory at each open.
inline constexpr char kSettingsFile[] = "SET";

// The outcome of a load or a save; reason is the system's own words.
struct FileOutcome {
  bool ok = true;
  std::string reason;
};

struct LoadOutcome : FileOutcome {
  bool readOnly = false;    // read, but the program may not write it
  bool missing = false;     // there was none: the failure, if any, was making it
  std::string notOrdinary;  // what SET is instead of an ordinary file, if so
};

// SET, links followed, must be an ordinary file or nothing at all. Anything
// else (a folder, a device, a pipe, a socket) is never opened, so reading
// or writing it cannot block, run without end or harm what it stands for.

// Opens (creating it empty if missing) and reads the file into Conf. A file
// the program may read but not write is still read. On failure Conf is left
// as it was and the reason is returned.
LoadOutcome LoadSettings(const std::filesystem::path& file = kSettingsFile);

// Reads the file into Conf as LoadSettings does, but only reads: a missing
// file is not made, and nothing is written or kept open.
LoadOutcome ReadSettings(const std::filesystem::path& file);

// Writes Conf over the first 14 bytes of the file, creating it if missing;
// the file is never shortened, and the bytes after the 14th that it held
// when the save began are kept. The file then holds the old record or the
// new one, whole, even when the save fails part way.
FileOutcome SaveSettings(const std::filesystem::path& file = kSettingsFile);

// MaxIndex outside -1..5 cannot come from this program: it is damaged and
// replaced by 0 (one fish); the kinds stay as read. Returns the warning to
// give, or an empty text when the record is sound.
std::string RepairDamagedCount(SetRec& record);

// Likewise a kind other than 0 or 1, in any of the six places: it becomes 0
// (red), the kind an unset fish shows.
std::string RepairDamagedKinds(SetRec& record);
