#include "tests/support/WindowState.h"

#include "app/Startup.h"
#include "dialog/frm_Set.h"
#include "render/Placement.h"
#include "tests/support/ProgramState.h"

namespace {
void ResetWindowLayers() {
  ResetSettingsDialog();
  ResetStartupState();
  TwipX = TwipY = 0;
}
}  // namespace

void CoverTheWindowsInAllState() { AlsoResetWithAllState(ResetWindowLayers); }
