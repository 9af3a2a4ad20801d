// Velmaro — the settings file "SET".
#include "app/Settings.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <system_error>

#include "assets/Texts.h"
#include "sim/State.h"

namespace {

constexpr qint64 kTailChunk = 64 * 1024;

// What stands at the file's name, links followed.
struct Place {
  bool missing = false;
  std::string notOrdinary;  // the kind of thing found, when not an ordinary file
  std::string failure;      // why the name could not be looked up
};

std::string KindName(std::filesystem::file_type type) {
  switch (type) {
    case std::filesystem::file_type::directory: return "フォルダ";
    case std::filesystem::file_type::character: return "キャラクタデバイス";
    case std::filesystem::file_type::block: return "ブロックデバイス";
    case std::filesystem::file_type::fifo: return "名前付きパイプ";
    case std::filesystem::file_type::socket: return "ソケット";
    default: return "不明な種類のファイル";
  }
}

Place Inspect(const std::filesystem::path& file) {
  std::error_code error;
  const auto type = std::filesystem::status(file, error).type();
  Place place;
  if (type == std::filesystem::file_type::not_found) {
    place.missing = true;
  } else if (type == std::filesystem::file_type::none) {
    place.failure = error.message();
  } else if (type != std::filesystem::file_type::regular) {
    place.notOrdinary = KindName(type);
  }
  return place;
}

std::string NotOrdinaryReason(const std::string& kind) {
  return kNotOrdinaryReasonText.arg(QString::fromStdString(kind)).toStdString();
}

QString QtName(const std::filesystem::path& file) { return QString::fromStdU16String(file.u16string()); }

std::string Reason(const QFileDevice& file) { return file.errorString().toStdString(); }

template <typename Outcome = FileOutcome>
Outcome Failed(std::string reason) {
  Outcome outcome;
  outcome.ok = false;
  outcome.reason = std::move(reason);
  return outcome;
}

// A write the system stops part way comes back short and without a reason;
// asking for the rest brings the reason.
bool WriteAll(QFileDevice& file, const char* data, qint64 size) {
  while (size > 0) {
    const qint64 put = file.write(data, size);
    if (put <= 0) return false;
    data += put;
    size -= put;
  }
  return true;
}

// The bytes after the record, up to the size the old file had when the save
// began: a file that grows meanwhile cannot make the copy run on.
FileOutcome CopyTail(QFile& old, QFileDevice& replacement, qint64 oldSize) {
  QByteArray chunk(kTailChunk, Qt::Uninitialized);
  for (qint64 offset = kSetRecBytes; offset < oldSize;) {
    const qint64 got = old.read(chunk.data(), std::min(kTailChunk, oldSize - offset));
    if (got < 0) return Failed(Reason(old));
    if (got == 0) break;  // the file shrank since
    if (!WriteAll(replacement, chunk.constData(), got)) return Failed(Reason(replacement));
    offset += got;
  }
  return {};
}

// Where no new file can be made beside it, the record goes over the old one
// in place; should that fail, the old bytes go back.
FileOutcome WriteInPlace(QFile& file, const std::array<std::uint8_t, kSetRecBytes>& record,
                         const QByteArray& oldStart, qint64 oldSize) {
  if (file.seek(0) && WriteAll(file, reinterpret_cast<const char*>(record.data()), kSetRecBytes)) {
    file.close();
    return file.error() == QFileDevice::NoError ? FileOutcome{} : Failed(Reason(file));
  }
  FileOutcome failed = Failed(Reason(file));
  if (file.seek(0)) WriteAll(file, oldStart.constData(), oldStart.size());
  if (oldSize < static_cast<qint64>(kSetRecBytes)) file.resize(oldSize);
  return failed;
}

// The record from an open file into Conf; the file is closed.
LoadOutcome ReadRecord(QFile& settings, const LoadOutcome& outcome) {
  std::array<std::uint8_t, kSetRecBytes> bytes{};
  const qint64 count = settings.read(reinterpret_cast<char*>(bytes.data()), kSetRecBytes);
  if (count < 0) return Failed<LoadOutcome>(Reason(settings));
  settings.close();
  if (settings.error() != QFileDevice::NoError) return Failed<LoadOutcome>(Reason(settings));
  Conf = DecodeSetRec(std::span(bytes).first(static_cast<std::size_t>(count)));
  return outcome;
}

}  // namespace

LoadOutcome LoadSettings(const std::filesystem::path& file) {
  LoadOutcome outcome;
  const Place place = Inspect(file);
  if (!place.failure.empty() || !place.notOrdinary.empty()) {
    outcome.ok = false;
    outcome.reason = place.failure.empty() ? NotOrdinaryReason(place.notOrdinary) : place.failure;
    outcome.notOrdinary = place.notOrdinary;
    return outcome;
  }
  outcome.missing = place.missing;
  QFile settings(QtName(file));
  if (!settings.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
    const std::string refused = Reason(settings);
    if (place.missing || !settings.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
      outcome.ok = false;
      outcome.reason = refused;
      return outcome;
    }
    outcome.readOnly = true;
  }
  return ReadRecord(settings, outcome);
}

LoadOutcome ReadSettings(const std::filesystem::path& file) {
  const Place place = Inspect(file);
  if (place.missing || !place.failure.empty() || !place.notOrdinary.empty()) {
    LoadOutcome outcome = Failed<LoadOutcome>(place.failure);
    outcome.missing = place.missing;
    outcome.notOrdinary = place.notOrdinary;
    return outcome;
  }
  QFile settings(QtName(file));
  if (!settings.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return Failed<LoadOutcome>(Reason(settings));
  return ReadRecord(settings, {});
}

FileOutcome SaveSettings(const std::filesystem::path& file) {
  const Place place = Inspect(file);
  if (!place.failure.empty()) return Failed(place.failure);
  if (!place.notOrdinary.empty()) return Failed(NotOrdinaryReason(place.notOrdinary));

  // Opened for writing too: a file the program may not write is refused here
  // with the system's reason, and a missing one is created as at start-up.
  QFile old(QtName(file));
  if (!old.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) return Failed(Reason(old));
  const qint64 oldSize = old.size();
  const QByteArray oldStart = old.read(kSetRecBytes);
  if (old.error() != QFileDevice::NoError) return Failed(Reason(old));

  const auto record = EncodeSetRec(Conf);
  const auto* recordBytes = reinterpret_cast<const char*>(record.data());
  // Written beside the file (or its link's target, with its permissions),
  // then renamed over it: readers see the old record or the new one.
  QSaveFile replacement(QtName(file));
  if (!replacement.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    return WriteInPlace(old, record, oldStart, oldSize);
  if (!WriteAll(replacement, recordBytes, kSetRecBytes)) return Failed(Reason(replacement));
  if (auto copied = CopyTail(old, replacement, oldSize); !copied.ok) return copied;
  old.close();  // some systems rename nothing over an open file
  if (!replacement.commit()) return Failed(Reason(replacement));
  return {};
}

std::string RepairDamagedCount(SetRec& record) {
  if (record.MaxIndex >= -1 && record.MaxIndex <= 5) return {};
  const int damaged = record.MaxIndex;
  record.MaxIndex = 0;
  return kDamagedCountText.arg(damaged).toStdString();
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
  return kDamagedKindsText.arg(QString::fromStdString(damaged)).toStdString();
}
