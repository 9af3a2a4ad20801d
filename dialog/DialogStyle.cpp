// Velmaro — the look of the settings dialog's controls.
#include "dialog/DialogStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionSlider>

namespace {

class SettingsDialogStyle : public QProxyStyle {
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

  // The Japanese faces here have no bold of their own, and the bold Qt makes
  // up for them thins out as device pixels get smaller. Bold text is struck
  // twice instead, the second time one picture pixel to the right, which
  // looks the same at every device pixel ratio.
  void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                    bool enabled, const QString& text, QPalette::ColorRole role) const override {
    if (!painter->font().bold()) {
      QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
      return;
    }
    const QFont bold = painter->font();
    QFont regular = bold;
    regular.setBold(false);
    painter->setFont(regular);
    for (const QRect& strike : {rect, rect.translated(1, 0)})
      QProxyStyle::drawItemText(painter, strike, flags, palette, enabled, text, role);
    painter->setFont(bold);
  }
};

}  // namespace

QStyle* DialogStyle() {
  static QPointer<QStyle> style;
  if (!style) {
    style = new SettingsDialogStyle;
    style->setParent(qApp);
  }
  return style;
}
