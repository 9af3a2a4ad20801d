// Velmaro — a picture surface shown in a window.
#include "window/PictureBox.h"

#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>

namespace {

// A screen reader takes a plain widget for an empty filler and passes over
// it; a picture is spoken, with its name and description.
QAccessibleInterface* MakeAccessiblePicture(const QString& className, QObject* object) {
  if (className != QLatin1String("PictureBox")) return nullptr;
  return new QAccessibleWidget(static_cast<PictureBox*>(object), QAccessible::Graphic);
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, PictureSurface& surface) : QWidget(parent), surface_(surface) {
  QAccessible::installFactory(MakeAccessiblePicture);
  // The image covers the whole box: nothing behind it needs painting.
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(surface_.width(), surface_.height());
}

void PictureBox::paintEvent(QPaintEvent* event) {
  // Whole pixels only: on a high-density screen each picture pixel becomes a
  // sharp block, never a blur.
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // One plain rectangle at a time: clipped to several at once, the raster
  // engine would blend the picture span by span, on a pool of threads.
  for (const QRect& rect : event->region()) {
    painter.setClipRect(rect);
    painter.drawImage(rect, surface_.image(), rect);
  }
}

void PictureBox::Refresh(const QRegion& changed) {
  if (!changed.isEmpty()) update(changed);
}
