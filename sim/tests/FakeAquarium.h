// Stand-ins for the window and its surfaces, so that the rules of the motion
// run without a display; chosen draws come from ScriptedRandom.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "sim/Aquarium.h"
#include "sim/Surfaces.h"
#include "tests/support/ScriptedRandom.h"

class LaidOutWindow : public AquariumWindow {
 public:
  float ScaleWidth() const override { return 500; }
  float ScaleHeight() const override { return 300; }
};

// Writes down every drawing call, one line each, in the order made.
class RecordingSurfaces : public AquariumSurfaces {
 public:
  void DrawMaskedSprite(Sheet sheet, std::int16_t x, std::int16_t y, std::int16_t w,
                        std::int16_t h, std::int16_t srcX, std::int16_t maskY) override {
    std::ostringstream line;
    line << (sheet == Sheet::awa ? std::string("awa")
                                 : "pat(" + std::to_string(static_cast<int>(sheet)) + ")")
         << " at " << x << "," << y << " size " << w << "x" << h << " cell " << srcX << " mask "
         << maskY;
    calls.push_back(line.str());
  }
  void CopyFrame(Surface destination, Surface source) override {
    calls.push_back("copy " + Name(source) + " to " + Name(destination));
  }
  void Refresh() override { calls.push_back("refresh suisou"); }

  std::vector<std::string> calls;

 private:
  static std::string Name(Surface s) {
    switch (s) {
      case Surface::suisou: return "suisou";
      case Surface::work: return "work";
      case Surface::back: return "back";
    }
    return "?";
  }
};

// A fish record in one statement.
inline FishRec MakeFish(std::int16_t x, std::int16_t y, std::int16_t mode, std::int16_t pat,
                        std::int16_t frameX = 0, std::int16_t rise = 0) {
  FishRec f;
  f.X = x;
  f.Y = y;
  f.Mode = mode;
  f.FrameX = frameX;
  f.Pat = pat;
  f.Rise = rise;
  return f;
}
