#include "render/Form1.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "assets/Pictures.h"

namespace {

TEST(Form1, CarriesItsTitleIconAndTheOneMenu) {
  Form1 form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmaro"));
  EXPECT_FALSE(form.windowIcon().isNull());

  const QList<QAction*> menus = form.menuBar()->actions();
  ASSERT_EQ(menus.size(), 1);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("設定"));
  ASSERT_EQ(form.mnuSet->actions().size(), 1);
  QAction* item = form.mnuSet->actions()[0];
  EXPECT_EQ(item, form.mnuSetSyu);
  EXPECT_EQ(item->text(), QString::fromUtf8("数\xEF\xBC\x86種類"));  // U+FF06, shown as it is
  EXPECT_TRUE(item->shortcut().isEmpty());
}

TEST(Form1, F10DropsTheMenuDownWithItsItemReadyForReturn) {
  Form1 form;
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_F10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.mnuSet->isVisible(); }, 5000)) << "設定 did not drop down";
  EXPECT_EQ(form.mnuSet->activeAction(), form.mnuSetSyu);
  bool chosen = false;
  QObject::connect(form.mnuSetSyu, &QAction::triggered, [&] { chosen = true; });
  QTest::keyClick(form.mnuSet, Qt::Key_Return);
  EXPECT_TRUE(chosen);
}

TEST(Form1, TimersRunFromLoadAtTheirIntervals) {
  Form1 form;
  EXPECT_TRUE(form.Timer1.isActive());
  EXPECT_EQ(form.Timer1.interval(), 100);
  EXPECT_EQ(form.Timer1.timerType(), Qt::PreciseTimer);
  EXPECT_TRUE(form.Timer2.isActive());
  EXPECT_EQ(form.Timer2.interval(), 2500);
}

TEST(Form1, ATimerDueSeveralTimesWhileTheProgramIsBusyDeliversOneEvent) {
  Form1 form;
  form.Timer2.stop();
  int ticks = 0;
  QObject::connect(&form.Timer1, &QTimer::timeout, [&] { ++ticks; });
  // Busy for more than four intervals without looking at events.
  std::this_thread::sleep_for(std::chrono::milliseconds(450));
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(ticks, 1) << "missed ticks are not made up";
}

TEST(Form1, SurfacesHoldTheirPicturesAtNaturalSize) {
  Form1 form;
  EXPECT_EQ(form.suisou().image(), pictures::LoadPicture(pictures::kBackground));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(form.pat(i).image(), pictures::LoadPicture(pictures::FishSheet(i))) << i;
    EXPECT_EQ(form.pat(i).image().size(), QSize(225, 150)) << i;
  }
  EXPECT_EQ(form.awa().image().size(), QSize(60, 60));
  EXPECT_EQ(form.work().image().pixel(0, 0), qRgb(192, 192, 192));
  EXPECT_EQ(form.back().image().pixel(0, 0), qRgb(192, 192, 192));
  EXPECT_EQ(&form.pat(7), &form.pat(3)) << "a sheet index outside 0-3 must not leave the four";
}

TEST(Form1, GrowingAHiddenSurfaceKeepsItsPixelsAndFillsTheRestWithItsColour) {
  Form1 form;
  form.work().Resize(500, 300);
  EXPECT_EQ(form.work().image().size(), QSize(500, 300));
  EXPECT_EQ(form.work().image().pixel(499, 299), qRgb(192, 192, 192));
}

TEST(Form1, ClosingRunsTheUnloadHandlerOnceAndStopsTheTimers) {
  Form1 form;
  form.show();
  int unloads = 0;
  form.SetUnloadHandler([&](std::int16_t& cancel) {
    ++unloads;
    EXPECT_EQ(cancel, 0);
    EXPECT_FALSE(form.Timer1.isActive()) << "no tick may run during the unload";
  });
  EXPECT_TRUE(form.close());
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Timer2.isActive());
}

}  // namespace
