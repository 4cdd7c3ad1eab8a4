// The control message protocol: other processes post "WM_ROLLIX_MSG" with a control code to the main window.
#pragma once

#include "app_state.h"

#include <cstdint>

enum ControlCode : uint32_t
{
    kReloadSettings = 1,
    kEnableHook = 2,
    kDisableHook = 3,
    kQuit = 4,
    kOpenSettings = 5,
    kRestartNormally = 6,
    kRestartElevated = 7,
    kActivateWindow = 8,
    kReloadTrayIconSetting = 9,
};

// The main window's message handler: acts on every "WM_ROLLIX_MSG" and answers true for it, whatever
// its code; every other message is left to the toolkit (false).
bool OnControlMessage(AppState* state, MessageRecord& message, LRESULT& result);
// Code 6: honoured only in a copy started with "/admin" or "/noadmin" on Vista or later.
void RequestRestart();
// Code 7: honoured only in any other copy on Vista or later.
void RequestElevatedRestart();
