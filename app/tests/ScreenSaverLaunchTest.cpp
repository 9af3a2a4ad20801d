#include "app/ScreenSaverLaunch.h"

#include <gtest/gtest.h>

#include "sim/State.h"
#include "tests/support/ProgramState.h"
#include "tests/support/TempFolder.h"
#include "window/Form1.h"

namespace {

using Mode = Launch::Mode;

TEST(ScreenSaverLaunch, ReadsWindowsArgumentsInEitherCaseAndXsOwn) {
  const struct {
    QStringList arguments;
    bool scr;
    QString given;
    Launch expected;
  } cases[] = {
      {{}, false, {}, {}},
      {{"/s"}, false, {}, {Mode::fullScreen}},
      {{"-S"}, true, {}, {Mode::fullScreen}},
      {{"/p", "1234"}, true, {}, {Mode::preview, 1234}},
      {{"/P:5678"}, true, {}, {Mode::preview, 5678}},
      {{"/c:99"}, true, {}, {Mode::settings}},
      {{}, true, {}, {Mode::settings}},
      {{"/p"}, true, {}, {Mode::settings}},  // no window to show it in
      {{"/x"}, false, {}, {}},
      {{"--root"}, false, {}, {Mode::fullScreen}},
      {{"-root"}, false, "0x40000a", {Mode::intoWindow, 0x40000a}},
      {{"--window-id", "0x2e00003"}, false, {}, {Mode::intoWindow, 0x2e00003}},
      {{"--window-id=48234499"}, false, "7", {Mode::intoWindow, 48234499}},
      {{"--window-id", "nothing"}, false, {}, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseLaunch(c.arguments, c.scr, c.given), c.expected) << c.arguments.join(' ').toStdString();
}

class ScreenSaverSettings : public FreshState {
 protected:
  void SetUp() override {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder_.path().string()));
    std::filesystem::create_directory(folder_.path() / "velmaro");
  }
  void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }
  std::filesystem::path set() const { return folder_.path() / "velmaro" / "SET"; }

  TempFolder folder_;
};

TEST_F(ScreenSaverSettings, AreOnlyReadAndAMissingOrDamagedFileGivesTheDefaultQuietly) {
  EXPECT_EQ(ScreenSaverSettingsFile(), set());
  ReadScreenSaverSettings();
  EXPECT_FALSE(std::filesystem::exists(set())) << "a screen saver made SET";
  const std::vector<unsigned char> stored{3, 0, 0, 0, 1, 0, 0, 0, 9, 0, 0, 0, 0, 0, 42};
  WriteBytes(set(), stored);
  ReadScreenSaverSettings();
  EXPECT_EQ(Conf.MaxIndex, 3);
  EXPECT_EQ(Conf.Kind, (std::array<std::int16_t, 6>{0, 1, 0, 0, 0, 0})) << "the damaged kind not repaired";
  EXPECT_EQ(ReadBytes(set()), stored);
}

// Chosen with O K, the settings are saved in the folder; closed otherwise,
// nothing is written, even after the total's bar was moved.
TEST_F(ScreenSaverSettings, AreSavedOnlyWhenChosenWithOk) {
  std::filesystem::remove(folder_.path() / "velmaro");
  for (const bool chosen : {false, true}) {
    EXPECT_EQ(ConfigureScreenSaver([chosen](Form1& form) {
      EXPECT_TRUE(form.isVisible()) << "the settings are not over the aquarium";
      Conf.MaxIndex = 2;
      return chosen;
    }), 0);
    EXPECT_EQ(std::filesystem::exists(set()), chosen);
  }
  EXPECT_EQ(ReadBytes(set()), (std::vector<unsigned char>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
