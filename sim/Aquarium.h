// Velmaro — the fish and their bubbles: records, seeding and facing.
#pragma once

#include <array>
#include <cstdint>

class RandomSource;

// The square cell of one fish in its sheets and in the frame, and of one
// bubble cluster, in pixels.
inline constexpr std::int16_t kFishCell = 75;
inline constexpr std::int16_t kBubbleCell = 30;

// One fish. Positions are pixels of the frame, y downwards; X and Y are the
// top-left corner of the fish's cell.
struct FishRec {
  std::int16_t X = 0;
  std::int16_t Y = 0;
  std::int16_t Mode = 0;    // 0-2 rightwards up/level/down, 3-5 leftwards likewise
  std::int16_t FrameX = 0;  // x of the animation frame in the sheet: 0, 1 or 2 cells
  std::int16_t Pat = 0;     // sheet: 2 * kind + facing (0 right, 1 left)
  std::int16_t Rise = 0;    // 1 while rising to the surface
};

// The bubble cluster of one fish; X and Y are the top-left of its cell.
struct BubbleRec {
  std::int16_t Active = 0;
  std::int16_t X = 0;
  std::int16_t Y = 0;
};

inline constexpr int kFishSlots = 6;

// The main window as the simulation sees it: the size of its picture area.
class AquariumWindow {
 public:
  virtual ~AquariumWindow() = default;
  virtual float ScaleWidth() const = 0;   // pixels; 500 once laid out
  virtual float ScaleHeight() const = 0;  // pixels; 300 once laid out
};

// Index of the last active fish, read from Conf.MaxIndex and held at 5 so that
// no loop can leave the six slots. Below 0 means no fish at all.
int LastActiveFish();

// Gives every active fish the sheet of its kind, a starting mode and height.
// X is kept: a fish seeded again stays where it was.
void SeedFish(const AquariumWindow& window, RandomSource& random);

// Moves fish i to the sheet facing the direction of its (new) Mode.
void FlipFishSprite(std::int16_t i);

inline bool FacesRight(std::int16_t mode) { return mode >= 0 && mode <= 2; }
inline bool FacesLeft(std::int16_t mode) { return mode >= 3 && mode <= 5; }
