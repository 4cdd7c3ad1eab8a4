// What the hook does with a wheel event, decided from the facts the Win32 side gathers.
#include "wheel_routing.h"

#include <gtest/gtest.h>

namespace {

constexpr int kNotch = kWheelDelta;
constexpr std::uint32_t kOverlappedWindow = 0x00CF0000 | WindowStyle::kVisible; // WS_OVERLAPPEDWINDOW
constexpr std::uint32_t kPopup = 0x80000000 | WindowStyle::kVisible;            // WS_POPUP

HookSettings Plain()
{
    return SettingsFromArguments(0, 3, 0);
}

HookSettings With(bool convert, bool activate, bool reverse)
{
    return SettingsFromArguments(convert ? 1 : 0, 3, (activate ? 1 : 0) | (reverse ? 2 : 0));
}

WheelEvent Wheel(int delta, WheelAxis axis = WheelAxis::Vertical)
{
    WheelEvent event;
    event.m_axis = axis;
    event.m_delta = delta;
    return event;
}

WheelEvent WithKeys(WheelEvent event, bool shift, bool control)
{
    event.m_shift = shift;
    event.m_control = control;
    return event;
}

// An ordinary edit control in a background window, the program running.
TargetFacts BackgroundEdit()
{
    TargetFacts target;
    target.m_found = true;
    target.m_className = "Edit";
    target.m_topLevelClassName = "Notepad";
    target.m_rootOwner.m_present = true;
    target.m_rootOwner.m_window = {"Notepad", kOverlappedWindow, 0};
    target.m_programWindowKnown = true;
    target.m_hasVerticalScroller = true;
    target.m_hasHorizontalScroller = true;
    return target;
}

ForegroundFacts Foreground(const char* className, std::uint32_t style, ScreenRect window, ScreenRect monitor,
                           bool ownProcess = false)
{
    ForegroundFacts foreground;
    foreground.m_present = true;
    foreground.m_window = {className, style, 0};
    foreground.m_windowRect = window;
    foreground.m_monitorRect = monitor;
    foreground.m_ownProcess = ownProcess;
    return foreground;
}

const ScreenRect kMonitor = ScreenRect{0, 0, 1920, 1080};

// A normal window of another program in the foreground.
ForegroundFacts OrdinaryForeground()
{
    return Foreground("CabinetWClass", kOverlappedWindow, ScreenRect{100, 100, 900, 700}, kMonitor);
}

ForegroundFacts FullScreenGame()
{
    return Foreground("UnityWndClass", kPopup, kMonitor, kMonitor);
}

struct RoutingCase
{
    const char* m_name;
    WheelEvent m_event;
    TargetFacts m_target;
    ForegroundFacts m_foreground;
    HookSettings m_settings;
    WheelAction m_action;
    int m_delta;
    bool m_activation;
    SystemWheelRouting m_routing = SystemWheelRouting::Focus;
};

void PrintTo(const RoutingCase& c, std::ostream* os)
{
    *os << c.m_name;
}

TargetFacts Modify(TargetFacts target, void (*change)(TargetFacts&))
{
    change(target);
    return target;
}

WheelEvent OwnInjection(int delta)
{
    WheelEvent event = Wheel(delta);
    event.m_extraInfo = kRollixInjectedMarker;
    return event;
}

WheelEvent ForeignInjection(int delta)
{
    WheelEvent event = Wheel(delta);
    event.m_extraInfo = 0x12345678;
    return event;
}

// Injected by a remote-control host, a mouse-sharing client or another wheel tool.
WheelEvent Injected(int delta)
{
    WheelEvent event = ForeignInjection(delta);
    event.m_injected = true;
    return event;
}

WheelEvent At(WheelEvent event, int x, int y)
{
    event.m_x = x;
    event.m_y = y;
    return event;
}

ForegroundFacts ElevatedForeground()
{
    ForegroundFacts foreground = OrdinaryForeground();
    foreground.m_aboveOurIntegrity = true;
    return foreground;
}

TargetFacts Elevated(TargetFacts target)
{
    target.m_aboveOurIntegrity = true;
    return target;
}

TargetFacts CoreWindow()
{
    return Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_className = "Windows.UI.Core.CoreWindow"; });
}

// A WinUI island: the framework's window sits between the control and the top-level window.
const char* const kIslandChain[] = {"IslandContent", "Microsoft.UI.Content.DesktopChildSiteBridge", "MainWindow"};

TargetFacts WithChain(const char* const* chain, int count)
{
    TargetFacts target = BackgroundEdit();
    target.m_className = chain[0];
    target.m_topLevelClassName = chain[count - 1];
    target.m_classChain = chain;
    target.m_classChainCount = count;
    return target;
}

const RoutingCase kRoutingCases[] = {
    {"BackgroundWindowUnderPointerGetsTheWheel", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(), Plain(),
     WheelAction::PostWheel, kNotch, false},
    {"HorizontalWheelIsPostedLikeTheVertical", Wheel(-kNotch, WheelAxis::Horizontal), BackgroundEdit(),
     OrdinaryForeground(), Plain(), WheelAction::PostWheel, -kNotch, false},
    {"ReverseScrollInvertsThePostedDelta", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(false, false, true), WheelAction::PostWheel, -kNotch, false},
    {"ReverseScrollInvertsPartialDeltas", Wheel(-7), BackgroundEdit(), OrdinaryForeground(), With(false, false, true),
     WheelAction::PostWheel, 7, false},
    {"ReverseOfTheMostNegativeDeltaStaysInRange", Wheel(-32768), BackgroundEdit(), OrdinaryForeground(),
     With(false, false, true), WheelAction::PostWheel, 32767, false},
    {"ConvertToScrollPostsLinesToAWindowWithAScrollBar", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(true, false, false), WheelAction::PostScrollLines, kNotch, false},
    {"ConvertToScrollKeepsReverseScroll", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(true, false, true), WheelAction::PostScrollLines, -kNotch, false},
    {"ConvertToScrollWithoutAnyScrollBarPostsTheWheel", Wheel(kNotch),
     Modify(BackgroundEdit(),
            [](TargetFacts& t) {
                t.m_hasVerticalScroller = false;
                t.m_hasHorizontalScroller = false;
            }),
     OrdinaryForeground(), With(true, false, false), WheelAction::PostWheel, kNotch, false},
    {"ControlWheelStaysAWheelForZoomingWhenConverting", WithKeys(Wheel(kNotch), false, true), BackgroundEdit(),
     OrdinaryForeground(), With(true, false, false), WheelAction::PostWheel, kNotch, false},
    {"ShiftWheelStaysAWheelWhenConverting", WithKeys(Wheel(-kNotch), true, false), BackgroundEdit(),
     OrdinaryForeground(), With(true, false, true), WheelAction::PostWheel, kNotch, false},
    {"OwnInjectionPassesUntouched", OwnInjection(-kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(true, true, true), WheelAction::PassOn, -kNotch, false},
    {"AnotherProgramsInjectionIsRoutedLikeAnyWheel", ForeignInjection(kNotch), BackgroundEdit(), OrdinaryForeground(),
     Plain(), WheelAction::PostWheel, kNotch, false},
    {"FullScreenProgramKeepsItsWheel", Wheel(kNotch), BackgroundEdit(), FullScreenGame(), With(true, true, false),
     WheelAction::PassOn, kNotch, false},
    {"FullScreenProgramStillGetsTheWheelReversed", Wheel(kNotch), BackgroundEdit(), FullScreenGame(),
     With(true, true, true), WheelAction::Reinject, -kNotch, false},
    {"ZeroDeltaPasses", Wheel(0), BackgroundEdit(), OrdinaryForeground(), With(false, true, true), WheelAction::PassOn,
     0, false},
    {"ShieldedWindowGetsTheEventUnchangedEvenReversed", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_shielded = true; }), OrdinaryForeground(),
     With(false, true, true), WheelAction::PassOn, kNotch, false},
    {"HungWindowGetsTheEventFromTheSystemNotAPost", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_hung = true; }), OrdinaryForeground(), With(true, true, false),
     WheelAction::PassOn, kNotch, false},
    {"CoreWindowIsLeftToTheSystem", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_className = "Windows.UI.Core.CoreWindow"; }),
     OrdinaryForeground(), With(true, false, false), WheelAction::PassOn, kNotch, false},
    {"AppFrameChildIsLeftToTheSystem", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelClassName = "ApplicationFrameWindow"; }),
     OrdinaryForeground(), Plain(), WheelAction::PassOn, kNotch, false},
    {"DesktopAppFrameworkBridgeIsLeftToTheSystem", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_className = "Microsoft.UI.Content.DesktopChildSiteBridge"; }),
     OrdinaryForeground(), Plain(), WheelAction::PassOn, kNotch, false},
    {"FrameworkClassesMatchWhateverTheirCase", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelClassName = "applicationFRAMEwindow"; }),
     OrdinaryForeground(), Plain(), WheelAction::PassOn, kNotch, false},
    {"SystemRoutedWindowGetsItReinjectedInvertedWhenReversed", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_className = "Windows.UI.Core.CoreWindow"; }),
     OrdinaryForeground(), With(false, false, true), WheelAction::Reinject, -kNotch, false},
    {"NoWindowUnderThePointerPasses", Wheel(kNotch), TargetFacts(), OrdinaryForeground(), Plain(), WheelAction::PassOn,
     kNotch, false},
    {"NoWindowUnderThePointerStillReversesForTheFocusedWindow", Wheel(kNotch), TargetFacts(), OrdinaryForeground(),
     With(false, true, true), WheelAction::Reinject, -kNotch, false},
    {"ActivateWindowsAsksForTheBackgroundTopLevel", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, true},
    {"ActivateWindowsLeavesTheForegroundAlone", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_rootOwner.m_isForeground = true; }), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"ActivateWindowsNeedsTheProgramsWindow", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_programWindowKnown = false; }), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"ActivateWindowsNeverActivatesTheTaskbar", Wheel(kNotch),
     Modify(BackgroundEdit(),
            [](TargetFacts& t) {
                t.m_topLevelClassName = "Shell_TrayWnd";
                t.m_rootOwner.m_window.m_className = "Shell_TrayWnd";
            }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"ActivateWindowsAlsoForConvertedScrolling", Wheel(-kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(true, true, false), WheelAction::PostScrollLines, -kNotch, true},
    {"ActivateWindowsAlsoForSystemRoutedWindows", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelClassName = "ApplicationFrameWindow"; }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PassOn, kNotch, true},
    // Popups: an open menu or drop-down would close if its owner lost the foreground.
    {"ScrollingAnOpenMenuAsksForNoActivation", Wheel(kNotch),
     Modify(BackgroundEdit(),
            [](TargetFacts& t) {
                t.m_className = "#32768";
                t.m_topLevelClassName = "#32768";
                t.m_rootOwner.m_window = {"#32768", kPopup, 0};
            }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PassOn, kNotch, false},
    {"ScrollingAnOpenDropDownListPostsButAsksForNoActivation", Wheel(kNotch),
     Modify(BackgroundEdit(),
            [](TargetFacts& t) {
                t.m_className = "ComboLBox";
                t.m_topLevelClassName = "ComboLBox";
            }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"PopupOwnedByTheForegroundAsksForNothing", Wheel(kNotch),
     Modify(BackgroundEdit(),
            [](TargetFacts& t) {
                t.m_topLevelClassName = "#32770";
                t.m_rootOwner.m_isForeground = true;
            }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"OwnedDialogOfABackgroundWindowActivatesItsOwner", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelClassName = "#32770"; }), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, true},
    {"ToolWindowIsNeverActivated", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_rootOwner.m_window.m_exStyle = WindowExStyle::kToolWindow; }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"HiddenOwnerIsNeverActivated", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_rootOwner.m_window.m_style = 0x00CF0000; }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"NoOwnerToActivateAsksForNothing", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_rootOwner.m_present = false; }), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, false},
    // Windows 10 and later may route the wheel to the pointer themselves.
    {"SystemRoutingToThePointerKeepsAPlainEvent", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(), Plain(),
     WheelAction::PassOn, kNotch, false, SystemWheelRouting::PointerPosition},
    {"SystemRoutingToThePointerStillReverses", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(false, false, true), WheelAction::Reinject, -kNotch, false, SystemWheelRouting::PointerPosition},
    {"SystemRoutingToThePointerStillConverts", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(true, false, false), WheelAction::PostScrollLines, kNotch, false, SystemWheelRouting::PointerPosition},
    {"SystemRoutingToThePointerStillActivates", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(false, true, false), WheelAction::PassOn, kNotch, true, SystemWheelRouting::PointerPosition},
    {"SystemRoutingToThePointerKeepsAModifiedWheelWhenConverting", WithKeys(Wheel(kNotch), false, true),
     BackgroundEdit(), OrdinaryForeground(), With(true, false, false), WheelAction::PassOn, kNotch, false,
     SystemWheelRouting::PointerPosition},
    {"HybridRoutingLeavesDesktopProgramsToTheRouter", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(), Plain(),
     WheelAction::PostWheel, kNotch, false, SystemWheelRouting::Hybrid},
    // A modal dialog is open: its program's disabled window is left to the system, which gives the wheel to the
    // dialog, and is not brought forward.
    {"ModalDialogsOwnerIsLeftToTheSystem", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelDisabled = true; }), OrdinaryForeground(),
     With(true, true, false), WheelAction::PassOn, kNotch, false},
    {"ModalDialogsOwnerStillReversedButNotActivated", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelDisabled = true; }), OrdinaryForeground(),
     With(false, true, true), WheelAction::Reinject, -kNotch, false},
    // A process of higher integrity: posts and injections are both dropped there, whatever the routing.
    {"HigherIntegrityTargetGetsTheEventUntouched", Wheel(kNotch), Elevated(BackgroundEdit()), OrdinaryForeground(),
     With(true, true, true), WheelAction::PassOn, kNotch, false},
    {"HigherIntegrityTargetUnreversedInFullScreen", Wheel(kNotch), Elevated(BackgroundEdit()), FullScreenGame(),
     With(false, false, true), WheelAction::PassOn, kNotch, false},
    {"HigherIntegrityFocusTakesNoInjection", Wheel(kNotch), CoreWindow(), ElevatedForeground(),
     With(false, false, true), WheelAction::PassOn, kNotch, false},
    {"HigherIntegrityFocusIsNoConcernOfPointerRouting", Wheel(kNotch), CoreWindow(), ElevatedForeground(),
     With(false, false, true), WheelAction::Reinject, -kNotch, false, SystemWheelRouting::PointerPosition},
    {"HigherIntegrityFocusIsNoConcernOfAPost", Wheel(kNotch), BackgroundEdit(), ElevatedForeground(),
     With(false, false, true), WheelAction::PostWheel, -kNotch, false},
    // Another tool's injection may be posted, never answered with an injection of our own.
    {"InjectedEventIsPostedReversed", Injected(kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(false, false, true), WheelAction::PostWheel, -kNotch, false},
    {"InjectedEventOverAFrameworkWindowPassesUnreversedButActivates", Injected(kNotch), CoreWindow(),
     OrdinaryForeground(), With(false, true, true), WheelAction::PassOn, kNotch, true},
    {"InjectedEventInFullScreenPassesUnreversed", Injected(kNotch), BackgroundEdit(), FullScreenGame(),
     With(false, false, true), WheelAction::PassOn, kNotch, false},
    // Full screen on the first monitor, the pointer on the second.
    {"FullScreenOnAnotherMonitorLeavesTheRoutingOn", At(Wheel(kNotch), 2500, 500), BackgroundEdit(),
     FullScreenGame(), With(false, false, true), WheelAction::PostWheel, -kNotch, false},
    {"FullScreenOnThePointersMonitorKeepsItsWheel", At(Wheel(kNotch), 1919, 1079), BackgroundEdit(),
     FullScreenGame(), Plain(), WheelAction::PassOn, kNotch, false},
    // The XAML and WinUI family anywhere between the window and its top-level window.
    {"FrameworkWindowInTheMiddleOfTheChainIsLeftToTheSystem", Wheel(kNotch), WithChain(kIslandChain, 3),
     OrdinaryForeground(), Plain(), WheelAction::PassOn, kNotch, false},
};

class WheelRouting : public testing::TestWithParam<RoutingCase>
{
};

TEST_P(WheelRouting, Decides)
{
    const RoutingCase& c = GetParam();
    const WheelDecision decision = DecideWheel(c.m_event, c.m_target, c.m_foreground, c.m_settings, c.m_routing);
    EXPECT_EQ(decision.m_action, c.m_action);
    EXPECT_EQ(decision.m_delta, c.m_delta);
    EXPECT_EQ(decision.m_requestActivation, c.m_activation);
}

INSTANTIATE_TEST_SUITE_P(Cases, WheelRouting, testing::ValuesIn(kRoutingCases),
                         [](const testing::TestParamInfo<RoutingCase>& info) { return info.param.m_name; });

TEST_P(WheelRouting, DeliversOnTheWheelItCameOn)
{
    const RoutingCase& c = GetParam();
    EXPECT_EQ(DecideWheel(c.m_event, c.m_target, c.m_foreground, c.m_settings, c.m_routing).m_axis, c.m_event.m_axis);
}

// The router's own settings: exclusions, Shift for sideways and reverse per axis.
HookSettings Sideways(bool convert = false)
{
    HookSettings settings = SettingsFromArguments(convert ? 1 : 0, 3, 0);
    settings.m_shiftScrollsSideways = true;
    return settings;
}

HookSettings ReverseOnly(ReverseAxes axes, bool convert = false)
{
    HookSettings settings = SettingsFromArguments(convert ? 1 : 0, 3, 2);
    settings.m_reverseAxes = axes;
    return settings;
}

HookSettings Everything()
{
    HookSettings settings = With(true, true, true);
    settings.m_shiftScrollsSideways = true;
    return settings;
}

TargetFacts Excluded()
{
    TargetFacts target = BackgroundEdit();
    target.m_excluded = true;
    return target;
}

struct SettingsCase
{
    const char* m_name;
    WheelEvent m_event;
    TargetFacts m_target;
    ForegroundFacts m_foreground;
    HookSettings m_settings;
    WheelAction m_action;
    WheelAxis m_axis;
    int m_delta;
    bool m_activation;
    SystemWheelRouting m_routing = SystemWheelRouting::Focus;
};

void PrintTo(const SettingsCase& c, std::ostream* os)
{
    *os << c.m_name;
}

constexpr WheelAxis kV = WheelAxis::Vertical;
constexpr WheelAxis kH = WheelAxis::Horizontal;

const SettingsCase kSettingsCases[] = {
    {"AnExcludedWindowKeepsItsWheelUntouched", WithKeys(Wheel(kNotch), true, false), Excluded(), OrdinaryForeground(),
     Everything(), WheelAction::PassOn, kV, kNotch, false},
    {"AnExcludedFullScreenProgramKeepsItsWheelUnreversed", Wheel(kNotch), Excluded(), FullScreenGame(), Everything(),
     WheelAction::PassOn, kV, kNotch, false},
    {"AnExcludedWindowKeepsItUnderTheSystemsRoutingToo", Wheel(-kNotch), Excluded(), OrdinaryForeground(), Everything(),
     WheelAction::PassOn, kV, -kNotch, false, SystemWheelRouting::PointerPosition},
    {"ShiftTurnsTheWheelRolledTowardTheUserToTheRight", WithKeys(Wheel(-kNotch), true, false), BackgroundEdit(),
     OrdinaryForeground(), Sideways(), WheelAction::PostWheel, kH, kNotch, false},
    {"ShiftTurnsTheWheelRolledAwayToTheLeft", WithKeys(Wheel(kNotch), true, false), BackgroundEdit(),
     OrdinaryForeground(), Sideways(), WheelAction::PostWheel, kH, -kNotch, false},
    {"ShiftSidewaysGivesHorizontalLinesWhenConverting", WithKeys(Wheel(-kNotch), true, false), BackgroundEdit(),
     OrdinaryForeground(), Sideways(true), WheelAction::PostScrollLines, kH, kNotch, false},
    {"ShiftSidewaysWithoutAHorizontalScrollBarPostsTheHorizontalWheel", WithKeys(Wheel(-kNotch), true, false),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_hasHorizontalScroller = false; }), OrdinaryForeground(),
     Sideways(true), WheelAction::PostWheel, kH, kNotch, false},
    {"ShiftWithoutTheSettingStaysVertical", WithKeys(Wheel(-kNotch), true, false), BackgroundEdit(),
     OrdinaryForeground(), Plain(), WheelAction::PostWheel, kV, -kNotch, false},
    {"ShiftSidewaysLeavesTheHorizontalWheelAlone", WithKeys(Wheel(kNotch, kH), true, false), BackgroundEdit(),
     OrdinaryForeground(), Sideways(), WheelAction::PostWheel, kH, kNotch, false},
    {"ShiftSidewaysReachesSystemRoutedWindowsByInjection", WithKeys(Wheel(-kNotch), true, false),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_className = "Windows.UI.Core.CoreWindow"; }),
     OrdinaryForeground(), Sideways(), WheelAction::Reinject, kH, kNotch, false},
    {"ShiftSidewaysUnderTheSystemsRoutingIsInjected", WithKeys(Wheel(-kNotch), true, false), BackgroundEdit(),
     OrdinaryForeground(), Sideways(), WheelAction::Reinject, kH, kNotch, false, SystemWheelRouting::PointerPosition},
    {"ShiftSidewaysIsNoConcernOfAFullScreenProgram", WithKeys(Wheel(-kNotch), true, false), BackgroundEdit(),
     FullScreenGame(), Sideways(), WheelAction::PassOn, kV, -kNotch, false},
    {"VerticalOnlyReverseInvertsTheVerticalWheel", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     ReverseOnly(ReverseAxes::Vertical), WheelAction::PostWheel, kV, -kNotch, false},
    {"VerticalOnlyReverseLeavesTheHorizontalWheel", Wheel(kNotch, kH), BackgroundEdit(), OrdinaryForeground(),
     ReverseOnly(ReverseAxes::Vertical), WheelAction::PostWheel, kH, kNotch, false},
    {"HorizontalOnlyReverseInvertsTheHorizontalWheel", Wheel(kNotch, kH), BackgroundEdit(), OrdinaryForeground(),
     ReverseOnly(ReverseAxes::Horizontal), WheelAction::PostWheel, kH, -kNotch, false},
    {"HorizontalOnlyReverseLeavesTheVerticalWheel", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     ReverseOnly(ReverseAxes::Horizontal), WheelAction::PostWheel, kV, kNotch, false},
    {"VerticalOnlyReverseWhenConverting", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     ReverseOnly(ReverseAxes::Vertical, true), WheelAction::PostScrollLines, kV, -kNotch, false},
    {"VerticalOnlyReverseLeavesHorizontalLinesWhenConverting", Wheel(kNotch, kH), BackgroundEdit(),
     OrdinaryForeground(), ReverseOnly(ReverseAxes::Vertical, true), WheelAction::PostScrollLines, kH, kNotch, false},
    {"HorizontalOnlyReverseLeavesAPlainVerticalWheelToTheSystem", Wheel(kNotch), BackgroundEdit(), OrdinaryForeground(),
     ReverseOnly(ReverseAxes::Horizontal), WheelAction::PassOn, kV, kNotch, false, SystemWheelRouting::PointerPosition},
    {"VerticalOnlyReverseInFullScreen", Wheel(kNotch, kH), BackgroundEdit(), FullScreenGame(),
     ReverseOnly(ReverseAxes::Vertical), WheelAction::PassOn, kH, kNotch, false},
    // Reverse belongs to the wheel the user turns: a reversed vertical wheel turned sideways goes the other way.
    {"ReverseOfTheVerticalWheelHoldsWhenShiftTurnsItSideways", WithKeys(Wheel(-kNotch), true, false), BackgroundEdit(),
     OrdinaryForeground(),
     [] {
         HookSettings settings = ReverseOnly(ReverseAxes::Vertical);
         settings.m_shiftScrollsSideways = true;
         return settings;
     }(),
     WheelAction::PostWheel, kH, -kNotch, false},
};

class RouterSettingsDecision : public testing::TestWithParam<SettingsCase>
{
};

TEST_P(RouterSettingsDecision, Decides)
{
    const SettingsCase& c = GetParam();
    const WheelDecision decision = DecideWheel(c.m_event, c.m_target, c.m_foreground, c.m_settings, c.m_routing);
    EXPECT_EQ(decision.m_action, c.m_action);
    EXPECT_EQ(decision.m_axis, c.m_axis);
    EXPECT_EQ(decision.m_delta, c.m_delta);
    EXPECT_EQ(decision.m_requestActivation, c.m_activation);
    EXPECT_EQ(decision.m_sideways, c.m_event.m_axis != c.m_axis);
}

INSTANTIATE_TEST_SUITE_P(Cases, RouterSettingsDecision, testing::ValuesIn(kSettingsCases),
                         [](const testing::TestParamInfo<SettingsCase>& info) { return info.param.m_name; });

TEST(WheelRoutingFacts, OnlyOwnInjectionsAndEmptyDeltasSkipTheWindows)
{
    EXPECT_FALSE(NeedsWindowFacts(OwnInjection(kNotch)));
    EXPECT_FALSE(NeedsWindowFacts(Wheel(0)));
    EXPECT_TRUE(NeedsWindowFacts(Wheel(1)));
    EXPECT_TRUE(NeedsWindowFacts(ForeignInjection(kNotch)));
}

TEST(SystemWheelRoutingSetting, OnlyThePointerPositionValueMeansTheSystemRoutesToThePointer)
{
    EXPECT_EQ(WheelRoutingFromSetting(false, 2), SystemWheelRouting::Focus); // before Windows 10: no such setting
    EXPECT_EQ(WheelRoutingFromSetting(true, 0), SystemWheelRouting::Focus);
    EXPECT_EQ(WheelRoutingFromSetting(true, 1), SystemWheelRouting::Hybrid);
    EXPECT_EQ(WheelRoutingFromSetting(true, 2), SystemWheelRouting::PointerPosition);
    EXPECT_EQ(WheelRoutingFromSetting(true, 7), SystemWheelRouting::Focus);
}

TEST(HookSettingsFromArguments, FlagsBitsAndLineCount)
{
    const HookSettings none = SettingsFromArguments(0, 3, 0);
    EXPECT_FALSE(none.m_convertToScroll);
    EXPECT_FALSE(none.m_activateWindows);
    EXPECT_FALSE(none.m_reverseScroll);
    EXPECT_EQ(none.m_linesToScroll, 3);

    const HookSettings activate = SettingsFromArguments(1, 5, 1);
    EXPECT_TRUE(activate.m_convertToScroll);
    EXPECT_TRUE(activate.m_activateWindows);
    EXPECT_FALSE(activate.m_reverseScroll);
    EXPECT_EQ(activate.m_linesToScroll, 5);

    const HookSettings reverse = SettingsFromArguments(0, 1, 2);
    EXPECT_FALSE(reverse.m_activateWindows);
    EXPECT_TRUE(reverse.m_reverseScroll);

    const HookSettings both = SettingsFromArguments(0, 1, 3);
    EXPECT_TRUE(both.m_activateWindows);
    EXPECT_TRUE(both.m_reverseScroll);
}

TEST(HookSettingsFromArguments, FewerThanOneLineBecomesOne)
{
    EXPECT_EQ(SettingsFromArguments(1, 0, 0).m_linesToScroll, 1);
    EXPECT_EQ(SettingsFromArguments(1, -20, 0).m_linesToScroll, 1);
}

} // namespace
