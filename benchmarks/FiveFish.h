// Velmaro — the benchmarks' scene: five fish swimming in the middle of the
// tank, each with its bubble, put back before every tick so that every tick
// does the same work.
#pragma once

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "render/AquariumCanvas.h"
#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "sim/Tick.h"

namespace bench {

// Five fish, mixed kinds and directions, each with its bubble in the water:
// every fish swims, wags and draws its bubble, and none meets a wall.
struct Scene {
  std::array<FishRec, kFishSlots> fish{};
  std::array<BubbleRec, kFishSlots> bubble{};
};

inline Scene FiveFishWithBubbles() {
  Conf.MaxIndex = 4;
  Conf.Kind = {0, 1, 0, 1, 0, 0};
  Scene scene;
  //                     X    Y  Mode FrameX Pat Rise
  scene.fish[0] = FishRec{60, 40, 1, 0, 0, 0};     // red, right, level
  scene.fish[1] = FishRec{140, 110, 2, 75, 2, 0};  // black, right, down
  scene.fish[2] = FishRec{220, 180, 0, 150, 0, 0}; // red, right, up
  scene.fish[3] = FishRec{300, 70, 4, 0, 3, 0};    // black, left, level
  scene.fish[4] = FishRec{380, 150, 5, 75, 1, 0};  // red, left, down
  for (int i = 0; i <= 4; ++i) {
    const FishRec& f = scene.fish[i];
    const bool right = FacesRight(f.Mode);
    scene.bubble[i] = BubbleRec{1, static_cast<std::int16_t>(right ? f.X + 70 : f.X - 25),
                                static_cast<std::int16_t>(f.Y + 20)};
  }
  return scene;
}

inline bool BubblesInFrame() {
  for (int i = 0; i <= 4; ++i) {
    const BubbleRec& b = Bubble[i];
    if (b.Active != 1 || b.X < 0 || b.Y < 0 || b.X + kBubbleCell > kFrameWidth ||
        b.Y + kBubbleCell > kFrameHeight) return false;
  }
  return true;
}

inline void Restore(const Scene& scene) {
  Fish = scene.fish;
  Bubble = scene.bubble;
  TurnCount = 0;
}

inline void Tick(AquariumCanvas& canvas) { StepAquarium(canvas, canvas, ProgramRandom()); }

// Checks the canvas and the scene, so that a broken set-up reports an error
// instead of timing something else.
inline bool Ready(benchmark::State& state, AquariumCanvas& canvas, const Scene& scene) {
  if (canvas.ScaleWidth() != kFrameWidth || canvas.ScaleHeight() != kFrameHeight) {
    state.SkipWithError("the picture area is not a whole frame");
    return false;
  }
  Restore(scene);
  Tick(canvas);
  if (!BubblesInFrame()) {
    state.SkipWithError("a bubble left the frame or went out");
    return false;
  }
  return true;
}

// Runs the benchmarks asked for over a laid-out canvas, which canvas points
// to meanwhile. No screen is needed: everything is drawn in memory.
template <typename Application>
int RunOnACanvas(int argc, char** argv, AquariumCanvas*& canvas) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  Application application(qtArgc, qtArgv);
  AquariumCanvas laidOut;
  laidOut.LayOut();
  canvas = &laidOut;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  canvas = nullptr;
  return 0;
}

}  // namespace bench
