// Velmaro — the main window.
#include "render/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>

#include <algorithm>

#include "assets/Pictures.h"

namespace {

constexpr int kAnimationIntervalMs = 100;
constexpr int kBehaviourIntervalMs = 2500;

// Where the window shows through before layout; never seen afterwards.
QColor WindowBackground() { return QApplication::palette().color(QPalette::Window); }

// The hidden frame buffer and background start light grey until laid out.
PictureSurface HiddenSurface() { return PictureSurface(32, 32, QColor(192, 192, 192)); }

PictureSurface Sheet(const QString& resource) {
  const QImage picture = pictures::LoadPicture(resource);
  return PictureSurface(picture.width(), picture.height(), WindowBackground(), picture);
}

void StartTimer(QTimer& timer, int intervalMs) {
  // Precise timers keep the 100 ms rhythm; coarse ones drift to about 101 ms.
  timer.setTimerType(Qt::PreciseTimer);
  timer.setInterval(intervalMs);
  timer.start();
}

}  // namespace

Form1::Form1()
    : work_(HiddenSurface()),
      back_(HiddenSurface()),
      pat_{Sheet(pictures::FishSheet(0)), Sheet(pictures::FishSheet(1)),
           Sheet(pictures::FishSheet(2)), Sheet(pictures::FishSheet(3))},
      awa_(Sheet(pictures::kBubbleSheet)) {
  setWindowTitle(QStringLiteral("Velmaro"));
  setWindowIcon(QIcon(QPixmap::fromImage(pictures::LoadPicture(pictures::kIcon))));

  auto* client = new QWidget(this);
  setCentralWidget(client);
  suisou_ = new PictureBox(client, WindowBackground(),
                           pictures::LoadPicture(pictures::kBackground));

  // The full-width ampersand is an ordinary character, not an access key.
  mnuSet = menuBar()->addMenu(QStringLiteral("設定"));
  mnuSetSyu = mnuSet->addAction(QStringLiteral("数＆種類"));

  connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  connect(&Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
  StartTimer(Timer1, kAnimationIntervalMs);
  StartTimer(Timer2, kBehaviourIntervalMs);

  resize(400, 260);  // design size; the start-up layout sets the real one
}

PictureSurface& Form1::pat(int index) { return pat_[std::clamp(index, 0, 3)]; }

QSize Form1::ScaleSize() const {
  // A hidden window lays out its children only when shown; settle them now
  // so that the start-up layout reads the area it is about to size.
  if (!isVisible() && layout()) {
    layout()->invalidate();
    layout()->activate();
  }
  return centralWidget()->size();
}

float Form1::ScaleWidth() const { return static_cast<float>(ScaleSize().width()); }
float Form1::ScaleHeight() const { return static_cast<float>(ScaleSize().height()); }

void Form1::SetUnloadHandler(std::function<void(std::int16_t&)> handler) {
  unload_handler_ = std::move(handler);
}

void Form1::closeEvent(QCloseEvent* event) {
  // No tick may run between the start of unloading and the window's end.
  Timer1.stop();
  Timer2.stop();
  std::int16_t cancel = 0;
  if (unload_handler_) unload_handler_(cancel);
  if (cancel != 0) {
    Timer1.start();
    Timer2.start();
    event->ignore();
    return;
  }
  event->accept();
}

void Form1::Timer1_Timer() {}

void Form1::Timer2_Timer() {}
