#include "tests/support/ProgramState.h"

#include <vector>

#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "sim/SetRec.h"

namespace {
std::vector<void (*)()>& LayerResets() {
  static std::vector<void (*)()> resets;
  return resets;
}
}  // namespace

void AlsoResetWithAllState(void (*reset)()) { LayerResets().push_back(reset); }

void ResetAllState() {
  ResetConf();
  ResetAquarium();
  ProgramRandom() = ClockRandom{};
  for (auto reset : LayerResets()) reset();
}
