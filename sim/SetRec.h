// Velmaro — the settings record, and its 14 bytes in the file "SET".
//
// Layout: seven 16-bit two's-complement fields, least significant byte
// first, no header and no gap: MaxIndex at offset 0, Kind(0)..Kind(5) at
// offsets 2..12.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

struct SetRec {
  std::int16_t MaxIndex = 0;           // last active fish: fish count minus 1
  std::array<std::int16_t, 6> Kind{};  // 0 = red (first kind), 1 = black

  friend bool operator==(const SetRec&, const SetRec&) = default;
};

inline constexpr std::size_t kSetRecBytes = 14;

std::array<std::uint8_t, kSetRecBytes> EncodeSetRec(const SetRec& record);

// Fields wholly inside bytes are read; the rest, including a field cut in
// two by the end, stay 0.
SetRec DecodeSetRec(std::span<const std::uint8_t> bytes);
