// Reads and keeps the facts of the windows the router looks at.
#include "window_facts.h"

namespace {

// Window chains are shallow; the bound only guards the walk against a chain that changes while it runs.
constexpr int kMaxAncestorSteps = 64;

bool IsFresh(HWND kept, DWORD readAt, HWND window, DWORD now)
{
    // Unsigned subtraction stays right across the tick count's wrap.
    return kept == window && window != nullptr && now - readAt < kFactsLifetimeMs;
}

void ReadClassName(HWND window, char (&name)[kClassNameSize])
{
    if (GetClassNameA(window, name, kClassNameSize) <= 0) {
        name[0] = '\0';
    }
}

std::uint32_t StyleOf(HWND window)
{
    return static_cast<std::uint32_t>(GetWindowLongPtrA(window, GWL_STYLE));
}

ScreenRect ToScreenRect(const RECT& rect)
{
    ScreenRect result;
    result.m_left = rect.left;
    result.m_top = rect.top;
    result.m_right = rect.right;
    result.m_bottom = rect.bottom;
    return result;
}

// The target itself or its nearest ancestor that shows a scroll bar of the given style.
HWND FindScroller(HWND window, std::uint32_t scrollStyle)
{
    for (int step = 0; window != nullptr && step < kMaxAncestorSteps; ++step) {
        const std::uint32_t style = StyleOf(window);
        if ((style & scrollStyle) != 0) {
            return window;
        }
        if ((style & WindowStyle::kChild) == 0) {
            return nullptr;
        }
        window = GetAncestor(window, GA_PARENT);
    }
    return nullptr;
}

} // namespace

bool WindowRecord::Refresh(HWND window, DWORD now)
{
    if (IsFresh(m_window, m_readAt, window, now)) {
        return true;
    }
    m_window = nullptr;
    if (GetClassNameA(window, m_className, kClassNameSize) <= 0) {
        return false; // gone
    }
    m_style = StyleOf(window);
    m_exStyle = static_cast<std::uint32_t>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    m_window = window;
    m_readAt = now;
    return true;
}

bool LiveWindowTree::Probe(HWND window, WindowProbe& probe)
{
    WindowRecord& record = window == m_pointed ? m_pointedRecord : m_other;
    if (!record.Refresh(window, m_now)) {
        return false;
    }
    probe = record.Probe();
    return true;
}

bool LiveWindowTree::Rect(HWND window, ScreenRect& rect)
{
    RECT bounds;
    if (!GetWindowRect(window, &bounds)) {
        return false;
    }
    rect = ToScreenRect(bounds);
    return true;
}

HWND LiveWindowTree::Parent(HWND window)
{
    // A top-level window's parent is the desktop, where the walk ends.
    if ((StyleOf(window) & WindowStyle::kChild) == 0) {
        return nullptr;
    }
    return GetAncestor(window, GA_PARENT);
}

bool TargetRecord::Refresh(HWND target, const WindowRecord& probe, DWORD now, bool wantScrollers,
                           const RouterSettings& settings, ProcessNames& programs)
{
    if (IsFresh(m_target, m_readAt, target, now) && (m_scrollersRead || !wantScrollers)) {
        return true;
    }
    m_target = nullptr;
    if (probe.m_window == target) {
        lstrcpynA(m_className, probe.m_className, kClassNameSize);
    } else {
        ReadClassName(target, m_className);
    }
    m_topLevel = GetAncestor(target, GA_ROOT);
    if (m_topLevel == nullptr) {
        return false; // gone
    }
    ReadClassName(m_topLevel, m_topLevelClassName);
    // An owned popup (a dialog, a drop-down) is activated through the window that owns it.
    m_rootOwner = GetAncestor(target, GA_ROOTOWNER);
    if (m_rootOwner == nullptr) {
        m_rootOwnerClassName[0] = '\0';
    } else if (m_rootOwner == m_topLevel) {
        lstrcpynA(m_rootOwnerClassName, m_topLevelClassName, kClassNameSize);
    } else {
        ReadClassName(m_rootOwner, m_rootOwnerClassName);
    }
    m_rootOwnerStyle = m_rootOwner != nullptr ? StyleOf(m_rootOwner) : 0;
    m_rootOwnerExStyle =
        m_rootOwner != nullptr ? static_cast<std::uint32_t>(GetWindowLongPtrA(m_rootOwner, GWL_EXSTYLE)) : 0;
    m_hung = IsHungAppWindow(m_topLevel) != FALSE;
    // The program is looked up only when some program is excluded: it costs a trip to the system per process.
    const char* program = settings.m_excludedPrograms.Count() > 0 ? programs.Of(target) : "";
    m_excluded = IsExcluded(settings, program, m_className, m_topLevelClassName);
    m_scrollersRead = wantScrollers;
    if (wantScrollers) {
        m_verticalScroller = FindScroller(target, WindowStyle::kVScroll);
        m_horizontalScroller = FindScroller(target, WindowStyle::kHScroll);
    }
    m_convertPoint = true;
    m_target = target;
    m_readAt = now;
    return true;
}

const ForegroundFacts& ForegroundRecord::Refresh(HWND foreground, DWORD now)
{
    if (IsFresh(m_window, m_readAt, foreground, now)) {
        return m_facts;
    }
    m_facts = ForegroundFacts();
    m_window = foreground;
    m_readAt = now;
    if (foreground == nullptr) {
        return m_facts;
    }
    m_facts.m_present = true;
    ReadClassName(foreground, m_className);
    m_facts.m_window.m_className = m_className;
    m_facts.m_window.m_style = StyleOf(foreground);
    DWORD processId = 0;
    GetWindowThreadProcessId(foreground, &processId);
    m_facts.m_ownProcess = processId == GetCurrentProcessId();
    RECT bounds;
    if (GetWindowRect(foreground, &bounds)) {
        m_facts.m_windowRect = ToScreenRect(bounds);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST), &monitor)) {
        m_facts.m_monitorRect = ToScreenRect(monitor.rcMonitor);
    }
    return m_facts;
}
