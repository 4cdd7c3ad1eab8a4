// The real RollixHook.dll loaded by the real program in a process of its own: the settings file and the control
// codes decide what the hook does with real wheel events over the windows of a third process.
#include "e2e_harness.h"
#include "editor_ids.h"
#include "hook_test_driver.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

constexpr int kWheelUp = 4;
constexpr int kWheelDown = 5;
constexpr int kNotch = 120;
constexpr int kLineUp = 0;   // SB_LINEUP
constexpr int kLineDown = 1; // SB_LINEDOWN
constexpr int kEndScroll = 8;
constexpr DWORD kForegroundTimeoutMs = 15000;
constexpr char kQuietSettings[] = "[config]\r\nFirstTime=0\r\n";

class HookProgram : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_program.Ready()) << "could not copy the program into " << m_program.Path();
        // A copy left by another run would take our control codes, and its hook our wheel.
        ASSERT_TRUE(e2e::WaitUntilNoCopyRuns()) << "another copy of the program is still running";
    }

    void TearDown() override
    {
        // A fault in the hook callback would take the program down with it.
        if (m_started) {
            EXPECT_TRUE(m_run.IsRunning()) << "the program ended during the test: " << m_run.State();
        }
    }

    // Starts the program beside the real library with the given settings lines, waits until its message loop
    // runs (so the hook is installed), then brings up the target windows (from targetExe) with the focus and capture
    // elsewhere.
    void Launch(const std::string& settings, const std::string& targetExe = ROLLIX_TARGET_EXE)
    {
        ASSERT_TRUE(CopyFileA(ROLLIX_HOOK_DLL, m_program.File(e2e::kHookLibraryName).c_str(), FALSE))
            << "could not copy " << ROLLIX_HOOK_DLL;
        m_program.WriteSettings(std::string(kQuietSettings) + settings);
        ASSERT_TRUE(m_run.Start(m_program, ""));
        m_started = true;
        ASSERT_NE(m_run.WaitForMainWindow(), nullptr) << "no main window; the program is " << m_run.State();
        // The hook is enabled before the loop starts, and posted codes are handled only inside the loop.
        ASSERT_NO_FATAL_FAILURE(PostAndSettle({}));
        ASSERT_TRUE(m_target.Start("capture", targetExe)) << "the target window's process did not come up";
    }

    // Posts the codes and then code 5, and waits for the settings editor that code 5 launches: the program handles
    // its posted messages in order, so every code before it has been acted on.
    void PostAndSettle(std::initializer_list<WPARAM> codes)
    {
        const std::size_t before = m_program.EditorLaunches().size();
        for (WPARAM code : codes) {
            ASSERT_TRUE(m_run.PostControl(code)) << "could not post code " << code;
        }
        ASSERT_TRUE(m_run.PostControl(e2e::kOpenSettings));
        ASSERT_TRUE(e2e::WaitFor([&] { return m_program.EditorLaunches().size() > before; }))
            << "the program did not act on its control codes; it is " << m_run.State();
    }

    void Click(HWND over, int button)
    {
        ASSERT_TRUE(RunXdotool(m_folder, MoveAndClick(CenterOf(over), button))) << "xdotool failed";
    }

    void Fence() { ASSERT_TRUE(WheelFence(m_folder, m_target)) << "the fence wheel never reached the focus"; }

    e2e::ProgramFolder m_program;
    e2e::ProgramRun m_run;
    bool m_started = false;
    WorkFolder m_folder;
    TargetWindowProcess m_target{m_folder};
};

TEST_F(HookProgram, WheelGoesToTheWindowUnderThePointerNotTheFocusedOne)
{
    ASSERT_NO_FATAL_FAILURE(Launch(""));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_NO_FATAL_FAILURE(Fence());

    EXPECT_EQ(m_target.Deltas("child", "wheel"), std::vector<int>{kNotch});
    EXPECT_EQ(m_target.Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookProgram, ReverseScrollFromTheSettingsFileInvertsTheWheel)
{
    ASSERT_NO_FATAL_FAILURE(Launch("ReverseScroll=1\r\n"));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelDown));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 2));

    EXPECT_EQ(m_target.Deltas("child", "wheel"), (std::vector<int>{-kNotch, kNotch}));
}

TEST_F(HookProgram, ConvertToScrollSendsFiveLinesPerNotchThenEndScroll)
{
    ASSERT_NO_FATAL_FAILURE(Launch("ConvertToScroll=TRUE\r\nLinesToScroll=5\r\n"));
    // The child has no scroll bar; its top-level window has one.
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("top", "vscroll", 6));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelDown));
    ASSERT_TRUE(m_target.WaitFor("top", "vscroll", 12));
    ASSERT_NO_FATAL_FAILURE(Fence());

    EXPECT_EQ(m_target.Codes("top", "vscroll"),
              (std::vector<int>{kLineUp, kLineUp, kLineUp, kLineUp, kLineUp, kEndScroll, kLineDown, kLineDown,
                                kLineDown, kLineDown, kLineDown, kEndScroll}));
    EXPECT_TRUE(m_target.Of("child", "wheel").empty());
    EXPECT_EQ(m_target.Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookProgram, ActivateWindowsBringsTheTopLevelWindowToTheForeground)
{
    ASSERT_NO_FATAL_FAILURE(Launch("ActivateWindows=1\r\n"));
    ASSERT_NE(GetForegroundWindow(), m_target.m_top) << "the target's top-level window is in front already";
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));

    // The library asks the program with code 8; the program's own foreground routine does the switch.
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == m_target.m_top; }, kForegroundTimeoutMs))
        << "the foreground window is " << GetForegroundWindow() << ", not the target " << m_target.m_top;
    EXPECT_EQ(m_target.Deltas("child", "wheel"), std::vector<int>{kNotch});
}

TEST_F(HookProgram, CodeThreeHandsTheWheelBackToTheFocusAndCodeTwoTakesItAgain)
{
    ASSERT_NO_FATAL_FAILURE(Launch(""));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));

    ASSERT_NO_FATAL_FAILURE(PostAndSettle({e2e::kDisableHook}));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(m_target.Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_EQ(m_target.Of("child", "wheel").size(), 1u) << "the disabled hook still routed the wheel";

    ASSERT_NO_FATAL_FAILURE(PostAndSettle({e2e::kEnableHook}));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelDown));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 2));
    EXPECT_EQ(m_target.Deltas("child", "wheel"), (std::vector<int>{kNotch, -kNotch}));
}

TEST_F(HookProgram, CodeTwoTwiceInARowDeliversEachNotchOnceAndOneStopRemovesTheHook)
{
    ASSERT_NO_FATAL_FAILURE(Launch(""));
    ASSERT_NO_FATAL_FAILURE(PostAndSettle({e2e::kEnableHook, e2e::kEnableHook}));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_NO_FATAL_FAILURE(Fence());
    EXPECT_EQ(m_target.Deltas("child", "wheel"), std::vector<int>{kNotch});
    EXPECT_EQ(m_target.Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";

    // Three starts in all, one stop: a hook left from an earlier start would still route the wheel to the child.
    ASSERT_NO_FATAL_FAILURE(PostAndSettle({e2e::kDisableHook}));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 2));
    EXPECT_EQ(m_target.Deltas("focus", "wheel").back(), kNotch);
    EXPECT_EQ(m_target.Of("child", "wheel").size(), 1u);
}

// The settings editor that code 5 opens, once the real one stands in the program's folder; shown once it is filled.
HWND WaitForEditorDialog()
{
    HWND dialog = nullptr;
    e2e::WaitFor([&] {
        dialog = FindWindowA(ROLLIX_EDITOR_CLASS, nullptr);
        return dialog != nullptr && IsWindowVisible(dialog);
    });
    return dialog;
}

TEST_F(HookProgram, AProgramTakenOffTheExclusionsInTheEditorIsRoutedAgainWithoutARestart)
{
    const std::string excluded = m_folder.WindowsPath("RollixExcludedTarget.exe");
    ASSERT_TRUE(CopyFileA(ROLLIX_TARGET_EXE, excluded.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(
        Launch("ReverseScroll=1\r\n[router]\r\nExcludedPrograms=mstsc.exe;RollixExcludedTarget.exe\r\n", excluded));
    const DWORD programProcess = m_run.ProcessId();
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(m_target.Deltas("focus", "wheel"), std::vector<int>{kNotch}) << "the wheel as the system delivers it";
    EXPECT_TRUE(m_target.Of("child", "wheel").empty());

    // The user opens the settings from the running program and takes the target's name off the list.
    ASSERT_TRUE(CopyFileA(ROLLIX_EDITOR_EXE, m_program.File(e2e::kEditorName).c_str(), FALSE));
    ASSERT_TRUE(m_run.PostControl(e2e::kOpenSettings));
    const HWND editor = WaitForEditorDialog();
    ASSERT_NE(editor, nullptr) << "the program did not open the settings editor";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(editor, IDC_PROGRAMS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("mstsc.exe"),
                        SMTO_NORMAL, kForegroundTimeoutMs, &result);
    PostMessageA(GetDlgItem(editor, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(editor); })) << "the editor did not save and close";
    EXPECT_NE(m_program.ReadSettings().find("ExcludedPrograms=mstsc.exe\r\n"), std::string::npos)
        << m_program.ReadSettings();

    // The editor posted its hook restart before it ended; the program handles posted codes in order, so once the
    // editor this code 5 opens is up, the hook has been restarted with the new list.
    ASSERT_TRUE(m_run.PostControl(e2e::kOpenSettings));
    const HWND fence = WaitForEditorDialog();
    ASSERT_NE(fence, nullptr);
    PostMessageA(fence, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(fence); }));

    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_NO_FATAL_FAILURE(Fence());
    EXPECT_EQ(m_target.Deltas("child", "wheel"), std::vector<int>{-kNotch}) << "routed and reversed again";
    EXPECT_EQ(m_target.Of("focus", "wheel").size(), 2u) << "only the first notch and the fence may reach the focus";
    EXPECT_EQ(m_run.ProcessId(), programProcess);
    EXPECT_TRUE(m_run.IsRunning()) << "the program was not restarted for the change";
}

// A visible window of that caption, such as the editor's rules dialog and the dialog of one rule.
HWND WaitForWindowTitled(const char* title)
{
    HWND window = nullptr;
    e2e::WaitFor([&] {
        window = FindWindowA(nullptr, title);
        return window != nullptr && IsWindowVisible(window);
    });
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

TEST_F(HookProgram, ARuleAddedInTheEditorAppliesWithoutARestart)
{
    ASSERT_NO_FATAL_FAILURE(Launch("ReverseScroll=1\r\n"));
    const DWORD programProcess = m_run.ProcessId();
    ASSERT_TRUE(CopyFileA(ROLLIX_EDITOR_EXE, m_program.File(e2e::kEditorName).c_str(), FALSE));
    const std::string target = ROLLIX_TARGET_EXE;
    const std::string program = target.substr(target.find_last_of("\\/") + 1);

    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));

    // The user opens the settings from the running program, then the rules, and adds one by name that leaves the
    // target's program unreversed.
    ASSERT_TRUE(m_run.PostControl(e2e::kOpenSettings));
    const HWND editor = WaitForEditorDialog();
    ASSERT_NE(editor, nullptr) << "the program did not open the settings editor";
    PostMessageA(GetDlgItem(editor, IDC_RULES), BM_CLICK, 0, 0);
    const HWND rules = WaitForWindowTitled(ROLLIX_RULES_TITLE);
    ASSERT_NE(rules, nullptr);
    PostMessageA(GetDlgItem(rules, IDC_RULE_ADD), BM_CLICK, 0, 0);
    const HWND rule = WaitForWindowTitled(ROLLIX_RULE_TITLE);
    ASSERT_NE(rule, nullptr);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(rule, IDC_RULE_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(program.c_str()),
                        SMTO_NORMAL, kForegroundTimeoutMs, &result);
    SendMessageTimeoutA(GetDlgItem(rule, IDC_RULE_REVERSE), CB_SETCURSEL, 1, 0, SMTO_NORMAL, kForegroundTimeoutMs,
                        &result); // "No"
    SendMessageTimeoutA(rule, WM_COMMAND, MAKEWPARAM(IDC_RULE_REVERSE, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(GetDlgItem(rule, IDC_RULE_REVERSE)), SMTO_NORMAL, kForegroundTimeoutMs,
                        &result);
    for (const HWND dialog : {rule, rules}) {
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
    }
    PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(editor); }));
    EXPECT_NE(m_program.ReadSettings().find("[program " + program + "]\r\nReverseScroll=0\r\n"), std::string::npos)
        << m_program.ReadSettings();

    // The editor's hook restart is fenced by one more code 5, as in the test above.
    ASSERT_TRUE(m_run.PostControl(e2e::kOpenSettings));
    const HWND fence = WaitForEditorDialog();
    ASSERT_NE(fence, nullptr);
    PostMessageA(fence, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(fence); }));
    ASSERT_NO_FATAL_FAILURE(Click(m_target.m_child, kWheelUp));
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 2));
    EXPECT_EQ(m_target.Deltas("child", "wheel"), (std::vector<int>{-kNotch, kNotch})) << "reversed, then not";
    EXPECT_EQ(m_run.ProcessId(), programProcess);
    EXPECT_TRUE(m_run.IsRunning()) << "the program was not restarted for the rules";
}

} // namespace
