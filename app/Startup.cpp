// Velmaro — start-up.
#include "app/Startup.h"

#include <QApplication>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "assets/Pictures.h"
#include "sim/Aquarium.h"
#include "sim/Int16.h"
#include "sim/State.h"
#include "sim/Surfaces.h"
#include "window/Form1.h"
#include "window/Placement.h"

namespace {

// Moved to a screen of another density, a window keeps its size in device
// pixels and Qt reads a new size off it: the window is given its own back,
// and the window manager new limits in the new screen's pixels.
void KeepSizeOnEveryScreen(QWidget& window) {
  const QSize size = window.size();
  QObject::connect(window.windowHandle(), &QWindow::screenChanged, &window, [&window, size] {
    // After Qt has finished with the move.
    QTimer::singleShot(0, &window, [&window, size] {
      window.setMinimumSize(0, 0);
      window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
      window.setFixedSize(size);
    });
  });
}

}  // namespace

QString ChooseWindowSystem(const QString& requested, const QString& x11Display) {
  if (!requested.isEmpty() || x11Display.isEmpty()) return {};
  return QStringLiteral("xcb");
}

QString RoundedScaleFactors(const QString& factors) {
  QStringList parts = factors.split(QLatin1Char(';'));
  for (QString& part : parts) {
    const qsizetype value = part.lastIndexOf(QLatin1Char('=')) + 1;
    bool number = false;
    const double factor = part.mid(value).toDouble(&number);
    if (number) part = part.left(value) + QString::number(std::max(1.0, std::round(factor)));
  }
  return parts.join(QLatin1Char(';'));
}

void PrepareApplication() {
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
  // Windows and macOS have one window system of their own, whatever DISPLAY says.
  const QString windowSystem = ChooseWindowSystem(qEnvironmentVariable("QT_QPA_PLATFORM"),
                                                  qEnvironmentVariable("DISPLAY"));
  if (!windowSystem.isEmpty()) qputenv("QT_QPA_PLATFORM", windowSystem.toUtf8());
#endif
  // The screen's own factor (Xft.dpi, a desktop's scale) Qt rounds itself;
  // factors asked for by name it would apply as they stand.
  for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"}) {
    if (qEnvironmentVariableIsSet(name))
      qputenv(name, RoundedScaleFactors(qEnvironmentVariable(name)).toUtf8());
  }
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

void LayoutMainWindow(Form1& form) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  // Qt shows a pixel as a whole ratio's block of device pixels, 1/96 inch
  // as at 100 %, yet reports the screen's own density (120 dpi at 125 %, 72
  // at 150 %): twips from that would size the dialog against the picture.
  // Only with Qt's scaling switched off are the screen's own twips a pixel's.
  const bool qtScales = !qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING") ||
                        qEnvironmentVariableIntValue("QT_ENABLE_HIGHDPI_SCALING") > 0;
  const double dpiX = qtScales ? 96 : screen->logicalDotsPerInchX();
  const double dpiY = qtScales ? 96 : screen->logicalDotsPerInchY();
  // At least 1, so that a screen of absurd density cannot divide by zero.
  TwipX = std::max<std::int16_t>(1, Nearest16(1440.0 / dpiX));
  TwipY = std::max<std::int16_t>(1, Nearest16(1440.0 / dpiY));

  SetOuterWidth(form, OuterWidth(form) - TwipX * double{form.ScaleWidth()} + TwipX * kFrameWidth);
  SetOuterHeight(form, OuterHeight(form) - TwipY * double{form.ScaleHeight()} + TwipY * kFrameHeight);
  CentreOnScreen(form);

  form.suisou().setGeometry(0, 0, kFrameWidth, kFrameHeight);
  form.canvas().LayOut();

  // The picture never changes size, so neither does the window.
  form.setFixedSize(form.size());
  CentreAgainOnceFramed(form);
  form.show();
  KeepSizeOnEveryScreen(form);
}

std::unique_ptr<Form1> Main(SettingsKeeper& settings, RandomSource& random) {
  // Every window's icon, the message boxes' before the main window's too.
  QApplication::setWindowIcon(pictures::ProgramIcon());
  settings.Load();
  auto form = std::make_unique<Form1>(random);
  Form1* window = form.get();
  form->SetUnloadHandler([&settings, window](std::int16_t& cancel) { settings.Form_Unload(*window, cancel); });
  LayoutMainWindow(*form);
  SeedFish(*form, random);
  return form;
}

Program::Program() : form_(Main(settings_)) {}

Program::~Program() = default;

int Program::Run() {
  if (shutdown_.requested()) {
    // Asked to end while start-up waited for a message box.
    form_->close();
    return settings_.exitStatus();
  }
  shutdown_.Watch(*form_);
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, form_.get(), [this](QSessionManager& session) {
    settings_.SaveOnRequest(*form_, [&session] { return session.allowsErrorInteraction(); });
  });
  settings_.SaveIfEndedWithTheWindowOpen();
  const int loop = QApplication::exec();
  return loop != 0 ? loop : settings_.exitStatus();
}
