// Velmaro — a picture surface: a persistent image that keeps its pixels
// until they are written again, whether or not it is on screen.
#pragma once

#include <QColor>
#include <QImage>

#include "render/RasterCopy.h"

class PictureSurface {
 public:
  // A surface of the given size in its background colour, with picture (if
  // any) at its top-left corner at natural size.
  PictureSurface(int width, int height, QColor background, const QImage& picture = {});

  // The handle the raster copy takes; valid until the surface is resized.
  raster::HDC hDC() { return &image_; }
  const QImage& image() const { return image_; }
  int width() const { return image_.width(); }
  int height() const { return image_.height(); }

  // Keeps the pixels that still fit; new area gets the background colour.
  void Resize(int width, int height);

  // Takes image in place of the surface's own, which it hands back. Images
  // share their pixels until one is written, so this moves no pixels.
  QImage ReplaceImage(QImage image) {
    image_.swap(image);
    return image;
  }

 private:
  QColor background_;
  QImage image_;
};
