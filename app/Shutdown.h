// Velmaro — ending the program from outside as its close box does.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a desktop session ending, Ctrl+C in a
// terminal), and the main window destroyed by another X client, close every
// window, so that the main window's unload saves the settings and the
// program ends as after its close box. Only one may exist at a time. (On
// Windows, Qt itself closes every window when the session ends.)
class ShutdownRequests : public QObject, public QAbstractNativeEventFilter {
 public:
  // Catches the signals from now on; needs the application object. A
  // program without a main window to close says what to do instead.
  explicit ShutdownRequests(std::function<void()> shutdown = CloseAllWindows);
  ~ShutdownRequests() override;

  // From now on, the main window's X window destroyed ends the program too.
  void Watch(QWidget& mainWindow);
  // A request came, for example while a message box held up start-up.
  bool requested() const { return requested_; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  static void CloseAllWindows();
  void Shutdown();

  std::function<void()> shutdown_;

  QSocketNotifier* notifier_ = nullptr;
  QPointer<QWidget> main_;
  WId watched_ = 0;
  bool requested_ = false;
};
