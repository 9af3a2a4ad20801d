// Velmaro — the animation tick, ten times a second.
#pragma once

#include "sim/Aquarium.h"
#include "sim/Random.h"
#include "sim/Surfaces.h"

// One frame: every active fish takes one step (swim, rise or wall contact),
// its tail and its bubble move, and the frame is composed in work and then
// shown through suisou. Reads Conf.MaxIndex once; fish are handled in index
// order, so each one covers its own bubble and every lower-numbered fish.
void StepAquarium(const AquariumWindow& window, AquariumSurfaces& surfaces, RandomSource& random);
