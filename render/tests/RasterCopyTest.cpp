#include "render/RasterCopy.h"

#include <gtest/gtest.h>

namespace {

using namespace raster;

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// A source whose every pixel is different, so a misplaced copy shows.
QImage Numbered(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x, y, (x * 7 + y) & 0xff));
  return image;
}

TEST(BitBlt, TheThreeOperationsCombineEveryColourBit) {
  const QRgb s = qRgb(0x12, 0xf0, 0x5a);
  const QRgb d = qRgb(0x34, 0x0f, 0xff);
  struct Case {
    std::uint32_t rop;
    QRgb expected;
  } cases[] = {
      {SrcCopy, s},
      {SrcErase, qRgb(0x12 & ~0x34 & 0xff, 0xf0 & ~0x0f & 0xff, 0x5a & ~0xff & 0xff)},
      {SrcInvert, qRgb(0x12 ^ 0x34, 0xf0 ^ 0x0f, 0x5a ^ 0xff)},
  };
  for (const Case& c : cases) {
    QImage source = Filled(4, 4, s);
    QImage dest = Filled(4, 4, d);
    ASSERT_TRUE(BitBlt(&dest, 0, 0, 4, 4, &source, 0, 0, c.rop));
    EXPECT_EQ(dest.pixel(2, 3), c.expected) << std::hex << c.rop;
    EXPECT_EQ(qAlpha(dest.pixel(2, 3)), 255) << "pixels stay opaque";
  }
}

TEST(BitBlt, CopiesARectangleToItsPlaceAndNothingElse) {
  QImage source = Numbered(40, 40);
  QImage dest = Filled(50, 50, qRgb(1, 2, 3));
  BitBlt(&dest, 10, 20, 5, 6, &source, 30, 31, SrcCopy);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 50; ++x) {
      const bool inside = x >= 10 && x < 15 && y >= 20 && y < 26;
      const QRgb expected = inside ? source.pixel(x - 10 + 30, y - 20 + 31) : qRgb(1, 2, 3);
      ASSERT_EQ(dest.pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST(BitBlt, ClipsAtEveryEdgeKeepingPixelsInPlace) {
  const QImage source = Numbered(75, 75);
  struct Case {
    int x, y;
  } cases[] = {{-9, 5}, {5, -11}, {460, 250}, {-74, -74}, {499, 299}};
  for (const Case& c : cases) {
    QImage src = source;
    QImage dest = Filled(500, 300, qRgb(9, 9, 9));
    BitBlt(&dest, c.x, c.y, 75, 75, &src, 0, 0, SrcCopy);
    for (int y = 0; y < 300; ++y) {
      for (int x = 0; x < 500; ++x) {
        const int cx = x - c.x, cy = y - c.y;
        const bool inside = cx >= 0 && cx < 75 && cy >= 0 && cy < 75;
        ASSERT_EQ(dest.pixel(x, y), inside ? source.pixel(cx, cy) : qRgb(9, 9, 9))
            << "cell at " << c.x << "," << c.y << " pixel " << x << "," << y;
      }
    }
  }
}

TEST(BitBlt, ARectangleWhollyOutsideChangesNothing) {
  QImage source = Numbered(30, 30);
  const QImage before = Filled(500, 300, qRgb(7, 8, 9));
  for (auto [x, y] : {std::pair{0, -30}, {0, -45}, {500, 0}, {-30, 10}, {10, 300}}) {
    QImage dest = before;
    EXPECT_TRUE(BitBlt(&dest, x, y, 30, 30, &source, 0, 0, SrcCopy));
    EXPECT_EQ(dest, before) << x << "," << y;
  }
}

TEST(BitBlt, RefusesWhatItCannotDoAndLeavesTheDestination) {
  QImage source = Numbered(8, 8);
  QImage dest = Filled(8, 8, qRgb(5, 5, 5));
  const QImage before = dest;
  EXPECT_FALSE(BitBlt(&dest, 0, 0, 8, 8, &source, 0, 0, 0x00EE0086));  // GDI's SRCPAINT: not used
  QImage argb = source.convertToFormat(QImage::Format_ARGB32);
  EXPECT_FALSE(BitBlt(&dest, 0, 0, 8, 8, &argb, 0, 0, SrcCopy));
  EXPECT_FALSE(BitBlt(&dest, 0, 0, 8, 8, nullptr, 0, 0, SrcCopy));
  EXPECT_EQ(dest, before);
}

// Each source pixel a scale x scale block, the rectangle's first block at
// (x, y); blocks cut by the destination's edges keep their place.
TEST(StretchBlt, EnlargesEachPixelIntoABlockInPlaceClippedAtEveryEdge) {
  const QImage source = Numbered(20, 12);
  struct Case {
    int x, y, xSrc, ySrc, w, h, scale;
  } cases[] = {{10, 7, 0, 0, 20, 12, 3},  {-4, -5, 2, 1, 10, 8, 3}, {85, 50, 5, 4, 15, 8, 2},
               {-7, 60, 0, 3, 20, 9, 4},  {3, 2, -3, -2, 9, 6, 3},  {0, 0, 0, 0, 20, 12, 1},
               {95, 68, 10, 6, 10, 6, 5}, {4, 3, 2, 2, 14, 9, 7},   {-3, -2, 0, 0, 12, 8, 9}};
  for (const Case& c : cases) {
    QImage dest = Filled(100, 70, qRgb(9, 9, 9));
    ASSERT_TRUE(StretchBlt(&dest, c.x, c.y, c.w * c.scale, c.h * c.scale, &source, c.xSrc, c.ySrc, c.w, c.h,
                           SrcCopy));
    for (int y = 0; y < dest.height(); ++y) {
      for (int x = 0; x < dest.width(); ++x) {
        const int dx = x - c.x, dy = y - c.y;
        const bool inBlocks = dx >= 0 && dx < c.w * c.scale && dy >= 0 && dy < c.h * c.scale;
        const int sx = inBlocks ? c.xSrc + dx / c.scale : -1, sy = inBlocks ? c.ySrc + dy / c.scale : -1;
        const bool inSource = sx >= 0 && sx < source.width() && sy >= 0 && sy < source.height();
        ASSERT_EQ(dest.pixel(x, y), inSource ? source.pixel(sx, sy) : qRgb(9, 9, 9))
            << "case at " << c.x << "," << c.y << " x" << c.scale << ", pixel " << x << "," << y;
      }
    }
  }
}

}  // namespace
