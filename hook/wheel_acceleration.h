// Wheel acceleration: notches that come fast scroll further. Plain C++; the hook passes each notch's time in.
//
// The curve: a notch that follows the one before in the same direction within kAccelerationSlowMs counts
// kAccelerationSlowMs / interval times, at most kMaxAccelerationPercent / 100. At 10 notches a second and slower a
// notch is a notch; 20 a second doubles it; 40 a second and faster give four times. A pause, a turn the other way or
// the other wheel starts again at one.
#pragma once

#include "wheel_routing.h"

#include <cstdint>

constexpr std::uint32_t kAccelerationSlowMs = 100;
constexpr int kMaxAccelerationPercent = 400;

class WheelAcceleration
{
  public:
    // The factor for a notch of this sign on this wheel at time (milliseconds, wrapping), in percent; remembers it
    // for the next one.
    int NotchPercent(WheelAxis axis, int delta, std::uint32_t time);

  private:
    bool m_seen = false;
    WheelAxis m_axis = WheelAxis::Vertical;
    bool m_negative = false;
    std::uint32_t m_time = 0;
};

// The distance of delta at a factor in percent, in wheel units, rounded to the nearest unit.
int AcceleratedDistance(int delta, int percent);
// Without smoothing: the distance in whole notches, at least one, with its sign.
int WholeNotches(int distance);
