// RollixHook.dll's three exports and its entry point. The hook itself runs on a thread of its own (hook_thread.cpp);
// the exports start and end that thread and read what it records.
#include "rollix_hook_api.h"

#include "callback_timing.h"
#include "hook_thread.h"
#include "ole_date.h"
#include "router_settings_file.h"
#include "rule_file.h"
#include "smooth_settings_file.h"

namespace {

constexpr char kProgramWindowClass[] = "obj_Form";
constexpr char kProgramWindowCaption[] = "Rollix Portable";
constexpr char kControlMessageName[] = "WM_ROLLIX_MSG";

LocalDateTime ToLocalDateTime(const SYSTEMTIME& time)
{
    LocalDateTime result;
    result.m_year = time.wYear;
    result.m_month = time.wMonth;
    result.m_day = time.wDay;
    result.m_hour = time.wHour;
    result.m_minute = time.wMinute;
    result.m_second = time.wSecond;
    result.m_millisecond = time.wMilliseconds;
    return result;
}

} // namespace

extern "C" void WINAPI RollixHookStart(int convertToScroll, int linesToScroll, int flags)
{
    RouterConfig config;
    config.m_settings = SettingsFromArguments(convertToScroll, linesToScroll, flags);
    // The router's own settings, read anew at every start: the editor restarts the hook when they change.
    if (!ReadRouterSettings(LibraryModule(), config.m_routerSettings)) {
        // Never a hook without the user's settings: the watchdog and the user see a start that failed.
        FailHookStart();
        return;
    }
    config.m_settings.m_reverseAxes = config.m_routerSettings.m_reverseAxes;
    config.m_settings.m_shiftScrollsSideways = config.m_routerSettings.m_shiftScrollsSideways;
    // The rules and smoothing through the ANSI profile functions: never silently without them.
    char path[MAX_PATH + 16];
    if (!SettingsFilePath(LibraryModule(), path)) {
        FailHookStart();
        return;
    }
    ReadUserRules(path, config.m_rules);
    config.m_smooth = ReadSmoothSettings(path);
    config.m_settings.m_smoothScroll = config.m_smooth.m_smoothScroll;
    // Looked up here rather than in the callback, which must stay fast; the main window lives as long as the
    // program, and every re-install by the watchdog looks again.
    config.m_programWindow = FindWindowA(kProgramWindowClass, kProgramWindowCaption);
    config.m_controlMessage = RegisterWindowMessageA(kControlMessageName);
    // One hook at most: a start while one runs replaces it, so no event is ever handled twice.
    StartHookThread(config);
}

extern "C" void WINAPI RollixHookStop()
{
    StopHookThread();
}

extern "C" double WINAPI GetLastMouseMessageTime()
{
    DWORD lastTick = 0;
    if (!LastMouseTick(lastTick)) {
        return 0.0;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Unsigned subtraction stays right across the tick count's wrap after 49.7 days; an event seen between the
    // two readings counts as now.
    const DWORD elapsed = GetTickCount() - lastTick;
    return OleDateBefore(OleDateFromLocalTime(ToLocalDateTime(now)), elapsed > 0x7FFFFFFFu ? 0 : elapsed);
}

extern "C" int WINAPI RollixHookCallbackTimes(double* microseconds, int capacity)
{
    return ReadWheelCallbackTimes(microseconds, capacity);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        AttachHookThreads(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: no hook thread runs (each holds a reference). At process exit the system ends
        // the threads and removes the hook itself; nothing here waits for anything.
        DetachHookThreads();
    }
    return TRUE;
}
