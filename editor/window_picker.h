// The window picker, as system tools have it: press the mouse button on the crosshair, drag it onto any window
// and release; the dialog then learns which window that was, and adds its program to the exclusions.
#pragma once

#include <windows.h>

// Sent to the picker's parent when the button is released: lParam is the window under the pointer (or null).
constexpr UINT kWindowPicked = WM_APP + 1;
// Sent to the picker's parent while the crosshair is dragged, each time it comes over another window: lParam is
// that window; the pointer is where GetCursorPos says.
constexpr UINT kWindowHovered = WM_APP + 2;

// The picker's window class (ROLLIX_PICKER_CLASS), which the dialog's template names.
bool RegisterWindowPicker(HINSTANCE instance);

// The full path of the program that runs the window's top-level window. False for a window of this process (the
// editor picks nothing of its own) and when the program cannot be found (before Vista, or no access).
bool ProgramOfWindow(HWND window, char (&path)[MAX_PATH]);
