// Reads and writes single keys of rollix.ini through the system's profile functions, which never
// rewrite the lines they are not asked about (unknown keys, other sections, comments).
#include "settings_file.h"

namespace {

const char kFileName[] = "rollix.ini";

} // namespace

void PathBesideEditor(const char* fileName, char (&path)[MAX_PATH + 1])
{
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH + 1);
    DWORD cut = 0;
    for (DWORD i = 0; i < length && path[i] != '\0'; ++i) {
        if (path[i] == '\\' || path[i] == ':') {
            cut = i + 1;
        }
    }
    path[cut] = '\0';
    lstrcpynA(path + cut, fileName, static_cast<int>(MAX_PATH + 1 - cut));
}

void SettingsFilePath(char (&path)[MAX_PATH + 1])
{
    PathBesideEditor(kFileName, path);
}

void ReadSettingText(const char* key, const char* defaultText, char* text, DWORD size)
{
    char path[MAX_PATH + 1];
    SettingsFilePath(path);
    GetPrivateProfileStringA(kConfigSection, key, defaultText, text, size, path);
    // Flushing drops the system's cached copy, so the next read sees what another process wrote.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}

DWORD WriteSettingText(const char* section, const char* key, const char* text)
{
    char path[MAX_PATH + 1];
    SettingsFilePath(path);
    SetLastError(ERROR_SUCCESS);
    if (!WritePrivateProfileStringA(section, key, text, path)) {
        const DWORD error = GetLastError();
        // A failure without a reason still has to count as one.
        return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
    return ERROR_SUCCESS;
}
