#include "tests/support/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {
int catchers = 0;
}  // namespace

MessageBoxCatcher::MessageBoxCatcher(std::chrono::milliseconds lingering) : lingering_(lingering) {
  ++catchers;
  connect(&poll_, &QTimer::timeout, this, &MessageBoxCatcher::DismissOpenBox);
  poll_.start(5);
}

MessageBoxCatcher::~MessageBoxCatcher() { --catchers; }

void MessageBoxCatcher::DismissOpenBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  if (box != open_) {
    open_ = box;
    openFor_.start();
  }
  if (openFor_.elapsed() < lingering_.count()) return;
  QAbstractButton* ok = box->button(QMessageBox::Ok);
  shown_.push_back({box->windowTitle(), box->text(), box->icon(),
                    static_cast<int>(box->buttons().size()), ok && !ok->icon().isNull(), box->frameGeometry(),
                    box->windowIcon().pixmap(32, 32).toImage()});
  open_ = nullptr;
  if (ok) ok->click();
}

UnexpectedBoxWatchdog::UnexpectedBoxWatchdog() {
  connect(&poll_, &QTimer::timeout, this, &UnexpectedBoxWatchdog::Look);
  poll_.start(100);
}

void UnexpectedBoxWatchdog::Look() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (catchers > 0 || !box || !box->isVisible()) {
    seen_ = nullptr;
    return;
  }
  if (box != seen_) {
    seen_ = box;
    seenFor_.start();
  }
  if (seenFor_.elapsed() < 1000) return;
  ADD_FAILURE() << "an unexpected message box \"" << box->windowTitle().toStdString() << "\": "
                << box->text().toStdString();
  seen_ = nullptr;
  box->done(0);
}
