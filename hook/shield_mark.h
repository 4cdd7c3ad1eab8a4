// Remembers the one top-level window that refused a post for access: a process of higher integrity, which UIPI
// shields from ours. Its wheel is left to the system for a while instead of failing a post on every notch.
#pragma once

#include <cstdint>

// The mark lapses after this long: integrity is per process, and a handle, once its window is gone, may come back
// for a window of another program.
constexpr std::uint32_t kShieldLifetimeMs = 5000;

// What a failed post means, from its last error: only a refusal for access marks the window.
enum class PostFailure
{
    Shielded,  // ERROR_ACCESS_DENIED
    Transient, // a full queue or anything else: that one event goes to the system
};
PostFailure ClassifyPostFailure(std::uint32_t lastError);

class ShieldMark
{
  public:
    void Mark(std::uintptr_t window, std::uint32_t tick);
    // True while window is the marked one and the mark is younger than kShieldLifetimeMs (ticks wrap).
    bool Covers(std::uintptr_t window, std::uint32_t tick) const;
    void Clear() { m_window = 0; }

  private:
    std::uintptr_t m_window = 0;
    std::uint32_t m_tick = 0;
};
