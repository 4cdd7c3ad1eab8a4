// The small dialog that edits one rule: what it applies to and each of its keys, any of which may be left to the
// level below.
#pragma once

#include "rules_form.h"

#include <windows.h>

struct RuleEdit
{
    UserRule m_rule;                     // shown, and the edited rule once OK is pressed
    char m_pickedProgram[kRuleNameSize]; // the picked window's program and class, offered for the two kinds;
    char m_pickedClass[kRuleNameSize];   // "" when the rule was not picked
    const UserRules* m_rules;            // the other rules, whose targets this one may not take
    int m_index;                         // this rule's index among them, -1 for a new one
    bool m_systemFont;
};

// True when the user pressed OK: m_rule then holds the rule.
bool EditRule(HWND owner, RuleEdit& edit);
