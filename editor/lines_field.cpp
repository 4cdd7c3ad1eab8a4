// Turns the text of the "lines per notch" field into a line count, or says why it cannot.
#include "lines_field.h"

#include "settings_form.h"

#include <climits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

LinesFieldResult ParseLinesField(const char* text, int savedLines)
{
    while (IsBlank(*text)) {
        ++text;
    }
    if (*text == '\0') {
        return {kLinesEmpty, 0};
    }
    long long value = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text, ++digits) {
        // Saturate like the program's own conversion, so a huge saved value still reads back equal.
        if (value <= INT_MAX) {
            value = value * 10 + (*text - '0');
        }
    }
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    while (IsBlank(*text)) {
        ++text;
    }
    if (digits == 0 || *text != '\0') {
        return {kLinesNotWholeNumber, 0};
    }
    if (value != savedLines && (value < kMinLinesToScroll || value > kMaxLinesToScroll)) {
        return {kLinesOutOfRange, 0};
    }
    return {kLinesAccepted, static_cast<int>(value)};
}

LinesFieldResult ReadLinesField(const char* text, int savedLines, bool fieldEnabled)
{
    const LinesFieldResult result = ParseLinesField(text, savedLines);
    if (!fieldEnabled && result.status != kLinesAccepted) {
        return {kLinesAccepted, savedLines};
    }
    return result;
}
