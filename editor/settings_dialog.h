// The settings dialog: shows rollix.ini's values, saves the changed ones and tells the running program.
#pragma once

#include <windows.h>

// Opens the dialog (modeless, with its own IsDialogMessage loop) and runs until it is closed.
// Returns the process exit code.
int RunSettingsDialog(HINSTANCE instance);

// Says that rollix.ini could not be written, where it is and why.
void ReportWriteFailure(HWND dialog, DWORD error);
