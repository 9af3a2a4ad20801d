// Velmaro — the dialog's scroll bars.
#include "dialog/ChangeScrollBar.h"

#include <QApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleHints>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

namespace {

class ChangeScrollBarStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    // Some desktop themes make a left click jump to the click's place.
    if (hint == SH_ScrollBar_LeftClickAbsolutePosition) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }

  // The thumb's length is worked out as if the page step were one arrow
  // step: paging by the whole range (the total bar) would otherwise give a
  // thumb that fills most of the trough and leaves nowhere to click.
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl part, const QWidget* widget) const override {
    if (control == CC_ScrollBar) {
      if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
        QStyleOptionSlider shortThumb = *bar;
        shortThumb.pageStep = bar->singleStep;
        return QProxyStyle::subControlRect(control, &shortThumb, part, widget);
      }
    }
    return QProxyStyle::subControlRect(control, option, part, widget);
  }

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_ScrollBarSliderMin) return 8;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

// One style for every bar, living as long as the application: a widget does
// not own the style it is given.
QStyle* SharedStyle() {
  static QPointer<QStyle> style;
  if (!style) {
    style = new ChangeScrollBarStyle;
    style->setParent(qApp);
  }
  return style;
}

}  // namespace

ChangeScrollBar::ChangeScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setStyle(SharedStyle());
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
