// The user's rules as the editor edits them: read with the library's own parser, and what a save must write so
// that only what changed in the library's reading reaches rollix.ini.
#pragma once

#include "wheel_rules.h"

// More rules than this are not shown (nor touched).
constexpr int kMaxUserRules = 256;

struct UserRule
{
    RuleTarget m_target;
    RuleSettings m_settings;
    char m_section[kRuleSectionSize]; // the section as the file spells it; "" for a rule not yet saved
};

struct UserRules
{
    int m_count = 0;
    UserRule m_rules[kMaxUserRules];
};

// The index of the rule for this program or class (names in any case), or -1. skip: an index not to count.
int FindUserRule(const UserRules& rules, const RuleTarget& target, int skip = -1);

// Adds a rule read from the file's section with its keys' texts (nullptr: absent). False for a section that is
// no rule, a second section for the same target (the library reads the first) or when the list is full.
bool AddSavedRule(UserRules& rules, const char* section, const char* const (&keyTexts)[kRuleKeyCount]);

// The keys a rule sets, as the file spells them: "Scroll=system; Sideways=hscroll"; "" when it sets none.
void RuleKeysText(const RuleSettings& settings, char (&text)[kDecisionTextSize]);

// Receives one write: key nullptr removes the whole section, value nullptr removes the key; false stops the save.
using RuleWriteFunction = bool (*)(void* context, const char* section, const char* key, const char* value);

// Writes what turns `saved` into `edited`: first the sections of removed or renamed rules go, then each rule's
// changed keys (every set key of a new or renamed rule). Returns how many writes succeeded; all of them when
// `failed` stays false.
int WriteRuleChanges(const UserRules& saved, const UserRules& edited, RuleWriteFunction write, void* context,
                     bool& failed);
