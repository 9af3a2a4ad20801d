// Velmaro — the pictures a frame is made from, as the simulation sees them.
#pragma once

#include <cstdint>

// The four fish sheets (red right, red left, black right, black left) and the
// bubble sheet.
enum class Sheet : std::uint8_t { pat0, pat1, pat2, pat3, awa };

// The whole-frame surfaces: the view, the hidden frame buffer and the clean
// background, each a whole frame once the window is laid out.
enum class Surface : std::uint8_t { suisou, work, back };

// The size of a whole frame, the picture area of the window, in pixels.
inline constexpr int kFrameWidth = 500;
inline constexpr int kFrameHeight = 300;

// The fish sheet with index pat, held within 0-3 so that no record, however
// damaged, can name a sheet that does not exist.
inline Sheet PatSheet(std::int16_t index) {
  if (index <= 0) return Sheet::pat0;
  if (index >= 3) return Sheet::pat3;
  return static_cast<Sheet>(index);
}

// Drawing as the ticks need it. Positions may lie partly or wholly outside
// the frame: whatever falls outside is clipped, never an error.
class AquariumSurfaces {
 public:
  virtual ~AquariumSurfaces() = default;

  // Draws the w x h cell at (srcX, 0) of sheet into work at (x, y), keeping
  // what lies below wherever the cell's mask, at (srcX, maskY), is white.
  virtual void DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w,
                                std::int16_t h, std::int16_t srcX, std::int16_t maskY) = 0;

  // Copies the whole frame of source onto destination.
  virtual void CopyFrame(Surface destination, Surface source) = 0;

  // Puts suisou's image on screen as it is now.
  virtual void Refresh() = 0;
};
