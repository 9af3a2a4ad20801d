// Every drawing call to two surfaces, so that a second canvas makes the same
// frames from the same ticks.
#pragma once

#include "sim/Surfaces.h"

class BothSurfaces final : public AquariumSurfaces {
 public:
  BothSurfaces(AquariumSurfaces& first, AquariumSurfaces& second) : first_(first), second_(second) {}

  void DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w, std::int16_t h,
                        std::int16_t srcX, std::int16_t maskY) override {
    first_.DrawMaskedSprite(sheet, x, y, w, h, srcX, maskY);
    second_.DrawMaskedSprite(sheet, x, y, w, h, srcX, maskY);
  }
  void CopyFrame(Surface destination, Surface source) override {
    first_.CopyFrame(destination, source);
    second_.CopyFrame(destination, source);
  }
  void Refresh() override {
    first_.Refresh();
    second_.Refresh();
  }

 private:
  AquariumSurfaces& first_;
  AquariumSurfaces& second_;
};
