// Velmaro — the behaviour tick.
#include "sim/Behaviour.h"

#include "sim/Aquarium.h"
#include "sim/Int16.h"
#include "sim/Random.h"
#include "sim/State.h"

namespace {

constexpr std::int16_t kOutcomes = 6;
// A bubble starts a third of the way down the fish's cell, 10 pixels in front
// of its mouth.
constexpr std::int16_t kBubbleBelowTop = kFishCell / 3;
constexpr std::int16_t kBubbleAheadRight = kFishCell + 10;
constexpr std::int16_t kBubbleAheadLeft = -10;

// firstMode is the upward mode of the fish's direction; level and downward
// follow it.
void NewMood(FishRec& f, BubbleRec& b, std::int16_t firstMode, std::int16_t bubbleAhead,
             RandomSource& random) {
  const int t = ChoiceOf(double{random.Rnd()}, kOutcomes);
  if (t <= 2) {
    f.Mode = Add16(firstMode, t);
  } else if (t == 3) {
    f.Rise = 1;  // the mode stays
  } else {
    b.Active = 1;
    b.X = Add16(f.X, bubbleAhead);
    b.Y = Add16(f.Y, kBubbleBelowTop);
  }
}

}  // namespace

void StepBehaviour(RandomSource& random) {
  const int last = LastActiveFish();
  for (int i = 0; i <= last; ++i) {
    FishRec& f = Fish[i];
    BubbleRec& b = Bubble[i];
    if (f.Rise == 1) f.Rise = 0;
    if (b.Active == 1) b.Active = 0;
    random.Randomize();
    // Exactly one of these runs: the first never leaves a leftward mode.
    if (FacesRight(f.Mode)) NewMood(f, b, 0, kBubbleAheadRight, random);
    if (FacesLeft(f.Mode)) NewMood(f, b, 3, kBubbleAheadLeft, random);
  }
}
