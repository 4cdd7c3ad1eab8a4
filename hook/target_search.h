// Finds the window that should get the wheel when the one under the pointer cannot take it: the control beneath a
// group box, the window beneath a tooltip. Written against a small view of the window tree so that the host tests
// can run it over a tree of their own; the library's view asks Windows.
//
// The walk goes down the Z-order with plain queries, as ChildWindowFromPointEx does with CWP_SKIPINVISIBLE,
// CWP_SKIPDISABLED and CWP_SKIPTRANSPARENT, but it also skips group boxes and tooltips, which those flags do not
// know. Peers that hide the obstacle for a second WindowFromPoint change another program's window from inside
// the hook and make it repaint; this changes nothing and sends nothing.
#pragma once

#include "window_rules.h"

// Z-order walks are short; the bound only guards against a tree that changes while it is walked.
constexpr int kMaxSearchSteps = 256;

// View is a class with:
//   using Handle = ...;                 // null is Handle{}
//   bool Probe(Handle, WindowProbe&);   // false when the window is gone
//   bool Rect(Handle, ScreenRect&);     // in the same coordinates as the point
//   Handle Parent(Handle);              // Handle{} for a top-level window
//   Handle FirstChild(Handle);          // topmost child
//   Handle Next(Handle);                // the next window below in the Z-order, among its siblings
template <class View> class TargetSearch
{
  public:
    using Handle = typename View::Handle;

    TargetSearch(View& view, int x, int y) : m_view(view), m_x(x), m_y(y) {}

    // pointed is what WindowFromPoint gave; the result is the window that should get the wheel, or Handle{}
    // when nothing under the point can take it.
    Handle Find(Handle pointed)
    {
        Handle window = pointed;
        while (window != Handle{} && m_steps < kMaxSearchSteps) {
            ++m_steps;
            WindowProbe probe;
            if (!m_view.Probe(window, probe) || EndsTheSearch(probe)) {
                return Handle{};
            }
            if (!IsWheelObstacle(probe)) {
                return window;
            }
            // The window beneath the obstacle among its siblings, or else the window that holds them.
            const Handle beneath = FirstTakerFrom(m_view.Next(window));
            if (beneath != Handle{}) {
                return Descend(beneath);
            }
            if (m_ended) {
                return Handle{};
            }
            window = m_view.Parent(window);
        }
        return Handle{};
    }

  private:
    bool TakesTheWheelHere(Handle window)
    {
        WindowProbe probe;
        ScreenRect rect;
        if (!m_view.Probe(window, probe)) {
            return false;
        }
        const bool ends = EndsTheSearch(probe);
        if ((!ends && IsWheelObstacle(probe)) || !m_view.Rect(window, rect) || !rect.Contains(m_x, m_y)) {
            return false;
        }
        m_ended = ends;
        return !ends;
    }

    // The first window from this one on down the Z-order that lies under the point and can take the wheel.
    Handle FirstTakerFrom(Handle window)
    {
        for (; window != Handle{} && !m_ended && m_steps < kMaxSearchSteps; window = m_view.Next(window)) {
            ++m_steps;
            if (TakesTheWheelHere(window)) {
                return window;
            }
        }
        return Handle{};
    }

    // The deepest window under the point inside this one, as WindowFromPoint would have found it.
    Handle Descend(Handle window)
    {
        for (;;) {
            const Handle child = FirstTakerFrom(m_view.FirstChild(window));
            if (child == Handle{}) {
                return window;
            }
            window = child;
        }
    }

    View& m_view;
    int m_x;
    int m_y;
    int m_steps = 0;
    bool m_ended = false; // a disabled top-level window lies under the point
};
