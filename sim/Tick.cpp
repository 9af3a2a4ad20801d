// Velmaro — the animation tick.
#include "sim/Tick.h"

#include "sim/Int16.h"
#include "sim/Random.h"
#include "sim/State.h"

namespace {

constexpr std::int16_t kFrameWrap = 3 * kFishCell;  // FrameX runs through three cells
constexpr std::int16_t kLowerLimit = 225;
constexpr std::int16_t kUpperLimit = -10;
constexpr std::int16_t kRiseStep = 2;
constexpr std::int16_t kWallBackOff = 5;
constexpr std::int16_t kTurnThreshold = 4;

// Each call is one draw, so the order of calls is the order of draws.
double Draw(RandomSource& random) { return double{random.Rnd()}; }

void DrawBubble(const BubbleRec& b, AquariumSurfaces& surfaces) {
  // Blue rings, then green ones over them at the same place: one cluster.
  for (std::int16_t j = 0; j <= 1; ++j) {
    surfaces.DrawMaskedSprite(Sheet::awa, b.X, b.Y, kBubbleCell, kBubbleCell, kBubbleCell * j,
                              kBubbleCell);
  }
}

void AdvanceTail(FishRec& f) {
  f.FrameX = Add16(f.FrameX, kFishCell);
  if (f.FrameX == kFrameWrap) f.FrameX = 0;
}

// A rising fish climbs until it reaches the surface and then hangs there,
// without swimming, wagging or moving its bubble.
void Rise(FishRec& f) {
  if (f.Y > kUpperLimit) f.Y = Add16(f.Y, -kRiseStep);
}

// The shared counter decides which contact turns a fish: the one that brings
// it to the threshold, whichever fish made the earlier contacts.
bool CountContactAndTurn(RandomSource& random) {
  TurnCount = Add16(TurnCount, 1);
  if (TurnCount < kTurnThreshold) return false;
  TurnCount = 0;
  random.Randomize();
  return true;
}

void StepRight(std::int16_t i, const AquariumWindow& window, AquariumSurfaces& surfaces,
               RandomSource& random) {
  FishRec& f = Fish[i];
  BubbleRec& b = Bubble[i];
  if (f.Rise == 1) {
    Rise(f);
  } else if (window.ScaleWidth() - static_cast<float>(kFishCell) > static_cast<float>(f.X)) {
    f.X = Nearest16(f.X + Draw(random) * 10);
    if (f.Mode == 2) f.Y = Nearest16(f.Y + Draw(random) * 10);
    if (f.Mode == 0) f.Y = Nearest16(f.Y - Draw(random) * 10);
    AdvanceTail(f);
    if (f.Y > kLowerLimit) f.Mode = 0;
    if (f.Y < kUpperLimit) f.Mode = 2;
    if (b.Active == 1) {
      b.Y = Add16(b.Y, -Floor16(Draw(random) * 20));
      DrawBubble(b, surfaces);
    }
  } else {
    f.X = Add16(f.X, -kWallBackOff);
    if (CountContactAndTurn(random)) {
      constexpr std::int16_t kNewMode[] = {3, 5, 4};  // up, down, level
      f.Mode = kNewMode[ChoiceOf(Draw(random), 3)];
      FlipFishSprite(i);
    }
  }
}

void StepLeft(std::int16_t i, AquariumSurfaces& surfaces, RandomSource& random) {
  FishRec& f = Fish[i];
  BubbleRec& b = Bubble[i];
  if (f.Rise == 1) {
    Rise(f);
  } else if (f.X > 0) {
    f.X = Nearest16(f.X - Draw(random) * 10);
    if (f.Mode == 3) f.Y = Nearest16(f.Y - Draw(random) * 10);
    if (f.Mode == 5) f.Y = Nearest16(f.Y + Draw(random) * 10);
    AdvanceTail(f);
    if (f.Y > kLowerLimit) f.Mode = 3;
    if (f.Y < kUpperLimit) f.Mode = 5;
    if (b.Active == 1) {
      b.Y = Add16(b.Y, -Floor16(Draw(random) * 10));
      DrawBubble(b, surfaces);
    }
  } else {
    f.X = Add16(f.X, kWallBackOff);
    if (CountContactAndTurn(random)) {
      constexpr std::int16_t kNewMode[] = {0, 2};  // up, down: never level
      f.Mode = kNewMode[ChoiceOf(Draw(random), 2)];
      FlipFishSprite(i);
    }
  }
}

}  // namespace

void StepAquarium(const AquariumWindow& window, AquariumSurfaces& surfaces, RandomSource& random) {
  surfaces.CopyFrame(Surface::work, Surface::back);
  const int last = LastActiveFish();
  for (std::int16_t i = 0; i <= last; ++i) {
    random.Randomize();
    // The leftward test sees the mode the rightward step left, so a fish that
    // turns at the right wall already swims left in the same tick.
    if (FacesRight(Fish[i].Mode)) StepRight(i, window, surfaces, random);
    if (FacesLeft(Fish[i].Mode)) StepLeft(i, surfaces, random);
    const FishRec& f = Fish[i];
    surfaces.DrawMaskedSprite(PatSheet(f.Pat), f.X, f.Y, kFishCell, kFishCell, f.FrameX, kFishCell);
  }
  surfaces.CopyFrame(Surface::suisou, Surface::work);
  surfaces.Refresh();
}
