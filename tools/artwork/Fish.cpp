// Velmaro artwork — the fancy goldfish.
#include "Fish.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace artwork {
namespace {

using P = QPointF;

// Fills a fin with a gradient from its root to its tip, draws its rays
// (they are what makes a patch of colour read as a fin) and its edge.
void PaintFin(QPainter& painter, const QPainterPath& fin, P root, P tip,
              const FishLook& look, int rays, double edgeWidth) {
  QLinearGradient fill(root, tip);
  fill.setColorAt(0.0, look.finRoot);
  fill.setColorAt(1.0, look.finTip);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawPath(fin);

  painter.save();
  painter.setClipPath(fin);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(look.finRay, 0.7, Qt::SolidLine, Qt::RoundCap));
  for (int i = 1; i <= rays; ++i) {
    // Rays spread from the root to points spaced around the far edge.
    const P target = fin.pointAtPercent(0.15 + 0.7 * i / (rays + 1.0));
    const P mid = root + (target - root) * 0.5;
    QPainterPath ray(root);
    ray.quadTo(mid + P(0.0, 0.6), root + (target - root) * 0.9);
    painter.drawPath(ray);
  }
  painter.restore();

  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(look.finEdge, 0.8 * edgeWidth));
  painter.drawPath(fin);
}

// One layer of the double tail: two broad lobes with rounded, scalloped
// trailing edges. `spread` opens the lobes, `reach` lengthens them.
QPainterPath TailPath(double phase, double spread, double reach) {
  const P top(34, 35), bottom(34, 47);
  const P upper(3 - reach + 2.5 * std::sin(phase),
                21 - spread + 3.0 * std::sin(phase - 1.0));
  const P notch(18 + 2.0 * std::sin(phase - 0.5),
                44 + 2.5 * std::sin(phase - 0.7));
  const P lower(3 - reach + 2.5 * std::sin(phase + 0.5),
                63 + spread + 2.0 * std::sin(phase - 1.2));
  const double wave = 1.5 * std::sin(phase + 1.5);
  const P mid1 = upper + (notch - upper) * 0.45 + P(-1.5 + wave, 0);
  const P mid2 = notch + (lower - notch) * 0.55 + P(-1.5 - wave, 0);
  QPainterPath path(top);
  path.cubicTo(P(27, 27), P(12, 15 - spread + wave), upper);
  path.cubicTo(upper + P(-2.5, 3), mid1 + P(-2, -3), mid1);
  path.cubicTo(mid1 + P(2, 3), notch + P(-3, -4), notch);
  path.cubicTo(notch + P(-3, 4), mid2 + P(2, -3), mid2);
  path.cubicTo(mid2 + P(-2, 3), lower + P(-2.5, -3), lower);
  path.cubicTo(lower + P(4, 3), P(22, 64 + spread - wave), bottom);
  path.closeSubpath();
  return path;
}

QPainterPath BodyPath() {
  QPainterPath body(P(68, 41));
  body.cubicTo(P(68, 31), P(62, 25), P(53, 24));
  body.cubicTo(P(44, 23), P(37, 27), P(33, 34));
  body.cubicTo(P(31, 36), P(30, 38), P(30, 40));
  body.cubicTo(P(30, 43), P(31, 45), P(33, 47));
  body.cubicTo(P(37, 55), P(45, 59), P(53, 58));
  body.cubicTo(P(62, 57), P(68, 50), P(68, 41));
  body.closeSubpath();
  return body;
}

}  // namespace

FishLook RedLook() {
  FishLook look;
  look.bodyLight = QColor(255, 160, 51);
  look.bodyMid = QColor(255, 51, 0);
  look.bodyDark = QColor(153, 0, 0);
  look.belly = QColor(255, 160, 80, 200);
  look.highlight = QColor(255, 235, 200, 220);
  look.outline = QColor(105, 0, 0);
  look.finRoot = QColor(255, 102, 0);
  look.finTip = QColor(255, 204, 204);
  look.finEdge = QColor(225, 95, 70);
  look.finRay = QColor(240, 80, 20, 190);
  look.sheenBack = Qt::transparent;
  look.sheenFlank = Qt::transparent;
  look.eyeRing = QColor(255, 205, 60);
  look.scales = QColor(255, 190, 120, 110);
  look.patch = Qt::transparent;
  return look;
}

FishLook BlackLook() {
  FishLook look;
  look.bodyLight = QColor(110, 110, 110);
  look.bodyMid = QColor(51, 51, 51);
  look.bodyDark = QColor(0, 0, 0);
  look.belly = Qt::transparent;
  look.highlight = QColor(200, 200, 200, 150);
  look.outline = QColor(0, 0, 0);
  look.finRoot = QColor(51, 51, 51);
  look.finTip = QColor(170, 170, 170);
  look.finEdge = QColor(50, 50, 50);
  look.finRay = QColor(35, 35, 35, 200);
  look.sheenBack = QColor(20, 190, 90, 200);
  look.sheenFlank = QColor(110, 70, 240, 170);
  look.eyeRing = QColor(160, 160, 160);
  look.scales = QColor(140, 140, 140, 70);
  look.patch = Qt::transparent;
  return look;
}

FishLook RedWhiteLook() {
  FishLook look = RedLook();
  look.belly = Qt::transparent;
  look.finRoot = QColor(255, 240, 230);
  look.finTip = QColor(255, 255, 255);
  look.finEdge = QColor(215, 60, 40);
  look.finRay = QColor(255, 190, 180, 150);
  look.patch = QColor(255, 255, 255);
  look.scales = Qt::transparent;
  look.outlineWidth = 2.4;
  return look;
}

void PaintFish(QPainter& painter, const FishLook& look, double phase) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const double sway = std::sin(phase - 0.4);
  const double lag = std::sin(phase - 1.0);
  const double edge = look.outlineWidth;

  // Far-side fins and the double tail sit behind the body.
  FishLook far = look;
  far.finRoot = look.finRoot.darker(118);
  far.finTip = look.finTip.darker(112);
  PaintFin(painter, TailPath(phase + 1.3, 3.0, 1.5), P(34, 41), P(3, 41), far,
           6, edge);
  PaintFin(painter, TailPath(phase, 0.0, 0.0), P(34, 41), P(5, 41), look, 8,
           edge);

  QPainterPath dorsal(P(55, 27));
  dorsal.cubicTo(P(53, 19), P(47, 14), P(39 + 2.5 * sway, 15));
  dorsal.cubicTo(P(35 + 2.5 * sway, 19), P(33, 25), P(35, 31));
  dorsal.closeSubpath();
  PaintFin(painter, dorsal, P(46, 29), P(38, 15), look, 4, edge);

  // Paired anal fins trail back towards the lower tail lobe.
  QPainterPath anal(P(41, 53));
  anal.cubicTo(P(40, 59), P(35, 64), P(28 + 2 * lag, 66 + lag));
  anal.cubicTo(P(27, 62), P(30, 56), P(33, 48));
  anal.closeSubpath();
  PaintFin(painter, anal.translated(-2.5, -1.5), P(35, 49), P(25, 64), far, 2,
           edge);
  PaintFin(painter, anal, P(37, 51), P(28, 66), look, 3, edge);

  QPainterPath pelvic(P(53, 54));
  pelvic.cubicTo(P(54, 60), P(50, 66), P(43 + 2 * sway, 68));
  pelvic.cubicTo(P(41, 64), P(43, 58), P(45, 55));
  pelvic.closeSubpath();
  PaintFin(painter, pelvic, P(49, 55), P(43, 68), look, 3, edge);

  // The round body, lit from above and in front.
  const QPainterPath body = BodyPath();
  QRadialGradient shade(P(55, 33), 31, P(57, 29));
  shade.setColorAt(0.0, look.bodyLight);
  shade.setColorAt(0.45, look.bodyMid);
  shade.setColorAt(1.0, look.bodyDark);
  painter.setPen(Qt::NoPen);
  painter.setBrush(shade);
  painter.drawPath(body);

  painter.save();
  painter.setClipPath(body);
  if (look.belly.alpha() > 0) {
    QRadialGradient belly(P(50, 56), 12);
    belly.setColorAt(0.0, look.belly);
    belly.setColorAt(1.0, Qt::transparent);
    painter.setBrush(belly);
    painter.drawEllipse(P(50, 56), 14, 9);
  }
  auto glow = [&painter](const QColor& colour, P at, double rx, double ry) {
    if (colour.alpha() == 0) return;
    QRadialGradient g(at, 1.0);
    g.setColorAt(0.0, colour);
    g.setColorAt(1.0, QColor(colour.red(), colour.green(), colour.blue(), 0));
    painter.save();
    painter.translate(at);
    painter.scale(rx, ry);
    g.setCenter(0, 0);
    g.setFocalPoint(0, 0);
    painter.setBrush(g);
    painter.drawEllipse(P(0, 0), 1.0, 1.0);
    painter.restore();
  };
  glow(look.sheenBack, P(47, 29), 13, 4);
  glow(look.sheenFlank, P(46, 49), 11, 4);
  if (look.patch.alpha() > 0) {
    painter.setBrush(look.patch);
    painter.drawEllipse(P(46, 53), 13, 7);
    painter.drawEllipse(P(65, 46), 5, 4);
  }
  // Rows of scales, faint, so the body looks round rather than flat.
  if (look.scales.alpha() > 0) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(look.scales, 0.6));
    for (int row = 0; row < 9; ++row) {
      const double y = 28 + row * 3.2;
      for (int col = 0; col < 8; ++col) {
        const double x = 34 + col * 3.4 + (row % 2) * 1.7;
        painter.drawArc(QRectF(x - 1.8, y - 1.8, 3.6, 3.6), -60 * 16, 120 * 16);
      }
    }
  }
  glow(look.highlight, P(55, 28), 6, 3);
  painter.restore();

  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(look.outline, edge));
  painter.drawPath(body);

  // Gill cover edge behind the eye.
  QPainterPath gill;
  gill.arcMoveTo(QRectF(51, 29, 22, 24), 145);
  gill.arcTo(QRectF(51, 29, 22, 24), 145, 65);
  painter.setPen(QPen(look.outline, 0.9 * edge, Qt::SolidLine, Qt::RoundCap));
  painter.drawPath(gill);

  // The pectoral fin lies over the body, so it is partly see-through.
  QPainterPath pectoral(P(59, 47));
  pectoral.cubicTo(P(62, 52), P(59, 60), P(52 + 2 * sway, 62));
  pectoral.cubicTo(P(50, 58), P(53, 51), P(56, 47));
  pectoral.closeSubpath();
  painter.setOpacity(0.85);
  PaintFin(painter, pectoral, P(57, 48), P(52, 62), look, 3, edge);
  painter.setOpacity(1.0);

  // The eye: black, ringed so it still shows on a dark body.
  painter.setPen(Qt::NoPen);
  painter.setBrush(look.eyeRing);
  painter.drawEllipse(P(60.5, 36), 3.7, 3.7);
  painter.setBrush(Qt::black);
  painter.drawEllipse(P(60.8, 36), 2.7, 2.7);
  painter.setBrush(Qt::white);
  painter.drawEllipse(P(59.9, 35), 0.8, 0.8);

  painter.setPen(QPen(look.outline, 0.9 * edge, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(P(67.5, 43.5), P(65, 44));
  painter.restore();
}

}  // namespace artwork
