// The settings file and the elevated launch. Every access opens the file anew so that what the settings
// editor wrote last is always what the program sees.
#include "rollix_common.h"

#include "app_machine.h"
#include "command_params.h"

namespace {
constexpr char kWriteErrorCaption[] = "Application Error";
constexpr char kWriteErrorText[] = "Unable to write to ";
constexpr UINT kWriteErrorBoxType = MB_TASKMODAL | MB_ICONSTOP | MB_OK;

constexpr char kElevateVerb[] = "runas";
// Wait for DDE conversations to finish, and let the system show no error dialog of its own.
constexpr ULONG kElevatedLaunchMask = SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
static_assert(kElevatedLaunchMask == 0x500, "the elevated launch asks for DDE wait and no error UI");
#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "32-bit SHELLEXECUTEINFOA record");
#endif

// Windows keeps a cached copy of a profile file; a call with all names null writes it out and drops it.
void FlushSettingsFile(const char* path)
{
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}
} // namespace

void SettingsPath(SiblingPathText& path)
{
    PathText modulePath;
    GetParam(0, modulePath);
    SettingsPathFromModulePath(modulePath.c_str(), path);
}

void ReadSetting(const char* key, const char* defaultText, SettingText& value)
{
    SiblingPathText path;
    SettingsPath(path);
    DWORD count =
        ::GetPrivateProfileStringA(kSettingsSection, key, defaultText, value.Buffer(), kSettingCapacity, path.c_str());
    value.Terminate(static_cast<int>(count));
    FlushSettingsFile(path.c_str());
}

bool WriteSetting(const char* key, const char* value)
{
    SiblingPathText path;
    SettingsPath(path);
    if (!::WritePrivateProfileStringA(kSettingsSection, key, value, path.c_str()))
        return false;
    FlushSettingsFile(path.c_str());
    return true;
}

int ShowSettingsWriteError()
{
    SiblingPathText path;
    SettingsPath(path);
    FixedText<sizeof kWriteErrorText + kSiblingPathCapacity> text(kWriteErrorText);
    text.Append(path.c_str());
    Sys().MessageBox(nullptr, text.c_str(), kWriteErrorCaption, kWriteErrorBoxType);
    return kSettingsWriteFailedExitCode;
}

bool RunElevated(HWND owner, const char* file, const char* parameters)
{
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = kElevatedLaunchMask;
    info.hwnd = owner;
    info.lpVerb = kElevateVerb;
    info.lpFile = file;
    // An empty parameter text is passed as no pointer at all.
    info.lpParameters = (parameters != nullptr && parameters[0] != '\0') ? parameters : nullptr;
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    return Sys().ShellExecuteEx(&info) != FALSE;
}
