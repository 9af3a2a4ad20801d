// Velmaro — the toolkit's floor: a window that only shows one 500 x 300
// picture and repaints it every 100 ms, as the aquarium does. Its CPU and
// memory are what any Qt widgets program of this kind costs at the least.
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class FloorWindow : public QWidget {
 public:
  FloorWindow() : picture_(500, 300, QImage::Format_RGB32) {
    // A gradient, so the picture is no cheaper to copy than a real one.
    for (int y = 0; y < picture_.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(picture_.scanLine(y));
      for (int x = 0; x < picture_.width(); ++x) row[x] = qRgb(x / 2, y * 255 / 300, 153);
    }
    setWindowTitle(QStringLiteral("Velmaro floor window"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(picture_.size());
    // The same timer kind and interval as the aquarium's animation.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    timer_.start();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_, event->rect());
  }

 private:
  QImage picture_;
  QTimer timer_;
};

}  // namespace

int main(int argc, char** argv) {
  // The aquarium's rounding policy, so both draw at the same scale.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  QApplication application(argc, argv);
  FloorWindow window;
  // The aquarium centres itself; the corner keeps the two from overlapping.
  window.move(0, 0);
  window.show();
  return application.exec();
}
