// What the hook does with a wheel event, decided from the facts the Win32 side gathers.
#include "wheel_routing.h"

#include <gtest/gtest.h>

namespace {

constexpr int kNotch = kWheelDelta;

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

// An ordinary edit control in a background window, the program running.
TargetFacts BackgroundEdit()
{
    TargetFacts target;
    target.m_found = true;
    target.m_className = "Edit";
    target.m_topLevelClassName = "Notepad";
    target.m_topLevelIsForeground = false;
    target.m_programWindowKnown = true;
    target.m_hasScrollAncestor = true;
    return target;
}

ScreenRect Rect(int left, int top, int right, int bottom)
{
    ScreenRect rect;
    rect.m_left = left;
    rect.m_top = top;
    rect.m_right = right;
    rect.m_bottom = bottom;
    return rect;
}

// A normal window of another program in the foreground.
ForegroundFacts OrdinaryForeground()
{
    ForegroundFacts foreground;
    foreground.m_present = true;
    foreground.m_className = "CabinetWClass";
    foreground.m_clientRect = Rect(100, 100, 900, 700);
    foreground.m_monitorRect = Rect(0, 0, 1920, 1080);
    return foreground;
}

ForegroundFacts FullScreenGame()
{
    ForegroundFacts foreground = OrdinaryForeground();
    foreground.m_className = "UnityWndClass";
    foreground.m_clientRect = Rect(0, 0, 1920, 1080);
    return foreground;
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
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_hasScrollAncestor = false; }), OrdinaryForeground(),
     With(true, false, false), WheelAction::PostWheel, kNotch, false},
    {"OwnInjectionPassesUntouched", OwnInjection(-kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(true, true, true), WheelAction::PassOn, 0, false},
    {"AnotherProgramsInjectionIsRoutedLikeAnyWheel", ForeignInjection(kNotch), BackgroundEdit(), OrdinaryForeground(),
     Plain(), WheelAction::PostWheel, kNotch, false},
    {"FullScreenProgramKeepsItsWheelEvenReversed", Wheel(kNotch), BackgroundEdit(), FullScreenGame(),
     With(true, true, true), WheelAction::PassOn, 0, false},
    {"ZeroDeltaPasses", Wheel(0), BackgroundEdit(), OrdinaryForeground(), With(false, true, true), WheelAction::PassOn,
     0, false},
    {"WindowThatRefusedAPostGetsTheEventUnchanged", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_refusesPosts = true; }), OrdinaryForeground(),
     With(false, true, true), WheelAction::PassOn, 0, false},
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
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelIsForeground = true; }), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"ActivateWindowsNeedsTheProgramsWindow", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_programWindowKnown = false; }), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"ActivateWindowsNeverActivatesTheTaskbar", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelClassName = "Shell_TrayWnd"; }), OrdinaryForeground(),
     With(false, true, false), WheelAction::PostWheel, kNotch, false},
    {"ActivateWindowsAlsoForConvertedScrolling", Wheel(-kNotch), BackgroundEdit(), OrdinaryForeground(),
     With(true, true, false), WheelAction::PostScrollLines, -kNotch, true},
    {"ActivateWindowsAlsoForSystemRoutedWindows", Wheel(kNotch),
     Modify(BackgroundEdit(), [](TargetFacts& t) { t.m_topLevelClassName = "ApplicationFrameWindow"; }),
     OrdinaryForeground(), With(false, true, false), WheelAction::PassOn, kNotch, true},
};

class WheelRouting : public testing::TestWithParam<RoutingCase>
{
};

TEST_P(WheelRouting, Decides)
{
    const RoutingCase& c = GetParam();
    const WheelDecision decision = DecideWheel(c.m_event, c.m_target, c.m_foreground, c.m_settings);
    EXPECT_EQ(decision.m_action, c.m_action);
    if (c.m_action != WheelAction::PassOn || c.m_delta != 0) {
        EXPECT_EQ(decision.m_delta, c.m_delta);
    }
    EXPECT_EQ(decision.m_requestActivation, c.m_activation);
}

INSTANTIATE_TEST_SUITE_P(Cases, WheelRouting, testing::ValuesIn(kRoutingCases),
                         [](const testing::TestParamInfo<RoutingCase>& info) { return info.param.m_name; });

TEST(WheelRoutingFacts, OnlyOwnInjectionsAndEmptyDeltasSkipTheWindows)
{
    EXPECT_FALSE(NeedsWindowFacts(OwnInjection(kNotch)));
    EXPECT_FALSE(NeedsWindowFacts(Wheel(0)));
    EXPECT_TRUE(NeedsWindowFacts(Wheel(1)));
    EXPECT_TRUE(NeedsWindowFacts(ForeignInjection(kNotch)));
}

struct FullScreenCase
{
    const char* m_name;
    ForegroundFacts m_foreground;
    bool m_fullScreen;
};

void PrintTo(const FullScreenCase& c, std::ostream* os)
{
    *os << c.m_name;
}

ForegroundFacts Foreground(const char* className, ScreenRect client, ScreenRect monitor, bool ownProcess = false)
{
    ForegroundFacts foreground;
    foreground.m_present = true;
    foreground.m_className = className;
    foreground.m_clientRect = client;
    foreground.m_monitorRect = monitor;
    foreground.m_ownProcess = ownProcess;
    return foreground;
}

const FullScreenCase kFullScreenCases[] = {
    {"GameCoveringItsMonitor", Foreground("Game", Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1080)), true},
    {"PresentationOnAMonitorLeftOfThePrimary",
     Foreground("screenClass", Rect(-1920, -200, 0, 880), Rect(-1920, -200, 0, 880)), true},
    {"ClientLargerThanTheMonitor", Foreground("Game", Rect(-3, -3, 1923, 1083), Rect(0, 0, 1920, 1080)), true},
    {"MaximizedWindowWithCaptionAndTaskbar", Foreground("Notepad", Rect(0, 30, 1920, 1040), Rect(0, 0, 1920, 1080)),
     false},
    {"WindowOnTheOtherMonitor", Foreground("Game", Rect(0, 0, 1920, 1080), Rect(1920, 0, 3840, 1080)), false},
    {"TheDesktopCoversTheScreenButIsNoProgram", Foreground("Progman", Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1080)),
     false},
    {"TheProgramsOwnWindowDoesNotCount", Foreground("Game", Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1080), true),
     false},
    {"UnknownMonitorDoesNotCount", Foreground("Game", Rect(0, 0, 1920, 1080), Rect(0, 0, 0, 0)), false},
    {"NoForegroundWindow", ForegroundFacts(), false},
};

class FullScreenForeground : public testing::TestWithParam<FullScreenCase>
{
};

TEST_P(FullScreenForeground, Detects)
{
    EXPECT_EQ(IsFullScreenForeground(GetParam().m_foreground), GetParam().m_fullScreen);
}

INSTANTIATE_TEST_SUITE_P(Cases, FullScreenForeground, testing::ValuesIn(kFullScreenCases),
                         [](const testing::TestParamInfo<FullScreenCase>& info) { return info.param.m_name; });

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
