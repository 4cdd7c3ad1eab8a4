// Reads a window's class chain and program for the rules, and keeps the answer.
#include "rule_facts.h"

const AppliedRule& RuleRecord::Refresh(HWND target, DWORD now, const HookSettings& global, const RuleBook& rules,
                                       const RouterSettings& routerSettings, ProcessNames& programs)
{
    // Unsigned subtraction stays right across the tick count's wrap.
    if (m_window == target && target != nullptr && now - m_readAt < kFactsLifetimeMs) {
        return m_applied;
    }
    m_chainLength = 0;
    for (HWND window = target; window != nullptr && m_chainLength < kRuleChainLength;) {
        char* name = m_chain[m_chainLength];
        if (GetClassNameA(window, name, kClassNameSize) <= 0) {
            name[0] = '\0';
        }
        m_chainNames[m_chainLength] = name;
        ++m_chainLength;
        // A top-level window's parent is the desktop, where the chain ends.
        if ((static_cast<std::uint32_t>(GetWindowLongPtrA(window, GWL_STYLE)) & WindowStyle::kChild) == 0) {
            break;
        }
        window = GetAncestor(window, GA_PARENT);
    }
    lstrcpynA(m_program, FileNameOf(programs.Of(target)), MAX_PATH);
    const char* topLevel = m_chainLength > 0 ? m_chainNames[m_chainLength - 1] : "";
    const char* own = m_chainLength > 0 ? m_chainNames[0] : "";
    m_excluded = IsExcluded(routerSettings, m_program, own, topLevel);
    m_resolution = rules.Resolve(m_program, m_chainNames, m_chainLength, m_excluded);
    m_applied = ApplyRule(global, m_resolution.m_settings);
    m_window = target;
    m_readAt = now;
    return m_applied;
}
