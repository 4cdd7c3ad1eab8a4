// The control message protocol.
#include "control_protocol.h"

#include "forceforeground.h"
#include "hook_control.h"
#include "rxglobals.h"
#include "settings.h"

#include "../toolkit/message_loop.h"

namespace {
void CloseMainWindow()
{
    if (MainWindow != nullptr)
        PostClose(MainWindow);
}
} // namespace

void RequestRestart()
{
    if (!AdminSwitchStart || !VistaOrLater)
        return;
    RestartRequested = true;
    RestartElevated = false;
    CloseMainWindow();
}

void RequestElevatedRestart()
{
    if (AdminSwitchStart || !VistaOrLater)
        return;
    RestartRequested = true;
    RestartElevated = true;
    CloseMainWindow();
}

bool OnControlMessage(AppState* state, MessageRecord& message, LRESULT& /*result*/)
{
    if (ControlMessageNumber == 0 || message.message != ControlMessageNumber)
        return false;
    // The code is a 32-bit value whatever the width of wParam.
    switch (static_cast<uint32_t>(message.wParam)) {
    case kReloadSettings:
        LoadSettings(state);
        break;
    case kEnableHook:
        EnableHook(state);
        break;
    case kDisableHook:
        DisableHook(state);
        break;
    case kQuit:
        CloseMainWindow();
        break;
    case kOpenSettings:
        OpenSettingsEditor();
        break;
    case kRestartNormally:
        RequestRestart();
        break;
    case kRestartElevated:
        RequestElevatedRestart();
        break;
    case kActivateWindow:
        ActivateTargetWindow(reinterpret_cast<HWND>(message.lParam));
        break;
    case kReloadTrayIconSetting:
        ApplyHideTrayIcon(state);
        break;
    default:
        // 0 and everything above 9: nothing, but still handled.
        break;
    }
    return true;
}
