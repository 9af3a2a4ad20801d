// Velmaro animation — a few seconds of five fish, drawn by the program itself.
#pragma once

#include <QImage>

#include <vector>

// One picture per animation tick (100 ms), a whole frame, Format_RGB32. The
// random source runs on a fixed clock, so every call draws the same frames.
// Needs a QGuiApplication; leaves the fish, settings and random source as at
// start-up.
std::vector<QImage> SwimmingFrames();
