// Adds up partial wheel deltas into whole notches and plans the line-scroll messages for them.
#include "scroll_accumulator.h"

int ScrollAccumulator::AddDelta(int delta, std::uintptr_t target, std::uint32_t tick)
{
    // Unsigned subtraction stays right across the tick count's wrap.
    const bool stale = tick - m_lastTick > kRemainderLifetimeMs;
    const bool turned = (delta < 0 && m_remainder > 0) || (delta > 0 && m_remainder < 0);
    if (target != m_target || stale || turned) {
        m_remainder = 0;
    }
    m_target = target;
    m_lastTick = tick;
    const long long total = static_cast<long long>(m_remainder) + delta;
    // Division truncates toward zero, so the remainder keeps the sign of the motion that is still owed.
    const long long notches = total / kWheelDelta;
    m_remainder = static_cast<int>(total - notches * kWheelDelta);
    return static_cast<int>(notches);
}

LineScrollPlan PlanLineScroll(WheelAxis axis, int notches, int linesToScroll)
{
    LineScrollPlan plan;
    if (notches == 0 || linesToScroll < 1) {
        return plan;
    }
    const long long magnitude = notches < 0 ? -static_cast<long long>(notches) : notches;
    const long long perNotch = linesToScroll > kMaxLinesPerNotch ? kMaxLinesPerNotch : linesToScroll;
    const long long lines = magnitude * perNotch;
    plan.m_lineCount = lines > kMaxLineMessagesPerEvent ? kMaxLineMessagesPerEvent : static_cast<int>(lines);
    plan.m_towardStart = axis == WheelAxis::Vertical ? notches > 0 : notches < 0;
    return plan;
}
