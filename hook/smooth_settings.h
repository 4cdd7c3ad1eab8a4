// The smoothing keys of [router] in rollix.ini: SmoothScroll, SmoothDuration and WheelAcceleration. Plain C++: a
// missing key or a value that cannot be understood gives that key's default.
#pragma once

#include "smooth_animation.h"

struct SmoothSettings
{
    bool m_smoothScroll = false;
    int m_durationMs = kDefaultSmoothDurationMs; // kMinSmoothDurationMs to kMaxSmoothDurationMs
    bool m_acceleration = false;
};

// Each text as the profile functions gave it, nullptr when the key is absent. A duration outside its range is held
// to the nearest end of it.
SmoothSettings ParseSmoothSettings(const char* smoothScroll, const char* duration, const char* acceleration);
