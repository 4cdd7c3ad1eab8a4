// The built-in compatibility table: what the router does in applications whose windows need it, each entry with
// the evidence it rests on. User rules override it; the README's table is printed from it. Where the evidence
// leaves a case open the entry says so and leaves the wheel to the system, which loses nothing. An entry names a
// program only where the whole program should follow it: program entries come before class entries, so that an
// application refines its toolkit's entry.
#include "wheel_rules.h"

namespace {

constexpr RuleSettings With(ScrollMode scroll, SidewaysMethod sideways = SidewaysMethod::Inherit)
{
    RuleSettings settings;
    settings.m_scroll = scroll;
    settings.m_sideways = sideways;
    return settings;
}

constexpr RuleSettings kSystem = With(ScrollMode::System);
constexpr RuleSettings kRoute = With(ScrollMode::Route);
constexpr RuleSettings kOff = With(ScrollMode::Off);
constexpr RuleSettings kHScroll = With(ScrollMode::Route, SidewaysMethod::HScroll);
constexpr RuleSettings kHWheel = With(ScrollMode::Route, SidewaysMethod::HWheel);

// Smoothing off: for programs that smooth the wheel themselves, and for those that take every wheel message for a
// whole notch, where partial deltas would multiply a notch into many.
constexpr RuleSettings Whole(RuleSettings settings)
{
    settings.m_smoothScroll = RuleSwitch::Off;
    return settings;
}

constexpr RuleSettings kSystemOwnSmoothing = Whole(kSystem);   // the XAML family animates the wheel itself
constexpr RuleSettings kRouteOwnSmoothing = Whole(kRoute);     // Gecko animates the wheel itself
constexpr RuleSettings kHWheelOwnSmoothing = Whole(kHWheel);   // Chromium animates the wheel itself
constexpr RuleSettings kWholeNotches = Whole(RuleSettings());

constexpr const char kOpen[] = "evidence open: left to Windows, which loses nothing";

constexpr BuiltInRule kBuiltInRules[] = {
    // UWP, WinUI 3 and XAML islands
    {"UWP apps", "", "Windows.UI.Core.CoreWindow;ApplicationFrameWindow", kSystemOwnSmoothing,
     "CoreWindow takes the wheel only from the system's own pointer routing",
     "github.com/ttencate/taekwindow/issues/110"},
    {"WinUI 3 apps", "", "Microsoft.UI.Content.DesktopChildSiteBridge;WinUIDesktopWin32WindowClass", kSystemOwnSmoothing,
     "WinUI 3 scrolls only with the system's routing of the wheel",
     "github.com/microsoft/microsoft-ui-xaml/issues/8764"},
    {"XAML islands", "", "Windows.UI.Input.InputSite.WindowClass;Windows.UI.Composition.DesktopWindowContentBridge",
     kSystemOwnSmoothing, "islands host their content in a window that is never active",
     "github.com/microsoft/terminal/issues/979"},
    {"Windows Settings", "SystemSettings.exe", "", kSystemOwnSmoothing, "a UWP app",
     "github.com/ttencate/taekwindow/issues/110"},
    {"PowerToys", "PowerToys.exe;PowerToys.Settings.exe", "", kSystemOwnSmoothing,
     "its WinUI windows stop scrolling under a scroll-under-cursor hook",
     "github.com/microsoft/PowerToys/issues/13537"},
    {"Files", "Files.exe", "", kSystemOwnSmoothing, "WinUI: scrolls only with the system's routing",
     "github.com/files-community/Files/issues/13267"},
    {"Task Manager (Windows 11)", "Taskmgr.exe", "", kSystemOwnSmoothing, "WinUI in Windows 11; evidence open",
     "github.com/microsoft/microsoft-ui-xaml/issues/8764"},
    // Terminals
    {"Windows Terminal", "WindowsTerminal.exe", "CASCADIA_HOSTING_WINDOW_CLASS", kSystemOwnSmoothing,
     "its XAML settings stop scrolling under a scroll-under-cursor hook",
     "github.com/microsoft/terminal/issues/9340"},
    {"Console host", "", "ConsoleWindowClass", kRoute, "the classic console takes posted wheel messages",
     "github.com/microsoft/terminal/issues/9436"},
    // Office
    {"Microsoft Excel", "", "XLMAIN;XLDESK;EXCEL7", kHScroll,
     "Excel ignores WM_MOUSEHWHEEL; WM_HSCROLL scrolls the sheet", "github.com/ykon/w10wheel.net/issues/2"},
    {"Microsoft Word", "", "OpusApp;_WwG", kRoute,
     "the document window takes posted wheel messages; sideways as Windows sends it",
     "learn.microsoft.com/windows/win32/inputdev/wm-mousewheel"},
    {"Microsoft PowerPoint", "powerpnt.exe", "PPTFrameClass", kSystem, kOpen,
     "github.com/ykon/w10wheel.net/issues/2"},
    {"Microsoft Outlook", "outlook.exe", "rctrl_renwnd32", kSystem, kOpen,
     "github.com/ykon/w10wheel.net/issues/2"},
    {"Microsoft OneNote", "onenote.exe", "Framework::CFrame", kSystem, kOpen,
     "github.com/ykon/w10wheel.net/issues/2"},
    {"Office ribbon", "", "NetUIHWND", kSystem, "a posted wheel does not switch ribbon tabs",
     "github.com/stefansundin/altdrag/issues/27"},
    {"Windows ribbon (Paint, WordPad)", "", "UIRibbonCommandBarDock;UIRibbonWorkPane", kSystem,
     "a posted wheel does not switch ribbon tabs", "github.com/stefansundin/altdrag/issues/27"},
    // Browsers and Electron
    {"Google Chrome", "chrome.exe", "Chrome_RenderWidgetHostHWND", kHWheelOwnSmoothing,
     "Chromium takes WM_MOUSEHWHEEL", "github.com/ykon/w10wheel.net/issues/2"},
    {"Microsoft Edge", "msedge.exe", "", kHWheelOwnSmoothing, "Chromium takes WM_MOUSEHWHEEL",
     "github.com/ykon/w10wheel.net/issues/2"},
    {"Brave, Vivaldi, Opera", "brave.exe;vivaldi.exe;opera.exe", "", kHWheelOwnSmoothing, "Chromium takes WM_MOUSEHWHEEL",
     "github.com/ykon/w10wheel.net/issues/2"},
    {"Electron apps", "Slack.exe;Discord.exe;Teams.exe;Obsidian.exe;Notion.exe", "", kHWheelOwnSmoothing,
     "Chromium windows take WM_MOUSEHWHEEL", "github.com/ykon/w10wheel.net/issues/2"},
    {"Mozilla Firefox", "firefox.exe", "MozillaWindowClass", kRouteOwnSmoothing,
     "Gecko scrolls the frame under the pointer", "wiki.mozilla.org/Gecko:Mouse_Wheel_Scrolling"},
    {"Mozilla Thunderbird", "thunderbird.exe", "", kRouteOwnSmoothing, "Gecko scrolls the frame under the pointer",
     "wiki.mozilla.org/Gecko:Mouse_Wheel_Scrolling"},
    // Toolkits
    {"Java AWT and Swing", "java.exe;javaw.exe", "SunAwtFrame;SunAwtDialog;SunAwtCanvas", kRoute,
     "Java ignores WM_MOUSEHWHEEL and scrolls sideways on Shift+wheel; whether a posted MK_SHIFT reaches it is "
     "open, so a tilt stays WM_MOUSEHWHEEL",
     "github.com/freeplane/freeplane/issues/141"},
    {"Qt 5", "", "Qt5*", kHWheel, "Qt takes WM_MOUSEHWHEEL; its Shift+wheel does not scroll sideways",
     "github.com/keepassxreboot/keepassxc/issues/11337"},
    {"Qt 6", "", "Qt6*", kHWheel, "Qt takes WM_MOUSEHWHEEL; its Shift+wheel does not scroll sideways",
     "github.com/keepassxreboot/keepassxc/issues/11337"},
    {"WPF", "", "HwndWrapper[*", kRoute,
     "WPF takes posted WM_MOUSEWHEEL; sideways only where the program handles WM_MOUSEHWHEEL",
     "github.com/dotnet/wpf/issues/3201"},
    {"WinForms", "", "WindowsForms10.*", kRoute,
     "WinForms takes posted WM_MOUSEWHEEL; sideways as Windows sends it", "github.com/picoe/Eto/issues/1392"},
    {"Eclipse (SWT)", "eclipse.exe", "SWT_Window0", kHWheel, "SWT takes WM_MOUSEHWHEEL",
     "github.com/eclipse-platform/eclipse.platform.swt/issues/994"},
    // Explorer
    {"Explorer, classic views", "", "CabinetWClass;SHELLDLL_DefView;DirectUIHWND", kRoute,
     "the classic folder views take posted wheel messages",
     "learn.microsoft.com/windows/win32/inputdev/wm-mousewheel"},
    {"Explorer, XAML parts", "", "XamlExplorerHostIslandWindow", kSystemOwnSmoothing, "XAML islands in Explorer; evidence open", "github.com/microsoft/terminal/issues/979"},
    // Editors and IDEs
    {"Visual Studio Code", "Code.exe", "", kHWheelOwnSmoothing, "Electron takes WM_MOUSEHWHEEL",
     "github.com/ykon/w10wheel.net/issues/2"},
    {"Visual Studio", "devenv.exe", "", kHWheel, "its editor handles WM_MOUSEHWHEEL itself",
     "github.com/dotnet/wpf/issues/3201"},
    {"JetBrains IDEs", "idea64.exe;pycharm64.exe;clion64.exe;rider64.exe;webstorm64.exe;goland64.exe", "", kHWheel,
     "unlike plain Swing, the IDEs handle the horizontal wheel", "github.com/freeplane/freeplane/issues/141"},
    {"Notepad++", "notepad++.exe", "Scintilla", kHWheel, "Scintilla takes WM_MOUSEHWHEEL",
     "github.com/rizonesoft/Notepad3/pull/3988"},
    {"gVim", "gvim.exe", "Vim", kHScroll, "Vim ignores WM_MOUSEHWHEEL; WM_HSCROLL scrolls",
     "github.com/vim/vim/issues/7500"},
    {"Sublime Text", "sublime_text.exe", "PX_WINDOW_CLASS", kSystem, kOpen, "no public report found"},
    {"GNU Emacs", "emacs.exe;runemacs.exe", "Emacs", kSystem, kOpen, "no public report found"},
    // Programs that take each wheel message for a whole notch
    {"SumatraPDF", "SumatraPDF.exe", "SUMATRA_PDF_FRAME", kWholeNotches,
     "counted each WM_MOUSEWHEEL as a notch, so fine deltas scrolled 120 times too far; newer versions smooth "
     "themselves", "github.com/sumatrapdfreader/sumatrapdf/issues/3032"},
    {"ImageGlass", "ImageGlass.exe", "", kWholeNotches,
     "the wheel zooms a whole step a message: partial deltas would multiply the zoom",
     "github.com/d2phap/ImageGlass/issues/686"},
    // Remote desktops and virtual machines: they take the wheel for the other machine
    {"Remote Desktop", "mstsc.exe;msrdc.exe", "TscShellContainerClass", kOff,
     "the session takes the wheel for the remote machine", "github.com/gravitational/teleport/issues/46143"},
    {"Hyper-V console", "vmconnect.exe", "", kOff, "the console takes the wheel for the guest",
     "github.com/Seelge/TrackballScroll/issues/1"},
    {"VMware", "vmware.exe;vmplayer.exe", "", kOff, "the console takes the wheel for the guest",
     "github.com/Seelge/TrackballScroll/issues/1"},
    {"VirtualBox", "VirtualBoxVM.exe", "", kOff, "the console takes the wheel for the guest",
     "github.com/Seelge/TrackballScroll/issues/1"},
    {"Remote support tools", "TeamViewer.exe;AnyDesk.exe;rustdesk.exe", "", kOff,
     "the session takes the wheel for the remote machine", "github.com/gravitational/teleport/issues/46143"},
    // On-screen keyboards
    {"On-screen keyboard", "osk.exe", "OSKMainClass", kOff, "takes no wheel and must never be activated",
     "learn.microsoft.com/windows/win32/winauto/uiauto-securityoverview"},
    {"Touch keyboard", "TabTip.exe", "IPTip_Main_Window", kOff, "takes no wheel and must never be activated",
     "learn.microsoft.com/windows/win32/winauto/uiauto-securityoverview"},
};

} // namespace

int BuiltInRuleCount()
{
    return static_cast<int>(sizeof(kBuiltInRules) / sizeof(kBuiltInRules[0]));
}

const BuiltInRule& BuiltInRuleAt(int index)
{
    return kBuiltInRules[index < 0 || index >= BuiltInRuleCount() ? 0 : index];
}
