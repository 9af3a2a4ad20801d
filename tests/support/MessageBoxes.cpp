#include "tests/support/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

MessageBoxCatcher::MessageBoxCatcher() {
  connect(&poll_, &QTimer::timeout, this, &MessageBoxCatcher::DismissOpenBox);
  poll_.start(5);
}

void MessageBoxCatcher::DismissOpenBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  shown_.push_back({box->windowTitle(), box->text()});
  box->button(QMessageBox::Ok)->click();
}
