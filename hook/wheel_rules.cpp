// Reads and writes a rule's keys and its section name; garbage in a value reads as absent.
#include "wheel_rules.h"

#include "window_rules.h"

#include <cstddef>

namespace {

constexpr const char* kKeyNames[kRuleKeyCount] = {
    "Scroll", "ReverseScroll", "ReverseAxes", "ConvertToScroll", "LinesToScroll", "ShiftScrollsSideways",
    "ActivateWindows", "Sideways", "SmoothScroll",
};
constexpr const char* kScrollWords[] = {"route", "system", "off"};
constexpr const char* kSwitchWords[] = {"0", "1"};
constexpr const char* kAxesWords[] = {"both", "vertical", "horizontal"};
constexpr const char* kSidewaysWords[] = {"hwheel", "hscroll", "shiftwheel"};
constexpr const char kProgramWord[] = "program";
constexpr const char kClassWord[] = "class";

struct Words
{
    const char* const* m_words;
    int m_count;
};

Words WordsOf(RuleKey key)
{
    switch (key) {
    case RuleKey::Scroll:
        return {kScrollWords, 3};
    case RuleKey::ReverseAxes:
        return {kAxesWords, 3};
    case RuleKey::Sideways:
        return {kSidewaysWords, 3};
    case RuleKey::LinesToScroll:
        return {nullptr, 0};
    case RuleKey::ReverseScroll:
    case RuleKey::ConvertToScroll:
    case RuleKey::ShiftScrollsSideways:
    case RuleKey::ActivateWindows:
    case RuleKey::SmoothScroll:
        break;
    }
    return {kSwitchWords, 2};
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text without the blanks around it, copied into value; false when it does not fit.
template <std::size_t N> bool Trimmed(const char* text, char (&value)[N])
{
    while (IsBlank(*text)) {
        ++text;
    }
    std::size_t length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    while (length > 0 && IsBlank(text[length - 1])) {
        --length;
    }
    if (length >= N) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        value[i] = text[i];
    }
    value[length] = '\0';
    return true;
}

// 1 + the index of the word the text is, or 0 (Inherit) when it is none of them.
int WordValue(RuleKey key, const char* text)
{
    const Words words = WordsOf(key);
    char value[16];
    if (!Trimmed(text, value)) {
        return 0;
    }
    for (int i = 0; i < words.m_count; ++i) {
        if (ClassNameEquals(value, words.m_words[i])) {
            return i + 1;
        }
    }
    return 0;
}

// Decimal digits only, within the range; anything else inherits.
std::uint8_t LinesValue(const char* text)
{
    char value[8];
    if (!Trimmed(text, value) || value[0] == '\0') {
        return 0;
    }
    int lines = 0;
    for (const char* c = value; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return 0;
        }
        lines = lines * 10 + (*c - '0');
    }
    return lines >= kMinRuleLines && lines <= kMaxRuleLines ? static_cast<std::uint8_t>(lines) : 0;
}

int EnumValue(const RuleSettings& settings, RuleKey key)
{
    switch (key) {
    case RuleKey::Scroll:
        return static_cast<int>(settings.m_scroll);
    case RuleKey::ReverseScroll:
        return static_cast<int>(settings.m_reverseScroll);
    case RuleKey::ReverseAxes:
        return static_cast<int>(settings.m_reverseAxes);
    case RuleKey::ConvertToScroll:
        return static_cast<int>(settings.m_convertToScroll);
    case RuleKey::LinesToScroll:
        return settings.m_linesToScroll;
    case RuleKey::ShiftScrollsSideways:
        return static_cast<int>(settings.m_shiftScrollsSideways);
    case RuleKey::ActivateWindows:
        return static_cast<int>(settings.m_activateWindows);
    case RuleKey::Sideways:
        return static_cast<int>(settings.m_sideways);
    case RuleKey::SmoothScroll:
        return static_cast<int>(settings.m_smoothScroll);
    }
    return 0;
}

// The section's word followed by at least one blank: what follows, or nullptr.
const char* AfterWord(const char* section, const char* word)
{
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        const char c = section[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != word[i]) {
            return nullptr;
        }
    }
    return IsBlank(section[i]) ? section + i : nullptr;
}

} // namespace

bool operator==(const RuleSettings& a, const RuleSettings& b)
{
    for (int key = 0; key < kRuleKeyCount; ++key) {
        if (EnumValue(a, static_cast<RuleKey>(key)) != EnumValue(b, static_cast<RuleKey>(key))) {
            return false;
        }
    }
    return true;
}

bool IsEmptyRule(const RuleSettings& settings)
{
    return settings == RuleSettings();
}

const char* RuleKeyName(RuleKey key)
{
    const int index = static_cast<int>(key);
    return index >= 0 && index < kRuleKeyCount ? kKeyNames[index] : "";
}

int RuleValueWordCount(RuleKey key)
{
    return WordsOf(key).m_count;
}

const char* RuleValueWord(RuleKey key, int index)
{
    const Words words = WordsOf(key);
    return index >= 0 && index < words.m_count ? words.m_words[index] : "";
}

void ParseRuleKey(RuleSettings& settings, RuleKey key, const char* text)
{
    if (text == nullptr) {
        text = "";
    }
    const int value = key == RuleKey::LinesToScroll ? 0 : WordValue(key, text);
    switch (key) {
    case RuleKey::Scroll:
        settings.m_scroll = static_cast<ScrollMode>(value);
        break;
    case RuleKey::ReverseScroll:
        settings.m_reverseScroll = static_cast<RuleSwitch>(value);
        break;
    case RuleKey::ReverseAxes:
        settings.m_reverseAxes = static_cast<RuleAxes>(value);
        break;
    case RuleKey::ConvertToScroll:
        settings.m_convertToScroll = static_cast<RuleSwitch>(value);
        break;
    case RuleKey::LinesToScroll:
        settings.m_linesToScroll = LinesValue(text);
        break;
    case RuleKey::ShiftScrollsSideways:
        settings.m_shiftScrollsSideways = static_cast<RuleSwitch>(value);
        break;
    case RuleKey::ActivateWindows:
        settings.m_activateWindows = static_cast<RuleSwitch>(value);
        break;
    case RuleKey::Sideways:
        settings.m_sideways = static_cast<SidewaysMethod>(value);
        break;
    case RuleKey::SmoothScroll:
        settings.m_smoothScroll = static_cast<RuleSwitch>(value);
        break;
    }
}

const char* FormatRuleKey(const RuleSettings& settings, RuleKey key, char (&buffer)[kRuleValueSize])
{
    buffer[0] = '\0';
    const int value = EnumValue(settings, key);
    if (key == RuleKey::LinesToScroll) {
        if (value >= kMinRuleLines && value <= kMaxRuleLines) {
            int at = 0;
            if (value >= 100) {
                buffer[at++] = static_cast<char>('0' + value / 100);
            }
            if (value >= 10) {
                buffer[at++] = static_cast<char>('0' + value / 10 % 10);
            }
            buffer[at++] = static_cast<char>('0' + value % 10);
            buffer[at] = '\0';
        }
        return buffer;
    }
    const char* word = RuleValueWord(key, value - 1);
    int at = 0;
    for (; word[at] != '\0' && at + 1 < kRuleValueSize; ++at) {
        buffer[at] = word[at];
    }
    buffer[at] = '\0';
    return buffer;
}

bool ParseRuleSection(const char* section, RuleTarget& target)
{
    if (section == nullptr) {
        return false;
    }
    while (IsBlank(*section)) {
        ++section;
    }
    const char* name = AfterWord(section, kProgramWord);
    RuleKind kind = RuleKind::Program;
    if (name == nullptr) {
        name = AfterWord(section, kClassWord);
        kind = RuleKind::Class;
    }
    if (name == nullptr) {
        return false;
    }
    RuleTarget parsed;
    parsed.m_kind = kind;
    if (!Trimmed(name, parsed.m_name) || parsed.m_name[0] == '\0') {
        return false;
    }
    target = parsed;
    return true;
}

bool FormatRuleSection(const RuleTarget& target, char (&section)[kRuleSectionSize])
{
    section[0] = '\0';
    const char* word = target.m_kind == RuleKind::Program ? kProgramWord : kClassWord;
    const char* name = target.m_name;
    if (name[0] == '\0' || IsBlank(name[0])) {
        return false;
    }
    int at = 0;
    for (; word[at] != '\0'; ++at) {
        section[at] = word[at];
    }
    section[at++] = ' ';
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '[' || *c == ']' || *c == '\r' || *c == '\n' || at + 1 >= kRuleSectionSize) {
            section[0] = '\0';
            return false;
        }
        section[at++] = *c;
    }
    section[at] = '\0';
    return true;
}

RuleSettings ParseRuleSectionText(const char* pairs)
{
    RuleSettings settings;
    if (pairs == nullptr) {
        return settings;
    }
    for (const char* line = pairs; *line != '\0';) {
        const char* end = line;
        const char* equals = nullptr;
        for (; *end != '\0'; ++end) {
            if (*end == '=' && equals == nullptr) {
                equals = end;
            }
        }
        if (equals != nullptr) {
            char key[32];
            const char* keyStart = line;
            while (IsBlank(*keyStart)) {
                ++keyStart;
            }
            const char* keyEnd = equals;
            while (keyEnd > keyStart && IsBlank(keyEnd[-1])) {
                --keyEnd;
            }
            const std::size_t length = static_cast<std::size_t>(keyEnd - keyStart);
            if (length < sizeof(key)) {
                for (std::size_t i = 0; i < length; ++i) {
                    key[i] = keyStart[i];
                }
                key[length] = '\0';
                for (int k = 0; k < kRuleKeyCount; ++k) {
                    if (ClassNameEquals(key, kKeyNames[k])) {
                        ParseRuleKey(settings, static_cast<RuleKey>(k), equals + 1);
                        break;
                    }
                }
            }
        }
        line = end + 1;
    }
    return settings;
}
