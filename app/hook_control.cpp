// Installing and removing the hook, and the watchdog.
#include "hook_control.h"

#include "app_machine.h"
#include "watchdog_rule.h"

namespace {
constexpr int kWatchdogIntervalMs = 500;
constexpr const char* kEnabledIcon = "RXICONENABLED";
constexpr const char* kDisabledIcon = "RXICONDISABLED";

void ShowStateIcon(AppState* state, const char* iconName)
{
    // A resource icon of the module: shared, never destroyed.
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), iconName);
    if (state->Tray != nullptr)
        SetTrayImage(state->Tray, icon);
}

// The timer goes with the process, not with the application object, and the shell may pump this thread's messages
// after the loop while it starts a new copy: once the object is released, no tick may reach it.
void DisarmWatchdog(void* timer)
{
    auto* watchdog = static_cast<IntervalTimer*>(timer);
    SetTimerEnabled(watchdog, false);
    watchdog->OnTimer.Clear();
}

double CurrentDateTime()
{
    SYSTEMTIME now = {};
    Sys().GetLocalTime(&now);
    return DateTimeFromParts(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                             now.wMilliseconds);
}
} // namespace

int HookFlags(const AppState* state)
{
    return (state->ActivateWindows ? 1 : 0) + 2 * (state->ReverseScroll ? 1 : 0);
}

void EnableHook(AppState* state)
{
    state->HookEnabled = true;
    Sys().HookStart(state->ConvertToScroll ? 1 : 0, state->LinesToScroll, HookFlags(state));
    ShowStateIcon(state, kEnabledIcon);
}

void DisableHook(AppState* state)
{
    state->HookEnabled = false;
    Sys().HookStop();
    ShowStateIcon(state, kDisabledIcon);
}

void WatchdogTick(AppState* state, IntervalTimer* /*sender*/)
{
    if (!state->HookEnabled)
        return;
    POINT cursor;
    if (!Sys().GetCursorPos(&cursor))
        return;
    if (cursor.x == state->LastCursorPos.x && cursor.y == state->LastCursorPos.y)
        return;
    if (state->Rehook) {
        double now = CurrentDateTime();
        double last = Sys().LastMouseMessageTime();
        if (ShouldReinstall(now, last)) {
            DisableHook(state);
            EnableHook(state);
        }
    }
    state->LastCursorPos = cursor;
}

void StartWatchdog(AppState* state)
{
    POINT cursor;
    if (Sys().GetCursorPos(&cursor))
        state->LastCursorPos = cursor;
    IntervalTimer* timer = CreateIntervalTimer(kWatchdogIntervalMs);
    state->WatchdogTimer = timer;
    if (timer == nullptr)
        return;
    timer->OnTimer = BindHandler<&WatchdogTick>(state);
    AddOwnedRoutine(state, &DisarmWatchdog, timer);
    SetTimerEnabled(timer, true);
}
