// Parameter splitting over a command-line text; no Windows calls, so it is tested on the host.
#include "command_params.h"

namespace {
constexpr unsigned char kLastBlank = 32;
constexpr char kQuote = '"';

bool IsBlank(char c)
{
    auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= kLastBlank;
}

bool IsParamChar(char c)
{
    // Codes from 128 up are ordinary characters of the ANSI code page.
    return static_cast<unsigned char>(c) > kLastBlank;
}
} // namespace

const char* SkipBlanks(const char* position)
{
    for (;;) {
        while (IsBlank(*position))
            ++position;
        // A lone "" is an empty parameter; it reads as blank space and never yields a parameter.
        if (position[0] == kQuote && position[1] == kQuote)
            position += 2;
        else
            return position;
    }
}

const char* ParamEnd(const char* start)
{
    const char* position = SkipBlanks(start);
    while (IsParamChar(*position)) {
        if (*position == kQuote) {
            ++position;
            while (*position != '\0' && *position != kQuote)
                ++position;
            if (*position == kQuote)
                ++position;
        } else {
            ++position;
        }
    }
    return position;
}

void ExtractParam(const char* commandLine, int n, PathText& parameter)
{
    parameter.Clear();
    if (commandLine == nullptr)
        return;
    const char* position = commandLine;
    const char* start;
    const char* end;
    int remaining = n;
    for (;;) {
        start = SkipBlanks(position);
        end = ParamEnd(start);
        // A negative n stops at once, like n = 0: it gives the program as written.
        if (remaining <= 0)
            break;
        --remaining;
        if (start == end)
            break;
        position = end;
    }
    // The enclosing quotes are judged on the whole parameter, before any cut to the capacity.
    if (end - start >= 2 && start[0] == kQuote && end[-1] == kQuote) {
        ++start;
        --end;
    }
    parameter.Assign(start, static_cast<int>(end - start));
}
