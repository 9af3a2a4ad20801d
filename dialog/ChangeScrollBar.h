// Velmaro — the dialog's scroll bars.
#pragma once

#include <QPointer>
#include <QScrollBar>

class QLabel;

// A horizontal scroll bar that reports a new value only once it is settled:
// a dragged thumb on release, an arrow or trough click at once. A click in
// the trough moves by the page step; it never jumps to the click's place.
class ChangeScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  explicit ChangeScrollBar(QWidget* parent);

  // Forgets the mouse button held on an arrow or the trough, and with it
  // the auto-repeat. A change handler that opens a modal box must call this
  // first: the repeat would otherwise go on stepping inside the box's loop,
  // and the button's release would never reach the bar.
  void CancelPress();

  // A label whose text names the bar for screen readers, tied to it as its
  // label. Needed only where the label's one buddy is another control.
  void SetNamingLabel(QLabel* label);
  QLabel* namingLabel() const;

 protected:
  // Left and Up lower by one arrow step, Right and Down raise; Home and End
  // go to the ends, Page Up and Page Down move by the page step.
  void keyPressEvent(QKeyEvent* event) override;
  // One notch of the wheel moves by one arrow step, whatever the desktop's
  // lines per notch: the red count must not pass the total by more than one.
  void wheelEvent(QWheelEvent* event) override;
  // The bar with the keyboard focus is framed, as buttons are.
  void paintEvent(QPaintEvent* event) override;

 private:
  QPointer<QLabel> namingLabel_;
};
