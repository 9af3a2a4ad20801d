#include <gtest/gtest.h>

#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "sim/tests/FakeAquarium.h"
#include "tests/support/ProgramState.h"

namespace {

class Seeding : public FreshState {
 protected:
  LaidOutWindow window;
  ClockRandom random;
};

FishRec Swimming(std::int16_t x, std::int16_t pat, std::int16_t mode) {
  FishRec f;
  f.X = x;
  f.Y = 123;
  f.Pat = pat;
  f.Mode = mode;
  f.FrameX = 150;
  f.Rise = 1;
  return f;
}

bool Same(const FishRec& a, const FishRec& b) {
  return a.X == b.X && a.Y == b.Y && a.Mode == b.Mode && a.FrameX == b.FrameX &&
         a.Pat == b.Pat && a.Rise == b.Rise;
}

TEST_F(Seeding, KindsChooseTheSheetAndEveryFishFacesRightWithALevelOrUpwardMode) {
  Conf.MaxIndex = 2;
  Conf.Kind = {0, 1, 0, 1, 1, 1};
  bool sawMode[2] = {};
  int lowestY = 300, highestY = -1;
  for (int round = 0; round < 400; ++round) {
    SeedFish(window, random);
    const std::int16_t expectedPat[] = {0, 2, 0};
    for (int i = 0; i <= 2; ++i) {
      ASSERT_EQ(Fish[i].Pat, expectedPat[i]);
      ASSERT_TRUE(Fish[i].Mode == 0 || Fish[i].Mode == 1) << Fish[i].Mode;
      sawMode[Fish[i].Mode] = true;
      ASSERT_GE(Fish[i].Y, 0);
      ASSERT_LE(Fish[i].Y, 224);
      lowestY = std::min<int>(lowestY, Fish[i].Y);
      highestY = std::max<int>(highestY, Fish[i].Y);
    }
  }
  EXPECT_TRUE(sawMode[0] && sawMode[1]);
  EXPECT_LT(lowestY, 10);
  EXPECT_GT(highestY, 214);
}

TEST_F(Seeding, SeedingAgainTurnsABlackFishRightAndKeepsItsPosition) {
  Conf.Kind[0] = 1;
  Fish[0] = Swimming(300, 3, 4);
  Bubble[0] = {1, 280, 60};
  TurnCount = 2;
  SeedFish(window, random);
  EXPECT_EQ(Fish[0].Pat, 2);
  EXPECT_TRUE(Fish[0].Mode == 0 || Fish[0].Mode == 1);
  EXPECT_EQ(Fish[0].X, 300);
  EXPECT_EQ(Fish[0].FrameX, 0);
  EXPECT_EQ(Fish[0].Rise, 0);
  EXPECT_EQ(Bubble[0].Active, 1);
  EXPECT_EQ(Bubble[0].Y, 60);
  EXPECT_EQ(TurnCount, 2);
}

TEST_F(Seeding, AnUnknownKindKeepsTheSheetAndItsFacing) {
  Conf.Kind[0] = 7;
  Fish[0] = Swimming(50, 1, 5);
  for (int round = 0; round < 50; ++round) {
    SeedFish(window, random);
    ASSERT_EQ(Fish[0].Pat, 1);
    ASSERT_TRUE(Fish[0].Mode == 3 || Fish[0].Mode == 4) << Fish[0].Mode;
  }
}

TEST_F(Seeding, NoFishAreSeededWhenTheTankIsEmpty) {
  Conf.MaxIndex = -1;
  Fish[0] = Swimming(10, 3, 4);
  SeedFish(window, random);
  EXPECT_TRUE(Same(Fish[0], Swimming(10, 3, 4)));
}

TEST_F(Seeding, ADamagedCountNeverReachesPastTheSixSlots) {
  Conf.MaxIndex = 32767;
  Conf.Kind = {1, 1, 1, 1, 1, 1};
  SeedFish(window, random);
  for (const FishRec& f : Fish) EXPECT_EQ(f.Pat, 2);
  EXPECT_EQ(LastActiveFish(), 5);
}

TEST_F(Seeding, FlipFishSpriteMovesToTheSheetOfTheNewDirection) {
  Fish[3].Mode = 4;
  Fish[3].Pat = 0;
  FlipFishSprite(3);
  EXPECT_EQ(Fish[3].Pat, 1);

  Fish[3].Mode = 2;
  Fish[3].Pat = 3;
  FlipFishSprite(3);
  EXPECT_EQ(Fish[3].Pat, 2);

  Fish[3].Mode = 9;  // not a swimming mode: nothing to face
  FlipFishSprite(3);
  EXPECT_EQ(Fish[3].Pat, 2);
}

}  // namespace
