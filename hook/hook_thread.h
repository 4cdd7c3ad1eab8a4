// The thread the low-level hook lives on. A low-level hook is called on the thread that installed it, and the
// system holds every mouse event of the session until it answers: on a thread of its own, with nothing else to
// do, no stall of the program's thread (a slow launch, a settings file on a slow stick) can hold up the mouse,
// and Windows never times the hook out and drops it.
#pragma once

#include <windows.h>

#include "wheel_router.h"

// DllMain, attaching and (on FreeLibrary) detaching. Neither waits for anything.
void AttachHookThreads(HMODULE module);
void DetachHookThreads();
HMODULE LibraryModule();

// Ends a running hook thread, then starts one with this configuration; returns once its hook is installed (or
// has failed to be).
void StartHookThread(const RouterConfig& config);
// Ends the hook thread, if one runs, and returns once its hook is removed.
void StopHookThread();
// A start that cannot run (its settings file cannot be found) fails as any failed start does: the running hook
// ends, and the watchdog sees no mouse messages from then on.
void FailHookStart();

// When a hook thread last saw a mouse event or was started (GetTickCount); false before the first start.
bool LastMouseTick(DWORD& tick);
