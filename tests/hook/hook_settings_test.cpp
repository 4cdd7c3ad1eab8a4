// The router's own settings in the [router] section of the rollix.ini beside a copy of the real RollixHook.dll,
// with real input: an excluded program, Shift for sideways and reverse per axis.
#include "hook_dll_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr int kWheelUp = 4;
constexpr int kWheelDown = 5;
constexpr int kTiltRight = 7;
constexpr int kNotch = 120;
constexpr int kFlagReverse = 2;
constexpr unsigned kMkShift = 0x0004;
constexpr char kExcludedProgram[] = "RollixExcludedTarget.exe";

class HookSettingsFile : public HookDll
{
  protected:
    // Copies the library into the work folder with these lines in its rollix.ini, loads that copy and starts the
    // target window's process, from a copy named kExcludedProgram when asked.
    void LaunchWith(const std::string& routerLines, bool underExcludedName = false)
    {
        ASSERT_TRUE(m_program.Create());
        const std::string library = m_folder.WindowsPath("RollixHook.dll");
        ASSERT_TRUE(CopyFileA(ROLLIX_HOOK_DLL, library.c_str(), FALSE));
        const std::string settings = "[config]\r\nFirstTime=0\r\n[router]\r\n" + routerLines;
        FILE* file = std::fopen(m_folder.WindowsPath("rollix.ini").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(settings.data(), 1, settings.size(), file);
        std::fclose(file);
        std::string exe = ROLLIX_TARGET_EXE;
        if (underExcludedName) {
            exe = m_folder.WindowsPath(kExcludedProgram);
            ASSERT_TRUE(CopyFileA(ROLLIX_TARGET_EXE, exe.c_str(), FALSE));
        }
        ASSERT_TRUE(m_target.Start("capture", exe)) << "the target window's process did not come up";
        ASSERT_TRUE(m_hook.Load(library));
    }

    void Keys(const std::string& arguments) { ASSERT_TRUE(RunXdotool(m_folder, arguments)) << "xdotool failed"; }
    std::string MoveOverChild() const
    {
        const POINT center = CenterOf(m_target.m_child);
        return "mousemove " + std::to_string(center.x) + " " + std::to_string(center.y);
    }
};

TEST_F(HookSettingsFile, AnExcludedProgramGetsTheWheelAsTheSystemDeliversIt)
{
    LaunchWith("ExcludedPrograms=notepad.exe; " + std::string("rollixexcludedTARGET.EXE") + "\r\n", true);
    m_hook.Start(1, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    // The capture has it: the system's own delivery, neither posted to the window under the pointer nor reversed.
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_TRUE(Of("child", "wheel").empty());
    EXPECT_TRUE(Of("top", "vscroll").empty());
}

TEST_F(HookSettingsFile, TheSameProgramUnderItsOwnNameIsRouted)
{
    LaunchWith("ExcludedPrograms=" + std::string(kExcludedProgram) + "\r\n");
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{-kNotch});
}

TEST_F(HookSettingsFile, ShiftTurnsTheWheelSidewaysForTheWindowUnderThePointer)
{
    LaunchWith("ShiftScrollsSideways=1\r\n");
    m_hook.Start(0, 3, 0);
    Keys(MoveOverChild() + " keydown shift click 5 click 4 keyup shift");
    ASSERT_TRUE(m_target.WaitFor("child", "hwheel", 2));
    Fence();
    const std::vector<LoggedMessage> sideways = Of("child", "hwheel");
    ASSERT_EQ(sideways.size(), 2u);
    EXPECT_EQ(sideways[0].Delta(), kNotch) << "rolled toward the user it scrolls right";
    EXPECT_EQ(sideways[1].Delta(), -kNotch);
    EXPECT_EQ(sideways[0].m_wParam & kMkShift, 0u) << "the Shift that turned it is not passed on";
    EXPECT_TRUE(Of("child", "wheel").empty());
}

TEST_F(HookSettingsFile, VerticalOnlyReverseLeavesTheHorizontalWheelAlone)
{
    LaunchWith("ReverseAxes=Vertical\r\n");
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    Click(m_target.m_child, kTiltRight);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_TRUE(m_target.WaitFor("child", "hwheel", 1));
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{-kNotch});
    EXPECT_EQ(Deltas("child", "hwheel"), std::vector<int>{kNotch});
}

TEST_F(HookSettingsFile, GarbageValuesGiveTheDefaults)
{
    LaunchWith("ShiftScrollsSideways=sometimes\r\nReverseAxes=diagonal\r\nExcludedPrograms=\r\n", true);
    m_hook.Start(0, 3, kFlagReverse);
    Keys(MoveOverChild() + " keydown shift click 4 keyup shift");
    Click(m_target.m_child, kTiltRight);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1)) << "an empty exclusion list excludes nothing";
    ASSERT_TRUE(m_target.WaitFor("child", "hwheel", 1));
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{-kNotch}) << "Shift stays a vertical wheel, reversed";
    EXPECT_EQ(Deltas("child", "hwheel"), std::vector<int>{-kNotch}) << "both wheels reversed";
}

} // namespace
