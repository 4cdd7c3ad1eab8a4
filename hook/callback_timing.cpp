// A ring of the latest wheel callback durations: written by the hook thread alone, read by the export.
#include "callback_timing.h"

#include <atomic>
#include <cstdint>

namespace {

std::atomic<std::uint32_t> Durations[kTimedCallbacks];
std::atomic<std::uint32_t> Recorded{0};

} // namespace

void RecordWheelCallback(LONGLONG began, LONGLONG ended)
{
    const LONGLONG ticks = ended - began;
    const std::uint32_t count = Recorded.load(std::memory_order_relaxed);
    Durations[count % kTimedCallbacks].store(ticks > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<std::uint32_t>(ticks),
                                             std::memory_order_relaxed);
    Recorded.store(count + 1, std::memory_order_release);
}

int ReadWheelCallbackTimes(double* microseconds, int capacity)
{
    LARGE_INTEGER frequency;
    if (microseconds == nullptr || capacity <= 0 || !QueryPerformanceFrequency(&frequency)) {
        return 0;
    }
    const std::uint32_t recorded = Recorded.load(std::memory_order_acquire);
    std::uint32_t available = recorded < kTimedCallbacks ? recorded : kTimedCallbacks;
    if (available > static_cast<std::uint32_t>(capacity)) {
        available = static_cast<std::uint32_t>(capacity);
    }
    for (std::uint32_t i = 0; i < available; ++i) {
        const std::uint32_t ticks =
            Durations[(recorded - available + i) % kTimedCallbacks].load(std::memory_order_relaxed);
        microseconds[i] = static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency.QuadPart);
    }
    return static_cast<int>(available);
}
