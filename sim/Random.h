// Velmaro — where the fish's chances come from.
#pragma once

#include <cstdint>

// Draws and reseeds, as the ticks and the dialog ask for them.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // The next draw: a uniform single-precision value in [0, 1).
  virtual float Rnd() = 0;
  // Reseeds the source from the clock.
  virtual void Randomize() = 0;
};

// The program's source. The clock reading is mixed into the current state,
// never put in its place: fish reseeded within one clock reading must still
// draw different numbers, or they would move in step.
class ClockRandom final : public RandomSource {
 public:
  // Any clock in arbitrary ticks; a fixed one makes the draws reproducible.
  using Clock = std::uint64_t (*)();
  static std::uint64_t SteadyClock();

  explicit ClockRandom(Clock clock = SteadyClock) : clock_(clock) {}
  float Rnd() override;
  void Randomize() override;

 private:
  Clock clock_;
  std::uint64_t state_ = 0x5eed'0f'f1'5b'0a'1cULL;
};

// The one source the program's windows draw from.
ClockRandom& ProgramRandom();

// Index into a table of n choices from a draw: floor(draw * n), held within
// the table whatever the draw, so that no source can read past its end.
int ChoiceOf(double draw, int n);
