// Velmaro artwork — the 216-colour cube every picture is limited to.
#include "Cube.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace artwork {
namespace {

int ChannelToCube(int value, double threshold) {
  const double scaled = std::clamp(value, 0, 255) / double(kCubeStep);
  const double low = std::floor(scaled);
  const int level = int(low) + ((scaled - low) > threshold ? 1 : 0);
  return std::min(level, 5) * kCubeStep;
}

}  // namespace

QRgb ToCube(QRgb colour, double threshold) {
  return qRgb(ChannelToCube(qRed(colour), threshold),
              ChannelToCube(qGreen(colour), threshold),
              ChannelToCube(qBlue(colour), threshold));
}

double BayerThreshold(int x, int y) {
  static constexpr int kMatrix[4][4] = {
      {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

QImage Quantise(const QImage& image, Dither dither) {
  QImage out = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const double t = dither == Dither::Bayer ? BayerThreshold(x, y) : 0.5;
      line[x] = ToCube(line[x], t);
    }
  }
  return out;
}

bool SaveCubePng(const QImage& image, const QString& path) {
  QImage indexed(image.size(), QImage::Format_Indexed8);
  QVector<QRgb> table;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        table.append(qRgb(r * kCubeStep, g * kCubeStep, b * kCubeStep));
  indexed.setColorTable(table);
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* out = indexed.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) {
      const int r = qRed(in[x]), g = qGreen(in[x]), b = qBlue(in[x]);
      if (r % kCubeStep || g % kCubeStep || b % kCubeStep) return false;
      out[x] = uchar((r / kCubeStep) * 36 + (g / kCubeStep) * 6 + b / kCubeStep);
    }
  }
  // Fixed resolution (72 dpi), or the file would depend on the screen.
  indexed.setDotsPerMeterX(2835);
  indexed.setDotsPerMeterY(2835);
  return indexed.save(path, "PNG");
}

QImage Shrink(const QImage& big, int factor) {
  const QImage src = big.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QImage out(src.width() / factor, src.height() / factor,
             QImage::Format_ARGB32_Premultiplied);
  const int area = factor * factor;
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      int sum[4] = {0, 0, 0, 0};
      for (int dy = 0; dy < factor; ++dy) {
        const auto* row =
            reinterpret_cast<const QRgb*>(src.constScanLine(y * factor + dy));
        for (int dx = 0; dx < factor; ++dx) {
          const QRgb p = row[x * factor + dx];
          sum[0] += qRed(p);
          sum[1] += qGreen(p);
          sum[2] += qBlue(p);
          sum[3] += qAlpha(p);
        }
      }
      const int half = area / 2;
      line[x] = qRgba((sum[0] + half) / area, (sum[1] + half) / area,
                      (sum[2] + half) / area, (sum[3] + half) / area);
    }
  }
  return out;
}

std::uint32_t Rng::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Rng::Uniform(double lo, double hi) {
  return lo + (hi - lo) * (Next() / 4294967296.0);
}

int Rng::Between(int lo, int hi) {
  return lo + int(Next() % std::uint32_t(hi - lo + 1));
}

}  // namespace artwork
