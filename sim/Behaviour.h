// Velmaro — the behaviour tick, every two and a half seconds.
#pragma once

class RandomSource;

// Ends every active fish's rise and bubble, then gives each one a new mood
// in its current direction: upwards, level, downwards, a rise to the surface
// (1 in 6 each) or a bubble in front of it (1 in 3). Reads Conf.MaxIndex once
// and never turns a fish round.
void StepBehaviour(RandomSource& random);
