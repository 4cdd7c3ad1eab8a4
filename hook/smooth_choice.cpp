// Smoothing and acceleration only where they cannot change what a notch means to the program.
#include "smooth_choice.h"

#include "window_rules.h"

namespace {

// A whole number of notches from a classic wheel. Precision touchpads and high-resolution wheels send finer deltas
// and their programs smooth them already.
bool IsWholeNotch(int delta)
{
    return delta != 0 && delta % kWheelDelta == 0;
}

// The plain event left to the system's routing: no window found counts too little to act on. Another program's
// injection is never answered with an injection, so that two tools cannot bounce one event between them.
bool LeftToSystemRouting(const WheelEvent& event, const WheelDecision& decision, const TargetFacts& target)
{
    if (event.m_injected || !target.m_found || IsSystemRoutedClass(target.m_className) ||
        IsSystemRoutedClass(target.m_topLevelClassName) ||
        IsSystemRoutedChain(target.m_classChain, target.m_classChainCount)) {
        return false; // the XAML family smooths the wheel itself
    }
    if (decision.m_action == WheelAction::Reinject) {
        return !decision.m_sideways; // Shift is lifted around that injection; frames cannot carry it
    }
    return decision.m_action == WheelAction::PassOn && decision.m_passReason == PassReason::SystemRouted;
}

} // namespace

SmoothPath ChooseSmoothPath(const WheelEvent& event, const WheelDecision& decision, const TargetFacts& target,
                            bool smooth, bool postedAsLines)
{
    // Ctrl+wheel zooms, a step a message.
    if (!smooth || event.m_control || !IsWholeNotch(event.m_delta) || postedAsLines) {
        return SmoothPath::None;
    }
    if (decision.m_action == WheelAction::PostWheel) {
        return SmoothPath::Post;
    }
    return LeftToSystemRouting(event, decision, target) ? SmoothPath::Inject : SmoothPath::None;
}

bool MayAccelerate(const WheelEvent& event, const WheelDecision& decision, const TargetFacts& target,
                   bool postedAsLines)
{
    if (event.m_control || !IsWholeNotch(event.m_delta) || postedAsLines) {
        return false;
    }
    return decision.m_action == WheelAction::PostWheel || LeftToSystemRouting(event, decision, target);
}
