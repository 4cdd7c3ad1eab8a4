// Decides what the mouse hook does with one wheel event. Plain C++ with no Windows calls: the Win32 shell
// gathers the facts, this decides, so the decision can be tested and measured on any machine.
#pragma once

#include <cstdint>

enum class WheelAxis
{
    Vertical,
    Horizontal,
};

// One notch of a classic wheel, in the units of the wheel messages.
constexpr int kWheelDelta = 120;

// Written into dwExtraInfo of the input the library injects itself, so that the hook lets it pass when it
// comes round again instead of handling it a second time.
constexpr std::uintptr_t kRollixInjectedMarker = 0x524F4C58; // "ROLX"

struct HookSettings
{
    bool m_convertToScroll = false;
    int m_linesToScroll = 1;
    bool m_activateWindows = false;
    bool m_reverseScroll = false;
};

// The three arguments of RollixHookStart; flags bit 0 is ActivateWindows, bit 1 ReverseScroll. Fewer than one
// line per notch becomes one.
HookSettings SettingsFromArguments(int convertToScroll, int linesToScroll, int flags);

struct WheelEvent
{
    WheelAxis m_axis = WheelAxis::Vertical;
    int m_delta = 0; // signed, as in the high word of mouseData
    std::uintptr_t m_extraInfo = 0;
};

struct ScreenRect
{
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
};

// The foreground window as the shell found it, in physical pixels.
struct ForegroundFacts
{
    bool m_present = false;
    bool m_ownProcess = false;
    const char* m_className = "";
    ScreenRect m_clientRect;  // its client area in screen coordinates
    ScreenRect m_monitorRect; // the monitor it is on
};

// The window under the pointer as the shell found it.
struct TargetFacts
{
    bool m_found = false; // an enabled window under the pointer
    const char* m_className = "";
    const char* m_topLevelClassName = "";
    bool m_topLevelIsForeground = false;
    bool m_refusesPosts = false;       // a post to its top-level window failed before (higher integrity, UIPI)
    bool m_hasScrollAncestor = false;  // it or an ancestor has a scroll bar on the wheel's axis
    bool m_programWindowKnown = false; // the program's main window, which takes activation requests, exists
};

enum class WheelAction
{
    PassOn,          // the system delivers the event as it is
    PostWheel,       // swallow it and post a wheel message to the window under the pointer
    PostScrollLines, // swallow it and post line-scroll messages to the nearest window with a scroll bar
    Reinject,        // swallow it and inject the inverted event for the system's own routing
};

enum class PassReason
{
    None,
    OwnInjection,
    FullScreenForeground,
    NoDelta,
    RefusesPosts,
};

struct WheelDecision
{
    WheelAction m_action = WheelAction::PassOn;
    int m_delta = 0; // what to deliver, ReverseScroll applied
    bool m_requestActivation = false;
    PassReason m_passReason = PassReason::None;
};

// Own injections and empty deltas are settled without looking at any window, which keeps them cheap.
bool NeedsWindowFacts(const WheelEvent& event);

WheelDecision DecideWheel(const WheelEvent& event, const TargetFacts& target, const ForegroundFacts& foreground,
                          const HookSettings& settings);

// A game or a presentation: a window of another program whose client area covers its whole monitor.
bool IsFullScreenForeground(const ForegroundFacts& foreground);

// Windows of frameworks that scroll only through the system's own routing of the wheel.
bool IsSystemRoutedClass(const char* className);

// The desktop and the taskbar: never activated and never taken for a full-screen program.
bool IsShellClass(const char* className);

// A wheel delta turned round, kept inside the range of the message's signed 16-bit field.
int ReverseDelta(int delta);
