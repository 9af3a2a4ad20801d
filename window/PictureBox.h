// Velmaro — a picture surface shown in a window; the surface belongs to
// whoever draws into it and outlives the box.
#pragma once

#include <QWidget>

#include "render/PictureSurface.h"

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  PictureBox(QWidget* parent, PictureSurface& surface);

  const QImage& image() const { return surface_.image(); }

  // Shows the image as it is now, given where it differs from what the
  // window shows. Drawing through hDC alone changes nothing on screen, so a
  // half-built frame is never seen.
  void Refresh(const QRegion& changed);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PictureSurface& surface_;
};
