// Start with Windows: the user's own start-up entry, a value under HKCU\Software\Microsoft\Windows\CurrentVersion\Run
// whose data is the command that starts the program. Plain C++: the registry is the shell's.
#pragma once

// The entry's value name.
constexpr char kRunValueName[] = "Rollix Portable";

// The command for the program at `programPath`: the path in quotes, so that blanks in a folder name cannot make the
// system start another program. False when it does not fit in `size` bytes.
bool RunCommandFor(const char* programPath, char* command, int size);

// Whether `command` starts the program at `programPath`: its program part, quoted or not and with arguments or
// not, is that path, compared without regard to ASCII case and with '/' as '\'.
bool RunCommandStarts(const char* command, const char* programPath);
