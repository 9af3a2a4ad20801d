// Velmaro — the aquarium's pictures and the making of its frames.
#include "render/AquariumCanvas.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

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

const QRect kFrame(0, 0, kFrameWidth, kFrameHeight);

// Six fish and their bubbles draw 18 sprites a frame; a frame's old and new
// cells are twice that. Beyond this many, something other than ticks is
// drawing, and a whole repaint is cheaper than the bookkeeping.
constexpr std::size_t kMostCells = 64;

// Joins overlapping rectangles into their bounding one until none overlap: a
// fish's cells of two frames become one, and a handful of rectangles costs
// the window system far less than the many slices of their exact union.
void JoinOverlapping(std::vector<QRect>& rects) {
  for (std::size_t i = 0; i < rects.size();) {
    bool joined = false;
    for (std::size_t j = i + 1; j < rects.size(); ++j) {
      if (!rects[i].intersects(rects[j])) continue;
      rects[i] |= rects[j];
      rects[j] = rects.back();
      rects.pop_back();
      joined = true;
      break;
    }
    // A grown rectangle may now meet one it passed before.
    i = joined ? 0 : i + 1;
  }
}

}  // namespace

AquariumCanvas::AquariumCanvas()
    : view_(Loaded(pictures::kBackground)),
      work_(HiddenSurface()),
      back_(HiddenSurface()),
      pat_{Loaded(pictures::FishSheet(0)), Loaded(pictures::FishSheet(1)),
           Loaded(pictures::FishSheet(2)), Loaded(pictures::FishSheet(3))},
      awa_(Loaded(pictures::kBubbleSheet)) {
  // Noting a frame allocates nothing.
  noted_.reserve(kMostCells);
  owed_.reserve(kMostCells);
  shownCells_.reserve(kMostCells);
  changed_.reserve(kMostCells);
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

void AquariumCanvas::Draw(PictureSurface& target, const SpriteDraw& draw) {
  PictureSurface& sheet = draw.sheet == Sheet::awa ? awa_ : pat(static_cast<int>(draw.sheet));
  DrawMaskedSpriteInto(target, sheet, draw.x, draw.y, draw.w, draw.h, draw.srcX, draw.maskY);
}

void AquariumCanvas::DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w,
                                      std::int16_t h, std::int16_t srcX, std::int16_t maskY) {
  const SpriteDraw draw{sheet, x, y, w, h, srcX, maskY};
  if (workIsNoted_)
    noted_.push_back(draw);
  else
    Draw(work_, draw);
}

void AquariumCanvas::CopyFrame(Surface destination, Surface source) {
  // A tick's frame: the background, then its sprites, then onto the view.
  if (destination == Surface::work && source == Surface::back) {
    noted_.clear();  // keeps its capacity
    workIsNoted_ = true;
    return;
  }
  if (destination == Surface::suisou && source == Surface::work && workIsNoted_) {
    owed_ = noted_;  // within the reserve: no allocation
    viewOwed_ = true;
    if (seen_) Present();
    return;
  }
  CatchUp();
  CopyFrameInto(SurfaceNamed(destination), SurfaceNamed(source));
  // A new view or a new background: what the view shows is no longer known.
  if (destination == Surface::suisou || destination == Surface::back) viewKnown_ = false;
  if (destination == Surface::suisou) changedWhole_ = true;
}

void AquariumCanvas::Changed(const QRect& cell) {
  const QRect inside = cell & kFrame;
  if (inside.isEmpty()) return;
  if (changed_.size() < kMostCells)
    changed_.push_back(inside);
  else
    changedWhole_ = true;
}

// The view is the background plus the owed frame's sprites, whatever frame it
// showed before: where the old sprites were, the background shows again.
void AquariumCanvas::Present() {
  viewOwed_ = false;
  if (viewKnown_) {
    for (const QRect& cell : shownCells_) {
      CopyAreaInto(view_, back_, cell);
      Changed(cell);
    }
  } else {
    CopyFrameInto(view_, back_);
    changedWhole_ = true;
  }
  shownCells_.clear();
  for (const SpriteDraw& draw : owed_) {
    Draw(view_, draw);
    const QRect cell = QRect(draw.x, draw.y, draw.w, draw.h) & kFrame;
    if (!cell.isEmpty()) shownCells_.push_back(cell);
    Changed(cell);
  }
  viewKnown_ = shownCells_.size() < kMostCells;
}

// Before any other copy, the pictures are made as the ticks left them.
void AquariumCanvas::CatchUp() {
  if (viewOwed_) Present();
  if (!workIsNoted_) return;
  workIsNoted_ = false;
  CopyFrameInto(work_, back_);
  for (const SpriteDraw& draw : noted_) Draw(work_, draw);
}

// Only what differs from the frame on screen is repainted; the window system
// still asks for whole repaints when it needs them (exposure, a new scale).
void AquariumCanvas::Refresh() {
  if (!seen_) return;
  QRegion changed;
  if (changedWhole_) {
    changed = kFrame;
  } else {
    JoinOverlapping(changed_);
    for (const QRect& rect : changed_) changed += rect;
  }
  changedWhole_ = false;
  changed_.clear();
  if (show_ && !changed.isEmpty()) show_(changed);
}

void AquariumCanvas::SetSeen(bool seen) {
  seen_ = seen;
  if (seen && viewOwed_) {
    Present();
    Refresh();
  }
}
