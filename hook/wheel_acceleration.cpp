// The capped acceleration curve of the wheel.
#include "wheel_acceleration.h"

int WheelAcceleration::NotchPercent(WheelAxis axis, int delta, std::uint32_t time)
{
    const bool negative = delta < 0;
    const std::uint32_t interval = time - m_time; // unsigned: right across the tick count's wrap
    const bool follows = m_seen && axis == m_axis && negative == m_negative && interval < kAccelerationSlowMs;
    m_seen = true;
    m_axis = axis;
    m_negative = negative;
    m_time = time;
    if (!follows) {
        return 100;
    }
    if (interval * kMaxAccelerationPercent <= kAccelerationSlowMs * 100) {
        return kMaxAccelerationPercent;
    }
    return static_cast<int>(kAccelerationSlowMs * 100 / interval);
}

int AcceleratedDistance(int delta, int percent)
{
    const long long scaled = static_cast<long long>(delta) * percent;
    return static_cast<int>(scaled >= 0 ? (scaled + 50) / 100 : (scaled - 50) / 100);
}

int WholeNotches(int distance)
{
    const int magnitude = distance < 0 ? -distance : distance;
    int notches = (magnitude + kWheelDelta / 2) / kWheelDelta;
    if (notches < 1) {
        notches = 1;
    }
    return distance < 0 ? -notches : notches;
}
