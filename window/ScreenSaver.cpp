// Velmaro — the aquarium on its own, as a screen saver.
#include "window/ScreenSaver.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "render/RasterCopy.h"
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

int ScreenSaverView::WholeScale() const {
  const QSize picture = picture_.image().size();
  const QSize area = ScaledFrameArea((QSizeF(size()) * devicePixelRatioF()).toSize()).size();
  const int scale = area.width() / std::max(1, picture.width());
  return scale >= 1 && area == picture * scale ? scale : 0;
}

const QImage& ScreenSaverView::Shown() {
  const int scale = WholeScale();
  if (scale < 2) {
    enlarged_ = QImage();
    return picture_.image();
  }
  const QImage& picture = picture_.image();
  if (enlarged_.size() != picture.size() * scale || enlargedFrom_ != picture.cacheKey()) {
    if (enlarged_.size() != picture.size() * scale) enlarged_ = QImage(picture.size() * scale, QImage::Format_RGB32);
    if (!raster::StretchBlt(&enlarged_, 0, 0, enlarged_.width(), enlarged_.height(), &picture, 0, 0,
                            picture.width(), picture.height(), raster::SrcCopy)) {
      enlarged_ = QImage();
      return picture;
    }
    enlargedFrom_ = picture.cacheKey();
  }
  // The picture's area in Qt's pixels, one image pixel to each device pixel.
  enlarged_.setDevicePixelRatio(devicePixelRatioF());
  return enlarged_;
}

void ScreenSaverView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRectF picture = PictureArea();
  const QImage& shown = Shown();
  // Enlarged in whole steps, each pixel a sharp block; made smaller for a
  // preview, smoothly.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, picture.width() * devicePixelRatioF() < kFrameWidth);
  // Black only around the picture: under it, the fill would cost as much
  // again as the picture. A pixel the picture covers only in part (at a
  // fractional display scale) gets black first, the picture over it.
  const QRect inside(QPoint(static_cast<int>(std::ceil(picture.left())), static_cast<int>(std::ceil(picture.top()))),
                     QPoint(static_cast<int>(std::floor(picture.right())) - 1,
                            static_cast<int>(std::floor(picture.bottom())) - 1));
  // One plain rectangle at a time, as the main window paints.
  for (const QRect& rect : event->region()) {
    painter.setClipRect(rect);
    if (!inside.contains(rect)) {
      for (const QRect& around : QRegion(rect).subtracted(inside)) painter.fillRect(around, Qt::black);
    }
    painter.drawImage(picture, shown);
  }
}

void ScreenSaverView::Refresh(const QRegion& changed) {
  if (changed.isEmpty()) return;
  // The canvas hands on every change of the picture: enlarging what
  // changed brings the whole enlargement up to date.
  const int scale = WholeScale();
  const QImage& picture = picture_.image();
  if (scale >= 2 && enlarged_.size() == picture.size() * scale) {
    for (const QRect& rect : changed) {
      raster::StretchBlt(&enlarged_, rect.x() * scale, rect.y() * scale, rect.width() * scale, rect.height() * scale,
                         &picture, rect.x(), rect.y(), rect.width(), rect.height(), raster::SrcCopy);
    }
    enlargedFrom_ = picture.cacheKey();
  }
  update(AreaOf(changed));
}

QRegion ScreenSaverView::AreaOf(const QRegion& changed) const {
  const QRectF picture = PictureArea();
  const qreal scaleX = picture.width() / picture_.width(), scaleY = picture.height() / picture_.height();
  QRegion area;
  for (const QRect& rect : changed) {
    area += QRectF(picture.x() + rect.x() * scaleX, picture.y() + rect.y() * scaleY, rect.width() * scaleX,
                   rect.height() * scaleY).toAlignedRect();
  }
  return area;
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
