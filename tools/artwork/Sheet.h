// Velmaro artwork — sprite sheets: an image row above a mask row.
#pragma once

#include <QImage>
#include <QPoint>

#include <vector>

#include "Cube.h"

namespace artwork {

// Rows of a cell that may hold sprite pixels; the rest stay see-through.
struct RowLimits {
  int first = 0;
  int last = 1 << 20;
};

// Lays premultiplied cells side by side as a sheet. A pixel belongs to the
// sprite when at least half covered; there the mask is black and the image
// carries the cube colour, elsewhere the mask and the image are white.
QImage BuildSheet(const std::vector<QImage>& cells, Dither dither,
                  RowLimits rows = {});

// Mirrors every cell of a sheet about its own vertical centre line.
QImage MirrorCells(const QImage& sheet, int cellWidth);

// Draws cell `index` of a sheet the way the program does:
// destination = image XOR (mask AND NOT destination), bit by bit.
void DrawMasked(QImage& destination, const QImage& sheet, int cellWidth,
                int index, QPoint at);

}  // namespace artwork
