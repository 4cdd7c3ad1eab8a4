// The editor's settings table and the pure rules for reading, comparing and writing its values.
#include "settings_form.h"

#include <climits>

namespace {

constexpr SettingInfo kSettings[kSettingCount] = {
    {"ConvertToScroll", "FALSE", kTrueFalseSwitch, true},
    {"LinesToScroll", "3", kWholeNumber, true},
    {"ReverseScroll", "0", kOneZeroSwitch, true},
    {"ActivateWindows", "0", kOneZeroSwitch, true},
    {"LeftClickEnableToggle", "0", kOneZeroSwitch, false},
    {"HideTrayIcon", "0", kOneZeroSwitch, false},
    {"Rehook", "0", kOneZeroSwitch, false},
    {"RunAsAdmin", "0", kOneZeroSwitch, false},
};

bool SameText(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The program's text-to-integer rule: optional sign, digits up to the first non-digit, no digits
// give 0. Saturates where the program's conversion would overflow.
int TextToInt(const char* text)
{
    bool negative = false;
    if (*text == '-' || *text == '+') {
        negative = *text == '-';
        ++text;
    }
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        // Saturate: a huge number in the file must not wrap round into a small or negative one.
        if (value <= INT_MAX) {
            value = value * 10 + (*text - '0');
        }
    }
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

const SettingInfo& InfoOf(SettingKey key)
{
    return kSettings[key];
}

int DecodeSetting(SettingKey key, const char* text)
{
    switch (InfoOf(key).kind) {
    case kTrueFalseSwitch:
        return SameText(text, "TRUE") ? 1 : 0;
    case kOneZeroSwitch:
        return SameText(text, "1") ? 1 : 0;
    case kWholeNumber:
        break;
    }
    const int lines = TextToInt(text);
    return lines > 0 ? lines : kDefaultLinesToScroll;
}

void EncodeSetting(SettingKey key, int value, char (&text)[kSettingTextSize])
{
    const char* word = nullptr;
    switch (InfoOf(key).kind) {
    case kTrueFalseSwitch:
        word = value != 0 ? "TRUE" : "FALSE";
        break;
    case kOneZeroSwitch:
        word = value != 0 ? "1" : "0";
        break;
    case kWholeNumber:
        break;
    }
    if (word != nullptr) {
        int i = 0;
        for (; word[i] != '\0'; ++i) {
            text[i] = word[i];
        }
        text[i] = '\0';
        return;
    }
    // Digits backwards into a scratch buffer, then forwards into the text.
    char digits[kSettingTextSize];
    int count = 0;
    // In 32 unsigned bits, which hold INT_MIN's magnitude too, and need no 64-bit division routine.
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int out = 0;
    if (value < 0) {
        text[out++] = '-';
    }
    while (count > 0) {
        text[out++] = digits[--count];
    }
    text[out] = '\0';
}

int FindChanges(const SettingsForm& saved, const SettingsForm& edited, SettingChange (&changes)[kSettingCount])
{
    int count = 0;
    for (int i = 0; i < kSettingCount; ++i) {
        if (saved.values[i] != edited.values[i]) {
            changes[count].key = static_cast<SettingKey>(i);
            EncodeSetting(changes[count].key, edited.values[i], changes[count].text);
            ++count;
        }
    }
    return count;
}

ControlCodes CodesAfterSave(const SettingChange* written, int writtenCount, int routerWritten)
{
    ControlCodes result = {{0, 0}, 0};
    bool reachesHook = routerWritten > 0;
    if (writtenCount > 0) {
        result.codes[result.count++] = kReloadSettingsCode;
    }
    for (int i = 0; i < writtenCount; ++i) {
        reachesHook = reachesHook || InfoOf(written[i].key).reachesHook;
    }
    if (reachesHook) {
        // Code 1 alone only reloads; the hook keeps its old values until it is started again.
        result.codes[result.count++] = kEnableHookCode;
    }
    return result;
}

bool DependentApplies(DependentSetting setting, const SettingsForm& form)
{
    const SettingKey onSwitch = setting == kLinesPerNotch ? kConvertToScroll : kReverseScroll;
    return form.values[onSwitch] != 0;
}
