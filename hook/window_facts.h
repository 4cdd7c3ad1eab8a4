// What the router reads about windows, kept for a moment. Each question about another process's window is a round
// trip to the window server (under Wine, to its server process), and a scrolling hand sends notch after notch at
// the same window: the answers are kept for kFactsLifetimeMs, keyed by the window they are about.
#pragma once

#include <windows.h>

#include "dpi_mode.h"
#include "process_names.h"
#include "target_search.h"
#include "wheel_routing.h"

// Long enough for a window that starts to hang or goes full screen to be noticed at once by a user.
constexpr DWORD kFactsLifetimeMs = 500;
// Longer than every class name the rules compare; a longer name is cut and then matches none of them.
constexpr int kClassNameSize = 64;
// The class names kept from the window that gets the wheel up to its top-level window; a deeper chain keeps its
// nearest windows and its top-level window.
constexpr int kMaxClassChain = 8;

// One window's class and styles.
struct WindowRecord
{
    HWND m_window = nullptr;
    DWORD m_readAt = 0;
    char m_className[kClassNameSize] = "";
    std::uint32_t m_style = 0;
    std::uint32_t m_exStyle = 0;
    bool m_cloaked = false;

    WindowProbe Probe() const { return {m_className, m_style, m_exStyle, m_cloaked}; }
    // Reads window unless this record already holds it, read less than kFactsLifetimeMs before now.
    bool Refresh(HWND window, DWORD now);
};

// The window tree as TargetSearch walks it, through the real API.
class LiveWindowTree
{
  public:
    using Handle = HWND;

    LiveWindowTree(WindowRecord& pointedRecord, HWND pointed, DWORD now)
        : m_pointedRecord(pointedRecord), m_pointed(pointed), m_now(now)
    {
    }
    bool Probe(HWND window, WindowProbe& probe);
    bool Rect(HWND window, ScreenRect& rect);
    HWND Parent(HWND window);
    HWND FirstChild(HWND window) { return GetWindow(window, GW_CHILD); }
    HWND Next(HWND window) { return GetWindow(window, GW_HWNDNEXT); }

  private:
    WindowRecord& m_pointedRecord; // kept: the common path asks about the window under the pointer again and again
    HWND m_pointed;
    WindowRecord m_other; // any other window of a walk past an obstacle
    DWORD m_now;
};

// The facts of the window that gets the wheel and of the windows around it.
struct TargetRecord
{
    HWND m_target = nullptr;
    DWORD m_readAt = 0;
    HWND m_topLevel = nullptr;
    HWND m_rootOwner = nullptr;
    char m_className[kClassNameSize] = "";
    char m_topLevelClassName[kClassNameSize] = "";
    char m_rootOwnerClassName[kClassNameSize] = "";
    std::uint32_t m_rootOwnerStyle = 0;
    std::uint32_t m_rootOwnerExStyle = 0;
    bool m_hung = false;
    bool m_excluded = false;
    HWND m_verticalScroller = nullptr; // the target or its nearest ancestor with a vertical scroll bar
    HWND m_horizontalScroller = nullptr;
    bool m_scrollersRead = false;
    bool m_convertPoint = true; // whether the pointer's position needs turning into the target's coordinates
    bool m_topLevelDisabled = false;
    bool m_aboveUs = false; // its process runs at a higher integrity level
    char m_chainNames[kMaxClassChain][kClassNameSize] = {};
    const char* m_classChain[kMaxClassChain] = {}; // into m_chainNames, nearest first: records are never copied
    int m_classChainCount = 0;

    WindowProbe RootOwnerProbe() const { return {m_rootOwnerClassName, m_rootOwnerStyle, m_rootOwnerExStyle}; }
    bool Refresh(HWND target, const WindowRecord& probe, DWORD now, bool wantScrollers, const RouterSettings& settings,
                 ProcessNames& programs);

  private:
    void ReadClassChain(HWND target);
};

// The foreground window's facts for the full-screen rule.
struct ForegroundRecord
{
    HWND m_window = nullptr;
    DWORD m_readAt = 0;
    char m_className[kClassNameSize] = "";
    ForegroundFacts m_facts; // its class name points into m_className: records are never copied

    ForegroundRecord() = default;
    ForegroundRecord(const ForegroundRecord&) = delete;
    ForegroundRecord& operator=(const ForegroundRecord&) = delete;
    const ForegroundFacts& Refresh(HWND foreground, DWORD now, ProcessNames& programs);
};
