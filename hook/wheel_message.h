// Packs the parameters of the wheel messages the hook posts, as the system would have built them.
#pragma once

#include <cstdint>

// Mouse-button and modifier state as the system reports it in the low word of a wheel message.
struct KeyState
{
    bool m_leftButton = false;
    bool m_rightButton = false;
    bool m_middleButton = false;
    bool m_xButton1 = false;
    bool m_xButton2 = false;
    bool m_shift = false;
    bool m_control = false;
};

// The MK_ flags of the low word.
std::uint16_t KeyStateFlags(const KeyState& keys);

// wParam: the key flags in the low word, the signed delta in the high word.
std::uint32_t PackWheelWParam(int delta, std::uint16_t keyFlags);

// lParam: signed 16-bit screen coordinates, so monitors left of or above the primary keep their minus sign.
std::uint32_t PackPointLParam(int x, int y);
