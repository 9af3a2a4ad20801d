// Velmaro artwork — the fancy goldfish.
#pragma once

#include <QColor>
#include <QPainter>

namespace artwork {

// Colours of one kind of goldfish.
struct FishLook {
  QColor bodyLight;   // lit upper front of the body
  QColor bodyMid;
  QColor bodyDark;    // shadowed belly and tail root
  QColor belly;       // warm glow low on the body; transparent: none
  QColor highlight;   // gloss on the upper front
  QColor outline;
  double outlineWidth = 1.0;
  QColor finRoot;     // fins start in this colour ...
  QColor finTip;      // ... and fade to this one at their edges
  QColor finEdge;
  QColor finRay;
  QColor sheenBack;   // a streak of colour along the back; transparent: none
  QColor sheenFlank;  // a second streak lower down; transparent: none
  QColor eyeRing;
  QColor scales;      // scale pattern; transparent: none
  QColor patch;       // white patches on the body; transparent: none
};

FishLook RedLook();
FishLook BlackLook();
FishLook RedWhiteLook();

// Paints a goldfish facing right (head towards growing x) into the square
// of one fish cell, [0, kFishCell)^2 of the painter's coordinates. `phase` in radians moves
// the tail and fins; a full turn is one swimming stroke.
void PaintFish(QPainter& painter, const FishLook& look, double phase);

}  // namespace artwork
