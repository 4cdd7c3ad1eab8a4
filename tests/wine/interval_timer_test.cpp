// Interval timers with real Win32 timers and their shared hidden window.
#include "interval_timer.h"
#include "recording_machine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void RecordTick(void* ticks, IntervalTimer* sender)
{
    static_cast<std::vector<IntervalTimer*>*>(ticks)->push_back(sender);
}

IntervalTimer* ListeningTimer(int interval, std::vector<IntervalTimer*>* ticks)
{
    IntervalTimer* timer = CreateIntervalTimer(interval);
    timer->OnTimer.routine = &RecordTick;
    timer->OnTimer.owner = ticks;
    SetTimerEnabled(timer, true);
    return timer;
}

// Posts to the timer window and waits until the message has been dispatched: posted messages leave the
// queue in order, so once a thread message posted after it is gone, so is the message.
void PostAndPump(UINT message, WPARAM wParam, LPARAM lParam)
{
    constexpr UINT kSentinel = WM_APP + 0x3F1;
    ASSERT_TRUE(::PostMessageA(TimerWindow->Handle, message, wParam, lParam));
    ASSERT_TRUE(::PostThreadMessageA(::GetCurrentThreadId(), kSentinel, 0, 0));
    MSG peeked;
    ASSERT_TRUE(WaitFor([&] { return !::PeekMessageA(&peeked, nullptr, kSentinel, kSentinel, PM_NOREMOVE); }));
}

TEST(IntervalTimerTest, NonPositiveIntervalBecomesOneSecond)
{
    const int cases[][2] = {{0, 1000}, {-1, 1000}, {-500, 1000}, {1, 1}, {500, 500}};
    for (const auto& c : cases) {
        IntervalTimer* timer = CreateIntervalTimer(c[0]);
        EXPECT_EQ(timer->Interval, c[1]) << c[0];
        EXPECT_FALSE(timer->Enabled);
        Release(timer);
    }
    EXPECT_EQ(TimerCount, 0);
}

TEST(IntervalTimerTest, EnablingTwiceOrDisablingTwiceDoesNothing)
{
    IntervalTimer* timer = CreateIntervalTimer(500);
    SetTimerEnabled(timer, true);
    EXPECT_EQ(timer->TimerId, timer->Key);
    // A repeated call would start or stop the Win32 timer again and overwrite the id.
    const UINT_PTR marker = 0x5A5A;
    timer->TimerId = marker;
    SetTimerEnabled(timer, true);
    EXPECT_EQ(timer->TimerId, marker);
    timer->TimerId = timer->Key;
    SetTimerEnabled(timer, false);
    EXPECT_EQ(timer->TimerId, 0u);
    timer->TimerId = marker;
    SetTimerEnabled(timer, false);
    EXPECT_EQ(timer->TimerId, marker);
}

TEST(IntervalTimerTest, TimersShareOneWindowUntilTheLastGoes)
{
    IntervalTimer* first = CreateIntervalTimer(500);
    IntervalTimer* second = CreateIntervalTimer(700);
    EXPECT_NE(first->Key, second->Key);
    EXPECT_EQ(TimerWindow, nullptr);
    SetTimerEnabled(first, true);
    WindowObject* window = TimerWindow;
    ASSERT_NE(window, nullptr);
    HWND handle = window->Handle;
    SetTimerEnabled(second, true);
    EXPECT_EQ(TimerWindow, window);
    EXPECT_FALSE(::IsWindowVisible(handle));
    EXPECT_EQ(::GetParent(handle), nullptr);

    Release(first);
    EXPECT_EQ(TimerWindow, window);
    EXPECT_TRUE(::IsWindow(handle));
    Release(second);
    EXPECT_EQ(TimerCount, 0);
    EXPECT_EQ(TimerWindow, nullptr);
    EXPECT_FALSE(::IsWindow(handle));
}

TEST(IntervalTimerTest, TickCallsOnTimerWithTheTimerAsSender)
{
    std::vector<IntervalTimer*> ticks;
    IntervalTimer* timer = ListeningTimer(10, &ticks);
    ASSERT_TRUE(WaitFor([&] { return ticks.size() >= 2; }));
    EXPECT_EQ(ticks[0], timer);

    // Once disabled, a tick still on its way is dropped.
    SetTimerEnabled(timer, false);
    size_t seen = ticks.size();
    TimerCallback(TimerWindow->Handle, WM_TIMER, timer->Key, 0);
    EXPECT_EQ(ticks.size(), seen);
}

TEST(IntervalTimerTest, TimerWithoutHandlerTicksHarmlessly)
{
    IntervalTimer* silent = CreateIntervalTimer(10);
    SetTimerEnabled(silent, true);
    TimerCallback(TimerWindow->Handle, WM_TIMER, silent->Key, 0);
    // The slower timer ticks only after the silent one has ticked through the loop as well.
    std::vector<IntervalTimer*> ticks;
    ListeningTimer(50, &ticks);
    ASSERT_TRUE(WaitFor([&] { return !ticks.empty(); }));
}

TEST(IntervalTimerTest, ForgedTimerIdentifierIsIgnored)
{
    std::vector<IntervalTimer*> ticks;
    IntervalTimer* timer = ListeningTimer(60000, &ticks);
    IntervalTimer* released = ListeningTimer(60000, &ticks);
    UINT_PTR releasedKey = released->Key;
    Release(released);
    HWND window = TimerWindow->Handle;

    const UINT_PTR forged[] = {0, timer->Key + 1000, releasedKey, reinterpret_cast<UINT_PTR>(timer)};
    for (UINT_PTR id : forged) {
        TimerCallback(window, WM_TIMER, id, 0);
        // Any process can post this, naming our callback; the system then calls it with the forged id.
        PostAndPump(WM_TIMER, id, reinterpret_cast<LPARAM>(&TimerCallback));
    }
    // The right key from another window is no tick either.
    TimerCallback(nullptr, WM_TIMER, timer->Key, 0);
    EXPECT_TRUE(ticks.empty());

    // The real key through the same paths is.
    TimerCallback(window, WM_TIMER, timer->Key, 0);
    PostAndPump(WM_TIMER, timer->Key, reinterpret_cast<LPARAM>(&TimerCallback));
    EXPECT_EQ(ticks, (std::vector<IntervalTimer*>{timer, timer}));
}

TEST(IntervalTimerTest, TimerWindowOutlivesCloseFromOutside)
{
    std::vector<IntervalTimer*> ticks;
    ListeningTimer(10, &ticks);
    WindowObject* window = TimerWindow;
    PostAndPump(WM_CLOSE, 0, 0);
    EXPECT_EQ(TimerWindow, window);
    EXPECT_TRUE(::IsWindow(window->Handle));
    ASSERT_TRUE(WaitFor([&] { return !ticks.empty(); }));
}

} // namespace
