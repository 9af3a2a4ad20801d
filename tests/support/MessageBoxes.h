// Collects the message boxes a piece of code shows, dismissing each with OK.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QRect>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <vector>

struct ShownMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool okButtonHasIcon = false;
  QRect frame;        // where it was, on the screen
  QImage windowIcon;  // 32 x 32
};

class MessageBoxCatcher : public QObject {
 public:
  // Each box is left open for at least the time given before OK is pressed.
  explicit MessageBoxCatcher(std::chrono::milliseconds lingering = std::chrono::milliseconds(0));
  ~MessageBoxCatcher() override;
  const std::vector<ShownMessage>& shown() const { return shown_; }

 private:
  void DismissOpenBox();

  QTimer poll_;
  std::chrono::milliseconds lingering_;
  QMessageBox* open_ = nullptr;
  QElapsedTimer openFor_;
  std::vector<ShownMessage> shown_;
};

// While no catcher lives, a message box left open for a second fails the
// test that showed it and is closed, so that the test goes on instead of
// waiting for a click that never comes.
class UnexpectedBoxWatchdog : public QObject {
 public:
  UnexpectedBoxWatchdog();

 private:
  void Look();

  QTimer poll_;
  QMessageBox* seen_ = nullptr;
  QElapsedTimer seenFor_;
};
