// Rules every sprite sheet follows so that masked drawing shows exactly
// the sprite: image row above, mask row below, cell by cell.
#include <gtest/gtest.h>

#include "PictureCheck.h"

namespace {

using namespace picture_check;

struct SheetFile {
  const char* name;
  int cellWidth;
  int cells;
};

void PrintTo(const SheetFile& file, std::ostream* out) { *out << file.name; }

class SheetRulesTest : public testing::TestWithParam<SheetFile> {
 protected:
  void SetUp() override {
    sheet_ = LoadFile(GetParam().name);
    ASSERT_FALSE(sheet_.isNull());
    ASSERT_EQ(sheet_.width(), GetParam().cellWidth * GetParam().cells);
  }
  QImage sheet_;
};

TEST_P(SheetRulesTest, MaskHoldsOnlyBlackAndWhite) {
  const int h = sheet_.height() / 2;
  int other = 0;
  for (int y = h; y < sheet_.height(); ++y) {
    for (int x = 0; x < sheet_.width(); ++x) {
      const QRgb c = Rgb(sheet_.pixel(x, y));
      if (c != kBlack && c != kWhite) ++other;
    }
  }
  EXPECT_EQ(other, 0);
}

// A coloured pixel under a white mask would be XORed into the scene.
TEST_P(SheetRulesTest, ImageIsWhiteWhereverTheMaskIsWhite) {
  for (int i = 0; i < GetParam().cells; ++i) {
    const Cell cell = CellOf(sheet_, GetParam().cellWidth, i);
    int stray = 0;
    for (int y = 0; y < cell.mask.height(); ++y)
      for (int x = 0; x < cell.mask.width(); ++x)
        if (Rgb(cell.mask.pixel(x, y)) == kWhite &&
            Rgb(cell.image.pixel(x, y)) != kWhite)
          ++stray;
    EXPECT_EQ(stray, 0) << "cell " << i;
  }
}

TEST_P(SheetRulesTest, EveryCellHasASprite) {
  for (int i = 0; i < GetParam().cells; ++i) {
    const Cell cell = CellOf(sheet_, GetParam().cellWidth, i);
    int black = 0, coloured = 0;
    for (int y = 0; y < cell.mask.height(); ++y) {
      for (int x = 0; x < cell.mask.width(); ++x) {
        if (Rgb(cell.mask.pixel(x, y)) != kBlack) continue;
        ++black;
        if (Rgb(cell.image.pixel(x, y)) != kWhite) ++coloured;
      }
    }
    EXPECT_GT(black, 0) << "cell " << i;
    // The sprite is drawn in colour, not left white.
    EXPECT_GT(coloured, black / 2) << "cell " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllSheets, SheetRulesTest,
    testing::Values(SheetFile{"pat0.png", 75, 3}, SheetFile{"pat1.png", 75, 3},
                    SheetFile{"pat2.png", 75, 3}, SheetFile{"pat3.png", 75, 3},
                    SheetFile{"awa.png", 30, 2}),
    [](const testing::TestParamInfo<SheetFile>& info) {
      return QString::fromLatin1(info.param.name).section('.', 0, 0)
          .toStdString();
    });

}  // namespace
