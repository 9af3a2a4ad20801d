// Velmaro — the animation tick against the cheapest thing a tick could do:
// copying the two whole frames it copies anyway.
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "FiveFish.h"
#include "render/AquariumCanvas.h"

namespace {

AquariumCanvas* canvas = nullptr;

using bench::Restore;
using bench::Scene;

void Tick() { bench::Tick(*canvas); }
bool Ready(benchmark::State& state, const Scene& scene) { return bench::Ready(state, *canvas, scene); }

void BM_StepAquarium(benchmark::State& state) {
  const Scene scene = bench::FiveFishWithBubbles();
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
  const Scene scene = bench::FiveFishWithBubbles();
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

int main(int argc, char** argv) { return bench::RunOnACanvas<QGuiApplication>(argc, argv, canvas); }
