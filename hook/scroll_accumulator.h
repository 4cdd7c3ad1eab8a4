// Turns the wheel deltas of the converted mode into line-scroll counts. Precision touchpads and free-spinning
// wheels send fractions of a notch; they are added up so that none is lost and none counts as a whole notch.
#pragma once

#include "wheel_routing.h"

// More line messages than this for one event would only flood the target's queue.
constexpr int kMaxLineMessagesPerEvent = 1000;

class ScrollAccumulator
{
  public:
    // Adds a delta; returns the whole notches now complete (signed) and keeps the rest for later deltas.
    int AddDelta(int delta);
    int Remainder() const { return m_remainder; }
    void Reset() { m_remainder = 0; }

  private:
    int m_remainder = 0;
};

struct LineScrollPlan
{
    int m_lineCount = 0;        // line messages to post before the end-of-scroll message
    bool m_towardStart = false; // SB_LINEUP / SB_LINELEFT rather than SB_LINEDOWN / SB_LINERIGHT
};

// A positive vertical delta rolls away from the user and scrolls up; a positive horizontal one tilts right.
LineScrollPlan PlanLineScroll(WheelAxis axis, int notches, int linesToScroll);
