// Bringing a window of any process to the foreground, which Windows restricts.
#pragma once

#include <windows.h>

// The last window that control code 8 asked for; the same window is not activated twice in a row.
extern HWND LastActivatedWindow;

// Notes the platform and version once at start-up; all three stay 0 if the query fails.
void ReadPlatformVersion();
// True when the window is the foreground window when the routine ends.
bool ForceForegroundWindow(HWND window);
// Brings the main window, then the target, to the foreground, unless the target was the last one.
void ActivateTargetWindow(HWND target);
