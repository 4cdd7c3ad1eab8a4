// Turns the wheel deltas of the converted mode into line-scroll counts. Precision touchpads and free-spinning
// wheels send fractions of a notch; they are added up so that none is lost and none counts as a whole notch.
#pragma once

#include "wheel_routing.h"

#include <cstdint>

// A whole notch never asks for more line messages than this, whatever LinesToScroll holds: more would only
// flood the target's queue.
constexpr int kMaxLinesPerNotch = 100;
// Nor does one event, however many notches a free-spinning wheel packs into it.
constexpr int kMaxLineMessagesPerEvent = 300;
// A fraction left over from a scroll this long ago belongs to a gesture that has ended.
constexpr std::uint32_t kRemainderLifetimeMs = 1000;

class ScrollAccumulator
{
  public:
    // Adds a delta aimed at target at the given tick (milliseconds, wrapping); returns the whole notches now
    // complete (signed) and keeps the rest. What was kept for another target, for the other direction or from
    // more than kRemainderLifetimeMs ago is dropped first, so an old fraction never eats into a new notch.
    int AddDelta(int delta, std::uintptr_t target, std::uint32_t tick);
    int Remainder() const { return m_remainder; }
    void Reset() { m_remainder = 0; }

  private:
    int m_remainder = 0;
    std::uintptr_t m_target = 0;
    std::uint32_t m_lastTick = 0;
};

struct LineScrollPlan
{
    int m_lineCount = 0;        // line messages to post before the end-of-scroll message
    bool m_towardStart = false; // SB_LINEUP / SB_LINELEFT rather than SB_LINEDOWN / SB_LINERIGHT
};

// A positive vertical delta rolls away from the user and scrolls up; a positive horizontal one tilts right.
LineScrollPlan PlanLineScroll(WheelAxis axis, int notches, int linesToScroll);
