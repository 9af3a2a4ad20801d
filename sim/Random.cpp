// Velmaro — where the fish's chances come from.
#include "sim/Random.h"

#include <algorithm>
#include <chrono>

#include "sim/Int16.h"

namespace {

// SplitMix64 finaliser: every input bit affects every output bit.
std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace

std::uint64_t ClockRandom::SteadyClock() {
  return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

float ClockRandom::Rnd() {
  state_ += 0x9e3779b97f4a7c15ULL;
  // The top 24 bits fill a float's mantissa exactly, so 1.0 is never reached.
  return static_cast<float>(Mix(state_) >> 40) * (1.0f / 16777216.0f);
}

void ClockRandom::Randomize() { state_ = Mix(state_ ^ Mix(clock_())); }

ClockRandom& ProgramRandom() {
  static ClockRandom program;
  return program;
}

int ChoiceOf(double draw, int n) { return std::clamp<int>(Floor16(draw * n), 0, n - 1); }
