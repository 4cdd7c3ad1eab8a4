// Makes sense of the router's settings texts; every odd value falls back to the key's default.
#include "router_settings.h"

#include "window_rules.h"

#include <cstddef>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A value compared whole without regard to ASCII case, blanks around it ignored.
bool ValueIs(const char* text, const char* word)
{
    while (IsBlank(*text)) {
        ++text;
    }
    const char* end = text;
    while (*end != '\0') {
        ++end;
    }
    while (end > text && IsBlank(end[-1])) {
        --end;
    }
    char value[16];
    const std::size_t length = static_cast<std::size_t>(end - text);
    if (length >= sizeof(value)) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        value[i] = text[i];
    }
    value[length] = '\0';
    return ClassNameEquals(value, word);
}

} // namespace

void NameList::Parse(const char* text, bool truncated)
{
    m_count = 0;
    int used = 0;
    const char* cursor = text == nullptr ? "" : text;
    while (*cursor != '\0') {
        const char* start = cursor;
        while (*cursor != '\0' && *cursor != kNameSeparator) {
            ++cursor;
        }
        const char* end = cursor;
        const bool last = *cursor == '\0';
        if (!last) {
            ++cursor;
        }
        if (last && truncated) {
            break; // cut in the middle of a name
        }
        while (start < end && IsBlank(*start)) {
            ++start;
        }
        while (end > start && IsBlank(end[-1])) {
            --end;
        }
        // A program given with its folders: only the file name counts.
        for (const char* c = start; c < end; ++c) {
            if (*c == '\\' || *c == '/') {
                start = c + 1;
            }
        }
        const int length = static_cast<int>(end - start);
        if (length == 0 || m_count == kMaxListedNames || used + length + 1 > kNameListBytes) {
            continue;
        }
        m_offsets[m_count++] = static_cast<std::uint16_t>(used);
        for (const char* c = start; c < end; ++c) {
            m_text[used++] = *c;
        }
        m_text[used++] = '\0';
    }
}

bool NameList::Contains(const char* name) const
{
    if (name == nullptr || *name == '\0') {
        return false;
    }
    for (int i = 0; i < m_count; ++i) {
        if (ClassNameEquals(At(i), name)) {
            return true;
        }
    }
    return false;
}

void ParseRouterSettings(const RouterSettingTexts& texts, RouterSettings& settings)
{
    const SettingText& programs = texts.m_excludedPrograms;
    if (programs.m_present) {
        settings.m_excludedPrograms.Parse(programs.m_text, programs.m_truncated);
    } else {
        settings.m_excludedPrograms.Parse(kDefaultExcludedPrograms);
    }
    const SettingText& classes = texts.m_excludedClasses;
    settings.m_excludedClasses.Parse(classes.m_present ? classes.m_text : "", classes.m_truncated);

    if (texts.m_shiftScrollsSideways.m_present) {
        if (ValueIs(texts.m_shiftScrollsSideways.m_text, "1")) {
            settings.m_shiftScrollsSideways = true;
        } else if (ValueIs(texts.m_shiftScrollsSideways.m_text, "0")) {
            settings.m_shiftScrollsSideways = false;
        }
    }
    if (texts.m_reverseAxes.m_present) {
        const char* value = texts.m_reverseAxes.m_text;
        if (ValueIs(value, "vertical")) {
            settings.m_reverseAxes = ReverseAxes::Vertical;
        } else if (ValueIs(value, "horizontal")) {
            settings.m_reverseAxes = ReverseAxes::Horizontal;
        } else if (ValueIs(value, "both")) {
            settings.m_reverseAxes = ReverseAxes::Both;
        }
    }
}

const char* FileNameOf(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') {
            name = c + 1;
        }
    }
    return name;
}

bool IsExcluded(const RouterSettings& settings, const char* programPath, const char* className,
                const char* topLevelClassName)
{
    return settings.m_excludedClasses.Contains(className) || settings.m_excludedClasses.Contains(topLevelClassName) ||
           (programPath != nullptr && settings.m_excludedPrograms.Contains(FileNameOf(programPath)));
}
