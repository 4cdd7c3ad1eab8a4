// Picks how the router speaks physical pixels on this system.
#include "dpi_mode.h"

DpiMode ChooseDpiMode(const DpiFunctions& available)
{
    if (available.m_threadContextAccepted) {
        return DpiMode::ThreadContext;
    }
    return available.m_physicalPointFunctions ? DpiMode::PhysicalPointFunctions : DpiMode::Plain;
}
