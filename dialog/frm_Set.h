// Velmaro — the settings dialog: how many fish swim and how many are red.
#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "dialog/ChangeScrollBar.h"

class Form1;
class QLabel;
class QLineEdit;
class QPushButton;

// The dialog's window with its controls, as designed. It lives from loading
// to unloading; the values the dialog keeps belong to frm_Set. It is owned
// by the aquarium's window, so that it stays above it, even when the blocked
// aquarium is clicked, and has no task-bar button of its own.
class SettingsWindow : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsWindow(QWidget& aquarium);

  QLabel* Label5;            // "金魚の数"
  QLineEdit* Text1;          // shows the total; nothing reads it
  QLabel* Label6;            // "１", left end of the total's range
  ChangeScrollBar* HScroll1; // the total, 1-5
  QLabel* Label7;            // "５", right end
  QLabel* Label1;            // "赤"
  std::array<QLabel*, 2> Lab;          // the red count, the black count
  QLabel* Label3;            // "匹"
  std::array<ChangeScrollBar*, 2> Scr; // the red count, the black count, 0-5
  QLabel* Label2;            // "黒" (the black row is never shown)
  QLabel* Label4;            // "匹"
  QPushButton* com_OK;
  QPushButton* com_Can;

 protected:
  // Escape does nothing here; the window manager's close still does. Enter
  // presses only the button that has the focus.
  void keyPressEvent(QKeyEvent* event) override;
};

class frm_Set {
 public:
  // Loads the window, shows it modally over the aquarium, whose timers keep
  // running, and returns once it has been unloaded: true after O K.
  bool Show(Form1& aquarium);

  // The loaded window, or null while the dialog is not shown.
  SettingsWindow* window() const { return window_.get(); }

  // The event procedures.
  void Form_Load();
  void HScroll1_Change();
  void Scr_Change(std::int16_t Index);
  void com_OK_Click();

  // The red count as chosen, the text Str made of it, or unset.
  const std::optional<QString>& chosenFirstKind() const { return ChosenFirstKind; }

 private:
  void Load();
  void ShowLimitMessage();

  Form1* aquarium_ = nullptr;
  std::unique_ptr<SettingsWindow> window_;

  std::optional<QString> ChosenFirstKind;
  std::int16_t LoopIndex = 0;
  std::int16_t FirstKindTally = 0;
  std::int16_t SecondKindTally = 0;
};

// The main window's menu command "数＆種類": shows the dialog, creating it on
// first use; the one dialog object then lives as long as the window. True
// when it was left with O K.
bool mnuSetSyu_Click(Form1& form);
void ConnectSettingsMenu(Form1& form);

// The window's dialog object, or null before its menu was first used.
frm_Set* SettingsDialog(const Form1& form);
