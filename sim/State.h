// Velmaro — the program's module-level state, all in one place. It lives for
// the whole run and is all zero when the program starts.
#pragma once

#include <array>
#include <cstdint>

#include "sim/Aquarium.h"
#include "sim/SetRec.h"

// The settings record: loaded at start-up, changed by the dialog, saved at
// the end.
extern SetRec Conf;

// Bubble[i] belongs to Fish[i] alone.
extern std::array<FishRec, kFishSlots> Fish;
extern std::array<BubbleRec, kFishSlots> Bubble;
extern std::int16_t TurnCount;  // wall contacts of all fish together

// Twips (1/1440 inch) per screen pixel, set once by the main window's layout.
extern std::int16_t TwipX;
extern std::int16_t TwipY;

// Puts all of it back as at program start, and the program's random source
// with it.
void ResetState();
