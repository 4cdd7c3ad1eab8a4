// The [router] section of rollix.ini, through the profile functions; a missing file or key gives the defaults. The
// file is found with the wide functions where the system has them, so that a folder named outside the ANSI code
// page still holds it; a path longer than the profile functions take fails the start instead.
#include "router_settings_file.h"

namespace {

constexpr char kSettingsFileName[] = "rollix.ini";
constexpr wchar_t kSettingsFileNameW[] = L"rollix.ini";
constexpr char kSection[] = "router";
// What a missing key reads as; no value in a file can hold it.
constexpr char kAbsent[] = "\x01";
constexpr DWORD kShortValueSize = 64;

using ReadProfileW = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR, DWORD, LPCWSTR);
using ModuleFileNameW = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
using ShortPathNameW = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

struct SettingsText
{
    char m_programs[kNameListBytes + 1];
    char m_classes[kNameListBytes + 1];
    char m_sideways[kShortValueSize];
    char m_axes[kShortValueSize];
};

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

struct KeyReader
{
    const char* m_path;

    // buffer holds size bytes; the key's text, whether it was there, and whether it was cut short.
    SettingText Read(const char* key, char* buffer, DWORD size) const
    {
        const DWORD length = GetPrivateProfileStringA(kSection, key, kAbsent, buffer, size, m_path);
        SettingText text;
        text.m_present = !(length == 1 && buffer[0] == kAbsent[0]);
        text.m_text = text.m_present ? buffer : "";
        text.m_truncated = length + 1 >= size;
        return text;
    }
};

struct WideKeyReader
{
    const wchar_t* m_path;
    ReadProfileW m_read;

    // The value in the ANSI code page the parser and the program names speak; a character outside it matches no
    // name, as through the ANSI functions.
    SettingText Read(const wchar_t* key, char* buffer, DWORD size) const
    {
        wchar_t wide[kNameListBytes + 1];
        const DWORD room = size < kNameListBytes + 1 ? size : kNameListBytes + 1;
        const DWORD length = m_read(L"router", key, L"\x01", wide, room, m_path);
        SettingText text;
        text.m_present = !(length == 1 && wide[0] == L'\x01');
        text.m_truncated = length + 1 >= room;
        int converted = static_cast<int>(length);
        int written = 0;
        // A double-byte code page may need more bytes than characters: keep the first characters that fit.
        while (converted > 0 &&
               (written = WideCharToMultiByte(CP_ACP, 0, wide, converted, buffer, static_cast<int>(size) - 1, nullptr,
                                              nullptr)) == 0) {
            converted /= 2;
            text.m_truncated = true;
        }
        buffer[written] = '\0';
        text.m_text = text.m_present ? buffer : "";
        return text;
    }
};

// Replaces the file name at the end of path (of length characters) with rollix.ini; false when it does not fit.
bool PutSettingsName(wchar_t* path, DWORD length, DWORD capacity)
{
    DWORD folderEnd = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (IsSeparator(path[i])) {
            folderEnd = i + 1;
        }
    }
    const DWORD nameLength = sizeof(kSettingsFileNameW) / sizeof(wchar_t);
    if (folderEnd + nameLength > capacity) {
        return false;
    }
    for (DWORD i = 0; i < nameLength; ++i) {
        path[folderEnd + i] = kSettingsFileNameW[i];
    }
    return true;
}

// Through the wide functions; false when the system lacks them (the 9x family).
bool ReadWide(HMODULE library, SettingsText& buffers, RouterSettingTexts& texts, bool& located)
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    const auto fileName = reinterpret_cast<ModuleFileNameW>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "GetModuleFileNameW")));
    const auto read = reinterpret_cast<ReadProfileW>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "GetPrivateProfileStringW")));
    if (fileName == nullptr || read == nullptr) {
        return false;
    }
    // The profile functions take paths of at most MAX_PATH: a longer one fails the start.
    wchar_t path[MAX_PATH];
    const DWORD length = fileName(library, path, MAX_PATH);
    if (length == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        return false;
    }
    located = length > 0 && length < MAX_PATH && PutSettingsName(path, length, MAX_PATH);
    if (located) {
        const WideKeyReader reader{path, read};
        texts.m_excludedPrograms =
            reader.Read(L"ExcludedPrograms", buffers.m_programs, sizeof(buffers.m_programs));
        texts.m_excludedClasses = reader.Read(L"ExcludedClasses", buffers.m_classes, sizeof(buffers.m_classes));
        texts.m_shiftScrollsSideways =
            reader.Read(L"ShiftScrollsSideways", buffers.m_sideways, sizeof(buffers.m_sideways));
        texts.m_reverseAxes = reader.Read(L"ReverseAxes", buffers.m_axes, sizeof(buffers.m_axes));
    }
    return true;
}

bool ReadAnsi(HMODULE library, SettingsText& buffers, RouterSettingTexts& texts)
{
    char path[MAX_PATH + 16];
    if (!SettingsFilePath(library, path)) {
        return false;
    }
    const KeyReader reader{path};
    texts.m_excludedPrograms = reader.Read("ExcludedPrograms", buffers.m_programs, sizeof(buffers.m_programs));
    texts.m_excludedClasses = reader.Read("ExcludedClasses", buffers.m_classes, sizeof(buffers.m_classes));
    texts.m_shiftScrollsSideways = reader.Read("ShiftScrollsSideways", buffers.m_sideways, sizeof(buffers.m_sideways));
    texts.m_reverseAxes = reader.Read("ReverseAxes", buffers.m_axes, sizeof(buffers.m_axes));
    return true;
}

// The path in the ANSI code page; false when a character has no place in it.
bool ToAnsi(const wchar_t* wide, char (&path)[MAX_PATH + 16])
{
    BOOL lossy = FALSE;
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path,
                                            static_cast<int>(sizeof(path)), nullptr, &lossy);
    return written > 0 && !lossy;
}

} // namespace

bool SettingsFilePath(HMODULE library, char (&path)[MAX_PATH + 16])
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    const auto fileName = reinterpret_cast<ModuleFileNameW>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "GetModuleFileNameW")));
    const auto shortName = reinterpret_cast<ShortPathNameW>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "GetShortPathNameW")));
    wchar_t wide[MAX_PATH];
    const DWORD length = fileName != nullptr ? fileName(library, wide, MAX_PATH) : 0;
    if (length == 0 || shortName == nullptr) {
        // The 9x family: its paths are ANSI throughout.
        const DWORD ansiLength = GetModuleFileNameA(library, path, MAX_PATH);
        if (ansiLength == 0 || ansiLength >= MAX_PATH) {
            return false;
        }
        path[ansiLength] = '\0';
        char* folderEnd = path;
        for (char* c = path; *c != '\0'; ++c) {
            if (*c == '\\' || *c == '/') {
                folderEnd = c + 1;
            }
        }
        lstrcpynA(folderEnd, kSettingsFileName, sizeof(kSettingsFileName));
        return true;
    }
    if (length >= MAX_PATH || !PutSettingsName(wide, length, MAX_PATH)) {
        return false;
    }
    if (ToAnsi(wide, path)) {
        return true;
    }
    // A folder named outside the ANSI code page has no ANSI name, but its short name is plain ASCII; where the
    // volume keeps no short names the file cannot be named, and the caller fails the start.
    DWORD folderEnd = 0;
    for (DWORD i = 0; wide[i] != L'\0'; ++i) {
        if (IsSeparator(wide[i])) {
            folderEnd = i;
        }
    }
    wide[folderEnd] = L'\0';
    wchar_t folder[MAX_PATH];
    const DWORD folderLength = shortName(wide, folder, MAX_PATH);
    if (folderLength == 0 || folderLength >= MAX_PATH || !ToAnsi(folder, path)) {
        return false;
    }
    const int used = lstrlenA(path);
    if (used + 1 + static_cast<int>(sizeof(kSettingsFileName)) > static_cast<int>(sizeof(path))) {
        return false;
    }
    path[used] = '\\';
    lstrcpynA(path + used + 1, kSettingsFileName, sizeof(kSettingsFileName));
    return true;
}

bool ReadRouterSettings(HMODULE library, RouterSettings& settings)
{
    SettingsText buffers;
    RouterSettingTexts texts;
    bool located = false;
    if (!ReadWide(library, buffers, texts, located)) {
        located = ReadAnsi(library, buffers, texts);
    }
    ParseRouterSettings(texts, settings);
    return located;
}
