#include "window/Form1.h"

#include <QAccessible>
#include <QMenu>
#include <QMenuBar>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

#include "assets/Pictures.h"
#include "tests/support/ProgramState.h"

namespace {

// Its timers tick whenever events run, moving the fish.
using MainWindow = FreshState;

TEST_F(MainWindow, CarriesItsIconAndTheOneMenu) {
  Form1 form;
  EXPECT_EQ(form.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_RGB32),
            pictures::LoadPicture(pictures::kIcon));

  const QList<QAction*> menus = form.menuBar()->actions();
  ASSERT_EQ(menus.size(), 1);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("設定"));
  ASSERT_EQ(form.mnuSet->actions().size(), 1);
  QAction* item = form.mnuSet->actions()[0];
  EXPECT_EQ(item, form.mnuSetSyu);
  EXPECT_EQ(item->text(), QString::fromUtf8("数\xEF\xBC\x86種類"));  // U+FF06, shown as it is
  EXPECT_TRUE(item->shortcut().isEmpty());
}

TEST_F(MainWindow, AScreenReaderHearsTheAquariumAsANamedPicture) {
  Form1 form;
  QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&form.suisou());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->role(), QAccessible::Graphic);
  EXPECT_EQ(view->text(QAccessible::Name).toStdString(), "金魚の水槽");
  EXPECT_EQ(view->text(QAccessible::Description).toStdString(), "金魚が泳いでいます");
}

TEST_F(MainWindow, F10DropsTheMenuDownWithItsItemReadyForReturn) {
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

// From load on, the fish take ten steps a second and change mood every two
// and a half. Only lower bounds are tight: a busy machine makes a step late,
// never early, counted from the start (one step may then follow a late one
// closely).
TEST_F(MainWindow, TheFishMoveTenTimesASecondAndChangeMoodEveryTwoAndAHalf) {
  QElapsedTimer clock;
  clock.start();
  Form1 form;
  std::vector<qint64> steps, moods;
  QObject::connect(&form.Timer1, &QTimer::timeout, [&] { steps.push_back(clock.elapsed()); });
  QObject::connect(&form.Timer2, &QTimer::timeout, [&] { moods.push_back(clock.elapsed()); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !moods.empty() && steps.size() >= 6; }, 10000));
  EXPECT_GE(steps[5], 600 - 5);
  EXPECT_LE(steps[5], 600 + 2400);
  EXPECT_GE(moods[0], 2500 - 5);
  EXPECT_LE(moods[0], 2500 + 2000);
}

TEST_F(MainWindow, ClosingRunsTheUnloadHandlerOnceAndStopsTheTimers) {
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
