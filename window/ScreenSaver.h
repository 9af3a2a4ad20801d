// Velmaro — the aquarium on its own, as a screen saver: no menu and no
// dialog, the picture enlarged in whole steps on black, in windows of the
// program's own or inside a window another program gives it.
#pragma once

#include <QImage>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

#include "render/AquariumCanvas.h"
#include "sim/Random.h"

// The frame as large as it goes into an area of `area` device pixels: the
// largest whole scale that fits, or, in an area smaller than the frame (a
// settings page's preview), the scale that just fits. Centred; at least one
// pixel each way.
QRect ScaledFrameArea(const QSize& area);

// Shows a picture of the frame's size at ScaledFrameArea of its own size,
// on black, and says when it has ended. A full-screen view has no frame and
// no cursor, stays on top and ends at a key, a click or a movement of the
// mouse; a view inside another's window ends only when closed.
class ScreenSaverView : public QWidget {
  Q_OBJECT

 public:
  ScreenSaverView(const PictureSurface& picture, bool fullScreen);

  // Repaints what changed, given in the picture's pixels.
  void Refresh(const QRegion& changed);
  // What Refresh repaints for those pixels, in Qt's pixels.
  QRegion AreaOf(const QRegion& changed) const;
  // Where the picture lies in the view, in Qt's pixels.
  QRectF PictureArea() const;

 signals:
  void ended();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void End();
  // The whole scale, in device pixels, at which the picture is shown; 0
  // where it is shown smaller.
  int WholeScale() const;
  // The picture as painted: enlarged_ brought up to date, or the picture
  // itself at scale 1 or below.
  const QImage& Shown();

  const PictureSurface& picture_;
  bool fullScreen_;
  // The picture enlarged to the whole scale, 2 or more, one pixel for each
  // device pixel (5.4 MB at 1920 x 1080): painting it is a plain copy, not
  // a scaling. Refresh enlarges what changed; any other change of the
  // picture, caught by its cache key, makes the next paint enlarge it whole.
  QImage enlarged_;
  qint64 enlargedFrom_ = 0;
  // Where the mouse was first seen: showing a window makes the system send
  // a movement or two of its own, which end nothing.
  std::optional<QPoint> mouseAt_;
};

// The aquarium's canvas and timers without the main window, shown in any
// number of views at once: full screen on every monitor, or in one window.
class ScreenSaver : public QObject {
  Q_OBJECT

 public:
  // Laid out, the fish seeded from Conf, the timers running.
  explicit ScreenSaver(RandomSource& random = ProgramRandom());
  ~ScreenSaver() override;

  // A view of the aquarium, kept as long as the screen saver, its native
  // window made with the flags given, if any.
  ScreenSaverView& AddView(bool fullScreen, Qt::WindowFlags flags = {});
  const std::vector<std::unique_ptr<ScreenSaverView>>& views() const { return views_; }
  AquariumCanvas& canvas() { return canvas_; }

  QTimer Timer1;  // 100 ms, animation
  QTimer Timer2;  // 2500 ms, behaviour

 signals:
  // A view ended: the screen saver is done.
  void ended();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  RandomSource& random_;
  AquariumCanvas canvas_;
  std::vector<std::unique_ptr<ScreenSaverView>> views_;
};
