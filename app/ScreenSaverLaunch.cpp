// Velmaro — started as a screen saver.
#include "app/ScreenSaverLaunch.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <optional>

#include "app/Settings.h"
#include "app/SettingsKeeper.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "assets/Texts.h"
#include "sim/State.h"
#include "window/Form1.h"
#include "window/ScreenSaver.h"

#ifdef Q_OS_WIN
#include <windows.h>
#elif __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define VELMARO_HAS_XCB 1
#endif

namespace {

std::optional<std::uint64_t> WindowNumber(const QString& text) {
  bool ok = false;
  const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
  const std::uint64_t number = (hex ? text.mid(2) : text).toULongLong(&ok, hex ? 16 : 10);
  if (!ok || number == 0) return std::nullopt;
  return number;
}

Launch ParseX(const QStringList& arguments, const QString& givenWindow) {
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    QString name = arguments[i];
    if (!name.startsWith(QLatin1Char('-'))) continue;
    name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    if (name == QLatin1String("root")) {
      if (const auto window = WindowNumber(givenWindow)) return {Launch::Mode::intoWindow, *window};
      return {Launch::Mode::fullScreen};
    }
    const QString option = name.section(QLatin1Char('='), 0, 0);
    if (option != QLatin1String("window-id")) continue;
    const QString value = name.contains(QLatin1Char('=')) ? name.section(QLatin1Char('='), 1)
                                                          : arguments.value(i + 1);
    if (const auto window = WindowNumber(value)) return {Launch::Mode::intoWindow, *window};
  }
  return {};
}

std::optional<Launch> ParseWindows(const QStringList& arguments) {
  if (arguments.isEmpty()) return std::nullopt;
  const QString& first = arguments[0];
  const bool colon = first.size() > 2 && first[2] == QLatin1Char(':');
  if (first.size() < 2 || (first[0] != QLatin1Char('/') && first[0] != QLatin1Char('-')) ||
      (first.size() > 2 && !colon))
    return std::nullopt;
  const QString number = colon ? first.mid(3) : arguments.value(1);
  switch (first[1].toLower().unicode()) {
    case 's':
      return Launch{Launch::Mode::fullScreen};
    case 'c':
      return Launch{Launch::Mode::settings};
    case 'p':
      if (const auto window = WindowNumber(number)) return Launch{Launch::Mode::preview, *window};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

// Not quit(), which first asks every window to close, and a window inside
// another program's cannot.
void End() { QCoreApplication::exit(0); }

void EndWith(ScreenSaver& saver) {
  QObject::connect(&saver, &ScreenSaver::ended, qApp, &End, Qt::QueuedConnection);
}

// Every monitor shows the aquarium, each at its own largest scale.
void ShowFullScreen(ScreenSaver& saver) {
  for (QScreen* screen : QGuiApplication::screens()) {
    ScreenSaverView& view = saver.AddView(true);
    view.windowHandle()->setScreen(screen);
    view.setGeometry(screen->geometry());
    view.showFullScreen();
  }
}

#ifdef Q_OS_WIN
// The inside of the window, on the screen, in device pixels; empty once gone.
QRect HostArea(HWND host) {
  RECT inside{};
  POINT origin{0, 0};
  if (!IsWindow(host) || !GetClientRect(host, &inside) || !ClientToScreen(host, &origin)) return {};
  return QRect(origin.x, origin.y, inside.right, inside.bottom);
}

// Over the inside of the screen-saver settings' small window, for as long as
// it lasts. Not inside it, as its child: Wine, which many run the program
// under, draws no child window of another program's window. A window of its
// own, without a frame, owned by that one and kept over it, looks the same.
bool ShowInside(ScreenSaver& saver, std::uint64_t window, ShutdownRequests&) {
  HWND host = reinterpret_cast<HWND>(window);
  if (HostArea(host).isEmpty()) return false;
  ScreenSaverView& view =
      saver.AddView(false, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
  view.setAttribute(Qt::WA_ShowWithoutActivating);
  view.windowHandle()->setTransientParent(QWindow::fromWinId(static_cast<WId>(window)));
  HWND own = reinterpret_cast<HWND>(view.winId());
  auto follow = [&saver, host, own, placed = QRect()]() mutable {
    const QRect area = HostArea(host);
    if (area.isEmpty()) {
      emit saver.ended();
    } else if (area != placed) {
      placed = area;
      SetWindowPos(own, nullptr, area.x(), area.y(), area.width(), area.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
  view.show();
  follow();
  auto* watch = new QTimer(&view);
  QObject::connect(watch, &QTimer::timeout, &saver, follow);
  watch->start(250);
  return true;
}
#else
// The inside of another program's window, in device pixels: Qt does not
// say how large a window it did not make is.
QSize HostSize(std::uint64_t window) {
#ifdef VELMARO_HAS_XCB
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11) return {};
  xcb_connection_t* connection = x11->connection();
  xcb_get_geometry_reply_t* reply =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, static_cast<xcb_drawable_t>(window)), nullptr);
  if (!reply) return {};
  const QSize size(reply->width, reply->height);
  std::free(reply);
  return size;
#else
  Q_UNUSED(window);
  return {};
#endif
}

// Inside another program's window, as its child, for as long as it lasts.
bool ShowInside(ScreenSaver& saver, std::uint64_t window, ShutdownRequests& shutdown) {
  const QSize size = HostSize(window);
  QWindow* host = size.isEmpty() ? nullptr : QWindow::fromWinId(static_cast<WId>(window));
  if (!host) return false;
  ScreenSaverView& view = saver.AddView(false, Qt::FramelessWindowHint);
  view.windowHandle()->setParent(host);
  view.setGeometry(QRect(QPoint(), (QSizeF(size) / view.devicePixelRatioF()).toSize()));
  view.show();
  shutdown.Watch(view);
  return true;
}
#endif

}  // namespace

Launch ParseLaunch(const QStringList& arguments, bool startedAsScreenSaver, const QString& givenWindow) {
  if (const auto windows = ParseWindows(arguments)) return *windows;
  if (startedAsScreenSaver) return {Launch::Mode::settings};
  return ParseX(arguments, givenWindow);
}

std::filesystem::path ScreenSaverSettingsFile() {
#ifdef Q_OS_WIN
  const QString settings = qEnvironmentVariable("APPDATA");
  if (settings.isEmpty()) return {};
  return (settings + QStringLiteral("/Velmaro/SET")).toStdWString();
#else
  QString settings = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!QDir::isAbsolutePath(settings)) {
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) return {};
    settings = home + QStringLiteral("/.config");
  }
  return (settings + QStringLiteral("/velmaro/SET")).toStdString();
#endif
}

void ReadScreenSaverSettings() {
  Conf = {};
  const std::filesystem::path file = ScreenSaverSettingsFile();
  if (file.empty() || !ReadSettings(file).ok) return;
  RepairDamagedCount(Conf);
  RepairDamagedKinds(Conf);
}

int RunScreenSaver(const Launch& launch) {
  // Nothing to save: told to end, it ends.
  ShutdownRequests shutdown(End);
  ReadScreenSaverSettings();
  ScreenSaver saver;
  EndWith(saver);
  if (launch.mode == Launch::Mode::fullScreen)
    ShowFullScreen(saver);
  else if (!ShowInside(saver, launch.window, shutdown))
    return 1;
  return QApplication::exec();
}

int ConfigureScreenSaver(const std::function<bool(Form1&)>& openSettings) {
  ShutdownRequests shutdown;
  ReadScreenSaverSettings();
  Form1 form;
  LayoutMainWindow(form);
  SeedFish(form, form.random());
  if (!openSettings(form)) return 0;
  const std::filesystem::path file = ScreenSaverSettingsFile();
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  const FileOutcome saved = file.empty() ? FileOutcome{false, "APPDATA / HOME"} : SaveSettings(file);
  if (saved.ok) return 0;
  ReportProblem(&form, kSaveFailedText + QLatin1Char('\n') + QString::fromStdString(saved.reason));
  return 1;
}
