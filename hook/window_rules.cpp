// Class and style rules of the router: system-routed frameworks, the shell, popups, obstacles, full screen.
#include "window_rules.h"

#include <cstddef>

namespace {

// These windows take the wheel from the system's pointer routing only; a posted wheel message does nothing or
// confuses their input stack, so the event is left to the system.
constexpr const char* kSystemRoutedClasses[] = {
    "ApplicationFrameWindow",
    "Windows.UI.Core.CoreWindow",
    "Windows.UI.Input.InputSite.WindowClass",
    "Microsoft.UI.Content.DesktopChildSiteBridge",
    "Windows.UI.Composition.DesktopWindowContentBridge",
    "InputSiteWindowClass",
    "Xaml_WindowedPopupClass",
    "Microsoft.UI.Content.PopupWindowSiteBridge",
    "#32768", // popup menus scroll themselves while their modal loop runs
};

constexpr const char* kShellClasses[] = {
    "Progman",
    "WorkerW",
    "Shell_TrayWnd",
    "Shell_SecondaryTrayWnd",
};

constexpr const char* kTransientPopupClasses[] = {
    "#32768",    // menus
    "ComboLBox", // a combo box's open list
    "tooltips_class32",
    "SysShadow", // the drop shadow of a menu or tooltip
};

constexpr const char* kTooltipClass = "tooltips_class32";
constexpr const char* kButtonClass = "Button";

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

template <std::size_t N> bool IsInTable(const char* className, const char* const (&table)[N])
{
    if (className == nullptr) {
        return false;
    }
    for (const char* entry : table) {
        if (ClassNameEquals(className, entry)) {
            return true;
        }
    }
    return false;
}

bool Covers(const ScreenRect& outer, const ScreenRect& inner)
{
    return outer.m_left <= inner.m_left && outer.m_top <= inner.m_top && outer.m_right >= inner.m_right &&
           outer.m_bottom >= inner.m_bottom;
}

} // namespace

bool ClassNameEquals(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) {
            return false;
        }
    }
    return *a == *b;
}

bool IsSystemRoutedClass(const char* className)
{
    return IsInTable(className, kSystemRoutedClasses);
}

bool IsSystemRoutedChain(const char* const* classes, int count)
{
    for (int i = 0; i < count; ++i) {
        if (IsSystemRoutedClass(classes[i])) {
            return true;
        }
    }
    return false;
}

bool IsShellClass(const char* className)
{
    return IsInTable(className, kShellClasses);
}

bool IsTransientPopupClass(const char* className)
{
    return IsInTable(className, kTransientPopupClasses);
}

bool IsWheelObstacle(const WindowProbe& window)
{
    if ((window.m_style & WindowStyle::kVisible) == 0 || (window.m_style & WindowStyle::kDisabled) != 0) {
        return true;
    }
    // The system's hit test passes through a transparent window only when it is layered as well; cloaked
    // windows it does not see at all.
    const std::uint32_t passThrough = WindowExStyle::kTransparent | WindowExStyle::kLayered;
    if ((window.m_exStyle & passThrough) == passThrough || window.m_cloaked) {
        return true;
    }
    if (window.m_className == nullptr) {
        return false;
    }
    // A group box answers the system's hit test with "transparent" only to its own thread: seen from another
    // process it hides the controls it frames.
    if (ClassNameEquals(window.m_className, kButtonClass) &&
        (window.m_style & WindowStyle::kButtonTypeMask) == WindowStyle::kGroupBox) {
        return true;
    }
    return ClassNameEquals(window.m_className, kTooltipClass);
}

bool EndsTheSearch(const WindowProbe& window)
{
    return (window.m_style & (WindowStyle::kChild | WindowStyle::kDisabled)) == WindowStyle::kDisabled;
}

bool IsFullScreenForeground(const ForegroundFacts& foreground)
{
    if (!foreground.m_present || foreground.m_ownProcess || IsShellClass(foreground.m_window.m_className)) {
        return false;
    }
    const std::uint32_t style = foreground.m_window.m_style;
    // A title bar means an ordinary window, maximized or not; so does a maximized sizing frame, which browsers and
    // editors that draw their own title bar keep.
    if ((style & WindowStyle::kCaption) == WindowStyle::kCaption) {
        return false;
    }
    if ((style & WindowStyle::kMaximize) != 0 && (style & WindowStyle::kThickFrame) != 0) {
        return false;
    }
    return !foreground.m_monitorRect.IsEmpty() && Covers(foreground.m_windowRect, foreground.m_monitorRect);
}

bool IsFullScreenAtPointer(const ForegroundFacts& foreground, int x, int y)
{
    return IsFullScreenForeground(foreground) && foreground.m_monitorRect.Contains(x, y);
}

bool IsActivatable(const ActivationFacts& rootOwner)
{
    const WindowProbe& window = rootOwner.m_window;
    return rootOwner.m_present && (window.m_style & WindowStyle::kChild) == 0 &&
           (window.m_style & WindowStyle::kVisible) != 0 && (window.m_exStyle & WindowExStyle::kToolWindow) == 0 &&
           !IsShellClass(window.m_className) && !IsTransientPopupClass(window.m_className);
}
