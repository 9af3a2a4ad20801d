// Velmaro animation — the tool's file: as committed, well formed, and showing
// the very frames the program draws.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdint>
#include <vector>

#include "tools/animation/Swimming.h"

namespace {

struct Chunk {
  QByteArray type, data;
  std::uint32_t crc;
};

std::uint32_t U32(const QByteArray& bytes, qsizetype at) {
  return qFromBigEndian<quint32>(bytes.constData() + at);
}

QByteArray BigEndian(std::uint32_t value) {
  const quint32 stored = qToBigEndian<quint32>(value);
  return QByteArray(reinterpret_cast<const char*>(&stored), 4);
}

// Bit by bit, unlike the tool's table, so a shared mistake is unlikely.
std::uint32_t Crc(const QByteArray& bytes) {
  std::uint32_t crc = 0xffffffffu;
  for (const char byte : bytes) {
    crc ^= std::uint8_t(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

const QByteArray kSignature("\x89PNG\r\n\x1a\n", 8);

std::vector<Chunk> Chunks(const QByteArray& png) {
  std::vector<Chunk> chunks;
  for (qsizetype at = 8; at + 12 <= png.size(); at += 12 + U32(png, at)) {
    const qsizetype length = U32(png, at);
    if (at + 12 + length > png.size()) break;  // cut off: IEND goes missing
    chunks.push_back({png.mid(at + 4, 4), png.mid(at + 8, length), U32(png, at + 8 + length)});
  }
  return chunks;
}

QByteArray WithCrc(const QByteArray& type, const QByteArray& data) {
  return BigEndian(std::uint32_t(data.size())) + type + data + BigEndian(Crc(type + data));
}

class AnimationFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    QTemporaryDir folder;
    const QString path = folder.filePath("swimming.png");
    QProcess tool;
    tool.start(QStringLiteral(VELMARO_ANIMATION_TOOL), {path});
    tool.waitForFinished(120000);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) written = file.readAll();
  }
  static inline QByteArray written;
};

TEST_F(AnimationFile, IsTheCommittedSwimmingPicture) {
  ASSERT_FALSE(written.isEmpty()) << "the tool wrote nothing";
  QFile committed(VELMARO_SWIMMING_FILE);
  ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
  EXPECT_TRUE(committed.readAll() == written)
      << "docs/swimming.png is not what the tool writes now. If the swimming or the "
         "artwork changed on purpose, run from the top folder\n  "
      << VELMARO_ANIMATION_TOOL << " docs/swimming.png\nlook at it and commit it.";
}

TEST_F(AnimationFile, ChunksAreWellFormedAndCounted) {
  ASSERT_TRUE(written.startsWith(kSignature));
  const std::vector<Chunk> chunks = Chunks(written);
  ASSERT_GE(chunks.size(), 5u);
  EXPECT_EQ(chunks.front().type, "IHDR");
  EXPECT_EQ(chunks.back().type, "IEND");
  std::uint32_t frames = 0, nextSequence = 0, declaredFrames = 0;
  for (const Chunk& chunk : chunks) {
    EXPECT_EQ(chunk.crc, Crc(chunk.type + chunk.data)) << chunk.type.constData();
    if (chunk.type == "acTL") {
      declaredFrames = U32(chunk.data, 0);
      EXPECT_EQ(U32(chunk.data, 4), 0u) << "the animation must loop forever";
    }
    if (chunk.type == "fcTL" || chunk.type == "fdAT") {
      EXPECT_EQ(U32(chunk.data, 0), nextSequence++) << chunk.type.constData();
    }
    if (chunk.type != "fcTL") continue;
    ++frames;
    ASSERT_EQ(chunk.data.size(), 26);
    EXPECT_EQ(chunk.data.mid(20, 4), QByteArray("\0\x01\0\x0a", 4)) << "not 1/10 s";
    const QRect area(U32(chunk.data, 12), U32(chunk.data, 16), U32(chunk.data, 4),
                     U32(chunk.data, 8));
    EXPECT_TRUE(!area.isEmpty() && QRect(0, 0, 500, 300).contains(area)) << frames;
  }
  EXPECT_EQ(frames, declaredFrames);
  EXPECT_GE(frames, 40u);
}

// Each frame's rectangle, made a still PNG of its own, painted over the ones
// before, must give the program's picture of that tick.
TEST_F(AnimationFile, EveryFrameIsWhatTheProgramDrew) {
  const std::vector<QImage> drawn = SwimmingFrames();
  EXPECT_TRUE(QImage::fromData(written).convertToFormat(QImage::Format_RGB32) == drawn.at(0))
      << "the image shown without animation is not the first frame";

  QByteArray palette;
  QImage canvas(500, 300, QImage::Format_RGB32);
  std::size_t shown = 0;
  const std::vector<Chunk> chunks = Chunks(written);
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    if (chunks[i].type == "PLTE") palette = chunks[i].data;
    if (chunks[i].type != "fcTL") continue;
    const QByteArray& control = chunks[i].data;
    ASSERT_TRUE(control.size() == 26 && i + 1 < chunks.size());
    const QByteArray& next = chunks[i + 1].data;
    const QByteArray imageData = chunks[i + 1].type == "fdAT" ? next.mid(4) : next;
    const QByteArray header = control.mid(4, 8) + QByteArray("\x08\x03\x00\x00\x00", 5);
    const QImage part = QImage::fromData(kSignature + WithCrc("IHDR", header) +
                                         WithCrc("PLTE", palette) + WithCrc("IDAT", imageData) +
                                         WithCrc("IEND", {}));
    ASSERT_FALSE(part.isNull()) << "frame " << shown;
    QPainter(&canvas).drawImage(int(U32(control, 12)), int(U32(control, 16)),
                                part.convertToFormat(QImage::Format_RGB32));
    ASSERT_LT(shown, drawn.size());
    EXPECT_TRUE(canvas == drawn[shown]) << "frame " << shown << " differs";
    ++shown;
  }
  EXPECT_EQ(shown, drawn.size());
}

}  // namespace
