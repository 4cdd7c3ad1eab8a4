// Decides what the mouse hook does with one wheel event: pass it on, post it, convert it or re-inject it.
#include "wheel_routing.h"

namespace {

constexpr int kFlagActivateWindows = 1;
constexpr int kFlagReverseScroll = 2;
constexpr int kMaxMessageDelta = 32767;
constexpr std::uint32_t kRoutingHybrid = 1;
constexpr std::uint32_t kRoutingPointerPosition = 2;

WheelDecision PassOn(PassReason reason, int delta)
{
    WheelDecision decision;
    decision.m_passReason = reason;
    decision.m_delta = delta;
    return decision;
}

// Where the router may not post, the system's delivery stands; only an inverted direction needs the event
// replaced, and the system routes the replacement like any wheel.
WheelDecision LeaveToSystem(const WheelEvent& event, const HookSettings& settings, PassReason reason)
{
    if (settings.m_reverseScroll) {
        WheelDecision decision;
        decision.m_action = WheelAction::Reinject;
        decision.m_delta = ReverseDelta(event.m_delta);
        return decision;
    }
    return PassOn(reason, event.m_delta);
}

bool WantsActivation(const TargetFacts& target, const HookSettings& settings)
{
    // A menu, an open drop-down or a tooltip belongs to a window that is already active, or closes the moment
    // another one is.
    return settings.m_activateWindows && target.m_programWindowKnown && !IsTransientPopupClass(target.m_className) &&
           !IsTransientPopupClass(target.m_topLevelClassName) && !target.m_rootOwner.m_isForeground &&
           IsActivatable(target.m_rootOwner);
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

SystemWheelRouting WheelRoutingFromSetting(bool queried, std::uint32_t value)
{
    if (!queried) {
        return SystemWheelRouting::Focus;
    }
    if (value == kRoutingPointerPosition) {
        return SystemWheelRouting::PointerPosition;
    }
    return value == kRoutingHybrid ? SystemWheelRouting::Hybrid : SystemWheelRouting::Focus;
}

int ReverseDelta(int delta)
{
    // -32768 has no positive counterpart in the 16-bit field.
    return delta < -kMaxMessageDelta ? kMaxMessageDelta : -delta;
}

bool NeedsWindowFacts(const WheelEvent& event)
{
    return event.m_extraInfo != kRollixInjectedMarker && event.m_delta != 0;
}

WheelDecision DecideWheel(const WheelEvent& event, const TargetFacts& target, const ForegroundFacts& foreground,
                          const HookSettings& settings, SystemWheelRouting systemRouting)
{
    if (event.m_extraInfo == kRollixInjectedMarker) {
        return PassOn(PassReason::OwnInjection, event.m_delta);
    }
    if (event.m_delta == 0) {
        return PassOn(PassReason::NoDelta, event.m_delta);
    }
    if (IsFullScreenForeground(foreground)) {
        // A game keeps the wheel as the system delivers it, and is never switched away from.
        return LeaveToSystem(event, settings, PassReason::FullScreenForeground);
    }
    if (!target.m_found) {
        return LeaveToSystem(event, settings, PassReason::SystemRouted);
    }
    if (target.m_shielded) {
        // Injecting would be blocked for that window as well, so the unchanged event is the best it can get.
        return PassOn(PassReason::Shielded, event.m_delta);
    }
    if (target.m_hung) {
        // Posts would only pile up in a queue nobody reads; the system's own delivery waits in line once.
        return PassOn(PassReason::Hung, event.m_delta);
    }

    WheelDecision decision;
    decision.m_requestActivation = WantsActivation(target, settings);
    decision.m_delta = settings.m_reverseScroll ? ReverseDelta(event.m_delta) : event.m_delta;

    if (IsSystemRoutedClass(target.m_className) || IsSystemRoutedClass(target.m_topLevelClassName)) {
        const WheelDecision left = LeaveToSystem(event, settings, PassReason::SystemRouted);
        decision.m_action = left.m_action;
        decision.m_delta = left.m_delta;
        decision.m_passReason = left.m_passReason;
        return decision;
    }
    // Ctrl+wheel zooms and Shift+wheel scrolls sideways in most programs: those stay wheel messages. A window
    // with no scroll bar anywhere up its chain cannot take line-scroll messages either.
    const bool modified = event.m_shift || event.m_control;
    if (settings.m_convertToScroll && !modified && target.m_hasScrollAncestor) {
        decision.m_action = WheelAction::PostScrollLines;
        return decision;
    }
    if (systemRouting == SystemWheelRouting::PointerPosition) {
        // The system already brings the wheel to the window under the pointer, with precision touchpads and smooth
        // scrolling intact: a plain event is its to deliver.
        decision.m_action = settings.m_reverseScroll ? WheelAction::Reinject : WheelAction::PassOn;
        decision.m_passReason = settings.m_reverseScroll ? PassReason::None : PassReason::SystemRouted;
        return decision;
    }
    decision.m_action = WheelAction::PostWheel;
    return decision;
}
