// Bringing a window of any process to the foreground.
#include "forceforeground.h"

#include "app_machine.h"
#include "foreground_rule.h"

#include "../toolkit/message_loop.h"

HWND LastActivatedWindow = nullptr;

namespace {
int g_platformId = 0;
int g_majorVersion = 0;
int g_minorVersion = 0;

bool IsForeground(HWND window)
{
    return Sys().GetForegroundWindow() == window;
}

// Lowers the system's foreground lock time-out for the moment of the switch. Only a value that was
// actually read is written back; without one the time-out is left alone.
void SwitchWithoutLockTimeout(HWND window)
{
    DWORD saved = 0;
    bool haveSaved = Sys().SystemParametersInfo(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0) != FALSE;
    if (haveSaved)
        Sys().SystemParametersInfo(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    Sys().BringWindowToTop(window);
    Sys().SetForegroundWindow(window);
    if (haveSaved)
        Sys().SystemParametersInfo(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(saved)),
                                   SPIF_SENDCHANGE);
}
} // namespace

void ReadPlatformVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!Sys().GetVersionEx(&info))
        return;
    g_platformId = static_cast<int>(info.dwPlatformId);
    g_majorVersion = static_cast<int>(info.dwMajorVersion);
    g_minorVersion = static_cast<int>(info.dwMinorVersion);
}

bool ForceForegroundWindow(HWND window)
{
    if (Sys().IsIconic(window))
        Sys().ShowWindow(window, SW_RESTORE);
    if (IsForeground(window))
        return true;

    if (NeedsForegroundWorkaround(g_platformId, g_majorVersion, g_minorVersion)) {
        // Sharing input state with the foreground window's thread lets this thread set the foreground.
        DWORD foregroundThread = Sys().GetWindowThreadProcessId(Sys().GetForegroundWindow());
        DWORD targetThread = Sys().GetWindowThreadProcessId(window);
        bool brought = false;
        if (Sys().AttachThreadInput(targetThread, foregroundThread, TRUE)) {
            Sys().BringWindowToTop(window);
            Sys().SetForegroundWindow(window);
            Sys().AttachThreadInput(targetThread, foregroundThread, FALSE);
            brought = IsForeground(window);
        }
        if (!brought)
            SwitchWithoutLockTimeout(window);
    } else {
        Sys().BringWindowToTop(window);
        Sys().SetForegroundWindow(window);
    }
    return IsForeground(window);
}

void ActivateTargetWindow(HWND target)
{
    if (target == LastActivatedWindow)
        return;
    if (MainWindow != nullptr)
        ForceForegroundWindow(MainWindow->Handle);
    ForceForegroundWindow(target);
    LastActivatedWindow = target;
}
