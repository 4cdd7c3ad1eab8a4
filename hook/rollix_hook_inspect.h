// RollixHook.dll's inspector: what the router would do with the wheel over a given window, and why. The program
// never calls it; the editor looks it up with GetProcAddress. It decides with the router's own code over the live
// window and the settings in rollix.ini beside the library, so it cannot disagree with what the window receives.
#pragma once

#include "wheel_rules.h"

#include <windows.h>

constexpr int kInspectClassSize = 64;   // class names are cut to this, as the router cuts them
constexpr int kInspectChainLength = 16; // windows further up are left out
constexpr int kInspectTextSize = 260;

// Where the settings that apply came from (RuleSource in wheel_rules.h has the same values).
enum RollixInspectSource
{
    kInspectGlobal = 0,
    kInspectUserClass = 1,
    kInspectUserProgram = 2,
    kInspectBuiltInClass = 3,
    kInspectBuiltInProgram = 4,
    kInspectExcluded = 5,
};

struct RollixInspection
{
    DWORD m_size;  // set by the caller to sizeof(RollixInspection)
    HWND m_target; // the window that would get the wheel, after looking past obstacles; null when none
    char m_className[kInspectClassSize];                       // the target's class
    int m_chainLength;                                         // classes in m_classChain
    char m_classChain[kInspectChainLength][kInspectClassSize]; // the target's class first, its top-level's last
    char m_program[kInspectTextSize];                          // the program's file name, "" when unknown
    int m_elevated;                // 1: the program runs at a higher integrity level than the caller; 0 not; -1 unknown
    int m_ruleSource;              // RollixInspectSource
    char m_rule[kInspectTextSize]; // "[class EXCEL7]", "built-in: Microsoft Excel", "global settings"
    char m_reason[kInspectTextSize];       // a built-in entry's reason and source; "" otherwise
    char m_decision[kInspectTextSize * 2]; // "posted to EXCEL7 as WM_MOUSEWHEEL; sideways as WM_HSCROLL, ..."
};

// The editor and the library are built from this header alike; the layout is pinned all the same.
static_assert(sizeof(RollixInspection) == (sizeof(void*) == 4 ? 2408 : 2416), "RollixInspection's layout changed");

// window: the window under the pointer, as WindowFromPoint gives it; screenPoint: the pointer in the caller's
// screen coordinates. Fills out and returns TRUE, or FALSE when out is null, its m_size is wrong or the window is
// gone.
extern "C" BOOL WINAPI RollixHookInspect(HWND window, POINT screenPoint, RollixInspection* out);
using RollixHookInspectProc = BOOL(WINAPI*)(HWND, POINT, RollixInspection*);
constexpr char kRollixHookInspectName[] = "RollixHookInspect";

// The built-in table's entry at index, or null past its end. The editor shows the table through the library it
// loads anyway rather than carrying a copy of its own.
extern "C" const BuiltInRule* WINAPI RollixHookBuiltInRule(int index);
using RollixHookBuiltInRuleProc = const BuiltInRule*(WINAPI*)(int);
constexpr char kRollixHookBuiltInRuleName[] = "RollixHookBuiltInRule";
