// The three functions RollixHook.dll exports for the program, all __stdcall with plain names, and the benchmark's.
// The program's own declarations (app/hooklib) import the same three; they are not included here because they carry
// dllimport. The editor's inspector export is declared in rollix_hook_inspect.h.
#pragma once

#include <windows.h>

// Installs the hook. flags: bit 0 ActivateWindows, bit 1 ReverseScroll.
extern "C" void WINAPI RollixHookStart(int convertToScroll, int linesToScroll, int flags);
extern "C" void WINAPI RollixHookStop();
// When the hook last saw a mouse message: local time, days since 30 December 1899.
extern "C" double WINAPI GetLastMouseMessageTime();
// Not used by the program: the durations of the latest wheel callbacks in microseconds, oldest first, for the
// benchmark; returns how many were written.
extern "C" int WINAPI RollixHookCallbackTimes(double* microseconds, int capacity);
