// The sideways methods: the horizontal wheel as WM_MOUSEHWHEEL, as WM_HSCROLL lines, or as Shift and the
// vertical wheel.
#include "sideways_delivery.h"

PostedWheel PlanPostedWheel(const WheelDecision& decision, SidewaysMethod method, bool shiftDown)
{
    PostedWheel posted;
    posted.m_delta = decision.m_delta;
    // The Shift that turned the wheel sideways has done its work; the target would take it for its own sideways.
    posted.m_shift = shiftDown && !decision.m_sideways;
    if (decision.m_axis == WheelAxis::Vertical) {
        return posted;
    }
    switch (method) {
    case SidewaysMethod::HScroll:
        posted.m_message = PostedMessage::HScrollLines;
        posted.m_shift = false;
        break;
    case SidewaysMethod::ShiftWheel:
        // Shift with the wheel rolled toward the user scrolls right: the horizontal wheel's positive way.
        posted.m_message = PostedMessage::MouseWheel;
        posted.m_delta = ReverseDelta(decision.m_delta);
        posted.m_shift = true;
        break;
    case SidewaysMethod::HWheel:
    case SidewaysMethod::Inherit:
        posted.m_message = PostedMessage::MouseHWheel;
        break;
    }
    return posted;
}

InjectedWheel PlanInjectedWheel(const WheelDecision& decision, SidewaysMethod method, bool shiftDown)
{
    InjectedWheel injected;
    injected.m_axis = decision.m_axis;
    injected.m_delta = decision.m_delta;
    if (decision.m_axis == WheelAxis::Vertical) {
        return injected;
    }
    if (method == SidewaysMethod::ShiftWheel) {
        injected.m_axis = WheelAxis::Vertical;
        injected.m_delta = ReverseDelta(decision.m_delta);
        injected.m_pressShift = !shiftDown;
        return injected;
    }
    // The system stamps the keyboard's state on what it delivers: a held Shift would make this horizontal wheel
    // a Shift+horizontal one, which some programs turn back.
    injected.m_releaseShift = shiftDown && decision.m_sideways;
    return injected;
}
