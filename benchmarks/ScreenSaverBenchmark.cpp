// Velmaro — the full-screen screen saver's picture against the main window's,
// per device pixel painted: whole repaints, and a tick followed by the
// repaint of what it changed.
#include <QApplication>
#include <QImage>
#include <QRegion>

#include <benchmark/benchmark.h>

#include <cstdint>

#include "FiveFish.h"
#include "render/AquariumCanvas.h"
#include "window/PictureBox.h"
#include "window/ScreenSaver.h"

namespace {

// A common full-screen monitor; the frame fits it three times over, 1500 x
// 900, with black around.
const QSize kScreen(1920, 1080);

AquariumCanvas* canvas = nullptr;

std::int64_t PixelsOf(const QRegion& region) {
  std::int64_t pixels = 0;
  for (const QRect& rect : region) pixels += std::int64_t{rect.width()} * rect.height();
  return pixels;
}

// What a backing store is: an image of the widget's size, in the format the
// window system takes. A widget renders a region into it at the region's
// own place.
struct Target {
  explicit Target(QWidget& widget) : widget(widget), image(widget.size(), QImage::Format_RGB32) {
    image.fill(Qt::white);
  }
  void Paint(const QRegion& region) { widget.render(&image, region.boundingRect().topLeft(), region); }

  QWidget& widget;
  QImage image;
};

// Time per device pixel painted, from the pixels painted in all calls.
void ReportPerPixel(benchmark::State& state, std::int64_t pixels) {
  state.counters["per_pixel"] = benchmark::Counter(static_cast<double>(pixels),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

bool Sized(benchmark::State& state, const QWidget& widget, const QSize& size) {
  if (widget.size() == size) return true;
  state.SkipWithError("the widget is not of the size measured");
  return false;
}

void PaintWhole(benchmark::State& state, Target& target) {
  const QRegion whole(target.widget.rect());
  std::int64_t pixels = 0;
  for (auto _ : state) {
    target.Paint(whole);
    pixels += PixelsOf(whole);
    benchmark::ClobberMemory();
  }
  ReportPerPixel(state, pixels);
}

// The main window's picture, 500 x 300, painted whole.
void BM_PaintWindowWhole(benchmark::State& state) {
  PictureBox box(nullptr, canvas->view());
  if (!Sized(state, box, QSize(kFrameWidth, kFrameHeight))) return;
  Target target(box);
  PaintWhole(state, target);
}

// The full-screen view, 1920 x 1080, painted whole, black around included.
void BM_PaintFullScreenWhole(benchmark::State& state) {
  ScreenSaverView view(canvas->view(), true);
  view.resize(kScreen);
  if (!Sized(state, view, kScreen)) return;
  Target target(view);
  PaintWhole(state, target);
}

// One tick of five fish, then the repaint of what it changed: `refresh`
// hands the canvas's changed pixels to the widget, as the program does, and
// returns the widget's region to repaint.
template <typename Refresh>
void TickThenPaint(benchmark::State& state, Target& target, Refresh refresh) {
  // Shown first, and so painted whole, as a window is.
  target.Paint(target.widget.rect());
  QRegion changed;
  canvas->ShowWith([&](const QRegion& pictureChanged) { changed = refresh(pictureChanged); });
  const bench::Scene scene = bench::FiveFishWithBubbles();
  if (bench::Ready(state, *canvas, scene)) {
    std::int64_t pixels = 0;
    for (auto _ : state) {
      bench::Restore(scene);
      changed = QRegion();
      bench::Tick(*canvas);
      target.Paint(changed);
      pixels += PixelsOf(changed);
      benchmark::ClobberMemory();
    }
    if (pixels == 0) state.SkipWithError("the ticks changed nothing");
    ReportPerPixel(state, pixels);
  }
  canvas->ShowWith({});
}

void BM_TickThenPaintWindow(benchmark::State& state) {
  PictureBox box(nullptr, canvas->view());
  if (!Sized(state, box, QSize(kFrameWidth, kFrameHeight))) return;
  Target target(box);
  TickThenPaint(state, target, [&box](const QRegion& changed) {
    box.Refresh(changed);
    return changed;
  });
}

void BM_TickThenPaintFullScreen(benchmark::State& state) {
  ScreenSaverView view(canvas->view(), true);
  view.resize(kScreen);
  if (!Sized(state, view, kScreen)) return;
  Target target(view);
  TickThenPaint(state, target, [&view](const QRegion& changed) {
    view.Refresh(changed);
    return view.AreaOf(changed);
  });
}

// Medians over repetitions, as in the tick's benchmarks. The process's CPU
// time: the raster engine may hand parts of a paint to threads of its own.
void Configure(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->Repetitions(15)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_PaintWindowWhole)->Apply(Configure);
BENCHMARK(BM_PaintFullScreenWhole)->Apply(Configure);
BENCHMARK(BM_TickThenPaintWindow)->Apply(Configure);
BENCHMARK(BM_TickThenPaintFullScreen)->Apply(Configure);

}  // namespace

int main(int argc, char** argv) { return bench::RunOnACanvas<QApplication>(argc, argv, canvas); }
