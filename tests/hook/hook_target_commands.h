// Messages the hook tests post to the target window process's top-level window.
#pragma once

#include <windows.h>

// wParam: milliseconds during which the process reads no message.
constexpr UINT kTargetStall = WM_APP + 1;
// Opens a popup menu at the screen point in lParam (x in the low word, y in the high word).
constexpr UINT kTargetOpenMenu = WM_APP + 2;
// Opens the combo box's drop-down list.
constexpr UINT kTargetDropDown = WM_APP + 3;
