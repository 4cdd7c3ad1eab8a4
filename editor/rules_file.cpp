// Reads and writes the rule sections of rollix.ini.
#include "rules_file.h"

#include "settings_file.h"

namespace {

// Every section name of a file with the most rules the editor shows, and then some.
constexpr DWORD kSectionNamesSize = kMaxUserRules * kRuleSectionSize / 4;

struct WriteContext
{
    char path[MAX_PATH + 1];
    DWORD error;
};

bool WriteOne(void* context, const char* section, const char* key, const char* value)
{
    auto& write = *static_cast<WriteContext*>(context);
    SetLastError(ERROR_SUCCESS);
    if (!WritePrivateProfileStringA(section, key, value, write.path)) {
        // A failure without a reason still has to count as one.
        write.error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
        return false;
    }
    return true;
}

} // namespace

void LoadUserRules(UserRules& rules)
{
    rules.m_count = 0;
    char path[MAX_PATH + 1];
    SettingsFilePath(path);
    auto* names = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kSectionNamesSize));
    if (names == nullptr) {
        return;
    }
    GetPrivateProfileSectionNamesA(names, kSectionNamesSize, path);
    for (const char* section = names; *section != '\0'; section += lstrlenA(section) + 1) {
        char texts[kRuleKeyCount][kRuleValueSize * 2];
        const char* keyTexts[kRuleKeyCount];
        for (int key = 0; key < kRuleKeyCount; ++key) {
            // A value too long for the buffer is cut; no word is that long, so it stays garbage.
            GetPrivateProfileStringA(section, RuleKeyName(static_cast<RuleKey>(key)), "", texts[key],
                                     sizeof(texts[key]), path);
            keyTexts[key] = texts[key];
        }
        AddSavedRule(rules, section, keyTexts);
    }
    HeapFree(GetProcessHeap(), 0, names);
    // Flushing drops the system's cached copy, so the next read sees what another process wrote.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}

int SaveUserRules(const UserRules& saved, const UserRules& edited, DWORD& error)
{
    WriteContext context = {};
    SettingsFilePath(context.path);
    bool failed = false;
    const int written = WriteRuleChanges(saved, edited, WriteOne, &context, failed);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, context.path);
    error = failed ? context.error : ERROR_SUCCESS;
    return written;
}
