// Velmaro — ending the program from outside as its close box does.
#include "app/Shutdown.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <utility>

#if defined(Q_OS_UNIX) && __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define VELMARO_HAS_XCB 1
#endif

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler, read by the event loop: a handler may do little
// more than write().
int signal_pipe[2] = {-1, -1};

void OnSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const auto written = ::write(signal_pipe[1], &byte, 1);
  errno = saved;
}
#endif

}  // namespace

ShutdownRequests::ShutdownRequests(std::function<void()> shutdown) : shutdown_(std::move(shutdown)) {
#ifdef Q_OS_UNIX
  if (::pipe(signal_pipe) != 0) return;
  for (const int end : signal_pipe) {
    ::fcntl(end, F_SETFD, FD_CLOEXEC);
    ::fcntl(end, F_SETFL, O_NONBLOCK);
  }
  notifier_ = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (::read(signal_pipe[0], bytes, sizeof bytes) > 0) {
    }
    Shutdown();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : kSignals) sigaction(number, &action, nullptr);
#endif
  QCoreApplication::instance()->installNativeEventFilter(this);
}

ShutdownRequests::~ShutdownRequests() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
#ifdef Q_OS_UNIX
  for (const int number : kSignals) std::signal(number, SIG_DFL);
  delete notifier_;
  for (int& end : signal_pipe) {
    if (end >= 0) ::close(end);
    end = -1;
  }
#endif
}

void ShutdownRequests::Watch(QWidget& mainWindow) {
  main_ = &mainWindow;
  watched_ = mainWindow.winId();
}

bool ShutdownRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef VELMARO_HAS_XCB
  if (eventType != "xcb_generic_event_t" || !main_) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY) return false;
  if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == watched_) {
    // Not from inside Qt's own handling of the event.
    QTimer::singleShot(0, this, &ShutdownRequests::Shutdown);
  }
#else
  Q_UNUSED(eventType);
  Q_UNUSED(message);
#endif
  return false;
}

// Boxes and the settings dialog first, then the main window, whose unload
// saves.
void ShutdownRequests::CloseAllWindows() { QApplication::closeAllWindows(); }

void ShutdownRequests::Shutdown() {
  requested_ = true;
  shutdown_();
}
