// Velmaro — the aquarium's pictures and the making of its frames.
#include "render/AquariumCanvas.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <utility>

#include "assets/Pictures.h"
#include "render/Frame.h"

namespace {

// Around a picture smaller than its surface; never seen once laid out.
QColor WindowColour() { return QGuiApplication::palette().color(QPalette::Window); }

// The hidden frame buffer and background start light grey until laid out.
PictureSurface HiddenSurface() { return PictureSurface(32, 32, QColor(192, 192, 192)); }

PictureSurface Loaded(const QString& resource) {
  const QImage picture = pictures::LoadPicture(resource);
  return PictureSurface(picture.width(), picture.height(), WindowColour(), picture);
}

}  // namespace

AquariumCanvas::AquariumCanvas()
    : view_(Loaded(pictures::kBackground)),
      work_(HiddenSurface()),
      back_(HiddenSurface()),
      pat_{Loaded(pictures::FishSheet(0)), Loaded(pictures::FishSheet(1)),
           Loaded(pictures::FishSheet(2)), Loaded(pictures::FishSheet(3))},
      awa_(Loaded(pictures::kBubbleSheet)),
      changes_(QRect(0, 0, kFrameWidth, kFrameHeight)) {
  // Six fish and their bubbles draw 18 sprites: noting a frame allocates nothing.
  building_.reserve(32);
  finished_.reserve(32);
}

PictureSurface& AquariumCanvas::pat(int index) { return pat_[std::clamp(index, 0, 3)]; }

void AquariumCanvas::LayOut() {
  CatchUp();
  view_.Resize(kFrameWidth, kFrameHeight);
  work_.Resize(kFrameWidth, kFrameHeight);
  back_.Resize(kFrameWidth, kFrameHeight);
  CopyFrame(Surface::back, Surface::suisou);
}

PictureSurface& AquariumCanvas::SurfaceNamed(Surface name) {
  switch (name) {
    case Surface::suisou:
      return view_;
    case Surface::back:
      return back_;
    case Surface::work:
      break;
  }
  return work_;
}

void AquariumCanvas::DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w,
                                      std::int16_t h, std::int16_t srcX, std::int16_t maskY) {
  const SpriteDraw draw{sheet, x, y, w, h, srcX, maskY};
  if (building_owed_)
    building_.push_back(draw);
  else
    DrawNow(draw);
}

void AquariumCanvas::DrawNow(const SpriteDraw& draw) {
  PictureSurface& source = draw.sheet == Sheet::awa ? awa_ : pat(static_cast<int>(draw.sheet));
  DrawMaskedSpriteInto(work_, source, draw.x, draw.y, draw.w, draw.h, draw.srcX, draw.maskY);
  changes_.Drawn(QRect(draw.x, draw.y, draw.w, draw.h));
}

// Showing the finished frame hands its pixels to the view instead of copying
// them: the view then holds exactly the same picture, at no cost.
bool AquariumCanvas::ShareFinishedFrame() {
  if (view_.image().size() != work_.image().size()) return false;
  spare_frame_ = view_.ReplaceImage(work_.image());
  return true;
}

// The frame buffer still shares its pixels with the view, and writing into it
// would first copy them; the view's previous frame, which nothing else holds,
// serves instead, since the whole frame is about to be overwritten.
void AquariumCanvas::TakeSpareFrame() {
  if (work_.image().isDetached() || !spare_frame_.isDetached() ||
      spare_frame_.size() != work_.image().size())
    return;
  work_.ReplaceImage(std::exchange(spare_frame_, QImage()));
}

// Unseen, a frame is the background and a few sprites: noting them is all a
// tick needs to do. Any other copy is rare, and first brings the pictures up
// to date.
void AquariumCanvas::CopyFrame(Surface destination, Surface source) {
  if (!seen_ && destination == Surface::work && source == Surface::back) {
    building_.clear();
    building_owed_ = true;
    return;
  }
  if (building_owed_ && destination == Surface::suisou && source == Surface::work) {
    finished_ = building_;  // within the reserve: no allocation
    finished_owed_ = true;
    return;
  }
  CatchUp();
  CopyFrameNow(destination, source);
}

void AquariumCanvas::CopyFrameNow(Surface destination, Surface source) {
  if (destination == Surface::suisou && source == Surface::work) {
    const qint64 before = view_.image().cacheKey();
    if (!ShareFinishedFrame()) CopyFrameInto(view_, work_);
    changes_.Shown(before, view_.image().cacheKey());
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
void AquariumCanvas::Refresh() {
  if (finished_owed_) return;  // no one sees the view, and it is behind
  const QRegion changed = changes_.Take(view_.image().cacheKey());
  if (show_) show_(changed);
}

void AquariumCanvas::Compose(const std::vector<SpriteDraw>& draws) {
  CopyFrameNow(Surface::work, Surface::back);
  for (const SpriteDraw& draw : draws) DrawNow(draw);
}

// The view first, so that it holds the latest finished frame; then the
// buffer, unless it already holds what it owes.
void AquariumCanvas::CatchUp() {
  const bool composed = finished_owed_;
  if (finished_owed_) {
    finished_owed_ = false;
    Compose(finished_);
    CopyFrameNow(Surface::suisou, Surface::work);
  }
  if (building_owed_) {
    building_owed_ = false;
    if (!composed || building_ != finished_) Compose(building_);
  }
}

void AquariumCanvas::SetSeen(bool seen) {
  seen_ = seen;
  if (!seen) return;
  const bool behind = finished_owed_;
  CatchUp();
  if (behind) Refresh();
}
