// Velmaro — the aquarium's pictures and the making of its frames, with no
// window: the view's image, the frame buffer, the clean background and the
// sprite sheets, and what the view needs repainted after each frame.
#pragma once

#include <QRegion>

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "render/ChangedArea.h"
#include "render/PictureSurface.h"
#include "sim/Aquarium.h"
#include "sim/Surfaces.h"

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
  // Hands the part of the view that differs from what was last shown to the
  // function given to ShowWith; without one, it is only forgotten.
  void Refresh() override;

  // Where Refresh sends what must be repainted, in the view's pixels.
  void ShowWith(std::function<void(const QRegion&)> show) { show_ = std::move(show); }

  // Whether anyone can see the view. While no one can, the frames are only
  // noted, not drawn, and nothing is repainted; the ticks go on all the same.
  // Seen again, the view first takes the latest whole frame and hands it to
  // the function given to ShowWith.
  void SetSeen(bool seen);
  bool seen() const { return seen_; }

 private:
  // One masked draw, as asked for.
  struct SpriteDraw {
    Sheet sheet;
    std::int16_t x, y, w, h, srcX, maskY;
    bool operator==(const SpriteDraw&) const = default;
  };

  PictureSurface& SurfaceNamed(Surface name);
  bool ShareFinishedFrame();
  void TakeSpareFrame();
  void CopyFrameNow(Surface destination, Surface source);
  void DrawNow(const SpriteDraw& draw);
  void Compose(const std::vector<SpriteDraw>& draws);
  void CatchUp();

  PictureSurface view_;
  PictureSurface work_;
  PictureSurface back_;
  std::array<PictureSurface, 4> pat_;
  PictureSurface awa_;
  QImage spare_frame_;   // the view's previous frame, to be the next one's buffer
  ChangedArea changes_;  // what Refresh must put on screen
  std::function<void(const QRegion&)> show_;

  bool seen_ = true;
  // Owed while unseen: the buffer is the background plus building_, and the
  // view the background plus finished_, neither drawn yet.
  std::vector<SpriteDraw> building_;
  std::vector<SpriteDraw> finished_;
  bool building_owed_ = false;
  bool finished_owed_ = false;
};
