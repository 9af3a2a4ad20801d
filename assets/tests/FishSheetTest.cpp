// The goldfish sheets: one whole fish per cell, within its rows, moving
// from frame to frame, and the left-facing sheets mirroring the right.
#include <gtest/gtest.h>

#include "PictureCheck.h"

namespace {

using namespace picture_check;

constexpr int kCell = 75;
constexpr int kFrames = 3;
constexpr int kTopRow = 13;
constexpr int kBottomRow = 70;

class FishSheetTest : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    sheet_ = LoadFile(GetParam());
    ASSERT_EQ(sheet_.size(), QSize(kCell * kFrames, kCell * 2));
  }
  QImage sheet_;
};

TEST_P(FishSheetTest, EachFrameIsOneWholeFishFillingMostOfTheCell) {
  for (int i = 0; i < kFrames; ++i) {
    const Cell cell = CellOf(sheet_, kCell, i);
    const std::vector<Piece> pieces = BlackPieces(cell.mask);
    ASSERT_EQ(pieces.size(), 1u) << "stray dots in frame " << i;
    EXPECT_GE(pieces[0].bounds.width(), kCell * 8 / 10) << "frame " << i;
    EXPECT_GE(pieces[0].bounds.height(), (kBottomRow - kTopRow) * 8 / 10);
  }
}

TEST_P(FishSheetTest, FishStaysWithinRows13To70) {
  for (int i = 0; i < kFrames; ++i) {
    const Cell cell = CellOf(sheet_, kCell, i);
    for (int y = 0; y < kCell; ++y) {
      if (y >= kTopRow && y <= kBottomRow) continue;
      for (int x = 0; x < kCell; ++x) {
        ASSERT_EQ(Rgb(cell.mask.pixel(x, y)), kWhite)
            << "frame " << i << " at " << x << "," << y;
        ASSERT_EQ(Rgb(cell.image.pixel(x, y)), kWhite);
      }
    }
  }
}

// Frames must differ to show swimming, yet stay close so the loop is
// smooth rather than jumpy; the last frame leads back to the first.
TEST_P(FishSheetTest, FramesSwayButKeepTheirShape) {
  for (int i = 0; i < kFrames; ++i) {
    const QImage a = CellOf(sheet_, kCell, i).mask;
    const QImage b = CellOf(sheet_, kCell, (i + 1) % kFrames).mask;
    int both = 0, either = 0;
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell; ++x) {
        const bool inA = Rgb(a.pixel(x, y)) == kBlack;
        const bool inB = Rgb(b.pixel(x, y)) == kBlack;
        both += inA && inB;
        either += inA || inB;
      }
    }
    ASSERT_GT(either, 0);
    EXPECT_LT(both, either) << "frames " << i << " and next are the same";
    EXPECT_GT(both * 10, either * 7) << "frames " << i << " and next jump";
  }
}

INSTANTIATE_TEST_SUITE_P(AllFish, FishSheetTest,
                         testing::Values("pat0.png", "pat1.png", "pat2.png",
                                         "pat3.png"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return QString::fromLatin1(info.param)
                               .section('.', 0, 0)
                               .toStdString();
                         });

struct MirrorPair {
  const char* right;
  const char* left;
};

void PrintTo(const MirrorPair& pair, std::ostream* out) {
  *out << pair.right << " / " << pair.left;
}

class MirrorTest : public testing::TestWithParam<MirrorPair> {};

// The program turns a fish round by switching sheets; a mask that is not an
// exact mirror would make the fish jump or change shape. Shading may differ a
// little, the picture may not.
TEST_P(MirrorTest, LeftSheetCellsMirrorTheRightOnes) {
  const QImage right = LoadFile(GetParam().right);
  const QImage left = LoadFile(GetParam().left);
  ASSERT_EQ(right.size(), left.size());
  for (int i = 0; i < kFrames; ++i) {
    const Cell r = CellOf(right, kCell, i);
    const Cell l = CellOf(left, kCell, i);
    int maskMismatches = 0, sprite = 0, sameImage = 0;
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell; ++x) {
        const int mx = kCell - 1 - x;
        if (Rgb(r.mask.pixel(x, y)) != Rgb(l.mask.pixel(mx, y))) ++maskMismatches;
        if (Rgb(r.mask.pixel(x, y)) != kBlack) continue;
        ++sprite;
        if (r.image.pixel(x, y) == l.image.pixel(mx, y)) ++sameImage;
      }
    }
    EXPECT_EQ(maskMismatches, 0) << "frame " << i;
    EXPECT_GT(sameImage * 10, sprite * 9) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(BothKinds, MirrorTest,
                         testing::Values(MirrorPair{"pat0.png", "pat1.png"},
                                         MirrorPair{"pat2.png", "pat3.png"}),
                         [](const testing::TestParamInfo<MirrorPair>& info) {
                           return info.index == 0 ? std::string("Red")
                                                  : std::string("Black");
                         });

// The eye is the only pure black on the red fish, so it tells which way
// the fish faces.
TEST(RedFish, FacesRightInPat0AndLeftInPat1) {
  const QImage right = LoadFile("pat0.png");
  const QImage left = LoadFile("pat1.png");
  for (int i = 0; i < kFrames; ++i) {
    for (const auto& [sheet, towardsRight] :
         {std::pair{right, true}, std::pair{left, false}}) {
      const Cell cell = CellOf(sheet, kCell, i);
      int eye = 0, onHeadSide = 0;
      for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
          if (Rgb(cell.mask.pixel(x, y)) != kBlack ||
              Rgb(cell.image.pixel(x, y)) != kBlack)
            continue;
          ++eye;
          if ((x >= kCell / 2) == towardsRight) ++onHeadSide;
        }
      }
      EXPECT_GE(eye, 4) << "frame " << i;
      EXPECT_EQ(onHeadSide, eye) << "frame " << i;
    }
  }
}

// Share of a sheet's sprite pixels for which `test` holds.
template <typename Test>
double ShareOfSprite(const QImage& sheet, Test test) {
  int sprite = 0, hits = 0;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < sheet.width(); ++x) {
      if (Rgb(sheet.pixel(x, y + kCell)) != kBlack) continue;
      ++sprite;
      if (test(sheet.pixel(x, y))) ++hits;
    }
  }
  return sprite ? double(hits) / sprite : 0.0;
}

TEST(FishColours, RedKindIsRedAndOrange) {
  const double warm = ShareOfSprite(LoadFile("pat0.png"), [](QRgb c) {
    return qRed(c) > qGreen(c) && qRed(c) > qBlue(c);
  });
  EXPECT_GT(warm, 0.8);
}

TEST(FishColours, BlackKindIsDarkWithGreenAndVioletSheen) {
  const QImage sheet = LoadFile("pat2.png");
  const double dark = ShareOfSprite(sheet, [](QRgb c) {
    return qMax(qRed(c), qMax(qGreen(c), qBlue(c))) <= 102;
  });
  const double green = ShareOfSprite(sheet, [](QRgb c) {
    return qGreen(c) > qRed(c) && qGreen(c) > qBlue(c);
  });
  const double violet = ShareOfSprite(sheet, [](QRgb c) {
    return qBlue(c) > qGreen(c) && qBlue(c) > qRed(c);
  });
  EXPECT_GT(dark, 0.4);
  EXPECT_GT(green, 0.005);
  EXPECT_GT(violet, 0.005);
  EXPECT_LT(green + violet, 0.25);
}

}  // namespace
