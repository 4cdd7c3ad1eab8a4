// Decides what the mouse hook does with one wheel event: pass it on, post it, convert it or re-inject it.
#include "wheel_routing.h"

namespace {

constexpr int kFlagActivateWindows = 1;
constexpr int kFlagReverseScroll = 2;
constexpr int kMaxMessageDelta = 32767;
constexpr std::uint32_t kRoutingHybrid = 1;
constexpr std::uint32_t kRoutingPointerPosition = 2;

WheelDecision PassOn(const WheelEvent& event, PassReason reason)
{
    WheelDecision decision;
    decision.m_passReason = reason;
    decision.m_axis = event.m_axis;
    decision.m_delta = event.m_delta;
    return decision;
}

// The wheel as it should arrive: reversed by the wheel the user turned, then turned sideways by Shift.
WheelDecision Changed(const WheelEvent& event, const HookSettings& settings, bool allowSideways)
{
    WheelDecision decision;
    decision.m_axis = event.m_axis;
    decision.m_delta = ReversesAxis(settings, event.m_axis) ? ReverseDelta(event.m_delta) : event.m_delta;
    if (allowSideways && settings.m_shiftScrollsSideways && event.m_shift && event.m_axis == WheelAxis::Vertical) {
        // Rolled toward the user the wheel scrolls down, and sideways right: the horizontal wheel's positive way.
        decision.m_axis = WheelAxis::Horizontal;
        decision.m_delta = ReverseDelta(decision.m_delta);
        decision.m_sideways = true;
    }
    return decision;
}

bool IsChanged(const WheelDecision& decision, const WheelEvent& event)
{
    return decision.m_axis != event.m_axis || decision.m_delta != event.m_delta;
}

// Where the router may not post, the system's delivery stands; only a changed wheel needs the event replaced, and
// the system routes the replacement like any wheel.
WheelDecision LeaveToSystem(const WheelEvent& event, const HookSettings& settings, PassReason reason,
                            bool allowSideways = true)
{
    WheelDecision decision = Changed(event, settings, allowSideways);
    if (!IsChanged(decision, event)) {
        return PassOn(event, reason);
    }
    decision.m_action = WheelAction::Reinject;
    return decision;
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

bool ReversesAxis(const HookSettings& settings, WheelAxis axis)
{
    if (!settings.m_reverseScroll) {
        return false;
    }
    switch (settings.m_reverseAxes) {
    case ReverseAxes::Vertical:
        return axis == WheelAxis::Vertical;
    case ReverseAxes::Horizontal:
        return axis == WheelAxis::Horizontal;
    case ReverseAxes::Both:
        break;
    }
    return true;
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

bool MayReinject(const WheelEvent& event, const ForegroundFacts& foreground, SystemWheelRouting systemRouting)
{
    // With pointer routing the replacement goes to the window under the pointer, whose integrity DecideWheel knows.
    return !event.m_injected && !(foreground.m_aboveOurIntegrity && systemRouting != SystemWheelRouting::PointerPosition);
}

namespace {

WheelDecision DecideRoute(const WheelEvent& event, const TargetFacts& target, const ForegroundFacts& foreground,
                          const HookSettings& settings, SystemWheelRouting systemRouting)
{
    if (event.m_extraInfo == kRollixInjectedMarker) {
        return PassOn(event, PassReason::OwnInjection);
    }
    if (event.m_delta == 0) {
        return PassOn(event, PassReason::NoDelta);
    }
    if (target.m_found && target.m_excluded) {
        // The user's own choice: the wheel arrives exactly as the system delivers it.
        return PassOn(event, PassReason::Excluded);
    }
    if (target.m_found && target.m_aboveOurIntegrity) {
        // UIPI drops both our posts and our injections there: the event as it is still reaches it.
        return PassOn(event, PassReason::HigherIntegrity);
    }
    if (IsFullScreenAtPointer(foreground, event.m_x, event.m_y)) {
        // A game keeps the wheel as the system delivers it, and is never switched away from; only the direction
        // the user chose still holds.
        return LeaveToSystem(event, settings, PassReason::FullScreenForeground, false);
    }
    if (!target.m_found) {
        return LeaveToSystem(event, settings, PassReason::SystemRouted);
    }
    if (target.m_topLevelDisabled) {
        // Its modal dialog gets the wheel from the system, and its program stays where it is.
        return LeaveToSystem(event, settings, PassReason::DisabledTopLevel);
    }
    if (target.m_shielded) {
        // Injecting would be blocked for that window as well, so the unchanged event is the best it can get.
        return PassOn(event, PassReason::Shielded);
    }
    if (target.m_hung) {
        // Posts would only pile up in a queue nobody reads; the system's own delivery waits in line once.
        return PassOn(event, PassReason::Hung);
    }

    const bool activate = WantsActivation(target, settings);
    if (target.m_ruleLeavesToSystem || IsSystemRoutedClass(target.m_className) ||
        IsSystemRoutedClass(target.m_topLevelClassName) ||
        IsSystemRoutedChain(target.m_classChain, target.m_classChainCount)) {
        WheelDecision decision = LeaveToSystem(event, settings, PassReason::SystemRouted);
        decision.m_requestActivation = activate;
        return decision;
    }
    WheelDecision decision = Changed(event, settings, true);
    decision.m_requestActivation = activate;
    // Ctrl+wheel zooms and Shift+wheel scrolls sideways in most programs: those stay wheel messages, unless the
    // router itself turned the wheel sideways. A window with no scroll bar anywhere up its chain cannot take
    // line-scroll messages either.
    const bool modified = event.m_control || (event.m_shift && !decision.m_sideways);
    const bool hasScroller =
        decision.m_axis == WheelAxis::Vertical ? target.m_hasVerticalScroller : target.m_hasHorizontalScroller;
    if (settings.m_convertToScroll && !modified && hasScroller) {
        decision.m_action = WheelAction::PostScrollLines;
        return decision;
    }
    // A program that takes the sideways wheel only in another form gets it posted in that form.
    const bool ownSideways = decision.m_axis == WheelAxis::Horizontal && target.m_ownSideways;
    if (systemRouting == SystemWheelRouting::PointerPosition && !ownSideways) {
        // The system already brings the wheel to the window under the pointer, with precision touchpads and smooth
        // scrolling intact: a plain event is its to deliver.
        const WheelDecision left = LeaveToSystem(event, settings, PassReason::SystemRouted);
        decision.m_action = left.m_action;
        decision.m_passReason = left.m_passReason;
        return decision;
    }
    decision.m_action = WheelAction::PostWheel;
    return decision;
}

} // namespace

WheelDecision DecideWheel(const WheelEvent& event, const TargetFacts& target, const ForegroundFacts& foreground,
                          const HookSettings& settings, SystemWheelRouting systemRouting)
{
    WheelDecision decision = DecideRoute(event, target, foreground, settings, systemRouting);
    if (decision.m_action == WheelAction::Reinject && !MayReinject(event, foreground, systemRouting)) {
        // Unchanged beats lost, and beats an endless exchange.
        const bool activate = decision.m_requestActivation;
        decision = PassOn(event, event.m_injected ? PassReason::ForeignInjection : PassReason::HigherIntegrity);
        decision.m_requestActivation = activate;
    }
    return decision;
}
