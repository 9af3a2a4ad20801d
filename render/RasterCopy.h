// Velmaro — the raster copy: the only code that touches pixels.
#pragma once

#include <QImage>

#include <cstdint>

// The names and codes are GDI's, in a namespace of their own: on Windows the
// system's HDC, BitBlt and SRC* macros are in sight of the same code.
namespace raster {

// A device context is the persistent image of a picture surface.
using HDC = QImage*;

// Raster operations on every colour bit; S source pixel, D destination pixel.
enum RasterOp : std::uint32_t {
  SrcCopy = 0x00CC0020,    // S
  SrcErase = 0x00440328,   // S AND (NOT D)
  SrcInvert = 0x00660046,  // S XOR D
};

// Copies the w x h rectangle at (xSrc, ySrc) of src onto (x, y) of dest,
// combining pixels with rop. Both images must be QImage::Format_RGB32. Whatever lies outside
// either image is neither read nor written, so negative positions clip.
// Returns false, leaving dest as it was, for an unknown rop or another format.
bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int xSrc, int ySrc,
            std::uint32_t rop);

// Copies the wSrc x hSrc rectangle at (xSrc, ySrc) of src onto the w x h
// rectangle at (x, y) of dest, enlarged in whole steps: w and h must be the
// same whole multiple of wSrc and hSrc, and each source pixel becomes a
// square block. Only SrcCopy; both images QImage::Format_RGB32. Clips as
// BitBlt does, a block cut by dest's edge in part. Returns false, leaving
// dest as it was, for anything else.
bool StretchBlt(HDC dest, int x, int y, int w, int h, const QImage* src, int xSrc, int ySrc,
                int wSrc, int hSrc, std::uint32_t rop);

}  // namespace raster
