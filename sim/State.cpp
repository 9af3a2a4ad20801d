// Velmaro — the program's module-level state.
#include "sim/State.h"

#include "sim/Random.h"

SetRec Conf{};
std::array<FishRec, kFishSlots> Fish{};
std::array<BubbleRec, kFishSlots> Bubble{};
std::int16_t TurnCount = 0;
std::int16_t TwipX = 0;
std::int16_t TwipY = 0;

void ResetState() {
  Conf = {};
  Fish = {};
  Bubble = {};
  TurnCount = 0;
  TwipX = 0;
  TwipY = 0;
  ProgramRandom() = ClockRandom{};
}
