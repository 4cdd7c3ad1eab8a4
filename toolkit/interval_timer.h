// Interval timers: an event every so many milliseconds on the message-loop thread.
#pragma once

#include "window_object.h"

class IntervalTimer;
using TimerHandler = EventHandler<void, IntervalTimer*>;

class IntervalTimer : public ToolkitObject
{
public:
    void Destroy() override;
    virtual void SetTimerEnabled(bool enabled);

    // What SetTimer returned; 0 while no Win32 timer runs.
    UINT_PTR TimerId;
    bool Enabled;
    int Interval;
    TimerHandler OnTimer;
    // The identifier handed to SetTimer; maps a tick back to this timer.
    UINT_PTR Key;
};

// The hidden window that all timers of the process hang on, and the count of live timers.
extern WindowObject* TimerWindow;
extern int TimerCount;

// Starts disabled; an interval of 0 or less becomes 1000 ms.
IntervalTimer* CreateIntervalTimer(int interval);
inline void SetTimerEnabled(IntervalTimer* timer, bool enabled)
{
    timer->SetTimerEnabled(enabled);
}
VOID CALLBACK TimerCallback(HWND hwnd, UINT message, UINT_PTR timerId, DWORD time);
