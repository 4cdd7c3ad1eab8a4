// Picks how the router speaks physical pixels on this system.
#include "dpi_mode.h"

DpiMode ChooseDpiMode(const DpiFunctions& available)
{
    if (available.m_threadContextAccepted) {
        return DpiMode::ThreadContext;
    }
    return available.m_physicalPointFunctions ? DpiMode::PhysicalPointFunctions : DpiMode::Plain;
}

PointConversion ChoosePointConversion(const DpiFunctions& available)
{
    if (available.m_perMonitorPointFunction &&
        (available.m_threadContextAccepted || available.m_physicalPointFunctions)) {
        return PointConversion::PerMonitor;
    }
    if (available.m_threadContextAccepted) {
        return PointConversion::None;
    }
    return available.m_physicalPointFunctions ? PointConversion::Vista : PointConversion::None;
}

SearchPoint ChooseSearchPoint(DpiMode mode, bool ownWindowKnown, bool processDpiAware)
{
    if (mode != DpiMode::PhysicalPointFunctions) {
        return SearchPoint::Physical;
    }
    if (ownWindowKnown) {
        return SearchPoint::OwnWindow;
    }
    return processDpiAware ? SearchPoint::Physical : SearchPoint::PointedWindow;
}
