// Reads the rule sections of rollix.ini through the profile functions.
#include "rule_file.h"

namespace {

// Room for the names of every section; sections beyond it are not read.
constexpr DWORD kSectionNamesSize = 32768;
constexpr DWORD kSectionSize = 2048;
constexpr char kConfigSection[] = "config";
constexpr int kDefaultLines = 3;

// The program's integer conversion: an optional sign, then digits up to the first other character.
int TextToInt(const char* text)
{
    bool negative = false;
    if (*text == '-' || *text == '+') {
        negative = *text == '-';
        ++text;
    }
    int value = 0;
    for (; *text >= '0' && *text <= '9' && value < 100000000; ++text) {
        value = value * 10 + (*text - '0');
    }
    return negative ? -value : value;
}

bool IsExactly(const char* path, const char* key, const char* word, const char* fallback)
{
    char value[16];
    GetPrivateProfileStringA(kConfigSection, key, fallback, value, sizeof(value), path);
    return lstrcmpA(value, word) == 0;
}

} // namespace

void ReadUserRules(const char* path, RuleBook& book)
{
    // Read at start only; the heap keeps the large buffers off the hook thread's stack.
    auto* names = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, kSectionNamesSize));
    auto* section = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, kSectionSize));
    if (names != nullptr && section != nullptr &&
        GetPrivateProfileSectionNamesA(names, kSectionNamesSize, path) > 0) {
        for (const char* name = names; *name != '\0'; name += lstrlenA(name) + 1) {
            RuleTarget target;
            if (!ParseRuleSection(name, target)) {
                continue;
            }
            section[0] = '\0';
            section[1] = '\0';
            GetPrivateProfileSectionA(name, section, kSectionSize, path);
            book.AddUserRule(target.m_kind, target.m_name, ParseRuleSectionText(section));
        }
    }
    if (names != nullptr) {
        HeapFree(GetProcessHeap(), 0, names);
    }
    if (section != nullptr) {
        HeapFree(GetProcessHeap(), 0, section);
    }
}

HookSettings ReadProgramSettings(const char* path)
{
    char lines[16];
    GetPrivateProfileStringA(kConfigSection, "LinesToScroll", "3", lines, sizeof(lines), path);
    const int linesToScroll = TextToInt(lines);
    const int flags = (IsExactly(path, "ActivateWindows", "1", "0") ? 1 : 0) |
                      (IsExactly(path, "ReverseScroll", "1", "0") ? 2 : 0);
    return SettingsFromArguments(IsExactly(path, "ConvertToScroll", "TRUE", "FALSE") ? 1 : 0,
                                 linesToScroll <= 0 ? kDefaultLines : linesToScroll, flags);
}
