// How the router finds the window under the pointer in physical pixels, from what the system offers.
#pragma once

enum class DpiMode
{
    // Windows 10 1607 and later: the hook thread works per-monitor aware, so every query speaks physical pixels.
    ThreadContext,
    // Vista to 1511: WindowFromPhysicalPoint finds the window, PhysicalToLogicalPoint gives it its coordinates.
    PhysicalPointFunctions,
    // Before Vista there is no scaling to undo.
    Plain,
};

struct DpiFunctions
{
    bool m_threadContextAccepted = false;  // SetThreadDpiAwarenessContext exists and took a per-monitor context
    bool m_physicalPointFunctions = false; // WindowFromPhysicalPoint and PhysicalToLogicalPoint both exist
    bool m_perMonitorPointFunction = false; // PhysicalToLogicalPointForPerMonitorDPI exists (Windows 8.1 on)
};

DpiMode ChooseDpiMode(const DpiFunctions& available);

// Which function turns a physical point into a window's logical one.
enum class PointConversion
{
    None,
    PerMonitor, // PhysicalToLogicalPointForPerMonitorDPI: from 8.1 on, where PhysicalToLogicalPoint does nothing
    Vista,      // PhysicalToLogicalPoint: Vista and 7
};
PointConversion ChoosePointConversion(const DpiFunctions& available);

// The point the search compares with window rectangles, which this thread reads in its own coordinates.
enum class SearchPoint
{
    Physical,     // the thread speaks physical pixels, or its process is DPI-aware on Vista and 7
    OwnWindow,    // converted for a window of this process, whose coordinates are this thread's
    PointedWindow // converted for the window under the pointer: the best guess without a window of our own
};
SearchPoint ChooseSearchPoint(DpiMode mode, bool ownWindowKnown, bool processDpiAware);
