#include "tests/support/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

MessageBoxCatcher::MessageBoxCatcher(std::chrono::milliseconds lingering) : lingering_(lingering) {
  connect(&poll_, &QTimer::timeout, this, &MessageBoxCatcher::DismissOpenBox);
  poll_.start(5);
}

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
