// Velmaro animation — frames of cube colours as one looping animated PNG.
#include "Apng.h"

#include <QBuffer>
#include <QList>
#include <QRect>

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int kCubeStep = 51;
constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr int kSignatureSize = 8;
// IHDR after width and height: 8 bits, palette colours, no interlacing.
const QByteArray kIndexedHeaderTail("\x08\x03\x00\x00\x00", 5);

QList<QRgb> CubePalette() {
  QList<QRgb> palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette.append(qRgb(r * kCubeStep, g * kCubeStep, b * kCubeStep));
  return palette;
}

std::uint32_t Crc32(const QByteArray& bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xffffffffu;
  for (const char byte : bytes) crc = table[(crc ^ std::uint8_t(byte)) & 0xff] ^ (crc >> 8);
  return crc ^ 0xffffffffu;
}

void AppendU32(QByteArray& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.append(char((value >> shift) & 0xff));
}

void AppendU16(QByteArray& out, std::uint16_t value) {
  out.append(char(value >> 8));
  out.append(char(value & 0xff));
}

std::uint32_t ReadU32(const QByteArray& bytes, qsizetype at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = (value << 8) | std::uint8_t(bytes[at + i]);
  return value;
}

void AppendChunk(QByteArray& png, const char* type, const QByteArray& data) {
  const QByteArray typeAndData = QByteArray(type, 4) + data;
  AppendU32(png, std::uint32_t(data.size()));
  png += typeAndData;
  AppendU32(png, Crc32(typeAndData));
}

// What one still PNG from Qt holds that the animation needs.
struct Still {
  QByteArray header, palette, imageData;
};

Still ReadStill(const QByteArray& png) {
  if (!png.startsWith(QByteArray(kSignature, kSignatureSize)))
    throw std::runtime_error("Qt wrote no PNG");
  Still still;
  for (qsizetype at = kSignatureSize; at + 12 <= png.size();) {
    const qsizetype length = ReadU32(png, at);
    if (at + 12 + length > png.size()) throw std::runtime_error("Qt wrote a cut-off PNG");
    const QByteArray type = png.mid(at + 4, 4);
    const QByteArray data = png.mid(at + 8, length);
    // A zlib stream may be split over any number of IDAT chunks.
    if (type == "IHDR") still.header = data;
    if (type == "PLTE") still.palette = data;
    if (type == "IDAT") still.imageData += data;
    at += 12 + length;
  }
  return still;
}

// The part of `picture` inside `area` as Qt's own PNG of cube indices, packed
// as tightly as Qt can (quality 0).
Still EncodeIndexed(const QImage& picture, const QRect& area, const QList<QRgb>& palette) {
  const QImage part = picture.copy(area);
  const QImage indexed =
      part.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
  // Off-cube colours would be silently moved to their nearest cube colour.
  if (indexed.convertToFormat(QImage::Format_RGB32) != part)
    throw std::runtime_error("a frame has a colour outside the 216-colour cube");
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !indexed.save(&buffer, "PNG", 0))
    throw std::runtime_error("Qt could not write a PNG");
  Still still = ReadStill(png);
  if (still.header.size() != 13 || still.header.mid(8) != kIndexedHeaderTail)
    throw std::runtime_error("Qt wrote a PNG that is not 8-bit indexed");
  return still;
}

QRect ChangedArea(const QImage& before, const QImage& after) {
  QRect changed;
  for (int y = 0; y < after.height(); ++y) {
    const auto* old = reinterpret_cast<const QRgb*>(before.constScanLine(y));
    const auto* now = reinterpret_cast<const QRgb*>(after.constScanLine(y));
    if (std::memcmp(old, now, after.width() * sizeof(QRgb)) == 0) continue;
    int left = 0, right = after.width() - 1;
    while (old[left] == now[left]) ++left;
    while (old[right] == now[right]) --right;
    changed |= QRect(left, y, right - left + 1, 1);
  }
  // An animation frame cannot be empty: an unchanged frame repeats one pixel.
  return changed.isEmpty() ? QRect(0, 0, 1, 1) : changed;
}

QByteArray FrameControl(std::uint32_t sequence, const QRect& area) {
  QByteArray data;
  AppendU32(data, sequence);
  AppendU32(data, std::uint32_t(area.width()));
  AppendU32(data, std::uint32_t(area.height()));
  AppendU32(data, std::uint32_t(area.x()));
  AppendU32(data, std::uint32_t(area.y()));
  AppendU16(data, 1);   // shown for 1/10 s: one animation tick
  AppendU16(data, 10);
  data.append('\0');    // the area stays as drawn when the next frame comes
  data.append('\0');    // the area replaces what was there
  return data;
}

}  // namespace

QByteArray EncodeApng(const std::vector<QImage>& frames) {
  if (frames.empty()) throw std::runtime_error("no frames");
  const QList<QRgb> palette = CubePalette();
  QByteArray cubePalette;
  for (const QRgb colour : palette) {
    cubePalette.append(char(qRed(colour)));
    cubePalette.append(char(qGreen(colour)));
    cubePalette.append(char(qBlue(colour)));
  }
  const QSize size = frames.front().size();

  QByteArray apng(kSignature, kSignatureSize);
  QByteArray header;
  AppendU32(header, std::uint32_t(size.width()));
  AppendU32(header, std::uint32_t(size.height()));
  header += kIndexedHeaderTail;
  AppendChunk(apng, "IHDR", header);
  AppendChunk(apng, "PLTE", cubePalette);
  QByteArray animationControl;
  AppendU32(animationControl, std::uint32_t(frames.size()));
  AppendU32(animationControl, 0);  // plays forever
  AppendChunk(apng, "acTL", animationControl);

  std::uint32_t sequence = 0;
  QImage previous;
  for (const QImage& frame : frames) {
    const QImage picture = frame.convertToFormat(QImage::Format_RGB32);
    if (picture.size() != size) throw std::runtime_error("frames differ in size");
    const QRect area = previous.isNull() ? picture.rect() : ChangedArea(previous, picture);
    const Still still = EncodeIndexed(picture, area, palette);
    // Qt's indices mean the same colours in every frame only while it keeps
    // the whole palette as given.
    if (still.palette != cubePalette)
      throw std::runtime_error("Qt changed the palette of a frame");
    AppendChunk(apng, "fcTL", FrameControl(sequence++, area));
    if (previous.isNull()) {
      AppendChunk(apng, "IDAT", still.imageData);
    } else {
      QByteArray frameData;
      AppendU32(frameData, sequence++);
      AppendChunk(apng, "fdAT", frameData + still.imageData);
    }
    previous = picture;
  }
  AppendChunk(apng, "IEND", {});
  return apng;
}
