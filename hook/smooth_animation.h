// Smooth scrolling's animation: each notch becomes a run of partial wheel deltas that ease out over a set time. Plain
// C++ with no Windows calls: the smoothing thread asks it for each frame's deltas and carries them out.
#pragma once

#include "wheel_routing.h"

#include <cstdint>

constexpr int kMinSmoothDurationMs = 50;
constexpr int kMaxSmoothDurationMs = 1000;
constexpr int kDefaultSmoothDurationMs = 200;
constexpr int kMinRefreshHz = 30;
constexpr int kMaxRefreshHz = 240;
// Where the monitor does not say (a display driver that reports 0 or 1, "the hardware's default").
constexpr int kDefaultRefreshHz = 60;

struct FramePlan
{
    int m_periodUs = 0; // from one frame to the next
    int m_frames = 0;   // over which one notch eases out
};

// The frames of a notch for a monitor refreshing at refreshHz and a duration in milliseconds, each clamped to its
// range; a notch takes at least two frames.
FramePlan PlanFrames(int refreshHz, int durationMs);

// The wheel of one target window and one axis in motion. Each notch adds its distance to what is still to go, and
// each frame delivers an eased share of the rest: fast first, then slowing. Quadratic ease-out: with F frames
// left, the share is (2F - 1) / F^2, so the last frame delivers all that remains.
class WheelAnimation
{
  public:
    // distance: signed wheel units (120 a notch). One the other way drops what was left and starts anew.
    void AddNotch(int distance, int frames);
    // The next frame's delta, never 0 while running and never larger than the one before it since the last notch;
    // 0 once the animation has ended.
    int NextDelta();
    bool Running() const { return m_remaining != 0; }
    int Remaining() const { return m_remaining; }
    void Stop();

  private:
    int m_remaining = 0;
    int m_framesLeft = 0;
    int m_lastDelta = 0; // 0: no frame since the last notch
};

// How a frame's delta reaches the window.
enum class SmoothDelivery : std::uint8_t
{
    Post,   // posted to the window the notch was turned over
    Inject, // injected, for the system's own routing to deliver
};

// What a notch's frames carry besides their delta: the message's window, its wheel, key flags and point.
struct SmoothTarget
{
    std::uintptr_t m_window = 0;
    WheelAxis m_axis = WheelAxis::Vertical;
    SmoothDelivery m_delivery = SmoothDelivery::Post;
    std::uint32_t m_keyFlags = 0; // MK_* of the message's wParam
    std::uint32_t m_point = 0;    // the message's lParam
};

bool SameAnimation(const SmoothTarget& a, const SmoothTarget& b);

// More targets than this in motion at once: a further one is not smoothed.
constexpr int kMaxAnimations = 8;

struct SmoothFrame
{
    SmoothTarget m_target;
    int m_delta = 0;
    int m_slot = 0; // for Drop
};

// Every animation in motion, one per target window and axis.
class SmoothAnimations
{
  public:
    // False when every slot is taken by another target: the caller delivers the notch whole.
    bool AddNotch(const SmoothTarget& target, int distance, int frames);
    // The deltas of one frame, one per animation in motion; returns how many were written (at most kMaxAnimations).
    int NextFrame(SmoothFrame (&frames)[kMaxAnimations]);
    // Ends the animation of a slot: its window stopped answering or refused the post.
    void Drop(int slot);
    bool Running() const;

  private:
    SmoothTarget m_targets[kMaxAnimations];
    WheelAnimation m_animations[kMaxAnimations];
};
