// The eased run of partial deltas of each notch, per target window and axis.
#include "smooth_animation.h"

namespace {

constexpr int kMicrosecondsPerSecond = 1000000;
constexpr int kMinFrames = 2;
// The largest delta a wheel message's signed 16-bit field holds.
constexpr int kMaxFrameDelta = 32767;

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

int Magnitude(int value)
{
    return value < 0 ? -value : value;
}

} // namespace

FramePlan PlanFrames(int refreshHz, int durationMs)
{
    // A rate below the range is a driver's "default" (0 or 1) rather than a real monitor.
    const int hz = refreshHz < kMinRefreshHz / 2 ? kDefaultRefreshHz : Clamp(refreshHz, kMinRefreshHz, kMaxRefreshHz);
    const int duration = Clamp(durationMs, kMinSmoothDurationMs, kMaxSmoothDurationMs);
    FramePlan plan;
    plan.m_periodUs = (kMicrosecondsPerSecond + hz / 2) / hz;
    const int frames = (duration * hz + 500) / 1000;
    plan.m_frames = frames < kMinFrames ? kMinFrames : frames;
    return plan;
}

void WheelAnimation::AddNotch(int distance, int frames)
{
    if (distance == 0) {
        return;
    }
    const bool reversed = (distance < 0) != (m_remaining < 0);
    // The user turned the wheel back: what was left of the other way is no longer wanted.
    if (m_remaining == 0 || reversed) {
        m_remaining = 0;
    }
    const long long sum = static_cast<long long>(m_remaining) + distance;
    // Far more than any window scrolls; the bound only keeps the sum inside an int.
    constexpr long long kMaxRemaining = 1 << 24;
    m_remaining = static_cast<int>(sum > kMaxRemaining ? kMaxRemaining : sum < -kMaxRemaining ? -kMaxRemaining : sum);
    m_framesLeft = frames < 1 ? 1 : frames;
    m_lastDelta = 0;
}

int WheelAnimation::NextDelta()
{
    if (m_remaining == 0) {
        return 0;
    }
    const long long rest = Magnitude(m_remaining);
    const long long left = m_framesLeft;
    // Rounded up, so that no frame of a running animation is empty and the run ends within its frames.
    long long delta = (rest * (2 * left - 1) + left * left - 1) / (left * left);
    if (m_lastDelta != 0 && delta > m_lastDelta) {
        // Rounding may ask one more than the frame before: the rest then takes a frame longer, never a jump.
        delta = m_lastDelta;
    }
    delta = delta < 1 ? 1 : delta > rest ? rest : delta;
    if (delta > kMaxFrameDelta) {
        delta = kMaxFrameDelta;
    }
    const bool negative = m_remaining < 0;
    const int step = static_cast<int>(delta);
    m_remaining += negative ? step : -step;
    m_lastDelta = step;
    if (m_framesLeft > 1) {
        --m_framesLeft;
    }
    return negative ? -step : step;
}

void WheelAnimation::Stop()
{
    m_remaining = 0;
    m_framesLeft = 0;
    m_lastDelta = 0;
}

bool SameAnimation(const SmoothTarget& a, const SmoothTarget& b)
{
    return a.m_window == b.m_window && a.m_axis == b.m_axis && a.m_delivery == b.m_delivery;
}

bool SmoothAnimations::AddNotch(const SmoothTarget& target, int distance, int frames)
{
    int free = -1;
    for (int slot = 0; slot < kMaxAnimations; ++slot) {
        if (m_animations[slot].Running() && SameAnimation(m_targets[slot], target)) {
            m_targets[slot] = target; // the latest notch's keys and point
            m_animations[slot].AddNotch(distance, frames);
            return true;
        }
        if (free < 0 && !m_animations[slot].Running()) {
            free = slot;
        }
    }
    if (free < 0) {
        return false;
    }
    m_targets[free] = target;
    m_animations[free].AddNotch(distance, frames);
    return true;
}

int SmoothAnimations::NextFrame(SmoothFrame (&frames)[kMaxAnimations])
{
    int count = 0;
    for (int slot = 0; slot < kMaxAnimations; ++slot) {
        const int delta = m_animations[slot].NextDelta();
        if (delta != 0) {
            frames[count].m_target = m_targets[slot];
            frames[count].m_delta = delta;
            frames[count].m_slot = slot;
            ++count;
        }
    }
    return count;
}

void SmoothAnimations::Drop(int slot)
{
    if (slot >= 0 && slot < kMaxAnimations) {
        m_animations[slot].Stop();
    }
}

bool SmoothAnimations::Running() const
{
    for (const WheelAnimation& animation : m_animations) {
        if (animation.Running()) {
            return true;
        }
    }
    return false;
}
