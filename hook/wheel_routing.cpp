// Decides what the mouse hook does with one wheel event: pass it on, post it, convert it or re-inject it.
#include "wheel_routing.h"

#include <cstddef>

namespace {

constexpr int kFlagActivateWindows = 1;
constexpr int kFlagReverseScroll = 2;
constexpr int kMaxMessageDelta = 32767;

// These windows take the wheel from the system's pointer routing only; a posted wheel message does nothing or
// confuses their input stack, so the event is left to the system.
constexpr const char* kSystemRoutedClasses[] = {
    "ApplicationFrameWindow",
    "Windows.UI.Core.CoreWindow",
    "Windows.UI.Input.InputSite.WindowClass",
    "Microsoft.UI.Content.DesktopChildSiteBridge",
    "#32768", // popup menus scroll themselves while their modal loop runs
};

constexpr const char* kShellClasses[] = {
    "Progman",
    "WorkerW",
    "Shell_TrayWnd",
    "Shell_SecondaryTrayWnd",
};

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Window class names compare without regard to case, as the system registers them.
bool ClassNameEquals(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) {
            return false;
        }
    }
    return *a == *b;
}

template <std::size_t N> bool IsInTable(const char* className, const char* const (&table)[N])
{
    if (className == nullptr) {
        return false;
    }
    for (const char* entry : table) {
        if (ClassNameEquals(className, entry)) {
            return true;
        }
    }
    return false;
}

WheelDecision PassOn(PassReason reason)
{
    WheelDecision decision;
    decision.m_passReason = reason;
    return decision;
}

} // namespace

HookSettings SettingsFromArguments(int convertToScroll, int linesToScroll, int flags)
{
    HookSettings settings;
    settings.m_convertToScroll = convertToScroll != 0;
    settings.m_linesToScroll = linesToScroll < 1 ? 1 : linesToScroll;
    settings.m_activateWindows = (flags & kFlagActivateWindows) != 0;
    settings.m_reverseScroll = (flags & kFlagReverseScroll) != 0;
    return settings;
}

bool IsSystemRoutedClass(const char* className)
{
    return IsInTable(className, kSystemRoutedClasses);
}

bool IsShellClass(const char* className)
{
    return IsInTable(className, kShellClasses);
}

int ReverseDelta(int delta)
{
    // -32768 has no positive counterpart in the 16-bit field.
    return delta < -kMaxMessageDelta ? kMaxMessageDelta : -delta;
}

bool IsFullScreenForeground(const ForegroundFacts& foreground)
{
    if (!foreground.m_present || foreground.m_ownProcess || IsShellClass(foreground.m_className)) {
        return false;
    }
    const ScreenRect& client = foreground.m_clientRect;
    const ScreenRect& monitor = foreground.m_monitorRect;
    if (monitor.m_right <= monitor.m_left || monitor.m_bottom <= monitor.m_top) {
        return false;
    }
    // The client area, not the window: a maximized window's frame hangs over the monitor's edges too, but its
    // caption and the taskbar keep its client area smaller.
    return client.m_left <= monitor.m_left && client.m_top <= monitor.m_top && client.m_right >= monitor.m_right &&
           client.m_bottom >= monitor.m_bottom;
}

bool NeedsWindowFacts(const WheelEvent& event)
{
    return event.m_extraInfo != kRollixInjectedMarker && event.m_delta != 0;
}

WheelDecision DecideWheel(const WheelEvent& event, const TargetFacts& target, const ForegroundFacts& foreground,
                          const HookSettings& settings)
{
    if (event.m_extraInfo == kRollixInjectedMarker) {
        return PassOn(PassReason::OwnInjection);
    }
    if (IsFullScreenForeground(foreground)) {
        return PassOn(PassReason::FullScreenForeground);
    }
    if (event.m_delta == 0) {
        return PassOn(PassReason::NoDelta);
    }
    if (target.m_found && target.m_refusesPosts) {
        // Injecting would be blocked for that window as well, so the unchanged event is the best it can get.
        return PassOn(PassReason::RefusesPosts);
    }

    WheelDecision decision;
    decision.m_delta = settings.m_reverseScroll ? ReverseDelta(event.m_delta) : event.m_delta;
    decision.m_requestActivation = settings.m_activateWindows && target.m_found && target.m_programWindowKnown &&
                                   !target.m_topLevelIsForeground && !IsShellClass(target.m_topLevelClassName);

    const bool systemRouted =
        !target.m_found || IsSystemRoutedClass(target.m_className) || IsSystemRoutedClass(target.m_topLevelClassName);
    if (systemRouted) {
        // The system routes these; only an inverted direction needs the event replaced.
        decision.m_action = settings.m_reverseScroll ? WheelAction::Reinject : WheelAction::PassOn;
        if (decision.m_action == WheelAction::PassOn) {
            decision.m_delta = event.m_delta;
        }
        return decision;
    }
    // A window with no scroll bar anywhere up its chain cannot take line-scroll messages; the wheel message is
    // the one thing it may understand.
    decision.m_action = settings.m_convertToScroll && target.m_hasScrollAncestor ? WheelAction::PostScrollLines
                                                                                 : WheelAction::PostWheel;
    return decision;
}
