// Collects the message boxes a piece of code shows, dismissing each with OK.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

struct ShownMessage {
  QString title;
  QString text;
};

class MessageBoxCatcher : public QObject {
 public:
  MessageBoxCatcher();
  const std::vector<ShownMessage>& shown() const { return shown_; }

 private:
  void DismissOpenBox();

  QTimer poll_;
  std::vector<ShownMessage> shown_;
};
