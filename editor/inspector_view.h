// The rules dialog's inspector: what RollixHook.dll, beside the editor, says the router does with the wheel over
// the window the picker points at. The editor decides nothing itself: without the library it says so.
#pragma once

#include "wheel_rules.h"

#include <windows.h>

// Shows in the edit control `view` the library's inspection of `window` at `point` (screen coordinates).
void ShowInspection(HWND view, HWND window, POINT point);

// The program's file name and the class of the window that would get the wheel, as the library names them. False
// without the library or when it knows no program there.
bool InspectedNames(HWND window, char (&program)[kRuleNameSize], char (&windowClass)[kRuleNameSize]);
