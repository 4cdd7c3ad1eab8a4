// RollixHook.dll's Win32 shell: installs the low-level mouse hook, gathers what the routing needs to know about
// the windows under the pointer and in the foreground, and carries out what it decides.
#include "rollix_hook_api.h"

#include "ole_date.h"
#include "scroll_accumulator.h"
#include "wheel_message.h"
#include "wheel_routing.h"

namespace {

constexpr char kProgramWindowClass[] = "obj_Form";
constexpr char kProgramWindowCaption[] = "Rollix Portable";
constexpr char kControlMessageName[] = "WM_ROLLIX_MSG";
constexpr WPARAM kActivateWindowCode = 8;
// Longer than every class name the routing compares; a longer name is cut and then matches none of them.
constexpr int kClassNameSize = 64;
// Window chains are shallow; the bound only guards the walk against a chain that changes while it runs.
constexpr int kMaxAncestorSteps = 64;
constexpr SHORT kKeyDownBit = static_cast<SHORT>(0x8000);

// DPI awareness contexts exist from Windows 10 1607 on; the library looks them up so it still loads earlier.
using DpiAwarenessContext = HANDLE;
const DpiAwarenessContext kPerMonitorAwareV2 = reinterpret_cast<DpiAwarenessContext>(static_cast<INT_PTR>(-4));
const DpiAwarenessContext kPerMonitorAware = reinterpret_cast<DpiAwarenessContext>(static_cast<INT_PTR>(-3));
using SetThreadDpiAwarenessContextProc = DpiAwarenessContext(WINAPI*)(DpiAwarenessContext);
using PhysicalToLogicalPointProc = BOOL(WINAPI*)(HWND, POINT*);

// The class name of the window last asked about. A window's class never changes, and where every query about
// another process's window costs a trip to the window server (Wine), asking once per window keeps the callback fast.
struct ClassNameCache
{
    HWND m_window = nullptr;
    char m_name[kClassNameSize] = "";
    bool m_ownProcess = false;

    const char* Of(HWND window)
    {
        if (window != m_window) {
            m_window = window;
            if (GetClassNameA(window, m_name, kClassNameSize) <= 0) {
                m_name[0] = '\0';
            }
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            m_ownProcess = processId == GetCurrentProcessId();
        }
        return m_name;
    }
};

// Everything the hook keeps. The callback and the three exports all run on the program's one thread (a
// low-level hook is called on the thread that installed it), so nothing here needs a lock.
struct HookState
{
    HMODULE m_module = nullptr;
    HHOOK m_hook = nullptr;
    HookSettings m_settings;
    ScrollAccumulator m_vertical;
    ScrollAccumulator m_horizontal;
    HWND m_programWindow = nullptr;
    UINT m_controlMessage = 0;
    // The last top-level window that refused a post: a process of higher integrity, which UIPI shields.
    HWND m_refusingTopLevel = nullptr;
    DWORD m_lastMouseTick = 0;
    bool m_everStarted = false;
    // The monitor of the foreground window as last looked up, kept while that window keeps its place: the
    // monitor query is by far the slowest call of the callback.
    HWND m_monitorOf = nullptr;
    RECT m_monitorOfClient{};
    ScreenRect m_monitorRect;
    ClassNameCache m_foregroundClass;
    ClassNameCache m_targetClass;
    ClassNameCache m_topLevelClass;
    bool m_dpiResolved = false;
    SetThreadDpiAwarenessContextProc m_setThreadDpiAwareness = nullptr;
    DpiAwarenessContext m_physicalPixelsContext = nullptr;
    PhysicalToLogicalPointProc m_physicalToLogical = nullptr;
};

HookState State;

// The low-level hook reports the pointer in physical pixels. The program is not DPI aware, so on a scaled
// monitor the system would take such a point for a scaled one and find the wrong window. For the length of the
// callback the thread therefore works per-monitor aware: WindowFromPoint, the window and monitor rectangles and
// the hook's point then all speak physical pixels. Only the posted point is turned into the target's own
// coordinates (PostWheel).
class PhysicalPixelsScope
{
  public:
    PhysicalPixelsScope()
    {
        if (State.m_physicalPixelsContext != nullptr) {
            m_previous = State.m_setThreadDpiAwareness(State.m_physicalPixelsContext);
        }
    }
    ~PhysicalPixelsScope()
    {
        if (m_previous != nullptr) {
            State.m_setThreadDpiAwareness(m_previous);
        }
    }
    PhysicalPixelsScope(const PhysicalPixelsScope&) = delete;
    PhysicalPixelsScope& operator=(const PhysicalPixelsScope&) = delete;

  private:
    DpiAwarenessContext m_previous = nullptr;
};

void ResolveDpiFunctions()
{
    if (State.m_dpiResolved) {
        return;
    }
    State.m_dpiResolved = true;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) {
        return;
    }
    State.m_setThreadDpiAwareness = reinterpret_cast<SetThreadDpiAwarenessContextProc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    State.m_physicalToLogical = reinterpret_cast<PhysicalToLogicalPointProc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "PhysicalToLogicalPointForPerMonitorDPI")));
    if (State.m_setThreadDpiAwareness == nullptr) {
        return;
    }
    // Version 2 came with Windows 10 1703; 1607 knows only the first per-monitor context. A refused context
    // returns null and leaves the thread as it was.
    const DpiAwarenessContext candidates[] = {kPerMonitorAwareV2, kPerMonitorAware};
    for (DpiAwarenessContext context : candidates) {
        DpiAwarenessContext previous = State.m_setThreadDpiAwareness(context);
        if (previous != nullptr) {
            State.m_setThreadDpiAwareness(previous);
            State.m_physicalPixelsContext = context;
            return;
        }
    }
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

ForegroundFacts GatherForeground(HWND foreground)
{
    ForegroundFacts facts;
    if (foreground == nullptr) {
        return facts;
    }
    facts.m_present = true;
    facts.m_className = State.m_foregroundClass.Of(foreground);
    facts.m_ownProcess = State.m_foregroundClass.m_ownProcess;
    RECT client{};
    if (!GetClientRect(foreground, &client)) {
        return facts;
    }
    MapWindowPoints(foreground, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    facts.m_clientRect = ToScreenRect(client);
    if (foreground != State.m_monitorOf || !EqualRect(&client, &State.m_monitorOfClient)) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        const bool found = GetMonitorInfoA(MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST), &monitor);
        State.m_monitorRect = found ? ToScreenRect(monitor.rcMonitor) : ScreenRect();
        State.m_monitorOf = foreground;
        State.m_monitorOfClient = client;
    }
    facts.m_monitorRect = State.m_monitorRect;
    return facts;
}

// The windows behind the facts, for carrying out the decision.
struct TargetWindows
{
    HWND m_target = nullptr;
    HWND m_topLevel = nullptr;
    HWND m_scrollTarget = nullptr;
};

// The target itself or its nearest ancestor that shows a scroll bar on the wheel's axis.
HWND FindScrollAncestor(HWND window, WheelAxis axis)
{
    const LONG_PTR scrollStyle = axis == WheelAxis::Vertical ? WS_VSCROLL : WS_HSCROLL;
    for (int step = 0; window != nullptr && step < kMaxAncestorSteps; ++step) {
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        if ((style & scrollStyle) != 0) {
            return window;
        }
        if ((style & WS_CHILD) == 0) {
            return nullptr;
        }
        window = GetAncestor(window, GA_PARENT);
    }
    return nullptr;
}

TargetFacts GatherTarget(POINT point, WheelAxis axis, HWND foreground, TargetWindows& windows)
{
    TargetFacts facts;
    // WindowFromPoint already gives the deepest child at the point and skips hidden, disabled and transparent
    // ones (a group box over a list leaves the list); what it returns is the window that would take a click.
    HWND target = WindowFromPoint(point);
    if (target == nullptr || !IsWindowEnabled(target)) {
        return facts;
    }
    facts.m_found = true;
    windows.m_target = target;
    windows.m_topLevel = GetAncestor(target, GA_ROOT);
    facts.m_className = State.m_targetClass.Of(target);
    if (windows.m_topLevel != nullptr) {
        facts.m_topLevelClassName = State.m_topLevelClass.Of(windows.m_topLevel);
    }
    facts.m_topLevelIsForeground = windows.m_topLevel == foreground;
    facts.m_refusesPosts = windows.m_topLevel != nullptr && windows.m_topLevel == State.m_refusingTopLevel;
    facts.m_programWindowKnown = State.m_programWindow != nullptr;
    if (State.m_settings.m_convertToScroll) {
        windows.m_scrollTarget = FindScrollAncestor(target, axis);
        facts.m_hasScrollAncestor = windows.m_scrollTarget != nullptr;
    }
    return facts;
}

bool IsKeyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & kKeyDownBit) != 0;
}

KeyState CurrentKeyState()
{
    // GetAsyncKeyState reports the physical buttons; the message carries the logical ones, which swap for
    // left-handed users.
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    KeyState keys;
    keys.m_leftButton = IsKeyDown(swapped ? VK_RBUTTON : VK_LBUTTON);
    keys.m_rightButton = IsKeyDown(swapped ? VK_LBUTTON : VK_RBUTTON);
    keys.m_middleButton = IsKeyDown(VK_MBUTTON);
    keys.m_xButton1 = IsKeyDown(VK_XBUTTON1);
    keys.m_xButton2 = IsKeyDown(VK_XBUTTON2);
    keys.m_shift = IsKeyDown(VK_SHIFT);
    keys.m_control = IsKeyDown(VK_CONTROL);
    return keys;
}

enum class Delivery
{
    Delivered,
    Refused,
};

Delivery PostWheel(HWND target, WheelAxis axis, int delta, POINT point)
{
    // A window that is not per-monitor aware expects the pointer in its own scaled coordinates, as the system
    // would have delivered it; the conversion leaves the point alone for an aware one.
    POINT targetPoint = point;
    if (State.m_physicalToLogical != nullptr && !State.m_physicalToLogical(target, &targetPoint)) {
        targetPoint = point;
    }
    const UINT message = axis == WheelAxis::Vertical ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
    const WPARAM wParam = PackWheelWParam(delta, KeyStateFlags(CurrentKeyState()));
    const LPARAM lParam = static_cast<LPARAM>(static_cast<LONG>(PackPointLParam(targetPoint.x, targetPoint.y)));
    return PostMessageA(target, message, wParam, lParam) ? Delivery::Delivered : Delivery::Refused;
}

Delivery PostScrollLines(HWND scrollTarget, WheelAxis axis, int delta)
{
    ScrollAccumulator& kept = axis == WheelAxis::Vertical ? State.m_vertical : State.m_horizontal;
    // Work on a copy: if the window refuses the messages, the system delivers the event itself and the delta
    // must not count a second time.
    ScrollAccumulator next = kept;
    const LineScrollPlan plan = PlanLineScroll(axis, next.AddDelta(delta), State.m_settings.m_linesToScroll);
    if (plan.m_lineCount == 0) {
        kept = next;
        return Delivery::Delivered;
    }
    const UINT message = axis == WheelAxis::Vertical ? WM_VSCROLL : WM_HSCROLL;
    // SB_LINELEFT and SB_LINERIGHT have the values of SB_LINEUP and SB_LINEDOWN.
    const WPARAM line = MAKEWPARAM(plan.m_towardStart ? SB_LINEUP : SB_LINEDOWN, 0);
    if (!PostMessageA(scrollTarget, message, line, 0)) {
        return Delivery::Refused;
    }
    kept = next;
    for (int sent = 1; sent < plan.m_lineCount; ++sent) {
        if (!PostMessageA(scrollTarget, message, line, 0)) {
            break; // a full queue: the rest of this notch is dropped rather than waited for
        }
    }
    PostMessageA(scrollTarget, message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    return Delivery::Delivered;
}

bool Reinject(WheelAxis axis, int delta)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = axis == WheelAxis::Vertical ? MOUSEEVENTF_WHEEL : MOUSEEVENTF_HWHEEL;
    input.mi.mouseData = static_cast<DWORD>(delta);
    input.mi.dwExtraInfo = kRollixInjectedMarker;
    return SendInput(1, &input, sizeof(input)) == 1;
}

void RequestActivation(HWND topLevel)
{
    PostMessageA(State.m_programWindow, State.m_controlMessage, kActivateWindowCode,
                 reinterpret_cast<LPARAM>(topLevel));
}

// True when the event has been delivered here and the system must drop it.
bool HandleWheel(WheelAxis axis, const MSLLHOOKSTRUCT& info)
{
    WheelEvent event;
    event.m_axis = axis;
    event.m_delta = static_cast<short>(HIWORD(info.mouseData));
    event.m_extraInfo = info.dwExtraInfo;
    if (!NeedsWindowFacts(event)) {
        return false;
    }

    PhysicalPixelsScope physicalPixels;
    const HWND foreground = GetForegroundWindow();
    const ForegroundFacts foregroundFacts = GatherForeground(foreground);
    if (IsFullScreenForeground(foregroundFacts)) {
        return false; // the target would not change what the routing decides
    }
    TargetWindows windows;
    const TargetFacts targetFacts = GatherTarget(info.pt, axis, foreground, windows);
    const WheelDecision decision = DecideWheel(event, targetFacts, foregroundFacts, State.m_settings);

    Delivery delivery = Delivery::Delivered;
    switch (decision.m_action) {
    case WheelAction::PassOn:
        break;
    case WheelAction::PostWheel:
        delivery = PostWheel(windows.m_target, axis, decision.m_delta, info.pt);
        break;
    case WheelAction::PostScrollLines:
        delivery = PostScrollLines(windows.m_scrollTarget, axis, decision.m_delta);
        break;
    case WheelAction::Reinject:
        // A failed injection leaves the event as it is: unreversed beats lost.
        delivery = Reinject(axis, decision.m_delta) ? Delivery::Delivered : Delivery::Refused;
        break;
    }
    if (delivery == Delivery::Refused) {
        if (decision.m_action != WheelAction::Reinject) {
            State.m_refusingTopLevel = windows.m_topLevel;
        }
        return false;
    }
    if (decision.m_requestActivation) {
        RequestActivation(windows.m_topLevel);
    }
    return decision.m_action != WheelAction::PassOn;
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM data)
{
    if (code < 0) {
        return CallNextHookEx(State.m_hook, code, message, data);
    }
    State.m_lastMouseTick = GetTickCount();
    if (code == HC_ACTION && (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL)) {
        const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        if (HandleWheel(message == WM_MOUSEWHEEL ? WheelAxis::Vertical : WheelAxis::Horizontal, info)) {
            // Swallowed: the wheel has been posted to the window under the pointer, converted to line scrolls or
            // injected again inverted; letting it through would deliver it a second time.
            return 1;
        }
    }
    return CallNextHookEx(State.m_hook, code, message, data);
}

LocalDateTime ToLocalDateTime(const SYSTEMTIME& time)
{
    LocalDateTime result;
    result.m_year = time.wYear;
    result.m_month = time.wMonth;
    result.m_day = time.wDay;
    result.m_hour = time.wHour;
    result.m_minute = time.wMinute;
    result.m_second = time.wSecond;
    result.m_millisecond = time.wMilliseconds;
    return result;
}

} // namespace

extern "C" void WINAPI RollixHookStart(int convertToScroll, int linesToScroll, int flags)
{
    // One hook at most: a start while one is installed replaces it, so no event is ever handled twice.
    RollixHookStop();
    State.m_settings = SettingsFromArguments(convertToScroll, linesToScroll, flags);
    State.m_vertical.Reset();
    State.m_horizontal.Reset();
    State.m_refusingTopLevel = nullptr;
    // Monitors may have changed since, and a window handle may have been reused by a window of another class.
    State.m_monitorOf = nullptr;
    State.m_foregroundClass = ClassNameCache();
    State.m_targetClass = ClassNameCache();
    State.m_topLevelClass = ClassNameCache();
    // Looked up here rather than in the callback, which must stay fast; the main window lives as long as the
    // program, and every re-install by the watchdog looks again.
    State.m_programWindow = FindWindowA(kProgramWindowClass, kProgramWindowCaption);
    State.m_controlMessage = RegisterWindowMessageA(kControlMessageName);
    ResolveDpiFunctions();
    // A fresh hook counts as having just seen a message, or the watchdog would re-install it at once.
    State.m_lastMouseTick = GetTickCount();
    State.m_everStarted = true;
    State.m_hook = SetWindowsHookExA(WH_MOUSE_LL, MouseHookProc, State.m_module, 0);
}

extern "C" void WINAPI RollixHookStop()
{
    if (State.m_hook != nullptr) {
        UnhookWindowsHookEx(State.m_hook);
        State.m_hook = nullptr;
    }
}

extern "C" double WINAPI GetLastMouseMessageTime()
{
    if (!State.m_everStarted) {
        return 0.0;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Unsigned subtraction stays right across the tick count's wrap after 49.7 days.
    const DWORD elapsed = GetTickCount() - State.m_lastMouseTick;
    return OleDateBefore(OleDateFromLocalTime(ToLocalDateTime(now)), elapsed);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        State.m_module = instance;
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary while the process goes on: the system would otherwise call the hook into
        // unmapped code. At process exit (reserved set) the system removes the hook itself.
        RollixHookStop();
    }
    return TRUE;
}
