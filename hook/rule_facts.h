// The rules that apply to the window that gets the wheel, kept for kFactsLifetimeMs like the other window facts:
// its class chain and program are read once per window, and the look-up runs once per read.
#pragma once

#include <windows.h>

#include "rule_book.h"
#include "window_facts.h"

// Windows further up the chain than this are not read.
constexpr int kRuleChainLength = 16;

struct RuleRecord
{
    HWND m_window = nullptr;
    DWORD m_readAt = 0;
    char m_chain[kRuleChainLength][kClassNameSize] = {};
    const char* m_chainNames[kRuleChainLength] = {};
    int m_chainLength = 0;
    char m_program[MAX_PATH] = ""; // the program's file name, "" when unknown
    bool m_excluded = false;       // the [router] lists name it
    RuleResolution m_resolution;
    AppliedRule m_applied;

    RuleRecord() = default;
    RuleRecord(const RuleRecord&) = delete; // m_chainNames points into m_chain
    RuleRecord& operator=(const RuleRecord&) = delete;

    // The global settings with target's rules applied.
    const AppliedRule& Refresh(HWND target, DWORD now, const HookSettings& global, const RuleBook& rules,
                               const RouterSettings& routerSettings, ProcessNames& programs);
};
