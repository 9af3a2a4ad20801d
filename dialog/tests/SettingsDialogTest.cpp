// The settings dialog, opened from the menu and driven through its real
// widgets while the aquarium behind it keeps ticking.
#include "dialog/frm_Set.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "app/Startup.h"
#include "assets/Texts.h"
#include "dialog/Conversions.h"
#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/ProgramState.h"
#include "tests/support/ScriptedRandom.h"
#include "window/Form1.h"

using namespace std::chrono_literals;

namespace {

using Kinds = std::array<std::int16_t, 6>;

// Where a part of a scroll bar is drawn, in the bar's own pixels.
QRect PartOf(const QScrollBar& bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.orientation = bar.orientation();
  option.state |= QStyle::State_Horizontal;
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.singleStep = bar.singleStep();
  option.pageStep = bar.pageStep();
  return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

void Click(QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }
void ClickPart(QScrollBar* bar, QStyle::SubControl part) { Click(bar, PartOf(*bar, part).center()); }

// In the trough beside the thumb, towards the maximum or the minimum.
void ClickTrough(QScrollBar* bar, QStyle::SubControl side) {
  const QRect trough = PartOf(*bar, side);
  ASSERT_FALSE(trough.isEmpty()) << "no trough on that side of the thumb";
  Click(bar, trough.center());
}

class SettingsDialogTest : public FreshState {
 protected:
  void SetUp() override { MakeForm(ProgramRandom()); }

  void MakeForm(RandomSource& random) {
    form_ = std::make_unique<Form1>(random);
    LayoutMainWindow(*form_);
    ConnectSettingsMenu(*form_);
  }

  void Configure(std::int16_t maxIndex, Kinds kinds) {
    Conf.MaxIndex = maxIndex;
    Conf.Kind = kinds;
    SeedFish(*form_, form_->random());
  }

  // Chooses the menu item and runs steps inside the dialog's modal loop. A
  // dialog the steps leave open is then closed as the window manager would.
  void WithDialog(const std::function<void(SettingsWindow&)>& steps) {
    bool ran = false;
    QTimer::singleShot(0, form_.get(), [&] {
      ran = true;
      SettingsWindow* window = SettingsDialog(*form_)->window();
      ASSERT_NE(window, nullptr);
      EXPECT_TRUE(window->isVisible());
      steps(*window);
      if (SettingsDialog(*form_)->window() && SettingsDialog(*form_)->window()->isVisible())
        SettingsDialog(*form_)->window()->close();
    });
    form_->mnuSetSyu->trigger();
    EXPECT_TRUE(ran) << "the dialog never ran its loop";
    EXPECT_EQ(SettingsDialog(*form_)->window(), nullptr) << "unloaded once closed";
  }

  ScriptedRandom scripted_;
  std::unique_ptr<Form1> form_;
};

TEST_F(SettingsDialogTest, OpensCentredWithItsControlsAsDesigned) {
  Configure(0, {});
  WithDialog([&](SettingsWindow& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Velmaro"));
    EXPECT_EQ(w.windowIcon().cacheKey(), form_->windowIcon().cacheKey());
    // Its design size, 3825 x 2745 twips at 15 twips per pixel, at 96 dpi
    // and in the 120-dpi run alike: the whole ratio is 1 at both.
    EXPECT_EQ(w.size(), QSize(255, 183));
    EXPECT_TRUE(w.isModal());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect outer = w.frameGeometry();
    EXPECT_LE(std::abs((outer.left() - screen.left()) - (screen.right() - outer.right())), 1);
    EXPECT_LE(std::abs((outer.top() - screen.top()) - (screen.bottom() - outer.bottom())), 1);

    // The texts, in a bold Japanese face that really has their glyphs.
    const std::pair<QWidget*, QString> texts[] = {
        {w.Label5, "金魚の数"}, {w.Label6, "１"}, {w.Label7, "５"}, {w.Label1, "赤"},
        {w.Label3, "匹"},       {w.Label2, "黒"}, {w.Label4, "匹"}, {w.com_OK, "O K"},
        {w.com_Can, "Cancel"},
    };
    for (const auto& [control, text] : texts) {
      const QString shown = qobject_cast<QLabel*>(control) ? qobject_cast<QLabel*>(control)->text()
                                                           : qobject_cast<QPushButton*>(control)->text();
      EXPECT_EQ(shown, text);
      EXPECT_TRUE(control->font().bold());
      EXPECT_TRUE(QFontInfo(control->font()).family().startsWith("IPA")) << text.toStdString();
      for (const QChar c : text) EXPECT_TRUE(QFontMetrics(control->font()).inFont(c)) << text.toStdString();
    }
    // 14.25, 18, 12 and 9 points, at 15 twips per pixel.
    EXPECT_EQ(w.Label5->font().pixelSize(), 19);
    EXPECT_EQ(w.Text1->font().pixelSize(), 24);
    EXPECT_EQ(w.Label1->font().pixelSize(), 16);
    EXPECT_EQ(w.com_OK->font().pixelSize(), 12);
    EXPECT_EQ(w.Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(w.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(w.Lab[0]->grab().toImage().pixelColor(3, 3), QColor(255, 255, 255));

    // The black row is filled in but never seen.
    for (QWidget* hidden : {static_cast<QWidget*>(w.Label2), static_cast<QWidget*>(w.Lab[1]),
                            static_cast<QWidget*>(w.Label4), static_cast<QWidget*>(w.Scr[1])})
      EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(w.Lab[1]->text(), QStringLiteral("0"));

    // The bars' ranges and steps; a dragged thumb reports only on release.
    for (const auto& [bar, minimum, pageStep] : {std::tuple{w.HScroll1, 1, 5}, std::tuple{w.Scr[0], 0, 1}}) {
      EXPECT_EQ(bar->minimum(), minimum);
      EXPECT_EQ(bar->maximum(), 5);
      EXPECT_EQ(bar->singleStep(), 1);
      EXPECT_EQ(bar->pageStep(), pageStep);
      EXPECT_FALSE(bar->hasTracking());
    }
    // A short thumb leaves trough on both sides of it.
    EXPECT_LT(PartOf(*w.HScroll1, QStyle::SC_ScrollBarSlider).width(),
              PartOf(*w.HScroll1, QStyle::SC_ScrollBarGroove).width() / 2);

    // The keyboard starts at OK, and neither button answers Enter.
    EXPECT_EQ(w.focusWidget(), w.com_OK);
    EXPECT_FALSE(w.com_OK->isDefault() || w.com_OK->autoDefault());
    EXPECT_FALSE(w.com_Can->isDefault() || w.com_Can->autoDefault());
    QList<QWidget*> tabbing;
    for (int i = 0; i < 5; ++i) {
      QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
      tabbing << w.focusWidget();
    }
    EXPECT_EQ(tabbing, (QList<QWidget*>{w.com_Can, w.Scr[0], w.Text1, w.HScroll1, w.com_OK}));
  });
}

// What a screen reader gets: each control named by the label beside it and
// tied to that label; the bars' values read and set as a user sets them.
TEST_F(SettingsDialogTest, ScreenReadersNameEachControlByItsLabel) {
  Configure(2, {0, 1, 1, 0, 0, 0});
  WithDialog([&](SettingsWindow& w) {
    const auto accessible = [](QObject* object) { return QAccessible::queryAccessibleInterface(object); };
    for (const auto& [control, label] : {std::pair<QWidget*, QLabel*>{w.HScroll1, w.Label5},
                                         {w.Text1, w.Label5}, {w.Scr[0], w.Label1}}) {
      QAccessibleInterface* face = accessible(control);
      ASSERT_NE(face, nullptr);
      EXPECT_EQ(face->text(QAccessible::Name).toStdString(), label->text().toStdString())
          << control->metaObject()->className();
      const auto labels = face->relations(QAccessible::Label);
      ASSERT_EQ(labels.size(), 1) << label->text().toStdString();
      EXPECT_EQ(labels[0].first->object(), label);
    }
    EXPECT_NE(accessible(w.Text1)->editableTextInterface(), nullptr) << "the box is still editable text";
    EXPECT_FALSE(accessible(w.Lab[0])->text(QAccessible::Description).isEmpty());
    EXPECT_FALSE(accessible(&w)->text(QAccessible::Description).isEmpty());

    QAccessibleInterface* total = accessible(w.HScroll1);
    EXPECT_EQ(total->role(), QAccessible::ScrollBar);
    EXPECT_EQ(total->text(QAccessible::Value), QStringLiteral("3"));
    ASSERT_NE(total->valueInterface(), nullptr);
    EXPECT_EQ(total->valueInterface()->minimumValue(), 1);
    EXPECT_EQ(total->valueInterface()->maximumValue(), 5);
    total->valueInterface()->setCurrentValue(5);
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 5"));
    EXPECT_EQ(Conf.MaxIndex, 4);
    ASSERT_NE(accessible(w.Scr[0])->valueInterface(), nullptr);
    EXPECT_EQ(accessible(w.Scr[0])->valueInterface()->currentValue(), 1);
  });
}

// A red count chosen at an earlier opening and never confirmed is not
// the choice at a later one.
TEST_F(SettingsDialogTest, OneBlackFishOpensAtOneWithNoRedAndStaysBlackAfterOK) {
  Configure(0, {1, 0, 0, 0, 0, 0});
  WithDialog([&](SettingsWindow& w) { ClickPart(w.Scr[0], QStyle::SC_ScrollBarAddLine); });
  EXPECT_EQ(Conf.Kind[0], 1) << "closed by the window manager: the kinds stay";
  WithDialog([&](SettingsWindow& w) {
    EXPECT_EQ(w.HScroll1->value(), 1);
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 1"));
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral("0")) << "no change ran, so no leading space";
    EXPECT_EQ(w.Scr[0]->value(), 0);
    EXPECT_EQ(w.Lab[1]->text(), QStringLiteral(" 1"));
    EXPECT_FALSE(SettingsDialog(*form_)->chosenFirstKind().has_value());
    Fish[0].Pat = 0;
    Click(w.com_OK, w.com_OK->rect().center());
  });
  EXPECT_EQ(Conf.MaxIndex, 0);
  EXPECT_EQ(Conf.Kind[0], 1);
  EXPECT_EQ(Fish[0].Pat, 2) << "re-seeded as a black fish";
}

TEST_F(SettingsDialogTest, OKAssignsKindsByPositionAndTheSameDialogOpensAgainAfresh) {
  Configure(3, {0, 1, 0, 1, 1, 0});
  WithDialog([&](SettingsWindow& w) {
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 4"));
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral(" 2"));
    EXPECT_EQ(SettingsDialog(*form_)->chosenFirstKind(), QStringLiteral(" 2"));
    Click(w.com_OK, w.com_OK->rect().center());
  });
  EXPECT_EQ(Conf.MaxIndex, 3);
  EXPECT_EQ(Conf.Kind, (Kinds{0, 0, 1, 1, 1, 0}));
  EXPECT_EQ(Fish[1].Pat / 2, 0);
  EXPECT_EQ(Fish[3].Pat / 2, 1);

  // Five fish cut to two: the kinds of fish 2 to 4 stay for a later opening.
  Conf.MaxIndex = 4;
  Conf.Kind = {0, 1, 0, 1, 0, 0};
  const frm_Set* first = SettingsDialog(*form_);
  WithDialog([&](SettingsWindow& w) {
    EXPECT_EQ(SettingsDialog(*form_), first);
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral(" 3"));
    EXPECT_EQ(w.Scr[0]->value(), 3);
    w.Text1->setText(QStringLiteral("9"));  // typed text counts for nothing
    for (int i = 0; i < 3; ++i) ClickPart(w.HScroll1, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 2"));
    Click(w.com_OK, w.com_OK->rect().center());
  });
  EXPECT_EQ(Conf.MaxIndex, 1);
  EXPECT_EQ(Conf.Kind, (Kinds{0, 0, 0, 1, 0, 0}));
}

TEST_F(SettingsDialogTest, TheAquariumFollowsTheTotalAtOnceAndKeepsItWhenClosedByTheWindowManager) {
  Configure(2, {0, 0, 0, 1, 1, 0});
  Fish[3].Pat = Fish[4].Pat = 0;  // never seeded: a re-seed would make them black
  WithDialog([&](SettingsWindow& w) {
    ClickTrough(w.HScroll1, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(w.HScroll1->value(), 5) << "a trough click goes straight to the end";
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 5"));
    EXPECT_EQ(Conf.MaxIndex, 4);

    // The fifth fish swims from the next tick on, while the dialog is open.
    const QImage before = form_->suisou().image();
    const std::int16_t x = Fish[4].X, frame = Fish[4].FrameX;
    EXPECT_TRUE(QTest::qWaitFor([&] { return Fish[4].X != x || Fish[4].FrameX != frame; }, 3000));
    EXPECT_NE(form_->suisou().image(), before);

    ClickTrough(w.HScroll1, QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(w.HScroll1->value(), 1);
    ClickTrough(w.HScroll1, QStyle::SC_ScrollBarAddPage);
  });
  EXPECT_EQ(Conf.MaxIndex, 4) << "the total last chosen stays in force";
  EXPECT_EQ(Conf.Kind, (Kinds{0, 0, 0, 1, 1, 0})) << "no kinds assigned";
  EXPECT_LT(Fish[4].Pat, 2) << "not re-seeded";
  const std::int16_t x = Fish[4].X, frame = Fish[4].FrameX;
  EXPECT_TRUE(QTest::qWaitFor([&] { return Fish[4].X != x || Fish[4].FrameX != frame; }, 3000))
      << "the fifth fish swims on after the dialog has gone";
}

TEST_F(SettingsDialogTest, DraggingTheThumbChangesTheTotalOnlyOnRelease) {
  Configure(0, {});
  WithDialog([&](SettingsWindow& w) {
    const QRect thumb = PartOf(*w.HScroll1, QStyle::SC_ScrollBarSlider);
    const QRect groove = PartOf(*w.HScroll1, QStyle::SC_ScrollBarGroove);
    QTest::mousePress(w.HScroll1, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(w.HScroll1, QPoint(groove.right(), thumb.center().y()));
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 1"));
    EXPECT_EQ(Conf.MaxIndex, 0);
    QTest::mouseRelease(w.HScroll1, Qt::LeftButton, {}, QPoint(groove.right(), thumb.center().y()));
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 5"));
    EXPECT_EQ(Conf.MaxIndex, 4);
  });
}

void Wheel(QWidget* widget, int notches) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QWheelEvent wheel(at, widget->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &wheel);
}

// Keys and the wheel move a bar as its arrows do, each change through the
// handler: the red count passes the total by one at most, told once.
TEST_F(SettingsDialogTest, KeysAndTheWheelStepTheBarsAsTheirArrowsDo) {
  Configure(0, {1});
  MessageBoxCatcher boxes;
  WithDialog([&](SettingsWindow& w) {
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Right, 2}, {Qt::Key_Right, 3}, {Qt::Key_Left, 2},
                                            {Qt::Key_Down, 3},  {Qt::Key_Up, 2},    {Qt::Key_End, 5},
                                            {Qt::Key_Home, 1},  {Qt::Key_PageDown, 5}, {Qt::Key_PageUp, 1}};
    for (const auto& [key, total] : keys) {
      QTest::keyClick(w.HScroll1, key);
      EXPECT_EQ(w.Text1->text(), Str(total)) << QKeySequence(key).toString().toStdString();
      EXPECT_EQ(Conf.MaxIndex, total - 1);
    }
    Wheel(w.HScroll1, -1);
    EXPECT_EQ(w.Text1->text(), Str(2)) << "a notch down raises by one";
    Wheel(w.HScroll1, 1);
    EXPECT_EQ(Conf.MaxIndex, 0) << "a notch up lowers by one";

    Wheel(w.Scr[0], -1);
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral(" 1"));
    Wheel(w.Scr[0], -1);  // one over the total of one
    EXPECT_EQ(w.Scr[0]->value(), 1);
    EXPECT_EQ(boxes.shown().size(), 1u);
    QTest::keyClick(w.Scr[0], Qt::Key_Left);
    EXPECT_EQ(SettingsDialog(*form_)->chosenFirstKind(), QStringLiteral(" 0"));
  });
  EXPECT_EQ(boxes.shown().size(), 1u);
}

// Tabbed to, the red bar looks different from the same bar without the focus.
TEST_F(SettingsDialogTest, TheScrollBarWithTheKeyboardFocusIsMarked) {
  Configure(2, {});
  WithDialog([&](SettingsWindow& w) {
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const QImage unfocused = w.Scr[0]->grab().toImage();
    QTest::keyClick(&w, Qt::Key_Tab);  // from O K to Cancel
    QTest::keyClick(&w, Qt::Key_Tab);
    ASSERT_TRUE(w.Scr[0]->hasFocus());
    EXPECT_NE(w.Scr[0]->grab().toImage(), unfocused);
    ClickPart(w.HScroll1, QStyle::SC_ScrollBarAddLine);
    EXPECT_TRUE(w.HScroll1->hasFocus()) << "a click gives a bar the focus too";
  });
}

int DarkPixels(QWidget& widget) {
  const QImage picture = widget.grab().toImage();
  int dark = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) dark += qGray(picture.pixel(x, y)) < 128;
  return dark;
}

// Bold strokes are clearly wider than regular ones at every device pixel
// ratio (this suite runs again at 2).
TEST_F(SettingsDialogTest, TheLabelsAreBoldAtEveryRatio) {
  Configure(2, {});
  WithDialog([&](SettingsWindow& w) {
    QLabel regular(w.Label5->text(), &w);
    QFont font = w.Label5->font();
    font.setBold(false);
    regular.setFont(font);
    regular.setGeometry(w.Label5->geometry());
    EXPECT_GT(DarkPixels(*w.Label5), 1.4 * DarkPixels(regular)) << "金魚の数 is not bold";
  });
}

TEST_F(SettingsDialogTest, ARedCountOneAboveTheTotalShowsTheLimitMessageOnce) {
  Configure(2, {0, 0, 0, 0, 0, 0});
  MessageBoxCatcher boxes;
  QRect count;
  WithDialog([&](SettingsWindow& w) {
    count = QRect(w.Lab[0]->mapToGlobal(QPoint(0, 0)), w.Lab[0]->size());
    ClickPart(w.Scr[0], QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(w.Scr[0]->value(), 3);
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral(" 3"));
    EXPECT_EQ(SettingsDialog(*form_)->chosenFirstKind(), QStringLiteral(" 3"));
  });
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, kLimitMessageTitle);
  EXPECT_EQ(boxes.shown()[0].text, kLimitMessageText);
  EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(boxes.shown()[0].buttons, 1);
  EXPECT_FALSE(boxes.shown()[0].okButtonHasIcon);
  // Clear of the count too large, across the middle of the screen.
  const QRect frame = boxes.shown()[0].frame;
  EXPECT_FALSE(frame.intersects(count)) << "the message hides Lab(0)";
  EXPECT_LE(std::abs(frame.center().x() - QGuiApplication::primaryScreen()->availableGeometry().center().x()), 1);

  // Dragged to the bottom of the screen, the dialog has the message above it.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(frame));
  WithDialog([&](SettingsWindow& w) {
    w.move(w.x(), screen.bottom() + 1 - w.frameGeometry().height());
    count = QRect(w.Lab[0]->mapToGlobal(QPoint(0, 0)), w.Lab[0]->size());
    ClickPart(w.Scr[0], QStyle::SC_ScrollBarAddLine);
  });
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_FALSE(boxes.shown()[1].frame.intersects(count)) << "the message hides Lab(0)";
  EXPECT_TRUE(screen.contains(boxes.shown()[1].frame)) << "the message reaches past the screen";
}

// A held mouse button on an arrow repeats after half a second; the messages
// stay up longer than that, and the repeat must not go on behind them.
TEST_F(SettingsDialogTest, LoweringTheTotalBelowTheRedCountThenOneArrowClickShowsAMessagePerExcessFish) {
  Configure(4, {0, 0, 0, 0, 1, 0});
  MessageBoxCatcher boxes(700ms);
  int ticks = 0;
  QObject::connect(&form_->Timer1, &QTimer::timeout, [&] { ++ticks; });
  WithDialog([&](SettingsWindow& w) {
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral(" 4"));
    ClickTrough(w.HScroll1, QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(Conf.MaxIndex, 0);
    EXPECT_TRUE(boxes.shown().empty()) << "no message while only the total changes";

    const QPoint arrow = PartOf(*w.Scr[0], QStyle::SC_ScrollBarSubLine).center();
    QTest::mousePress(w.Scr[0], Qt::LeftButton, {}, arrow);
    QTest::mouseRelease(w.Scr[0], Qt::LeftButton, {}, arrow);
    EXPECT_EQ(w.Scr[0]->value(), 1);
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral(" 1"));
    EXPECT_EQ(SettingsDialog(*form_)->chosenFirstKind(), QStringLiteral(" 1"));
  });
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_GE(ticks, 5) << "the aquarium swims on behind the messages";
}

TEST_F(SettingsDialogTest, ARedCountOfNoneMakesEveryFishBlackWithoutReseedingForKinds) {
  MakeForm(scripted_);
  Configure(2, {0, 1, 1, 0, 0, 0});
  form_->Timer1.stop();
  form_->Timer2.stop();
  const int seeding = std::exchange(scripted_.reseeds, 0);
  WithDialog([&](SettingsWindow& w) {
    ClickPart(w.Scr[0], QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(SettingsDialog(*form_)->chosenFirstKind(), QStringLiteral(" 0"));
    Click(w.com_OK, w.com_OK->rect().center());
  });
  EXPECT_EQ(scripted_.reseeds, seeding) << "only the seeding reseeds";
  EXPECT_EQ(Conf.Kind, (Kinds{1, 1, 1, 0, 0, 0}));

  scripted_.reseeds = 0;
  WithDialog([&](SettingsWindow& w) {
    ClickPart(w.Scr[0], QStyle::SC_ScrollBarAddLine);
    ClickPart(w.Scr[0], QStyle::SC_ScrollBarAddLine);
    Click(w.com_OK, w.com_OK->rect().center());
  });
  EXPECT_EQ(scripted_.reseeds, seeding + 2) << "one reseed per red fish";
  EXPECT_EQ(Conf.Kind, (Kinds{0, 0, 1, 0, 0, 0}));
}

TEST_F(SettingsDialogTest, CancelEscapeAndEnterAwayFromOKDoNothing) {
  Configure(1, {0, 1, 0, 0, 0, 0});
  const SetRec before = Conf;
  WithDialog([&](SettingsWindow& w) {
    Click(w.com_Can, w.com_Can->rect().center());
    QTest::keyClick(&w, Qt::Key_Escape);
    QTest::keyClick(w.com_OK, Qt::Key_Escape);
    QTest::keyClick(w.Text1, Qt::Key_Return);
    w.com_Can->setFocus();
    QTest::keyClick(w.com_Can, Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(Conf, before);
  });
  EXPECT_EQ(Conf, before);

  // Only the keyboard's press of OK itself assigns the kinds.
  Conf.Kind = {1, 0, 0, 0, 0, 0};
  WithDialog([&](SettingsWindow& w) {
    ASSERT_EQ(w.focusWidget(), w.com_OK);
    QTest::keyClick(w.com_OK, Qt::Key_Return);
    EXPECT_EQ(SettingsDialog(*form_)->window()->isVisible(), false);
  });
  EXPECT_EQ(Conf.Kind, (Kinds{0, 1, 0, 0, 0, 0}));
  Conf.Kind = {1, 0, 0, 0, 0, 0};
  WithDialog([&](SettingsWindow& w) { QTest::keyClick(w.com_OK, Qt::Key_Enter, Qt::KeypadModifier); });
  EXPECT_EQ(Conf.Kind, (Kinds{0, 1, 0, 0, 0, 0})) << "keypad Enter on O K";

}

TEST_F(SettingsDialogTest, StoredTotalsOutsideTheBarOpenAtItsNearestEnd) {
  Configure(-1, {1, 0, 0, 0, 0, 0});
  WithDialog([&](SettingsWindow& w) {
    EXPECT_EQ(w.HScroll1->value(), 1);
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 1"));
    EXPECT_EQ(Conf.MaxIndex, 0);
    EXPECT_EQ(w.Lab[1]->text(), QStringLiteral(" 1"));
  });

  Configure(5, {0, 1, 0, 1, 0, 1});
  WithDialog([&](SettingsWindow& w) {
    EXPECT_EQ(w.HScroll1->value(), 5);
    EXPECT_EQ(w.Text1->text(), QStringLiteral(" 5"));
    EXPECT_EQ(Conf.MaxIndex, 4);
    EXPECT_EQ(w.Lab[0]->text(), QStringLiteral(" 3"));
    Click(w.com_OK, w.com_OK->rect().center());
  });
  EXPECT_EQ(Conf.Kind, (Kinds{0, 0, 0, 1, 1, 1}));
}

// A box that no test expects fails its test at once instead of hanging it.
TEST(UnexpectedBoxWatchdog, FailsTheTestThatShowsABoxAndClosesIt) {
  EXPECT_NONFATAL_FAILURE(
      QMessageBox(QMessageBox::Warning, QStringLiteral("Velmaro"), QStringLiteral("?"), QMessageBox::Ok).exec(),
      "an unexpected message box \"Velmaro\": ?");
}

}  // namespace
