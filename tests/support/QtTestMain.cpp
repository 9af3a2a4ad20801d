// Runs GoogleTest inside a Qt application, on the offscreen platform unless
// the environment names another.
#include <QApplication>

#include <gtest/gtest.h>

#include "app/Startup.h"
#include "tests/support/MessageBoxes.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  PrepareApplication();
  QApplication application(argc, argv);
  const UnexpectedBoxWatchdog watchdog;
  return RUN_ALL_TESTS();
}
