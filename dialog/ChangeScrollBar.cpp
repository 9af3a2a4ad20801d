// Velmaro — the dialog's scroll bars.
#include "dialog/ChangeScrollBar.h"

#include <QApplication>
#include <QHideEvent>
#include <QPointer>
#include <QProxyStyle>
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
