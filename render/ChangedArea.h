// Velmaro — where the view's image has changed since it was last shown.
#pragma once

#include <QRect>
#include <QRegion>

#include <vector>

// Every frame is the clean background with sprites drawn over it, so two
// frames built on the same background differ at most inside the cells of
// their sprites. Anything else that writes the buffer or the view, or a new
// background, makes the next showing whole. Images are told apart by
// QImage::cacheKey(), which changes whenever an image is written.
class ChangedArea {
 public:
  explicit ChangedArea(const QRect& frame) : frame_(frame) {}

  // The buffer has just been filled with the background whose key is given.
  void Cleared(qint64 backgroundKey);
  // A sprite cell went into the buffer; what lies outside the frame is dropped.
  void Drawn(const QRect& cell);
  // The buffer was written in some other way.
  void Scrambled() { building_.known = false; }
  // The buffer went onto the view, whose key was viewBefore and is now viewAfter.
  void Shown(qint64 viewBefore, qint64 viewAfter);

  // What the window must repaint so that it shows the view's image with the
  // key given: a few rectangles that do not overlap. It starts again from
  // nothing.
  QRegion Take(qint64 view);

 private:
  struct Frame {
    bool known = false;  // the background whose key is below, plus cells
    qint64 backgroundKey = 0;
    std::vector<QRect> cells;
  };

  QRect frame_;
  Frame building_;     // what the buffer holds
  Frame shown_;        // what the view holds
  qint64 viewKey_ = 0; // the view's key when it took shown_
  bool whole_ = false;
  std::vector<QRect> pending_;
};
