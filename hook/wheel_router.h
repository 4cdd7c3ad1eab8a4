// The router as it runs on the hook thread: it reads what it needs of the windows, lets the decision core decide
// and carries the decision out by posting or injecting. One router belongs to one hook thread and lives on its
// stack; nothing here is touched by any other thread.
#pragma once

#include <windows.h>

#include "button_tracker.h"
#include "dpi_mode.h"
#include "rule_facts.h"
#include "scroll_accumulator.h"
#include "shield_mark.h"
#include "smooth_scroller.h"
#include "smooth_settings.h"
#include "wheel_acceleration.h"
#include "window_facts.h"

// What RollixHookStart hands to the hook thread.
struct RouterConfig
{
    HookSettings m_settings;
    RouterSettings m_routerSettings; // the exclusions; the rest is folded into m_settings
    RuleBook m_rules;                // the user's rules over the built-in table
    SmoothSettings m_smooth;         // SmoothScroll is folded into m_settings too
    HWND m_programWindow = nullptr;  // takes the activation requests (control code 8)
    UINT m_controlMessage = 0;
};

class WheelRouter
{
  public:
    explicit WheelRouter(const RouterConfig& config);
    WheelRouter(const WheelRouter&) = delete;
    WheelRouter& operator=(const WheelRouter&) = delete;

    // On the hook thread, before the hook is installed: how this system speaks physical pixels.
    void PrepareThread();
    void SetHook(HHOOK hook) { m_hook = hook; }
    // After the hook is removed: ends the smoothing thread, if one runs.
    void StopSmoothing() { m_smoothing.Stop(); }
    // The hook callback for nCode >= 0.
    LRESULT OnMouseEvent(int code, WPARAM message, LPARAM data);

    // What the router would do with a notch of each wheel over pointed, for the inspector: the same steps as the
    // callback, without delivering anything.
    struct Verdict
    {
        HWND m_target = nullptr;
        TargetFacts m_facts;
        WheelDecision m_vertical;
        WheelDecision m_horizontal;
        AppliedRule m_applied;
        const RuleRecord* m_rule = nullptr; // null when no window takes the wheel
    };
    Verdict Explain(HWND pointed, POINT point, bool shielded);

  private:
    enum class Delivery
    {
        Delivered,
        Failed,
    };

    bool HandleWheel(WheelAxis axis, const MSLLHOOKSTRUCT& info);
    void RefreshSystemSettings(DWORD now);
    // The window that should get the wheel; point is the pointer in this thread's coordinates.
    HWND FindTarget(POINT physical, DWORD now, POINT& point);
    HWND SearchFrom(HWND pointed, POINT point, DWORD now);
    // Reads the facts of the target window and the rules that apply to it.
    AppliedRule GatherTarget(HWND targetWindow, HWND foreground, DWORD now, TargetFacts& target);
    void ConfirmButtons();
    void ReadKeys(WheelEvent& event);
    POINT TargetPoint(POINT physical);
    Delivery PostWheel(const WheelDecision& decision, POINT physical, const WheelEvent& event,
                       const AppliedRule& applied, DWORD now);
    Delivery PostScrollLines(WheelAxis axis, int delta, HWND scroller, int linesToScroll, DWORD now);
    // Smoothing and acceleration (wheel_router_smoothing.cpp).
    void StartSmoothing();
    bool WantsSmoothing() const { return m_smoothing.Running() || m_config.m_smooth.m_acceleration; }
    // Hands a decided notch to the smoothing thread, or delivers it accelerated; true when it is on its way.
    bool SmoothOrAccelerate(const WheelEvent& event, const WheelDecision& decision, const AppliedRule& applied,
                            const TargetFacts& target, const MSLLHOOKSTRUCT& info);

    RouterConfig m_config;
    HHOOK m_hook = nullptr;
    DpiMode m_dpiMode = DpiMode::Plain;
    BOOL(WINAPI* m_physicalToLogical)(HWND, POINT*) = nullptr; // for the window that gets the wheel
    SearchPoint m_searchPoint = SearchPoint::Physical;
    HWND m_ownWindow = nullptr; // the program's main window when it lives in this process
    SystemWheelRouting m_systemRouting = SystemWheelRouting::Focus;
    DWORD m_systemSettingsReadAt = 0;
    bool m_systemSettingsRead = false;
    ButtonTracker m_buttons;
    ScrollAccumulator m_vertical;
    ScrollAccumulator m_horizontal;
    ShieldMark m_shield;
    WindowRecord m_pointed;
    TargetRecord m_target;
    ForegroundRecord m_foreground;
    ProcessNames m_programs;
    RuleRecord m_rules;
    SmoothScroller m_smoothing;
    WheelAcceleration m_acceleration;
};
