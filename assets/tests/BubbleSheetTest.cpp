// The bubble sheet: two cells of three rings each that together make a
// cluster of six.
#include <gtest/gtest.h>

#include <algorithm>

#include "PictureCheck.h"

namespace {

using namespace picture_check;

constexpr int kCell = 30;

class BubbleSheetTest : public testing::Test {
 protected:
  void SetUp() override {
    sheet_ = LoadFile("awa.png");
    ASSERT_EQ(sheet_.size(), QSize(kCell * 2, kCell * 2));
  }
  Cell CellAt(int i) const { return CellOf(sheet_, kCell, i); }
  QImage sheet_;
};

TEST_F(BubbleSheetTest, EachCellHoldsThreeSeparateRingsWithClearMiddles) {
  for (int i = 0; i < 2; ++i) {
    const Cell cell = CellAt(i);
    const std::vector<Piece> rings = BlackPieces(cell.mask);
    ASSERT_EQ(rings.size(), 3u) << "cell " << i;
    for (const Piece& ring : rings) {
      EXPECT_GE(ring.bounds.width(), 6);
      EXPECT_LE(ring.bounds.width(), 7);
      EXPECT_GE(ring.bounds.height(), 6);
      EXPECT_LE(ring.bounds.height(), 7);
      // The middle of a ring shows the water through it.
      const QPoint middle = ring.bounds.center();
      EXPECT_EQ(Rgb(cell.mask.pixel(middle)), kWhite)
          << "cell " << i << " ring at " << middle.x() << "," << middle.y();
    }
  }
}

TEST_F(BubbleSheetTest, RingsZigzagDownEachCell) {
  for (int i = 0; i < 2; ++i) {
    std::vector<Piece> rings = BlackPieces(CellAt(i).mask);
    ASSERT_EQ(rings.size(), 3u);
    std::sort(rings.begin(), rings.end(), [](const Piece& a, const Piece& b) {
      return a.bounds.center().y() < b.bounds.center().y();
    });
    const QPoint a = rings[0].bounds.center();
    const QPoint b = rings[1].bounds.center();
    const QPoint c = rings[2].bounds.center();
    EXPECT_LT(a.y(), b.y());
    EXPECT_LT(b.y(), c.y());
    // The middle ring sits to one side of both others.
    EXPECT_GT((b.x() - a.x()) * (b.x() - c.x()), 0) << "cell " << i;
  }
}

// Both cells are drawn at one place; overlapping rings would merge.
TEST_F(BubbleSheetTest, BothCellsTogetherMakeSixRings) {
  const QImage first = CellAt(0).mask;
  const QImage second = CellAt(1).mask;
  QImage together(kCell, kCell, QImage::Format_RGB32);
  int shared = 0;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const bool a = Rgb(first.pixel(x, y)) == kBlack;
      const bool b = Rgb(second.pixel(x, y)) == kBlack;
      shared += a && b;
      together.setPixel(x, y, a || b ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
  }
  EXPECT_EQ(shared, 0);
  EXPECT_EQ(BlackPieces(together).size(), 6u);
}

TEST_F(BubbleSheetTest, FirstCellIsBlueSecondIsGreen) {
  for (int i = 0; i < 2; ++i) {
    const Cell cell = CellAt(i);
    int sprite = 0, tinted = 0;
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell; ++x) {
        if (Rgb(cell.mask.pixel(x, y)) != kBlack) continue;
        ++sprite;
        const QRgb c = cell.image.pixel(x, y);
        const int main = i == 0 ? qBlue(c) : qGreen(c);
        const int other = i == 0 ? qGreen(c) : qBlue(c);
        if (main > qRed(c) && main > other) ++tinted;
      }
    }
    ASSERT_GT(sprite, 0);
    EXPECT_EQ(tinted, sprite) << "cell " << i;
  }
}

}  // namespace
