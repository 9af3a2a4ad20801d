// Every committed picture: size, colours, opacity and the embedded copy.
#include <gtest/gtest.h>

#include "PictureCheck.h"
#include "assets/Pictures.h"

namespace {

using namespace picture_check;

struct PictureFile {
  const char* name;
  int width;
  int height;
  QString resource;
};

void PrintTo(const PictureFile& file, std::ostream* out) { *out << file.name; }

class PictureFileTest : public testing::TestWithParam<PictureFile> {};

TEST_P(PictureFileTest, HasTheSizeTheProgramExpects) {
  const QImage image = LoadFile(GetParam().name);
  ASSERT_FALSE(image.isNull()) << GetParam().name << " does not load";
  EXPECT_EQ(image.width(), GetParam().width);
  EXPECT_EQ(image.height(), GetParam().height);
}

TEST_P(PictureFileTest, UsesOnlyCubeColours) {
  const QImage image = LoadFile(GetParam().name);
  ASSERT_FALSE(image.isNull());
  int offCube = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!IsCubeColour(image.pixel(x, y))) ++offCube;
  EXPECT_EQ(offCube, 0);
}

// Transparency comes from the mask rows alone, never from alpha.
TEST_P(PictureFileTest, IsFullyOpaque) {
  const QImage image = LoadFile(GetParam().name);
  ASSERT_FALSE(image.isNull());
  int seeThrough = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 255) ++seeThrough;
  EXPECT_EQ(seeThrough, 0);
}

TEST_P(PictureFileTest, EmbeddedCopyMatchesTheFile) {
  const QImage file = LoadFile(GetParam().name).convertToFormat(
      QImage::Format_RGB32);
  const QImage embedded = pictures::LoadPicture(GetParam().resource);
  ASSERT_EQ(embedded.size(), file.size());
  EXPECT_TRUE(embedded == file);
}

INSTANTIATE_TEST_SUITE_P(
    AllPictures, PictureFileTest,
    testing::Values(
        PictureFile{"suisou.png", 500, 300, pictures::kBackground},
        PictureFile{"pat0.png", 225, 150, pictures::FishSheet(0)},
        PictureFile{"pat1.png", 225, 150, pictures::FishSheet(1)},
        PictureFile{"pat2.png", 225, 150, pictures::FishSheet(2)},
        PictureFile{"pat3.png", 225, 150, pictures::FishSheet(3)},
        PictureFile{"awa.png", 60, 60, pictures::kBubbleSheet},
        PictureFile{"icon.png", 32, 32, pictures::kIcon}),
    [](const testing::TestParamInfo<PictureFile>& info) {
      return QString::fromLatin1(info.param.name).section('.', 0, 0)
          .toStdString();
    });

double Luminance(QRgb c) {
  return 0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c);
}

double MeanLuminance(const QImage& image, const QRect& area) {
  double sum = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      sum += Luminance(image.pixel(x, y));
  return sum / (area.width() * area.height());
}

TEST(Background, WaterIsPaleGreenAndLighterNearTheSurface) {
  const QImage scene = LoadFile("suisou.png");
  ASSERT_EQ(scene.size(), QSize(500, 300));
  // Open water on the right, above the rock.
  const QRect surface(380, 4, 110, 20);
  const QRect deeper(380, 110, 110, 20);
  long red = 0, green = 0, blue = 0;
  for (int y = surface.top(); y <= surface.bottom(); ++y) {
    for (int x = surface.left(); x <= surface.right(); ++x) {
      red += qRed(scene.pixel(x, y));
      green += qGreen(scene.pixel(x, y));
      blue += qBlue(scene.pixel(x, y));
    }
  }
  EXPECT_GT(green, red);
  EXPECT_GT(green, blue);
  EXPECT_GT(MeanLuminance(scene, surface), 200.0);
  EXPECT_GT(MeanLuminance(scene, surface), MeanLuminance(scene, deeper));
}

TEST(Background, GravelAlongTheBottomIsGrey) {
  const QImage scene = LoadFile("suisou.png");
  ASSERT_EQ(scene.size(), QSize(500, 300));
  int grey = 0, total = 0;
  for (int y = 292; y < 300; ++y) {
    for (int x = 0; x < 500; ++x, ++total) {
      const QRgb c = scene.pixel(x, y);
      if (std::abs(qRed(c) - qGreen(c)) <= 51 &&
          std::abs(qGreen(c) - qBlue(c)) <= 51)
        ++grey;
    }
  }
  EXPECT_GT(grey, total * 9 / 10);
}

TEST(Icon, ShowsARedAndWhiteFishOverCyanWaterWithWeed) {
  const QImage icon = LoadFile("icon.png");
  ASSERT_EQ(icon.size(), QSize(32, 32));
  int red = 0, white = 0, cyan = 0, green = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const QRgb c = icon.pixel(x, y);
      const int r = qRed(c), g = qGreen(c), b = qBlue(c);
      if (r >= 204 && g <= 102 && b <= 102) ++red;
      if (r == 255 && g == 255 && b == 255) ++white;
      if (r <= 153 && g >= 204 && b >= 204) ++cyan;
      if (g >= r + 51 && g >= b + 51) ++green;
    }
  }
  EXPECT_GE(red, 20);
  EXPECT_GE(white, 5);
  EXPECT_GE(cyan, 200);
  EXPECT_GE(green, 10);
}

TEST(Icon, TheLauncherRenditionIsTheIconInSharpFourByFourBlocks) {
  const QImage icon = LoadFile("icon.png");
  const QImage large = LoadFile("icon-128.png");
  ASSERT_EQ(large.size(), QSize(128, 128));
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      ASSERT_EQ(large.pixel(x, y), icon.pixel(x / 4, y / 4)) << x << "," << y;
}

}  // namespace
