// Velmaro — start-up, the main window's layout and shutdown.
#include "app/Startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/Settings.h"
#include "assets/Pictures.h"
#include "render/Form1.h"
#include "render/Placement.h"
#include "sim/Aquarium.h"
#include "sim/Int16.h"
#include "sim/Surfaces.h"

namespace {

int exit_status = 0;
bool set_left_alone = false;  // SET is no ordinary file: never written
bool unloaded = false;        // the main window's unload has saved

void ReportProblem(QWidget* parent, const QString& text) {
  std::fprintf(stderr, "%s\n", text.toUtf8().constData());
  std::fflush(stderr);
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Velmaro"), text, QMessageBox::Ok, parent);
  box.exec();
}

void Warn(const std::string& warning) {
  if (warning.empty()) return;
  std::fprintf(stderr, "%s\n", warning.c_str());
  std::fflush(stderr);
}

QString WithReason(const QString& text, const std::string& reason) {
  return text + QLatin1Char('\n') + QString::fromStdString(reason);
}

// Saves the settings; a failure is told on standard error, and in a box
// when one may be shown (asked only then). False when nothing was saved.
bool SaveAndTell(QWidget* parent, const std::function<bool()>& mayShowBox) {
  const auto saved = SaveSettings();
  if (saved.ok) return true;
  const QString text = WithReason(kSaveFailedText, saved.reason);
  if (mayShowBox())
    ReportProblem(parent, text);
  else
    Warn(text.toStdString());
  return false;
}

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
  // At least 1, so that a screen of absurd density cannot divide by zero.
  TwipX = std::max<std::int16_t>(1, Nearest16(1440.0 / screen->logicalDotsPerInchX()));
  TwipY = std::max<std::int16_t>(1, Nearest16(1440.0 / screen->logicalDotsPerInchY()));

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

void Form_Unload(Form1& form, std::int16_t& /*Cancel*/) {
  unloaded = true;
  if (set_left_alone) {
    exit_status = 1;
    return;
  }
  if (!SaveAndTell(&form, [] { return true; })) exit_status = 1;
}

int ExitStatus() { return exit_status; }

void CommitSettings(Form1& form, const std::function<bool()>& mayShowBox) {
  if (!set_left_alone) SaveAndTell(&form, mayShowBox);
}

void SaveSettingsIfEndedWithTheWindowOpen() {
  std::atexit([] {
    if (unloaded || set_left_alone) return;
    unloaded = true;
    Warn(kDisplayLostText.toStdString());
    SaveAndTell(nullptr, [] { return false; });
  });
}

void ResetStartupState() {
  exit_status = 0;
  set_left_alone = false;
  unloaded = false;
}

std::unique_ptr<Form1> Main(RandomSource& random) {
  // Every window's icon, the message boxes' before the main window's too.
  QApplication::setWindowIcon(pictures::ProgramIcon());
  if (const auto loaded = LoadSettings(); !loaded.notOrdinary.empty()) {
    ResetConf();
    set_left_alone = true;
    ReportProblem(nullptr, kNotOrdinaryText.arg(QString::fromStdString(loaded.notOrdinary)));
  } else if (!loaded.ok) {
    ResetConf();
    ReportProblem(nullptr, WithReason(loaded.missing ? kCreateFailedText : kLoadFailedText, loaded.reason));
  } else {
    // Warnings only: the aquarium runs as well as it can with what was read.
    if (loaded.readOnly) Warn(kReadOnlyText.toStdString());
    Warn(RepairDamagedCount(Conf));
    Warn(RepairDamagedKinds(Conf));
  }

  auto form = std::make_unique<Form1>(random);
  Form1* window = form.get();
  form->SetUnloadHandler([window](std::int16_t& cancel) { Form_Unload(*window, cancel); });
  LayoutMainWindow(*form);
  SeedFish(*form, random);
  return form;
}
