// Compares another process's integrity level with the router's own.
#include "integrity_level.h"

bool RunsAboveUs(const IntegrityFacts& facts)
{
    if (!facts.m_ownKnown) {
        return false; // no integrity levels, no UIPI
    }
    return !facts.m_read || facts.m_level > facts.m_own;
}
