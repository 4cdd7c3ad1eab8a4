// The three calls of the hook library RollixHook.dll, imported at load time.
#pragma once

#include <windows.h>

extern "C" {
// Installs the hook. flags: bit 0 activate windows, bit 1 reverse scroll.
__declspec(dllimport) void WINAPI RollixHookStart(int convertToScroll, int linesToScroll, int flags);
__declspec(dllimport) void WINAPI RollixHookStop();
// When the hook last saw a mouse message: local time, days since 30 December 1899.
__declspec(dllimport) double WINAPI GetLastMouseMessageTime();
}
