// Hands notches from the hook callback to the smoothing thread without a lock, a wait or an allocation: a ring of
// fixed size with one writer (the hook thread) and one reader (the smoothing thread). Plain C++.
#pragma once

#include "smooth_animation.h"

#include <atomic>
#include <cstdint>

struct SmoothNotch
{
    SmoothTarget m_target;
    int m_distance = 0; // signed wheel units, acceleration applied
    int m_x = 0;        // the pointer, in physical pixels: its monitor sets the frame rate
    int m_y = 0;
};

// Far more notches than a wheel turns between two wakes of the reader.
constexpr std::uint32_t kNotchQueueSize = 64;

class NotchQueue
{
  public:
    // On the writer's thread only; false when the ring is full (the notch is then delivered whole).
    bool Push(const SmoothNotch& notch)
    {
        const std::uint32_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail - m_head.load(std::memory_order_acquire) >= kNotchQueueSize) {
            return false;
        }
        m_slots[tail % kNotchQueueSize] = notch;
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    // On the reader's thread only; false when empty.
    bool Pop(SmoothNotch& notch)
    {
        const std::uint32_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire)) {
            return false;
        }
        notch = m_slots[head % kNotchQueueSize];
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

  private:
    SmoothNotch m_slots[kNotchQueueSize];
    std::atomic<std::uint32_t> m_head{0};
    std::atomic<std::uint32_t> m_tail{0};
};
