// The real RollixHook.dll as Windows users meet it, driven by real input over windows of other processes: a
// program thread that stalls, other programs' hooks, group boxes and tooltips, open popups, a window that stops
// reading its messages, and Ctrl or Shift on the wheel.
#include "hook_dll_fixture.h"
#include "hook_target_commands.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWheelUp = 4;
constexpr int kWheelDown = 5;
constexpr int kNotch = 120;
constexpr WPARAM kActivateWindowCode = 8;
constexpr int kFlagActivate = 1;
constexpr int kFlagReverse = 2;
constexpr unsigned kMkShift = 0x0004;
constexpr unsigned kMkControl = 0x0008;
constexpr DWORD kProgramStallMs = 3000;
// Long enough for the system to call the window hung (5 s without reading), and for the router to see it so.
constexpr DWORD kTargetStallMs = 7500;
constexpr DWORD kStateTimeoutMs = 15000;
constexpr DWORD kRoutedAgainWithinMs = 1000;

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kStateTimeoutMs)
{
    return PumpUntil(done, timeoutMs);
}

// One notch at the pointer, as the mouse driver would send it.
bool InjectNotch(int delta)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(delta);
    return SendInput(1, &input, sizeof(input)) == 1;
}

class HookWindows : public HookDll
{
  protected:
    void WheelAt(POINT point, int button)
    {
        ASSERT_TRUE(RunXdotool(m_folder, MoveAndClick(point, button))) << "xdotool failed";
    }

    // A wheel over the target process's second top-level window, which is not in the foreground: the router
    // posts it there and asks for its activation. Once that request has come, every earlier event has been
    // handled, and any request it caused has come before it.
    void ActivationFence()
    {
        const std::size_t before = m_program.m_controls.size();
        Click(m_target.m_focus, kWheelUp);
        ASSERT_TRUE(WaitUntil([&] { return m_program.m_controls.size() > before; }))
            << "the fence's activation request never came";
    }
};

struct XdotoolRun
{
    const WorkFolder* m_folder;
    std::string m_arguments;
    const TargetWindowProcess* m_target;
    bool m_arrived = false;
    DWORD m_arrivedAt = 0;
};

DWORD WINAPI NotchesFromAnotherThread(void* parameter)
{
    auto& run = *static_cast<XdotoolRun*>(parameter);
    if (RunXdotool(*run.m_folder, run.m_arguments)) {
        run.m_arrived = run.m_target->WaitFor("child", "wheel", 3);
        run.m_arrivedAt = GetTickCount();
    }
    return 0;
}

TEST_F(HookWindows, AProgramThreadBlockedForSecondsDelaysNoWheelNotch)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    const POINT center = CenterOf(m_target.m_child);
    XdotoolRun run{&m_folder, MoveAndClick(center, kWheelUp) + " click 4 click 4", &m_target};
    HANDLE worker = CreateThread(nullptr, 0, NotchesFromAnotherThread, &run, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    // The thread that started the hook reads no message now, like the program's in a slow launch.
    const DWORD blockedAt = GetTickCount();
    Sleep(kProgramStallMs);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);

    ASSERT_TRUE(run.m_arrived) << "the notches did not all reach the window under the pointer";
    EXPECT_LT(run.m_arrivedAt - blockedAt, kProgramStallMs) << "the notches waited for the blocked thread";
    EXPECT_EQ(Deltas("child", "wheel"), (std::vector<int>{kNotch, kNotch, kNotch}));
    EXPECT_TRUE(Of("focus", "wheel").empty());
}

TEST_F(HookWindows, AHookInstalledBeforeTheRouterSeesEveryWheelEvent)
{
    OtherHookProcess other(m_folder);
    Launch("capture");
    ASSERT_TRUE(other.Start("")) << "the other program's hook did not come up";
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    Click(m_target.m_child, kWheelDown);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 2));
    ASSERT_TRUE(WaitUntil([&] { return other.WheelDeltas().size() >= 2; })) << "the other hook saw no wheel";
    EXPECT_EQ(other.WheelDeltas(), (std::vector<int>{kNotch, -kNotch}));
    EXPECT_EQ(Deltas("child", "wheel"), (std::vector<int>{kNotch, -kNotch}));
}

TEST_F(HookWindows, AWheelAnEarlierHookTookIsLeftAlone)
{
    OtherHookProcess other(m_folder);
    Launch("capture");
    ASSERT_TRUE(other.Start("swallow-up")) << "the other program's hook did not come up";
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp); // the other program's hotkey
    Fence();                           // rolled toward the user: the other hook lets it through
    EXPECT_EQ(other.WheelDeltas(), (std::vector<int>{kNotch, -kNotch}));
    EXPECT_TRUE(Of("child", "wheel").empty()) << "the router delivered a wheel another hook had taken";
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch});
}

TEST_F(HookWindows, AListBoxUnderAGroupBoxGetsTheWheel)
{
    Launch("capture");
    const HWND list = m_target.Window("list");
    const HWND group = m_target.Window("group");
    const POINT center = CenterOf(list);
    ASSERT_EQ(WindowFromPoint(center), group) << "the group box should lie over the list, as in a dialog";
    m_hook.Start(0, 3, 0);
    WheelAt(center, kWheelDown);
    ASSERT_TRUE(m_target.WaitFor("list", "wheel", 1));
    Fence();
    EXPECT_EQ(Deltas("list", "wheel"), std::vector<int>{-kNotch});
    EXPECT_TRUE(Of("group", "wheel").empty());
    EXPECT_TRUE(Of("top", "wheel").empty());
}

TEST_F(HookWindows, TheWindowBeneathATooltipGetsTheWheel)
{
    Launch("capture tooltip");
    const HWND tooltip = m_target.Window("tooltip");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(tooltip) != FALSE; })) << "the tooltip did not show";
    const POINT center = CenterOf(tooltip);
    ASSERT_EQ(WindowFromPoint(center), tooltip);
    m_hook.Start(0, 3, 0);
    WheelAt(center, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Fence();
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{kNotch});
}

TEST_F(HookWindows, ScrollingAnOpenPopupMenuLeavesItOpenAndAsksForNoActivation)
{
    Launch("");
    m_hook.Start(0, 3, kFlagActivate);
    const POINT at = CenterOf(m_target.m_child);
    ASSERT_TRUE(PostMessageA(m_target.m_top, kTargetOpenMenu, 0, MAKELPARAM(at.x, at.y)));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        menu = FindWindowA("#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    })) << "the menu did not open";

    Click(menu, kWheelDown);
    ActivationFence();
    EXPECT_TRUE(IsWindowVisible(menu)) << "the menu closed";
    ASSERT_EQ(m_program.m_controls.size(), 1u) << "the menu's wheel asked for an activation";
    EXPECT_EQ(m_program.m_controls[0].m_code, kActivateWindowCode);
    EXPECT_EQ(reinterpret_cast<HWND>(m_program.m_controls[0].m_lParam), m_target.m_focus);
}

TEST_F(HookWindows, ScrollingAnOpenDropDownListLeavesItOpenAndAsksForNoActivation)
{
    Launch("");
    m_hook.Start(0, 3, kFlagActivate);
    const HWND dropList = m_target.Window("droplist");
    ASSERT_NE(dropList, nullptr);
    ASSERT_TRUE(PostMessageA(m_target.m_top, kTargetDropDown, 0, 0));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dropList) != FALSE; })) << "the list did not drop down";

    Click(dropList, kWheelDown);
    ASSERT_TRUE(m_target.WaitFor("droplist", "wheel", 1));
    ActivationFence();
    EXPECT_TRUE(IsWindowVisible(dropList)) << "the drop-down list closed";
    ASSERT_EQ(m_program.m_controls.size(), 1u) << "the drop-down's wheel asked for an activation";
    EXPECT_EQ(reinterpret_cast<HWND>(m_program.m_controls[0].m_lParam), m_target.m_focus);
}

TEST_F(HookWindows, AWindowThatStopsReadingGetsTheWheelFromTheSystemThenByPostAgain)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));

    ASSERT_TRUE(PostMessageA(m_target.m_top, kTargetStall, kTargetStallMs, 0));
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(m_target.m_top) != FALSE; })) << "never counted as hung";
    // Posts would pile up unread; the system's own delivery (to the capture) waits in line once. The notch is
    // injected here: under Wine the X events of xdotool reach only the process that owns the window, which sleeps.
    ASSERT_TRUE(InjectNotch(kNotch));
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(m_target.m_top) == FALSE; })) << "never read again";
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));

    Click(m_target.m_child, kWheelDown);
    const DWORD sentAt = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return m_target.Count("child", "wheel") >= 2; }, kRoutedAgainWithinMs))
        << "the window did not get the wheel by post within " << kRoutedAgainWithinMs << " ms after "
        << GetTickCount() - sentAt << " ms";
    EXPECT_EQ(Deltas("child", "wheel"), (std::vector<int>{kNotch, -kNotch}));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
}

TEST_F(HookWindows, ConvertToScrollKeepsCtrlAndShiftWheelsWheelMessages)
{
    Launch("capture");
    m_hook.Start(1, 5, 0);
    const POINT center = CenterOf(m_target.m_child);
    const std::string move = "mousemove " + std::to_string(center.x) + " " + std::to_string(center.y);
    ASSERT_TRUE(RunXdotool(m_folder, move + " keydown ctrl click 4 keyup ctrl"));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_TRUE(RunXdotool(m_folder, "keydown shift click 5 keyup shift"));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 2));
    Fence();

    const std::vector<LoggedMessage> wheels = Of("child", "wheel");
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0].Delta(), kNotch);
    EXPECT_EQ(wheels[0].m_wParam & 0xFFFFu, kMkControl);
    EXPECT_EQ(wheels[1].Delta(), -kNotch);
    EXPECT_EQ(wheels[1].m_wParam & 0xFFFFu, kMkShift);
    EXPECT_TRUE(Of("top", "vscroll").empty()) << "a modified wheel became line scrolls";
}

// A program with a modal dialog open lies over a window of another program, at the same place.
TEST_F(HookWindows, TheDisabledWindowOfAModalDialogHidesWhatLiesBehindIt)
{
    WorkFolder otherFolder;
    TargetWindowProcess behind(otherFolder);
    ASSERT_TRUE(behind.Start("")) << "the other program did not come up";
    Launch("capture modal");
    ASSERT_FALSE(IsWindowEnabled(m_target.m_top));
    RECT top{};
    GetWindowRect(m_target.m_top, &top);
    const POINT bare{top.right - 60, top.bottom - 60}; // its own client area, no control there
    m_hook.Start(0, 3, kFlagActivate);
    Click(m_target.m_child, kWheelUp);
    WheelAt(bare, kWheelDown);
    Fence();
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 3));

    // The system gives all three to the dialog, which holds the capture.
    EXPECT_EQ(Deltas("focus", "wheel"), (std::vector<int>{kNotch, -kNotch, -kNotch}));
    EXPECT_TRUE(Of("child", "wheel").empty());
    EXPECT_TRUE(Of("top", "wheel").empty());
    EXPECT_TRUE(behind.Log().empty()) << "a notch reached the window behind the disabled one";
    EXPECT_TRUE(m_program.m_controls.empty()) << "an activation was asked for";
}

// Two reversing tools: the other one's hook, installed first, swallows each wheel event and injects it reversed.
TEST_F(HookWindows, AnotherToolsReversedInjectionEndsAsOneMessageAndIsNeverInjectedBack)
{
    OtherHookProcess other(m_folder);
    Launch("capture");
    ASSERT_TRUE(other.Start("reverse")) << "the other program's hook did not come up";
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp); // posted by the router, reversed once more
    Click(m_target.m_core, kWheelUp);  // left to the system: re-injecting would answer an injection
    Fence();
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 2)) << "an event was lost, or is still bouncing between the hooks";

    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{kNotch});
    EXPECT_EQ(Deltas("focus", "wheel"), (std::vector<int>{-kNotch, kNotch})) << "the other tool's reversal stands";
    EXPECT_EQ(m_target.Log().size(), 3u) << "one message per notch";
    // Each physical notch and each of its injections once, whether or not Wine shows a tool its own injections.
    EXPECT_LE(other.WheelDeltas().size(), 6u);
}

} // namespace
