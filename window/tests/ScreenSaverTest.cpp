#include "window/ScreenSaver.h"

#include <QTest>

#include <gtest/gtest.h>

#include "sim/State.h"
#include "sim/Tick.h"
#include "tests/support/Blocks.h"
#include "tests/support/ProgramState.h"

namespace {

using ScreenSaverWindow = FreshState;

TEST_F(ScreenSaverWindow, ShowsTheAquariumAtTheLargestWholeScaleCentredOnBlack) {
  ScreenSaver saver;
  ScreenSaverView& view = saver.AddView(false);
  for (const auto& [size, scale] : {std::pair{QSize(1280, 1024), 2}, {QSize(1920, 1080), 3}, {QSize(500, 300), 1}}) {
    SCOPED_TRACE(size.width());
    view.resize(size);
    const QRect area(QPoint((size.width() - 500 * scale) / 2, (size.height() - 300 * scale) / 2),
                     QSize(500, 300) * scale);
    const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(BlackAround(shot, area));
    EXPECT_EQ(Unblocked(shot, area, scale), saver.canvas().view().image());
  }
  // A settings page's small preview: the whole frame, made to fit.
  EXPECT_EQ(ScaledFrameArea(QSize(152, 112)), QRect(0, 10, 152, 91));
}

// Repainted only where each tick changed it, the view still shows the frame.
TEST_F(ScreenSaverWindow, StaysTheFrameWhenOnlyWhatChangedIsRepainted) {
  Conf.MaxIndex = 5;
  ScreenSaver saver;
  ScreenSaverView& view = saver.AddView(true);
  view.resize(1920, 1080);
  QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
  saver.canvas().ShowWith([&](const QRegion& changed) {
    view.Refresh(changed);
    const QRegion repainted = view.AreaOf(changed);
    view.render(&shown, repainted.boundingRect().topLeft(), repainted);
  });
  for (int tick = 0; tick < 30; ++tick) {
    StepAquarium(saver.canvas(), saver.canvas(), ProgramRandom());
    ASSERT_EQ(Unblocked(shown, QRect(210, 90, 1500, 900), 3), saver.canvas().view().image()) << tick;
  }
}

TEST_F(ScreenSaverWindow, FullScreenEndsAtAKeyAClickOrAMoveButNotAtTheFirstOrASmallMoveAndDrawsOnlyWhenSeen) {
  ScreenSaver saver;
  int ended = 0;
  QObject::connect(&saver, &ScreenSaver::ended, [&] { ++ended; });
  ScreenSaverView& view = saver.AddView(true);
  ScreenSaverView& inside = saver.AddView(false);
  view.resize(640, 480);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);

  QTest::mouseMove(&view, QPoint(300, 200));
  QTest::mouseMove(&view, QPoint(304, 196));
  EXPECT_EQ(ended, 0) << "the first movement or a few pixels ended it";
  QTest::mouseMove(&view, QPoint(305, 200));
  EXPECT_EQ(ended, 1);
  QTest::keyClick(&view, Qt::Key_Shift);
  EXPECT_EQ(ended, 2);
  QTest::mouseClick(&view, Qt::LeftButton);
  EXPECT_EQ(ended, 3);
  // Hidden, as under a locked screen: nothing is drawn.
  view.hide();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !saver.canvas().seen(); }));
  // Inside another's window, input is the other program's business.
  QTest::keyClick(&inside, Qt::Key_A);
  EXPECT_EQ(ended, 3);
}

}  // namespace
