// The window layers' state, put back by ResetAllState too once this is called.
#pragma once

// Once per test program, after the application object exists.
void CoverTheWindowsInAllState();
