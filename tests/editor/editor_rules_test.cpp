// The rules in the real RollixConfig.exe under Wine: a rule added with the picker from another program's window,
// edited and removed from the keyboard, the file getting exactly those keys and the program a hook restart each
// time; and the inspector naming what the real library then does with the wheel there.
#include "editor_driver.h"
#include "hook_test_driver.h"

#include "editor_ids.h"
#include "wheel_rules.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr unsigned kRestartHook = 2;
constexpr char kPickedProgram[] = "PickedProgram.exe";
const char kIni[] = "[config]\r\nReverseScroll=1\r\nFirstTime=0\r\n";
// Choices of the rule dialog's lists: the level below first, then the key's words in order.
constexpr int kScrollSystem = 2;
constexpr int kSidewaysHScroll = 2;
constexpr int kSwitchOff = 1;
constexpr int kTiltRight = 7;

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// The README's picture of the rules dialog, the inspector showing; ROLLIX_SCREENSHOT_SUFFIX ("-150" from
// scripts/scaled-screenshots.sh) is added to its name. Taken when the pictures of two captures in a row agree, once
// the dialog has been painted.
bool SaveScreenshot(const WorkFolder& work, HWND window)
{
    char suffix[16] = "";
    GetEnvironmentVariableA("ROLLIX_SCREENSHOT_SUFFIX", suffix, sizeof(suffix));
    RECT area = {};
    GetWindowRect(window, &area);
    char crop[64];
    std::snprintf(crop, sizeof(crop), "%ldx%ld+%ld+%ld", area.right - area.left, area.bottom - area.top, area.left,
                  area.top);
    const std::string shot = "import -window root -crop " + std::string(crop) + " +repage ";
    const std::string output = std::string(ROLLIX_EDITOR_SCREENSHOTS) + "/editor-rules" + suffix + ".png";
    // RunXdotool's shell goes on to the captures once a harmless xdotool call has succeeded.
    return RunXdotool(work, "getmouselocation >/dev/null && mkdir -p " ROLLIX_EDITOR_SCREENSHOTS " && for i in 1 2 3 4 "
                            "5 6 7 8 9 10; do " +
                                shot + work.UnixPath("a.png") + " && sleep 0.3 && " + shot + work.UnixPath("b.png") +
                                " && cmp -s " + work.UnixPath("a.png") + " " + work.UnixPath("b.png") +
                                " && break; done && cp " + work.UnixPath("b.png") + " " + output);
}

class EditorRules : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const std::string picked = m_work.WindowsPath(kPickedProgram);
        ASSERT_TRUE(CopyFileA(ROLLIX_TARGET_EXE, picked.c_str(), FALSE));
        ASSERT_TRUE(m_target.Start("", picked)) << "the target window's process did not come up";
        m_childClass = ClassOf(m_target.m_child);
    }

    // Starts the editor on this rollix.ini, with the target's windows left of it, and opens the rules.
    void OpenRules(const std::string& ini)
    {
        m_folder.WriteIni(ini);
        m_process = std::make_unique<EditorProcess>(m_folder);
        ASSERT_TRUE(m_process->WaitForDialog());
        m_settings = m_process->Dialog();
        RECT dialog = {};
        GetWindowRect(m_settings, &dialog);
        ASSERT_GT(dialog.left, 100) << "no room left of the dialog";
        SetWindowPos(m_target.m_top, nullptr, 0, 0, dialog.left - 20, 250, SWP_NOZORDER | SWP_NOACTIVATE);
        Reopen();
    }

    void Reopen()
    {
        m_process->Within(m_settings);
        m_process->PostClick(IDC_RULES);
        m_rules = m_process->WaitForWindow(ROLLIX_RULES_TITLE);
        ASSERT_NE(m_rules, nullptr);
        m_process->Within(m_rules);
    }

    // Presses the mouse button on the rules dialog's picker and drags the crosshair onto `to`, releasing it there
    // or keeping it held.
    bool Drag(POINT to, bool release)
    {
        const POINT from = CenterOf(GetDlgItem(m_rules, IDC_RULES_PICKER));
        return RunXdotool(m_work, "mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) +
                                      " mousedown 1 mousemove " + std::to_string((from.x + to.x) / 2) + " " +
                                      std::to_string((from.y + to.y) / 2) + " mousemove " + std::to_string(to.x) + " " +
                                      std::to_string(to.y) + (release ? " mouseup 1" : ""));
    }

    // Presses OK in the rule dialog or the rules dialog and waits until it has closed.
    void Close(HWND dialog, int button = IDOK)
    {
        m_process->Within(dialog);
        m_process->PostClick(button);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }

    int RuleCount(int list = IDC_RULE_LIST) const
    {
        DWORD_PTR count = 0;
        SendMessageTimeoutA(GetDlgItem(m_rules, list), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count);
        return static_cast<int>(count);
    }

    WorkFolder m_work;
    TargetWindowProcess m_target{m_work};
    std::string m_childClass;
    EditorFolder m_folder;
    FakeProgram m_program;
    std::unique_ptr<EditorProcess> m_process;

    HWND m_settings = nullptr;
    HWND m_rules = nullptr;
};

TEST_F(EditorRules, APickedRuleIsAddedEditedAndRemovedWritingOnlyItsKeysAndRestartingTheHookEachTime)
{
    ASSERT_NO_FATAL_FAILURE(OpenRules(kIni));
    ASSERT_TRUE(Drag(CenterOf(m_target.m_child), true));
    const HWND rule = m_process->WaitForWindow(ROLLIX_RULE_TITLE);
    ASSERT_NE(rule, nullptr) << "releasing over a window offers a rule for it";
    m_process->Within(rule);
    EXPECT_TRUE(m_process->Checked(IDC_RULE_PROGRAM));
    EXPECT_EQ(m_process->Text(IDC_RULE_NAME), kPickedProgram) << "the program of the child's top-level window";
    m_process->Click(IDC_RULE_CLASS);
    EXPECT_EQ(m_process->Text(IDC_RULE_NAME), m_childClass) << "or the class of the window under the pointer";
    EXPECT_FALSE(IsWindowEnabled(m_process->Control(IDOK))) << "a rule that sets nothing is not offered";
    m_process->Choose(IDC_RULE_SCROLL, kScrollSystem);
    m_process->Choose(IDC_RULE_SIDEWAYS, kSidewaysHScroll);
    ASSERT_NO_FATAL_FAILURE(Close(rule));
    EXPECT_EQ(RuleCount(), 1);
    EXPECT_EQ(m_folder.ReadIni(), kIni) << "nothing is written before the rules' OK";
    ASSERT_NO_FATAL_FAILURE(Close(m_rules));
    const std::string section = "[class " + m_childClass + "]";
    EXPECT_THAT(LineChanges(kIni, m_folder.ReadIni()),
                ElementsAre("+Scroll=system", "+Sideways=hscroll", "+" + section));
    EXPECT_TRUE(WaitFor([&] { return m_program.Codes() == std::vector<unsigned>{kRestartHook}; }));

    // Edited from the keyboard: the rule comes selected, Alt+E opens it.
    const std::string added = m_folder.ReadIni();
    ASSERT_NO_FATAL_FAILURE(Reopen());
    m_process->PressAltKey('e');
    const HWND edit = m_process->WaitForWindow(ROLLIX_RULE_TITLE);
    ASSERT_NE(edit, nullptr);
    m_process->Within(edit);
    EXPECT_TRUE(m_process->Checked(IDC_RULE_CLASS));
    EXPECT_EQ(m_process->Selection(IDC_RULE_SCROLL), kScrollSystem);
    m_process->Choose(IDC_RULE_SIDEWAYS, 0);
    m_process->Choose(IDC_RULE_REVERSE, kSwitchOff);
    m_process->Choose(IDC_RULE_SMOOTH, kSwitchOff);
    m_process->Type(IDC_RULE_LINES, "5");
    ASSERT_NO_FATAL_FAILURE(Close(edit));
    ASSERT_NO_FATAL_FAILURE(Close(m_rules));
    EXPECT_THAT(LineChanges(added, m_folder.ReadIni()),
                ElementsAre("+LinesToScroll=5", "+ReverseScroll=0", "+SmoothScroll=0", "-Sideways=hscroll"));
    EXPECT_TRUE(WaitFor([&] { return m_program.Codes().size() == 2; }));

    // Removed with Alt+V, and a rules dialog left with Cancel writes nothing.
    ASSERT_NO_FATAL_FAILURE(Reopen());
    m_process->PressAltKey('v');
    EXPECT_TRUE(WaitFor([&] { return RuleCount() == 0; }));
    ASSERT_NO_FATAL_FAILURE(Close(m_rules));
    EXPECT_EQ(m_folder.ReadIni().find(section), std::string::npos) << m_folder.ReadIni();
    EXPECT_THAT(LineChanges(kIni, m_folder.ReadIni()), ElementsAre());
    ASSERT_NO_FATAL_FAILURE(Reopen());
    ASSERT_NO_FATAL_FAILURE(Close(m_rules, IDCANCEL));
    m_process->Within(m_settings);
    m_process->PostClick(IDCANCEL);
    ASSERT_TRUE(m_process->WaitForExit());
    EXPECT_THAT(m_program.Codes(), ElementsAre(kRestartHook, kRestartHook, kRestartHook));
}

TEST_F(EditorRules, TheInspectorNamesTheChainProgramRuleAndDecisionThatTheWindowThenGets)
{
    // The library the editor inspects with is the one that routes: a copy beside the editor and its rollix.ini.
    const std::string library = m_folder.FilePath("RollixHook.dll");
    ASSERT_TRUE(CopyFileA(ROLLIX_HOOK_DLL, library.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(OpenRules(std::string(kIni) + "[class " + m_childClass + "]\r\nSideways=hscroll\r\n"));
    // The built-in table comes from that library too, whole.
    EXPECT_EQ(BuiltInRuleCount(), RuleCount(IDC_BUILTIN_LIST));
    HookLibrary hook;
    ASSERT_TRUE(hook.Load(library));
    hook.Start(0, 3, 0);

    // Held over the child: the inspector shows it while the button is down.
    ASSERT_TRUE(Drag(CenterOf(m_target.m_child), false));
    EXPECT_TRUE(WaitFor([&] { return m_process->Text(IDC_INSPECTION).find(m_childClass) != std::string::npos; }));
    const std::string shown = m_process->Text(IDC_INSPECTION);
    EXPECT_TRUE(SaveScreenshot(m_work, m_rules));
    // Released over the picker itself, a window of the editor's own: no rule is offered.
    const POINT picker = CenterOf(GetDlgItem(m_rules, IDC_RULES_PICKER));
    ASSERT_TRUE(
        RunXdotool(m_work, "mousemove " + std::to_string(picker.x) + " " + std::to_string(picker.y) + " mouseup 1"));
    EXPECT_THAT(shown, HasSubstr("Window class: " + m_childClass));
    EXPECT_THAT(shown, HasSubstr(m_childClass + " < " + ClassOf(m_target.m_top)));
    EXPECT_THAT(shown, HasSubstr(kPickedProgram));
    EXPECT_THAT(shown, HasSubstr("Rule: yours, [class " + m_childClass + "]"));
    EXPECT_THAT(shown, HasSubstr("WM_HSCROLL"));

    // And what it said is what a tilt over the child gives.
    ASSERT_TRUE(RunXdotool(m_work, MoveAndClick(CenterOf(m_target.m_child), kTiltRight)));
    // Scroll-bar lines go to the nearest window with a scroll bar: the child's top-level window.
    EXPECT_TRUE(m_target.WaitFor("top", "hscroll", 1));
    EXPECT_EQ(m_target.Count("child", "hwheel") + m_target.Count("top", "hwheel"), 0u);
    hook.Stop();
}

} // namespace
