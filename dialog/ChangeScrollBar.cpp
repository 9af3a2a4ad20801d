// Velmaro — the dialog's scroll bars.
#include "dialog/ChangeScrollBar.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleHints>
#include <QStyleOptionFocusRect>

#include "dialog/DialogStyle.h"

ChangeScrollBar::ChangeScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setStyle(DialogStyle());
  setTracking(false);
  setFocusPolicy(Qt::StrongFocus);
}

void ChangeScrollBar::CancelPress() {
  // Hiding a bar is the one way Qt offers to drop a press in progress.
  QHideEvent hidden;
  QScrollBar::hideEvent(&hidden);
  update();
}

void ChangeScrollBar::keyPressEvent(QKeyEvent* event) {
  // Qt's own mapping runs a horizontal scroll bar's arrow keys backwards.
  SliderAction action = SliderNoAction;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: action = SliderSingleStepSub; break;
    case Qt::Key_Right:
    case Qt::Key_Down: action = SliderSingleStepAdd; break;
    case Qt::Key_Home: action = SliderToMinimum; break;
    case Qt::Key_End: action = SliderToMaximum; break;
    case Qt::Key_PageUp: action = SliderPageStepSub; break;
    case Qt::Key_PageDown: action = SliderPageStepAdd; break;
    default: QScrollBar::keyPressEvent(event); return;
  }
  event->accept();
  triggerAction(action);
}

void ChangeScrollBar::wheelEvent(QWheelEvent* event) {
  // Qt's direction and its summing of small steps, one line per notch.
  QStyleHints* hints = QGuiApplication::styleHints();
  const int lines = hints->wheelScrollLines();
  hints->setWheelScrollLines(1);
  QScrollBar::wheelEvent(event);
  hints->setWheelScrollLines(lines);
}

void ChangeScrollBar::paintEvent(QPaintEvent* event) {
  QScrollBar::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  focus.rect = rect();
  focus.backgroundColor = palette().color(QPalette::Window);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}
