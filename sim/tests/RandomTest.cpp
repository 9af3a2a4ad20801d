#include "sim/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::uint64_t FixedClock() { return 12345; }
std::uint64_t OtherClock() { return 12346; }

std::vector<float> Draws(RandomSource& random, int count) {
  std::vector<float> values;
  for (int i = 0; i < count; ++i) values.push_back(random.Rnd());
  return values;
}

TEST(ClockRandom, DrawsLieInTheHalfOpenUnitIntervalAndSpreadEvenly) {
  ClockRandom random;
  int buckets[10] = {};
  constexpr int kDraws = 100000;
  for (int i = 0; i < kDraws; ++i) {
    const float r = random.Rnd();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    ++buckets[static_cast<int>(r * 10)];
  }
  for (int count : buckets) {
    EXPECT_NEAR(count, kDraws / 10, kDraws / 100);
  }
}

TEST(ClockRandom, AFixedClockMakesTheDrawsReproducibleAndItsReadingChangesThem) {
  ClockRandom first(FixedClock), again(FixedClock), other(OtherClock);
  first.Randomize();
  again.Randomize();
  other.Randomize();
  const std::vector<float> draws = Draws(first, 5);
  EXPECT_EQ(Draws(again, 5), draws);
  EXPECT_NE(Draws(other, 5), draws);
}

// Several fish are reseeded within one clock reading in every tick; if the
// reseed depended on the clock alone they would all draw the same numbers.
TEST(ClockRandom, ReseedingWithinOneClockReadingStillGivesNewDraws) {
  ClockRandom random(FixedClock);
  random.Randomize();
  const std::vector<float> fishZero = Draws(random, 3);
  random.Randomize();
  EXPECT_NE(Draws(random, 3), fishZero);
}

TEST(ChoiceOf, EveryDrawPicksAnEntryOfTheTable) {
  EXPECT_EQ(ChoiceOf(0.0, 3), 0);
  EXPECT_EQ(ChoiceOf(0.34, 3), 1);
  EXPECT_EQ(ChoiceOf(0.999, 3), 2);
  for (double draw : {1.0, 7.5, -0.25, std::nan(""), std::numeric_limits<double>::infinity()}) {
    const int choice = ChoiceOf(draw, 2);
    EXPECT_GE(choice, 0) << draw;
    EXPECT_LE(choice, 1) << draw;
  }
}

}  // namespace
