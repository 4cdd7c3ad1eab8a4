// The rule look-up: hashes of lower-cased names, kept sorted, checked against the names themselves on a hit.
#include "rule_book.h"

#include "router_settings.h"
#include "window_rules.h"

namespace {

// Chains deeper than this are matched on their nearest windows only.
constexpr int kMaxResolvedChain = 16;
constexpr std::uint32_t kHashBasis = 2166136261u;
constexpr std::uint32_t kHashPrime = 16777619u;
constexpr int kMaxNameLength = 255;

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::uint32_t HashOf(const char* text, int length)
{
    std::uint32_t hash = kHashBasis;
    for (int i = 0; i < length; ++i) {
        hash = (hash ^ static_cast<unsigned char>(LowerAscii(text[i]))) * kHashPrime;
    }
    return hash;
}

int LengthOf(const char* text)
{
    int length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return length;
}

bool SameText(const char* a, const char* b, int length)
{
    for (int i = 0; i < length; ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

template <class T> bool TakeKey(T& kept, T offered)
{
    if (kept == T{} && offered != T{}) {
        kept = offered;
        return true;
    }
    return false;
}

// Fills the keys still inherited from the offered level.
void Merge(RuleSettings& kept, const RuleSettings& offered)
{
    TakeKey(kept.m_scroll, offered.m_scroll);
    TakeKey(kept.m_reverseScroll, offered.m_reverseScroll);
    TakeKey(kept.m_reverseAxes, offered.m_reverseAxes);
    TakeKey(kept.m_convertToScroll, offered.m_convertToScroll);
    TakeKey(kept.m_linesToScroll, offered.m_linesToScroll);
    TakeKey(kept.m_shiftScrollsSideways, offered.m_shiftScrollsSideways);
    TakeKey(kept.m_activateWindows, offered.m_activateWindows);
    TakeKey(kept.m_sideways, offered.m_sideways);
    TakeKey(kept.m_smoothScroll, offered.m_smoothScroll);
}

bool SwitchValue(RuleSwitch value, bool inherited)
{
    return value == RuleSwitch::Inherit ? inherited : value == RuleSwitch::On;
}

RuleSettings ExcludedSettings()
{
    RuleSettings settings;
    settings.m_scroll = ScrollMode::Off;
    return settings;
}

bool IsClassLevel(RuleSource level)
{
    return level == RuleSource::UserClass || level == RuleSource::BuiltInClass;
}

} // namespace

AppliedRule ApplyRule(const HookSettings& global, const RuleSettings& rule)
{
    AppliedRule applied;
    applied.m_settings = global;
    HookSettings& settings = applied.m_settings;
    settings.m_reverseScroll = SwitchValue(rule.m_reverseScroll, global.m_reverseScroll);
    settings.m_convertToScroll = SwitchValue(rule.m_convertToScroll, global.m_convertToScroll);
    settings.m_shiftScrollsSideways = SwitchValue(rule.m_shiftScrollsSideways, global.m_shiftScrollsSideways);
    settings.m_activateWindows = SwitchValue(rule.m_activateWindows, global.m_activateWindows);
    settings.m_smoothScroll = SwitchValue(rule.m_smoothScroll, global.m_smoothScroll);
    if (rule.m_linesToScroll != 0) {
        settings.m_linesToScroll = rule.m_linesToScroll;
    }
    switch (rule.m_reverseAxes) {
    case RuleAxes::Both:
        settings.m_reverseAxes = ReverseAxes::Both;
        break;
    case RuleAxes::Vertical:
        settings.m_reverseAxes = ReverseAxes::Vertical;
        break;
    case RuleAxes::Horizontal:
        settings.m_reverseAxes = ReverseAxes::Horizontal;
        break;
    case RuleAxes::Inherit:
        break;
    }
    applied.m_scroll = rule.m_scroll == ScrollMode::Inherit ? ScrollMode::Route : rule.m_scroll;
    applied.m_sideways = rule.m_sideways == SidewaysMethod::Inherit ? SidewaysMethod::HWheel : rule.m_sideways;
    return applied;
}

void MarkTarget(const AppliedRule& applied, TargetFacts& target)
{
    target.m_excluded = applied.m_scroll == ScrollMode::Off;
    target.m_ruleLeavesToSystem = applied.m_scroll == ScrollMode::System;
    target.m_ownSideways = applied.m_sideways != SidewaysMethod::HWheel;
}

RuleBook::RuleBook()
{
    for (int entry = 0; entry < BuiltInRuleCount(); ++entry) {
        const BuiltInRule& rule = BuiltInRuleAt(entry);
        const struct
        {
            const char* m_list;
            RuleSource m_level;
        } lists[] = {{rule.m_classes, RuleSource::BuiltInClass}, {rule.m_programs, RuleSource::BuiltInProgram}};
        for (const auto& list : lists) {
            const char* start = list.m_list;
            for (const char* c = start;; ++c) {
                if (*c == kNameSeparator || *c == '\0') {
                    AddName(list.m_level, entry, start, static_cast<int>(c - start));
                    if (*c == '\0') {
                        break;
                    }
                    start = c + 1;
                }
            }
        }
    }
}

bool RuleBook::AddName(RuleSource level, int rule, const char* text, int length)
{
    if (length <= 0 || length > kMaxNameLength) {
        return false;
    }
    Name name{};
    name.m_rule = static_cast<std::uint16_t>(rule);
    name.m_level = static_cast<std::uint8_t>(level);
    const bool user = level == RuleSource::UserClass || level == RuleSource::UserProgram;
    name.m_builtInText = user ? nullptr : text;
    name.m_offset = static_cast<std::uint16_t>(user ? text - m_text : 0);
    name.m_length = static_cast<std::uint8_t>(length);
    if (level == RuleSource::BuiltInClass && text[length - 1] == '*') {
        if (m_prefixCount == kMaxRulePrefixes) {
            return false;
        }
        name.m_length = static_cast<std::uint8_t>(length - 1);
        m_prefixes[m_prefixCount++] = name;
        return true;
    }
    if (m_nameCount == kMaxRuleNames) {
        return false;
    }
    name.m_hash = HashOf(text, length);
    // Kept sorted by hash, then level, then rule: the first hit of a level is its first rule.
    int at = m_nameCount;
    while (at > 0) {
        const Name& before = m_names[at - 1];
        const bool after = before.m_hash < name.m_hash ||
                           (before.m_hash == name.m_hash && (before.m_level < name.m_level ||
                                                            (before.m_level == name.m_level &&
                                                             before.m_rule <= name.m_rule)));
        if (after) {
            break;
        }
        m_names[at] = before;
        --at;
    }
    m_names[at] = name;
    ++m_nameCount;
    return true;
}

int RuleBook::Find(RuleSource level, const char* text) const
{
    const int length = LengthOf(text);
    if (length == 0 || length > kMaxNameLength) {
        return -1;
    }
    const std::uint32_t hash = HashOf(text, length);
    int low = 0;
    int high = m_nameCount;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (m_names[middle].m_hash < hash) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    for (int i = low; i < m_nameCount && m_names[i].m_hash == hash; ++i) {
        const Name& name = m_names[i];
        if (name.m_level == static_cast<std::uint8_t>(level) && name.m_length == length &&
            SameText(TextOf(name), text, length)) {
            return name.m_rule;
        }
    }
    if (level == RuleSource::BuiltInClass) {
        for (int i = 0; i < m_prefixCount; ++i) {
            const Name& prefix = m_prefixes[i];
            if (length >= prefix.m_length && SameText(prefix.m_builtInText, text, prefix.m_length)) {
                return prefix.m_rule;
            }
        }
    }
    return -1;
}

bool RuleBook::AddUserRule(RuleKind kind, const char* name, const RuleSettings& settings)
{
    const RuleSource level = kind == RuleKind::Class ? RuleSource::UserClass : RuleSource::UserProgram;
    if (kind == RuleKind::Program) {
        name = FileNameOf(name);
    }
    const int length = LengthOf(name);
    if (length == 0 || length > kMaxNameLength) {
        return false;
    }
    const int existing = Find(level, name);
    if (existing >= 0) {
        m_userSettings[existing] = settings;
        return true;
    }
    if (m_userCount == kMaxUserRules || m_textUsed + length + 1 > kUserRuleTextBytes) {
        return false;
    }
    char* text = m_text + m_textUsed;
    for (int i = 0; i < length; ++i) {
        text[i] = name[i];
    }
    text[length] = '\0';
    if (!AddName(level, m_userCount, text, length)) {
        return false;
    }
    m_userName[m_userCount] = static_cast<std::uint16_t>(m_textUsed);
    m_userKind[m_userCount] = kind;
    m_userSettings[m_userCount] = settings;
    m_textUsed += length + 1;
    ++m_userCount;
    return true;
}

UserRule RuleBook::UserRuleAt(int index) const
{
    UserRule rule;
    if (index >= 0 && index < m_userCount) {
        rule.m_kind = m_userKind[index];
        rule.m_name = m_text + m_userName[index];
        rule.m_settings = m_userSettings[index];
    }
    return rule;
}

const char* RuleBook::TextOf(const Name& name) const
{
    return name.m_builtInText != nullptr ? name.m_builtInText : m_text + name.m_offset;
}

const RuleSettings& RuleBook::SettingsOf(RuleSource level, int rule) const
{
    if (level == RuleSource::UserClass || level == RuleSource::UserProgram) {
        return m_userSettings[rule];
    }
    return BuiltInRuleAt(rule).m_settings;
}

RuleResolution RuleBook::Resolve(const char* program, const char* const* classes, int count, bool excluded) const
{
    RuleResolution resolution;
    bool matched = false;
    auto take = [&](RuleSource level, int rule, int chainIndex) {
        const bool builtIn = level == RuleSource::BuiltInClass || level == RuleSource::BuiltInProgram;
        Merge(resolution.m_settings, level == RuleSource::Excluded ? ExcludedSettings() : SettingsOf(level, rule));
        if (!matched) {
            matched = true;
            resolution.m_source = level;
            resolution.m_rule = rule;
            resolution.m_chainIndex = IsClassLevel(level) ? chainIndex : -1;
        }
        if (builtIn && resolution.m_builtIn < 0) {
            resolution.m_builtIn = rule;
        }
    };
    if (count > kMaxResolvedChain) {
        count = kMaxResolvedChain;
    }
    const char* programName = program != nullptr ? FileNameOf(program) : "";
    if (m_userCount > 0) {
        for (int i = 0; i < count; ++i) {
            const int rule = Find(RuleSource::UserClass, classes[i]);
            if (rule >= 0) {
                take(RuleSource::UserClass, rule, i);
            }
        }
        const int rule = Find(RuleSource::UserProgram, programName);
        if (rule >= 0) {
            take(RuleSource::UserProgram, rule, -1);
        }
    }
    if (excluded) {
        take(RuleSource::Excluded, -1, -1);
    }
    // An application's entry refines its toolkit's.
    const int rule = Find(RuleSource::BuiltInProgram, programName);
    if (rule >= 0) {
        take(RuleSource::BuiltInProgram, rule, -1);
    }
    for (int i = 0; i < count; ++i) {
        const int entry = Find(RuleSource::BuiltInClass, classes[i]);
        if (entry >= 0) {
            take(RuleSource::BuiltInClass, entry, i);
        }
    }
    return resolution;
}
