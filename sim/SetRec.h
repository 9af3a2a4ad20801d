// Velmaro — the settings record that lives in memory for the whole run.
#pragma once

#include <array>
#include <cstdint>

// Seven 16-bit fields, in this order, with nothing between them; the file
// "SET" holds exactly this record, 14 bytes, least significant byte first.
struct SetRec {
  std::int16_t MaxIndex = 0;           // last active fish: fish count minus 1
  std::array<std::int16_t, 6> Kind{};  // 0 = red (first kind), 1 = black

  friend bool operator==(const SetRec&, const SetRec&) = default;
};

// The one settings record of the program. All zero until loaded.
inline SetRec Conf{};

// Puts Conf back to its start-up state: all zero, one red fish.
inline void ResetConf() { Conf = SetRec{}; }
