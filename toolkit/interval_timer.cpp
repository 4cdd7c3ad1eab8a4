// Interval timers: Win32 timers with a callback, all hung on one hidden window, each tick mapped back to a
// live timer object by the key it was started with.
#include "interval_timer.h"

#include "message_loop.h"

WindowObject* TimerWindow = nullptr;
int TimerCount = 0;

namespace {

constexpr int kDefaultInterval = 1000;

// The live timers. A WM_TIMER can be posted by any process, with any identifier and our callback as its
// lParam; only a key found here ever becomes a timer object.
ObjectList<IntervalTimer*>* g_liveTimers = nullptr;
UINT_PTR g_lastKey = 0;

IntervalTimer* FindTimer(UINT_PTR key)
{
    if (g_liveTimers == nullptr || key == 0)
        return nullptr;
    int index = g_liveTimers->IndexWhere([key](IntervalTimer* timer) { return timer->Key == key; });
    return index < 0 ? nullptr : (*g_liveTimers)[index];
}

// Keys count up from 1 and skip any still in use once the count wraps, so no two live timers share one.
UINT_PTR NextTimerKey()
{
    do
        ++g_lastKey;
    while (g_lastKey == 0 || FindTimer(g_lastKey) != nullptr);
    return g_lastKey;
}

// The timer window's Win32 timers die with its window; forget the window and the timers' ids when it goes,
// however it goes, so that nothing is left pointing at a freed object.
void ForgetTimerWindow(void* /*owner*/, ToolkitObject* window)
{
    if (TimerWindow != window)
        return;
    TimerWindow = nullptr;
    if (g_liveTimers == nullptr)
        return;
    for (int i = 0; i < g_liveTimers->Count(); ++i)
        (*g_liveTimers)[i]->TimerId = 0;
}

// The window is top-level and so receives WM_CLOSE from anyone who closes all of a program's windows; closing
// it would silently stop every timer. Only the release of the last timer takes it down.
bool KeepTimerWindowOpen(WindowObject* /*window*/, MessageRecord& message, LRESULT& result)
{
    if (LOWORD(message.message) != WM_CLOSE)
        return false;
    result = 0;
    return true;
}

WindowObject* MakeTimerWindow()
{
    WindowObject* window = CreateWindowObject(nullptr, "");
    if (window == nullptr)
        return nullptr;
    window->Style = 0;
    // Flagged as a child control so that it gets no icon and no default position; it still has no parent.
    window->Flags |= kWindowIsChild;
    window->OnDestroy.routine = &ForgetTimerWindow;
    AttachHandler(window, &KeepTimerWindowOpen, true);
    return window;
}

} // namespace

IntervalTimer* CreateIntervalTimer(int interval)
{
    if (g_liveTimers == nullptr) {
        g_liveTimers = CreateList<IntervalTimer*>();
        if (g_liveTimers == nullptr)
            return nullptr;
    }
    IntervalTimer* timer = CreateObject<IntervalTimer>();
    if (timer == nullptr)
        return nullptr;
    timer->Interval = interval > 0 ? interval : kDefaultInterval;
    timer->Key = NextTimerKey();
    if (!g_liveTimers->Add(timer)) {
        // A timer that cannot be found again could never tick; give it back at once.
        timer->ToolkitObject::Destroy();
        return nullptr;
    }
    ++TimerCount;
    return timer;
}

void IntervalTimer::SetTimerEnabled(bool enabled)
{
    if (enabled == Enabled)
        return;
    Enabled = enabled;
    if (enabled) {
        if (TimerWindow == nullptr)
            TimerWindow = MakeTimerWindow();
        HWND window = TimerWindow != nullptr ? GetWindowHandle(TimerWindow) : nullptr;
        // Without a window SetTimer would start a thread timer under an id of its own choosing, which no key
        // maps back to; the timer stays enabled without ticks, as when SetTimer fails.
        if (window != nullptr)
            TimerId = ::SetTimer(window, Key, static_cast<UINT>(Interval), &TimerCallback);
        return;
    }
    UINT_PTR running = TimerId;
    TimerId = 0;
    if (running != 0 && TimerWindow != nullptr)
        ::KillTimer(TimerWindow->Handle, running);
}

void IntervalTimer::Destroy()
{
    SetTimerEnabled(false);
    if (g_liveTimers != nullptr) {
        int index = g_liveTimers->IndexOf(this);
        if (index >= 0) {
            g_liveTimers->Delete(index);
            --TimerCount;
        }
        if (g_liveTimers->Count() == 0) {
            Release(g_liveTimers);
            g_liveTimers = nullptr;
        }
    }
    ToolkitObject::Destroy();
    if (TimerCount == 0 && TimerWindow != nullptr) {
        WindowObject* window = TimerWindow;
        TimerWindow = nullptr;
        Release(window);
    }
}

VOID CALLBACK TimerCallback(HWND hwnd, UINT /*message*/, UINT_PTR timerId, DWORD /*time*/)
{
    IntervalTimer* timer = FindTimer(timerId);
    // A tick counts only from our own window and for a timer that runs: a forged WM_TIMER, or one still
    // queued after the timer was stopped, is dropped.
    if (timer == nullptr || timer->TimerId == 0 || TimerWindow == nullptr || hwnd != TimerWindow->Handle)
        return;
    if (timer->OnTimer)
        timer->OnTimer(timer);
}
