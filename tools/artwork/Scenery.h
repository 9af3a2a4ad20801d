// Velmaro artwork — every picture the program shows, drawn from scratch.
#pragma once

#include <QImage>

#include "Fish.h"
#include "sim/Aquarium.h"
#include "sim/Surfaces.h"

namespace artwork {

// Sizes the program relies on.
constexpr int kSceneWidth = kFrameWidth;
constexpr int kSceneHeight = kFrameHeight;
using ::kFishCell;
constexpr int kFishFrames = 3;
constexpr int kFishTopRow = 13;     // first row a fish may touch
constexpr int kFishBottomRow = 70;  // last row a fish may touch
using ::kBubbleCell;
constexpr int kIconSize = 32;

QImage Background();                      // suisou.png
QImage FishSheet(const FishLook& look);   // pat0.png / pat2.png, facing right
QImage BubbleSheet();                     // awa.png
QImage Icon();                            // icon.png

// A still of the running aquarium, drawn with the program's masking rule.
QImage Preview(const QImage& background, const QImage& redRight,
               const QImage& redLeft, const QImage& blackRight,
               const QImage& blackLeft, const QImage& bubbles);

}  // namespace artwork
