// Velmaro — the fish and their bubbles.
#include "sim/Aquarium.h"

#include <algorithm>

#include "sim/Int16.h"
#include "sim/Random.h"
#include "sim/State.h"

int LastActiveFish() { return std::min<int>(Conf.MaxIndex, kFishSlots - 1); }

void SeedFish(const AquariumWindow& window, RandomSource& random) {
  const int last = LastActiveFish();
  for (int i = 0; i <= last; ++i) {
    FishRec& f = Fish[i];
    random.Randomize();
    // A kind other than 0 or 1 keeps the sheet the fish already has.
    if (Conf.Kind[i] == 0) f.Pat = 0;
    if (Conf.Kind[i] == 1) f.Pat = 2;
    // Seeding keeps the facing and never gives a vertical mode.
    if (f.Pat == 0 || f.Pat == 2) f.Mode = Floor16(double{random.Rnd()} * 2);
    if (f.Pat == 1 || f.Pat == 3) f.Mode = Floor16(double{random.Rnd()} * 2 + 3);
    f.FrameX = 0;
    f.Rise = 0;
    f.Y = Floor16(double{random.Rnd()} * double{window.ScaleHeight() - float{kFishCell}});
  }
}

void FlipFishSprite(std::int16_t i) {
  if (i < 0 || i >= kFishSlots) return;
  FishRec& f = Fish[i];
  if (FacesRight(f.Mode)) f.Pat = Add16(f.Pat, -1);
  else if (FacesLeft(f.Mode)) f.Pat = Add16(f.Pat, 1);
}
