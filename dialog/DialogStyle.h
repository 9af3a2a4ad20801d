// Velmaro — the look of the settings dialog's controls.
#pragma once

class QStyle;

// The one style of the dialog's bars, labels and buttons, living as long as
// the application: a widget does not own the style it is given. Bars never
// jump to a click and keep a short thumb; bold text is struck twice.
QStyle* DialogStyle();
