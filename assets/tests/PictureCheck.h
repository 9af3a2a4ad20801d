// Helpers shared by the picture checks.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

namespace picture_check {

// A committed picture from the source tree, as 32-bit RGB.
QImage LoadFile(const QString& name);

// Whether every channel is one of 0, 51, 102, 153, 204, 255.
bool IsCubeColour(QRgb colour);

constexpr QRgb kWhite = 0xffffffu;
constexpr QRgb kBlack = 0x000000u;
inline QRgb Rgb(QRgb pixel) { return pixel & 0xffffffu; }

// One cell of a sheet: its picture and its mask, each cell-sized.
struct Cell {
  QImage image;
  QImage mask;
};
Cell CellOf(const QImage& sheet, int cellWidth, int index);

// Pieces of black in a mask, eight-way connected.
struct Piece {
  std::vector<QPoint> pixels;
  QRect bounds;
};
std::vector<Piece> BlackPieces(const QImage& mask);

}  // namespace picture_check
