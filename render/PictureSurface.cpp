// Velmaro — a picture surface.
#include "render/PictureSurface.h"

#include <algorithm>

namespace {

QImage Blank(int width, int height, QColor background) {
  QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  image.fill(background);
  return image;
}

}  // namespace

PictureSurface::PictureSurface(int width, int height, QColor background, const QImage& picture)
    : background_(background), image_(Blank(width, height, background)) {
  if (!picture.isNull()) {
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    raster::BitBlt(&image_, 0, 0, rgb.width(), rgb.height(), &rgb, 0, 0, raster::SrcCopy);
  }
}

void PictureSurface::Resize(int width, int height) {
  if (width == image_.width() && height == image_.height()) return;
  QImage resized = Blank(width, height, background_);
  raster::BitBlt(&resized, 0, 0, image_.width(), image_.height(), &image_, 0, 0, raster::SrcCopy);
  image_ = std::move(resized);
}
