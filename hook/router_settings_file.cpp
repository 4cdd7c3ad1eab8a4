// The [router] section of rollix.ini, through the profile functions; a missing file or key gives the defaults.
#include "router_settings_file.h"

namespace {

constexpr char kSettingsFileName[] = "rollix.ini";
constexpr char kSection[] = "router";
// What a missing key reads as; no value in a file can hold it.
constexpr char kAbsent[] = "\x01";
constexpr DWORD kShortValueSize = 64;

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

} // namespace

void ReadRouterSettings(HMODULE library, RouterSettings& settings)
{
    char path[MAX_PATH + sizeof(kSettingsFileName)];
    const DWORD length = GetModuleFileNameA(library, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ParseRouterSettings(RouterSettingTexts(), settings);
        return;
    }
    path[length] = '\0';
    char* folderEnd = path;
    for (char* c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') {
            folderEnd = c + 1;
        }
    }
    lstrcpynA(folderEnd, kSettingsFileName, sizeof(kSettingsFileName));

    char programs[kNameListBytes + 1];
    char classes[kNameListBytes + 1];
    char sideways[kShortValueSize];
    char axes[kShortValueSize];
    const KeyReader reader{path};
    RouterSettingTexts texts;
    texts.m_excludedPrograms = reader.Read("ExcludedPrograms", programs, sizeof(programs));
    texts.m_excludedClasses = reader.Read("ExcludedClasses", classes, sizeof(classes));
    texts.m_shiftScrollsSideways = reader.Read("ShiftScrollsSideways", sideways, sizeof(sideways));
    texts.m_reverseAxes = reader.Read("ReverseAxes", axes, sizeof(axes));
    ParseRouterSettings(texts, settings);
}
