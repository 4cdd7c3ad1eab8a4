// Reads and keeps the facts of the windows the router looks at.
#include "window_facts.h"

#include "system_functions.h"

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

// DWMWA_CLOAKED, Windows 8 on; only top-level windows are cloaked.
constexpr DWORD kDwmCloaked = 14;

bool IsCloaked(HWND window, std::uint32_t style)
{
    const DwmGetWindowAttributeProc query = Functions().m_dwmGetWindowAttribute;
    DWORD cloaked = 0;
    return query != nullptr && (style & WindowStyle::kChild) == 0 &&
           SUCCEEDED(query(window, kDwmCloaked, &cloaked, sizeof(cloaked))) && cloaked != 0;
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
    m_cloaked = IsCloaked(window, m_style);
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
    // The window that gets the post: an embedded window of another thread may hang while its top-level one reads.
    m_hung = IsHungAppWindow(target) != FALSE;
    m_topLevelDisabled = (StyleOf(m_topLevel) & WindowStyle::kDisabled) != 0;
    ReadClassChain(target);
    m_aboveUs = programs.AboveOurIntegrity(target);
    // The program's name is kept with its integrity, once per process.
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

void TargetRecord::ReadClassChain(HWND target)
{
    m_classChainCount = 0;
    HWND window = target;
    for (int step = 0; window != nullptr && window != m_topLevel && step < kMaxAncestorSteps; ++step) {
        if (m_classChainCount < kMaxClassChain - 1) {
            char(&name)[kClassNameSize] = m_chainNames[m_classChainCount];
            if (window == target) {
                lstrcpynA(name, m_className, kClassNameSize);
            } else {
                ReadClassName(window, name);
            }
            m_classChain[m_classChainCount] = name;
            ++m_classChainCount;
        }
        window = GetAncestor(window, GA_PARENT);
    }
    lstrcpynA(m_chainNames[m_classChainCount], m_topLevelClassName, kClassNameSize);
    m_classChain[m_classChainCount] = m_chainNames[m_classChainCount];
    ++m_classChainCount;
}

const ForegroundFacts& ForegroundRecord::Refresh(HWND foreground, DWORD now, ProcessNames& programs)
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
    m_facts.m_aboveOurIntegrity = !m_facts.m_ownProcess && programs.AboveOurIntegrity(foreground);
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
