// The start-up entry's command: how it is written, and whether one found in the registry is this copy's.
#include "run_command.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

char Folded(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c == '/' ? '\\' : c;
}

// Compares `path` with the text from `text` up to `end` (exclusive) or its terminator; true when `path` is all
// of it. `rest` is set to what follows the compared part of text.
bool SamePathPrefix(const char* text, const char* end, const char* path, const char** rest)
{
    while (*path != '\0' && text != end && *text != '\0' && Folded(*text) == Folded(*path)) {
        ++text;
        ++path;
    }
    *rest = text;
    return *path == '\0';
}

} // namespace

bool RunCommandFor(const char* programPath, char* command, int size)
{
    int length = 0;
    while (programPath[length] != '\0') {
        ++length;
    }
    if (length == 0 || size < length + 3) {
        return false;
    }
    command[0] = '"';
    for (int i = 0; i < length; ++i) {
        command[i + 1] = programPath[i];
    }
    command[length + 1] = '"';
    command[length + 2] = '\0';
    return true;
}

bool RunCommandStarts(const char* command, const char* programPath)
{
    if (*programPath == '\0') {
        return false;
    }
    while (IsBlank(*command)) {
        ++command;
    }
    const char* rest = nullptr;
    if (*command == '"') {
        // The program is all that stands between the quotes (or up to the end when the closing one is missing).
        const char* close = command + 1;
        while (*close != '\0' && *close != '"') {
            ++close;
        }
        return SamePathPrefix(command + 1, close, programPath, &rest) && rest == close;
    }
    // Unquoted, the system tries the text up to each blank in turn: the path must be followed by one, or end it.
    return SamePathPrefix(command, nullptr, programPath, &rest) && (*rest == '\0' || IsBlank(*rest));
}
