#include "tests/support/WindowState.h"

#include "app/Startup.h"
#include "dialog/frm_Set.h"
#include "render/Placement.h"
#include "tests/support/ProgramState.h"

void CoverTheWindowsInAllState() {
  AlsoResetWithAllState([] {
    ResetSettingsDialog();
    ResetStartupState();
    TwipX = TwipY = 0;
  });
}
