// A virtual X display with a window manager, the few X tools the tests of
// the real program drive it with, and the processes they start.
#pragma once

#include <QLockFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// Repeats probe until it holds or the time is up; true if it held.
bool WaitUntil(const std::function<bool()>& probe, std::chrono::milliseconds limit);

struct Finished {
  int exitCode = -1;
  QString output, errors;
};
// Runs a command to its end; nothing when it did not start, crashed or took
// too long.
std::optional<Finished> RunToEnd(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                                 const QString& folder = {}, std::chrono::milliseconds limit = std::chrono::minutes(2));

// A process of the test's, leading a process group of its own that dies with
// the test: stopped, with whatever it started, however the test ends.
class Child : public QProcess {
 public:
  ~Child() override { Stop(); }
  void Start(const QStringList& command, const QProcessEnvironment& environment, const QString& folder = {});
  bool WaitForEnd(std::chrono::milliseconds limit = std::chrono::seconds(15));
  // Gently: told to end, and killed only if it does not.
  void Stop(bool gently = false);

 private:
  qint64 group_ = 0;
};

class VirtualDesktop {
 public:
  VirtualDesktop() = default;
  VirtualDesktop(const VirtualDesktop&) = delete;
  VirtualDesktop& operator=(const VirtualDesktop&) = delete;
  ~VirtualDesktop();

  enum class Kind {
    x11,      // Xvfb with openbox
    wayland,  // a headless Wayland compositor (weston) with XWayland
    x11TwoMonitors,  // Xvfb 2560 x 1024 split into two 1280 x 1024 monitors, left and right
  };

  // Starts a virtual display of the kind asked for, or takes the X11 one
  // that ctest shares between tests, named in the file VELMARO_SHARED_DISPLAY
  // names. False, with why(), when it cannot be had.
  bool Start(Kind kind = Kind::x11);
  const QString& why() const { return why_; }
  bool shared() const { return shared_; }

  // For ctest: "start" leaves Xvfb and openbox running in a process of their
  // own that writes DISPLAY and the pids into file, "stop" ends them. The
  // exit status.
  static int Shared(const QString& command, const QString& file);
  // The display server ends at once, as when it crashes or the session ends.
  void EndServer() { server_.kill(); }

  // Runs an X client on this display to its end; its standard output, or
  // nothing when it failed.
  std::optional<QString> Run(const QString& program, const QStringList& arguments) const;

  // An environment for programs on this display: in a Wayland session, the
  // one a desktop session gives them. It names a session bus that is not
  // there, so that no bus is started for them behind the tests' backs.
  QProcessEnvironment Environment() const;

 private:
  bool Share();
  bool StartX11(bool twoMonitors);
  bool StartX11On(int number, bool twoMonitors);
  bool StartWayland();
  bool MissingTools(const QStringList& tools);

  Child server_;
  Child windowManager_;
  QString display_;
  std::unique_ptr<QLockFile> displayClaim_;
  QString waylandDisplay_;
  QTemporaryDir runtimeFolder_;
  QString why_;
  bool shared_ = false;
};

struct WindowGeometry {
  int x = 0, y = 0, width = 0, height = 0;  // the client area, on the screen
};

// What xwininfo says of a window ("root" for the screen), or nothing.
std::optional<WindowGeometry> Geometry(const VirtualDesktop& desktop, const QString& window);

// The window manager's frame round a window: left, right, top, bottom.
std::optional<std::array<int, 4>> FrameExtents(const VirtualDesktop& desktop, const QString& window);
