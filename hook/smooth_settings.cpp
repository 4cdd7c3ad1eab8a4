// Makes sense of the smoothing keys; odd values give the defaults.
#include "smooth_settings.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Decimal digits with blanks around them, or -1.
int NumberValue(const char* text)
{
    while (IsBlank(*text)) {
        ++text;
    }
    int value = 0;
    const char* digits = text;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value < 100000) {
            value = value * 10 + (*text - '0');
        }
    }
    const bool anyDigit = text != digits;
    while (IsBlank(*text)) {
        ++text;
    }
    return anyDigit && *text == '\0' ? value : -1;
}

bool SwitchValue(const char* text, bool fallback)
{
    const int value = text == nullptr ? -1 : NumberValue(text);
    return value == 0 || value == 1 ? value == 1 : fallback;
}

} // namespace

SmoothSettings ParseSmoothSettings(const char* smoothScroll, const char* duration, const char* acceleration)
{
    SmoothSettings settings;
    settings.m_smoothScroll = SwitchValue(smoothScroll, settings.m_smoothScroll);
    settings.m_acceleration = SwitchValue(acceleration, settings.m_acceleration);
    const int milliseconds = duration == nullptr ? -1 : NumberValue(duration);
    if (milliseconds >= 0) {
        settings.m_durationMs = milliseconds < kMinSmoothDurationMs   ? kMinSmoothDurationMs
                                : milliseconds > kMaxSmoothDurationMs ? kMaxSmoothDurationMs
                                                                      : milliseconds;
    }
    return settings;
}
