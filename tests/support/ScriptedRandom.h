// A random source that hands out chosen draws, for tests of the rules.
#pragma once

#include <cstddef>
#include <deque>
#include <initializer_list>

#include "sim/Random.h"

// Hands out queued draws (0.5 once the queue is empty) and counts reseeds.
class ScriptedRandom final : public RandomSource {
 public:
  void Queue(std::initializer_list<float> draws) { queue_.insert(queue_.end(), draws); }
  std::size_t Left() const { return queue_.size(); }

  float Rnd() override {
    ++draws;
    if (queue_.empty()) return 0.5f;
    const float next = queue_.front();
    queue_.pop_front();
    return next;
  }
  void Randomize() override { ++reseeds; }

  int reseeds = 0;
  int draws = 0;

 private:
  std::deque<float> queue_;
};
