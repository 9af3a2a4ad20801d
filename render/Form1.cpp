// Velmaro — the main window.
#include "render/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPalette>
#include <QShortcut>

#include <algorithm>
#include <utility>

#include "assets/Pictures.h"
#include "render/Frame.h"
#include "sim/Behaviour.h"
#include "sim/Tick.h"

namespace {

constexpr int kAnimationIntervalMs = 100;
constexpr int kBehaviourIntervalMs = 2500;

// Where the window shows through before layout; never seen afterwards.
QColor WindowBackground() { return QApplication::palette().color(QPalette::Window); }

// The hidden frame buffer and background start light grey until laid out.
PictureSurface HiddenSurface() { return PictureSurface(32, 32, QColor(192, 192, 192)); }

PictureSurface LoadedSheet(const QString& resource) {
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

Form1::Form1(RandomSource& random)
    : random_(random),
      work_(HiddenSurface()),
      back_(HiddenSurface()),
      pat_{LoadedSheet(pictures::FishSheet(0)), LoadedSheet(pictures::FishSheet(1)),
           LoadedSheet(pictures::FishSheet(2)), LoadedSheet(pictures::FishSheet(3))},
      awa_(LoadedSheet(pictures::kBubbleSheet)),
      changes_(QRect(0, 0, kFrameWidth, kFrameHeight)) {
  setWindowTitle(QStringLiteral("Velmaro"));
  setWindowIcon(pictures::ProgramIcon());

  auto* client = new QWidget(this);
  setCentralWidget(client);
  suisou_ = new PictureBox(client, WindowBackground(),
                           pictures::LoadPicture(pictures::kBackground));

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

PictureSurface& Form1::SurfaceNamed(Surface name) {
  switch (name) {
    case Surface::suisou:
      return suisou_->surface();
    case Surface::back:
      return back_;
    case Surface::work:
      break;
  }
  return work_;
}

void Form1::DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w,
                             std::int16_t h, std::int16_t srcX, std::int16_t maskY) {
  PictureSurface& source = sheet == Sheet::awa ? awa_ : pat(static_cast<int>(sheet));
  DrawMaskedSpriteInto(work_, source, x, y, w, h, srcX, maskY);
  changes_.Drawn(QRect(x, y, w, h));
}

// Showing the finished frame hands its pixels to the view instead of copying
// them: the view then holds exactly the same 500 x 300 picture, at no cost.
bool Form1::ShareFinishedFrame() {
  PictureSurface& view = suisou_->surface();
  if (view.image().size() != work_.image().size()) return false;
  spare_frame_ = view.ReplaceImage(work_.image());
  return true;
}

// The frame buffer still shares its pixels with the view, and writing into it
// would first copy them; the view's previous frame, which nothing else holds,
// serves instead, since the whole frame is about to be overwritten.
void Form1::TakeSpareFrame() {
  if (work_.image().isDetached() || !spare_frame_.isDetached() ||
      spare_frame_.size() != work_.image().size())
    return;
  work_.ReplaceImage(std::exchange(spare_frame_, QImage()));
}

void Form1::CopyFrame(Surface destination, Surface source) {
  if (destination == Surface::suisou && source == Surface::work) {
    const qint64 before = suisou_->image().cacheKey();
    if (!ShareFinishedFrame()) CopyFrameInto(suisou_->surface(), work_);
    changes_.Shown(before, suisou_->image().cacheKey());
    return;
  }
  if (destination == Surface::work && source != Surface::work) TakeSpareFrame();
  CopyFrameInto(SurfaceNamed(destination), SurfaceNamed(source));
  if (destination != Surface::work) return;  // the view's or the background's key tells
  if (source == Surface::back)
    changes_.Cleared(back_.image().cacheKey());
  else
    changes_.Scrambled();
}

// Only what differs from the frame on screen is repainted; the window system
// still asks for whole repaints when it needs them (exposure, a new scale).
void Form1::Refresh() { suisou_->Refresh(changes_.Take(suisou_->image().cacheKey())); }

void Form1::Timer1_Timer() { StepAquarium(*this, *this, random_); }

void Form1::Timer2_Timer() { StepBehaviour(random_); }
