// The shield mark of a window that refused a post for access, and how long it lasts.
#include "shield_mark.h"

namespace {
constexpr std::uint32_t kErrorAccessDenied = 5;
}

PostFailure ClassifyPostFailure(std::uint32_t lastError)
{
    return lastError == kErrorAccessDenied ? PostFailure::Shielded : PostFailure::Transient;
}

void ShieldMark::Mark(std::uintptr_t window, std::uint32_t tick)
{
    m_window = window;
    m_tick = tick;
}

bool ShieldMark::Covers(std::uintptr_t window, std::uint32_t tick) const
{
    return window != 0 && window == m_window && tick - m_tick < kShieldLifetimeMs;
}
