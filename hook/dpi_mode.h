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
};

DpiMode ChooseDpiMode(const DpiFunctions& available);
