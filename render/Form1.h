// Velmaro — the main window: the aquarium view, the hidden drawing surfaces,
// the sprite sheets, the two timers and the menu.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <functional>

#include "render/ChangedArea.h"
#include "render/PictureBox.h"
#include "render/PictureSurface.h"
#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "sim/Surfaces.h"

class QAction;
class QMenu;

class Form1 : public QMainWindow, public AquariumWindow, public AquariumSurfaces {
  Q_OBJECT

 public:
  // Loads the window hidden, with its surfaces, pictures, menu and running
  // timers. Its size and place are set by the start-up layout. The fish's
  // chances come from random, which must outlive the window.
  explicit Form1(RandomSource& random = ProgramRandom());

  // The aquarium view, the only surface ever seen.
  PictureBox& suisou() { return *suisou_; }
  // The off-screen frame buffer and the clean background.
  PictureSurface& work() { return work_; }
  PictureSurface& back() { return back_; }
  // Fish sheets 0-3 (red right, red left, black right, black left); an index
  // outside 0-3 gets the nearest sheet.
  PictureSurface& pat(int index);
  PictureSurface& awa() { return awa_; }
  // Where the ticks, the seeding and the dialog draw from.
  RandomSource& random() { return random_; }

  // The inner drawing area below the menu bar, in pixels.
  float ScaleWidth() const override;
  float ScaleHeight() const override;

  // The aquarium's drawing, on the surfaces above.
  void DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w,
                        std::int16_t h, std::int16_t srcX, std::int16_t maskY) override;
  void CopyFrame(Surface destination, Surface source) override;
  void Refresh() override;

  QTimer Timer1;  // 100 ms, animation
  QTimer Timer2;  // 2500 ms, behaviour
  QMenu* mnuSet = nullptr;
  QAction* mnuSetSyu = nullptr;

  // Run when the window is closed; it receives the unload's cancel flag,
  // which the program never sets, so closing always goes on.
  void SetUnloadHandler(std::function<void(std::int16_t& cancel)> handler);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Timer1_Timer();
  void Timer2_Timer();
  QSize ScaleSize() const;
  PictureSurface& SurfaceNamed(Surface name);
  bool ShareFinishedFrame();
  void TakeSpareFrame();

  RandomSource& random_;
  PictureBox* suisou_ = nullptr;
  PictureSurface work_;
  PictureSurface back_;
  std::array<PictureSurface, 4> pat_;
  PictureSurface awa_;
  QImage spare_frame_;  // the view's previous frame, to be the next one's buffer
  ChangedArea changes_;  // what Refresh must put on screen
  std::function<void(std::int16_t&)> unload_handler_;
};
