#include "tests/support/ProgramState.h"

#include <algorithm>
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

void AlsoResetWithAllState(void (*reset)()) {
  if (std::find(LayerResets().begin(), LayerResets().end(), reset) == LayerResets().end())
    LayerResets().push_back(reset);
}

void ResetAllState() {
  ResetConf();
  ResetAquarium();
  ProgramRandom() = ClockRandom{};
  for (auto reset : LayerResets()) reset();
}
