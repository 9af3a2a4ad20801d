#include <gtest/gtest.h>

#include <random>

#include "sim/Behaviour.h"
#include "sim/State.h"
#include "sim/Tick.h"
#include "sim/tests/FakeAquarium.h"
#include "tests/support/ProgramState.h"

namespace {

class NoSurfaces : public AquariumSurfaces {
 public:
  void DrawMaskedSprite(Sheet, std::int16_t, std::int16_t, std::int16_t, std::int16_t,
                        std::int16_t, std::int16_t) override {}
  void CopyFrame(Surface, Surface) override {}
  void Refresh() override {}
};

std::uint64_t clock_ticks = 0;
std::uint64_t SteppingClock() { return ++clock_ticks; }

// Ten hours of ticks with a behaviour tick every 25, while the user keeps
// changing the number and kinds of fish, sometimes confirming (which seeds)
// and sometimes only moving the count.
using LongRun = FreshState;

TEST_F(LongRun, TenHoursOfFiveFishKeepEveryRecordInRange) {
  ClockRandom random(SteppingClock);
  std::mt19937 user(2026);
  LaidOutWindow window;
  NoSurfaces surfaces;

  Conf.MaxIndex = 4;
  Conf.Kind = {0, 1, 0, 1, 0, 1};
  SeedFish(window, random);
  int lowestY = 0, highestY = 0, lowestBubble = 0, turns = 0;
  for (int tick = 1; tick <= 360'000; ++tick) {
    if (user() % 3000 == 0) {
      Conf.MaxIndex = static_cast<std::int16_t>(user() % 7) - 1;  // -1 to 5
      for (auto& kind : Conf.Kind) kind = static_cast<std::int16_t>(user() % 2);
      if (user() % 2 == 0) SeedFish(window, random);
    }
    const std::int16_t turnsBefore = TurnCount;
    StepAquarium(window, surfaces, random);
    if (TurnCount < turnsBefore) ++turns;
    if (tick % 25 == 0) StepBehaviour(random);

    ASSERT_GE(TurnCount, 0);
    ASSERT_LE(TurnCount, 3);
    for (int i = 0; i < 6; ++i) {
      const FishRec& f = Fish[i];
      const BubbleRec& b = Bubble[i];
      ASSERT_TRUE(f.Mode >= 0 && f.Mode <= 5) << "tick " << tick << " fish " << i;
      ASSERT_TRUE(f.Pat >= 0 && f.Pat <= 3) << "tick " << tick << " fish " << i;
      ASSERT_EQ(f.Pat % 2 == 0, FacesRight(f.Mode)) << "tick " << tick << " fish " << i;
      ASSERT_TRUE(f.FrameX == 0 || f.FrameX == 75 || f.FrameX == 150) << "tick " << tick;
      ASSERT_FALSE(f.Rise == 1 && b.Active == 1) << "tick " << tick << " fish " << i;
      ASSERT_GE(f.X, -9) << "tick " << tick << " fish " << i;
      ASSERT_LE(f.X, 434) << "tick " << tick << " fish " << i;
      // A swim step is at most 10 pixels; the limits act within a few.
      ASSERT_GE(f.Y, -10 - 40) << "tick " << tick << " fish " << i;
      ASSERT_LE(f.Y, 225 + 40) << "tick " << tick << " fish " << i;
      ASSERT_GT(b.Y, -32768) << "tick " << tick << " fish " << i;
      lowestY = std::min<int>(lowestY, f.Y);
      highestY = std::max<int>(highestY, f.Y);
      lowestBubble = std::min<int>(lowestBubble, b.Y);
    }
  }
  // The run went where it should: to both limits and round the walls.
  EXPECT_LT(lowestY, -10);
  EXPECT_GT(highestY, 225);
  EXPECT_GT(turns, 1000);
  RecordProperty("lowest_fish_y", lowestY);
  RecordProperty("highest_fish_y", highestY);
  RecordProperty("lowest_bubble_y", lowestBubble);
}

}  // namespace
