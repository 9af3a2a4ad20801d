// Velmaro — the settings dialog.
#include "dialog/frm_Set.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "assets/Texts.h"
#include "dialog/Conversions.h"
#include "dialog/DialogStyle.h"
#include "sim/Aquarium.h"
#include "sim/Int16.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "window/Form1.h"
#include "window/Placement.h"

namespace {

// Design positions and sizes are in twips from the client area's top-left.
struct TwipRect {
  int left, top, width, height;
};

void Place(QWidget& control, TwipRect at) {
  control.setGeometry(TwipsToPixels(at.left, TwipX), TwipsToPixels(at.top, TwipY),
                      TwipsToPixels(at.width, TwipX), TwipsToPixels(at.height, TwipY));
}

// The design font, by its Japanese and its English name; Windows outside
// Japan may lack it but always has Yu Gothic UI. Elsewhere an installed
// Japanese proportional gothic of close metrics takes its place. Sized in
// the dialog's twips (a point is 20), the texts keep to its controls at
// every density.
QFont DialogFont(qreal points) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                    QStringLiteral("Yu Gothic UI"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("IPAGothic")});
  font.setPixelSize(TwipsToPixels(points * 20, TwipY));
  font.setBold(true);
  return font;
}

QLabel* NewLabel(QWidget* parent, const QString& text, qreal points, TwipRect at) {
  auto* label = new QLabel(text, parent);
  label->setStyle(DialogStyle());
  label->setFont(DialogFont(points));
  Place(*label, at);
  return label;
}

void SetTextColour(QWidget& control, QColor colour) {
  QPalette palette = control.palette();
  palette.setColor(QPalette::WindowText, colour);
  control.setPalette(palette);
}

// A white box that shows a count.
QLabel* NewCountBox(QWidget* parent, TwipRect at) {
  QLabel* box = NewLabel(parent, QString(), 14.25, at);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Window, QColor(255, 255, 255));
  box->setPalette(palette);
  box->setAutoFillBackground(true);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setAlignment(Qt::AlignCenter);
  return box;
}

ChangeScrollBar* NewScrollBar(QWidget* parent, int minimum, int maximum, int pageStep, TwipRect at) {
  auto* bar = new ChangeScrollBar(parent);
  bar->setRange(minimum, maximum);
  bar->setSingleStep(1);
  bar->setPageStep(pageStep);
  bar->setValue(minimum);
  Place(*bar, at);
  return bar;
}

// Neither button answers Enter or Escape for the dialog.
QPushButton* NewButton(QWidget* parent, const QString& text, TwipRect at) {
  auto* button = new QPushButton(text, parent);
  button->setStyle(DialogStyle());
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setFont(DialogFont(9));
  Place(*button, at);
  return button;
}

// Across the middle of the screen, but clear of the dialog: below it, or
// above it where there is no room below.
void PlaceClearOf(QWidget& box, const QWidget& dialog) {
  const QRect screen = dialog.screen()->availableGeometry();
  const QRect owner = dialog.frameGeometry();
  const QRect inner = dialog.geometry();
  // Before it is framed, the box is taken to get a frame like the dialog's.
  QSize outer = box.frameGeometry().size();
  if (outer == box.size()) outer += owner.size() - inner.size();
  constexpr int kGap = 8;
  int top = owner.bottom() + 1 + kGap;
  if (top + outer.height() > screen.bottom() + 1) top = owner.top() - kGap - outer.height();
  if (top < screen.top()) top = screen.top() + (screen.height() - outer.height()) / 2;
  box.move(screen.left() + (screen.width() - outer.width()) / 2, top);
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget& aquarium) : QDialog(&aquarium) {
  setWindowTitle(QStringLiteral("Velmaro"));
  setWindowIcon(aquarium.windowIcon());
  // A fixed size: nothing to maximise or minimise, only to close.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(TwipsToPixels(3825, TwipX), TwipsToPixels(2745, TwipY));

  Label5 = NewLabel(this, QStringLiteral("金魚の数"), 14.25, {90, 360, 1245, 405});
  Text1 = new QLineEdit(this);
  Text1->setFont(DialogFont(18));
  Place(*Text1, {1455, 240, 585, 525});
  Label6 = NewLabel(this, QStringLiteral("１"), 14.25, {2235, 345, 285, 375});
  HScroll1 = NewScrollBar(this, 1, 5, 5, {2505, 255, 870, 465});
  Label7 = NewLabel(this, QStringLiteral("５"), 14.25, {3465, 360, 300, 405});

  Label1 = NewLabel(this, QStringLiteral("赤"), 12, {405, 1275, 330, 270});
  SetTextColour(*Label1, QColor(255, 0, 0));
  Lab[0] = NewCountBox(this, {840, 1185, 465, 390});
  Label3 = NewLabel(this, QStringLiteral("匹"), 12, {1440, 1260, 345, 270});
  SetTextColour(*Label3, QColor(255, 0, 0));
  Scr[0] = NewScrollBar(this, 0, 5, 1, {855, 1575, 465, 255});

  // The black row is filled in but never shown.
  Label2 = NewLabel(this, QStringLiteral("黒"), 12, {405, 2010, 330, 270});
  SetTextColour(*Label2, QColor(0, 0, 0));
  Lab[1] = NewCountBox(this, {840, 1935, 465, 390});
  Label4 = NewLabel(this, QStringLiteral("匹"), 12, {1395, 2010, 345, 270});
  SetTextColour(*Label4, QColor(0, 0, 0));
  Scr[1] = NewScrollBar(this, 0, 5, 1, {840, 2325, 465, 255});
  for (QWidget* hidden : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Lab[1]),
                          static_cast<QWidget*>(Label4), static_cast<QWidget*>(Scr[1])})
    hidden->setHidden(true);

  com_OK = NewButton(this, QStringLiteral("O K"), {2205, 1560, 810, 315});
  com_Can = NewButton(this, QStringLiteral("Cancel"), {2190, 2130, 810, 315});

  // For screen readers: each control is named by the label beside it. A
  // label has one buddy, so 金魚の数 names its bar another way.
  Label5->setBuddy(Text1);
  HScroll1->SetNamingLabel(Label5);
  Label1->setBuddy(Scr[0]);
  Lab[0]->setAccessibleDescription(QStringLiteral("赤い金魚の数"));
  setAccessibleDescription(QStringLiteral("泳ぐ金魚の数と、そのうち赤い金魚の数を選びます"));

  // The keyboard order of the design; the labels take no focus.
  setTabOrder(com_OK, com_Can);
  setTabOrder(com_Can, Scr[0]);
  setTabOrder(Scr[0], Scr[1]);
  setTabOrder(Scr[1], Text1);
  setTabOrder(Text1, HScroll1);
  com_OK->setFocus();
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  // Enter presses the button that has the focus, as on the desktop this
  // dialog comes from; with the focus elsewhere it presses nothing.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isVisible()) {
      event->accept();
      button->click();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

bool frm_Set::Show(Form1& aquarium) {
  aquarium_ = &aquarium;
  Load();
  const bool chosen = window_->exec() == QDialog::Accepted;
  window_.reset();  // unloaded: OK, or closed through the window manager
  return chosen;
}

void frm_Set::Load() {
  window_ = std::make_unique<SettingsWindow>(*aquarium_);
  // Only now, with every design value set, do changes reach the handlers.
  SettingsWindow& w = *window_;
  QObject::connect(w.HScroll1, &QScrollBar::valueChanged, &w, [this] { HScroll1_Change(); });
  QObject::connect(w.Scr[0], &QScrollBar::valueChanged, &w, [this] { Scr_Change(0); });
  QObject::connect(w.Scr[1], &QScrollBar::valueChanged, &w, [this] { Scr_Change(1); });
  QObject::connect(w.com_OK, &QPushButton::clicked, &w, [this] { com_OK_Click(); });
  Form_Load();
}

void frm_Set::Form_Load() {
  SettingsWindow& w = *window_;
  // On the screen the aquarium is on, whichever that is.
  CentreOnScreen(w, aquarium_->screen());
  CentreAgainOnceFramed(w, aquarium_->screen());

  FirstKindTally = 0;
  SecondKindTally = 0;
  ChosenFirstKind.reset();

  // The total. A stored count outside the bar's 1-5 (none, or six fish) is
  // shown at the nearest end, and the handler makes it the total in force.
  const int total = Conf.MaxIndex + 1;
  const int shown = std::clamp(total, w.HScroll1->minimum(), w.HScroll1->maximum());
  const bool changes = shown != w.HScroll1->value();
  w.HScroll1->setValue(total);
  if (!changes) {
    if (shown == total)
      w.Text1->setText(Str(1));
    else
      HScroll1_Change();
  }

  const int last = LastActiveFish();
  for (LoopIndex = 0; LoopIndex <= last; ++LoopIndex) {
    if (Conf.Kind[LoopIndex] == 0)
      ++FirstKindTally;
    else
      ++SecondKindTally;
  }
  w.Lab[0]->setText(PlainText(FirstKindTally));
  w.Scr[0]->setValue(FirstKindTally);
  w.Lab[1]->setText(PlainText(SecondKindTally));
  w.Scr[1]->setValue(SecondKindTally);
}

void frm_Set::HScroll1_Change() {
  SettingsWindow& w = *window_;
  w.Text1->setText(Str(Clamp16(w.HScroll1->value())));
  Conf.MaxIndex = Clamp16(w.HScroll1->value() - 1);
}

void frm_Set::Scr_Change(std::int16_t Index) {
  SettingsWindow& w = *window_;
  ChangeScrollBar& bar = *w.Scr[Index];
  w.Lab[Index]->setText(Str(Clamp16(bar.value())));
  if (Val(w.Lab[0]->text()) > static_cast<double>(Conf.MaxIndex) + 1) {
    bar.CancelPress();
    ShowLimitMessage();
    // The lowering runs this handler again, nested, until the count fits.
    bar.setValue(bar.value() - 1);
    return;
  }
  if (Index == 0) ChosenFirstKind = Str(Clamp16(bar.value()));
}

void frm_Set::com_OK_Click() {
  SettingsWindow& w = *window_;
  const double firstKindCount = ChosenFirstKind ? Val(*ChosenFirstKind) : 0;
  const int last = LastActiveFish();
  for (LoopIndex = 0; LoopIndex <= last; ++LoopIndex) {
    if (LoopIndex <= firstKindCount - 1 && firstKindCount != 0) {
      aquarium_->random().Randomize();
      Conf.Kind[LoopIndex] = 0;
    } else {
      Conf.Kind[LoopIndex] = 1;
    }
  }
  Conf.MaxIndex = Clamp16(w.HScroll1->value() - 1);
  // Unloading: the modal loop ends once this handler has returned.
  w.done(QDialog::Accepted);
  SeedFish(*aquarium_, aquarium_->random());
}

void frm_Set::ShowLimitMessage() {
  QMessageBox box(QMessageBox::NoIcon, kLimitMessageTitle, kLimitMessageText, QMessageBox::Ok,
                  window_.get());
  // Some desktop themes put an icon on the OK button; the message has none.
  box.button(QMessageBox::Ok)->setIcon(QIcon());
  // Lab(0) shows the count that is too large while the message is up.
  box.adjustSize();
  PlaceClearOf(box, *window_);
  PlaceAgainOnceFramed(box, [&box, this] { PlaceClearOf(box, *window_); });
  box.exec();
}

namespace {

// Keeps the window's dialog object for as long as the window lives.
class DialogHolder : public QObject {
 public:
  explicit DialogHolder(QObject* window) : QObject(window) { setObjectName(kName); }
  static DialogHolder* Of(const Form1& form) {
    return static_cast<DialogHolder*>(form.findChild<QObject*>(kName, Qt::FindDirectChildrenOnly));
  }
  static constexpr char kName[] = "frm_Set";
  std::unique_ptr<frm_Set> dialog;
};

}  // namespace

bool mnuSetSyu_Click(Form1& form) {
  DialogHolder* holder = DialogHolder::Of(form);
  if (!holder) holder = new DialogHolder(&form);
  if (!holder->dialog) holder->dialog = std::make_unique<frm_Set>();
  return holder->dialog->Show(form);
}

void ConnectSettingsMenu(Form1& form) {
  QObject::connect(form.mnuSetSyu, &QAction::triggered, &form, [&form] { mnuSetSyu_Click(form); });
}

frm_Set* SettingsDialog(const Form1& form) {
  const DialogHolder* holder = DialogHolder::Of(form);
  return holder ? holder->dialog.get() : nullptr;
}
