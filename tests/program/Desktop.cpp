#include "tests/program/Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& probe, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    // Lets QProcess notice children that started or ended meanwhile.
    QCoreApplication::processEvents();
    if (probe()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
}

std::optional<Finished> RunToEnd(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment, const QString& folder,
                                 std::chrono::milliseconds limit) {
  Child process;
  process.Start(QStringList{program} + arguments, environment, folder);
  if (!process.waitForFinished(static_cast<int>(limit.count())) || process.exitStatus() != QProcess::NormalExit)
    return std::nullopt;
  return Finished{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                  QString::fromUtf8(process.readAllStandardError())};
}

void Child::Start(const QStringList& command, const QProcessEnvironment& environment, const QString& folder) {
  setProcessEnvironment(environment);
  setWorkingDirectory(folder);
  setChildProcessModifier([] {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  });
  start(command.value(0), command.mid(1));
  waitForStarted();
  group_ = processId();
}

bool Child::WaitForEnd(std::chrono::milliseconds limit) {
  return WaitUntil([&] { return state() == QProcess::NotRunning || waitForFinished(100); }, limit);
}

void Child::Stop(bool gently) {
  if (gently && state() != QProcess::NotRunning) {
    terminate();
    waitForFinished(3000);
  }
  if (group_ > 0) ::kill(static_cast<pid_t>(-group_), SIGKILL);
  group_ = 0;
  waitForFinished(3000);
}

VirtualDesktop::~VirtualDesktop() {
  windowManager_.Stop(true);
  server_.Stop(true);
}

QProcessEnvironment VirtualDesktop::Environment() const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", display_);
  environment.remove("QT_QPA_PLATFORM");
  environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtimeFolder_.filePath("no-session-bus"));
  if (waylandDisplay_.isEmpty()) {
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("XDG_SESSION_TYPE");
  } else {
    // The compositor makes its socket here; clients, whose runtime folder
    // may be another, find it by its whole path.
    environment.insert("XDG_RUNTIME_DIR", runtimeFolder_.path());
    environment.insert("WAYLAND_DISPLAY", runtimeFolder_.filePath(waylandDisplay_));
    environment.insert("XDG_SESSION_TYPE", "wayland");
  }
  return environment;
}

std::optional<QString> VirtualDesktop::Run(const QString& program, const QStringList& arguments) const {
  const auto finished = RunToEnd(program, arguments, Environment(), {}, std::chrono::seconds(10));
  if (!finished || finished->exitCode != 0) return std::nullopt;
  return finished->output;
}

bool VirtualDesktop::MissingTools(const QStringList& tools) {
  for (const QString& tool : tools) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      why_ = QStringLiteral("%1 is not installed").arg(tool);
      return true;
    }
  }
  return false;
}

bool VirtualDesktop::Start(Kind kind) {
  if (kind == Kind::x11 && Share()) return true;
  return kind == Kind::wayland ? StartWayland() : StartX11(kind == Kind::x11TwoMonitors);
}

namespace {

QString Field(const QString& file, const QString& name) {
  QFile text(file);
  if (!text.open(QIODevice::ReadOnly)) return {};
  const QRegularExpression line("^" + name + "=(.*)$", QRegularExpression::MultilineOption);
  return line.match(QString::fromUtf8(text.readAll())).captured(1);
}

}  // namespace

bool VirtualDesktop::Share() {
  const QString file = qEnvironmentVariable("VELMARO_SHARED_DISPLAY");
  display_ = file.isEmpty() ? QString() : Field(file, "DISPLAY");
  shared_ = !display_.isEmpty() && Run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).value_or("").contains("window id");
  return shared_;
}

int VirtualDesktop::Shared(const QString& command, const QString& file) {
  using namespace std::chrono_literals;
  const int server = Field(file, "XVFB").toInt();
  // A keeper ends once the file no longer names it: at the stop, or at the
  // start of a run after one that was cut short.
  QFile::remove(file);
  if (command == "stop") return WaitUntil([&] { return server <= 0 || ::kill(server, 0) != 0; }, 15s) ? 0 : 1;
  if (command == "keep") {
    qunsetenv("VELMARO_SHARED_DISPLAY");
    VirtualDesktop desktop;
    const QString self = QString::number(QCoreApplication::applicationPid());
    const bool started = desktop.Start();
    QSaveFile fields(file);
    fields.open(QIODevice::WriteOnly);
    fields.write(((started ? QStringLiteral("DISPLAY=%1\nXVFB=%2\nOPENBOX=%3\n")
                                .arg(desktop.display_, QString::number(desktop.server_.processId()),
                                     QString::number(desktop.windowManager_.processId()))
                          : "FAILED=" + desktop.why() + "\n") + "KEEPER=" + self + "\n").toUtf8());
    if (!fields.commit() || !started) return 1;
    WaitUntil([&] {
      return desktop.server_.state() != QProcess::Running || desktop.windowManager_.state() != QProcess::Running ||
             Field(file, "KEEPER") != self;
    }, 24h);
    if (Field(file, "KEEPER") == self) QFile::remove(file);
    return 0;
  }

  QProcess keeper;
  keeper.setProgram(QCoreApplication::applicationFilePath());
  keeper.setArguments({"--shared-display", "keep", file});
  // Nothing of ctest's may stay open in it, or ctest waits for it to end.
  keeper.setStandardInputFile(QProcess::nullDevice());
  keeper.setStandardOutputFile(QProcess::nullDevice());
  keeper.setStandardErrorFile(QProcess::nullDevice());
  if (!keeper.startDetached() || !WaitUntil([&] { return !Field(file, "KEEPER").isEmpty(); }, 30s)) {
    std::fprintf(stderr, "no shared display started\n");
    return 1;
  }
  // The tests then start displays of their own, or say why they cannot.
  if (const QString failed = Field(file, "FAILED"); !failed.isEmpty())
    std::fprintf(stderr, "no shared display: %s\n", failed.toLocal8Bit().constData());
  else
    std::printf("shared display %s\n", Field(file, "DISPLAY").toLocal8Bit().constData());
  return 0;
}

bool VirtualDesktop::StartWayland() {
  if (MissingTools({"weston", "Xwayland", "xdotool", "xwininfo", "xprop"})) return false;
  if (!runtimeFolder_.isValid()) {
    why_ = QStringLiteral("no runtime folder for the compositor");
    return false;
  }
  waylandDisplay_ = QStringLiteral("velmaro-%1").arg(QCoreApplication::applicationPid());
  QProcessEnvironment compositor = Environment();
  compositor.remove("WAYLAND_DISPLAY");
  server_.setProcessChannelMode(QProcess::MergedChannels);
  server_.Start({"weston", "--backend=headless-backend.so", "--xwayland", "--idle-time=0",
                 "--socket=" + waylandDisplay_, "--width=1280", "--height=1024"}, compositor);
  // The compositor names the X display it serves for XWayland in its log.
  QString log;
  const QRegularExpression listening("xserver listening on display (:\\d+)");
  WaitUntil([&] {
    server_.waitForReadyRead(50);
    log += QString::fromLocal8Bit(server_.readAll());
    return listening.match(log).hasMatch() || server_.state() == QProcess::NotRunning;
  }, 10s);
  display_ = listening.match(log).captured(1);
  if (display_.isEmpty()) {
    why_ = QStringLiteral("weston did not start: %1").arg(log.right(2000));
    return false;
  }
  return true;
}

bool VirtualDesktop::StartX11(bool twoMonitors) {
  if (MissingTools({"Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "xdpyinfo"})) return false;
  if (twoMonitors && MissingTools({"xrandr"})) return false;
  // Tests run side by side. Xvfb's own choice of a free display can hand
  // out a number whose server is still shutting down, and the clients of
  // two tests then meet on one display. So each test first claims a number
  // for itself, then starts Xvfb on it; a server of someone else's there
  // makes Xvfb give up, and the next number is tried.
  const int first = 100 + QCoreApplication::applicationPid() % 400;
  for (int number = first; number < first + 200; ++number) {
    auto claim = std::make_unique<QLockFile>(QStringLiteral("%1/velmaro-display-%2.lock")
                                                 .arg(QDir::tempPath()).arg(number));
    if (!claim->tryLock(0)) continue;
    displayClaim_ = std::move(claim);
    if (StartX11On(number, twoMonitors)) return true;
    windowManager_.Stop(true);
    server_.Stop(true);
  }
  return false;
}

bool VirtualDesktop::StartX11On(int number, bool twoMonitors) {
  // Xvfb tells the display number on standard output once it is ready.
  server_.Start({"Xvfb", QStringLiteral(":%1").arg(number), "-displayfd", "1", "-screen", "0",
                 twoMonitors ? "2560x1024x24" : "1280x1024x24", "-dpi", "96", "-nolisten", "tcp"},
                QProcessEnvironment::systemEnvironment());
  QByteArray ready;
  WaitUntil([&] {
    server_.waitForReadyRead(50);
    ready += server_.readAllStandardOutput();
    return ready.contains('\n') || server_.state() == QProcess::NotRunning;
  }, 10s);
  if (!ready.contains('\n') || server_.state() == QProcess::NotRunning) {
    why_ = QStringLiteral("Xvfb did not start: %1").arg(QString::fromLocal8Bit(server_.readAllStandardError()));
    return false;
  }
  display_ = QStringLiteral(":%1").arg(number);
  windowManager_.Start({"openbox"}, Environment());
  if (!WaitUntil([&] {
        if (windowManager_.state() == QProcess::NotRunning) return true;
        const auto check = Run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
        return check && check->contains("window id");
      }, 10s) || windowManager_.state() == QProcess::NotRunning) {
    why_ = QStringLiteral("openbox did not start on %1 (%2): %3")
               .arg(display_, windowManager_.state() == QProcess::Running ? "running" : "ended",
                    QString::fromLocal8Bit(windowManager_.readAllStandardError()));
    return false;
  }
  // openbox announces itself before it handles requests, and a window mapped
  // in between may never be managed: wait until it answers one.
  if (!WaitUntil([&] {
        Run("xdotool", {"set_num_desktops", "1"});
        return Run("xprop", {"-root", "_NET_NUMBER_OF_DESKTOPS"}).value_or("").contains("= 1");
      }, 10s)) {
    why_ = QStringLiteral("openbox on %1 does not answer").arg(display_);
    return false;
  }
  // Monitors last while a client is connected: openbox is.
  if (twoMonitors && !(Run("xrandr", {"--setmonitor", "left", "1280/338x1024/270+0+0", "screen"}) &&
                       Run("xrandr", {"--setmonitor", "right", "1280/338x1024/270+1280+0", "none"}) &&
                       Run("xrandr", {"--listmonitors"}).value_or("").contains("Monitors: 2"))) {
    why_ = QStringLiteral("xrandr did not split %1 into two monitors").arg(display_);
    return false;
  }
  return true;
}

std::optional<WindowGeometry> Geometry(const VirtualDesktop& desktop, const QString& window) {
  const auto info = desktop.Run("xwininfo", window == "root" ? QStringList{"-root"} : QStringList{"-id", window});
  if (!info) return std::nullopt;
  auto field = [&](const char* name) {
    const QRegularExpression pattern(QStringLiteral("%1:\\s*(-?\\d+)").arg(QRegularExpression::escape(name)));
    return pattern.match(*info).captured(1).toInt();
  };
  return WindowGeometry{field("Absolute upper-left X"), field("Absolute upper-left Y"),
                        field("Width"), field("Height")};
}

std::optional<std::array<int, 4>> FrameExtents(const VirtualDesktop& desktop, const QString& window) {
  const auto property = desktop.Run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"});
  if (!property) return std::nullopt;
  const QRegularExpression pattern("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)");
  const auto match = pattern.match(*property);
  if (!match.hasMatch()) return std::nullopt;
  return std::array<int, 4>{match.captured(1).toInt(), match.captured(2).toInt(),
                            match.captured(3).toInt(), match.captured(4).toInt()};
}
