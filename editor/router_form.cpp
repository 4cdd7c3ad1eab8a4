// The router's settings in the editor: lists compared in the router's own reading, and the keys a save writes.
#include "router_form.h"

#include <cstring>

namespace {

constexpr const char* kKeyNames[kRouterKeyCount] = {"ExcludedPrograms", "ExcludedClasses", "ShiftScrollsSideways",
                                                    "ReverseAxes",      "SmoothScroll",    "SmoothDuration",
                                                    "WheelAcceleration"};

// The words the router reads in any case; these are the ones written.
const char* AxesWord(ReverseAxes axes)
{
    switch (axes) {
    case ReverseAxes::Vertical:
        return "vertical";
    case ReverseAxes::Horizontal:
        return "horizontal";
    case ReverseAxes::Both:
        break;
    }
    return "both";
}

void Join(const NameList& list, char (&out)[kCanonicalListSize])
{
    // The list keeps each name with a terminator in as many bytes as out has: the names with separators fit.
    int used = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const char* name = list.At(i);
        const int length = static_cast<int>(std::strlen(name));
        if (used + (i > 0 ? 1 : 0) + length >= kCanonicalListSize) {
            break;
        }
        if (i > 0) {
            out[used++] = kNameSeparator;
        }
        std::memcpy(out + used, name, static_cast<size_t>(length));
        used += length;
    }
    out[used] = '\0';
}

// The names of a field's text, line breaks separating them as ';' does.
void ParseField(const char* text, NameList& list)
{
    char joined[kListFieldMaxChars + 1];
    int i = 0;
    for (; text[i] != '\0' && i < kListFieldMaxChars; ++i) {
        joined[i] = text[i] == '\r' || text[i] == '\n' ? kNameSeparator : text[i];
    }
    joined[i] = '\0';
    list.Parse(joined, text[i] != '\0'); // a text cut here loses its partial last name
}

} // namespace

const char* RouterKeyName(RouterKey key)
{
    return kKeyNames[key];
}

void RouterFormFrom(const RouterSettings& settings, RouterForm& form)
{
    Join(settings.m_excludedPrograms, form.programs);
    Join(settings.m_excludedClasses, form.classes);
    form.shiftScrollsSideways = settings.m_shiftScrollsSideways;
    form.reverseAxes = settings.m_reverseAxes;
}

void SmoothFormFrom(const SmoothSettings& smooth, RouterForm& form)
{
    form.smooth = smooth;
    int duration = smooth.m_durationMs < kMinSmoothDurationMs   ? kMinSmoothDurationMs
                   : smooth.m_durationMs > kMaxSmoothDurationMs ? kMaxSmoothDurationMs
                                                                : smooth.m_durationMs;
    form.smooth.m_durationMs = duration;
    char digits[8];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + duration % 10);
        duration /= 10;
    } while (duration > 0);
    for (int i = 0; i < count; ++i) {
        form.smoothDurationText[i] = digits[count - 1 - i];
    }
    form.smoothDurationText[count] = '\0';
}

void CanonicalNames(const char* fieldText, char (&canonical)[kCanonicalListSize])
{
    NameList list;
    ParseField(fieldText, list);
    Join(list, canonical);
}

void NamesAsLines(const char* canonical, char* lines, int size)
{
    if (size <= 0) {
        return;
    }
    int used = 0;
    for (const char* c = canonical; *c != '\0'; ++c) {
        const bool lineBreak = *c == kNameSeparator;
        if (used + (lineBreak ? 2 : 1) >= size) {
            break;
        }
        if (lineBreak) {
            lines[used++] = '\r';
            lines[used++] = '\n';
        } else {
            lines[used++] = *c;
        }
    }
    lines[used] = '\0';
}

bool WithNameAdded(const char* fieldText, const char* name, char* out, int size)
{
    // A name holding the separator would read as several names, none of them this one.
    if (*name == '\0' || std::strchr(name, kNameSeparator) != nullptr) {
        return false;
    }
    NameList list;
    ParseField(fieldText, list);
    if (list.Contains(name)) {
        return false;
    }
    const size_t length = std::strlen(fieldText);
    const bool newLine = length > 0 && fieldText[length - 1] != '\n';
    const size_t needed = length + (newLine ? 2 : 0) + std::strlen(name) + 1;
    if (size <= 0 || needed > static_cast<size_t>(size)) {
        return false;
    }
    char* end = out;
    for (const char* c = fieldText; *c != '\0'; ++c) {
        *end++ = *c;
    }
    if (newLine) {
        *end++ = '\r';
        *end++ = '\n';
    }
    for (const char* c = name; *c != '\0'; ++c) {
        *end++ = *c;
    }
    *end = '\0';
    return true;
}

int FindRouterChanges(const RouterForm& saved, const RouterForm& edited, RouterChange (&changes)[kRouterKeyCount])
{
    int count = 0;
    if (std::strcmp(saved.programs, edited.programs) != 0) {
        changes[count++] = {kExcludedPrograms, edited.programs};
    }
    if (std::strcmp(saved.classes, edited.classes) != 0) {
        changes[count++] = {kExcludedClasses, edited.classes};
    }
    if (saved.shiftScrollsSideways != edited.shiftScrollsSideways) {
        changes[count++] = {kShiftScrollsSideways, edited.shiftScrollsSideways ? "1" : "0"};
    }
    if (saved.reverseAxes != edited.reverseAxes) {
        changes[count++] = {kReverseAxes, AxesWord(edited.reverseAxes)};
    }
    if (saved.smooth.m_smoothScroll != edited.smooth.m_smoothScroll) {
        changes[count++] = {kSmoothScroll, edited.smooth.m_smoothScroll ? "1" : "0"};
    }
    if (saved.smooth.m_durationMs != edited.smooth.m_durationMs) {
        changes[count++] = {kSmoothDuration, edited.smoothDurationText};
    }
    if (saved.smooth.m_acceleration != edited.smooth.m_acceleration) {
        changes[count++] = {kWheelAcceleration, edited.smooth.m_acceleration ? "1" : "0"};
    }
    return count;
}

void TakeRouterValue(RouterKey key, const RouterForm& from, RouterForm& to)
{
    switch (key) {
    case kExcludedPrograms:
        std::memcpy(to.programs, from.programs, sizeof(to.programs));
        break;
    case kExcludedClasses:
        std::memcpy(to.classes, from.classes, sizeof(to.classes));
        break;
    case kShiftScrollsSideways:
        to.shiftScrollsSideways = from.shiftScrollsSideways;
        break;
    case kReverseAxes:
        to.reverseAxes = from.reverseAxes;
        break;
    case kSmoothScroll:
        to.smooth.m_smoothScroll = from.smooth.m_smoothScroll;
        break;
    case kSmoothDuration:
        to.smooth.m_durationMs = from.smooth.m_durationMs;
        std::memcpy(to.smoothDurationText, from.smoothDurationText, sizeof(to.smoothDurationText));
        break;
    case kWheelAcceleration:
        to.smooth.m_acceleration = from.smooth.m_acceleration;
        break;
    case kRouterKeyCount:
        break;
    }
}
