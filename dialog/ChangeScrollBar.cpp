// Velmaro — the dialog's scroll bars.
#include "dialog/ChangeScrollBar.h"

#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyleHints>
#include <QStyleOptionFocusRect>

#include "dialog/DialogStyle.h"

namespace {

// What a screen reader gets of the bar: Qt's own answers for a scroll bar,
// whose class Qt keeps private, and the naming label besides a buddy.
class AccessibleBar : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleBar(ChangeScrollBar* bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {
    addControllingSignal(QStringLiteral("valueChanged(int)"));
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return QString::number(bar()->value());
    const QString text = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && text.isEmpty() && bar()->namingLabel()) return bar()->namingLabel()->text();
    return text;
  }

  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override {
    auto relations = QAccessibleWidget::relations(match);
    if ((match & QAccessible::Label) && bar()->namingLabel())
      relations.append({QAccessible::queryAccessibleInterface(bar()->namingLabel()), QAccessible::Label});
    return relations;
  }

  // A value set from outside goes through the bar, so its handler runs.
  QVariant currentValue() const override { return bar()->value(); }
  void setCurrentValue(const QVariant& value) override { bar()->setValue(value.toInt()); }
  QVariant maximumValue() const override { return bar()->maximum(); }
  QVariant minimumValue() const override { return bar()->minimum(); }
  QVariant minimumStepSize() const override { return bar()->singleStep(); }

 private:
  ChangeScrollBar* bar() const { return static_cast<ChangeScrollBar*>(widget()); }
};

QAccessibleInterface* MakeAccessibleBar(const QString& className, QObject* object) {
  if (className != QLatin1String("ChangeScrollBar")) return nullptr;
  return new AccessibleBar(static_cast<ChangeScrollBar*>(object));
}

}  // namespace

ChangeScrollBar::ChangeScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  // Before any value is set: a change event asks for the bar's interface.
  QAccessible::installFactory(MakeAccessibleBar);
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

void ChangeScrollBar::SetNamingLabel(QLabel* label) { namingLabel_ = label; }

QLabel* ChangeScrollBar::namingLabel() const { return namingLabel_; }

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
