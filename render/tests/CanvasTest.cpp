// The aquarium's frames made without a window, and what each one asks the
// window to repaint.
#include "render/AquariumCanvas.h"

#include <gtest/gtest.h>

#include "sim/Behaviour.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "sim/Tick.h"
#include "tests/support/ProgramState.h"

namespace {

using Canvas = FreshState;

// Three fish on a fixed random source: what each tick repaints stays about
// the cells of the fish and their bubbles (an eighth of the frame here, on
// average), however long the aquarium runs.
TEST_F(Canvas, TheRepaintedAreaStaysThatOfTheFishAndBubblesTickAfterTick) {
  ClockRandom random([] { return std::uint64_t{1208}; });
  AquariumCanvas canvas;
  canvas.LayOut();
  Conf.MaxIndex = 2;
  SeedFish(canvas, random);
  long area = 0;
  canvas.ShowWith([&](const QRegion& changed) {
    for (const QRect& rect : changed) area += rect.width() * rect.height();
  });
  for (int tick = 1; tick <= 1000; ++tick) {
    if (tick % 25 == 10) StepBehaviour(random);
    StepAquarium(canvas, canvas, random);
    if (tick == 1) area = 0;  // the first showing is whole
    if (tick % 100 > 0) continue;
    EXPECT_LT(area / 100, 500 * 300 / 4) << "ticks up to " << tick;
    area = 0;
  }
}

}  // namespace
