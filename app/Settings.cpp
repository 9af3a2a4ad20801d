// Velmaro — the settings file "SET".
#include "app/Settings.h"

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

LoadOutcome LoadSettings(const std::filesystem::path& file) {
  LoadOutcome outcome;
  file_access::ByteFile settings;
  if (auto opened = settings.Open(file); !opened.ok) {
    if (!file_access::IsRefusal(opened.error) || !settings.OpenForReading(file).ok) {
      static_cast<file_access::Status&>(outcome) = opened;
      return outcome;
    }
    outcome.readOnly = true;
  }
  std::array<std::uint8_t, kSetRecBytes> bytes{};
  std::size_t count = 0;
  const auto read = settings.ReadFromStart(bytes, count);
  const auto closed = settings.Close();
  if (!read.ok || !closed.ok) {
    static_cast<file_access::Status&>(outcome) = read.ok ? closed : read;
    return outcome;
  }
  Conf = DecodeSetRec(std::span(bytes).first(count));
  return outcome;
}

file_access::Status SaveSettings(const std::filesystem::path& file) {
  return file_access::ReplaceStart(file, EncodeSetRec(Conf));
}

std::string RepairDamagedCount(SetRec& record) {
  if (record.MaxIndex >= -1 && record.MaxIndex <= 5) return {};
  const int damaged = record.MaxIndex;
  record.MaxIndex = 0;
  return "設定ファイル「SET」の金魚の数が壊れています（MaxIndex " + std::to_string(damaged) +
         "）。1 匹で続けます。";
}

std::string RepairDamagedKinds(SetRec& record) {
  std::string damaged;
  for (std::size_t i = 0; i < record.Kind.size(); ++i) {
    if (record.Kind[i] == 0 || record.Kind[i] == 1) continue;
    if (!damaged.empty()) damaged += "、";
    damaged += "Kind(" + std::to_string(i) + ") " + std::to_string(record.Kind[i]);
    record.Kind[i] = 0;
  }
  if (damaged.empty()) return {};
  return "設定ファイル「SET」の金魚の種類が壊れています（" + damaged + "）。赤で続けます。";
}
