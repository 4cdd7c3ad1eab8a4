// The start-up entry under HKCU\Software\Microsoft\Windows\CurrentVersion\Run, read and written through the registry.
#include "startup_entry.h"

#include "run_command.h"
#include "settings_file.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kProgramFileName[] = "RollixPortable.exe";
// Room for a command of a long path with quotes and arguments.
constexpr DWORD kCommandSize = 2 * MAX_PATH;

// The entry's command; false when there is none, or it is not text.
bool ReadRunCommand(char (&command)[kCommandSize])
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    char data[kCommandSize];
    DWORD type = 0;
    DWORD size = sizeof(data) - 1;
    const LONG result = RegQueryValueExA(key, kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    data[size] = '\0'; // the stored text need not end with a terminator
    if (type == REG_EXPAND_SZ) {
        // The system expands such a command before it starts it.
        const DWORD length = ExpandEnvironmentStringsA(data, command, kCommandSize);
        return length > 0 && length <= kCommandSize;
    }
    lstrcpynA(command, data, kCommandSize);
    return true;
}

} // namespace

void ProgramPathBesideEditor(char (&path)[MAX_PATH + 1])
{
    PathBesideEditor(kProgramFileName, path);
    // A copy started by its short (8.3) name must know the entry that one started by its long name wrote.
    char longPath[MAX_PATH + 1];
    const DWORD length = GetLongPathNameA(path, longPath, sizeof(longPath));
    if (length > 0 && length < sizeof(longPath)) {
        lstrcpyA(path, longPath);
    }
}

bool StartsWithWindows(const char* programPath)
{
    char command[kCommandSize];
    return ReadRunCommand(command) && RunCommandStarts(command, programPath);
}

DWORD SetStartWithWindows(const char* programPath, bool start)
{
    if (!start && !StartsWithWindows(programPath)) {
        return ERROR_SUCCESS;
    }
    char command[kCommandSize];
    if (start && !RunCommandFor(programPath, command, sizeof(command))) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        return static_cast<DWORD>(result);
    }
    if (start) {
        result = RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                                static_cast<DWORD>(lstrlenA(command) + 1));
    } else {
        result = RegDeleteValueA(key, kRunValueName);
    }
    RegCloseKey(key);
    return static_cast<DWORD>(result);
}
