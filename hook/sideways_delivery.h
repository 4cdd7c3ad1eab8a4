// How a decided wheel reaches its window as a message, and how an injected one goes without the Shift that turned
// it sideways. Plain C++: the router carries the plans out.
#pragma once

#include "wheel_routing.h"
#include "wheel_rules.h"

enum class PostedMessage
{
    MouseWheel,   // WM_MOUSEWHEEL
    MouseHWheel,  // WM_MOUSEHWHEEL
    HScrollLines, // WM_HSCROLL lines, one notch after another
};

struct PostedWheel
{
    PostedMessage m_message = PostedMessage::MouseWheel;
    int m_delta = 0;
    bool m_shift = false; // MK_SHIFT in the message
};

// decision is a PostWheel decision; shiftDown: the Shift key as the event found it.
PostedWheel PlanPostedWheel(const WheelDecision& decision, SidewaysMethod method, bool shiftDown);

struct InjectedWheel
{
    WheelAxis m_axis = WheelAxis::Vertical;
    int m_delta = 0;
    bool m_releaseShift = false; // lift the held Shift before the wheel and press it again after
    bool m_pressShift = false;   // press Shift before the wheel and lift it after
};

// decision is a Reinject decision. WM_HSCROLL cannot be injected: hscroll goes as the horizontal wheel there.
InjectedWheel PlanInjectedWheel(const WheelDecision& decision, SidewaysMethod method, bool shiftDown);
