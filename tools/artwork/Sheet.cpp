// Velmaro artwork — sprite sheets: an image row above a mask row.
#include "Sheet.h"

namespace artwork {

QImage BuildSheet(const std::vector<QImage>& cells, Dither dither,
                  RowLimits rows) {
  const int w = cells.front().width();
  const int h = cells.front().height();
  QImage sheet(w * int(cells.size()), h * 2, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  for (int i = 0; i < int(cells.size()); ++i) {
    const QImage cell =
        cells[i].convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = rows.first; y <= rows.last && y < h; ++y) {
      const auto* in = reinterpret_cast<const QRgb*>(cell.constScanLine(y));
      auto* image = reinterpret_cast<QRgb*>(sheet.scanLine(y));
      auto* mask = reinterpret_cast<QRgb*>(sheet.scanLine(y + h));
      for (int x = 0; x < w; ++x) {
        if (qAlpha(in[x]) < 128) continue;
        const double t = dither == Dither::Bayer ? BayerThreshold(x, y) : 0.5;
        image[i * w + x] = ToCube(qUnpremultiply(in[x]), t);
        mask[i * w + x] = qRgb(0, 0, 0);
      }
    }
  }
  return sheet;
}

QImage MirrorCells(const QImage& sheet, int cellWidth) {
  QImage out = sheet.convertToFormat(QImage::Format_RGB32);
  const QImage src = out.copy();
  for (int y = 0; y < src.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < src.width(); ++x) {
      const int cell = x / cellWidth;
      const int local = x % cellWidth;
      line[x] = in[cell * cellWidth + (cellWidth - 1 - local)];
    }
  }
  return out;
}

void DrawMasked(QImage& destination, const QImage& sheet, int cellWidth,
                int index, QPoint at) {
  const int h = sheet.height() / 2;
  for (int y = 0; y < h; ++y) {
    const int dy = at.y() + y;
    if (dy < 0 || dy >= destination.height()) continue;
    auto* dest = reinterpret_cast<QRgb*>(destination.scanLine(dy));
    for (int x = 0; x < cellWidth; ++x) {
      const int dx = at.x() + x;
      if (dx < 0 || dx >= destination.width()) continue;
      const QRgb image = sheet.pixel(index * cellWidth + x, y) & 0xffffff;
      const QRgb mask = sheet.pixel(index * cellWidth + x, y + h) & 0xffffff;
      dest[dx] = 0xff000000u | (image ^ (mask & ~dest[dx] & 0xffffff));
    }
  }
}

}  // namespace artwork
