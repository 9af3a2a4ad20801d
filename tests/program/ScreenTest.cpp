// The program's own start-up, in this process, on a virtual X display with a
// window manager: after every tick the window shows the view's image pixel
// for pixel, although each tick repaints only what changed, and restored
// from a minimise it shows the latest frame, although minimised it drew none.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

#include "app/Startup.h"
#include "render/AquariumCanvas.h"
#include "sim/Aquarium.h"
#include "sim/Behaviour.h"
#include "sim/Random.h"
#include "sim/SetRec.h"
#include "sim/Tick.h"
#include "tests/program/Desktop.h"
#include "tests/support/BothSurfaces.h"
#include "tests/support/ProgramState.h"
#include "window/Form1.h"

using namespace std::chrono_literals;

namespace {

// Picture pixels whose block of scale x scale screen pixels, at origin in
// the shot, is not wholly their colour.
int Mismatches(const QImage& shot, QPoint origin, int scale, const QImage& view) {
  if (shot.width() < origin.x() + view.width() * scale || shot.height() < origin.y() + view.height() * scale)
    return view.width() * view.height();
  int wrong = 0;
  for (int y = 0; y < view.height(); ++y)
    for (int x = 0; x < view.width(); ++x)
      for (int i = 0; i < scale * scale; ++i)
        if (shot.pixel(origin.x() + x * scale + i % scale, origin.y() + y * scale + i / scale) != view.pixel(x, y)) {
          ++wrong;
          break;
        }
  return wrong;
}

class ScreenOfTheProgram : public FreshState {
 protected:
  void SetUp() override {
    if (!desktop_.Start()) GTEST_SKIP() << "NO VIRTUAL DISPLAY, screen not tested: " << desktop_.why().toStdString();
    ASSERT_TRUE(folder_.isValid());
    const QProcessEnvironment environment = desktop_.Environment();
    qputenv("DISPLAY", environment.value("DISPLAY").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    qputenv("DBUS_SESSION_BUS_ADDRESS", environment.value("DBUS_SESSION_BUS_ADDRESS").toLocal8Bit());
    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("WAYLAND_DISPLAY");
  }

  // The program started here on five fish with their bubbles, a fixed random
  // source and its timers stopped, shown at the scale factor asked for, which
  // the program rounds to scale; then what is to be done with it, given where
  // the picture lies in shots of the window.
  void WithProgram(const char* factor, int scale, const std::function<void(Form1&, QPoint)>& what) {
    qputenv("QT_SCALE_FACTOR", factor);
    QFile set(folder_.filePath("SET"));
    ASSERT_TRUE(set.open(QIODevice::WriteOnly));
    set.write(reinterpret_cast<const char*>(EncodeSetRec({4, {0, 1, 0, 1}}).data()), kSetRecBytes);
    set.close();
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder_.path());

    PrepareApplication();
    int argc = 1;
    char name[] = "velmaro";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    ClockRandom random([] { return std::uint64_t{1208}; });
    SettingsKeeper settings;
    const std::unique_ptr<Form1> form = Main(settings, random);
    form->Timer1.stop();
    form->Timer2.stop();
    // Two swim left: a fish's trail shows on the side it swims away from.
    for (const std::int16_t i : {1, 3}) {
      Fish[i].X = static_cast<std::int16_t>(100 * i);
      Fish[i].Mode = 4;
      FlipFishSprite(i);
    }
    ASSERT_TRUE(WaitUntil([&] { return form->windowHandle() && form->windowHandle()->isExposed(); }, 10s));
    ASSERT_EQ(form->devicePixelRatio(), scale);
    what(*form, form->suisou().mapTo(form.get(), QPoint()) * scale);
    QDir::setCurrent(before);
  }

  // Sixty ticks, each checked on the screen.
  void ExpectEveryTickOnScreen(const char* factor, int scale) {
    WithProgram(factor, scale, [&](Form1& form, QPoint origin) {
      int wrong = 0;
      for (int tick = 1; tick <= 60; ++tick) {
        if (tick % 25 == 10) StepBehaviour(form.random());
        StepAquarium(form, form.canvas(), form.random());
        const bool shown = WaitUntil([&] {
          wrong = Mismatches(Shot(form), origin, scale, form.suisou().image());
          return wrong == 0;
        }, 5s);
        ASSERT_TRUE(shown) << "after tick " << tick << ", " << wrong << " picture pixels are not the view's";
      }
    });
  }

  static QImage Shot(const Form1& form) {
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(form.winId()).toImage();
    return shot.convertToFormat(QImage::Format_RGB32);
  }

  VirtualDesktop desktop_;
  QTemporaryDir folder_;
  QTemporaryDir runtime_;
};

TEST_F(ScreenOfTheProgram, AfterEveryTickTheWindowShowsTheViewsImage) { ExpectEveryTickOnScreen("1", 1); }

// Asked for 1.5, the program takes 2, whose pixels stay sharp.
TEST_F(ScreenOfTheProgram, AtDoubleDensityEveryPicturePixelIsTheViewsAfterEveryTick) {
  ExpectEveryTickOnScreen("1.5", 2);
}

// Minimised by the window manager, the window draws nothing while the fish
// swim on; restored, it shows what a canvas that never stopped drawing
// shows after the same ticks.
TEST_F(ScreenOfTheProgram, MinimisedItDrawsNothingAndRestoredItShowsTheLatestFrame) {
  WithProgram("1", 1, [&](Form1& form, QPoint origin) {
    AquariumCanvas always;
    always.LayOut();
    BothSurfaces both(form.canvas(), always);
    const auto swim = [&](int from, int to) {
      for (int tick = from; tick <= to; ++tick) {
        if (tick % 25 == 10) StepBehaviour(form.random());
        StepAquarium(form, both, form.random());
      }
    };
    const QString window = QString::number(form.winId());
    swim(1, 5);
    desktop_.Run("xdotool", {"windowminimize", window});
    ASSERT_TRUE(WaitUntil([&] { return !form.windowHandle()->isExposed(); }, 10s)) << "not minimised";
    const qint64 view = form.suisou().image().cacheKey();
    const qint64 work = form.canvas().work().image().cacheKey();
    swim(6, 40);
    EXPECT_EQ(form.suisou().image().cacheKey(), view) << "the view was drawn while minimised";
    EXPECT_EQ(form.canvas().work().image().cacheKey(), work) << "a frame was made while minimised";

    desktop_.Run("xdotool", {"windowactivate", window});
    ASSERT_TRUE(WaitUntil([&] { return form.windowHandle()->isExposed(); }, 10s)) << "not restored";
    // No tick runs from here on: a wrong frame on screen would stay wrong.
    int wrong = 0;
    EXPECT_TRUE(WaitUntil([&] {
      wrong = Mismatches(Shot(form), origin, 1, always.view().image());
      return wrong == 0;
    }, 5s)) << wrong << " picture pixels are not the latest frame's";
  });
}

}  // namespace
