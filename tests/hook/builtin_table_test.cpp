// Every built-in entry's decision over a window tree shaped like its application's: the class chain from the
// window under the pointer to its top-level window, and the program that runs it.
#include "decision_text.h"
#include "rule_book.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

enum class Outcome
{
    HWheel,     // posted; a tilt as WM_MOUSEHWHEEL
    HScroll,    // posted; a tilt as WM_HSCROLL lines
    ShiftWheel, // posted; a tilt as WM_MOUSEWHEEL with MK_SHIFT
    System,     // both wheels left to the system's own delivery
    Alone,      // both left entirely alone
};

struct AppWindow
{
    const char* m_application; // the entry that must decide
    const char* m_program;
    const char* m_chain[5];    // nearest first, ending with the top-level window
    Outcome m_outcome;
};

// Class chains as the applications show them (Spy++-style window trees of their documented or observed windows).
const AppWindow kApps[] = {
    {"UWP apps", "ApplicationFrameHost.exe", {"Windows.UI.Core.CoreWindow", "ApplicationFrameWindow"}, Outcome::System},
    {"WinUI 3 apps", "WinUI3Gallery.exe", {"Microsoft.UI.Content.DesktopChildSiteBridge", "WinUIDesktopWin32WindowClass"}, Outcome::System},
    {"XAML islands", "HostApp.exe", {"Windows.UI.Input.InputSite.WindowClass", "Windows.UI.Composition.DesktopWindowContentBridge", "HostAppFrame"}, Outcome::System},
    {"Windows Settings", "C:\\Windows\\ImmersiveControlPanel\\SystemSettings.exe", {"Windows.UI.Core.CoreWindow", "ApplicationFrameWindow"}, Outcome::System},
    {"PowerToys", "PowerToys.Settings.exe", {"Microsoft.UI.Content.DesktopChildSiteBridge", "WinUIDesktopWin32WindowClass"}, Outcome::System},
    {"Files", "Files.exe", {"Microsoft.UI.Content.DesktopChildSiteBridge", "WinUIDesktopWin32WindowClass"}, Outcome::System},
    {"Task Manager (Windows 11)", "Taskmgr.exe", {"Microsoft.UI.Content.DesktopChildSiteBridge", "TaskManagerWindow"}, Outcome::System},
    {"Windows Terminal", "WindowsTerminal.exe", {"Windows.UI.Input.InputSite.WindowClass", "Windows.UI.Composition.DesktopWindowContentBridge", "CASCADIA_HOSTING_WINDOW_CLASS"}, Outcome::System},
    {"Console host", "conhost.exe", {"ConsoleWindowClass"}, Outcome::HWheel},
    {"Microsoft Excel", "C:\\Program Files\\Microsoft Office\\root\\Office16\\EXCEL.EXE", {"EXCEL7", "XLDESK", "XLMAIN"}, Outcome::HScroll},
    {"Microsoft Word", "WINWORD.EXE", {"_WwG", "_WwB", "_WwF", "OpusApp"}, Outcome::HWheel},
    {"Microsoft PowerPoint", "POWERPNT.EXE", {"paneClassDC", "mdiClass", "PPTFrameClass"}, Outcome::System},
    {"Microsoft Outlook", "OUTLOOK.EXE", {"SUPERGRID", "rctrl_renwnd32"}, Outcome::System},
    {"Microsoft OneNote", "ONENOTE.EXE", {"OneNote::DocumentCanvas", "Framework::CFrame"}, Outcome::System},
    {"Office ribbon", "WINWORD.EXE", {"NetUIHWND", "MsoCommandBar", "MsoCommandBarDock", "OpusApp"}, Outcome::System},
    {"Windows ribbon (Paint, WordPad)", "mspaint.exe", {"UIRibbonWorkPane", "UIRibbonCommandBarDock", "MSPaintApp"}, Outcome::System},
    {"Google Chrome", "chrome.exe", {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1"}, Outcome::HWheel},
    {"Microsoft Edge", "msedge.exe", {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1"}, Outcome::HWheel},
    {"Brave, Vivaldi, Opera", "vivaldi.exe", {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1"}, Outcome::HWheel},
    {"Electron apps", "Slack.exe", {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1"}, Outcome::HWheel},
    {"Mozilla Firefox", "firefox.exe", {"MozillaWindowClass", "MozillaWindowClass"}, Outcome::HWheel},
    {"Mozilla Thunderbird", "thunderbird.exe", {"MozillaWindowClass"}, Outcome::HWheel},
    {"Java AWT and Swing", "javaw.exe", {"SunAwtCanvas", "SunAwtFrame"}, Outcome::HWheel},
    {"Qt 5", "keepassxc.exe", {"Qt5152QWindowIcon"}, Outcome::HWheel},
    {"Qt 6", "qbittorrent.exe", {"Qt672QWindowIcon"}, Outcome::HWheel},
    {"WPF", "PowerShell_ISE.exe", {"HwndWrapper[PowerShell_ISE.exe;;1f2e]"}, Outcome::HWheel},
    {"WinForms", "KeePass.exe", {"WindowsForms10.SysListView32.app.0.2bf8098_r6_ad1", "WindowsForms10.Window.8.app.0.2bf8098_r6_ad1"}, Outcome::HWheel},
    {"Eclipse (SWT)", "eclipse.exe", {"SWT_Window0", "SWT_Window0"}, Outcome::HWheel},
    {"Explorer, classic views", "explorer.exe", {"DirectUIHWND", "SHELLDLL_DefView", "ShellTabWindowClass", "CabinetWClass"}, Outcome::HWheel},
    {"Explorer, XAML parts", "explorer.exe", {"XamlExplorerHostIslandWindow", "CabinetWClass"}, Outcome::System},
    {"Visual Studio Code", "Code.exe", {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1"}, Outcome::HWheel},
    {"Visual Studio", "devenv.exe", {"HwndWrapper[DefaultDomain;;9c1d]"}, Outcome::HWheel},
    {"JetBrains IDEs", "idea64.exe", {"SunAwtFrame"}, Outcome::HWheel},
    {"Notepad++", "notepad++.exe", {"Scintilla", "Notepad++"}, Outcome::HWheel},
    {"gVim", "gvim.exe", {"VimTextArea", "Vim"}, Outcome::HScroll},
    {"Sublime Text", "sublime_text.exe", {"PX_WINDOW_CLASS"}, Outcome::System},
    {"GNU Emacs", "runemacs.exe", {"Emacs"}, Outcome::System},
    {"Remote Desktop", "mstsc.exe", {"IHWindowClass", "OPContainerClass", "TscShellContainerClass"}, Outcome::Alone},
    {"Hyper-V console", "vmconnect.exe", {"VMConnectWindow"}, Outcome::Alone},
    {"VMware", "vmware.exe", {"VMware.GuestWindow", "VMUIFrame"}, Outcome::Alone},
    {"VirtualBox", "VirtualBoxVM.exe", {"Qt5152QWindowIcon"}, Outcome::Alone},
    {"Remote support tools", "TeamViewer.exe", {"TV_CClientWindowClass"}, Outcome::Alone},
    {"On-screen keyboard", "osk.exe", {"OSKMainClass"}, Outcome::Alone},
    {"Touch keyboard", "TabTip.exe", {"IPTip_Main_Window"}, Outcome::Alone},
    {"SumatraPDF", "C:\\Tools\\SumatraPDF.exe", {"SUMATRA_PDF_CANVAS", "SUMATRA_PDF_FRAME"}, Outcome::HWheel},
    {"ImageGlass", "ImageGlass.exe", {"WindowsForms10.Window.8.app.0.1ca0192_r8_ad1"}, Outcome::HWheel},
};

int ChainLength(const AppWindow& app)
{
    int count = 0;
    while (count < 5 && app.m_chain[count] != nullptr) {
        ++count;
    }
    return count;
}

WheelEvent Notch(WheelAxis axis, int delta)
{
    WheelEvent event;
    event.m_axis = axis;
    event.m_delta = delta;
    return event;
}

struct Verdict
{
    RuleResolution m_resolution;
    AppliedRule m_applied;
    TargetFacts m_target;
    WheelDecision m_vertical;
    WheelDecision m_horizontal;
};

// The router's steps over a window: its rules, then the decision for a notch of each wheel.
Verdict Decide(const RuleBook& book, const AppWindow& app, const HookSettings& global)
{
    Verdict verdict;
    const int count = ChainLength(app);
    verdict.m_resolution = book.Resolve(app.m_program, app.m_chain, count, false);
    verdict.m_applied = ApplyRule(global, verdict.m_resolution.m_settings);
    verdict.m_target.m_found = true;
    verdict.m_target.m_className = app.m_chain[0];
    verdict.m_target.m_topLevelClassName = app.m_chain[count - 1];
    verdict.m_target.m_hasVerticalScroller = true;
    verdict.m_target.m_hasHorizontalScroller = true;
    MarkTarget(verdict.m_applied, verdict.m_target);
    const ForegroundFacts foreground;
    verdict.m_vertical = DecideWheel(Notch(WheelAxis::Vertical, -kWheelDelta), verdict.m_target, foreground,
                                     verdict.m_applied.m_settings, SystemWheelRouting::Focus);
    verdict.m_horizontal = DecideWheel(Notch(WheelAxis::Horizontal, kWheelDelta), verdict.m_target, foreground,
                                       verdict.m_applied.m_settings, SystemWheelRouting::Focus);
    return verdict;
}

Outcome OutcomeOf(const Verdict& verdict)
{
    if (verdict.m_vertical.m_action == WheelAction::PassOn) {
        EXPECT_EQ(verdict.m_horizontal.m_action, WheelAction::PassOn);
        return verdict.m_vertical.m_passReason == PassReason::Excluded ? Outcome::Alone : Outcome::System;
    }
    EXPECT_EQ(verdict.m_vertical.m_action, WheelAction::PostWheel);
    EXPECT_EQ(PlanPostedWheel(verdict.m_vertical, verdict.m_applied.m_sideways, false).m_message,
              PostedMessage::MouseWheel);
    EXPECT_EQ(verdict.m_horizontal.m_action, WheelAction::PostWheel);
    const PostedWheel sideways = PlanPostedWheel(verdict.m_horizontal, verdict.m_applied.m_sideways, false);
    switch (sideways.m_message) {
    case PostedMessage::MouseHWheel:
        EXPECT_EQ(sideways.m_delta, kWheelDelta);
        return Outcome::HWheel;
    case PostedMessage::HScrollLines:
        return Outcome::HScroll;
    case PostedMessage::MouseWheel:
        EXPECT_TRUE(sideways.m_shift);
        EXPECT_EQ(sideways.m_delta, -kWheelDelta); // a tilt right is Shift and the wheel rolled toward the user
        return Outcome::ShiftWheel;
    }
    return Outcome::System;
}

TEST(BuiltInTableTest, EveryEntryDecidesItsApplicationsWindows)
{
    auto book = std::make_unique<RuleBook>();
    const HookSettings global = SettingsFromArguments(0, 3, 0);
    std::set<std::string> decided;
    for (const AppWindow& app : kApps) {
        SCOPED_TRACE(app.m_application);
        const Verdict verdict = Decide(*book, app, global);
        ASSERT_GE(verdict.m_resolution.m_builtIn, 0);
        EXPECT_STREQ(BuiltInRuleAt(verdict.m_resolution.m_builtIn).m_application, app.m_application);
        EXPECT_EQ(OutcomeOf(verdict), app.m_outcome);
        decided.insert(app.m_application);
    }
    // Each entry has a window tree above, and decides it.
    for (int i = 0; i < BuiltInRuleCount(); ++i) {
        EXPECT_EQ(decided.count(BuiltInRuleAt(i).m_application), 1u) << BuiltInRuleAt(i).m_application;
    }
    EXPECT_GE(BuiltInRuleCount(), 40);
}

TEST(BuiltInTableTest, EntriesCarryEvidenceAndNoNameTwice)
{
    std::set<std::string> names;
    for (int i = 0; i < BuiltInRuleCount(); ++i) {
        const BuiltInRule& entry = BuiltInRuleAt(i);
        SCOPED_TRACE(entry.m_application);
        EXPECT_STRNE(entry.m_reason, "");
        EXPECT_STRNE(entry.m_source, "");
        EXPECT_FALSE(IsEmptyRule(entry.m_settings));
        for (const char* list : {entry.m_programs, entry.m_classes}) {
            std::string name;
            for (const char* c = list;; ++c) {
                if (*c == ';' || *c == '\0') {
                    if (!name.empty()) {
                        std::string lower;
                        for (char ch : name) {
                            lower += static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
                        }
                        EXPECT_TRUE(names.insert(lower).second) << name << " is named twice";
                    }
                    name.clear();
                    if (*c == '\0') {
                        break;
                    }
                } else {
                    name += *c;
                }
            }
        }
    }
}

TEST(BuiltInTableTest, PointerRoutingLeavesOnlyTheWheelsTheProgramTakesAsTheyAre)
{
    // With "scroll inactive windows" on, the system brings plain wheels to the window under the pointer; a tilt
    // over Excel would still arrive as the WM_MOUSEHWHEEL it ignores.
    auto book = std::make_unique<RuleBook>();
    const HookSettings global = SettingsFromArguments(0, 3, 0);
    for (int app : {9, 16}) {
        Verdict verdict = Decide(*book, kApps[app], global);
        SCOPED_TRACE(kApps[app].m_application);
        const WheelDecision vertical = DecideWheel(Notch(WheelAxis::Vertical, -kWheelDelta), verdict.m_target,
                                                   ForegroundFacts(), verdict.m_applied.m_settings,
                                                   SystemWheelRouting::PointerPosition);
        const WheelDecision tilt = DecideWheel(Notch(WheelAxis::Horizontal, kWheelDelta), verdict.m_target,
                                               ForegroundFacts(), verdict.m_applied.m_settings,
                                               SystemWheelRouting::PointerPosition);
        EXPECT_EQ(vertical.m_action, WheelAction::PassOn);
        EXPECT_EQ(tilt.m_action, app == 9 ? WheelAction::PostWheel : WheelAction::PassOn);
    }
}

TEST(BuiltInTableTest, InspectorLineTellsDecisionAndReason)
{
    auto book = std::make_unique<RuleBook>();
    const HookSettings global = SettingsFromArguments(0, 3, 0);
    const struct
    {
        int m_app;
        bool m_shielded;
        const char* m_line;
    } cases[] = {
        {9, false,
         "posted to EXCEL7 as WM_MOUSEWHEEL; sideways as WM_HSCROLL, built-in: Excel ignores WM_MOUSEHWHEEL; "
         "WM_HSCROLL scrolls the sheet"},
        {34, false,
         "posted to VimTextArea as WM_MOUSEWHEEL; sideways as WM_HSCROLL, built-in: Vim ignores WM_MOUSEHWHEEL; "
         "WM_HSCROLL scrolls"},
        {2, false, "left to Windows; sideways left to Windows, built-in: islands host their content in a window that "
                   "is never active"},
        {16, true, "left to Windows: runs as administrator; run Rollix Portable as administrator to route it; "
                   "sideways left to Windows, built-in: Chromium takes WM_MOUSEHWHEEL"},
        {42, false, "left alone, built-in: takes no wheel and must never be activated"},
    };
    for (const auto& c : cases) {
        Verdict verdict = Decide(*book, kApps[c.m_app], global);
        if (c.m_shielded) {
            verdict.m_target.m_shielded = true;
            verdict.m_vertical = DecideWheel(Notch(WheelAxis::Vertical, -kWheelDelta), verdict.m_target,
                                             ForegroundFacts(), verdict.m_applied.m_settings,
                                             SystemWheelRouting::Focus);
            verdict.m_horizontal = DecideWheel(Notch(WheelAxis::Horizontal, kWheelDelta), verdict.m_target,
                                               ForegroundFacts(), verdict.m_applied.m_settings,
                                               SystemWheelRouting::Focus);
        }
        DecisionStory story;
        story.m_vertical = verdict.m_vertical;
        story.m_horizontal = verdict.m_horizontal;
        story.m_sideways = verdict.m_applied.m_sideways;
        story.m_scroll = verdict.m_applied.m_scroll;
        story.m_targetClass = verdict.m_target.m_className;
        const std::string because =
            std::string("built-in: ") + BuiltInRuleAt(verdict.m_resolution.m_builtIn).m_reason;
        story.m_because = because.c_str();
        char text[kStoryTextSize];
        TellDecision(story, text);
        EXPECT_STREQ(text, c.m_line);
    }
}

TEST(SidewaysDeliveryTest, ShiftThatTurnedTheWheelIsNeitherPostedNorInjected)
{
    WheelDecision sideways; // Shift turned a vertical notch sideways
    sideways.m_action = WheelAction::PostWheel;
    sideways.m_axis = WheelAxis::Horizontal;
    sideways.m_delta = kWheelDelta;
    sideways.m_sideways = true;
    EXPECT_FALSE(PlanPostedWheel(sideways, SidewaysMethod::HWheel, true).m_shift);
    const PostedWheel shiftWheel = PlanPostedWheel(sideways, SidewaysMethod::ShiftWheel, true);
    EXPECT_EQ(shiftWheel.m_message, PostedMessage::MouseWheel);
    EXPECT_TRUE(shiftWheel.m_shift);

    WheelDecision tilt = sideways; // a tilt with Shift held for the program's own use keeps it
    tilt.m_sideways = false;
    EXPECT_TRUE(PlanPostedWheel(tilt, SidewaysMethod::HWheel, true).m_shift);

    sideways.m_action = WheelAction::Reinject;
    const InjectedWheel lifted = PlanInjectedWheel(sideways, SidewaysMethod::HWheel, true);
    EXPECT_TRUE(lifted.m_releaseShift);
    EXPECT_EQ(lifted.m_axis, WheelAxis::Horizontal);
    EXPECT_TRUE(PlanInjectedWheel(sideways, SidewaysMethod::HScroll, true).m_releaseShift);
    const InjectedWheel asShift = PlanInjectedWheel(sideways, SidewaysMethod::ShiftWheel, true);
    EXPECT_EQ(asShift.m_axis, WheelAxis::Vertical);
    EXPECT_FALSE(asShift.m_releaseShift || asShift.m_pressShift); // the held Shift is the one it needs
    tilt.m_action = WheelAction::Reinject;
    EXPECT_TRUE(PlanInjectedWheel(tilt, SidewaysMethod::ShiftWheel, false).m_pressShift);
    EXPECT_FALSE(PlanInjectedWheel(tilt, SidewaysMethod::HWheel, true).m_releaseShift);
}

} // namespace
