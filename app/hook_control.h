// Installing and removing the hook, with the tray icon that shows its state, and the watchdog that
// re-installs a hook Windows has dropped.
#pragma once

#include "app_state.h"

// Starts the hook library with the current settings and shows the enabled icon.
void EnableHook(AppState* state);
// Stops the hook library and shows the disabled icon.
void DisableHook(AppState* state);
// Every 500 ms: while the pointer moves and the hook is enabled, re-install it if it has gone quiet.
void WatchdogTick(AppState* state, IntervalTimer* sender);
// Notes where the pointer is and starts the 500 ms watchdog timer.
void StartWatchdog(AppState* state);

// The flags word the hook library takes: bit 0 activate windows, bit 1 reverse scroll.
int HookFlags(const AppState* state);
