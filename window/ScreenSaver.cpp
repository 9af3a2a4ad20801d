// Velmaro — the aquarium on its own, as a screen saver.
#include "window/ScreenSaver.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "sim/Behaviour.h"
#include "sim/Tick.h"
#include "window/Form1.h"

namespace {

// Further than this, in pixels either way, the mouse was moved on purpose.
constexpr int kMouseSlack = 4;

}  // namespace

QRect ScaledFrameArea(const QSize& area) {
  const double fit = std::min(area.width() / double{kFrameWidth}, area.height() / double{kFrameHeight});
  const double scale = fit >= 1 ? std::floor(fit) : fit;
  const int width = std::max(1, static_cast<int>(std::lround(kFrameWidth * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(kFrameHeight * scale)));
  return QRect((area.width() - width) / 2, (area.height() - height) / 2, width, height);
}

ScreenSaverView::ScreenSaverView(const PictureSurface& picture, bool fullScreen)
    : picture_(picture), fullScreen_(fullScreen) {
  setWindowTitle(QStringLiteral("Velmaro"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (fullScreen) {
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setMouseTracking(true);
    setCursor(Qt::BlankCursor);
  }
}

QRectF ScreenSaverView::PictureArea() const {
  const qreal ratio = devicePixelRatioF();
  const QRect device = ScaledFrameArea((QSizeF(size()) * ratio).toSize());
  return QRectF(QPointF(device.topLeft()) / ratio, QSizeF(device.size()) / ratio);
}

void ScreenSaverView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRectF picture = PictureArea();
  // Enlarged in whole steps, each pixel a sharp block; made smaller for a
  // preview, smoothly.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, picture.width() * devicePixelRatioF() < kFrameWidth);
  // One plain rectangle at a time, as the main window paints.
  for (const QRect& rect : event->region()) {
    painter.setClipRect(rect);
    if (!picture.contains(QRectF(rect))) painter.fillRect(rect, Qt::black);
    painter.drawImage(picture, picture_.image());
  }
}

void ScreenSaverView::Refresh(const QRegion& changed) {
  const QRectF picture = PictureArea();
  const qreal scaleX = picture.width() / picture_.width(), scaleY = picture.height() / picture_.height();
  for (const QRect& rect : changed) {
    update(QRectF(picture.x() + rect.x() * scaleX, picture.y() + rect.y() * scaleY, rect.width() * scaleX,
                  rect.height() * scaleY).toAlignedRect());
  }
}

void ScreenSaverView::keyPressEvent(QKeyEvent* event) {
  if (fullScreen_) End();
  event->accept();
}

void ScreenSaverView::mousePressEvent(QMouseEvent* event) {
  if (fullScreen_) End();
  event->accept();
}

void ScreenSaverView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->globalPosition().toPoint();
  if (!mouseAt_) mouseAt_ = at;
  const QPoint moved = at - *mouseAt_;
  if (fullScreen_ && std::max(std::abs(moved.x()), std::abs(moved.y())) > kMouseSlack) End();
  event->accept();
}

void ScreenSaverView::closeEvent(QCloseEvent* event) {
  End();
  event->accept();
}

void ScreenSaverView::End() { emit ended(); }

ScreenSaver::ScreenSaver(RandomSource& random) : random_(random) {
  canvas_.LayOut();
  canvas_.ShowWith([this](const QRegion& changed) {
    for (const auto& view : views_) view->Refresh(changed);
  });
  connect(&Timer1, &QTimer::timeout, this, [this] { StepAquarium(canvas_, canvas_, random_); });
  connect(&Timer2, &QTimer::timeout, this, [this] { StepBehaviour(random_); });
  SeedFish(canvas_, random_);
  StartAquariumTimers(Timer1, Timer2);
}

ScreenSaver::~ScreenSaver() = default;

ScreenSaverView& ScreenSaver::AddView(bool fullScreen, Qt::WindowFlags flags) {
  auto& view = *views_.emplace_back(std::make_unique<ScreenSaverView>(canvas_.view(), fullScreen));
  connect(&view, &ScreenSaverView::ended, this, &ScreenSaver::ended);
  if (flags) view.setWindowFlags(flags);
  view.winId();
  view.windowHandle()->installEventFilter(this);
  return view;
}

// Nothing is drawn while no view can be seen: the display locked or off.
bool ScreenSaver::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose) {
    canvas_.SetSeen(std::any_of(views_.begin(), views_.end(), [](const auto& view) {
      return view->windowHandle() && view->windowHandle()->isExposed();
    }));
  }
  return QObject::eventFilter(watched, event);
}
