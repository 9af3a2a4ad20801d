#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include "app/Settings.h"
#include "app/Startup.h"
#include "assets/Pictures.h"
#include "assets/Texts.h"
#include "sim/Aquarium.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/ProgramState.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TempFolder.h"
#include "window/Form1.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Start-up works in the working directory, as the program does.
class Startup : public FreshState {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  std::filesystem::path set() const { return folder_.path() / "SET"; }

  SettingsKeeper settings_;

 private:
  TempFolder folder_;
  std::filesystem::path previous_;
};

TEST_F(Startup, FirstRunShowsTheCentredAquariumAndSavesOneRedFishAtClose) {
  MessageBoxCatcher boxes;
  const std::unique_ptr<Form1> form = Main(settings_);

  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(std::filesystem::file_size(set()), 0u) << "created empty at start-up";

  // The picture area: exactly 500 x 300 below the menu bar, all of it suisou.
  EXPECT_EQ(form->centralWidget()->size(), QSize(500, 300));
  EXPECT_EQ(form->suisou().image(), pictures::LoadPicture(pictures::kBackground));
  EXPECT_EQ(form->canvas().back().image(), form->suisou().image()) << "back holds the background";

  // Centred by its outer size.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QRect outer = form->frameGeometry();
  EXPECT_LE(std::abs((outer.left() - screen.left()) - (screen.right() - outer.right())), 1);
  EXPECT_LE(std::abs((outer.top() - screen.top()) - (screen.bottom() - outer.bottom())), 1);

  // One fish, red, seeded at the left wall.
  EXPECT_EQ(Fish[0].Pat, 0);
  EXPECT_TRUE(Fish[0].Mode == 0 || Fish[0].Mode == 1);
  EXPECT_EQ(Fish[0].X, 0);
  EXPECT_GE(Fish[0].Y, 0);
  EXPECT_LE(Fish[0].Y, 224);

  EXPECT_TRUE(form->close());
  EXPECT_EQ(ReadBytes(set()), Bytes(14, 0));
  EXPECT_EQ(settings_.exitStatus(), 0);
  EXPECT_TRUE(boxes.shown().empty());
}

// Seeding waits for the layout: the highest draw puts the first fish at the
// bottom of the laid-out picture's range, 0 to 224.
TEST_F(Startup, TheFishAreSeededOnceThePictureIs300PixelsHigh) {
  ScriptedRandom random;
  random.Queue({0.0f, 0.99999f});  // the facing, then the height
  const std::unique_ptr<Form1> form = Main(settings_, random);
  EXPECT_EQ(Fish[0].Y, 224);
}

TEST_F(Startup, ADamagedCountAndDamagedKindsAreRepairedWithOneWarningLineEach) {
  WriteBytes(set(), {0xff, 0x7f, 1, 0, 7, 0, 1, 0, 0, 0, 0, 0, 0xfe, 0xff, 0xaa});
  MessageBoxCatcher boxes;
  ::testing::internal::CaptureStderr();
  const std::unique_ptr<Form1> form = Main(settings_);
  const std::string errors = ::testing::internal::GetCapturedStderr();

  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(errors,
            (kDamagedCountText.arg(32767) + "\n" + kDamagedKindsText.arg("Kind(1) 7、Kind(5) -2") + "\n").toStdString());
  EXPECT_EQ(Conf.MaxIndex, 0);
  EXPECT_EQ(Fish[0].Pat, 2) << "kind 1 as read";
  form->close();
  EXPECT_EQ(ReadBytes(set()), (Bytes{0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xaa}));
}

TEST_F(Startup, AnEmptyTankIsNoDamage) {
  WriteBytes(set(), {0xff, 0xff});
  ::testing::internal::CaptureStderr();
  const std::unique_ptr<Form1> form = Main(settings_);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(Conf.MaxIndex, -1);
  form->close();
  EXPECT_EQ(ReadBytes(set()), (Bytes{0xff, 0xff, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ScaleFactors, EveryFactorAskedForByNameBecomesAWholeNumber) {
  EXPECT_EQ(RoundedScaleFactors("1.5"), "2");
  EXPECT_EQ(RoundedScaleFactors("1.25"), "1");
  EXPECT_EQ(RoundedScaleFactors("0.5"), "1");
  EXPECT_EQ(RoundedScaleFactors("3"), "3");
  EXPECT_EQ(RoundedScaleFactors("screen=1.5;DP-1=2.6"), "screen=2;DP-1=3");
  EXPECT_EQ(RoundedScaleFactors("1.75;1"), "2;1");
}

TEST(WindowSystem, AWaylandSessionUsesXWaylandWheneverThereIsAnXDisplay) {
  EXPECT_EQ(ChooseWindowSystem("", ":0"), "xcb") << "X11, or Wayland with XWayland";
  EXPECT_EQ(ChooseWindowSystem("", ""), "") << "Wayland alone: Qt's own choice";
  EXPECT_EQ(ChooseWindowSystem("wayland", ":0"), "") << "the user's choice stands";
  EXPECT_EQ(ChooseWindowSystem("offscreen", ""), "");
}

}  // namespace
