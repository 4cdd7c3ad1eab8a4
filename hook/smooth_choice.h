// Which notches are smoothed, and which accelerated, given what the router decided for them. Plain C++.
#pragma once

#include "wheel_routing.h"

enum class SmoothPath
{
    None,   // delivered as decided, whole
    Post,   // its frames posted to the target window
    Inject, // swallowed, its frames injected for the system's own routing
};

// smooth: SmoothScroll as the rules set it for the target; postedAsLines: the decided wheel goes as WM_HSCROLL lines.
SmoothPath ChooseSmoothPath(const WheelEvent& event, const WheelDecision& decision, const TargetFacts& target,
                            bool smooth, bool postedAsLines);

// Acceleration acts where the router delivers the wheel itself, or leaves a plain notch to the system's routing.
bool MayAccelerate(const WheelEvent& event, const WheelDecision& decision, const TargetFacts& target,
                   bool postedAsLines);
