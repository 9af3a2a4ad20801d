// Velmaro animation — a few seconds of five fish, drawn by the program itself.
#pragma once

#include <QImage>

#include <vector>

// One picture per animation tick (100 ms), 500 x 300, Format_RGB32. The
// random source runs on a fixed clock, so every call draws the same frames.
// Needs a QApplication; leaves the fish, settings and random source as at
// start-up.
std::vector<QImage> SwimmingFrames();
