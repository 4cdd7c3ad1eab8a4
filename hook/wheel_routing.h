// Decides what the mouse hook does with one wheel event. Plain C++ with no Windows calls: the Win32 shell
// gathers the facts, this decides, so the decision can be tested and measured on any machine.
#pragma once

#include "router_settings.h"
#include "window_rules.h"

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
    ReverseAxes m_reverseAxes = ReverseAxes::Both; // which wheel ReverseScroll turns round
    bool m_shiftScrollsSideways = false;           // Shift turns the vertical wheel into the horizontal one
    bool m_smoothScroll = false;                   // notches ease out as runs of partial deltas
};

// The three arguments of RollixHookStart; flags bit 0 is ActivateWindows, bit 1 ReverseScroll. Fewer than one
// line per notch becomes one.
HookSettings SettingsFromArguments(int convertToScroll, int linesToScroll, int flags);

// Whether ReverseScroll turns this wheel round.
bool ReversesAxis(const HookSettings& settings, WheelAxis axis);

// How the system itself delivers the wheel (SPI_GETMOUSEWHEELROUTING, Windows 10 and later).
enum class SystemWheelRouting
{
    Focus,           // to the focused window, as before Windows 10, and wherever the setting is unknown
    Hybrid,          // to the focus for desktop programs, under the pointer for store apps
    PointerPosition, // to the window under the pointer ("Scroll inactive windows when I hover over them")
};

// The setting's value as SystemParametersInfo gave it; a failed query counts as focus routing.
SystemWheelRouting WheelRoutingFromSetting(bool queried, std::uint32_t value);

struct WheelEvent
{
    WheelAxis m_axis = WheelAxis::Vertical;
    int m_delta = 0; // signed, as in the high word of mouseData
    std::uintptr_t m_extraInfo = 0;
    bool m_shift = false;
    bool m_control = false;
    bool m_injected = false; // injected by another program (LLMHF_INJECTED without our marker)
    int m_x = 0;             // the pointer, in the coordinates of the monitor rectangles
    int m_y = 0;
};

// The window under the pointer, after looking past obstacles, as the shell found it.
struct TargetFacts
{
    bool m_found = false; // a window that can take the wheel
    const char* m_className = "";
    const char* m_topLevelClassName = "";
    ActivationFacts m_rootOwner;          // what an activation would bring forward
    bool m_shielded = false;              // a post to its top-level window was refused for access (UIPI) lately
    bool m_hung = false;                  // its top-level window has stopped answering
    bool m_excluded = false;              // the user's exclusions name its program or its class
    bool m_ruleLeavesToSystem = false;    // a rule says Scroll=system for it
    bool m_ownSideways = false;           // a rule has the sideways wheel reach it other than as WM_MOUSEHWHEEL
    bool m_hasVerticalScroller = false;   // it or an ancestor has a vertical scroll bar
    bool m_hasHorizontalScroller = false; // ... a horizontal one
    bool m_programWindowKnown = false;    // the program's main window, which takes activation requests, exists
    bool m_topLevelDisabled = false;      // its top-level window is disabled: a modal dialog of its program is open
    bool m_aboveOurIntegrity = false;     // its process runs at a higher integrity level than the router's
    const char* const* m_classChain = nullptr; // class names from it up to its top-level window, nearest first
    int m_classChainCount = 0;
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
    NoDelta,
    FullScreenForeground,
    Shielded,
    Hung,
    SystemRouted,
    Excluded,
    DisabledTopLevel,
    HigherIntegrity,
    ForeignInjection,
};

struct WheelDecision
{
    WheelAction m_action = WheelAction::PassOn;
    WheelAxis m_axis = WheelAxis::Vertical; // the wheel to deliver: Shift may have turned the vertical sideways
    int m_delta = 0;                        // what to deliver, ReverseScroll applied
    bool m_sideways = false;                // turned sideways by Shift: the message does not carry the Shift flag
    bool m_requestActivation = false;
    PassReason m_passReason = PassReason::None;
};

// Own injections and empty deltas are settled without looking at any window, which keeps them cheap.
bool NeedsWindowFacts(const WheelEvent& event);

WheelDecision DecideWheel(const WheelEvent& event, const TargetFacts& target, const ForegroundFacts& foreground,
                          const HookSettings& settings, SystemWheelRouting systemRouting);

// Whether an injected replacement would arrive: never in answer to another program's injection (two reversing
// tools would bounce one event between them), nor where the system's routing gives it to a process of higher
// integrity, which drops injected input without a word.
bool MayReinject(const WheelEvent& event, const ForegroundFacts& foreground, SystemWheelRouting systemRouting);

// A wheel delta turned round, kept inside the range of the message's signed 16-bit field.
int ReverseDelta(int delta);
