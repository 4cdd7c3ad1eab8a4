// Installing and removing the hook, the icon that shows it, and the watchdog's re-install.
#include "app_fixture.h"
#include "hook_control.h"
#include "watchdog_rule.h"

#include <string>
#include <vector>

namespace {

class HookControlTest : public AppFixture
{
protected:
    // The clock at 12:00:05 and the library's last message `age` seconds earlier.
    void LastMessageAgo(double ageSeconds)
    {
        machine.localTime = SYSTEMTIME{2026, 12, 2, 8, 12, 0, 5, 0};
        machine.lastMouseMessageTime = DateTimeFromParts(2026, 12, 8, 12, 0, 5, 0) - ageSeconds / 86400.0;
    }

    std::vector<std::string> HookCalls() const
    {
        std::vector<std::string> hook;
        for (const std::string& call : machine.calls)
            if (call.rfind("Hook", 0) == 0)
                hook.push_back(call);
        return hook;
    }
};

TEST_F(HookControlTest, EnablePassesTheSettingsAndShowsTheEnabledIcon)
{
    struct Case
    {
        bool convert, activate, reverse;
        int lines;
        const char* expected;
    } cases[] = {
        {false, false, false, 3, "HookStart 0 3 0"},
        {true, true, false, 7, "HookStart 1 7 1"},
        {false, false, true, 1, "HookStart 0 1 2"},
        {true, true, true, 12, "HookStart 1 12 3"},
    };
    for (const Case& c : cases) {
        machine.calls.clear();
        state->ConvertToScroll = c.convert;
        state->ActivateWindows = c.activate;
        state->ReverseScroll = c.reverse;
        state->LinesToScroll = c.lines;
        EnableHook(state);
        EXPECT_EQ(HookCalls(), std::vector<std::string>{c.expected});
        EXPECT_TRUE(state->HookEnabled);
    }
    ASSERT_NE(ResourceIcon("RXICONENABLED"), nullptr);
    EXPECT_EQ(state->Tray->Icon, ResourceIcon("RXICONENABLED"));
}

TEST_F(HookControlTest, DisableStopsTheLibraryAndShowsTheDisabledIcon)
{
    EnableHook(state);
    DisableHook(state);
    EXPECT_FALSE(state->HookEnabled);
    EXPECT_EQ(HookCalls(), (std::vector<std::string>{"HookStart 0 3 0", "HookStop"}));
    ASSERT_NE(ResourceIcon("RXICONDISABLED"), nullptr);
    EXPECT_EQ(state->Tray->Icon, ResourceIcon("RXICONDISABLED"));
}

TEST_F(HookControlTest, EnableTwiceStartsTwiceWithoutAStop)
{
    EnableHook(state);
    EnableHook(state);
    EXPECT_EQ(HookCalls(), (std::vector<std::string>{"HookStart 0 3 0", "HookStart 0 3 0"}));
}

TEST_F(HookControlTest, WatchdogReinstallsOnlyWhenTheLastMessageIsOlderThanThreeSeconds)
{
    struct Case
    {
        double age;
        bool reinstall;
    } cases[] = {{5.0, true}, {3.1, true}, {3.0, false}, {2.9, false}, {0.0, false}, {-4.0, false}};
    for (const Case& c : cases) {
        state->Rehook = true;
        state->HookEnabled = true;
        state->LastCursorPos = POINT{10, 10};
        machine.cursor = POINT{11, 10};
        LastMessageAgo(c.age);
        machine.calls.clear();
        WatchdogTick(state, nullptr);
        std::vector<std::string> expected;
        if (c.reinstall)
            expected = {"HookStop", "HookStart 0 3 0"};
        EXPECT_EQ(HookCalls(), expected) << "last message " << c.age << " s old";
        EXPECT_EQ(state->LastCursorPos.x, 11);
        EXPECT_TRUE(state->HookEnabled);
    }
}

TEST_F(HookControlTest, ReinstallShowsTheDisabledThenTheEnabledIcon)
{
    state->Rehook = true;
    EnableHook(state);
    machine.cursor = POINT{50, 60};
    LastMessageAgo(5.0);
    machine.calls.clear();
    WatchdogTick(state, nullptr);
    // Two image changes reach the shell: the disabled icon, then the enabled one.
    ASSERT_GE(machine.shellRecords.size(), 2u);
    size_t n = machine.shellRecords.size();
    EXPECT_EQ(machine.shellRecords[n - 2].hIcon, ResourceIcon("RXICONDISABLED"));
    EXPECT_EQ(machine.shellRecords[n - 1].hIcon, ResourceIcon("RXICONENABLED"));
}

TEST_F(HookControlTest, StillPointerNeverCausesAReinstall)
{
    state->Rehook = true;
    state->HookEnabled = true;
    state->LastCursorPos = POINT{10, 10};
    machine.cursor = POINT{10, 10};
    LastMessageAgo(60.0);
    machine.calls.clear();
    for (int tick = 0; tick < 120; ++tick)
        WatchdogTick(state, nullptr);
    EXPECT_TRUE(HookCalls().empty());
    EXPECT_EQ(machine.CountCalls("GetLocalTime"), 0) << "the clock is read only when the pointer moved";
}

TEST_F(HookControlTest, RehookOffFollowsThePointerWithoutTheLibrary)
{
    state->Rehook = false;
    state->HookEnabled = true;
    machine.cursor = POINT{300, 200};
    LastMessageAgo(60.0);
    machine.calls.clear();
    WatchdogTick(state, nullptr);
    EXPECT_TRUE(HookCalls().empty());
    EXPECT_EQ(machine.CountCalls("LastMouseMessageTime"), 0);
    EXPECT_EQ(state->LastCursorPos.x, 300);
    EXPECT_EQ(state->LastCursorPos.y, 200);
}

TEST_F(HookControlTest, DisabledHookIsNeitherWatchedNorTracked)
{
    state->Rehook = true;
    EnableHook(state);
    DisableHook(state);
    state->LastCursorPos = POINT{1, 2};
    machine.cursor = POINT{400, 400};
    LastMessageAgo(60.0);
    machine.calls.clear();
    WatchdogTick(state, nullptr);
    EXPECT_TRUE(machine.calls.empty());
    EXPECT_EQ(state->LastCursorPos.x, 1);
}

TEST_F(HookControlTest, FailedCursorReadSkipsTheTick)
{
    state->Rehook = true;
    state->HookEnabled = true;
    state->LastCursorPos = POINT{5, 5};
    machine.cursorFails = true;
    LastMessageAgo(60.0);
    WatchdogTick(state, nullptr);
    EXPECT_TRUE(HookCalls().empty());
    EXPECT_EQ(state->LastCursorPos.x, 5);
}

TEST_F(HookControlTest, WatchdogTimerTicksEveryHalfSecondFromThePointersPlace)
{
    machine.cursor = POINT{77, 88};
    StartWatchdog(state);
    EXPECT_EQ(state->LastCursorPos.x, 77);
    EXPECT_EQ(state->LastCursorPos.y, 88);
    ASSERT_NE(state->WatchdogTimer, nullptr);
    EXPECT_EQ(state->WatchdogTimer->Interval, 500);
    EXPECT_TRUE(state->WatchdogTimer->Enabled);
    // A real tick re-installs a quiet hook once the pointer moves.
    state->Rehook = true;
    EnableHook(state);
    machine.cursor = POINT{78, 88};
    LastMessageAgo(5.0);
    machine.calls.clear();
    EXPECT_TRUE(WaitFor([&] { return machine.CountCalls("HookStop") > 0; }));
}

} // namespace
