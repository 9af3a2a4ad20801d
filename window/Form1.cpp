// Velmaro — the main window.
#include "window/Form1.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QShortcut>
#include <QWindow>

#include <utility>

#include "assets/Pictures.h"
#include "sim/Behaviour.h"
#include "sim/Tick.h"

namespace {

void StartTimer(QTimer& timer, int intervalMs) {
  // Precise timers keep the 100 ms rhythm; coarse ones drift to about 101 ms.
  timer.setTimerType(Qt::PreciseTimer);
  timer.setInterval(intervalMs);
  timer.start();
}

}  // namespace

void StartAquariumTimers(QTimer& animation, QTimer& behaviour) {
  StartTimer(animation, 100);
  StartTimer(behaviour, 2500);
}

Form1::Form1(RandomSource& random) : random_(random) {
  setWindowTitle(QStringLiteral("Velmaro"));
  setWindowIcon(pictures::ProgramIcon());

  auto* client = new QWidget(this);
  setCentralWidget(client);
  suisou_ = new PictureBox(client, canvas_.view());
  suisou_->setAccessibleName(QStringLiteral("金魚の水槽"));
  suisou_->setAccessibleDescription(QStringLiteral("金魚が泳いでいます"));
  canvas_.ShowWith([this](const QRegion& changed) { suisou_->Refresh(changed); });

  // The full-width ampersand is an ordinary character, not an access key.
  mnuSet = menuBar()->addMenu(QStringLiteral("設定"));
  mnuSetSyu = mnuSet->addAction(QStringLiteral("数＆種類"));
  // F10 reaches the menu bar, as on most desktops: 設定 drops down with its
  // one item ready for Return. The captions keep no access key.
  connect(new QShortcut(Qt::Key_F10, this), &QShortcut::activated, this, [this] {
    menuBar()->setActiveAction(mnuSet->menuAction());
    mnuSet->setActiveAction(mnuSetSyu);
  });

  connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  connect(&Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
  StartAquariumTimers(Timer1, Timer2);

  resize(400, 260);  // design size; the start-up layout sets the real one
}

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

bool Form1::event(QEvent* event) {
  // The native window comes and goes with the widget's; each new one is watched.
  if (event->type() == QEvent::WinIdChange && windowHandle()) windowHandle()->installEventFilter(this);
  return QMainWindow::event(event);
}

// Minimised, on another desktop or hidden, the window is not exposed and the
// canvas draws nothing. The filter runs before the window repaints for the
// exposure, so the repaint already shows the latest frame.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose && watched == windowHandle())
    canvas_.SetSeen(windowHandle()->isExposed());
  return QMainWindow::eventFilter(watched, event);
}

void Form1::Timer1_Timer() { StepAquarium(*this, canvas_, random_); }

void Form1::Timer2_Timer() { StepBehaviour(random_); }
