// Velmaro — placing and sizing windows in twips, as both windows do.
#pragma once

#include <cstdint>
#include <functional>

class QScreen;
class QWidget;

// Windows are placed and sized in twips; the window system works in whole
// pixels. Converting with the rounded twips per pixel in both directions
// makes the aquarium's inner area come out at exactly 500 x 300 everywhere.
int TwipsToPixels(double twips, std::int16_t twipsPerPixel);

// A window's outer size, frame included, in twips, and setting it so.
double OuterWidth(const QWidget& window);
double OuterHeight(const QWidget& window);
void SetOuterWidth(QWidget& window, double twips);
void SetOuterHeight(QWidget& window, double twips);

// Places a window's outer frame in the middle of a screen: the primary one
// unless another is named.
void CentreOnScreen(QWidget& window, const QScreen* screen = nullptr);
// A window manager adds its frame only once a window is mapped, so a window
// placed before that is placed once more when its frame shows up.
void PlaceAgainOnceFramed(QWidget& window, std::function<void()> place);
void CentreAgainOnceFramed(QWidget& window, const QScreen* screen = nullptr);
