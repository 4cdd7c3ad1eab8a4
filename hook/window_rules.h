// What the router knows of windows by their class and style: which it looks past, which it leaves to the
// system, which it never activates, and which count as full screen. Plain C++: the shell reads the facts.
#pragma once

#include <cstdint>

// The style bits the rules look at, with the values the system gives them.
namespace WindowStyle {
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kDisabled = 0x08000000;
constexpr std::uint32_t kMaximize = 0x01000000;
constexpr std::uint32_t kCaption = 0x00C00000; // border and title bar together
constexpr std::uint32_t kVScroll = 0x00200000;
constexpr std::uint32_t kHScroll = 0x00100000;
constexpr std::uint32_t kThickFrame = 0x00040000;
constexpr std::uint32_t kButtonTypeMask = 0x0000000F;
constexpr std::uint32_t kGroupBox = 0x00000007; // BS_GROUPBOX
} // namespace WindowStyle

namespace WindowExStyle {
constexpr std::uint32_t kTransparent = 0x00000020;
constexpr std::uint32_t kToolWindow = 0x00000080;
constexpr std::uint32_t kLayered = 0x00080000;
} // namespace WindowExStyle

struct ScreenRect
{
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;

    bool Contains(int x, int y) const { return x >= m_left && x < m_right && y >= m_top && y < m_bottom; }
    bool IsEmpty() const { return m_right <= m_left || m_bottom <= m_top; }
};

// One window as the shell read it.
struct WindowProbe
{
    const char* m_className = "";
    std::uint32_t m_style = 0;
    std::uint32_t m_exStyle = 0;
    bool m_cloaked = false; // present but not shown: another virtual desktop, a suspended app, a hidden flyout
};

// Window class names compare without regard to case, as the system registers them.
bool ClassNameEquals(const char* a, const char* b);

// Windows of frameworks that scroll only through the system's own routing of the wheel, and menus, which scroll
// themselves while their modal loop runs.
bool IsSystemRoutedClass(const char* className);

// The same for the class names from the window under the pointer up to its top-level window, nearest first: a
// framework's input window may lie anywhere on that chain.
bool IsSystemRoutedChain(const char* const* classes, int count);

// The desktop and the taskbar: never activated and never taken for a full-screen program.
bool IsShellClass(const char* className);

// Menus, drop-down lists and tooltips: short-lived popups that an activation would close.
bool IsTransientPopupClass(const char* className);

// A window the pointer is over that cannot take the wheel: the one beneath it should get it instead. Group boxes
// only frame other controls, tooltips and transparent windows let the pointer through, and hidden or disabled
// windows take no input.
bool IsWheelObstacle(const WindowProbe& window);

// A disabled top-level window (its program shows a modal dialog): looking past it would cross into another
// program's window, so the search ends there and the system delivers the wheel.
bool EndsTheSearch(const WindowProbe& window);

// The foreground window as the shell read it.
struct ForegroundFacts
{
    bool m_present = false;
    bool m_ownProcess = false;
    WindowProbe m_window;
    ScreenRect m_windowRect;  // the whole window, frame included
    ScreenRect m_monitorRect; // the monitor it is on
    bool m_aboveOurIntegrity = false; // its process runs at a higher integrity level: injected input never reaches it
};

// A game, a video or a presentation: another program's window without a title bar that covers its monitor.
bool IsFullScreenForeground(const ForegroundFacts& foreground);

// The full-screen rule holds only on that window's monitor: x and y are the pointer in the monitor rectangle's
// coordinates.
bool IsFullScreenAtPointer(const ForegroundFacts& foreground, int x, int y);

// The window an activation would bring forward (the target's root owner), as the shell read it.
struct ActivationFacts
{
    bool m_present = false;
    bool m_isForeground = false;
    WindowProbe m_window;
};

// Only a visible top-level window that is not a tool window and not part of the shell may be brought forward.
bool IsActivatable(const ActivationFacts& rootOwner);
