// Every save of the settings that fails is told where the user can see it,
// and only there: a box over the window when one may be shown, standard
// error always. The save fails for real: the working folder is gone.
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/SettingsKeeper.h"
#include "assets/Texts.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/ProgramState.h"
#include "tests/support/TempFolder.h"

namespace {

class SavingFails : public FreshState {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::create_directory(folder_.path() / "gone");
    std::filesystem::current_path(folder_.path() / "gone");
    std::filesystem::remove(folder_.path() / "gone");
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  const QString failure = kSaveFailedText + "\nNo such file or directory";
  // Standard error from here on starts with the failure (Qt may add its own
  // notes about the box after it).
  ::testing::AssertionResult ToldOnStandardError() {
    const std::string told = ::testing::internal::GetCapturedStderr();
    if (told.rfind((failure + "\n").toStdString(), 0) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "standard error: " << told;
  }
  SettingsKeeper settings;
  QWidget window;

 private:
  TempFolder folder_;
  std::filesystem::path previous_;
};

TEST_F(SavingFails, AtTheUnloadABoxOverTheWindowSaysSoAndTheExitStatusIsOne) {
  MessageBoxCatcher boxes;
  std::int16_t cancel = 0;
  ::testing::internal::CaptureStderr();
  settings.Form_Unload(window, cancel);
  EXPECT_TRUE(ToldOnStandardError());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, failure);
  EXPECT_EQ(settings.exitStatus(), 1);
}

// A logout must not wait for a click the session manager has not allowed.
TEST_F(SavingFails, AtASessionManagersRequestABoxOnlyWhereItMayBeShown) {
  for (const bool allowed : {false, true}) {
    MessageBoxCatcher boxes;
    int asked = 0;
    ::testing::internal::CaptureStderr();
    settings.SaveOnRequest(window, [&] { return ++asked, allowed; });
    EXPECT_TRUE(ToldOnStandardError()) << allowed;
    EXPECT_EQ(asked, 1) << allowed;
    EXPECT_EQ(boxes.shown().size(), allowed ? 1u : 0u) << allowed;
  }
  EXPECT_EQ(settings.exitStatus(), 0) << "the window stays open; its unload decides";
}

TEST_F(SavingFails, AtAnEndWithoutTheWindowStandardErrorAloneSaysSo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT({
    settings.SaveIfEndedWithTheWindowOpen();
    std::exit(0);
  }, ::testing::ExitedWithCode(0), (kDisplayLostText + "\n" + failure).toStdString());
}

}  // namespace
