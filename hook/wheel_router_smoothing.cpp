// The router's side of smooth scrolling and acceleration: which decided notches go to the smoothing thread, and how
// many whole notches an accelerated one becomes where nothing is smoothed.
#include "wheel_router.h"

#include "sideways_delivery.h"
#include "smooth_choice.h"
#include "wheel_message.h"

namespace {

// A rule may turn smoothing on for one program while it is off everywhere else.
bool AnyRuleSmooths(const RuleBook& rules)
{
    for (int i = 0; i < rules.UserRuleCount(); ++i) {
        if (rules.UserRuleAt(i).m_settings.m_smoothScroll == RuleSwitch::On) {
            return true;
        }
    }
    return false;
}

} // namespace

void WheelRouter::StartSmoothing()
{
    // No thread at all where nothing is smoothed.
    if (m_config.m_smooth.m_smoothScroll || AnyRuleSmooths(m_config.m_rules)) {
        m_smoothing.Start(m_config.m_smooth.m_durationMs);
    }
}

bool WheelRouter::SmoothOrAccelerate(const WheelEvent& event, const WheelDecision& decision, const AppliedRule& applied,
                                     const TargetFacts& target, const MSLLHOOKSTRUCT& info)
{
    const bool posts = decision.m_action == WheelAction::PostWheel;
    const PostedWheel posted = posts ? PlanPostedWheel(decision, applied.m_sideways, event.m_shift) : PostedWheel();
    const bool lines = posts && posted.m_message == PostedMessage::HScrollLines;
    // An injection that lifts or presses Shift around the wheel is left as it is.
    const InjectedWheel injected = PlanInjectedWheel(decision, applied.m_sideways, event.m_shift);
    if (!posts && (injected.m_releaseShift || injected.m_pressShift)) {
        return false;
    }
    int percent = 100;
    if (m_config.m_smooth.m_acceleration && MayAccelerate(event, decision, target, lines)) {
        percent = m_acceleration.NotchPercent(decision.m_axis, decision.m_delta, info.time);
    }
    const SmoothPath path = m_smoothing.Running()
                                ? ChooseSmoothPath(event, decision, target, applied.m_settings.m_smoothScroll, lines)
                                : SmoothPath::None;
    if (path != SmoothPath::None) {
        SmoothNotch notch;
        notch.m_x = info.pt.x;
        notch.m_y = info.pt.y;
        notch.m_target.m_window = reinterpret_cast<std::uintptr_t>(m_target.m_target);
        if (path == SmoothPath::Post) {
            ConfirmButtons();
            KeyState keys = m_buttons.Buttons();
            keys.m_shift = posted.m_shift;
            keys.m_control = event.m_control;
            const POINT point = TargetPoint(info.pt);
            notch.m_target.m_axis =
                posted.m_message == PostedMessage::MouseHWheel ? WheelAxis::Horizontal : WheelAxis::Vertical;
            notch.m_target.m_keyFlags = KeyStateFlags(keys);
            notch.m_target.m_point = PackPointLParam(point.x, point.y);
            notch.m_distance = AcceleratedDistance(posted.m_delta, percent);
        } else {
            notch.m_target.m_delivery = SmoothDelivery::Inject;
            notch.m_target.m_axis = decision.m_axis;
            notch.m_distance = AcceleratedDistance(decision.m_delta, percent);
        }
        if (m_smoothing.Hand(notch)) {
            return true;
        }
    }
    const int repeats = WholeNotches(AcceleratedDistance(kWheelDelta, percent));
    if (repeats <= 1) {
        return false; // delivered as decided
    }
    // Faster notches as more whole notches, for programs that count messages rather than add deltas.
    if (posts) {
        const DWORD now = GetTickCount();
        if (PostWheel(decision, info.pt, event, applied, now) == Delivery::Failed) {
            return false; // the router's own path meets the refusal
        }
        for (int sent = 1; sent < repeats; ++sent) {
            PostWheel(decision, info.pt, event, applied, now);
        }
        return true;
    }
    const int delta = decision.m_action == WheelAction::Reinject ? injected.m_delta : event.m_delta;
    return InjectWheels(decision.m_axis == WheelAxis::Horizontal, delta, repeats);
}
