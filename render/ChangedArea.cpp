// Velmaro — where the view's image has changed since it was last shown.
#include "render/ChangedArea.h"

void ChangedArea::Cleared(qint64 backgroundKey) {
  building_.known = true;
  building_.backgroundKey = backgroundKey;
  building_.cells.clear();  // keeps its capacity: nothing is allocated per tick
}

void ChangedArea::Drawn(const QRect& cell) {
  const QRect inside = cell & frame_;
  if (!inside.isEmpty()) building_.cells.push_back(inside);
}

void ChangedArea::Shown(qint64 viewBefore, qint64 viewAfter) {
  const bool alike = building_.known && shown_.known && viewBefore == viewKey_ &&
                     building_.backgroundKey == shown_.backgroundKey;
  if (alike) {
    // Where the old frame's sprites were, the background shows again.
    pending_.insert(pending_.end(), shown_.cells.begin(), shown_.cells.end());
    pending_.insert(pending_.end(), building_.cells.begin(), building_.cells.end());
  } else {
    whole_ = true;
  }
  shown_ = building_;
  viewKey_ = viewAfter;
}

namespace {

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

QRegion ChangedArea::Take(qint64 view) {
  if (view != viewKey_) {
    // Written behind our back: what it holds is not known.
    shown_.known = false;
    viewKey_ = view;
    whole_ = true;
  }
  QRegion changed;
  if (whole_) {
    changed = frame_;
  } else {
    JoinOverlapping(pending_);
    for (const QRect& rect : pending_) changed += rect;
  }
  whole_ = false;
  pending_.clear();
  return changed;
}
