// The smoothing thread: it takes the notches the hook callback hands over and delivers their frames, timed by a
// waitable timer. It runs from the hook's start to its stop, and while no wheel moves it waits with no timer set,
// so that smoothing adds no wake-up to a resting wheel.
#pragma once

#include <windows.h>

#include "notch_queue.h"

class SmoothScroller
{
  public:
    SmoothScroller() = default;
    ~SmoothScroller() { Stop(); }
    SmoothScroller(const SmoothScroller&) = delete;
    SmoothScroller& operator=(const SmoothScroller&) = delete;

    // Starts the thread; false when it could not be (the notches are then delivered whole).
    bool Start(int durationMs);
    // Ends the thread and waits for it; everything it held is given back.
    void Stop();
    bool Running() const { return m_shared != nullptr; }
    // From the hook callback: queues the notch and wakes the thread, without waiting. False when the notch could
    // not be taken and must be delivered whole.
    bool Hand(const SmoothNotch& notch);

    // The thread's own state; the thread frees it as it ends.
    struct Shared;

  private:
    Shared* m_shared = nullptr;
    HANDLE m_thread = nullptr;
};

// Injects count wheel events of delta at once, marked as the router's own so that the hook lets them pass.
bool InjectWheels(bool horizontal, int delta, int count);
