#include <gtest/gtest.h>

#include <tuple>

#include "sim/State.h"
#include "sim/Tick.h"
#include "sim/tests/FakeAquarium.h"
#include "tests/support/ProgramState.h"

namespace {

class Tick : public FreshState {
 protected:
  void Step() { StepAquarium(window, surfaces, random); }

  LaidOutWindow window;
  RecordingSurfaces surfaces;
  ScriptedRandom random;
};

TEST_F(Tick, TheWallsLieAt425ForTheCellsLeftEdgeAndAt0) {
  struct Case {
    std::int16_t x, mode;
    bool swims;
    std::int16_t xAfter;  // with the draw 0.5: a swim step moves 5
  } cases[] = {
      {424, 1, true, 429}, {425, 1, false, 420}, {430, 1, false, 425},
      {1, 4, true, -4},    {0, 4, false, 5},     {-9, 4, false, -4},
  };
  for (const Case& c : cases) {
    ResetState();
    Fish[0] = MakeFish(c.x, 100, c.mode, FacesRight(c.mode) ? 0 : 1);
    Step();
    EXPECT_EQ(Fish[0].X, c.xAfter) << "from X " << c.x;
    EXPECT_EQ(Fish[0].FrameX, c.swims ? 75 : 0) << "from X " << c.x;
    EXPECT_EQ(TurnCount, c.swims ? 0 : 1) << "from X " << c.x;
  }
}

TEST_F(Tick, TheContactThatBringsTheSharedCountToFourTurnsTheFish) {
  Fish[0] = MakeFish(425, 100, 1, 0);
  for (int contact = 1; contact <= 3; ++contact) {
    Fish[0].X = 425;
    Step();
    ASSERT_EQ(Fish[0].Mode, 1) << "contact " << contact;
    ASSERT_EQ(TurnCount, contact);
  }
  Fish[0].X = 425;
  random.Queue({0.0f});  // the turn's draw t = 0: leftwards upwards
  Step();
  EXPECT_EQ(Fish[0].Mode, 3);
  EXPECT_EQ(Fish[0].Pat, 1);
  EXPECT_EQ(TurnCount, 0);

  // Contacts of other fish count too: with three behind it, a fish turns at
  // its first contact.
  Fish[1] = MakeFish(0, 50, 4, 3);
  TurnCount = 3;
  Conf.MaxIndex = 1;
  Fish[0] = MakeFish(200, 100, 1, 0);
  random.Queue({0.5f, 0.99f});  // fish 0 swims; fish 1's turn draws t = 1
  Step();
  EXPECT_EQ(Fish[1].Mode, 2) << "rightwards downwards";
  EXPECT_EQ(Fish[1].Pat, 2);
  EXPECT_EQ(TurnCount, 0);
}

TEST_F(Tick, TurningAtTheRightWallSwimsLeftInTheSameTick) {
  Fish[0] = MakeFish(430, 100, 1, 2, 150);
  TurnCount = 3;
  random.Queue({0.75f, 0.5f});  // t = 2: leftwards level; then the leftward step
  Step();
  EXPECT_EQ(Fish[0].Mode, 4);
  EXPECT_EQ(Fish[0].Pat, 3);
  EXPECT_EQ(Fish[0].X, 430 - 5 - 5);
  EXPECT_EQ(Fish[0].FrameX, 0) << "one swim step: 150 wraps to 0";
  EXPECT_EQ(Fish[0].Y, 100);
  EXPECT_EQ(random.reseeds, 2) << "one for the fish, one for the turn";
}

TEST_F(Tick, TurningAtTheLeftWallOnlyBacksOffAndNeverGivesTheLevelMode) {
  for (const auto& [draw, mode] : {std::pair{0.25f, 0}, {0.75f, 2}}) {
    ResetState();
    Fish[0] = MakeFish(0, 100, 4, 1, 75);
    TurnCount = 3;
    random.Queue({draw});
    Step();
    EXPECT_EQ(Fish[0].Mode, mode);
    EXPECT_EQ(Fish[0].Pat, 0);
    EXPECT_EQ(Fish[0].X, 5);
    EXPECT_EQ(Fish[0].FrameX, 75) << "no swim step until the next tick";
  }
}

// A source may hand out 1.0 itself: the turn still picks the table's last mode.
TEST_F(Tick, ADrawOfOneAtEitherWallTurnsToTheLastModeOfItsTable) {
  for (const auto& [x, mode, turned] : {std::tuple{425, 1, 4}, {0, 4, 2}}) {
    ResetState();
    Fish[0] = MakeFish(static_cast<std::int16_t>(x), 100, static_cast<std::int16_t>(mode), 0);
    TurnCount = 3;
    random.Queue({1.0f});
    Step();
    EXPECT_EQ(Fish[0].Mode, turned) << "at x " << x;
  }
}

TEST_F(Tick, TheTailAdvancesOnSwimStepsOnly) {
  Fish[0] = MakeFish(100, 100, 1, 0);
  std::vector<int> frames;
  for (int tick = 0; tick < 4; ++tick) {
    Step();
    frames.push_back(Fish[0].FrameX);
  }
  EXPECT_EQ(frames, (std::vector<int>{75, 150, 0, 75}));

  Fish[0].Rise = 1;
  Step();
  EXPECT_EQ(Fish[0].FrameX, 75) << "rising";
  Fish[0].Rise = 0;
  Fish[0].X = 425;
  Step();
  EXPECT_EQ(Fish[0].FrameX, 75) << "at the wall";
}

TEST_F(Tick, TheUpperAndLowerLimitsSendTheFishBack) {
  // Draws of exact binary fractions, so that every sum is exact.
  struct Case {
    std::int16_t y, mode, modeAfter, yAfter;
  } cases[] = {
      {217, 2, 0, 226}, {216, 2, 2, 225},  // 216 + 8.75 rounds to 225
      {-2, 0, 2, -11},  {-1, 0, 0, -10},
      {217, 5, 3, 226}, {216, 5, 5, 225},
      {-2, 3, 5, -11},  {-1, 3, 3, -10},
  };
  for (const Case& c : cases) {
    ResetState();
    Fish[0] = MakeFish(200, c.y, c.mode, FacesRight(c.mode) ? 0 : 1);
    random.Queue({0.5f, 0.875f});
    Step();
    EXPECT_EQ(Fish[0].Y, c.yAfter) << "mode " << c.mode << " from Y " << c.y;
    EXPECT_EQ(Fish[0].Mode, c.modeAfter) << "mode " << c.mode << " from Y " << c.y;
  }
}

TEST_F(Tick, ARisingFishClimbsToTheSurfaceAndHangsThereWithItsBubbleStill) {
  Fish[0] = MakeFish(200, -9, 1, 0, 75, 1);
  Fish[1] = MakeFish(300, -10, 4, 1, 0, 1);
  Bubble[0] = {1, 285, 40};
  Conf.MaxIndex = 1;
  for (int tick = 0; tick < 3; ++tick) Step();
  EXPECT_EQ(Fish[0].Y, -11);
  EXPECT_EQ(Fish[1].Y, -10);
  EXPECT_EQ(Fish[0].X, 200);
  EXPECT_EQ(Fish[1].X, 300);
  EXPECT_EQ(Fish[0].FrameX, 75);
  EXPECT_EQ(Bubble[0].Y, 40);
  EXPECT_EQ(random.draws, 0);
  for (const std::string& call : surfaces.calls) EXPECT_EQ(call.find("awa"), std::string::npos);
}

TEST_F(Tick, ABubbleRisesFasterAheadOfARightwardFish) {
  Fish[0] = MakeFish(100, 100, 1, 0);
  Fish[1] = MakeFish(300, 100, 4, 1);
  Bubble[0] = {1, 185, 125};
  Bubble[1] = {1, 290, 125};
  Conf.MaxIndex = 1;
  random.Queue({0.5f, 0.999f, 0.5f, 0.999f});  // X step, then the bubble's rise
  Step();
  EXPECT_EQ(Bubble[0].Y, 125 - 19);
  EXPECT_EQ(Bubble[1].Y, 125 - 9);
  EXPECT_EQ(Bubble[0].X, 185);
  EXPECT_EQ(Bubble[1].X, 290);
}

TEST_F(Tick, OneFrameIsDrawnBackgroundFirstThenEachBubbleUnderItsFish) {
  Conf.MaxIndex = 1;
  Fish[0] = MakeFish(100, 50, 1, 0, 75);
  Fish[1] = MakeFish(110, 60, 1, 2);
  Bubble[1] = {1, 195, 85};
  random.Queue({0.5f, 0.5f, 0.5f});
  Step();
  const std::vector<std::string> expected = {
      "copy back to work",
      "pat(0) at 105,50 size 75x75 cell 150 mask 75",
      "awa at 195,75 size 30x30 cell 0 mask 30",
      "awa at 195,75 size 30x30 cell 30 mask 30",
      "pat(2) at 115,60 size 75x75 cell 75 mask 75",
      "copy work to suisou",
      "refresh suisou",
  };
  EXPECT_EQ(surfaces.calls, expected);
  EXPECT_EQ(random.reseeds, 2) << "one reseed before every fish";
}

TEST_F(Tick, AnEmptyTankShowsTheBackgroundAlone) {
  Conf.MaxIndex = -1;
  Fish[0] = MakeFish(100, 50, 1, 0);
  Step();
  EXPECT_EQ(surfaces.calls,
            (std::vector<std::string>{"copy back to work", "copy work to suisou", "refresh suisou"}));
  EXPECT_EQ(Fish[0].X, 100);
  EXPECT_EQ(random.reseeds, 0);
}

TEST_F(Tick, AFishActivatedWithoutSeedingStartsFromItsZeroRecord) {
  Conf.MaxIndex = 2;
  Step();
  for (int i = 0; i <= 2; ++i) {
    EXPECT_EQ(Fish[i].X, 5) << i;
    EXPECT_EQ(Fish[i].Y, -5) << "mode 0 swims upwards";
  }
  EXPECT_EQ(Fish[3].X, 0);
}

}  // namespace
