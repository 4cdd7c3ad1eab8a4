// Rules per program and window class in the rollix.ini beside a copy of the real RollixHook.dll, with real input:
// a program rule, a class rule on a child, the sideways methods, look-alikes of Excel's and a XAML island's window
// trees, and the inspector, whose line must match what the window then receives.
#include "hook_dll_fixture.h"
#include "rollix_hook_inspect.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kWheelUp = 4;
constexpr int kTiltRight = 7;
constexpr int kNotch = 120;
constexpr int kFlagReverse = 2;
constexpr unsigned kMkShift = 0x0004;
constexpr int kLineRight = 1; // SB_LINERIGHT
constexpr int kEndScroll = 8; // SB_ENDSCROLL
constexpr char kRenamedTarget[] = "RollixRuleTarget.exe";

class HookRules : public HookDll
{
  protected:
    // Copies the library into the work folder with these sections in its rollix.ini, loads that copy and starts
    // the target window's process with the look-alike window trees, from a copy named kRenamedTarget when asked.
    void LaunchWith(const std::string& sections, bool renamed = false)
    {
        ASSERT_TRUE(m_program.Create());
        const std::string library = m_folder.WindowsPath("RollixHook.dll");
        ASSERT_TRUE(CopyFileA(ROLLIX_HOOK_DLL, library.c_str(), FALSE));
        const std::string settings = "[config]\r\nFirstTime=0\r\n" + sections;
        FILE* file = std::fopen(m_folder.WindowsPath("rollix.ini").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(settings.data(), 1, settings.size(), file);
        std::fclose(file);
        std::string exe = ROLLIX_TARGET_EXE;
        if (renamed) {
            exe = m_folder.WindowsPath(kRenamedTarget);
            ASSERT_TRUE(CopyFileA(ROLLIX_TARGET_EXE, exe.c_str(), FALSE));
        }
        ASSERT_TRUE(m_target.Start("capture lookalikes", exe)) << "the target window's process did not come up";
        ASSERT_TRUE(m_hook.Load(library));
    }

    HWND Named(const char* name) const
    {
        const HWND window = m_target.Window(name);
        EXPECT_NE(window, nullptr) << name;
        return window;
    }

    RollixInspection Inspect(HWND window)
    {
        const auto inspect = reinterpret_cast<RollixHookInspectProc>(
            reinterpret_cast<void*>(m_hook.Export(kRollixHookInspectName)));
        RollixInspection inspection{};
        inspection.m_size = sizeof(inspection);
        EXPECT_NE(inspect, nullptr);
        if (inspect != nullptr) {
            EXPECT_TRUE(inspect(window, CenterOf(window), &inspection));
        }
        return inspection;
    }
};

// A point of the top-level window's own client area, clear of its child windows.
POINT TopOwnArea(HWND top)
{
    POINT point{300, 330};
    ClientToScreen(top, &point);
    return point;
}

TEST_F(HookRules, AProgramRuleLeavesThatProgramUnreversed)
{
    LaunchWith("[program " + std::string(kRenamedTarget) + "]\r\nReverseScroll=0\r\n", true);
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{kNotch});
}

TEST_F(HookRules, TheGlobalReverseHoldsForOtherPrograms)
{
    LaunchWith("[program SomeOtherProgram.exe]\r\nReverseScroll=0\r\n", true);
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{-kNotch});
}

TEST_F(HookRules, AClassRuleAppliesToItsWindowAndNotToTheParent)
{
    LaunchWith("[class rollixtargetchild]\r\nReverseScroll=0\r\n");
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(RunXdotool(m_folder, MoveAndClick(TopOwnArea(m_target.m_top), kWheelUp)));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_TRUE(m_target.WaitFor("top", "wheel", 1));
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{kNotch});
    EXPECT_EQ(Deltas("top", "wheel"), std::vector<int>{-kNotch});
}

TEST_F(HookRules, SidewaysMethodsTurnATilt)
{
    LaunchWith("[class RollixTargetChild]\r\nSideways=hscroll\r\nLinesToScroll=2\r\n"
               "[class RollixTargetTop]\r\nSideways=shiftwheel\r\n");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kTiltRight);
    ASSERT_TRUE(RunXdotool(m_folder, MoveAndClick(TopOwnArea(m_target.m_top), kTiltRight)));
    // The lines go to the nearest window with a horizontal scroll bar: the child's top-level window.
    ASSERT_TRUE(m_target.WaitFor("top", "hscroll", 3));
    ASSERT_TRUE(m_target.WaitFor("top", "wheel", 1));
    Fence();
    EXPECT_EQ(Codes("top", "hscroll"), (std::vector<int>{kLineRight, kLineRight, kEndScroll}));
    EXPECT_TRUE(Of("child", "hwheel").empty());
    EXPECT_TRUE(Of("child", "hscroll").empty());
    const std::vector<LoggedMessage> shifted = Of("top", "wheel");
    ASSERT_EQ(shifted.size(), 1u);
    EXPECT_EQ(shifted[0].Delta(), -kNotch) << "a tilt right is Shift and the wheel rolled toward the user";
    EXPECT_NE(shifted[0].m_wParam & kMkShift, 0u);
    EXPECT_TRUE(Of("top", "hwheel").empty());
}

TEST_F(HookRules, LookalikeChainsGetWhatTheTableSays)
{
    LaunchWith("");
    m_hook.Start(0, 3, 0);
    const HWND excel = Named("excel7");
    Click(excel, kTiltRight);
    Click(excel, kWheelUp);
    Click(Named("xamlbridge"), kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("excel7", "hscroll", 4)); // three lines and the end
    ASSERT_TRUE(m_target.WaitFor("excel7", "wheel", 1));
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1)) << "the XAML look-alike's wheel is the system's to deliver";
    Fence();
    EXPECT_EQ(Codes("excel7", "hscroll"), (std::vector<int>{kLineRight, kLineRight, kLineRight, kEndScroll}));
    EXPECT_TRUE(Of("excel7", "hwheel").empty());
    EXPECT_TRUE(Of("xamlbridge", "wheel").empty());
    EXPECT_TRUE(Of("xamlhost", "wheel").empty());
}

TEST_F(HookRules, AnInjectedSidewaysWheelGoesWithoutTheShiftThatAskedForIt)
{
    LaunchWith("[router]\r\nShiftScrollsSideways=1\r\n[class RollixTargetChild]\r\nScroll=system\r\n");
    m_hook.Start(0, 3, 0);
    const POINT center = CenterOf(m_target.m_child);
    ASSERT_TRUE(RunXdotool(m_folder, "mousemove " + std::to_string(center.x) + " " + std::to_string(center.y) +
                                         " keydown shift click 5 keyup shift"));
    ASSERT_TRUE(m_target.WaitFor("focus", "hwheel", 1));
    const std::vector<LoggedMessage> sideways = Of("focus", "hwheel");
    EXPECT_EQ(sideways[0].Delta(), kNotch);
    EXPECT_EQ(sideways[0].m_wParam & kMkShift, 0u);
    EXPECT_TRUE(Of("child", "hwheel").empty());
}

TEST_F(HookRules, InspectorTellsWhatTheWindowThenReceives)
{
    LaunchWith("[class RollixTargetChild]\r\nSideways=shiftwheel\r\n");
    const RollixInspection excel = Inspect(Named("excel7"));
    EXPECT_STREQ(excel.m_className, "EXCEL7");
    ASSERT_EQ(excel.m_chainLength, 3);
    EXPECT_STREQ(excel.m_classChain[1], "XLDESK");
    EXPECT_STREQ(excel.m_classChain[2], "XLMAIN");
    EXPECT_STREQ(excel.m_program, "hook_target_window.exe");
    EXPECT_EQ(excel.m_elevated, 0);
    EXPECT_EQ(excel.m_ruleSource, kInspectBuiltInClass);
    EXPECT_STREQ(excel.m_rule, "built-in: Microsoft Excel");
    EXPECT_NE(std::strstr(excel.m_reason, "github.com/ykon/w10wheel.net/issues/2"), nullptr) << excel.m_reason;
    EXPECT_STREQ(excel.m_decision, "posted to EXCEL7 as WM_MOUSEWHEEL; sideways as WM_HSCROLL, built-in: Excel "
                                   "ignores WM_MOUSEHWHEEL; WM_HSCROLL scrolls the sheet");

    const RollixInspection xaml = Inspect(Named("xamlbridge"));
    EXPECT_STREQ(xaml.m_rule, "built-in: XAML islands");
    EXPECT_EQ(std::strncmp(xaml.m_decision, "left to Windows;", 16), 0) << xaml.m_decision;

    const RollixInspection child = Inspect(m_target.m_child);
    EXPECT_EQ(child.m_ruleSource, kInspectUserClass);
    EXPECT_STREQ(child.m_rule, "[class RollixTargetChild]");
    EXPECT_STREQ(child.m_decision, "posted to RollixTargetChild as WM_MOUSEWHEEL; sideways as WM_MOUSEWHEEL with "
                                   "MK_SHIFT, rule [class RollixTargetChild]");

    // What the inspector said is what arrives.
    m_hook.Start(0, 3, 0);
    Click(Named("excel7"), kTiltRight);
    Click(m_target.m_child, kTiltRight);
    ASSERT_TRUE(m_target.WaitFor("excel7", "hscroll", 1));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    EXPECT_NE(Of("child", "wheel")[0].m_wParam & kMkShift, 0u);
}

} // namespace
