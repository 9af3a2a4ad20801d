#include "render/Frame.h"

#include <gtest/gtest.h>

#include "assets/Pictures.h"

namespace {

PictureSurface Loaded(const QString& resource) {
  const QImage picture = pictures::LoadPicture(resource);
  return PictureSurface(picture.width(), picture.height(), Qt::gray, picture);
}

// What a masked drawing must give, worked out pixel by pixel: the cell's
// image wherever its mask is black, the old pixel elsewhere.
QImage Composed(QImage below, const QImage& sheet, int x, int y, int w, int h, int srcX,
                int maskY) {
  for (int cy = 0; cy < h; ++cy) {
    for (int cx = 0; cx < w; ++cx) {
      if (!below.rect().contains(x + cx, y + cy)) continue;
      if (qRed(sheet.pixel(srcX + cx, maskY + cy)) == 0)
        below.setPixel(x + cx, y + cy, sheet.pixel(srcX + cx, cy));
    }
  }
  return below;
}

class MaskedDrawing : public ::testing::Test {
 protected:
  PictureSurface work = Loaded(pictures::kBackground);
  PictureSurface red = Loaded(pictures::FishSheet(0));
  PictureSurface black = Loaded(pictures::FishSheet(2));
  PictureSurface bubbles = Loaded(pictures::kBubbleSheet);
  const QImage background = work.image();
};

TEST(MaskedDrawingRule, GivesTheOldPixelTheSpriteOrImageXorNotOld) {
  // Three cells of one pixel: white over white mask, a colour over a black
  // mask, and a colour over a white mask (which a sheet must never hold).
  QImage sheetImage(3, 2, QImage::Format_RGB32);
  const QRgb colour = qRgb(0xcc, 0x33, 0x00);
  sheetImage.setPixel(0, 0, qRgb(255, 255, 255));
  sheetImage.setPixel(1, 0, colour);
  sheetImage.setPixel(2, 0, colour);
  sheetImage.setPixel(0, 1, qRgb(255, 255, 255));
  sheetImage.setPixel(1, 1, qRgb(0, 0, 0));
  sheetImage.setPixel(2, 1, qRgb(255, 255, 255));
  PictureSurface sheet(3, 2, Qt::white, sheetImage);
  const QRgb below = qRgb(0x66, 0x99, 0x33);
  PictureSurface work(3, 1, QColor(below));

  for (std::int16_t cell = 0; cell < 3; ++cell) DrawMaskedSpriteInto(work, sheet, cell, 0, 1, 1, cell, 1);
  EXPECT_EQ(work.image().pixel(0, 0), below);
  EXPECT_EQ(work.image().pixel(1, 0), colour);
  EXPECT_EQ(work.image().pixel(2, 0), qRgb(0xcc ^ 0x99, 0x33 ^ 0x66, 0x00 ^ 0xcc));
}

TEST_F(MaskedDrawing, AFishShowsAloneOverTheBackgroundClippedAtEveryEdge) {
  struct Place {
    std::int16_t x, y;
  } places[] = {{200, 100}, {-9, 100}, {100, -11}, {460, 250}, {-50, -50}};
  for (const Place& p : places) {
    PictureSurface frame = work;
    DrawMaskedSpriteInto(frame, red, p.x, p.y, 75, 75, 150, 75);
    EXPECT_EQ(frame.image(), Composed(background, red.image(), p.x, p.y, 75, 75, 150, 75))
        << "fish at " << p.x << "," << p.y;
    EXPECT_NE(frame.image(), background) << "fish at " << p.x << "," << p.y;
  }
}

TEST_F(MaskedDrawing, ABubbleWhollyOutsideTheFrameChangesNothing) {
  for (const auto& [x, y] : {std::pair<std::int16_t, std::int16_t>{200, -30}, {200, -200}, {515, 75}}) {
    DrawMaskedSpriteInto(work, bubbles, x, y, 30, 30, 0, 30);
    DrawMaskedSpriteInto(work, bubbles, x, y, 30, 30, 30, 30);
    EXPECT_EQ(work.image(), background) << x << "," << y;
  }
  DrawMaskedSpriteInto(work, bubbles, 200, -15, 30, 30, 0, 30);
  DrawMaskedSpriteInto(work, bubbles, 200, -15, 30, 30, 30, 30);
  EXPECT_NE(work.image(), background) << "the lower half of the cluster still shows";
}

TEST_F(MaskedDrawing, TheLaterOfTwoOverlappingFishLiesOnTop) {
  DrawMaskedSpriteInto(work, red, 100, 100, 75, 75, 0, 75);
  DrawMaskedSpriteInto(work, black, 130, 110, 75, 75, 75, 75);
  const QImage expected = Composed(Composed(background, red.image(), 100, 100, 75, 75, 0, 75),
                                   black.image(), 130, 110, 75, 75, 75, 75);
  EXPECT_EQ(work.image(), expected);
}

TEST_F(MaskedDrawing, DrawingACellTwiceLooksLikeDrawingItOnce) {
  PictureSurface once = work;
  DrawMaskedSpriteInto(once, red, 40, 60, 75, 75, 75, 75);
  DrawMaskedSpriteInto(work, red, 40, 60, 75, 75, 75, 75);
  DrawMaskedSpriteInto(work, red, 40, 60, 75, 75, 75, 75);
  EXPECT_EQ(work.image(), once.image());
}

}  // namespace
