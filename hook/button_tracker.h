// The mouse buttons held down, as the low-level hook sees them go down and up. The wheel messages the router
// posts carry them; following them here saves asking the system for each button on every wheel event.
#pragma once

#include "wheel_message.h"

#include <cstdint>

namespace PhysicalButton {
constexpr std::uint32_t kLeft = 1;
constexpr std::uint32_t kRight = 2;
constexpr std::uint32_t kMiddle = 4;
constexpr std::uint32_t kX1 = 8;
constexpr std::uint32_t kX2 = 16;
} // namespace PhysicalButton

class ButtonTracker
{
  public:
    // With swapped buttons (left-handed setting) the physical left button is the logical right one. The
    // low-level hook reports the physical buttons; the wheel message carries the logical ones.
    void SetSwapped(bool swapped) { m_swapped = swapped; }
    // One event as the hook got it: the message and the MSLLHOOKSTRUCT's mouseData.
    void Observe(std::uint32_t message, std::uint32_t mouseData);
    // The buttons in logical terms; modifiers are left false for the caller to fill in.
    KeyState Buttons() const;

    // The physical buttons believed down, as PhysicalButton bits: the shell asks the system about these alone.
    std::uint32_t BelievedDown() const;
    // Keeps down only the buttons the system still reports down: a release the hook never saw (on the secure
    // desktop, or swallowed by another hook) must not stay in the wheel messages.
    void ConfirmDown(std::uint32_t systemDown);

  private:
    bool m_swapped = false;
    bool m_left = false; // physical
    bool m_right = false;
    bool m_middle = false;
    bool m_x1 = false;
    bool m_x2 = false;
};
