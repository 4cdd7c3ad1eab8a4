// The router on the hook thread: gathers the facts of one wheel event, decides and delivers.
#include "wheel_router.h"

#include "sideways_delivery.h"
#include "system_functions.h"
#include "wheel_message.h"

namespace {

constexpr WPARAM kActivateWindowCode = 8;
constexpr SHORT kKeyDownBit = static_cast<SHORT>(0x8000);
// The system's wheel routing and the button swap are user settings that rarely change; they are read again at
// most this often, never per event.
constexpr DWORD kSystemSettingsLifetimeMs = 2000;
// SPI_GETMOUSEWHEELROUTING, Windows 10 and later; older headers lack it.
constexpr UINT kGetMouseWheelRouting = 0x201C;

// DPI awareness contexts exist from Windows 10 1607 on, the physical-point functions from Vista on.
const DpiAwarenessContext kPerMonitorAwareV2 = reinterpret_cast<DpiAwarenessContext>(static_cast<INT_PTR>(-4));
const DpiAwarenessContext kPerMonitorAware = reinterpret_cast<DpiAwarenessContext>(static_cast<INT_PTR>(-3));

bool IsKeyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & kKeyDownBit) != 0;
}

} // namespace

WheelRouter::WheelRouter(const RouterConfig& config) : m_config(config) {}

void WheelRouter::PrepareThread()
{
    const SystemFunctions& functions = Functions();
    DpiFunctions available;
    // The low-level hook reports the pointer in physical pixels. Working per-monitor aware, the thread's
    // WindowFromPoint, window and monitor rectangles speak them too. Version 2 came with 1703; 1607 knows only the
    // first per-monitor context, and a refused context returns null.
    if (functions.m_setThreadDpiAwarenessContext != nullptr) {
        available.m_threadContextAccepted = functions.m_setThreadDpiAwarenessContext(kPerMonitorAwareV2) != nullptr ||
                                            functions.m_setThreadDpiAwarenessContext(kPerMonitorAware) != nullptr;
    }
    available.m_physicalPointFunctions =
        functions.m_physicalToLogical != nullptr && functions.m_windowFromPhysicalPoint != nullptr;
    available.m_perMonitorPointFunction = functions.m_physicalToLogicalPerMonitor != nullptr;
    m_dpiMode = ChooseDpiMode(available);
    switch (ChoosePointConversion(available)) {
    case PointConversion::PerMonitor:
        m_physicalToLogical = functions.m_physicalToLogicalPerMonitor;
        break;
    case PointConversion::Vista:
        m_physicalToLogical = functions.m_physicalToLogical;
        break;
    case PointConversion::None:
        m_physicalToLogical = nullptr;
        break;
    }
    // The program's main window shares this thread's coordinates: the point for the rectangles is converted for it.
    DWORD processId = 0;
    if (m_config.m_programWindow != nullptr) {
        GetWindowThreadProcessId(m_config.m_programWindow, &processId);
    }
    const bool ownWindow = processId == GetCurrentProcessId();
    m_ownWindow = ownWindow ? m_config.m_programWindow : nullptr;
    const bool aware = functions.m_isProcessDpiAware != nullptr && functions.m_isProcessDpiAware() != FALSE;
    m_searchPoint = ChooseSearchPoint(m_dpiMode, ownWindow, aware);
    RefreshSystemSettings(GetTickCount());
    StartSmoothing();
}

void WheelRouter::RefreshSystemSettings(DWORD now)
{
    if (m_systemSettingsRead && now - m_systemSettingsReadAt < kSystemSettingsLifetimeMs) {
        return;
    }
    m_systemSettingsRead = true;
    m_systemSettingsReadAt = now;
    UINT routing = 0;
    const bool queried = SystemParametersInfoA(kGetMouseWheelRouting, 0, &routing, 0) != FALSE;
    m_systemRouting = WheelRoutingFromSetting(queried, routing);
    m_buttons.SetSwapped(GetSystemMetrics(SM_SWAPBUTTON) != 0);
}

LRESULT WheelRouter::OnMouseEvent(int code, WPARAM message, LPARAM data)
{
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    const UINT mouseMessage = static_cast<UINT>(message);
    if (code != HC_ACTION || (mouseMessage != WM_MOUSEWHEEL && mouseMessage != WM_MOUSEHWHEEL)) {
        m_buttons.Observe(mouseMessage, info.mouseData);
        return CallNextHookEx(m_hook, code, message, data);
    }
    // The hooks installed before this one see the wheel first: one that swallows it (a tool with a hotkey on the
    // wheel) has used it, and the router leaves it alone.
    const LRESULT next = CallNextHookEx(m_hook, code, message, data);
    if (next != 0) {
        return next;
    }
    if (HandleWheel(mouseMessage == WM_MOUSEWHEEL ? WheelAxis::Vertical : WheelAxis::Horizontal, info)) {
        // Swallowed: the wheel has been posted to the window under the pointer, converted to line scrolls or
        // injected again inverted; letting it through would deliver it a second time.
        return 1;
    }
    return 0;
}

HWND WheelRouter::FindTarget(POINT physical, DWORD now, POINT& point)
{
    point = physical;
    HWND pointed = nullptr;
    if (m_dpiMode == DpiMode::PhysicalPointFunctions) {
        pointed = Functions().m_windowFromPhysicalPoint(physical);
        // This thread's rectangles are in its own coordinates, scaled where the process is not DPI-aware or, from
        // 8.1 on, where the monitor's scale is not the system's.
        const HWND convertFor = m_searchPoint == SearchPoint::OwnWindow       ? m_ownWindow
                                : m_searchPoint == SearchPoint::PointedWindow ? pointed
                                                                              : nullptr;
        if (convertFor != nullptr && !m_physicalToLogical(convertFor, &point)) {
            point = physical;
        }
    } else {
        pointed = WindowFromPoint(physical);
    }
    return SearchFrom(pointed, point, now);
}

HWND WheelRouter::SearchFrom(HWND pointed, POINT point, DWORD now)
{
    if (pointed == nullptr) {
        return nullptr;
    }
    LiveWindowTree tree(m_pointed, pointed, now);
    TargetSearch<LiveWindowTree> search(tree, point.x, point.y);
    return search.Find(pointed);
}

void WheelRouter::ReadKeys(WheelEvent& event)
{
    event.m_shift = IsKeyDown(VK_SHIFT);
    event.m_control = IsKeyDown(VK_CONTROL);
}

POINT WheelRouter::TargetPoint(POINT physical)
{
    // A window that is not per-monitor aware expects the pointer in its own scaled coordinates, as the system
    // would have delivered it. The conversion costs round trips to the window server, so a target whose first
    // conversion changed nothing (no scaling) is not asked again while its facts are kept.
    POINT point = physical;
    if (m_physicalToLogical == nullptr || !m_target.m_convertPoint) {
        return point;
    }
    if (!m_physicalToLogical(m_target.m_target, &point)) {
        return physical;
    }
    m_target.m_convertPoint = point.x != physical.x || point.y != physical.y;
    return point;
}

void WheelRouter::ConfirmButtons()
{
    // Asked only about a button believed down, which is rare with the wheel: the common case costs nothing. The
    // asynchronous state is the physical buttons', as the tracker's.
    const std::uint32_t believed = m_buttons.BelievedDown();
    if (believed == 0) {
        return;
    }
    const struct
    {
        std::uint32_t m_bit;
        int m_key;
    } buttons[] = {{PhysicalButton::kLeft, VK_LBUTTON},
                   {PhysicalButton::kRight, VK_RBUTTON},
                   {PhysicalButton::kMiddle, VK_MBUTTON},
                   {PhysicalButton::kX1, VK_XBUTTON1},
                   {PhysicalButton::kX2, VK_XBUTTON2}};
    std::uint32_t down = 0;
    for (const auto& button : buttons) {
        if ((believed & button.m_bit) != 0 && IsKeyDown(button.m_key)) {
            down |= button.m_bit;
        }
    }
    m_buttons.ConfirmDown(down);
}

WheelRouter::Delivery WheelRouter::PostWheel(const WheelDecision& decision, POINT physical, const WheelEvent& event,
                                             const AppliedRule& applied, DWORD now)
{
    ConfirmButtons();
    const PostedWheel posted = PlanPostedWheel(decision, applied.m_sideways, event.m_shift);
    if (posted.m_message == PostedMessage::HScrollLines) {
        const HWND scroller =
            m_target.m_horizontalScroller != nullptr ? m_target.m_horizontalScroller : m_target.m_target;
        return PostScrollLines(WheelAxis::Horizontal, posted.m_delta, scroller, applied.m_settings.m_linesToScroll,
                               now);
    }
    KeyState keys = m_buttons.Buttons();
    keys.m_shift = posted.m_shift;
    keys.m_control = event.m_control;
    const POINT point = TargetPoint(physical);
    const UINT message = posted.m_message == PostedMessage::MouseWheel ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
    const WPARAM wParam = PackWheelWParam(posted.m_delta, KeyStateFlags(keys));
    const LPARAM lParam = static_cast<LPARAM>(static_cast<LONG>(PackPointLParam(point.x, point.y)));
    return PostMessageA(m_target.m_target, message, wParam, lParam) ? Delivery::Delivered : Delivery::Failed;
}

WheelRouter::Delivery WheelRouter::PostScrollLines(WheelAxis axis, int delta, HWND scroller, int linesToScroll,
                                                   DWORD now)
{
    ScrollAccumulator& kept = axis == WheelAxis::Vertical ? m_vertical : m_horizontal;
    // Work on a copy: if the window refuses the messages, the system delivers the event itself and the delta
    // must not count a second time.
    ScrollAccumulator next = kept;
    const int notches = next.AddDelta(delta, reinterpret_cast<std::uintptr_t>(scroller), now);
    const LineScrollPlan plan = PlanLineScroll(axis, notches, linesToScroll);
    if (plan.m_lineCount == 0) {
        kept = next;
        return Delivery::Delivered;
    }
    const UINT message = axis == WheelAxis::Vertical ? WM_VSCROLL : WM_HSCROLL;
    // SB_LINELEFT and SB_LINERIGHT have the values of SB_LINEUP and SB_LINEDOWN.
    const WPARAM line = MAKEWPARAM(plan.m_towardStart ? SB_LINEUP : SB_LINEDOWN, 0);
    if (!PostMessageA(scroller, message, line, 0)) {
        return Delivery::Failed;
    }
    kept = next;
    for (int sent = 1; sent < plan.m_lineCount; ++sent) {
        if (!PostMessageA(scroller, message, line, 0)) {
            break; // a full queue: the rest of this notch is dropped rather than waited for
        }
    }
    PostMessageA(scroller, message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    return Delivery::Delivered;
}

namespace {

constexpr int kMaxInjectedInputs = 5;

void AddKey(INPUT* inputs, int& count, WORD key, bool up)
{
    INPUT& input = inputs[count++];
    input = INPUT{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.ki.dwExtraInfo = kRollixInjectedMarker;
}

// One SendInput call, so that no other input comes between the Shift and the wheel.
bool Reinject(const InjectedWheel& wheel)
{
    INPUT inputs[kMaxInjectedInputs];
    int count = 0;
    // The Shift keys held now, lifted and pressed again each as it was.
    const bool left = wheel.m_releaseShift && IsKeyDown(VK_LSHIFT);
    const bool right = wheel.m_releaseShift && IsKeyDown(VK_RSHIFT);
    if (left) {
        AddKey(inputs, count, VK_LSHIFT, true);
    }
    if (right) {
        AddKey(inputs, count, VK_RSHIFT, true);
    }
    if (wheel.m_pressShift) {
        AddKey(inputs, count, VK_SHIFT, false);
    }
    INPUT& input = inputs[count++];
    input = INPUT{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = wheel.m_axis == WheelAxis::Vertical ? MOUSEEVENTF_WHEEL : MOUSEEVENTF_HWHEEL;
    input.mi.mouseData = static_cast<DWORD>(wheel.m_delta);
    input.mi.dwExtraInfo = kRollixInjectedMarker;
    if (wheel.m_pressShift) {
        AddKey(inputs, count, VK_SHIFT, true);
    }
    if (left) {
        AddKey(inputs, count, VK_LSHIFT, false);
    }
    if (right) {
        AddKey(inputs, count, VK_RSHIFT, false);
    }
    return SendInput(static_cast<UINT>(count), inputs, sizeof(INPUT)) == static_cast<UINT>(count);
}

} // namespace

AppliedRule WheelRouter::GatherTarget(HWND targetWindow, HWND foreground, DWORD now, TargetFacts& target)
{
    if (targetWindow == nullptr) {
        return ApplyRule(m_config.m_settings, RuleSettings());
    }
    const AppliedRule& applied = m_rules.Refresh(targetWindow, now, m_config.m_settings, m_config.m_rules,
                                                 m_config.m_routerSettings, m_programs);
    const bool wantScrollers = applied.m_settings.m_convertToScroll || applied.m_sideways == SidewaysMethod::HScroll;
    if (!m_target.Refresh(targetWindow, m_pointed, now, wantScrollers, m_programs)) {
        return applied;
    }
    target.m_found = true;
    target.m_className = m_target.m_className;
    target.m_topLevelClassName = m_target.m_topLevelClassName;
    target.m_rootOwner.m_present = m_target.m_rootOwner != nullptr;
    target.m_rootOwner.m_isForeground = m_target.m_rootOwner == foreground;
    target.m_rootOwner.m_window = m_target.RootOwnerProbe();
    target.m_hung = m_target.m_hung;
    target.m_programWindowKnown = m_config.m_programWindow != nullptr;
    MarkTarget(applied, target);
    target.m_topLevelDisabled = m_target.m_topLevelDisabled;
    target.m_aboveOurIntegrity = m_target.m_aboveUs;
    target.m_classChain = m_target.m_classChain;
    target.m_classChainCount = m_target.m_classChainCount;
    target.m_hasVerticalScroller = m_target.m_verticalScroller != nullptr;
    target.m_hasHorizontalScroller = m_target.m_horizontalScroller != nullptr;
    const auto topLevel = reinterpret_cast<std::uintptr_t>(m_target.m_topLevel);
    if (m_shield.Covers(topLevel, now)) {
        target.m_shielded = IsWindow(m_target.m_topLevel) != FALSE;
        if (!target.m_shielded) {
            m_shield.Clear(); // the shielded window is gone
        }
    }
    return applied;
}

WheelRouter::Verdict WheelRouter::Explain(HWND pointed, POINT point, bool shielded)
{
    Verdict verdict;
    const DWORD now = GetTickCount();
    RefreshSystemSettings(now);
    const HWND foreground = GetForegroundWindow();
    const ForegroundFacts& foregroundFacts = m_foreground.Refresh(foreground, now, m_programs);
    verdict.m_target = SearchFrom(pointed, point, now);
    verdict.m_applied = GatherTarget(verdict.m_target, foreground, now, verdict.m_facts);
    verdict.m_facts.m_shielded = verdict.m_facts.m_shielded || (verdict.m_facts.m_found && shielded);
    verdict.m_rule = verdict.m_facts.m_found ? &m_rules : nullptr;
    WheelEvent event;
    event.m_delta = -kWheelDelta;
    event.m_x = point.x;
    event.m_y = point.y;
    const HookSettings& settings = verdict.m_applied.m_settings;
    verdict.m_vertical = DecideWheel(event, verdict.m_facts, foregroundFacts, settings, m_systemRouting);
    event.m_axis = WheelAxis::Horizontal;
    event.m_delta = kWheelDelta;
    verdict.m_horizontal = DecideWheel(event, verdict.m_facts, foregroundFacts, settings, m_systemRouting);
    return verdict;
}

bool WheelRouter::HandleWheel(WheelAxis axis, const MSLLHOOKSTRUCT& info)
{
    WheelEvent event;
    event.m_axis = axis;
    event.m_delta = static_cast<short>(HIWORD(info.mouseData));
    event.m_extraInfo = info.dwExtraInfo;
    event.m_injected = (info.flags & LLMHF_INJECTED) != 0 && info.dwExtraInfo != kRollixInjectedMarker;
    if (!NeedsWindowFacts(event)) {
        return false;
    }
    const DWORD now = GetTickCount();
    RefreshSystemSettings(now);

    const HWND foreground = GetForegroundWindow();
    const ForegroundFacts& foregroundFacts = m_foreground.Refresh(foreground, now, m_programs);
    TargetFacts target;
    // Looked for even in full screen: an excluded program there keeps its wheel unreversed too.
    POINT searchPoint;
    const HWND targetWindow = FindTarget(info.pt, now, searchPoint);
    event.m_x = searchPoint.x;
    event.m_y = searchPoint.y;
    const AppliedRule applied = GatherTarget(targetWindow, foreground, now, target);
    const HookSettings& settings = applied.m_settings;
    if (settings.m_convertToScroll || settings.m_shiftScrollsSideways ||
        applied.m_sideways == SidewaysMethod::ShiftWheel || WantsSmoothing()) {
        ReadKeys(event); // Ctrl and Shift keep a converted wheel a wheel; Shift may turn it sideways; Ctrl zooms whole
    }
    const WheelDecision decision = DecideWheel(event, target, foregroundFacts, settings, m_systemRouting);
    // Its frames, or its accelerated notches, on their way: swallowed, and an activation still asked for.
    const bool handedOver = WantsSmoothing() && SmoothOrAccelerate(event, decision, applied, target, info);

    Delivery delivery = Delivery::Delivered;
    switch (handedOver ? WheelAction::PassOn : decision.m_action) {
    case WheelAction::PassOn:
        break;
    case WheelAction::PostWheel:
        if (!settings.m_convertToScroll && !settings.m_shiftScrollsSideways &&
            applied.m_sideways != SidewaysMethod::ShiftWheel) {
            ReadKeys(event); // the message carries them
        }
        delivery = PostWheel(decision, info.pt, event, applied, now);
        break;
    case WheelAction::PostScrollLines:
        delivery = PostScrollLines(decision.m_axis, decision.m_delta,
                                   decision.m_axis == WheelAxis::Vertical ? m_target.m_verticalScroller
                                                                          : m_target.m_horizontalScroller,
                                   settings.m_linesToScroll, now);
        break;
    case WheelAction::Reinject:
        // A failed injection leaves the event as it is: unchanged beats lost.
        delivery = Reinject(PlanInjectedWheel(decision, applied.m_sideways, event.m_shift)) ? Delivery::Delivered
                                                                                            : Delivery::Failed;
        break;
    }
    if (delivery == Delivery::Failed) {
        // Only a refusal for access (UIPI: a process of higher integrity) says something about the window; a full
        // queue or any other failure concerns this one event, which the system then delivers itself.
        if (decision.m_action != WheelAction::Reinject &&
            ClassifyPostFailure(GetLastError()) == PostFailure::Shielded) {
            m_shield.Mark(reinterpret_cast<std::uintptr_t>(m_target.m_topLevel), now);
        }
        return false;
    }
    if (decision.m_requestActivation) {
        PostMessageA(m_config.m_programWindow, m_config.m_controlMessage, kActivateWindowCode,
                     reinterpret_cast<LPARAM>(m_target.m_rootOwner));
    }
    return handedOver || decision.m_action != WheelAction::PassOn;
}
