// Velmaro — start-up: the window system, the main window's layout, and the
// program put together.
#pragma once

#include <QString>

#include <memory>

#include "app/SettingsKeeper.h"
#include "app/Shutdown.h"
#include "sim/Random.h"

class Form1;

// The window system to ask Qt for, or "" for Qt's own choice. The program
// places its window itself, which only X11 allows: in a Wayland session that
// means XWayland, whenever an X display is there. A choice made in
// QT_QPA_PLATFORM is kept.
QString ChooseWindowSystem(const QString& requested, const QString& x11Display);

// A scale factor asked for by name (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS:
// "1.5", or "name=1.5;other=2") with each number rounded to a whole one, at
// least 1.
QString RoundedScaleFactors(const QString& factors);

// Must run before the application object exists: the window system, and
// whole device pixel ratios, whatever asks for the scale, that keep the
// pixel art sharp and the screen's real twips visible.
void PrepareApplication();

// Loads the settings, loads and lays out the main window, whose unload saves
// them, shows it and seeds the fish, which draw from random. The caller keeps
// the window until the event loop ends, and settings longer.
std::unique_ptr<Form1> Main(SettingsKeeper& settings, RandomSource& random = ProgramRandom());

// Inner area exactly 500 x 300 pixels, window centred on the screen by its
// outer size, surfaces sized and the background copied into back; then shown.
void LayoutMainWindow(Form1& form);

// The whole program, started: the settings, the main window, and the ways
// it is told to end or to save from outside (signals, the window destroyed
// by another client, the session manager, the display gone).
class Program {
 public:
  Program();
  ~Program();
  Form1& form() { return *form_; }
  // The event loop, to the end; the exit status.
  int Run();

 private:
  ShutdownRequests shutdown_;  // from the start: a signal may come during a start-up box
  SettingsKeeper settings_;
  std::unique_ptr<Form1> form_;
};
