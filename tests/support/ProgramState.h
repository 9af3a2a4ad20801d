// The whole program's state put back as at start-up, for every test.
#pragma once

#include <gtest/gtest.h>

// Conf, the fish and bubbles with the turn counter, the program's random
// source, and whatever the window layers keep: twips, start-up findings,
// the dialog object.
void ResetAllState();

// The layers above sim/ keep state of their own; the Qt test main adds the
// reset of theirs here, so that ResetAllState covers them too.
void AlsoResetWithAllState(void (*reset)());

// The base of every test fixture: the state is fresh when the test starts,
// and put back once its members are gone.
class FreshState : public ::testing::Test {
 protected:
  FreshState() { ResetAllState(); }
  ~FreshState() override { ResetAllState(); }
};
