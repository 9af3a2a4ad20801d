// Velmaro — masked sprites and whole-frame copies, made of raster copies.
#pragma once

#include <QRect>

#include <cstdint>

#include "render/PictureSurface.h"
#include "sim/Surfaces.h"

// Draws the w x h cell at (srcX, 0) of sheet into work at (x, y): the mask at
// (srcX, maskY) clears the sprite's pixels and the image is laid into them.
// A sheet's mask is black on the sprite and white around it, and its image
// white around the sprite, so the surround leaves work as it was.
void DrawMaskedSpriteInto(PictureSurface& work, PictureSurface& sheet, std::int16_t x, std::int16_t y,
                          std::int16_t w, std::int16_t h, std::int16_t srcX, std::int16_t maskY);

// Copies the whole frame at the origin of source onto destination.
void CopyFrameInto(PictureSurface& destination, PictureSurface& source);

// Copies one rectangle of source onto the same place of destination.
void CopyAreaInto(PictureSurface& destination, PictureSurface& source, const QRect& area);
