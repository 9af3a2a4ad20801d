#include <QImage>

#include <gtest/gtest.h>

#include "render/AquariumCanvas.h"
#include "sim/Behaviour.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "sim/Tick.h"
#include "tests/support/ProgramState.h"

namespace {

std::uint64_t FixedClock() { return 1208; }

// Five fish of both kinds, seeded and swum with a fixed random source and
// clock: the 50th frame must look exactly as committed. When the artwork
// changes on purpose, run this test once with VELMARO_WRITE_GOLDEN_FRAME=1
// to write the new picture, look at it, and commit it.
using GoldenFrame = FreshState;

TEST_F(GoldenFrame, TheFiftiethFrameOfFiveFishLooksAsCommitted) {
  ClockRandom random(FixedClock);
  Conf.MaxIndex = 4;
  Conf.Kind = {0, 1, 0, 1, 0, 0};

  AquariumCanvas canvas;
  canvas.LayOut();
  SeedFish(canvas, random);
  for (int tick = 1; tick <= 50; ++tick) {
    // Behaviour ticks at 10 and 35 leave their bubbles 15 ticks to rise.
    if (tick % 25 == 10) StepBehaviour(random);
    StepAquarium(canvas, canvas, random);
  }

  // The frame shows what it is meant to: both kinds and a bubble in view.
  bool red = false, black = false, bubble = false;
  for (int i = 0; i <= 4; ++i) {
    red |= Fish[i].Pat <= 1;
    black |= Fish[i].Pat >= 2;
    bubble |= Bubble[i].Active == 1 && Bubble[i].X > -30 && Bubble[i].X < 500 &&
              Bubble[i].Y > -30 && Bubble[i].Y < 300;
  }
  ASSERT_TRUE(red && black && bubble) << "choose another clock for the golden frame";

  const QImage frame = canvas.view().image();
  if (qEnvironmentVariableIsSet("VELMARO_WRITE_GOLDEN_FRAME")) {
    ASSERT_TRUE(frame.convertToFormat(QImage::Format_RGB888).save(GOLDEN_FRAME_FILE));
  }
  const QImage golden = QImage(GOLDEN_FRAME_FILE).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(golden.isNull()) << "missing " << GOLDEN_FRAME_FILE;
  EXPECT_TRUE(frame == golden) << "the 50th frame differs from " << GOLDEN_FRAME_FILE;
}

}  // namespace
