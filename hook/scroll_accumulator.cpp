// Adds up partial wheel deltas into whole notches and plans the line-scroll messages for them.
#include "scroll_accumulator.h"

int ScrollAccumulator::AddDelta(int delta)
{
    const int total = m_remainder + delta;
    // Division truncates toward zero, so the remainder keeps the sign of the motion that is still owed.
    const int notches = total / kWheelDelta;
    m_remainder = total - notches * kWheelDelta;
    return notches;
}

LineScrollPlan PlanLineScroll(WheelAxis axis, int notches, int linesToScroll)
{
    LineScrollPlan plan;
    if (notches == 0 || linesToScroll < 1) {
        return plan;
    }
    const long long magnitude = notches < 0 ? -static_cast<long long>(notches) : notches;
    const long long lines = magnitude * linesToScroll;
    plan.m_lineCount = lines > kMaxLineMessagesPerEvent ? kMaxLineMessagesPerEvent : static_cast<int>(lines);
    plan.m_towardStart = axis == WheelAxis::Vertical ? notches > 0 : notches < 0;
    return plan;
}
