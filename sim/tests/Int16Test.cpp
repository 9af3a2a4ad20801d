#include "sim/Int16.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Case {
  double input;
  std::int16_t floor;
  std::int16_t nearest;
};

// The two roundings part ways on fractions and on exact halves.
TEST(Int16, FloorAndNearestAreDistinctRoundings) {
  const Case cases[] = {
      {0.0, 0, 0},     {0.4, 0, 0},     {0.5, 0, 0},     {0.6, 0, 1},
      {1.5, 1, 2},     {2.5, 2, 2},     {7.5, 7, 8},     {8.5, 8, 8},
      {-0.5, -1, 0},   {-1.5, -2, -2},  {-2.5, -3, -2},  {-2.6, -3, -3},
      {224.999, 224, 225}, {-10.4, -11, -10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Floor16(c.input), c.floor) << c.input;
    EXPECT_EQ(Nearest16(c.input), c.nearest) << c.input;
  }
}

TEST(Int16, ValuesOutsideTheRangeAreHeldAtTheLimitsNotWrapped) {
  EXPECT_EQ(Floor16(40000.7), 32767);
  EXPECT_EQ(Nearest16(32767.5), 32767);
  EXPECT_EQ(Floor16(-32768.5), -32768);
  EXPECT_EQ(Nearest16(-1e12), -32768);
  EXPECT_EQ(Floor16(std::numeric_limits<double>::infinity()), 32767);
  EXPECT_EQ(Nearest16(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(Add16(32767, 1), 32767);
  EXPECT_EQ(Add16(-32768, -5), -32768);
  EXPECT_EQ(Add16(430, -5), 425);
  EXPECT_EQ(Clamp16(70000), 32767);
  EXPECT_EQ(Clamp16(-70000), -32768);
}

}  // namespace
