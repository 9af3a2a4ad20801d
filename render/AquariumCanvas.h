// Velmaro — the aquarium's pictures and the making of its frames, with no
// window: the view's image, the frame buffer, the clean background and the
// sprite sheets, and what the view needs repainted after each frame.
#pragma once

#include <QRect>
#include <QRegion>

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "render/PictureSurface.h"
#include "sim/Aquarium.h"
#include "sim/Surfaces.h"

// Every frame a tick makes is the clean background with sprites drawn over
// it. So a tick's frame is kept as the list of its sprite draws, and put on
// the view only while someone can see it: the cells of the sprites the view
// shows go back to the background, and the new sprites are drawn. What the
// window repaints is those cells, old and new. Any other copy is made at
// once, pixel by pixel, and the next showing is whole.
class AquariumCanvas : public AquariumSurfaces, public AquariumWindow {
 public:
  // As loaded: the view holds the background picture and the sheets theirs,
  // on the desktop's window colour; work and back are light grey and small
  // until laid out. Needs a QGuiApplication.
  AquariumCanvas();

  // The view's image, which the window shows. While the view is unseen it
  // may still hold an earlier frame.
  PictureSurface& view() { return view_; }
  // The off-screen frame buffer and the clean background.
  PictureSurface& work() { return work_; }
  PictureSurface& back() { return back_; }
  // Fish sheets 0-3 (red right, red left, black right, black left); an index
  // outside 0-3 gets the nearest sheet.
  PictureSurface& pat(int index);
  PictureSurface& awa() { return awa_; }

  // Sizes the view, work and back to the whole frame and copies the
  // background picture from the view into back, once, before any drawing.
  void LayOut();

  // The picture area the fish swim in: the view's size, in pixels.
  float ScaleWidth() const override { return static_cast<float>(view_.width()); }
  float ScaleHeight() const override { return static_cast<float>(view_.height()); }

  void DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w,
                        std::int16_t h, std::int16_t srcX, std::int16_t maskY) override;
  void CopyFrame(Surface destination, Surface source) override;
  // Hands the part of the view that changed since it was last shown to the
  // function given to ShowWith.
  void Refresh() override;

  // Where Refresh sends what must be repainted, in the view's pixels.
  void ShowWith(std::function<void(const QRegion&)> show) { show_ = std::move(show); }

  // Whether anyone can see the view. While no one can, frames are only
  // noted, and nothing is drawn or repainted; the ticks go on all the same.
  // Seen again, the view first takes the latest frame.
  void SetSeen(bool seen);
  bool seen() const { return seen_; }

 private:
  struct SpriteDraw {
    Sheet sheet;
    std::int16_t x, y, w, h, srcX, maskY;
  };

  PictureSurface& SurfaceNamed(Surface name);
  void Draw(PictureSurface& target, const SpriteDraw& draw);
  void Present();
  void CatchUp();
  void Changed(const QRect& cell);

  PictureSurface view_;
  PictureSurface work_;
  PictureSurface back_;
  std::array<PictureSurface, 4> pat_;
  PictureSurface awa_;
  std::function<void(const QRegion&)> show_;
  bool seen_ = true;

  // Work is the background plus these draws, none made yet.
  bool workIsNoted_ = false;
  std::vector<SpriteDraw> noted_;
  // The view is owed this frame: the background plus these draws.
  bool viewOwed_ = false;
  std::vector<SpriteDraw> owed_;
  // The view is the background plus sprites in these cells, when known.
  bool viewKnown_ = false;
  std::vector<QRect> shownCells_;
  // What Refresh hands on: these cells, or the whole frame.
  bool changedWhole_ = true;
  std::vector<QRect> changed_;
};
