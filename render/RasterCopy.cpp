// Velmaro — the raster copy: the only code that touches pixels.
#include "render/RasterCopy.h"

#include <algorithm>
#include <cstring>

namespace raster {
namespace {

// Pixels are 0xffRRGGBB: the operations act on the colour bits, and the
// alpha byte stays opaque as the image format requires.
constexpr std::uint32_t kColourBits = 0x00ffffff;
constexpr std::uint32_t kOpaque = 0xff000000;

// Rows are walked with plain pointers: one detach of the destination, no
// per-row calls, and an inner loop the compiler turns into vector code.
struct Rows {
  std::uint32_t* dest;
  qsizetype destStride;  // in pixels
  const std::uint32_t* src;
  qsizetype srcStride;
};

Rows RowsOf(QImage& dest, int x, int y, const QImage& src, int xSrc, int ySrc) {
  auto* d = reinterpret_cast<std::uint32_t*>(dest.bits());
  const auto* s = reinterpret_cast<const std::uint32_t*>(src.constBits());
  const qsizetype destStride = dest.bytesPerLine() / qsizetype{sizeof(std::uint32_t)};
  const qsizetype srcStride = src.bytesPerLine() / qsizetype{sizeof(std::uint32_t)};
  return {d + y * destStride + x, destStride, s + ySrc * srcStride + xSrc, srcStride};
}

// A sprite's rows lie far apart, in its sheet and in the frame alike, and a
// tick comes round only every 100 ms, when they have left the caches. Asking
// for rows a few ahead lets them arrive while the current one is combined.
constexpr int kRowsAhead = 8;

void PrefetchRow(const std::uint32_t* row, int w) {
#if defined(__GNUC__) || defined(__clang__)
  const char* bytes = reinterpret_cast<const char*>(row);
  for (int b = 0; b < w * static_cast<int>(sizeof(std::uint32_t)); b += 64) __builtin_prefetch(bytes + b);
#else
  (void)row;
  (void)w;
#endif
}

template <typename Combine>
void CombineRows(const Rows& rows, int w, int h, Combine combine) {
  for (int row = 0; row < std::min(kRowsAhead, h); ++row) {
    PrefetchRow(rows.src + row * rows.srcStride, w);
    PrefetchRow(rows.dest + row * rows.destStride, w);
  }
  for (int row = 0; row < h; ++row) {
    if (row + kRowsAhead < h) {
      PrefetchRow(rows.src + (row + kRowsAhead) * rows.srcStride, w);
      PrefetchRow(rows.dest + (row + kRowsAhead) * rows.destStride, w);
    }
    std::uint32_t* __restrict d = rows.dest + row * rows.destStride;
    const std::uint32_t* __restrict s = rows.src + row * rows.srcStride;
    for (int col = 0; col < w; ++col) d[col] = (combine(s[col], d[col]) & kColourBits) | kOpaque;
  }
}

// Each of `pixels` source pixels into a run of `scale` destination pixels.
// A scale known when compiling lets the compiler unroll and vectorise the
// runs; the screen's usual scales are small.
template <int kScale>
void WidenBy(std::uint32_t* __restrict out, const std::uint32_t* __restrict in, int pixels) {
  for (int i = 0; i < pixels; ++i)
    for (int k = 0; k < kScale; ++k) out[i * kScale + k] = in[i];
}

void Widen(std::uint32_t* out, const std::uint32_t* in, int pixels, int scale) {
  switch (scale) {
    case 2: return WidenBy<2>(out, in, pixels);
    case 3: return WidenBy<3>(out, in, pixels);
    case 4: return WidenBy<4>(out, in, pixels);
    case 5: return WidenBy<5>(out, in, pixels);
    case 6: return WidenBy<6>(out, in, pixels);
    case 7: return WidenBy<7>(out, in, pixels);
    case 8: return WidenBy<8>(out, in, pixels);
    default:
      for (int i = 0; i < pixels; ++i) std::fill_n(out + std::size_t{1} * i * scale, scale, in[i]);
  }
}

}  // namespace

bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int xSrc, int ySrc,
            std::uint32_t rop) {
  if (!dest || !src || dest->isNull() || src->isNull()) return false;
  if (dest->format() != QImage::Format_RGB32 || src->format() != QImage::Format_RGB32) return false;
  if (rop != SrcCopy && rop != SrcErase && rop != SrcInvert) return false;

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

  const Rows rows = RowsOf(*dest, x, y, from, xSrc, ySrc);
  switch (rop) {
    case SrcCopy:
      // Whole frames are one block: a single copy streams through memory.
      if (rows.destStride == w && rows.srcStride == w) {
        std::memcpy(rows.dest, rows.src, static_cast<std::size_t>(w) * h * sizeof(std::uint32_t));
        break;
      }
      for (int row = 0; row < h; ++row) {
        std::memcpy(rows.dest + row * rows.destStride, rows.src + row * rows.srcStride,
                    static_cast<std::size_t>(w) * sizeof(std::uint32_t));
      }
      break;
    case SrcErase:
      CombineRows(rows, w, h, [](std::uint32_t s, std::uint32_t d) { return s & ~d; });
      break;
    case SrcInvert:
      CombineRows(rows, w, h, [](std::uint32_t s, std::uint32_t d) { return s ^ d; });
      break;
  }
  return true;
}

bool StretchBlt(HDC dest, int x, int y, int w, int h, const QImage* src, int xSrc, int ySrc,
                int wSrc, int hSrc, std::uint32_t rop) {
  if (!dest || !src || dest->isNull() || src->isNull()) return false;
  if (dest->format() != QImage::Format_RGB32 || src->format() != QImage::Format_RGB32) return false;
  if (rop != SrcCopy || wSrc <= 0 || hSrc <= 0) return false;
  const int scale = w / wSrc;
  if (scale < 1 || w != wSrc * scale || h != hSrc * scale) return false;

  // Whole source pixels first, their blocks moving with them; then the
  // destination's edges, which may cut a block.
  const int left = std::max(0, -xSrc), top = std::max(0, -ySrc);
  const int right = std::min(wSrc, src->width() - xSrc), bottom = std::min(hSrc, src->height() - ySrc);
  if (right <= left || bottom <= top) return true;
  x += left * scale;
  y += top * scale;
  xSrc += left;
  ySrc += top;
  const int destLeft = std::max(0, x), destTop = std::max(0, y);
  const int destRight = std::min(dest->width(), x + (right - left) * scale);
  const int destBottom = std::min(dest->height(), y + (bottom - top) * scale);
  if (destRight <= destLeft || destBottom <= destTop) return true;
  // A copy within one image reads a snapshot, as BitBlt does.
  const QImage snapshot = (dest == src) ? src->copy() : QImage();
  const QImage& from = (dest == src) ? snapshot : *src;

  auto* d = reinterpret_cast<std::uint32_t*>(dest->bits());
  const auto* s = reinterpret_cast<const std::uint32_t*>(from.constBits());
  const qsizetype destStride = dest->bytesPerLine() / qsizetype{sizeof(std::uint32_t)};
  const qsizetype srcStride = from.bytesPerLine() / qsizetype{sizeof(std::uint32_t)};
  const int width = destRight - destLeft;
  // Each source row is widened once; the other rows of its blocks copy the
  // widened row, which is still in the cache.
  const std::uint32_t* widened = nullptr;
  for (int row = destTop; row < destBottom; ++row) {
    std::uint32_t* out = d + row * destStride + destLeft;
    const int down = row - y;
    if (widened && down % scale != 0) {
      std::memcpy(out, widened, static_cast<std::size_t>(width) * sizeof(std::uint32_t));
      continue;
    }
    const std::uint32_t* in = s + (ySrc + down / scale) * srcStride + xSrc + (destLeft - x) / scale;
    // A first block cut by an edge, the whole blocks, a last block cut.
    const int cut = (destLeft - x) % scale;
    int col = 0;
    if (cut > 0 || width < scale) {
      col = std::min(width, scale - cut);
      std::fill_n(out, col, *in++);
    }
    const int whole = (width - col) / scale;
    Widen(out + col, in, whole, scale);
    col += whole * scale;
    if (col < width) std::fill_n(out + col, width - col, in[whole]);
    widened = out;
  }
  return true;
}

}  // namespace raster
