// Velmaro — the toolkit's floor: a window that only shows one 500 x 300
// picture and repaints it every 100 ms, as the aquarium does. Its CPU and
// memory are what any Qt widgets program of this kind costs at the least.
// With --partial it repaints only five 85 x 85 squares that move as fish
// do, about what a frame of five fish changes. With --idle its timer still
// fires every 100 ms but repaints nothing: the least a window that keeps a
// clock running costs, whether or not it is seen.
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstring>

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 300;
constexpr int kSquare = 85;  // a 75 x 75 cell and the 10 pixels it may move

class FloorWindow : public QWidget {
 public:
  enum class Repaint { whole, partial, none };

  explicit FloorWindow(Repaint repaint) : repaint_(repaint), picture_(kWidth, kHeight, QImage::Format_RGB32) {
    // A gradient, so the picture is no cheaper to copy than a real one.
    for (int y = 0; y < picture_.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(picture_.scanLine(y));
      for (int x = 0; x < picture_.width(); ++x) row[x] = qRgb(x / 2, y * 255 / 300, 153);
    }
    for (int i = 0; i < 5; ++i) squares_[i] = {QPoint(20 + 80 * i, 10 + 45 * i), QPoint(i % 2 ? -5 : 5, 2)};
    setWindowTitle(repaint == Repaint::partial ? QStringLiteral("Velmaro partial floor window")
                   : repaint == Repaint::none  ? QStringLiteral("Velmaro idle floor window")
                                               : QStringLiteral("Velmaro floor window"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(picture_.size());
    // The same timer kind and interval as the aquarium's animation.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &FloorWindow::Tick);
    timer_.start();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    // A plain rectangle at a time, as the aquarium paints: clipped to several
    // at once, the raster engine would blend span by span, on a thread pool.
    QPainter painter(this);
    for (const QRect& rect : event->region()) {
      painter.setClipRect(rect);
      painter.drawImage(rect, picture_, rect);
    }
  }

 private:
  struct Square {
    QPoint at, step;
  };

  void Tick() {
    if (repaint_ == Repaint::none) return;
    if (repaint_ == Repaint::whole) {
      update();
      return;
    }
    // Each square moves like a fish and bounces off the picture's edges.
    QRegion changed;
    for (Square& square : squares_) {
      square.at += square.step;
      if (square.at.x() < 0 || square.at.x() > kWidth - kSquare) square.step.rx() *= -1;
      if (square.at.y() < 0 || square.at.y() > kHeight - kSquare) square.step.ry() *= -1;
      changed += QRect(square.at, QSize(kSquare, kSquare));
    }
    update(changed);
  }

  Repaint repaint_;
  QImage picture_;
  std::array<Square, 5> squares_;
  QTimer timer_;
};

}  // namespace

int main(int argc, char** argv) {
  FloorWindow::Repaint repaint = FloorWindow::Repaint::whole;
  if (argc > 1 && std::strcmp(argv[1], "--partial") == 0) repaint = FloorWindow::Repaint::partial;
  if (argc > 1 && std::strcmp(argv[1], "--idle") == 0) repaint = FloorWindow::Repaint::none;
  // The aquarium's rounding policy, so both draw at the same scale.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  FloorWindow window(repaint);
  // Each program has a display of its own; the corner is as good as any.
  window.move(0, 0);
  window.show();
  return application.exec();
}
