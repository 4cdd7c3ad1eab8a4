// The router's own settings, kept in the [router] section of rollix.ini beside the library, and the exclusion
// rule they feed. Plain C++: the shell reads the texts, this makes sense of them. Nothing here ever fails: a
// missing key gives its default, a value that cannot be understood gives the default for that key.
#pragma once

#include <cstdint>

// Which wheel ReverseScroll turns round.
enum class ReverseAxes
{
    Both,
    Vertical,
    Horizontal,
};

// When ExcludedPrograms is absent: the system's remote-desktop clients and the on-screen keyboard, which take
// the wheel as it comes and pass it on themselves.
constexpr const char* kDefaultExcludedPrograms = "mstsc.exe;msrdc.exe;osk.exe";
constexpr char kNameSeparator = ';';
// Room for the names of one list; names beyond it are ignored.
constexpr int kNameListBytes = 4096;
constexpr int kMaxListedNames = 256;

// Names compared without regard to ASCII case: program file names and window class names.
class NameList
{
  public:
    // Takes names separated by semicolons; blanks around a name and empty entries are ignored, and a name given
    // with its folders keeps only its file name. truncated says the text was cut short: its last name is partial.
    void Parse(const char* text, bool truncated = false);
    bool Contains(const char* name) const;
    int Count() const { return m_count; }
    const char* At(int index) const { return m_text + m_offsets[index]; }

  private:
    char m_text[kNameListBytes] = {};
    std::uint16_t m_offsets[kMaxListedNames] = {};
    int m_count = 0;
};

// A key's text as the profile functions gave it: m_present false when the key (or the file) is missing.
struct SettingText
{
    bool m_present = false;
    const char* m_text = "";
    bool m_truncated = false;
};

struct RouterSettingTexts
{
    SettingText m_excludedPrograms;
    SettingText m_excludedClasses;
    SettingText m_shiftScrollsSideways;
    SettingText m_reverseAxes;
};

struct RouterSettings
{
    NameList m_excludedPrograms;
    NameList m_excludedClasses;
    bool m_shiftScrollsSideways = false;
    ReverseAxes m_reverseAxes = ReverseAxes::Both;
};

// Fills settings (already at their defaults) from the texts.
void ParseRouterSettings(const RouterSettingTexts& texts, RouterSettings& settings);

// The file name of a path: what follows its last backslash or slash.
const char* FileNameOf(const char* path);

// The window under the pointer belongs to an excluded program, or it or its top-level window is of an excluded
// class. programPath may be a full path or empty when it could not be found.
bool IsExcluded(const RouterSettings& settings, const char* programPath, const char* className,
                const char* topLevelClassName);
