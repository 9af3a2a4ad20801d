// Velmaro — the main window: the aquarium view over the canvas its frames
// are made on, the two timers and the menu.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <functional>

#include "render/AquariumCanvas.h"
#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "window/PictureBox.h"

class QAction;
class QMenu;

// The aquarium's rhythm: the animation every 100 ms, the behaviour every
// 2500 ms, from now on.
void StartAquariumTimers(QTimer& animation, QTimer& behaviour);

class Form1 : public QMainWindow, public AquariumWindow {
  Q_OBJECT

 public:
  // Loads the window hidden, with its pictures, menu and running timers. Its size and place are set by the start-up layout. The fish's
  // chances come from random, which must outlive the window.
  explicit Form1(RandomSource& random = ProgramRandom());

  // The aquarium view, the only surface ever seen.
  PictureBox& suisou() { return *suisou_; }
  // The pictures the frames are made of (work, back, the sheets pat(0)-pat(3)
  // and awa), and their making.
  AquariumCanvas& canvas() { return canvas_; }
  // Where the ticks, the seeding and the dialog draw from.
  RandomSource& random() { return random_; }

  // The inner drawing area below the menu bar, in pixels.
  float ScaleWidth() const override;
  float ScaleHeight() const override;

  QTimer Timer1;  // 100 ms, animation
  QTimer Timer2;  // 2500 ms, behaviour
  QMenu* mnuSet = nullptr;
  QAction* mnuSetSyu = nullptr;

  // Run when the window is closed; it receives the unload's cancel flag,
  // which the program never sets, so closing always goes on.
  void SetUnloadHandler(std::function<void(std::int16_t& cancel)> handler);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Timer1_Timer();
  void Timer2_Timer();
  QSize ScaleSize() const;

  RandomSource& random_;
  AquariumCanvas canvas_;
  PictureBox* suisou_ = nullptr;
  std::function<void(std::int16_t&)> unload_handler_;
};
