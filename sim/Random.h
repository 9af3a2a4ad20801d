// Velmaro — the shared random source.
#pragma once

#include <cstdint>
#include <functional>

// The next draw: a uniform single-precision value in [0, 1).
float Rnd();

// Reseeds the source from the clock. The clock reading is mixed into the
// current state, never put in its place: fish reseeded within one clock
// reading must still draw different numbers, or they would move in step.
void Randomize();

// The clock that Randomize reads, in arbitrary ticks. Tests put a fixed one
// in place to make the draws reproducible.
using RandomClock = std::uint64_t (*)();
void SetRandomClock(RandomClock clock);  // nullptr restores the real clock

// Tests that need particular draws take the source over: draw gives every
// Rnd and reseed is told of every Randomize. Empty functions hand it back.
void SetScriptedRandomSource(std::function<float()> draw, std::function<void()> reseed);

// Puts the source back to its start-up state with the real clock.
void ResetRandomSource();
