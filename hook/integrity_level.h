// Whether another process runs at a higher integrity level than the router's (an elevated program, Task Manager):
// UIPI then drops our posted messages and injected input aimed at it. Plain C++: the shell reads the tokens.
#pragma once

#include <cstdint>

// What the shell could read of one process and of our own.
struct IntegrityFacts
{
    bool m_ownKnown = false; // our own level was read: the system has integrity levels (Vista on)
    std::uint32_t m_own = 0; // the mandatory label's RID: 0x2000 medium, 0x3000 high
    bool m_read = false;     // the other process's token could be opened and read
    std::uint32_t m_level = 0;
};

// A process whose token we may not read counts as higher: a same-level process of the same user always lets us.
bool RunsAboveUs(const IntegrityFacts& facts);
