// The base of every test fixture that touches the program's state: fresh
// when the test starts, and put back once its members are gone.
#pragma once

#include <gtest/gtest.h>

#include "sim/State.h"

class FreshState : public ::testing::Test {
 protected:
  FreshState() { ResetState(); }
  ~FreshState() override { ResetState(); }
};
