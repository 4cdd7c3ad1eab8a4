// The editor's user rules: identity by program or class name in any case, and the writes a save makes.
#include "rules_form.h"

#include <cstring>

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const char* a, const char* b)
{
    while (*a != '\0' && Lower(*a) == Lower(*b)) {
        ++a;
        ++b;
    }
    return Lower(*a) == Lower(*b);
}

bool SameTarget(const RuleTarget& a, const RuleTarget& b)
{
    return a.m_kind == b.m_kind && SameName(a.m_name, b.m_name);
}

// The saved rule an edited one was read as: the same section, still for the same target (else it was renamed).
const UserRule* SavedOf(const UserRules& saved, const UserRule& rule)
{
    if (rule.m_section[0] == '\0') {
        return nullptr;
    }
    for (int i = 0; i < saved.m_count; ++i) {
        if (std::strcmp(saved.m_rules[i].m_section, rule.m_section) == 0) {
            return SameTarget(saved.m_rules[i].m_target, rule.m_target) ? &saved.m_rules[i] : nullptr;
        }
    }
    return nullptr;
}

// A saved section no edited rule still stands for with the same target.
bool SectionGone(const UserRules& edited, const UserRule& savedRule)
{
    for (int i = 0; i < edited.m_count; ++i) {
        const UserRule& rule = edited.m_rules[i];
        if (std::strcmp(rule.m_section, savedRule.m_section) == 0 && SameTarget(rule.m_target, savedRule.m_target)) {
            return false;
        }
    }
    return true;
}

} // namespace

void RuleKeysText(const RuleSettings& settings, char (&text)[kDecisionTextSize])
{
    int used = 0;
    const auto add = [&](const char* part) {
        for (; *part != '\0' && used + 1 < kDecisionTextSize; ++part) {
            text[used++] = *part;
        }
    };
    for (int key = 0; key < kRuleKeyCount; ++key) {
        char buffer[kRuleValueSize];
        const char* value = FormatRuleKey(settings, static_cast<RuleKey>(key), buffer);
        if (*value != '\0') {
            add(used > 0 ? "; " : "");
            add(RuleKeyName(static_cast<RuleKey>(key)));
            add("=");
            add(value);
        }
    }
    text[used] = '\0';
}

int FindUserRule(const UserRules& rules, const RuleTarget& target, int skip)
{
    for (int i = 0; i < rules.m_count; ++i) {
        if (i != skip && SameTarget(rules.m_rules[i].m_target, target)) {
            return i;
        }
    }
    return -1;
}

bool AddSavedRule(UserRules& rules, const char* section, const char* const (&keyTexts)[kRuleKeyCount])
{
    if (rules.m_count == kMaxUserRules) {
        return false;
    }
    UserRule& rule = rules.m_rules[rules.m_count];
    rule = UserRule{};
    if (!ParseRuleSection(section, rule.m_target) || FindUserRule(rules, rule.m_target) >= 0 ||
        std::strlen(section) >= sizeof(rule.m_section)) {
        return false;
    }
    std::strcpy(rule.m_section, section);
    for (int key = 0; key < kRuleKeyCount; ++key) {
        ParseRuleKey(rule.m_settings, static_cast<RuleKey>(key), keyTexts[key]);
    }
    ++rules.m_count;
    return true;
}

int WriteRuleChanges(const UserRules& saved, const UserRules& edited, RuleWriteFunction write, void* context,
                     bool& failed)
{
    int done = 0;
    failed = false;
    const auto put = [&](const char* section, const char* key, const char* value) {
        failed = !write(context, section, key, value);
        done += failed ? 0 : 1;
        return !failed;
    };
    for (int i = 0; i < saved.m_count; ++i) {
        if (SectionGone(edited, saved.m_rules[i]) && !put(saved.m_rules[i].m_section, nullptr, nullptr)) {
            return done;
        }
    }
    const RuleSettings none;
    for (int i = 0; i < edited.m_count; ++i) {
        const UserRule& rule = edited.m_rules[i];
        const UserRule* before = SavedOf(saved, rule);
        char section[kRuleSectionSize];
        if (before == nullptr && !FormatRuleSection(rule.m_target, section)) {
            continue; // a name no section can hold; the rule dialog refuses it
        }
        for (int key = 0; key < kRuleKeyCount; ++key) {
            char wasBuffer[kRuleValueSize];
            char nowBuffer[kRuleValueSize];
            const char* was = FormatRuleKey(before != nullptr ? before->m_settings : none, static_cast<RuleKey>(key),
                                            wasBuffer);
            const char* now = FormatRuleKey(rule.m_settings, static_cast<RuleKey>(key), nowBuffer);
            if (std::strcmp(was, now) != 0 &&
                !put(before != nullptr ? before->m_section : section, RuleKeyName(static_cast<RuleKey>(key)),
                     now[0] != '\0' ? now : nullptr)) {
                return done;
            }
        }
    }
    return done;
}
