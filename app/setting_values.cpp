// Value rules of the settings file and the paths of the files beside the program.
#include "setting_values.h"

#include "text_to_int.h"

namespace {
constexpr char kOnValue[] = "1";
constexpr char kTrueWord[] = "TRUE";
constexpr int kDefaultLinesToScroll = 3;
} // namespace

bool IsOnValue(const char* text)
{
    return text != nullptr && std::strcmp(text, kOnValue) == 0;
}

bool IsTrueWord(const char* text)
{
    return text != nullptr && std::strcmp(text, kTrueWord) == 0;
}

int LinesToScrollValue(const char* text)
{
    int lines = TextToInt(text);
    return lines > 0 ? lines : kDefaultLinesToScroll;
}

void FolderOfPath(const char* path, SiblingPathText& folder)
{
    folder.Clear();
    if (path == nullptr)
        return;
    int keep = 0;
    for (int i = 0; path[i] != '\0'; ++i)
        if (path[i] == '\\' || path[i] == ':')
            keep = i + 1;
    folder.Assign(path, keep);
}

void SettingsPathFromModulePath(const char* modulePath, SiblingPathText& settingsPath)
{
    FolderOfPath(modulePath, settingsPath);
    settingsPath.Append(kSettingsFileName);
}
