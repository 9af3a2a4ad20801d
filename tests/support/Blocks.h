// A picture shown enlarged in whole steps, taken back to its own size.
#pragma once

#include <QImage>
#include <QRect>

// The area of shot made of uniform blocks of ratio x ratio pixels, each
// block one pixel of the result; null when a block is not uniform.
inline QImage Unblocked(const QImage& shot, const QRect& area, int ratio) {
  if (!shot.rect().contains(area)) return {};
  QImage picture(area.size() / ratio, QImage::Format_RGB32);
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x) {
      const QRgb pixel = shot.pixel(area.x() + x, area.y() + y);
      if (pixel != shot.pixel(area.x() + x - x % ratio, area.y() + y - y % ratio)) return {};
      picture.setPixel(x / ratio, y / ratio, pixel);
    }
  return picture;
}

// Whether everything in shot outside area is black.
inline bool BlackAround(const QImage& shot, const QRect& area) {
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      if (!area.contains(x, y) && shot.pixel(x, y) != qRgb(0, 0, 0)) return false;
  return true;
}
