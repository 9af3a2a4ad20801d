// Velmaro artwork — every picture the program shows, drawn from scratch.
#include "Scenery.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "Cube.h"
#include "Sheet.h"

namespace artwork {
namespace {

using P = QPointF;
constexpr double kPi = std::numbers::pi;

// ---- The tank -----------------------------------------------------------

double GravelTop(double x) {
  return 273 + 3.0 * std::sin(x / 37.0) + 1.5 * std::sin(x / 11.0 + 2.0);
}

// Upper edge of the rock: a big boulder with a lower shoulder on its right.
double RockTop(double x) {
  auto dome = [x](double centre, double halfWidth, double height) {
    const double u = (x - centre) / halfWidth;
    if (std::abs(u) >= 1.0) return 300.0;
    return 288.0 - height * std::pow(1.0 - u * u, 0.55);
  };
  const double top = std::min(dome(405, 88, 138), dome(478, 48, 100));
  if (top >= 300.0) return top;
  return top + 4.0 * std::sin(x / 13.0) + 2.0 * std::sin(x / 5.5 + 1.0);
}

void PaintWater(QPainter& p) {
  QLinearGradient water(P(0, 0), P(0, kSceneHeight));
  water.setColorAt(0.0, QColor(204, 255, 204));
  water.setColorAt(0.12, QColor(204, 255, 204));
  water.setColorAt(0.55, QColor(178, 230, 184));
  water.setColorAt(1.0, QColor(150, 204, 160));
  p.fillRect(QRectF(0, 0, kSceneWidth, kSceneHeight), water);

  // Faint slanting shafts of light from the surface.
  p.setPen(Qt::NoPen);
  Rng rng(7);
  for (int i = 0; i < 4; ++i) {
    const double x = 90 + i * 120 + rng.Uniform(-20, 20);
    const double w = rng.Uniform(30, 48);
    QLinearGradient fade(P(0, 0), P(0, 220));
    fade.setColorAt(0.0, QColor(255, 255, 255, 55));
    fade.setColorAt(1.0, QColor(255, 255, 255, 0));
    QPolygonF shaft({P(x, 0), P(x + w, 0), P(x + w - 60, 220), P(x - 70, 220)});
    p.setBrush(fade);
    p.drawPolygon(shaft);
  }
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                          a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

// One finely divided leaf: a short stalk, then filaments fanning out and
// curling up at their ends.
void PaintLeafFan(QPainter& p, Rng& rng, P at, double direction, double size,
                  const QColor& colour) {
  const P unit(std::cos(direction), std::sin(direction));
  const P base = at + unit * (size * 0.18);
  p.setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(at, base);
  constexpr int kFilaments = 7;
  for (int k = 0; k < kFilaments; ++k) {
    const double spread = (k - (kFilaments - 1) / 2.0) / (kFilaments - 1);
    const double a = direction + spread * 1.5 + rng.Uniform(-0.1, 0.1);
    const double length =
        size * (1.0 - 0.35 * std::abs(spread)) * rng.Uniform(0.85, 1.05);
    const P dir(std::cos(a), std::sin(a));
    const P tip = base + dir * length + P(0, -length * 0.22);
    QPainterPath filament(base);
    filament.quadTo(base + dir * (length * 0.6), tip);
    p.drawPath(filament);
  }
}

// A stem of feathery weed rising from the gravel and swaying a little.
void PaintWeed(QPainter& p, Rng& rng, double baseX, double height,
               double lean, const QColor& dark, const QColor& light) {
  const P base(baseX, GravelTop(baseX) + 4);
  const P top(baseX + lean, base.y() - height);
  QPainterPath stem(base);
  // Random numbers are drawn one statement at a time: the order in which
  // function arguments are evaluated is up to the compiler.
  const double bendLow = rng.Uniform(-14, 14);
  const double bendHigh = rng.Uniform(-16, 16);
  stem.cubicTo(base + P(bendLow, -height * 0.4),
               top + P(bendHigh, height * 0.35), top);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(dark, 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(stem);

  const int nodes = int(height / 7.0);
  for (int n = 0; n <= nodes; ++n) {
    // From the bottom up: leaves get smaller and younger, lighter green.
    const double t = double(n) / nodes;
    const P at = stem.pointAtPercent(0.04 + 0.96 * t);
    const double size = (19.0 - 11.0 * t * t) * rng.Uniform(0.85, 1.1);
    const QColor colour = Mix(dark, light, std::min(1.0, t * 1.2));
    // Leaves come in pairs; every other pair faces the viewer and looks
    // shorter.
    const double depth = (n % 2) ? 0.65 : 1.0;
    const double lift = -0.35 - 0.3 * t;
    PaintLeafFan(p, rng, at, kPi - lift, size * depth, colour);
    PaintLeafFan(p, rng, at, lift, size * depth, colour);
  }
  // A tight bud of young leaves at the tip.
  const QColor tipColour = light;
  for (int k = 0; k < 4; ++k)
    PaintLeafFan(p, rng, top, -kPi / 2 + (k - 1.5) * 0.6, 5.0, tipColour);
}

void PaintWeeds(QPainter& p, bool front) {
  Rng rng(front ? 1234u : 4321u);
  if (!front) {
    // Further back: paler, as if seen through more water.
    const double xs[] = {58, 120, 178, 236, 300, 340};
    for (double x : xs) {
      const double at = x + rng.Uniform(-8, 8);
      const double height = rng.Uniform(150, 225);
      const double lean = rng.Uniform(-30, 30);
      PaintWeed(p, rng, at, height, lean, QColor(60, 125, 70),
                QColor(125, 190, 110));
    }
  } else {
    const double xs[] = {36, 88, 150, 212, 268};
    for (double x : xs) {
      const double at = x + rng.Uniform(-8, 8);
      const double height = rng.Uniform(95, 170);
      const double lean = rng.Uniform(-35, 35);
      PaintWeed(p, rng, at, height, lean, QColor(10, 90, 20),
                QColor(90, 200, 40));
    }
  }
}

void PaintPipe(QPainter& p) {
  QLinearGradient metal(P(6, 0), P(19, 0));
  metal.setColorAt(0.0, QColor(97, 97, 97));
  metal.setColorAt(0.35, QColor(225, 225, 225));
  metal.setColorAt(0.6, QColor(172, 172, 172));
  metal.setColorAt(1.0, QColor(82, 82, 82));
  p.setPen(QPen(QColor(62, 62, 62), 1.0));
  p.setBrush(metal);
  p.drawRect(QRectF(6.5, -2, 12, 240));

  // Slotted foot: air comes in through the slots at the bottom.
  QLinearGradient foot(P(1, 0), P(25, 0));
  foot.setColorAt(0.0, QColor(92, 92, 92));
  foot.setColorAt(0.3, QColor(215, 215, 215));
  foot.setColorAt(0.6, QColor(162, 162, 162));
  foot.setColorAt(1.0, QColor(72, 72, 72));
  p.setBrush(foot);
  p.drawRoundedRect(QRectF(1.5, 232, 23, 44), 3, 3);
  p.setPen(QPen(QColor(37, 37, 37), 2.0));
  for (int i = 0; i < 5; ++i) {
    const double y = 243 + i * 6;
    p.drawLine(P(5, y), P(21, y));
  }
  p.setPen(QPen(QColor(62, 62, 62), 1.0));
  p.setBrush(metal);
  p.drawRect(QRectF(4.5, 228, 16, 5));
}

void PaintRock(QPainter& p) {
  QPolygonF outline;
  for (double x = 316; x <= 527; x += 1.0) outline << P(x, RockTop(x));
  outline << P(527, 300) << P(316, 300);
  QPainterPath rock;
  rock.addPolygon(outline);
  rock.closeSubpath();

  QRadialGradient shade(P(385, 170), 150, P(375, 160));
  shade.setColorAt(0.0, QColor(112, 112, 112));
  shade.setColorAt(0.45, QColor(70, 70, 70));
  shade.setColorAt(1.0, QColor(24, 24, 24));
  p.setPen(QPen(QColor(27, 27, 27), 1.2));
  p.setBrush(shade);
  p.drawPath(rock);

  p.save();
  p.setClipPath(rock);
  Rng rng(99);
  // Cracks and ridges give the stone some form.
  for (int i = 0; i < 7; ++i) {
    const double x = rng.Uniform(345, 495);
    const double y = RockTop(x) + rng.Uniform(20, 70);
    QPainterPath crack(P(x, y));
    const double x1 = x + rng.Uniform(-15, 15);
    const double x2 = x + rng.Uniform(-20, 20);
    const double x3 = x + rng.Uniform(-25, 25);
    const double y3 = y + rng.Uniform(30, 55);
    crack.cubicTo(P(x1, y + 12), P(x2, y + 25), P(x3, y3));
    p.setPen(QPen(QColor(22, 22, 22, 200), 1.1));
    p.drawPath(crack);
    p.setPen(QPen(QColor(152, 152, 152, 120), 0.8));
    p.drawPath(crack.translated(-1.2, 0));
  }
  // Moss: tufts of greens, thick on top and thinning down the sides.
  const QColor greens[] = {QColor(30, 85, 25), QColor(50, 120, 35),
                           QColor(85, 155, 45), QColor(120, 185, 60)};
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 2300; ++i) {
    const double x = rng.Uniform(318, 504);
    const double depth = std::pow(rng.Uniform(0, 1), 2.2) * 45;
    const double y = RockTop(x) + depth - 1;
    const int shade =
        std::clamp(int(4 - depth / 9 - rng.Uniform(0, 2.5)), 0, 3);
    p.setBrush(greens[shade]);
    const double rx = rng.Uniform(0.9, 2.0);
    const double ry = rng.Uniform(0.8, 1.6);
    p.drawEllipse(P(x, y), rx, ry);
  }
  p.restore();
}

void PaintGravel(QPainter& p) {
  QPolygonF bed;
  for (double x = -2; x <= kSceneWidth + 2; x += 2) bed << P(x, GravelTop(x));
  bed << P(kSceneWidth + 2, kSceneHeight + 2) << P(-2, kSceneHeight + 2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(71, 71, 71));
  p.drawPolygon(bed);

  const QColor greys[] = {QColor(95, 95, 95),   QColor(133, 133, 133),
                          QColor(168, 168, 168), QColor(203, 203, 203),
                          QColor(110, 110, 110), QColor(228, 228, 228)};
  struct Pebble {
    double x, y, rx, ry;
    int grey;
  };
  Rng rng(2024);
  std::vector<Pebble> pebbles;
  for (int i = 0; i < 1100; ++i) {
    const double x = rng.Uniform(-4, kSceneWidth + 4);
    const double y = rng.Uniform(GravelTop(x) + 1, kSceneHeight + 2);
    // A braced list is evaluated left to right, so this order is fixed.
    pebbles.push_back({x, y, rng.Uniform(2.4, 4.8), rng.Uniform(1.7, 3.2),
                       rng.Between(0, 5)});
  }
  // Nearer pebbles (lower down) are drawn last.
  std::stable_sort(pebbles.begin(), pebbles.end(),
                   [](const Pebble& a, const Pebble& b) { return a.y < b.y; });
  for (const Pebble& b : pebbles) {
    const QColor base = greys[b.grey];
    QRadialGradient lit(P(b.x - b.rx * 0.4, b.y - b.ry * 0.5), b.rx * 1.6);
    lit.setColorAt(0.0, base.lighter(130));
    lit.setColorAt(1.0, base.darker(150));
    p.setPen(QPen(base.darker(230), 0.6));
    p.setBrush(lit);
    p.drawEllipse(P(b.x, b.y), b.rx, b.ry);
  }
}

// ---- Bubbles ------------------------------------------------------------

// Draws a ring 7 pixels across with a see-through 3x3 middle.
void PutRing(QImage& sheet, int cellX, int cx, int cy, QRgb light, QRgb mid,
             QRgb dark) {
  for (int j = -3; j <= 3; ++j) {
    for (int i = -3; i <= 3; ++i) {
      const double d = std::hypot(i, j);
      if (d < 1.6 || d > 3.61) continue;
      // Light from the upper left, shadow on the lower right.
      const QRgb c = (i + j <= -3) ? light : (i + j >= 3) ? dark : mid;
      sheet.setPixel(cellX + cx + i, cy + j, c);
      sheet.setPixel(cellX + cx + i, cy + j + kBubbleCell, qRgb(0, 0, 0));
    }
  }
}

// ---- Helpers ------------------------------------------------------------

QImage Canvas(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

QImage Background() {
  constexpr int kScale = 2;
  QImage big = Canvas(kSceneWidth * kScale, kSceneHeight * kScale);
  {
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(kScale, kScale);
    PaintWater(p);
    PaintWeeds(p, false);
    PaintRock(p);
    PaintPipe(p);
    PaintWeeds(p, true);
    PaintGravel(p);
  }
  return Quantise(Shrink(big, kScale), Dither::Bayer);
}

QImage FishSheet(const FishLook& look) {
  constexpr int kScale = 4;
  std::vector<QImage> cells;
  for (int frame = 0; frame < kFishFrames; ++frame) {
    QImage big = Canvas(kFishCell * kScale, kFishCell * kScale);
    {
      QPainter p(&big);
      p.scale(kScale, kScale);
      PaintFish(p, look, frame * 2.0 * kPi / kFishFrames);
    }
    cells.push_back(Shrink(big, kScale));
  }
  return BuildSheet(cells, Dither::Bayer, {kFishTopRow, kFishBottomRow});
}

QImage BubbleSheet() {
  QImage sheet(kBubbleCell * 2, kBubbleCell * 2, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  // Each cell zigzags down; the second fills the gaps of the first, so the
  // two drawn at one place make a cluster of six.
  const int blue[3][2] = {{8, 5}, {18, 14}, {9, 24}};
  const int green[3][2] = {{21, 5}, {9, 15}, {20, 25}};
  for (const auto& at : blue)
    PutRing(sheet, 0, at[0], at[1], qRgb(153, 204, 255), qRgb(0, 102, 255),
            qRgb(0, 51, 204));
  for (const auto& at : green)
    PutRing(sheet, kBubbleCell, at[0], at[1], qRgb(153, 255, 153),
            qRgb(0, 204, 102), qRgb(0, 153, 51));
  return sheet;
}

QImage Icon() {
  constexpr int kScale = 8;
  QImage front = Canvas(kIconSize * kScale, kIconSize * kScale);
  {
    QPainter p(&front);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(kScale, kScale);
    Rng rng(32);
    const QColor weedDark(0, 120, 0), weedLight(60, 200, 40);
    const double stems[][3] = {{4, 26, -2}, {9, 20, 3}, {27, 14, 2}};
    for (const auto& s : stems) {
      const P base(s[0], 33), top(s[0] + s[2], 33 - s[1]);
      QPainterPath stem(base);
      stem.cubicTo(base + P(-3, -s[1] * 0.4), top + P(3, s[1] * 0.4), top);
      p.setPen(QPen(weedDark, 1.0, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(stem);
      for (double t = 0.15; t < 1.0; t += 0.25) {
        const P at = stem.pointAtPercent(t);
        const QColor c = Mix(weedDark, weedLight, t);
        PaintLeafFan(p, rng, at, kPi + 0.5, 3.2 - 1.4 * t, c);
        PaintLeafFan(p, rng, at, -0.5, 3.2 - 1.4 * t, c);
      }
    }
    p.translate(0.6, -2.2);
    p.scale(0.44, 0.44);
    PaintFish(p, RedWhiteLook(), 0.0);
    // At this size the eye needs help to stay black.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(P(61, 36), 3.4, 3.4);
  }
  const QImage small = Shrink(front, kScale);

  // The water is dithered; the fish and weed are kept crisp.
  QImage icon(kIconSize, kIconSize, QImage::Format_RGB32);
  for (int y = 0; y < kIconSize; ++y) {
    const QColor water = Mix(QColor(153, 255, 255), QColor(40, 204, 214),
                             (y + 0.5) / kIconSize);
    for (int x = 0; x < kIconSize; ++x) {
      const QRgb f = small.pixel(x, y);
      const int a = qAlpha(f);
      if (a == 0) {
        icon.setPixel(x, y, ToCube(water.rgb(), BayerThreshold(x, y)));
        continue;
      }
      // Premultiplied foreground over the water.
      auto over = [a](int fg, int bg) { return fg + bg * (255 - a) / 255; };
      icon.setPixel(x, y, ToCube(qRgb(over(qRed(f), water.red()),
                                      over(qGreen(f), water.green()),
                                      over(qBlue(f), water.blue()))));
    }
  }
  return icon;
}

QImage Preview(const QImage& background, const QImage& redRight,
               const QImage& redLeft, const QImage& blackRight,
               const QImage& blackLeft, const QImage& bubbles) {
  QImage still = background.convertToFormat(QImage::Format_RGB32);
  DrawMasked(still, redRight, kFishCell, 0, QPoint(60, 40));
  DrawMasked(still, blackLeft, kFishCell, 1, QPoint(270, 25));
  DrawMasked(still, redLeft, kFishCell, 2, QPoint(330, 120));
  DrawMasked(still, blackRight, kFishCell, 2, QPoint(120, 150));
  DrawMasked(still, redRight, kFishCell, 1, QPoint(200, 95));
  DrawMasked(still, bubbles, kBubbleCell, 0, QPoint(26, 120));
  DrawMasked(still, bubbles, kBubbleCell, 1, QPoint(26, 120));
  return still;
}

}  // namespace artwork
