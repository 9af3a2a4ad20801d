// Velmaro — the raster copy: the only code that touches pixels.
#include "render/RasterCopy.h"

#include <algorithm>
#include <cstring>

namespace {

// Pixels are 0xffRRGGBB: the operations act on the colour bits, and the
// alpha byte stays opaque as the image format requires.
constexpr std::uint32_t kColourBits = 0x00ffffff;
constexpr std::uint32_t kOpaque = 0xff000000;

template <typename Combine>
void CombineRows(QImage& dest, int x, int y, int w, int h, const QImage& src,
                 int xSrc, int ySrc, Combine combine) {
  for (int row = 0; row < h; ++row) {
    auto* d = reinterpret_cast<std::uint32_t*>(dest.scanLine(y + row)) + x;
    const auto* s = reinterpret_cast<const std::uint32_t*>(src.constScanLine(ySrc + row)) + xSrc;
    for (int col = 0; col < w; ++col) {
      d[col] = (combine(s[col], d[col]) & kColourBits) | kOpaque;
    }
  }
}

}  // namespace

bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int xSrc, int ySrc,
            std::uint32_t rop) {
  if (!dest || !src || dest->isNull() || src->isNull()) return false;
  if (dest->format() != QImage::Format_RGB32 || src->format() != QImage::Format_RGB32) return false;
  if (rop != SRCCOPY && rop != SRCERASE && rop != SRCINVERT) return false;

  // Clip the rectangle against both images, moving source and destination
  // corners together so that every pixel keeps its place in the cell.
  const int left = std::max({0, -x, -xSrc});
  const int top = std::max({0, -y, -ySrc});
  const int right = std::min({w, dest->width() - x, src->width() - xSrc});
  const int bottom = std::min({h, dest->height() - y, src->height() - ySrc});
  if (right <= left || bottom <= top) return true;
  x += left;
  xSrc += left;
  y += top;
  ySrc += top;
  w = right - left;
  h = bottom - top;

  // A copy within one image reads a snapshot, as the overlap would otherwise
  // feed written pixels back in.
  const QImage snapshot = (dest == src) ? src->copy() : QImage();
  const QImage& from = (dest == src) ? snapshot : *src;

  switch (rop) {
    case SRCCOPY:
      for (int row = 0; row < h; ++row) {
        std::memcpy(reinterpret_cast<std::uint32_t*>(dest->scanLine(y + row)) + x,
                    reinterpret_cast<const std::uint32_t*>(from.constScanLine(ySrc + row)) + xSrc,
                    static_cast<std::size_t>(w) * sizeof(std::uint32_t));
      }
      break;
    case SRCERASE:
      CombineRows(*dest, x, y, w, h, from, xSrc, ySrc,
                  [](std::uint32_t s, std::uint32_t d) { return s & ~d; });
      break;
    case SRCINVERT:
      CombineRows(*dest, x, y, w, h, from, xSrc, ySrc,
                  [](std::uint32_t s, std::uint32_t d) { return s ^ d; });
      break;
  }
  return true;
}
