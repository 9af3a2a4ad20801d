// Helpers shared by the picture checks.
#include "PictureCheck.h"

#include <QDir>

namespace picture_check {

QImage LoadFile(const QString& name) {
  const QImage image(QDir(QStringLiteral(VELMARO_ASSETS_DIR)).filePath(name));
  return image.convertToFormat(QImage::Format_ARGB32);
}

bool IsCubeColour(QRgb colour) {
  return qRed(colour) % 51 == 0 && qGreen(colour) % 51 == 0 &&
         qBlue(colour) % 51 == 0;
}

Cell CellOf(const QImage& sheet, int cellWidth, int index) {
  const int h = sheet.height() / 2;
  return {sheet.copy(index * cellWidth, 0, cellWidth, h),
          sheet.copy(index * cellWidth, h, cellWidth, h)};
}

std::vector<Piece> BlackPieces(const QImage& mask) {
  std::vector<Piece> pieces;
  std::vector<char> seen(size_t(mask.width()) * mask.height(), 0);
  auto index = [&](int x, int y) { return size_t(y) * mask.width() + x; };
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width(); ++x) {
      if (seen[index(x, y)] || Rgb(mask.pixel(x, y)) != kBlack) continue;
      Piece piece;
      std::vector<QPoint> todo{QPoint(x, y)};
      seen[index(x, y)] = 1;
      while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        piece.pixels.push_back(p);
        piece.bounds |= QRect(p, QSize(1, 1));
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const QPoint n = p + QPoint(dx, dy);
            if (!mask.rect().contains(n) || seen[index(n.x(), n.y())]) continue;
            if (Rgb(mask.pixel(n)) != kBlack) continue;
            seen[index(n.x(), n.y())] = 1;
            todo.push_back(n);
          }
        }
      }
      pieces.push_back(std::move(piece));
    }
  }
  return pieces;
}

}  // namespace picture_check
