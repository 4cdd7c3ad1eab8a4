// Follows the mouse buttons through the button messages the low-level hook sees.
#include "button_tracker.h"

namespace {

// The message numbers and X button identifiers, fixed by the system.
constexpr std::uint32_t kLeftDown = 0x0201;
constexpr std::uint32_t kLeftUp = 0x0202;
constexpr std::uint32_t kRightDown = 0x0204;
constexpr std::uint32_t kRightUp = 0x0205;
constexpr std::uint32_t kMiddleDown = 0x0207;
constexpr std::uint32_t kMiddleUp = 0x0208;
constexpr std::uint32_t kXDown = 0x020B;
constexpr std::uint32_t kXUp = 0x020C;
constexpr std::uint32_t kXButton1 = 0x0001;
constexpr std::uint32_t kXButton2 = 0x0002;

} // namespace

void ButtonTracker::Observe(std::uint32_t message, std::uint32_t mouseData)
{
    switch (message) {
    case kLeftDown:
    case kLeftUp:
        m_left = message == kLeftDown;
        break;
    case kRightDown:
    case kRightUp:
        m_right = message == kRightDown;
        break;
    case kMiddleDown:
    case kMiddleUp:
        m_middle = message == kMiddleDown;
        break;
    case kXDown:
    case kXUp: {
        const std::uint32_t which = mouseData >> 16;
        if ((which & kXButton1) != 0) {
            m_x1 = message == kXDown;
        }
        if ((which & kXButton2) != 0) {
            m_x2 = message == kXDown;
        }
        break;
    }
    default:
        break;
    }
}

KeyState ButtonTracker::Buttons() const
{
    KeyState keys;
    keys.m_leftButton = m_swapped ? m_right : m_left;
    keys.m_rightButton = m_swapped ? m_left : m_right;
    keys.m_middleButton = m_middle;
    keys.m_xButton1 = m_x1;
    keys.m_xButton2 = m_x2;
    return keys;
}

std::uint32_t ButtonTracker::BelievedDown() const
{
    return (m_left ? PhysicalButton::kLeft : 0) | (m_right ? PhysicalButton::kRight : 0) |
           (m_middle ? PhysicalButton::kMiddle : 0) | (m_x1 ? PhysicalButton::kX1 : 0) |
           (m_x2 ? PhysicalButton::kX2 : 0);
}

void ButtonTracker::ConfirmDown(std::uint32_t systemDown)
{
    m_left = m_left && (systemDown & PhysicalButton::kLeft) != 0;
    m_right = m_right && (systemDown & PhysicalButton::kRight) != 0;
    m_middle = m_middle && (systemDown & PhysicalButton::kMiddle) != 0;
    m_x1 = m_x1 && (systemDown & PhysicalButton::kX1) != 0;
    m_x2 = m_x2 && (systemDown & PhysicalButton::kX2) != 0;
}
