// Velmaro — the settings record's bytes.
#include "sim/SetRec.h"

namespace {

constexpr std::size_t kFieldCount = kSetRecBytes / 2;

std::int16_t& Field(SetRec& record, std::size_t index) {
  return index == 0 ? record.MaxIndex : record.Kind[index - 1];
}

}  // namespace

std::array<std::uint8_t, kSetRecBytes> EncodeSetRec(const SetRec& record) {
  SetRec copy = record;
  std::array<std::uint8_t, kSetRecBytes> bytes{};
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const auto value = static_cast<std::uint16_t>(Field(copy, i));
    bytes[2 * i] = static_cast<std::uint8_t>(value & 0xff);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  return bytes;
}

SetRec DecodeSetRec(std::span<const std::uint8_t> bytes) {
  SetRec record;
  for (std::size_t i = 0; i < kFieldCount && 2 * i + 1 < bytes.size(); ++i) {
    const auto value = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    Field(record, i) = static_cast<std::int16_t>(value);
  }
  return record;
}
