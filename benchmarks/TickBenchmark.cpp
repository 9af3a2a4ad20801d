// Velmaro — the animation tick against the cheapest thing a tick could do:
// copying the two whole frames it copies anyway.
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "render/AquariumCanvas.h"
#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "sim/Tick.h"

namespace {

AquariumCanvas* canvas = nullptr;

// Five fish, mixed kinds and directions, each with its bubble in the water:
// every fish swims, wags and draws its bubble, and none meets a wall.
struct Scene {
  std::array<FishRec, kFishSlots> fish{};
  std::array<BubbleRec, kFishSlots> bubble{};
};

Scene FiveFishWithBubbles() {
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

bool BubblesInFrame() {
  for (int i = 0; i <= 4; ++i) {
    const BubbleRec& b = Bubble[i];
    if (b.Active != 1 || b.X < 0 || b.Y < 0 || b.X + kBubbleCell > kFrameWidth ||
        b.Y + kBubbleCell > kFrameHeight) return false;
  }
  return true;
}

void Restore(const Scene& scene) {
  Fish = scene.fish;
  Bubble = scene.bubble;
  TurnCount = 0;
}

void Tick() { StepAquarium(*canvas, *canvas, ProgramRandom()); }

// Checks the canvas and the scene, so that a broken set-up reports an error
// instead of timing something else.
bool Ready(benchmark::State& state, const Scene& scene) {
  if (canvas->ScaleWidth() != kFrameWidth || canvas->ScaleHeight() != kFrameHeight) {
    state.SkipWithError("the picture area is not a whole frame");
    return false;
  }
  Restore(scene);
  Tick();
  if (!BubblesInFrame()) {
    state.SkipWithError("a bubble left the frame or went out");
    return false;
  }
  return true;
}

void BM_StepAquarium(benchmark::State& state) {
  const Scene scene = FiveFishWithBubbles();
  if (!Ready(state, scene)) return;
  for (auto _ : state) {
    // A few dozen bytes: keeps every bubble on screen at no measurable cost.
    Restore(scene);
    Tick();
    benchmark::ClobberMemory();
  }
}

// Two whole 500 x 300 frames of 32-bit pixels, as the tick's two frame
// copies move them: background to buffer, buffer to view.
void BM_CopyTwoFrames(benchmark::State& state) {
  const std::size_t bytes = std::size_t{kFrameWidth} * kFrameHeight * sizeof(std::uint32_t);
  std::vector<std::uint32_t> back(kFrameWidth * kFrameHeight, 0xff336699u);
  std::vector<std::uint32_t> work(kFrameWidth * kFrameHeight, 0);
  std::vector<std::uint32_t> view(kFrameWidth * kFrameHeight, 0);
  for (auto _ : state) {
    std::memcpy(work.data(), back.data(), bytes);
    std::memcpy(view.data(), work.data(), bytes);
    benchmark::DoNotOptimize(work.data());
    benchmark::DoNotOptimize(view.data());
    benchmark::ClobberMemory();
  }
}

// The real program ticks every 100 ms, long enough for everything else to
// push its pictures out of the caches. These two run each call after
// flushing the caches (outside the timing), for reading the results only.
void EvictCaches() {
  // Twice the largest last-level cache this program is likely to meet.
  static std::vector<char> sweep(std::size_t{64} << 20);
  for (std::size_t i = 0; i < sweep.size(); i += 64) sweep[i] = static_cast<char>(sweep[i] + 1);
  benchmark::ClobberMemory();
}

void BM_StepAquariumCold(benchmark::State& state) {
  const Scene scene = FiveFishWithBubbles();
  if (!Ready(state, scene)) return;
  for (auto _ : state) {
    state.PauseTiming();
    EvictCaches();
    Restore(scene);
    state.ResumeTiming();
    Tick();
    benchmark::ClobberMemory();
  }
}

void BM_CopyTwoFramesCold(benchmark::State& state) {
  const std::size_t bytes = std::size_t{kFrameWidth} * kFrameHeight * sizeof(std::uint32_t);
  std::vector<std::uint32_t> back(kFrameWidth * kFrameHeight, 0xff336699u);
  std::vector<std::uint32_t> work(kFrameWidth * kFrameHeight, 0);
  std::vector<std::uint32_t> view(kFrameWidth * kFrameHeight, 0);
  for (auto _ : state) {
    state.PauseTiming();
    EvictCaches();
    state.ResumeTiming();
    std::memcpy(work.data(), back.data(), bytes);
    std::memcpy(view.data(), work.data(), bytes);
    benchmark::DoNotOptimize(work.data());
    benchmark::DoNotOptimize(view.data());
    benchmark::ClobberMemory();
  }
}

// Medians over repetitions: one slow repetition (another process, a page
// fault) must not decide the result.
BENCHMARK(BM_CopyTwoFrames)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_StepAquarium)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
// Each flush takes milliseconds: a fixed, smaller number of calls keeps the
// run short.
BENCHMARK(BM_CopyTwoFramesCold)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_StepAquariumCold)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  // No screen needed: the frames are made in memory, without a window.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QGuiApplication application(qtArgc, qtArgv);

  AquariumCanvas laidOut;
  laidOut.LayOut();
  canvas = &laidOut;

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
