// Velmaro artwork — the 216-colour cube every picture is limited to.
#pragma once

#include <QImage>
#include <QRgb>
#include <QString>

#include <cstdint>

namespace artwork {

// Channel levels of the cube: 0, 51, 102, 153, 204, 255.
constexpr int kCubeStep = 51;

// How a full-colour image is brought down to the cube.
enum class Dither { None, Bayer };

// Snaps one colour to the cube. `threshold` in [0, 1) decides where a
// channel between two levels tips upwards; 0.5 is plain rounding.
QRgb ToCube(QRgb colour, double threshold = 0.5);

// The ordered-dither threshold of pixel (x, y), in [0, 1).
double BayerThreshold(int x, int y);

// Opaque full-colour image to opaque cube colours (Format_RGB32).
QImage Quantise(const QImage& image, Dither dither);

// Saves a cube-only image as an 8-bit PNG whose palette is the cube.
// Returns false if a pixel is off the cube or the file cannot be written.
bool SaveCubePng(const QImage& image, const QString& path);

// Box-filters a premultiplied image down by an integer factor; used to
// draw large and shrink, which gives finer edges and gradients than
// painting at the final size.
QImage Shrink(const QImage& big, int factor);

// A fixed-seed xorshift generator, so every run draws the same pebbles
// and leaves whatever the standard library's engines do.
class Rng {
 public:
  explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
  std::uint32_t Next();
  // Uniform in [lo, hi).
  double Uniform(double lo, double hi);
  // Uniform integer in [lo, hi].
  int Between(int lo, int hi);

 private:
  std::uint32_t state_;
};

}  // namespace artwork
