// Velmaro — masked sprites and whole-frame copies.
#include "render/Frame.h"

void DrawMaskedSpriteInto(PictureSurface& work, PictureSurface& sheet, std::int16_t x, std::int16_t y,
                          std::int16_t w, std::int16_t h, std::int16_t srcX, std::int16_t maskY) {
  // mask AND NOT dest, then image XOR that: the sprite where the mask is
  // black, the old pixel where both are white.
  raster::BitBlt(work.hDC(), x, y, w, h, sheet.hDC(), srcX, maskY, raster::SrcErase);
  raster::BitBlt(work.hDC(), x, y, w, h, sheet.hDC(), srcX, 0, raster::SrcInvert);
}

void CopyFrameInto(PictureSurface& destination, PictureSurface& source) {
  raster::BitBlt(destination.hDC(), 0, 0, kFrameWidth, kFrameHeight, source.hDC(), 0, 0, raster::SrcCopy);
}

void CopyAreaInto(PictureSurface& destination, PictureSurface& source, const QRect& area) {
  raster::BitBlt(destination.hDC(), area.x(), area.y(), area.width(), area.height(), source.hDC(), area.x(),
                 area.y(), raster::SrcCopy);
}
