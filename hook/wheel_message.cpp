// Packs wheel message parameters: key flags, signed delta and signed screen coordinates.
#include "wheel_message.h"

namespace {

// The values of MK_LBUTTON and its siblings, fixed by the wheel message's format.
constexpr std::uint16_t kMkLeftButton = 0x0001;
constexpr std::uint16_t kMkRightButton = 0x0002;
constexpr std::uint16_t kMkShift = 0x0004;
constexpr std::uint16_t kMkControl = 0x0008;
constexpr std::uint16_t kMkMiddleButton = 0x0010;
constexpr std::uint16_t kMkXButton1 = 0x0020;
constexpr std::uint16_t kMkXButton2 = 0x0040;

std::uint32_t LowWordOf(int value)
{
    // Two's complement keeps a negative value's 16-bit pattern in the low word.
    return static_cast<std::uint32_t>(value) & 0xFFFFu;
}

} // namespace

std::uint16_t KeyStateFlags(const KeyState& keys)
{
    std::uint16_t flags = 0;
    flags |= keys.m_leftButton ? kMkLeftButton : 0;
    flags |= keys.m_rightButton ? kMkRightButton : 0;
    flags |= keys.m_shift ? kMkShift : 0;
    flags |= keys.m_control ? kMkControl : 0;
    flags |= keys.m_middleButton ? kMkMiddleButton : 0;
    flags |= keys.m_xButton1 ? kMkXButton1 : 0;
    flags |= keys.m_xButton2 ? kMkXButton2 : 0;
    return flags;
}

std::uint32_t PackWheelWParam(int delta, std::uint16_t keyFlags)
{
    return (LowWordOf(delta) << 16) | keyFlags;
}

std::uint32_t PackPointLParam(int x, int y)
{
    return (LowWordOf(y) << 16) | LowWordOf(x);
}
