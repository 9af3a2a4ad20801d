// Velmaro — placing and sizing windows in twips.
#include "window/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "sim/Int16.h"
#include "sim/State.h"

int TwipsToPixels(double twips, std::int16_t twipsPerPixel) {
  return Nearest16(twips / twipsPerPixel);
}

double OuterWidth(const QWidget& w) { return static_cast<double>(TwipX) * w.frameGeometry().width(); }
double OuterHeight(const QWidget& w) { return static_cast<double>(TwipY) * w.frameGeometry().height(); }

void SetOuterWidth(QWidget& w, double twips) {
  const int frame = w.frameGeometry().width() - w.width();
  w.resize(TwipsToPixels(twips, TwipX) - frame, w.height());
}

void SetOuterHeight(QWidget& w, double twips) {
  const int frame = w.frameGeometry().height() - w.height();
  w.resize(w.width(), TwipsToPixels(twips, TwipY) - frame);
}

void CentreOnScreen(QWidget& w, const QScreen* on) {
  const QRect screen = (on ? on : QGuiApplication::primaryScreen())->geometry();
  const double top = (static_cast<double>(TwipY) * screen.height() - OuterHeight(w)) / 2;
  const double left = (static_cast<double>(TwipX) * screen.width() - OuterWidth(w)) / 2;
  w.move(screen.x() + TwipsToPixels(left, TwipX), screen.y() + TwipsToPixels(top, TwipY));
}

namespace {

class FramePlacing : public QObject {
 public:
  FramePlacing(QWidget& window, std::function<void()> place)
      : QObject(&window), window_(window), place_(std::move(place)) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Move &&
        window_.frameGeometry().size() != window_.geometry().size()) {
      window_.removeEventFilter(this);
      place_();
      deleteLater();
    }
    return false;
  }

 private:
  QWidget& window_;
  std::function<void()> place_;
};

}  // namespace

void PlaceAgainOnceFramed(QWidget& window, std::function<void()> place) {
  new FramePlacing(window, std::move(place));
}

void CentreAgainOnceFramed(QWidget& window, const QScreen* screen) {
  // A screen unplugged meanwhile leaves the primary one.
  PlaceAgainOnceFramed(window, [&window, on = QPointer<const QScreen>(screen)] { CentreOnScreen(window, on); });
}
