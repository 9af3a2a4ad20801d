// Velmaro — the shared random source.
#include "sim/Random.h"

#include <chrono>
#include <utility>

namespace {

constexpr std::uint64_t kStartState = 0x5eed'0f'f1'5b'0a'1cULL;

std::uint64_t state = kStartState;

std::uint64_t RealClock() {
  return static_cast<std::uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count());
}

RandomClock clock_reader = RealClock;
std::function<float()> scripted_draw;
std::function<void()> scripted_reseed;

// SplitMix64 finaliser: every input bit affects every output bit.
std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace

float Rnd() {
  if (scripted_draw) return scripted_draw();
  state += 0x9e3779b97f4a7c15ULL;
  // The top 24 bits fill a float's mantissa exactly, so 1.0 is never reached.
  return static_cast<float>(Mix(state) >> 40) * (1.0f / 16777216.0f);
}

void Randomize() {
  if (scripted_reseed) {
    scripted_reseed();
    return;
  }
  state = Mix(state ^ Mix(clock_reader()));
}

void SetRandomClock(RandomClock clock) { clock_reader = clock ? clock : RealClock; }

void SetScriptedRandomSource(std::function<float()> draw, std::function<void()> reseed) {
  scripted_draw = std::move(draw);
  scripted_reseed = std::move(reseed);
}

void ResetRandomSource() {
  state = kStartState;
  scripted_draw = nullptr;
  scripted_reseed = nullptr;
  clock_reader = RealClock;
}
