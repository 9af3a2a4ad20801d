// Velmaro animation — frames of cube colours as one looping animated PNG.
#pragma once

#include <QByteArray>
#include <QImage>

#include <vector>

// Every frame is shown for 1/10 s and the animation loops forever. Frames
// must be of one size and use only colours of the 216-colour cube; they are
// stored 8-bit indexed with the cube as the one palette, and every frame
// after the first only as the rectangle that changed since the one before.
// Throws std::runtime_error when that cannot be done.
QByteArray EncodeApng(const std::vector<QImage>& frames);
