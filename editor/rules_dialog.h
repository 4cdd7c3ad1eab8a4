// The rules dialog, opened from the settings: the user's rules (added with the window picker or by name, edited,
// removed), the built-in ones apart, and the inspector. OK writes the rules that changed and restarts the hook.
#pragma once

#include <windows.h>

void RunRulesDialog(HWND owner, bool systemFont);
