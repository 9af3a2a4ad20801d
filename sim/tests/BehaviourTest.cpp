#include <gtest/gtest.h>

#include "sim/Behaviour.h"
#include "sim/State.h"
#include "sim/tests/FakeAquarium.h"
#include "tests/support/ProgramState.h"

namespace {

class Behaviour : public FreshState {
 protected:
  ScriptedRandom random;
};

// The draw that gives outcome t of six.
float Outcome(int t) { return (static_cast<float>(t) + 0.5f) / 6.0f; }

TEST_F(Behaviour, EachOutcomeKeepsTheFishsDirection) {
  struct Case {
    std::int16_t mode;
    int t;
    std::int16_t modeAfter, rise, bubble, bubbleX, bubbleY;
  } cases[] = {
      {1, 0, 0, 0, 0, 0, 0},    {1, 1, 1, 0, 0, 0, 0},    {1, 2, 2, 0, 0, 0, 0},
      {1, 3, 1, 1, 0, 0, 0},    {1, 4, 1, 0, 1, 185, 75}, {1, 5, 1, 0, 1, 185, 75},
      {4, 0, 3, 0, 0, 0, 0},    {4, 1, 4, 0, 0, 0, 0},    {4, 2, 5, 0, 0, 0, 0},
      {4, 3, 4, 1, 0, 0, 0},    {4, 4, 4, 0, 1, 90, 75},  {5, 5, 5, 0, 1, 90, 75},
  };
  for (const Case& c : cases) {
    ResetState();
    Fish[0] = MakeFish(100, 50, c.mode, FacesRight(c.mode) ? 0 : 1);
    random.Queue({Outcome(c.t)});
    StepBehaviour(random);
    const FishRec& f = Fish[0];
    const BubbleRec& b = Bubble[0];
    EXPECT_EQ(f.Mode, c.modeAfter) << "mode " << c.mode << " t " << c.t;
    EXPECT_EQ(f.Rise, c.rise) << "mode " << c.mode << " t " << c.t;
    EXPECT_EQ(b.Active, c.bubble) << "mode " << c.mode << " t " << c.t;
    EXPECT_EQ(b.X, c.bubbleX) << "mode " << c.mode << " t " << c.t;
    EXPECT_EQ(b.Y, c.bubbleY) << "mode " << c.mode << " t " << c.t;
    EXPECT_EQ(f.X, 100);
    EXPECT_EQ(f.Pat, FacesRight(c.mode) ? 0 : 1) << "the sheet never changes here";
  }
}

TEST_F(Behaviour, EveryTickEndsTheRiseAndTheBubbleBeforeDrawingAnew) {
  Conf.MaxIndex = 2;
  Fish[0] = MakeFish(100, 50, 1, 0, 0, 1);
  Fish[1] = MakeFish(200, 80, 3, 1);
  Bubble[1] = {1, 190, 12};
  Fish[2] = MakeFish(430, 60, 2, 2);
  random.Queue({Outcome(0), Outcome(1), Outcome(4)});
  StepBehaviour(random);
  EXPECT_EQ(Fish[0].Rise, 0);
  EXPECT_EQ(Fish[0].Mode, 0);
  EXPECT_EQ(Bubble[1].Active, 0);
  EXPECT_EQ(Fish[1].Mode, 4);
  // Launched wholly outside the picture, and still a bubble.
  EXPECT_EQ(Bubble[2].Active, 1);
  EXPECT_EQ(Bubble[2].X, 515);
  EXPECT_EQ(random.reseeds, 3);
  EXPECT_EQ(random.draws, 3) << "exactly one draw per fish";

  // A bubble drawn again starts afresh from the fish's place.
  Fish[2].Y = 10;
  random.Queue({Outcome(0), Outcome(1), Outcome(5)});
  StepBehaviour(random);
  EXPECT_EQ(Bubble[2].Active, 1);
  EXPECT_EQ(Bubble[2].Y, 35);
}

TEST_F(Behaviour, FishOutsideTheActiveCountKeepTheirMood) {
  Conf.MaxIndex = -1;
  Fish[0] = MakeFish(100, 50, 1, 0, 0, 1);
  Bubble[1] = {1, 190, 12};
  StepBehaviour(random);
  EXPECT_EQ(Fish[0].Rise, 1);
  EXPECT_EQ(Bubble[1].Active, 1);
  EXPECT_EQ(random.reseeds, 0);
}

}  // namespace
