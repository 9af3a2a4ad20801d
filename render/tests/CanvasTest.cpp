// The aquarium's frames made without a window, and what each one asks the
// window to repaint.
#include "render/AquariumCanvas.h"

#include <QImage>

#include <gtest/gtest.h>

#include "assets/Pictures.h"
#include "sim/Behaviour.h"
#include "sim/Random.h"
#include "sim/SetRec.h"
#include "sim/Tick.h"
#include "tests/support/ProgramState.h"

namespace {

using Canvas = FreshState;

TEST_F(Canvas, HoldsThePicturesAtNaturalSizeAndIsLaidOutByOneCall) {
  AquariumCanvas canvas;
  const QImage background = pictures::LoadPicture(pictures::kBackground);
  EXPECT_EQ(canvas.view().image(), background);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(canvas.pat(i).image(), pictures::LoadPicture(pictures::FishSheet(i))) << i;
  EXPECT_EQ(canvas.awa().image(), pictures::LoadPicture(pictures::kBubbleSheet));
  EXPECT_EQ(&canvas.pat(7), &canvas.pat(3)) << "a sheet index outside 0-3 must not leave the four";

  canvas.LayOut();
  EXPECT_EQ(canvas.view().image(), background);
  EXPECT_EQ(canvas.back().image(), background) << "back holds the background";
  EXPECT_EQ(canvas.work().image().size(), QSize(500, 300));
  EXPECT_EQ(canvas.work().image().pixel(499, 299), qRgb(192, 192, 192));
  EXPECT_EQ(canvas.ScaleWidth(), 500.0f);
  EXPECT_EQ(canvas.ScaleHeight(), 300.0f);
}

TEST_F(Canvas, TheViewChangesOnlyWhenTheFinishedFrameIsCopiedOntoIt) {
  AquariumCanvas canvas;
  canvas.LayOut();
  const QImage background = canvas.back().image();
  for (const Sheet fish : {Sheet::pat2, Sheet::pat1}) {
    const QImage shown = canvas.view().image();
    canvas.CopyFrame(Surface::work, Surface::back);
    canvas.DrawMaskedSprite(fish, 200, 100, 75, 75, 0, 75);
    EXPECT_EQ(canvas.view().image(), shown) << "the frame is built off screen";
    EXPECT_NE(canvas.work().image(), background);
    canvas.CopyFrame(Surface::suisou, Surface::work);
    EXPECT_EQ(canvas.view().image(), canvas.work().image());
    EXPECT_NE(canvas.view().image(), shown);
  }
}

// Five fish on a fixed random source, two of them swimming left, with a
// behaviour tick every 25: the screen is the picture it started with, and
// after each tick only what Refresh hands out is repainted from the view.
class RepaintedArea : public FreshState {
 protected:
  RepaintedArea() {
    Conf.MaxIndex = 4;
    Conf.Kind = {0, 1, 0, 1, 1, 0};
    canvas_.LayOut();
    SeedFish(canvas_, random_);
    for (const std::int16_t i : {1, 3}) {
      Fish[i].X = static_cast<std::int16_t>(100 * i);
      Fish[i].Mode = 4;
      FlipFishSprite(i);
    }
    canvas_.ShowWith([this](const QRegion& changed) { repainted_ = changed; });
    screen_ = canvas_.view().image().copy();
  }

  void Tick(int tick) {
    if (tick % 25 == 10) StepBehaviour(random_);
    StepAquarium(canvas_, canvas_, random_);
    for (const QRect& rect : repainted_)
      for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) screen_.setPixel(x, y, canvas_.view().image().pixel(x, y));
  }

  static std::uint64_t FixedClock() { return 1208; }
  ClockRandom random_{FixedClock};
  AquariumCanvas canvas_;
  QRegion repainted_;
  QImage screen_;
};

TEST_F(RepaintedArea, LeavesNoTrailBehindFishSwimmingEitherWay) {
  bool left = false, right = false;
  for (int tick = 1; tick <= 300; ++tick) {
    Tick(tick);
    ASSERT_TRUE(screen_ == canvas_.view().image()) << "a trail is left on the screen after tick " << tick;
    for (int i = 0; i <= 4; ++i) (FacesLeft(Fish[i].Mode) ? left : right) = true;
  }
  EXPECT_TRUE(left && right) << "fish swam one way only";
}

// What is repainted stays about the cells of the fish and their bubbles (a
// fifth of the frame here, on average), however long the aquarium runs:
// old cells are forgotten once repainted.
TEST_F(RepaintedArea, StaysThatOfTheFishAndBubblesTickAfterTick) {
  for (int first = 1; first <= 1000; first += 100) {
    long area = 0;
    for (int tick = first; tick < first + 100; ++tick) {
      Tick(tick);
      if (tick == 1) continue;  // the first showing is whole
      for (const QRect& rect : repainted_) area += rect.width() * rect.height();
    }
    EXPECT_LT(area / 100, 500 * 300 / 3) << "ticks " << first << " to " << first + 99;
  }
}

}  // namespace
