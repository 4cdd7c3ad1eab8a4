// Telling a running copy of the program that its settings changed.
#pragma once

#include "settings_form.h"

// Posts each code as WM_ROLLIX_MSG to the running program's main window, if one runs.
// Returns whether a running program was found.
bool NotifyRunningProgram(const ControlCodes& codes);
