// Velmaro animation — a few seconds of five fish, drawn by the program itself.
#include "Swimming.h"

#include "render/AquariumCanvas.h"
#include "sim/Aquarium.h"
#include "sim/Behaviour.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "sim/Tick.h"

namespace {

// Chosen by looking: with this clock and these ticks the fish are spread
// over the whole width, two bubbles rise and one fish rests at the surface.
// Forty frames keep the file under 1 MB.
std::uint64_t FixedClock() { return 260; }
constexpr int kUnshownTicks = 50;  // all fish start at the left wall
constexpr int kShownTicks = 40;
constexpr int kBehaviourEvery = 25;
constexpr int kBehaviourAt = 10;

}  // namespace

std::vector<QImage> SwimmingFrames() {
  ResetState();
  ClockRandom random(FixedClock);
  Conf.MaxIndex = 4;
  Conf.Kind = {0, 1, 0, 1, 0, 0};

  AquariumCanvas canvas;
  canvas.LayOut();
  SeedFish(canvas, random);

  std::vector<QImage> frames;
  for (int tick = 1; tick <= kUnshownTicks + kShownTicks; ++tick) {
    if (tick % kBehaviourEvery == kBehaviourAt) StepBehaviour(random);
    StepAquarium(canvas, canvas, random);
    if (tick > kUnshownTicks) frames.push_back(canvas.view().image().copy());
  }

  ResetState();
  return frames;
}
