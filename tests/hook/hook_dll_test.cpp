// The real RollixHook.dll in a process that pumps messages like the program, driven by real wheel events from
// xdotool over a window of another process.
#include "hook_dll_fixture.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWheelUp = 4;
constexpr int kWheelDown = 5;
constexpr int kTiltRight = 7;
constexpr int kNotch = 120;
constexpr int kLineUp = 0;   // SB_LINEUP, SB_LINELEFT
constexpr int kLineDown = 1; // SB_LINEDOWN, SB_LINERIGHT
constexpr int kEndScroll = 8;
constexpr WPARAM kActivateWindowCode = 8;
constexpr int kFlagActivate = 1;
constexpr int kFlagReverse = 2;
constexpr double kMillisecondInDays = 1.0 / 86400000.0;
// What the library writes into the input it injects itself ("ROLX").
constexpr ULONG_PTR kRollixInjectedMarker = 0x524F4C58;

// Injects one notch from a thread of its own: Wine does not run a low-level hook for input that the hook's own
// thread injects, and the events must go through the hook to show what it does with them.
DWORD WINAPI InjectMarkedNotch(void*)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = 120;
    input.mi.dwExtraInfo = kRollixInjectedMarker;
    return SendInput(1, &input, sizeof(input));
}

TEST_F(HookDll, WheelGoesToTheWindowUnderThePointerNotTheFocusedOne)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Fence();

    const std::vector<LoggedMessage> wheels = Of("child", "wheel");
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(wheels[0].Delta(), kNotch);
    const POINT center = CenterOf(m_target.m_child);
    EXPECT_EQ(static_cast<short>(wheels[0].m_lParam & 0xFFFF), center.x);
    EXPECT_EQ(static_cast<short>(wheels[0].m_lParam >> 16), center.y);
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookDll, AfterStopTheWheelGoesToTheFocusedWindowAgain)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));

    m_hook.Stop();
    m_hook.Stop(); // a stop without a hook does nothing
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{kNotch});
}

TEST_F(HookDll, ReverseScrollInvertsTheWheel)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Click(m_target.m_child, kWheelDown);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 2));
    EXPECT_EQ(Deltas("child", "wheel"), (std::vector<int>{-kNotch, kNotch}));
}

TEST_F(HookDll, ConvertToScrollSendsLinesPerNotchThenEndScroll)
{
    Launch("capture");
    m_hook.Start(1, 5, 0);
    // The child has no scroll bar; its top-level window has both.
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("top", "vscroll", 6));
    Click(m_target.m_child, kWheelDown);
    ASSERT_TRUE(m_target.WaitFor("top", "vscroll", 12));
    Click(m_target.m_child, kTiltRight);
    ASSERT_TRUE(m_target.WaitFor("top", "hscroll", 6));
    Fence();

    EXPECT_EQ(Codes("top", "vscroll"),
              (std::vector<int>{kLineUp, kLineUp, kLineUp, kLineUp, kLineUp, kEndScroll, kLineDown, kLineDown,
                                kLineDown, kLineDown, kLineDown, kEndScroll}));
    EXPECT_EQ(Codes("top", "hscroll"),
              (std::vector<int>{kLineDown, kLineDown, kLineDown, kLineDown, kLineDown, kEndScroll}));
    EXPECT_TRUE(Of("child", "wheel").empty());
    EXPECT_TRUE(Of("child", "hwheel").empty());
    EXPECT_TRUE(Of("focus", "hwheel").empty());
}

TEST_F(HookDll, ActivateWindowsAsksTheProgramToActivateTheTopLevelWindow)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagActivate);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_TRUE(PumpUntil([&] { return !m_program.m_controls.empty(); }, 15000)) << "no control message arrived";
    EXPECT_EQ(m_program.m_controls[0].m_code, kActivateWindowCode);
    EXPECT_EQ(reinterpret_cast<HWND>(m_program.m_controls[0].m_lParam), m_target.m_top);
}

TEST_F(HookDll, TwoStartsInARowInstallOneHookWithTheNewSettings)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Fence();
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{-kNotch});

    // One stop must leave no hook behind.
    m_hook.Stop();
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 2));
    EXPECT_EQ(Deltas("focus", "wheel").back(), kNotch);
    EXPECT_EQ(Of("child", "wheel").size(), 1u);
}

TEST_F(HookDll, SystemRoutedFrameworkWindowIsLeftToTheSystem)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_core, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_TRUE(Of("core", "wheel").empty());
}

TEST_F(HookDll, ReverseScrollReachesSystemRoutedWindowsInvertedAndOnlyOnce)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_core, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    // Only one inverted notch arrives: the re-injected event is not handled a second time.
    Fence();
    EXPECT_EQ(Deltas("focus", "wheel"), (std::vector<int>{-kNotch, kNotch}));
    EXPECT_TRUE(Of("core", "wheel").empty());
}

TEST_F(HookDll, InputCarryingTheLibrarysOwnMarkerPassesUntouched)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagReverse);
    const POINT center = CenterOf(m_target.m_child);
    ASSERT_TRUE(RunXdotool(m_folder, "mousemove " + std::to_string(center.x) + " " + std::to_string(center.y)));
    HANDLE injector = CreateThread(nullptr, 0, InjectMarkedNotch, nullptr, 0, nullptr);
    ASSERT_NE(injector, nullptr);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    WaitForSingleObject(injector, INFINITE);
    CloseHandle(injector);
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_TRUE(Of("child", "wheel").empty());
}

TEST_F(HookDll, FullScreenProgramGetsItsWheelFromTheSystemStillReversed)
{
    Launch("capture fullscreen");
    m_hook.Start(1, 5, kFlagReverse | kFlagActivate);
    // The targets lie above the full-screen window, which keeps the foreground and the capture: the router leaves
    // the wheel to the system, and only turns it round.
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch});
    EXPECT_TRUE(Of("child", "wheel").empty());
    EXPECT_TRUE(Of("top", "vscroll").empty());
    EXPECT_TRUE(m_program.m_controls.empty());
}

TEST_F(HookDll, MaximizedCaptionedWindowInTheForegroundLeavesTheRoutingOn)
{
    Launch("capture maximized");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1)) << "the router left the wheel to the maximized window";
    Fence();
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookDll, MaximizedWindowDrawingItsOwnTitleBarLeavesTheRoutingOn)
{
    Launch("capture ownframe");
    // Its client area is as large as the screen, as a browser's is.
    RECT client{};
    GetClientRect(m_target.m_focus, &client);
    MapWindowPoints(m_target.m_focus, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    ASSERT_TRUE(client.left <= 0 && client.top <= 0 && client.right >= GetSystemMetrics(SM_CXSCREEN) &&
                client.bottom >= GetSystemMetrics(SM_CYSCREEN));
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1)) << "the router left the wheel to the maximized window";
    Fence();
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookDll, LastMouseMessageTimeFollowsPointerMoves)
{
    Launch("");
    m_hook.Start(0, 3, 0);
    // A hook just installed counts as having seen a message now.
    const double installed = m_hook.LastMouseMessageTime();
    EXPECT_NEAR(installed, LocalNowOle(), 2000 * kMillisecondInDays);

    // With the pointer still, the time stays where it was while the clock runs on.
    ASSERT_TRUE(PumpUntil([&] { return LocalNowOle() - installed > 400 * kMillisecondInDays; }, 10000));
    EXPECT_NEAR(m_hook.LastMouseMessageTime(), installed, 100 * kMillisecondInDays);

    const POINT center = CenterOf(m_target.m_child);
    ASSERT_TRUE(
        RunXdotool(m_folder, "mousemove " + std::to_string(center.x - 20) + " " + std::to_string(center.y - 10)));
    ASSERT_TRUE(PumpUntil([&] { return m_hook.LastMouseMessageTime() - installed > 300 * kMillisecondInDays; }, 15000))
        << "the pointer move was not seen";
    EXPECT_LE(m_hook.LastMouseMessageTime(), LocalNowOle() + 50 * kMillisecondInDays);
}

} // namespace
