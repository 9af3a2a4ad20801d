// The window layers' state, put back by ResetAllState too once this is called.
#pragma once

void CoverTheWindowsInAllState();
